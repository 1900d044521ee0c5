#include "TempoStage.h"

#include <SoundTouch.h>

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace {
// Frames converted per call into the library; bounds the work areas.
constexpr int cnBlockFrames = 2048;
}

double TempoStage::clampTempo(double ifTempo)
{
    if (!std::isfinite(ifTempo) || ifTempo <= 0.0)
        return 1.0;
    return std::clamp(ifTempo, cfMinTempo, cfMaxTempo);
}

double TempoStage::tempoFromText(const QString& isText)
{
    bool bOk = false;
    const double fTempo = isText.trimmed().toDouble(&bOk);
    return bOk ? clampTempo(fTempo) : 1.0;
}

TempoStage::TempoStage(int inChannels, int inSampleRate, double ifTempo)
    : mpTouch(std::make_unique<soundtouch::SoundTouch>())
    , mnChannels(qBound(1, inChannels, 2))
    , mfTempo(clampTempo(ifTempo))
    , maIn(size_t(cnBlockFrames) * 2)
    , maOut(size_t(cnBlockFrames) * 2)
{
    mpTouch->setChannels(uint(mnChannels));
    mpTouch->setSampleRate(uint(qMax(1, inSampleRate)));
    mpTouch->setTempo(mfTempo);
}

TempoStage::~TempoStage() = default;

void TempoStage::process(const qint16* ipSamples, int inFrames, QByteArray& orOut)
{
    while (inFrames > 0) {
        const int nFrames = qMin(inFrames, cnBlockFrames);
        const int nSamples = nFrames * mnChannels;
        for (int i = 0; i < nSamples; ++i)
            maIn[size_t(i)] = ipSamples[i] * (1.0f / 32768.0f);
        mpTouch->putSamples(maIn.data(), uint(nFrames));
        receive(orOut);
        ipSamples += nSamples;
        inFrames -= nFrames;
    }
}

void TempoStage::flush(QByteArray& orOut)
{
    mpTouch->flush();
    receive(orOut);
}

void TempoStage::clear()
{
    mpTouch->clear();
}

void TempoStage::receive(QByteArray& orOut)
{
    for (;;) {
        const int nFrames = int(mpTouch->receiveSamples(maOut.data(), uint(cnBlockFrames)));
        if (nFrames <= 0)
            return;
        const int nSamples = nFrames * mnChannels;
        const int nOffset = orOut.size();
        orOut.resize(nOffset + nSamples * 2);
        qint16* pOut = reinterpret_cast<qint16*>(orOut.data() + nOffset);
        for (int i = 0; i < nSamples; ++i) {
            // The overlap of two stretched pieces can exceed full scale.
            const float fValue = std::round(maOut[size_t(i)] * 32768.0f);
            pOut[i] = qint16(std::clamp(fValue, -32768.0f, 32767.0f));
        }
    }
}
