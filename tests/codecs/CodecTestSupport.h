#pragma once
// Helpers of the tests that judge decoded sound by ffmpeg (codecs, saved
// recordings, waveforms): a speech-like signal, WVC files written with the
// real encoders while their frames are recorded, the same frames in formats
// the ffmpeg program reads, ffmpeg's decode of them, and the judgement of
// our decode against it.
#include "FrameEncoder.h"
#include "MemoryDecoder.h"
#include "WvcFormat.h"
#include "WvcWriter.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ogg/ogg.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace codectest {

using Bytes = std::vector<uint8_t>;
using Frames = std::vector<Bytes>;
using Samples = std::vector<int16_t>;

// Voiced sound with a gliding pitch, three formants, the falling spectrum of
// a voice, syllable-like loudness and a little noise: close enough to speech
// for the speech codecs.
inline Samples speechLike(size_t inCount, uint32_t inRate, int inSeed)
{
    const double fPi = 3.14159265358979323846;
    const double aFormants[3] = {650.0 + 40 * inSeed, 1150.0 + 90 * inSeed, 2450.0};
    std::vector<double> aPhase(64, 0.0);
    uint32_t nNoise = 777u + static_cast<uint32_t>(inSeed) * 104729u;
    Samples aSamples(inCount);
    for (size_t i = 0; i < inCount; ++i) {
        const double t = static_cast<double>(i) / inRate;
        const double fPitch = 110.0 + 25.0 * inSeed + 35.0 * std::sin(2 * fPi * 0.7 * t);
        const double fLoud = 0.15 + 0.85 * std::max(0.0, std::sin(2 * fPi * (2.1 + 0.3 * inSeed) * t));
        double fValue = 0.0;
        for (size_t k = 1; k < aPhase.size() && k * fPitch < 0.45 * inRate; ++k) {
            aPhase[k] += 2 * fPi * static_cast<double>(k) * fPitch / inRate;
            double fWeight = 0.05;
            for (double fFormant : aFormants)
                fWeight += std::exp(-std::pow((k * fPitch - fFormant) / 180.0, 2.0));
            // Glottal source and lip radiation together fall by about
            // 6 dB per octave.
            fValue += fWeight / std::sqrt(static_cast<double>(k)) * std::sin(aPhase[k]);
        }
        nNoise = nNoise * 1664525u + 1013904223u;
        const double fNoise = (static_cast<int>(nNoise >> 16) - 32768) / 32768.0;
        aSamples[i] = static_cast<int16_t>(std::lround(fLoud * 5200.0 * fValue + 300.0 * fNoise));
    }
    return aSamples;
}

// Passes frames through from a real encoder and keeps a copy of each; the
// payload of one frame can be replaced to damage it.
class RecordingEncoder : public wvctools::FrameEncoder
{
public:
    explicit RecordingEncoder(std::unique_ptr<wvctools::FrameEncoder> ipInner) : mpInner(std::move(ipInner)) {}
    uint32_t codecId() const override { return mpInner->codecId(); }
    int encode(const int16_t* ipSamples, int inCount, uint8_t* ipOutput, int inCapacity,
               std::string& irsError) override
    {
        int nBytes = mpInner->encode(ipSamples, inCount, ipOutput, inCapacity, irsError);
        if (nBytes >= 0 && static_cast<int>(aFrames.size()) == nDamagedFrame && fDamage) {
            Bytes aPayload(ipOutput, ipOutput + nBytes);
            fDamage(aPayload);
            if (!aPayload.empty())
                std::memcpy(ipOutput, aPayload.data(), std::min<size_t>(aPayload.size(), inCapacity));
            nBytes = static_cast<int>(std::min<size_t>(aPayload.size(), inCapacity));
        }
        if (nBytes >= 0)
            aFrames.emplace_back(ipOutput, ipOutput + nBytes);
        return nBytes;
    }

    Frames aFrames;
    int nDamagedFrame = -1;
    std::function<void(Bytes&)> fDamage;

private:
    std::unique_ptr<wvctools::FrameEncoder> mpInner;
};

struct CodecCase
{
    std::string sCodec;
    uint32_t nRate = 8000;
    uint32_t nSamplesPerFrame = 160;
};

struct WrittenFile
{
    Bytes aBytes;
    std::vector<Frames> aFrames; // per channel, as the encoder made them
    std::vector<Samples> aInput;
};

// Writes a WVC file of the signals with the codec's real encoder; an empty
// password writes a plain file. A damage function, when given, replaces the
// payload of frame inDamagedFrame of channel inDamagedChannel.
inline bool writeFile(const CodecCase& irCase, const std::vector<Samples>& irInput, const std::string& isPassword,
                      WrittenFile& irFile, std::string& irsError, int inDamagedChannel = -1,
                      int inDamagedFrame = -1, std::function<void(Bytes&)> ifDamage = {})
{
    wvctools::WvcWriterOptions aOptions;
    aOptions.nSampleRate = irCase.nRate;
    aOptions.nSamplesPerFrame = irCase.nSamplesPerFrame;
    aOptions.nFramesPerPage = 25;
    aOptions.bEncrypted = !isPassword.empty();
    aOptions.sPassword = isPassword;
    std::vector<std::unique_ptr<RecordingEncoder>> aEncoders;
    std::vector<wvctools::FrameEncoder*> aPointers;
    for (size_t i = 0; i < irInput.size(); ++i) {
        auto pInner = wvctools::makeFrameEncoder(irCase.sCodec, irCase.nRate, irCase.nSamplesPerFrame, irsError);
        if (!pInner)
            return false;
        aEncoders.push_back(std::make_unique<RecordingEncoder>(std::move(pInner)));
        if (static_cast<int>(i) == inDamagedChannel) {
            aEncoders.back()->nDamagedFrame = inDamagedFrame;
            aEncoders.back()->fDamage = ifDamage;
        }
        aPointers.push_back(aEncoders.back().get());
    }
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(aOptions);
    if (!aWriter.write(irInput, aPointers, aPages)) {
        irsError = aWriter.error();
        return false;
    }
    irFile.aBytes = wvctools::WvcWriter::join(aPages);
    irFile.aFrames.clear();
    for (const auto& pEncoder : aEncoders)
        irFile.aFrames.push_back(pEncoder->aFrames);
    irFile.aInput = irInput;
    return true;
}

// ---- the same frames in formats the ffmpeg program reads ----

inline void appendOggPage(const ogg_page& irPage, Bytes& irOut)
{
    irOut.insert(irOut.end(), irPage.header, irPage.header + irPage.header_len);
    irOut.insert(irOut.end(), irPage.body, irPage.body + irPage.body_len);
}

// Ogg Opus with one channel and no pre-skip, so that ffmpeg hands out every
// decoded sample.
inline Bytes oggOpus(const Frames& irFrames, uint32_t inRate, uint32_t inSamplesPerFrame)
{
    Bytes aOut;
    ogg_stream_state aStream;
    ogg_stream_init(&aStream, 4242);
    ogg_page aPage;
    unsigned char aHead[19] = {'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 1, 0, 0};
    for (int i = 0; i < 4; ++i)
        aHead[12 + i] = static_cast<unsigned char>(inRate >> (8 * i));
    unsigned char aTags[16] = {'O', 'p', 'u', 's', 'T', 'a', 'g', 's', 0, 0, 0, 0, 0, 0, 0, 0};
    ogg_packet aPacket{};
    aPacket.packet = aHead;
    aPacket.bytes = sizeof(aHead);
    aPacket.b_o_s = 1;
    ogg_stream_packetin(&aStream, &aPacket);
    while (ogg_stream_flush(&aStream, &aPage))
        appendOggPage(aPage, aOut);
    aPacket = ogg_packet{};
    aPacket.packet = aTags;
    aPacket.bytes = sizeof(aTags);
    aPacket.packetno = 1;
    ogg_stream_packetin(&aStream, &aPacket);
    while (ogg_stream_flush(&aStream, &aPage))
        appendOggPage(aPage, aOut);
    const int64_t nStep = static_cast<int64_t>(inSamplesPerFrame) * 48000 / inRate;
    for (size_t i = 0; i < irFrames.size(); ++i) {
        aPacket = ogg_packet{};
        aPacket.packet = const_cast<unsigned char*>(irFrames[i].data());
        aPacket.bytes = static_cast<long>(irFrames[i].size());
        aPacket.granulepos = static_cast<int64_t>(i + 1) * nStep;
        aPacket.packetno = static_cast<int64_t>(i) + 2;
        aPacket.e_o_s = i + 1 == irFrames.size();
        ogg_stream_packetin(&aStream, &aPacket);
        while (ogg_stream_pageout(&aStream, &aPage))
            appendOggPage(aPage, aOut);
    }
    while (ogg_stream_flush(&aStream, &aPage))
        appendOggPage(aPage, aOut);
    ogg_stream_clear(&aStream);
    return aOut;
}

inline Bytes concatenated(const std::string& isPrefix, const Frames& irFrames)
{
    Bytes aOut(isPrefix.begin(), isPrefix.end());
    for (const Bytes& rFrame : irFrames)
        aOut.insert(aOut.end(), rFrame.begin(), rFrame.end());
    return aOut;
}

// The ffmpeg input format for the frames of a codec and the bytes to feed.
inline Bytes containerFor(const CodecCase& irCase, const Frames& irFrames, QString& irsFormat)
{
    const int nCodec = WVC::codecIdFromName(irCase.sCodec.c_str());
    switch (nCodec) {
    case WVC::CODEC_OPUS: irsFormat = "ogg"; return oggOpus(irFrames, irCase.nRate, irCase.nSamplesPerFrame);
    case WVC::CODEC_AMR: irsFormat = "amr"; return concatenated("#!AMR\n", irFrames);
    case WVC::CODEC_AMR_WB: irsFormat = "amr"; return concatenated("#!AMR-WB\n", irFrames);
    case WVC::CODEC_G722: irsFormat = "g722"; return concatenated("", irFrames);
    case WVC::CODEC_G723: irsFormat = "g723_1"; return concatenated("", irFrames);
    case WVC::CODEC_G729: irsFormat = "g729"; return concatenated("", irFrames);
    case WVC::CODEC_GSM: irsFormat = "gsm"; return concatenated("", irFrames);
    case WVC::CODEC_PCM16: irsFormat = "s16le"; return concatenated("", irFrames);
    default: irsFormat.clear(); return {};
    }
}

// libavcodec's decoder for a WVC codec, by the name the ffmpeg program knows.
inline QString lavcDecoderName(uint32_t inCodecId)
{
    AVCodecID eId = AV_CODEC_ID_NONE;
    switch (inCodecId) {
    case WVC::CODEC_OPUS: eId = AV_CODEC_ID_OPUS; break;
    case WVC::CODEC_AMR: eId = AV_CODEC_ID_AMR_NB; break;
    case WVC::CODEC_AMR_WB: eId = AV_CODEC_ID_AMR_WB; break;
    case WVC::CODEC_G722: eId = AV_CODEC_ID_ADPCM_G722; break;
    case WVC::CODEC_G723: eId = AV_CODEC_ID_G723_1; break;
    case WVC::CODEC_G729: eId = AV_CODEC_ID_G729; break;
    case WVC::CODEC_GSM: eId = AV_CODEC_ID_GSM; break;
    case WVC::CODEC_PCM16: eId = AV_CODEC_ID_PCM_S16LE; break;
    default: break;
    }
    const AVCodec* pCodec = avcodec_find_decoder(eId);
    return pCodec ? QString::fromLatin1(pCodec->name) : QString();
}

// Decodes the frames with the ffmpeg program, as mono signed 16-bit samples
// at inRate; false with irsError set when ffmpeg fails.
inline bool ffmpegDecode(const CodecCase& irCase, const Frames& irFrames, uint32_t inRate, Samples& irOut,
                         QString& irsError)
{
    QTemporaryDir aDir;
    QString sFormat;
    const Bytes aInput = containerFor(irCase, irFrames, sFormat);
    const QString sPath = aDir.filePath("frames." + sFormat);
    QFile aFile(sPath);
    if (!aFile.open(QIODevice::WriteOnly) ||
        aFile.write(reinterpret_cast<const char*>(aInput.data()), static_cast<qint64>(aInput.size())) !=
            static_cast<qint64>(aInput.size())) {
        irsError = "cannot write " + sPath;
        return false;
    }
    aFile.close();
    const uint32_t nCodec = static_cast<uint32_t>(WVC::codecIdFromName(irCase.sCodec.c_str()));
    QProcess aFfmpeg;
    QStringList aArguments{"-nostdin", "-v", "error", "-f", sFormat};
    if (sFormat == "s16le") // raw samples say nothing of their rate
        aArguments << "-ar" << QString::number(irCase.nRate) << "-ac" << "1";
    aArguments << "-c:a" << lavcDecoderName(nCodec) << "-i" << sPath << "-ac" << "1" << "-ar" << QString::number(inRate)
               << "-f" << "s16le" << "-";
    aFfmpeg.start("ffmpeg", aArguments);
    if (!aFfmpeg.waitForFinished(120000) || aFfmpeg.exitStatus() != QProcess::NormalExit ||
        aFfmpeg.exitCode() != 0) {
        irsError = "ffmpeg failed: " + QString::fromLocal8Bit(aFfmpeg.readAllStandardError());
        return false;
    }
    const QByteArray aPcm = aFfmpeg.readAllStandardOutput();
    irOut.resize(static_cast<size_t>(aPcm.size()) / 2);
    std::memcpy(irOut.data(), aPcm.constData(), irOut.size() * 2);
    return true;
}

// The samples through a linear-phase low-pass (windowed sinc, 101 taps) with
// its cut-off at inCutoff of the sample rate; the filter delay is removed.
inline Samples lowPass(const Samples& irIn, double inCutoff)
{
    const int nHalf = 50;
    const double fPi = 3.14159265358979323846;
    std::vector<double> aTaps(2 * nHalf + 1);
    double fSum = 0.0;
    for (int k = -nHalf; k <= nHalf; ++k) {
        const double fSinc = k == 0 ? 2 * inCutoff : std::sin(2 * fPi * inCutoff * k) / (fPi * k);
        const double fWindow = 0.42 + 0.5 * std::cos(fPi * k / nHalf) + 0.08 * std::cos(2 * fPi * k / nHalf);
        aTaps[k + nHalf] = fSinc * fWindow;
        fSum += aTaps[k + nHalf];
    }
    Samples aOut(irIn.size());
    for (size_t i = 0; i < irIn.size(); ++i) {
        double fValue = 0.0;
        for (int k = -nHalf; k <= nHalf; ++k) {
            const long j = static_cast<long>(i) + k;
            if (j >= 0 && j < static_cast<long>(irIn.size()))
                fValue += aTaps[k + nHalf] / fSum * irIn[static_cast<size_t>(j)];
        }
        aOut[i] = static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, std::round(fValue))));
    }
    return aOut;
}

// Signal-to-noise ratio in dB of irTest against irReference over their
// common length.
inline double snrDb(const Samples& irReference, const Samples& irTest)
{
    const size_t n = std::min(irReference.size(), irTest.size());
    double fSignal = 0.0, fNoise = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double fDiff = static_cast<double>(irReference[i]) - irTest[i];
        fSignal += static_cast<double>(irReference[i]) * irReference[i];
        fNoise += fDiff * fDiff;
    }
    return fNoise == 0.0 ? 999.0 : 10.0 * std::log10(fSignal / fNoise);
}

// Judges our decode of one channel (irOurs) against ffmpeg's decode of the
// same frames (irTheirs); irInput is what the encoder was given. Empty when
// they agree as far as the codec allows:
// - libavcodec's decoder on both sides (Opus, G.722, G.723.1, G.729, GSM,
//   PCM16): identical samples. Opus comes out of our resampler behind a
//   short lead-in of silence that ffmpeg's own resampler does not pad, and
//   ffmpeg drains its resampler at the end; between the two, identical.
// - AMR and AMR-WB (opencore against ffmpeg's own decoder): at least 30 dB
//   SNR, AMR-WB compared below 6 kHz since each decoder fills 6.4 .. 7 kHz
//   with noise from its own random generator; and our decode follows the
//   input (above 3 dB SNR at the best delay within 30 ms).
inline QString judgeAgainstFfmpeg(uint32_t inCodec, uint32_t inRate, const Samples& irOurs, const Samples& irTheirs,
                                  const Samples& irInput, QString* ipsInfo = nullptr)
{
    if (inCodec == WVC::CODEC_AMR || inCodec == WVC::CODEC_AMR_WB) {
        if (irTheirs.size() != irOurs.size())
            return QString("ffmpeg gave %1 samples, we %2").arg(irTheirs.size()).arg(irOurs.size());
        const bool bWide = inCodec == WVC::CODEC_AMR_WB;
        const double fCut = 6000.0 / 16000.0;
        const double fSnr = bWide ? snrDb(lowPass(irTheirs, fCut), lowPass(irOurs, fCut)) : snrDb(irTheirs, irOurs);
        if (ipsInfo)
            *ipsInfo = QString("%1 dB against ffmpeg").arg(fSnr, 0, 'f', 1);
        if (fSnr < 30.0)
            return QString("SNR %1 dB against ffmpeg").arg(fSnr);
        const Samples aIn = bWide ? lowPass(irInput, fCut) : irInput;
        const Samples aOut = bWide ? lowPass(irOurs, fCut) : irOurs;
        double fBest = -100.0;
        for (size_t nDelay = 0; nDelay < 480 && nDelay < aOut.size(); ++nDelay)
            fBest = std::max(fBest, snrDb(aIn, Samples(aOut.begin() + static_cast<long>(nDelay), aOut.end())));
        if (fBest <= 3.0)
            return QString("input to decode SNR %1 dB").arg(fBest);
        return {};
    }
    size_t nLead = 0;
    if (inCodec == WVC::CODEC_OPUS && inRate != 48000) {
        while (nLead < irOurs.size() && irOurs[nLead] == 0)
            ++nLead;
        if (nLead == 0 || nLead > 64 || irOurs.size() < 400 || irTheirs.size() < 400)
            return QString("lead-in of %1 samples").arg(nLead);
        // The lead-in is the resampler's alone when ffmpeg's first samples
        // are silent too; find the exact alignment.
        size_t nAligned = nLead;
        while (nAligned > 0 &&
               !std::equal(irOurs.begin() + static_cast<long>(nAligned), irOurs.begin() + 400, irTheirs.begin()))
            --nAligned;
        nLead = nAligned;
    } else if (irTheirs.size() != irOurs.size()) {
        return QString("ffmpeg gave %1 samples, we %2").arg(irTheirs.size()).arg(irOurs.size());
    }
    if (irTheirs.size() + nLead < irOurs.size())
        return QString("ffmpeg gave %1 samples, we %2").arg(irTheirs.size()).arg(irOurs.size());
    for (size_t i = nLead; i < irOurs.size(); ++i) {
        if (irOurs[i] != irTheirs[i - nLead])
            return QString("differs from sample %1 of %2 (lead-in %3)").arg(i).arg(irOurs.size()).arg(nLead);
    }
    // Not trivially equal: the decode carries the signal.
    size_t nLoud = 0;
    for (int16_t nSample : irOurs)
        nLoud += std::abs(nSample) > 1000;
    if (nLoud <= irOurs.size() / 20)
        return QString("only %1 of %2 samples above 1000").arg(nLoud).arg(irOurs.size());
    return {};
}

// Decodes a whole file through WVC::Decoder; the last decode result.
inline int decodeWhole(wvctools::MemoryDecoder& irDecoder, const std::string& isPassword)
{
    if (!isPassword.empty())
        irDecoder.setPassword(isPassword);
    const int nOpen = irDecoder.openAll();
    if (nOpen != WVC::WVC_OK)
        return nOpen;
    int nResult;
    while ((nResult = irDecoder.decodeChunk(false, WVC::kChunkSize)) == WVC::WVC_MORE_DATA) {
    }
    return nResult;
}

} // namespace codectest
