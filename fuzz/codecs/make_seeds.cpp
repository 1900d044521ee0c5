// Writes the seed corpus of codec_frames_fuzz: for each codec, frames of a
// short tone from the real encoder, mono and stereo, plain and encrypted.
// Usage: codec_frames_fuzz_make_seeds DIR
#include "FrameEncoder.h"

#include <cmath>
#include <memory>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    struct Codec
    {
        const char* pName;
        uint32_t nRate;
        uint32_t nSamplesPerFrame;
    };
    const Codec aCodecs[] = {{"opus", 16000, 320}, {"AMR", 8000, 160},  {"AMR-WB", 16000, 320}, {"G722", 16000, 320},
                             {"G723", 8000, 240},  {"G729", 8000, 160}, {"GSM", 8000, 160}};
    for (int nIndex = 0; nIndex < 7; ++nIndex) {
        const Codec& rCodec = aCodecs[nIndex];
        for (int nFlags = 0; nFlags < 4; ++nFlags) {
            const int nChannels = (nFlags & 1) ? 2 : 1;
            std::vector<uint8_t> aSeed{static_cast<uint8_t>(nIndex), static_cast<uint8_t>(nFlags)};
            std::string sError;
            std::vector<std::unique_ptr<wvctools::FrameEncoder>> aEncoders;
            for (int c = 0; c < nChannels; ++c)
                aEncoders.push_back(
                    wvctools::makeFrameEncoder(rCodec.pName, rCodec.nRate, rCodec.nSamplesPerFrame, sError));
            if (!aEncoders.back()) {
                std::fprintf(stderr, "%s: %s\n", rCodec.pName, sError.c_str());
                return 1;
            }
            std::vector<int16_t> aSamples(rCodec.nSamplesPerFrame);
            std::vector<uint8_t> aPayload(4096);
            for (int nFrame = 0; nFrame < 8; ++nFrame) {
                for (int c = 0; c < nChannels; ++c) {
                    for (uint32_t i = 0; i < rCodec.nSamplesPerFrame; ++i)
                        aSamples[i] = static_cast<int16_t>(
                            8000 * std::sin(0.07 * (c + 1) * (nFrame * rCodec.nSamplesPerFrame + i)));
                    const int nBytes = aEncoders[c]->encode(aSamples.data(), static_cast<int>(aSamples.size()),
                                                            aPayload.data(), static_cast<int>(aPayload.size()), sError);
                    if (nBytes < 0) {
                        std::fprintf(stderr, "%s: %s\n", rCodec.pName, sError.c_str());
                        return 1;
                    }
                    aSeed.push_back(static_cast<uint8_t>(nBytes));
                    aSeed.push_back(static_cast<uint8_t>(nBytes >> 8));
                    aSeed.insert(aSeed.end(), aPayload.begin(), aPayload.begin() + nBytes);
                }
            }
            const std::string sPath = std::string(argv[1]) + "/" + rCodec.pName + (nChannels == 2 ? "-stereo" : "-mono") +
                                      ((nFlags & 2) ? "-encrypted" : "-plain") + ".bin";
            std::ofstream aOut(sPath, std::ios::binary);
            aOut.write(reinterpret_cast<const char*>(aSeed.data()), static_cast<std::streamsize>(aSeed.size()));
        }
    }
    return 0;
}
