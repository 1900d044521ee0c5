#include "WavSvgReader.h"

#include "Amplify.h"
#include "AudioFormat.h"
#include "BiquadFilter.h"
#include "WaveformQuery.h"
#include "WaveformSvg.h"

#include <QDebug>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int cnSlice = 4096;    // samples run through the effects at a time
constexpr qint64 cnPoints = 1024; // points drawn for a recording of any length
// No member holds this many samples; a segment that long can never be drawn.
constexpr qint64 cnMaxSamples = qint64(1) << 40;

qint64 samplesAt(int inRate, qint64 inMilliseconds)
{
    return qint64(std::min<__int128>(__int128(inRate) * inMilliseconds / 1000, cnMaxSamples + 1));
}

} // namespace

WavSvgReader::WavSvgReader(CryptoPP::BufferedTransformation* ipAttachment, const QString& isQuery,
                           AudioFormat* ipFormat)
    : maColour(WaveformSvg::colour(153, 187, 232, 1.0))
    , mpFormat(ipFormat)
{
    Detach(ipAttachment);
    const WaveformQuery aQuery = WaveformQuery::parse(isQuery, false);
    if (aQuery.bNotch) {
        auto* pNotch = new WVC::BiquadFilter;
        // Set up with the recording's rate once the header is known.
        maEffects.push_back(pNotch);
        mnNotchFrequency = aQuery.nNotchFrequency;
        mfQFactor = aQuery.fQFactor;
    }
    if (aQuery.bAmplify) {
        auto* pAmplify = new WVC::Amplify;
        pAmplify->setRatio(aQuery.fAmplifyRatio);
        maEffects.push_back(pAmplify);
    }
    if (aQuery.bZoom) {
        mnZoomStart = aQuery.nZoomStart;
        mnZoomEnd = aQuery.nZoomEnd;
        mbZoom = true;
    }
}

WavSvgReader::~WavSvgReader()
{
    for (WVC::AudioEffect* pEffect : maEffects)
        delete pEffect;
}

void WavSvgReader::initialise()
{
    mbInitialised = true;
    const int nRate = mpFormat->sampleRate();
    if (mbZoom) {
        mnTotalSamples = samplesAt(nRate, mnZoomEnd - mnZoomStart);
        mnStartSample = samplesAt(nRate, mnZoomStart);
    } else {
        mnTotalSamples = qint64(std::min<quint64>(mpFormat->numSamples, cnMaxSamples + 1));
        mnStartSample = 0;
    }
    if (mnTotalSamples > cnMaxSamples || mnTotalSamples < 0)
        mnTotalSamples = 0; // nothing to draw: no document
    mnScaleDownFactor = mnTotalSamples < cnPoints ? 1 : qint32(std::llround(double(mnTotalSamples) / cnPoints));
    mbEightBit = mpFormat->sampleSize() == 8;
    mnBytesPerFrame = std::max(1, mpFormat->channelCount()) * (mbEightBit ? 1 : 2);
    mnBytesAudioPerIndex = qint64(mnBytesPerFrame) * mnScaleDownFactor;
    mnTotalSamples -= mnTotalSamples % mnScaleDownFactor;
    // The segment ends exactly mnTotalSamples after its start, so that a start
    // that is no multiple of the factor still completes the document.
    mnEndSample = mnStartSample + mnTotalSamples;

    qDebug() << "mnStartSample (absolute): " << mnStartSample;
    qDebug() << "mnEndSample (absolute): " << mnEndSample;
    qDebug() << "mnTotalSamples: " << mnTotalSamples;
    qDebug() << "mnScaleDownFactor: " << mnScaleDownFactor;
    qDebug() << "mnBytesAudioPerIndex: " << mnBytesAudioPerIndex;

    if (!maEffects.empty()) {
        // The same normalisation as playback, so that the picture shows what
        // is heard at any rate.
        if (auto* pNotch = dynamic_cast<WVC::BiquadFilter*>(maEffects.front()))
            pNotch->setup(double(mnNotchFrequency) / nRate, mfQFactor);
        maWork[0].resize(cnSlice);
        maWork[1].resize(cnSlice);
    }
    maSamples.resize(cnSlice);
}

size_t WavSvgReader::Put2(const CryptoPP::byte* ipInput, size_t inLength, int inMessageEnd, bool ibBlocking)
{
    if (!ibBlocking)
        throw BlockingInputOnly("WavSvgReader");
    if (inLength > 0 && !mbFinished) {
        if (!mbInitialised && mpFormat && mpFormat->duration != 0)
            initialise();
        if (mbInitialised) {
            const qint64 nBlockStart = mnBytesReceived;
            mnBytesReceived += qint64(inLength);
            const qint64 nFrom = std::max(nBlockStart, mnStartSample * mnBytesPerFrame);
            const qint64 nTo = std::min(mnBytesReceived, mnEndSample * mnBytesPerFrame);
            if (nTo > nFrom)
                reduce(ipInput + (nFrom - nBlockStart), size_t(nTo - nFrom));
        }
    }
    if (inMessageEnd) {
        if (!mbFinished)
            qWarning() << "No waveform: the recording ends after" << mnBytesReceived / mnBytesPerFrame
                       << "samples, before sample" << mnEndSample;
        Output(1, nullptr, 0, inMessageEnd, ibBlocking);
    }
    return 0;
}

void WavSvgReader::reduce(const CryptoPP::byte* ipInput, size_t inLength)
{
    qint16* pSamples = maSamples.data();
    int nCount = 0;
    auto sampleOf = [this](const CryptoPP::byte* ipFrame) {
        // 8-bit PCM is unsigned around 128; it is drawn on the 16-bit scale.
        return mbEightBit ? qint16((int(ipFrame[0]) - 128) * 256) : qFromLittleEndian<qint16>(ipFrame);
    };
    if (!maPartialFrame.isEmpty()) {
        const size_t nTake = std::min(inLength, size_t(mnBytesPerFrame - maPartialFrame.size()));
        maPartialFrame.append(reinterpret_cast<const char*>(ipInput), int(nTake));
        ipInput += nTake;
        inLength -= nTake;
        if (maPartialFrame.size() < mnBytesPerFrame)
            return;
        pSamples[nCount++] = sampleOf(reinterpret_cast<const CryptoPP::byte*>(maPartialFrame.constData()));
        maPartialFrame.clear();
    }
    const size_t nFrames = inLength / size_t(mnBytesPerFrame);
    if (nCount == 0 && maEffects.empty() && mnBytesPerFrame == 2 && !mbEightBit) {
        reducePlain(ipInput, nFrames);
    } else {
        for (size_t i = 0; i < nFrames && !mbFinished; ++i) {
            pSamples[nCount++] = sampleOf(ipInput + i * size_t(mnBytesPerFrame));
            if (nCount == cnSlice) {
                reduceSamples(pSamples, nCount);
                nCount = 0;
            }
        }
        if (nCount > 0 && !mbFinished)
            reduceSamples(pSamples, nCount);
    }
    const size_t nRest = inLength - nFrames * size_t(mnBytesPerFrame);
    if (nRest > 0 && !mbFinished)
        maPartialFrame = QByteArray(reinterpret_cast<const char*>(ipInput) + nFrames * size_t(mnBytesPerFrame), int(nRest));
}

void WavSvgReader::reducePlain(const CryptoPP::byte* ipInput, size_t inFrames)
{
    // Mono 16-bit PCM without effects, the common case: the peak of each
    // point's run of samples is taken straight from the bytes.
    while (inFrames > 0 && !mbFinished) {
        const size_t nRun = std::min(inFrames, size_t(mnScaleDownFactor - mnSamplesInPoint));
        int nPeak = mnPointPeak;
        for (size_t i = 0; i < nRun; ++i) {
            qint16 nSample;
            memcpy(&nSample, ipInput + 2 * i, 2);
            nSample = qFromLittleEndian(nSample);
            nPeak = std::max(nPeak, std::abs(int(nSample)));
        }
        mnPointPeak = nPeak;
        mnSamplesInPoint += qint32(nRun);
        ipInput += 2 * nRun;
        inFrames -= nRun;
        if (mnSamplesInPoint == mnScaleDownFactor)
            addPoint();
    }
}

void WavSvgReader::reduceSamples(qint16* ipSamples, int inCount)
{
    if (!maEffects.empty()) {
        // The effects run as one stream over all points, so filter state
        // carries from point to point as it does in playback.
        float* pIn = maWork[0].data();
        float* pOut = maWork[1].data();
        WVC::AudioEffect::samplesToFloat(ipSamples, pIn, inCount);
        for (WVC::AudioEffect* pEffect : maEffects) {
            pEffect->process(pIn, pOut, inCount);
            std::swap(pIn, pOut);
        }
        WVC::AudioEffect::floatToSamples(pIn, ipSamples, inCount);
    }
    for (int i = 0; i < inCount; ++i) {
        mnPointPeak = std::max(mnPointPeak, std::abs(int(ipSamples[i])));
        if (++mnSamplesInPoint == mnScaleDownFactor) {
            addPoint();
            if (mbFinished)
                return;
        }
    }
}

void WavSvgReader::addPoint()
{
    // -32768 has no 16-bit magnitude; it is drawn at full scale like 32767.
    const int nHeight = std::min(mnPointPeak >> 7, 255);
    const QByteArray aX = QByteArray::number(mnPointsWritten);
    maUpper += aX + ',' + QByteArray::number(256 - nHeight) + ' ';
    maLower += aX + ',' + QByteArray::number(256 + nHeight) + ' ';
    mnReducedSamples += mnScaleDownFactor;
    ++mnPointsWritten;
    mnSamplesInPoint = 0;
    mnPointPeak = 0;
    if (mnReducedSamples >= mnTotalSamples)
        writeDocument(true);
}

void WavSvgReader::writeDocument(bool ibBlocking)
{
    qDebug() << "Generating wavform svg";
    maSvg = WaveformSvg::document(mnPointsWritten, {{maUpper, maLower, maColour}}, false);
    mbFinished = true;
    Output(1, reinterpret_cast<const CryptoPP::byte*>(maSvg.constData()), size_t(maSvg.size()), 0, ibBlocking);
}
