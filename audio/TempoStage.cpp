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

TempoStage::TempoStage(int inChannels, int inSampleRate, int inBytesPerSample, double ifTempo)
    : mpTouch(std::make_unique<soundtouch::SoundTouch>())
    , mnChannels(qBound(1, inChannels, 2))
    , mnBytesPerSample(inBytesPerSample == 1 ? 1 : 2)
    , mfTempo(clampTempo(ifTempo))
    , maIn(size_t(cnBlockFrames) * 2)
    , maOut(size_t(cnBlockFrames) * 2)
{
    mpTouch->setChannels(uint(mnChannels));
    mpTouch->setSampleRate(uint(qMax(1, inSampleRate)));
    mpTouch->setTempo(mfTempo);
}

TempoStage::~TempoStage() = default;

void TempoStage::process(const char* ipBytes, int inBytes, QByteArray& orOut)
{
    int nFramesLeft = inBytes / bytesPerFrame();
    while (nFramesLeft > 0) {
        const int nFrames = qMin(nFramesLeft, cnBlockFrames);
        const int nSamples = nFrames * mnChannels;
        if (mnBytesPerSample == 2) {
            const qint16* pSamples = reinterpret_cast<const qint16*>(ipBytes);
            for (int i = 0; i < nSamples; ++i)
                maIn[size_t(i)] = pSamples[i] * (1.0f / 32768.0f);
        } else {
            const quint8* pSamples = reinterpret_cast<const quint8*>(ipBytes);
            for (int i = 0; i < nSamples; ++i)
                maIn[size_t(i)] = (pSamples[i] - 128) * (1.0f / 128.0f);
        }
        mpTouch->putSamples(maIn.data(), uint(nFrames));
        receive(orOut);
        ipBytes += nSamples * mnBytesPerSample;
        nFramesLeft -= nFrames;
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

qint64 TempoStage::pendingFrames() const
{
    return qint64(mpTouch->numSamples()) + qint64(mpTouch->numUnprocessedSamples() / mfTempo);
}

void TempoStage::receive(QByteArray& orOut)
{
    for (;;) {
        const int nFrames = int(mpTouch->receiveSamples(maOut.data(), uint(cnBlockFrames)));
        if (nFrames <= 0)
            return;
        const int nSamples = nFrames * mnChannels;
        const int nOffset = orOut.size();
        orOut.resize(nOffset + nSamples * mnBytesPerSample);
        // The overlap of two stretched pieces can exceed full scale.
        if (mnBytesPerSample == 2) {
            qint16* pOut = reinterpret_cast<qint16*>(orOut.data() + nOffset);
            for (int i = 0; i < nSamples; ++i)
                pOut[i] = qint16(std::clamp(std::round(maOut[size_t(i)] * 32768.0f), -32768.0f, 32767.0f));
        } else {
            quint8* pOut = reinterpret_cast<quint8*>(orOut.data() + nOffset);
            for (int i = 0; i < nSamples; ++i)
                pOut[i] = quint8(std::clamp(std::round(maOut[size_t(i)] * 128.0f) + 128.0f, 0.0f, 255.0f));
        }
    }
}
