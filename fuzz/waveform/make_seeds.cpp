// Writes seeds of waveform_wvc_fuzz: short mono and stereo recordings from
// our writer (one without a duration in its header), with the query bytes 0
// (none), 1 (amplify and balance) and 2 (zoom).
// Usage: waveform_wvc_fuzz_make_seeds DIR
#include "WaveformTestFiles.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    using namespace WaveformTestFiles;
    const std::vector<int16_t> aLeft = steps(60 * 160, 160);
    const std::vector<int16_t> aRight = steps(60 * 160, 320);
    const struct
    {
        const char* pName;
        char nQuery;
        QByteArray aFile;
    } aSeeds[] = {{"mono", 0, wvcFile({aLeft})},
                  {"stereo-balance", 1, wvcFile({aLeft, aRight})},
                  {"mono-no-duration-zoom", 2, wvcFile({aLeft}, false)}};
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (const auto& rSeed : aSeeds) {
        QFile file(dir.filePath(QString("%1.bin").arg(rSeed.pName)));
        if (rSeed.aFile.isEmpty() || !file.open(QIODevice::WriteOnly)
            || file.write(QByteArray(1, rSeed.nQuery) + rSeed.aFile) < 0)
            return 1;
    }
    return 0;
}
