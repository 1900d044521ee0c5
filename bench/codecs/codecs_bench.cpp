// Prints, per codec, how long WVC::Decoder takes to decode a 30-minute mono
// recording and how long the ffmpeg program takes for the same frames
// (decoded to 16-bit mono at the same rate, output discarded), and the
// ratio of the two. Goal: ratio at most 1.0. Times are CPU seconds (user
// and system), which a busy machine disturbs less than wall-clock time;
// ffmpeg's include its start-up.
// Usage: codecs_bench [minutes] [codec ...]
#include "CodecTestSupport.h"

#include <QCoreApplication>

#include <cstdio>

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

    double fOurs = 1e9, fTheirs = 1e9;
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
    }
    std::printf("%-7s %5u Hz %4u/frame  %9zu bytes  WVC::Decoder %7.2f s (%5.0f x real time)  ffmpeg %7.2f s  "
                "ratio %.2f  (%llu samples)\n",
                irCase.sCodec.c_str(), irCase.nRate, irCase.nSamplesPerFrame, aFile.size(), fOurs,
                60.0 * inMinutes / fOurs, fTheirs, fOurs / fTheirs, static_cast<unsigned long long>(nSamples));
    std::fflush(stdout);
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
