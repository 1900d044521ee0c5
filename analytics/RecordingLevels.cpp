#include "RecordingLevels.h"

#include "AudioFormat.h"
#include "Decoder.h"
#include "MemberRange.h"
#include "Package.h"
#include "WavReader.h"

#include <cryptopp/filters.h>

#include <QBuffer>
#include <QMutex>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Analytics {

namespace {

// Reads the levels of a WVC member: the fast level scan of the level stream
// or, decoding, the peak of every decoded frame.
class WvcLevelReader : public WVC::Decoder
{
public:
    explicit WvcLevelReader(bool ibDecode) : mbDecode(ibDecode) { reset(); }

    RecordingLevels read(const Package& irPackage, const QString& isPath)
    {
        RecordingLevels aResult;
        const QString sPassword = irPackage.wvcPassword();
        if (!sPassword.isEmpty())
            setPassword(sPassword.toStdString());
        if (!maMember.open(irPackage, isPath)) {
            aResult.sError = QStringLiteral("cannot read member %1").arg(isPath);
            return aResult;
        }
        int nResult = open(uint64_t(maMember.size()), false);
        if (nResult != 0) {
            aResult.sError = QStringLiteral("cannot open recording %1 (result %2)").arg(isPath).arg(nResult);
            return aResult;
        }
        mnChannelsRead = channelCount() == 2 ? 2 : 1;
        maSeries.nChannels = mnChannelsRead;
        maSeries.nStepMs = int(std::max<uint32_t>(frameDuration(), 1));
        maSeries.aLevels.assign(size_t(mnChannelsRead), {});
        const int64_t nDuration = duration();
        mnMaximumSteps = nDuration / maSeries.nStepMs + 2;
        nResult = decodeAll(!mbDecode);
        close();
        if (nResult != 0 || mbBadBlock) {
            aResult.sError = QStringLiteral("cannot decode recording %1 (result %2)").arg(isPath).arg(nResult);
            return aResult;
        }
        aResult.nDurationMs = std::max<int64_t>(nDuration, maSeries.steps() * maSeries.nStepMs);
        // Steps that do not cover the recording: a damaged level stream (the
        // caller decodes instead), or frames that could not be paired (the
        // decoder pairs them through the level pages, so without those
        // nothing decodes).
        const int64_t nExpected = nDuration / maSeries.nStepMs;
        const int64_t nGot = mbDecode ? mnFramesDecoded * 2 : maSeries.steps();
        if (mbDecode ? nGot < nExpected
                     : std::llabs(nGot - nExpected) > std::max<int64_t>(2, nExpected / 50)) {
            aResult.sError = QStringLiteral("%1 of %2 do not cover the recording")
                                 .arg(mbDecode ? QStringLiteral("decoded frames") : QStringLiteral("level stream"), isPath);
            return aResult;
        }
        aResult.aSeries = std::move(maSeries);
        aResult.nSource = mbDecode ? LevelSource::Decoded : LevelSource::LevelStream;
        return aResult;
    }

    int levelCallback(int64_t, const uint8_t* ipLevels, int inCount) override
    {
        if (mbDecode)
            return 1;
        if (inCount % mnChannelsRead != 0)
            mbBadBlock = true;
        for (int i = 0; i + mnChannelsRead <= inCount; i += mnChannelsRead)
            for (int c = 0; c < mnChannelsRead; ++c)
                maSeries.aLevels[size_t(c)].push_back(float(ipLevels[i + c]) * 128.0f);
        return 1;
    }

    // Frames go to the step of their time: frames lost with a damaged page
    // leave quiet steps, and the later ones keep their place.
    int pcmCallback(int64_t inPosition, const int16_t* ipLeft, int inLeftCount, const int16_t* ipRight,
                    int inRightCount) override
    {
        const int64_t nStep = inPosition / maSeries.nStepMs;
        if (mnFirstStep < 0)
            mnFirstStep = nStep;
        const int64_t nIndex = nStep - mnFirstStep;
        // A position far beyond the recording (a damaged granule) is dropped.
        if (nIndex < 0 || nIndex > mnMaximumSteps)
            return 1;
        ++mnFramesDecoded;
        const int16_t* aSamples[2] = {ipLeft, ipRight};
        const int aCounts[2] = {inLeftCount, inRightCount};
        for (int c = 0; c < mnChannelsRead; ++c) {
            std::vector<float>& aLevels = maSeries.aLevels[size_t(c)];
            if (int64_t(aLevels.size()) <= nIndex)
                aLevels.resize(size_t(nIndex + 1), 0.0f);
            int nPeak = 0;
            for (int i = 0; aSamples[c] && i < aCounts[c]; ++i)
                nPeak = std::max(nPeak, std::abs(int(aSamples[c][i])));
            aLevels[size_t(nIndex)] = float(nPeak);
        }
        return 1;
    }

    int readCallback(uint8_t* ipBuffer, uint32_t inLength, uint32_t& irnBytesRead) override
    {
        irnBytesRead = 0;
        const qint64 nRead = maMember.read(reinterpret_cast<char*>(ipBuffer), inLength);
        if (nRead <= 0)
            return -1;
        irnBytesRead = uint32_t(nRead);
        return 0;
    }

    int seekCallback(int64_t inOffset, int inOrigin) override
    {
        const int64_t nTarget = inOrigin == 2 ? maMember.size() + inOffset : inOffset;
        if ((inOrigin != 0 && inOrigin != 2) || !maMember.seek(nTarget))
            return WVC::WVC_SEEK_ERROR;
        return WVC::WVC_OK;
    }

    void log(int32_t, const std::string&) override {}

private:
    MemberRange maMember;
    LevelSeries maSeries;
    int mnChannelsRead = 1;
    bool mbDecode = false;
    bool mbBadBlock = false;
    int64_t mnFirstStep = -1;
    int64_t mnFramesDecoded = 0;
    int64_t mnMaximumSteps = 0;
};

struct WavLevels
{
    LevelSeries aSeries;
    int64_t nFrames = 0;
    bool bStarted = false;
    bool bUnsupported = false;
};

// Stage behind the WAV reader: the peak of every step, a piece at a time,
// so that an hour of samples is never held at once.
class WavLevelStage : public CryptoPP::Bufferless<CryptoPP::Filter>
{
public:
    WavLevelStage(AudioFormat* ipFormat, WavLevels* ipLevels) : mpFormat(ipFormat), mpLevels(ipLevels) {}

    size_t Put2(const CryptoPP::byte* ipInput, size_t inLength, int, bool) override
    {
        if (!mpLevels->bStarted && !start())
            return 0;
        if (mpLevels->bUnsupported)
            return 0;
        size_t i = 0;
        // A sample split between blocks first, then whole samples in place.
        while (mnPartial > 0 && i < inLength) {
            maPartial[mnPartial++] = ipInput[i++];
            if (mnPartial == mnBytesPerSample) {
                mnPartial = 0;
                take(sampleAt(maPartial));
            }
        }
        for (; i + size_t(mnBytesPerSample) <= inLength; i += size_t(mnBytesPerSample))
            take(sampleAt(ipInput + i));
        while (i < inLength)
            maPartial[mnPartial++] = ipInput[i++];
        return 0;
    }

    bool IsolatedFlush(bool, bool) override
    {
        if (mnInStep > 0)
            endStep();
        return false;
    }

    ~WavLevelStage() override
    {
        if (mnInStep > 0)
            endStep();
    }

private:
    bool start()
    {
        mpLevels->bStarted = true;
        mnChannels = mpFormat->channelCount();
        const int nRate = mpFormat->sampleRate();
        mnBytesPerSample = mpFormat->sampleSize() / 8;
        if (mnChannels < 1 || mnChannels > 2 || nRate <= 0 || (mnBytesPerSample != 1 && mnBytesPerSample != 2)) {
            mpLevels->bUnsupported = true;
            return true;
        }
        mnPerStep = std::max(1, nRate * cnDecodedStepMs / 1000);
        mpLevels->aSeries.nChannels = mnChannels;
        mpLevels->aSeries.nStepMs = cnDecodedStepMs;
        mpLevels->aSeries.aLevels.assign(size_t(mnChannels), {});
        for (auto& a : mpLevels->aSeries.aLevels)
            a.reserve(size_t(mpFormat->numSamples / quint64(mnPerStep) + 1));
        return true;
    }

    int sampleAt(const uint8_t* ipBytes) const
    {
        return mnBytesPerSample == 1 ? (int(ipBytes[0]) - 128) * 256
                                     : int(int16_t(uint16_t(ipBytes[0] | (ipBytes[1] << 8))));
    }

    void take(int inValue)
    {
        maPeak[mnChannel] = std::max(maPeak[mnChannel], std::abs(inValue));
        if (++mnChannel < mnChannels)
            return;
        mnChannel = 0;
        ++mpLevels->nFrames;
        if (++mnInStep == mnPerStep)
            endStep();
    }

    void endStep()
    {
        for (int c = 0; c < mnChannels; ++c) {
            mpLevels->aSeries.aLevels[size_t(c)].push_back(float(maPeak[c]));
            maPeak[c] = 0;
        }
        mnInStep = 0;
    }

    AudioFormat* mpFormat;
    WavLevels* mpLevels;
    int mnChannels = 1;
    int mnBytesPerSample = 2;
    int mnPerStep = 160;
    int mnInStep = 0;
    int mnChannel = 0;
    int maPeak[2] = {0, 0};
    uint8_t maPartial[2] = {0, 0};
    int mnPartial = 0;
};

} // namespace

LevelSeries levelsFromSamples(const int16_t* ipSamples, int64_t inFrames, int inChannels, int inSampleRate,
                              int inStepMs)
{
    LevelSeries aSeries;
    aSeries.nChannels = inChannels;
    aSeries.nStepMs = inStepMs;
    aSeries.aLevels.assign(size_t(inChannels), {});
    const int64_t nPerStep = std::max<int64_t>(1, int64_t(inSampleRate) * inStepMs / 1000);
    for (int64_t nStart = 0; nStart < inFrames; nStart += nPerStep) {
        const int64_t nEnd = std::min(inFrames, nStart + nPerStep);
        for (int c = 0; c < inChannels; ++c) {
            int nPeak = 0;
            for (int64_t i = nStart; i < nEnd; ++i)
                nPeak = std::max(nPeak, std::abs(int(ipSamples[i * inChannels + c])));
            aSeries.aLevels[size_t(c)].push_back(float(nPeak));
        }
    }
    return aSeries;
}

RecordingLevels readWvcLevels(const Package& irPackage, const QString& isPath, bool ibDecode)
{
    if (!ibDecode) {
        RecordingLevels aResult = WvcLevelReader(false).read(irPackage, isPath);
        if (aResult.nSource != LevelSource::None)
            return aResult;
    }
    return WvcLevelReader(true).read(irPackage, isPath);
}

RecordingLevels readWavLevels(Package& irPackage, const QString& isPath)
{
    RecordingLevels aResult;
    AudioFormat aFormat;
    WavLevels aLevels;
    int nRead;
    {
        // The package object pumps members one caller at a time.
        static QMutex sReadLock;
        QMutexLocker aLock(&sReadLock);
        nRead = irPackage.pumpMember(isPath, new WavReader(new WavLevelStage(&aFormat, &aLevels), &aFormat));
    }
    if (nRead != 0 || !aLevels.bStarted) {
        aResult.sError = QStringLiteral("cannot read recording %1").arg(isPath);
        return aResult;
    }
    if (aLevels.bUnsupported) {
        aResult.sError = QStringLiteral("unsupported recording format in %1").arg(isPath);
        return aResult;
    }
    aResult.nDurationMs = aLevels.nFrames * 1000 / std::max(1, aFormat.sampleRate());
    aResult.aSeries = std::move(aLevels.aSeries);
    aResult.nSource = LevelSource::Decoded;
    return aResult;
}

RecordingLevels readRecordingLevels(Package& irPackage, const QString& isPath)
{
    if (isPath.endsWith(QLatin1String(".wvc"), Qt::CaseInsensitive))
        return readWvcLevels(irPackage, isPath);
    return readWavLevels(irPackage, isPath);
}

} // namespace Analytics
