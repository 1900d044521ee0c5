// wvctool: writes WVC files from WAV recordings, decodes them back to WAV
// through WVC::Decoder, and shows their header and metadata.
#include "FrameEncoder.h"
#include "MemoryDecoder.h"
#include "Resampler.h"
#include "WavFile.h"
#include "WvcWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage:\n"
    "  wvctool encode IN.wav [IN2.wav] OUT.wvc --codec NAME [--version 1|2|3|4] [--password P]\n"
    "          [--samples-per-frame N] [--frames-per-page N] [--meta KEY=VALUE]... [--no-duration]\n"
    "  wvctool decode IN.wvc OUT.wav [--password P] [--seek MS] [--zoom START:END] [--notch HZ[:Q]]\n"
    "          [--amplify RATIO] [--amplify-right RATIO]\n"
    "  wvctool info IN.wvc [--password P]\n";

enum Exit { EXIT_OK = 0, EXIT_FAILED = 1, EXIT_USAGE = 2, EXIT_PASSWORD = 3 };

struct Arguments
{
    std::string sCommand;
    std::vector<std::string> aFiles;
    std::map<std::string, std::string> aOptions;
    std::vector<std::string> aMeta;
};

int fail(int inCode, const std::string& isMessage)
{
    std::fprintf(stderr, "wvctool: %s\n", isMessage.c_str());
    return inCode;
}

bool parseInt(const std::string& isText, long long inMin, long long inMax, long long& irnValue)
{
    if (isText.empty())
        return false;
    char* pEnd = nullptr;
    errno = 0;
    const long long nValue = std::strtoll(isText.c_str(), &pEnd, 10);
    if (errno != 0 || *pEnd != '\0' || nValue < inMin || nValue > inMax)
        return false;
    irnValue = nValue;
    return true;
}

bool parseFloat(const std::string& isText, float& irfValue)
{
    if (isText.empty())
        return false;
    char* pEnd = nullptr;
    errno = 0;
    const float fValue = std::strtof(isText.c_str(), &pEnd);
    if (errno != 0 || *pEnd != '\0')
        return false;
    irfValue = fValue;
    return true;
}

// Options may stand anywhere; those with a value take the next argument.
bool parseArguments(int argc, char** argv, Arguments& irArgs, std::string& irsError)
{
    static const char* const kWithValue[] = {"--codec", "--version", "--password", "--samples-per-frame",
                                              "--frames-per-page", "--meta", "--seek", "--zoom",
                                              "--notch", "--amplify", "--amplify-right"};
    if (argc < 2) {
        irsError = "no command given";
        return false;
    }
    irArgs.sCommand = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string sArg = argv[i];
        if (sArg.size() < 2 || sArg.compare(0, 2, "--") != 0) {
            irArgs.aFiles.push_back(sArg);
            continue;
        }
        if (sArg == "--no-duration") {
            irArgs.aOptions[sArg] = "1";
            continue;
        }
        bool bKnown = false;
        for (const char* pName : kWithValue)
            bKnown = bKnown || sArg == pName;
        if (!bKnown) {
            irsError = "unknown option " + sArg;
            return false;
        }
        if (i + 1 >= argc) {
            irsError = "option " + sArg + " needs a value";
            return false;
        }
        if (sArg == "--meta")
            irArgs.aMeta.push_back(argv[++i]);
        else
            irArgs.aOptions[sArg] = argv[++i];
    }
    return true;
}

bool readFile(const std::string& isPath, std::vector<uint8_t>& irBytes)
{
    std::ifstream aIn(isPath, std::ios::binary);
    if (!aIn)
        return false;
    irBytes.assign(std::istreambuf_iterator<char>(aIn), std::istreambuf_iterator<char>());
    return true;
}

// The decoder's messages about the metadata stream all name it.
bool namesMetadata(const std::string& isMessage)
{
    std::string sLower(isMessage);
    std::transform(sLower.begin(), sLower.end(), sLower.begin(), [](unsigned char c) { return std::tolower(c); });
    return sLower.find("metadata") != std::string::npos;
}

bool hasOption(const Arguments& irArgs, const char* ipName)
{
    return irArgs.aOptions.count(ipName) != 0;
}

int encode(const Arguments& irArgs)
{
    if (irArgs.aFiles.size() < 2 || irArgs.aFiles.size() > 3)
        return fail(EXIT_USAGE, "encode needs IN.wav [IN2.wav] OUT.wvc");
    if (!hasOption(irArgs, "--codec"))
        return fail(EXIT_USAGE, "encode needs --codec NAME");
    std::string sError;
    std::vector<wvctools::WavData> aInputs(irArgs.aFiles.size() - 1);
    for (size_t i = 0; i < aInputs.size(); ++i) {
        if (!wvctools::readWav(irArgs.aFiles[i], aInputs[i], sError))
            return fail(EXIT_FAILED, sError);
    }
    std::vector<std::vector<int16_t>> aChannels;
    if (aInputs.size() == 2) {
        if (aInputs[0].nChannels != 1 || aInputs[1].nChannels != 1)
            return fail(EXIT_FAILED, "two inputs must both be mono");
        if (aInputs[0].nSampleRate != aInputs[1].nSampleRate)
            return fail(EXIT_FAILED, "the two inputs have different sample rates");
        aChannels = {aInputs[0].aSamples, aInputs[1].aSamples};
        // The shorter channel is padded with silence.
        const size_t nLength = std::max(aChannels[0].size(), aChannels[1].size());
        aChannels[0].resize(nLength, 0);
        aChannels[1].resize(nLength, 0);
    } else if (aInputs[0].nChannels == 2) {
        aChannels.resize(2);
        for (size_t i = 0; i + 1 < aInputs[0].aSamples.size(); i += 2) {
            aChannels[0].push_back(aInputs[0].aSamples[i]);
            aChannels[1].push_back(aInputs[0].aSamples[i + 1]);
        }
    } else {
        aChannels = {aInputs[0].aSamples};
    }

    wvctools::WvcWriterOptions aOptions;
    auto aOption = irArgs.aOptions;
    // Codecs that fix their rate get the input resampled to it.
    aOptions.nSampleRate = wvctools::encoderSampleRate(aOption["--codec"], aInputs[0].nSampleRate);
    if (aOptions.nSampleRate != aInputs[0].nSampleRate) {
        std::fprintf(stderr, "wvctool: resampling %u Hz to %u Hz for %s\n", aInputs[0].nSampleRate,
                     aOptions.nSampleRate, aOption["--codec"].c_str());
        for (std::vector<int16_t>& rChannel : aChannels) {
            std::vector<int16_t> aResampled;
            if (!wvctools::resampleChannel(rChannel, aInputs[0].nSampleRate, aOptions.nSampleRate, aResampled, sError))
                return fail(EXIT_FAILED, sError);
            rChannel.swap(aResampled);
        }
    }
    aOptions.nSamplesPerFrame = wvctools::defaultSamplesPerFrame(aOption["--codec"], aOptions.nSampleRate);
    long long nValue = 0;
    if (aOption.count("--version")) {
        if (!parseInt(aOption["--version"], 1, 4, nValue))
            return fail(EXIT_USAGE, "--version must be 1, 2, 3 or 4");
        aOptions.nVersion = static_cast<uint32_t>(nValue);
    }
    if (aOption.count("--samples-per-frame")) {
        if (!parseInt(aOption["--samples-per-frame"], 1, 1920, nValue))
            return fail(EXIT_USAGE, "--samples-per-frame must be 1 .. 1920");
        aOptions.nSamplesPerFrame = static_cast<uint32_t>(nValue);
    }
    if (aOption.count("--frames-per-page")) {
        if (!parseInt(aOption["--frames-per-page"], 1, 255, nValue))
            return fail(EXIT_USAGE, "--frames-per-page must be 1 .. 255");
        aOptions.nFramesPerPage = static_cast<uint32_t>(nValue);
    }
    if (aOption.count("--password")) {
        aOptions.bEncrypted = true;
        aOptions.sPassword = aOption["--password"];
    }
    aOptions.bWriteDuration = !aOption.count("--no-duration");
    for (const std::string& sMeta : irArgs.aMeta) {
        const size_t nEquals = sMeta.find('=');
        if (nEquals == std::string::npos)
            return fail(EXIT_USAGE, "--meta needs KEY=VALUE, got " + sMeta);
        aOptions.aMetadata.emplace_back(sMeta.substr(0, nEquals), sMeta.substr(nEquals + 1));
    }

    std::vector<std::unique_ptr<wvctools::FrameEncoder>> aEncoders;
    std::vector<wvctools::FrameEncoder*> aEncoderPointers;
    for (size_t i = 0; i < aChannels.size(); ++i) {
        aEncoders.push_back(wvctools::makeFrameEncoder(aOption["--codec"], aOptions.nSampleRate,
                                                      aOptions.nSamplesPerFrame, sError));
        if (!aEncoders.back())
            return fail(EXIT_FAILED, sError);
        aEncoderPointers.push_back(aEncoders.back().get());
    }
    wvctools::WvcWriter aWriter(aOptions);
    std::vector<wvctools::WvcPage> aPages;
    if (!aWriter.write(aChannels, aEncoderPointers, aPages))
        return fail(EXIT_FAILED, aWriter.error());
    const std::vector<uint8_t> aBytes = wvctools::WvcWriter::join(aPages);
    const std::string& sOut = irArgs.aFiles.back();
    std::ofstream aOut(sOut, std::ios::binary | std::ios::trunc);
    if (!aOut || !aOut.write(reinterpret_cast<const char*>(aBytes.data()), static_cast<std::streamsize>(aBytes.size())))
        return fail(EXIT_FAILED, "cannot write " + sOut);
    return EXIT_OK;
}

// Opens the file in the decoder; an exit code other than EXIT_OK on failure.
int openDecoder(const Arguments& irArgs, wvctools::MemoryDecoder& irDecoder, bool ibHeaderOnly = false)
{
    const std::string& sIn = irArgs.aFiles[0];
    std::vector<uint8_t> aBytes;
    if (!readFile(sIn, aBytes))
        return fail(EXIT_FAILED, "cannot read " + sIn);
    irDecoder.setBytes(std::move(aBytes));
    auto it = irArgs.aOptions.find("--password");
    if (it != irArgs.aOptions.end())
        irDecoder.setPassword(it->second);
    const int nResult = irDecoder.open(irDecoder.bytes().size(), ibHeaderOnly);
    if (nResult == WVC::WVC_PASSWORD_ERROR)
        return fail(EXIT_PASSWORD, sIn + ": " + irDecoder.lastError() +
                                       (it == irArgs.aOptions.end() ? " (give --password)" : " (wrong password)"));
    if (nResult != WVC::WVC_OK)
        return fail(EXIT_FAILED, sIn + ": not a readable WVC file: " + irDecoder.lastError() + " (" +
                                     std::to_string(nResult) + ")");
    return EXIT_OK;
}

int decode(const Arguments& irArgs)
{
    if (irArgs.aFiles.size() != 2)
        return fail(EXIT_USAGE, "decode needs IN.wvc OUT.wav");
    wvctools::MemoryDecoder aDecoder;
    auto aOption = irArgs.aOptions;
    long long nSeek = 0;
    if (aOption.count("--seek") && !parseInt(aOption["--seek"], 0, INT64_MAX, nSeek))
        return fail(EXIT_USAGE, "--seek needs milliseconds");
    if (aOption.count("--zoom")) {
        const std::string sZoom = aOption["--zoom"];
        const size_t nColon = sZoom.find(':');
        long long nStart = 0, nEnd = 0;
        if (nColon == std::string::npos || !parseInt(sZoom.substr(0, nColon), 0, INT64_MAX, nStart) ||
            !parseInt(sZoom.substr(nColon + 1), 0, INT64_MAX, nEnd) || nEnd < nStart)
            return fail(EXIT_USAGE, "--zoom needs START:END in milliseconds");
        aDecoder.setZoomSegment(nStart, nEnd);
    }
    if (aOption.count("--notch")) {
        const std::string sNotch = aOption["--notch"];
        const size_t nColon = sNotch.find(':');
        long long nHz = 0;
        float fQ = 0.5f;
        if (!parseInt(sNotch.substr(0, nColon), 0, UINT32_MAX, nHz) ||
            (nColon != std::string::npos && !parseFloat(sNotch.substr(nColon + 1), fQ)))
            return fail(EXIT_USAGE, "--notch needs HZ[:Q]");
        aDecoder.setNotchFilter(static_cast<uint32_t>(nHz), fQ);
    }
    float fRatio = 1.0f;
    if (aOption.count("--amplify")) {
        if (!parseFloat(aOption["--amplify"], fRatio))
            return fail(EXIT_USAGE, "--amplify needs a ratio");
        aDecoder.setAmplify(0, fRatio);
        aDecoder.setAmplify(1, fRatio);
    }
    if (aOption.count("--amplify-right")) {
        if (!parseFloat(aOption["--amplify-right"], fRatio))
            return fail(EXIT_USAGE, "--amplify-right needs a ratio");
        aDecoder.setAmplify(1, fRatio);
    }
    const int nOpen = openDecoder(irArgs, aDecoder);
    if (nOpen != EXIT_OK)
        return nOpen;
    const size_t nLogBefore = aDecoder.aLog.size();
    int nResult;
    if (aOption.count("--zoom")) {
        nResult = aDecoder.decodeAll(false);
    } else {
        if (aOption.count("--seek")) {
            nResult = aDecoder.seek(nSeek, true);
            if (nResult != WVC::WVC_OK)
                return fail(EXIT_FAILED, "cannot seek: " + std::to_string(nResult));
        }
        while ((nResult = aDecoder.decodeChunk(false, WVC::kChunkSize)) == WVC::WVC_MORE_DATA) {
        }
        if (nResult == WVC::WVC_END_OF_FILE)
            nResult = WVC::WVC_OK;
    }
    aDecoder.close();

    std::string sFirstError;
    for (size_t i = nLogBefore; i < aDecoder.aLog.size(); ++i) {
        const auto& rLine = aDecoder.aLog[i];
        // Damaged metadata leaves the audio whole: it is reported, but the
        // decode does not fail for it.
        if (rLine.first >= WVC::WvcLogger::ERR && namesMetadata(rLine.second))
            std::fprintf(stderr, "wvctool: warning: damaged metadata: %s\n", rLine.second.c_str());
        else if (rLine.first >= WVC::WvcLogger::ERR && sFirstError.empty())
            sFirstError = rLine.second;
        else if (rLine.first == WVC::WvcLogger::WRN)
            std::fprintf(stderr, "wvctool: warning: %s\n", rLine.second.c_str());
    }
    wvctools::WavData aWav;
    aWav.nSampleRate = aDecoder.sampleRate();
    aWav.nChannels = static_cast<uint16_t>(aDecoder.channelCount());
    if (aWav.nChannels == 2) {
        aWav.aSamples.reserve(aDecoder.aLeft.size() * 2);
        for (size_t i = 0; i < aDecoder.aLeft.size(); ++i) {
            aWav.aSamples.push_back(aDecoder.aLeft[i]);
            aWav.aSamples.push_back(i < aDecoder.aRight.size() ? aDecoder.aRight[i] : 0);
        }
    } else {
        aWav.aSamples = aDecoder.aLeft;
    }
    std::string sError;
    if (!wvctools::writeWav(irArgs.aFiles[1], aWav, sError))
        return fail(EXIT_FAILED, sError);
    if (nResult != WVC::WVC_OK)
        return fail(EXIT_FAILED, irArgs.aFiles[0] + ": decoding failed: " + sFirstError + " (" +
                                     std::to_string(nResult) + ")");
    if (!sFirstError.empty())
        return fail(EXIT_FAILED, irArgs.aFiles[0] + ": damaged or undecodable frames: " + sFirstError);
    return EXIT_OK;
}

int info(const Arguments& irArgs)
{
    if (irArgs.aFiles.size() != 1)
        return fail(EXIT_USAGE, "info needs IN.wvc");
    wvctools::MemoryDecoder aDecoder;
    aDecoder.setCollect(false);
    const int nOpen = openDecoder(irArgs, aDecoder);
    if (nOpen != EXIT_OK)
        return nOpen;
    std::printf("version: %u\n", aDecoder.version());
    std::printf("encryption: %s\n", aDecoder.encryption() == WVC::ENCRYPTION_AES ? "encrypted" : "plain");
    std::printf("codec: %s\n", WVC::codecName(aDecoder.codecId()));
    std::printf("channels: %u\n", aDecoder.channelCount());
    std::printf("sample rate: %u\n", aDecoder.sampleRate());
    std::printf("samples per frame: %u\n", aDecoder.samplesPerFrame());
    std::printf("frame duration: %u ms\n", aDecoder.frameDuration());
    std::printf("duration: %lld ms\n", static_cast<long long>(aDecoder.duration()));
    // Metadata pages may stand anywhere: read the whole file for them.
    while (aDecoder.decodeChunk(false, WVC::kChunkSize) == WVC::WVC_MORE_DATA) {
    }
    for (const auto& rPair : aDecoder.metadata)
        std::printf("meta: %s=%s\n", rPair.first.c_str(), rPair.second.c_str());
    aDecoder.close();
    return EXIT_OK;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0
                         || std::strcmp(argv[1], "help") == 0)) {
        std::fputs(kUsage, stdout);
        return EXIT_OK;
    }
    Arguments aArgs;
    std::string sError;
    if (!parseArguments(argc, argv, aArgs, sError)) {
        std::fprintf(stderr, "wvctool: %s\n%s", sError.c_str(), kUsage);
        return EXIT_USAGE;
    }
    if (aArgs.sCommand == "encode")
        return encode(aArgs);
    if (aArgs.sCommand == "decode")
        return decode(aArgs);
    if (aArgs.sCommand == "info")
        return info(aArgs);
    std::fprintf(stderr, "wvctool: unknown command %s\n%s", aArgs.sCommand.c_str(), kUsage);
    return EXIT_USAGE;
}
