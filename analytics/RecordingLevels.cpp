#include "RecordingLevels.h"

#include "AudioFormat.h"
#include "Decoder.h"
#include "MemberRange.h"
#include "Package.h"

#include <QBuffer>

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
    QBuffer aBuffer;
    AudioFormat aFormat;
    if (irPackage.readFile(isPath, &aBuffer, &aFormat) != 0) {
        aResult.sError = QStringLiteral("cannot read recording %1").arg(isPath);
        return aResult;
    }
    const int nChannels = aFormat.channelCount();
    const int nRate = aFormat.sampleRate();
    if (nChannels < 1 || nChannels > 2 || nRate <= 0 || (aFormat.sampleSize() != 16 && aFormat.sampleSize() != 8)) {
        aResult.sError = QStringLiteral("unsupported recording format in %1").arg(isPath);
        return aResult;
    }
    const QByteArray& aData = aBuffer.data();
    std::vector<int16_t> aWide;
    const int16_t* pSamples = reinterpret_cast<const int16_t*>(aData.constData());
    int64_t nSamples = aData.size() / 2;
    if (aFormat.sampleSize() == 8) {
        // Unsigned 8-bit, widened by multiplication.
        aWide.resize(size_t(aData.size()));
        for (int i = 0; i < aData.size(); ++i)
            aWide[size_t(i)] = int16_t((int(quint8(aData[i])) - 128) * 256);
        pSamples = aWide.data();
        nSamples = aData.size();
    } else if (quintptr(pSamples) % alignof(int16_t) != 0) {
        aWide.resize(size_t(nSamples));
        std::memcpy(aWide.data(), aData.constData(), size_t(nSamples) * 2);
        pSamples = aWide.data();
    }
    const int64_t nFrames = nSamples / nChannels;
    aResult.aSeries = levelsFromSamples(pSamples, nFrames, nChannels, nRate);
    aResult.nDurationMs = nFrames * 1000 / nRate;
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
