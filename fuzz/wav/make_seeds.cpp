// Writes the seed corpus of wav_reader_fuzz from the WAV reader's test
// table: each small header as a seed, first byte 0x0F (in one piece) and 0x40
// (one byte at a time, with a zoom segment).
// Usage: wav_reader_fuzz_make_seeds DIR
#include "WavTestFiles.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    int nIndex = 0;
    for (const WavTestFiles::Case& rCase : WavTestFiles::cases()) {
        QString sName = QString::fromLatin1(rCase.pName).toLower();
        sName.replace(QRegExp("[^a-z0-9]+"), "-");
        for (const char nMode : {'\x0F', '\x40'}) {
            QFile file(dir.filePath(QString("%1-%2-%3.bin").arg(nIndex, 2, 10, QChar('0')).arg(sName).arg(int(quint8(nMode)), 2, 16, QChar('0'))));
            if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(1, nMode) + rCase.aFile) < 0)
                return 1;
        }
        ++nIndex;
    }
    return 0;
}
