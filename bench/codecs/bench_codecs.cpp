// Prints, per codec, how long WVC::Decoder takes to decode a 30-minute mono
// recording and how long the ffmpeg program takes for the same frames
// (decoded to 16-bit mono at the same rate, output discarded), and the
// ratio of the two. Goal: ratio at most 1.0. Times are CPU seconds (user
// and system), which a busy machine disturbs less than wall-clock time;
// ffmpeg's include its start-up. A third figure, the codec library alone
// on the same frames in-process, shows what the container, deciphering
// and G.711 conversions of WVC::Decoder add.
// Usage: bench_codecs [minutes] [codec ...]
#include "BenchFigure.h"
#include "CodecTestSupport.h"

#include <QCoreApplication>

#include <cstdio>

extern "C" {
#include <libavutil/frame.h>
#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrwb/dec_if.h>
}

#include <sys/resource.h>
#include <time.h>

using namespace codectest;

namespace {

// Hands out recorded frames over and over.
class ReplayEncoder : public wvctools::FrameEncoder
{
public:
    ReplayEncoder(uint32_t inCodec, const Frames& irFrames) : mnCodec(inCodec), mrFrames(irFrames) {}
    uint32_t codecId() const override { return mnCodec; }
    int encode(const int16_t*, int, uint8_t* ipOutput, int inCapacity, std::string& irsError) override
    {
        const Bytes& rFrame = mrFrames[mnNext++ % mrFrames.size()];
        if (static_cast<int>(rFrame.size()) > inCapacity) {
            irsError = "frame too large";
            return -1;
        }
        std::memcpy(ipOutput, rFrame.data(), rFrame.size());
        return static_cast<int>(rFrame.size());
    }

private:
    uint32_t mnCodec;
    const Frames& mrFrames;
    size_t mnNext = 0;
};

double seconds(const timeval& irTime)
{
    return static_cast<double>(irTime.tv_sec) + irTime.tv_usec / 1e6;
}

double childrenCpuSeconds()
{
    rusage aUsage{};
    getrusage(RUSAGE_CHILDREN, &aUsage);
    return seconds(aUsage.ru_utime) + seconds(aUsage.ru_stime);
}

double ownCpuSeconds()
{
    timespec aTime{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &aTime);
    return static_cast<double>(aTime.tv_sec) + aTime.tv_nsec / 1e9;
}

double runFfmpeg(const QStringList& iaArgs)
{
    const double fBefore = childrenCpuSeconds();
    QProcess aFfmpeg;
    aFfmpeg.start("ffmpeg", iaArgs);
    if (!aFfmpeg.waitForFinished(600000) || aFfmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", aFfmpeg.readAllStandardError().constData());
        return -1.0;
    }
    return childrenCpuSeconds() - fBefore;
}

// CPU seconds of the codec library alone over the frames, decoded as the
// decoder sets it up (resampling and copies left out).
double libraryAlone(uint32_t inCodec, const Frames& irFrames, size_t inCount)
{
    const double fStart = ownCpuSeconds();
    if (inCodec == WVC::CODEC_AMR || inCodec == WVC::CODEC_AMR_WB) {
        const bool bWide = inCodec == WVC::CODEC_AMR_WB;
        void* pState = bWide ? D_IF_init() : Decoder_Interface_init();
        int16_t aOut[320];
        for (size_t i = 0; i < inCount; ++i) {
            const Bytes& rFrame = irFrames[i % irFrames.size()];
            if (bWide)
                D_IF_decode(pState, rFrame.data(), aOut, 0);
            else
                Decoder_Interface_Decode(pState, rFrame.data(), aOut, 0);
        }
        if (bWide)
            D_IF_exit(pState);
        else
            Decoder_Interface_exit(pState);
        return ownCpuSeconds() - fStart;
    }
    const AVCodecID eId = inCodec == WVC::CODEC_OPUS   ? AV_CODEC_ID_OPUS
                          : inCodec == WVC::CODEC_G722 ? AV_CODEC_ID_ADPCM_G722
                          : inCodec == WVC::CODEC_G723 ? AV_CODEC_ID_G723_1
                          : inCodec == WVC::CODEC_G729 ? AV_CODEC_ID_G729
                                                       : AV_CODEC_ID_GSM;
    const AVCodec* pCodec = avcodec_find_decoder(eId);
    AVCodecContext* pContext = avcodec_alloc_context3(pCodec);
    av_channel_layout_default(&pContext->ch_layout, 1);
    if (inCodec != WVC::CODEC_OPUS)
        pContext->sample_rate = inCodec == WVC::CODEC_G722 ? 16000 : 8000;
    avcodec_open2(pContext, pCodec, nullptr);
    AVPacket* pPacket = av_packet_alloc();
    AVFrame* pFrame = av_frame_alloc();
    for (size_t i = 0; i < inCount; ++i) {
        const Bytes& rFrame = irFrames[i % irFrames.size()];
        pPacket->data = const_cast<uint8_t*>(rFrame.data());
        pPacket->size = static_cast<int>(rFrame.size());
        avcodec_send_packet(pContext, pPacket);
        while (avcodec_receive_frame(pContext, pFrame) == 0)
            av_frame_unref(pFrame);
    }
    pPacket->data = nullptr;
    pPacket->size = 0;
    av_packet_free(&pPacket);
    av_frame_free(&pFrame);
    avcodec_free_context(&pContext);
    return ownCpuSeconds() - fStart;
}

bool benchCodec(const CodecCase& irCase, int inMinutes)
{
    // One minute of frames from the real encoder, repeated to the length.
    const uint32_t nCodec = static_cast<uint32_t>(WVC::codecIdFromName(irCase.sCodec.c_str()));
    WrittenFile aMinute;
    std::string sError;
    if (!writeFile(irCase, {speechLike(irCase.nRate * 60, irCase.nRate, 0)}, "", aMinute, sError)) {
        std::fprintf(stderr, "%s: %s\n", irCase.sCodec.c_str(), sError.c_str());
        return false;
    }
    const Frames& aFrames = aMinute.aFrames[0];
    const size_t nFrames = static_cast<size_t>(inMinutes) * 60 * irCase.nRate / irCase.nSamplesPerFrame;
    ReplayEncoder aReplay(nCodec, aFrames);
    wvctools::WvcWriterOptions aOptions;
    aOptions.nSampleRate = irCase.nRate;
    aOptions.nSamplesPerFrame = irCase.nSamplesPerFrame;
    std::vector<wvctools::WvcPage> aPages;
    wvctools::WvcWriter aWriter(aOptions);
    if (!aWriter.write({Samples(nFrames * irCase.nSamplesPerFrame, 0)}, {&aReplay}, aPages)) {
        std::fprintf(stderr, "%s: %s\n", irCase.sCodec.c_str(), aWriter.error().c_str());
        return false;
    }
    const Bytes aFile = wvctools::WvcWriter::join(aPages);
    aPages.clear();

    Frames aAll;
    aAll.reserve(nFrames);
    for (size_t i = 0; i < nFrames; ++i)
        aAll.push_back(aFrames[i % aFrames.size()]);
    QString sFormat;
    const Bytes aContainer = containerFor(irCase, aAll, sFormat);
    aAll.clear();
    QTemporaryDir aDir;
    const QString sPath = aDir.filePath("frames." + sFormat);
    QFile aOut(sPath);
    if (!aOut.open(QIODevice::WriteOnly) ||
        aOut.write(reinterpret_cast<const char*>(aContainer.data()), static_cast<qint64>(aContainer.size())) !=
            static_cast<qint64>(aContainer.size()))
        return false;
    aOut.close();

    double fOurs = 1e9, fTheirs = 1e9, fLibrary = 1e9;
    uint64_t nSamples = 0;
    for (int nRun = 0; nRun < 2; ++nRun) {
        wvctools::MemoryDecoder aDecoder(aFile);
        aDecoder.setCollect(false);
        const double fStart = ownCpuSeconds();
        if (aDecoder.openAll() != 0 || aDecoder.decodeAll(false) != 0 || !aDecoder.lastError().empty()) {
            std::fprintf(stderr, "%s: decode failed: %s\n", irCase.sCodec.c_str(), aDecoder.lastError().c_str());
            return false;
        }
        fOurs = std::min(fOurs, ownCpuSeconds() - fStart);
        nSamples = aDecoder.nPcmSamples;
        const double fFfmpeg =
            runFfmpeg({"-nostdin", "-v", "error", "-f", sFormat, "-c:a", lavcDecoderName(nCodec), "-i", sPath, "-ac",
                       "1", "-ar", QString::number(irCase.nRate), "-f", "null", "-"});
        if (fFfmpeg < 0)
            return false;
        fTheirs = std::min(fTheirs, fFfmpeg);
        fLibrary = std::min(fLibrary, libraryAlone(nCodec, aFrames, nFrames));
    }
    std::printf("%-7s %5u Hz %4u/frame %9zu bytes  WVC::Decoder %6.2f s (%5.0f x real time)  ffmpeg %6.2f s  "
                "ratio %.2f  library alone %6.2f s  (%llu samples)\n",
                irCase.sCodec.c_str(), irCase.nRate, irCase.nSamplesPerFrame, aFile.size(), fOurs,
                60.0 * inMinutes / fOurs, fTheirs, fOurs / fTheirs, fLibrary,
                static_cast<unsigned long long>(nSamples));
    std::fflush(stdout);
    printFigure("codecs: " + irCase.sCodec + " WVC::Decoder / ffmpeg", figureText("%.2f", fOurs / fTheirs), "<= 1.0",
                fOurs / fTheirs <= 1.0);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication aApp(argc, argv);
    const int nMinutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const CodecCase aCases[] = {
        {"opus", 16000, 320}, {"AMR", 8000, 160}, {"AMR-WB", 16000, 320}, {"G722", 16000, 320},
        {"G723", 8000, 240},  {"G729", 8000, 160}, {"GSM", 8000, 160},
    };
    std::printf("%d-minute mono recordings, best of 2 runs in CPU seconds; ratio = WVC::Decoder / ffmpeg\n", nMinutes);
    bool bOk = true;
    for (const CodecCase& rCase : aCases) {
        bool bWanted = argc <= 2;
        for (int i = 2; i < argc; ++i)
            bWanted = bWanted || rCase.sCodec == argv[i];
        if (bWanted)
            bOk = benchCodec(rCase, nMinutes) && bOk;
    }
    return bOk ? 0 : 1;
}
