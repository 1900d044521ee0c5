#include "EffectChain.h"

#include "AudioEffect.h"

#include <algorithm>

EffectChain::EffectChain()
{
    maWork[0].reset(new float[cnMaxSamples]());
    maWork[1].reset(new float[cnMaxSamples]());
}

EffectChain::~EffectChain() = default;

void EffectChain::add(WVC::AudioEffect* ipaEffect)
{
    maEffects.emplace_back(ipaEffect);
}

const float* EffectChain::run(int inCount)
{
    int nIn = 0;
    for (const auto& pEffect : maEffects) {
        pEffect->process(maWork[nIn].get(), maWork[1 - nIn].get(), inCount);
        nIn = 1 - nIn;
    }
    return maWork[nIn].get();
}

void EffectChain::process(qint16* ipSamples, int inCount)
{
    if (maEffects.empty())
        return;
    for (int nDone = 0; nDone < inCount; nDone += cnMaxSamples) {
        const int n = std::min(cnMaxSamples, inCount - nDone);
        WVC::AudioEffect::samplesToFloat(ipSamples + nDone, maWork[0].get(), n);
        WVC::AudioEffect::floatToSamples(run(n), ipSamples + nDone, n);
    }
}

void EffectChain::process(quint8* ipSamples, int inCount)
{
    if (maEffects.empty())
        return;
    // 8-bit samples are centred on 128; they take the same path as 16-bit
    // ones, scaled to and from the 16-bit range.
    for (int nDone = 0; nDone < inCount; nDone += cnMaxSamples) {
        const int n = std::min(cnMaxSamples, inCount - nDone);
        quint8* p = ipSamples + nDone;
        for (int i = 0; i < n; ++i)
            maWork[0][i] = float((int(p[i]) - 128) / 128.0);
        const float* pOut = run(n);
        for (int i = 0; i < n; ++i) {
            const float f = std::max(-1.0f, std::min(pOut[i], 127.0f / 128.0f));
            p[i] = quint8(int(f * 128.0f) + 128);
        }
    }
}
