// Prints how long openPackage takes for an encrypted package of 100 000
// members, and the decoded throughput of readFile for a 100 MB encrypted
// member beside zlib's own inflate of the same stream in the same run.
#include "BenchFigure.h"
#include "Package.h"
#include "PackageCipher.h"
#include "PackageWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cryptopp/filters.h>
#include <cryptopp/zlib.h>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int cnMembers = 100000;
constexpr int cnBigSize = 100 * 1024 * 1024;
constexpr int cnRuns = 5;

void quiet(QtMsgType, const QMessageLogContext&, const QString&)
{
}

// Text-like records with some noise: compresses about as well as call data.
QByteArray sampleContent(int inSize)
{
    QRandomGenerator random(42);
    QByteArray aOut;
    aOut.reserve(inSize);
    while (aOut.size() < inSize) {
        aOut += QByteArray("{\"id\":") + QByteArray::number(random.bounded(1000000)) + ",\"time_start\":\"2026-0"
                + QByteArray::number(random.bounded(1, 10)) + "-1" + QByteArray::number(random.bounded(10))
                + " 12:00:00\",\"flags\":" + QByteArray::number(random.generate()) + ",\"voice\":\"";
        for (int i = 0; i < 24; ++i)
            aOut += char(random.bounded(256));
        aOut += "\"},\n";
    }
    aOut.truncate(inSize);
    return aOut;
}

double median(std::vector<double> iaValues)
{
    std::sort(iaValues.begin(), iaValues.end());
    return iaValues[iaValues.size() / 2];
}

double openTime(const QTemporaryDir& irDir)
{
    PackageWriter writer;
    writer.setPassword("bench password");
    writer.setUsers("user1,user2,bench");
    writer.setSettings("default_locale=en_GB;package_call_expiration=never;storage_time_normal_cdr=365");
    const QByteArray aStored(64, 'x');
    for (int i = 0; i < cnMembers; ++i) {
        writer.addRawMember(QStringLiteral("/app/wave/2026/03/call-%1.wvc").arg(i, 7, 10, QLatin1Char('0')), aStored,
                            4096, PackageWriter::randomBytes(16).toBase64());
    }
    const QString sPath = irDir.filePath("members.pkg");
    if (!writer.write(sPath))
        return -1;

    std::vector<double> aMs;
    Package package;
    for (int i = 0; i < cnRuns; ++i) {
        // The opening workflow closes the previous package before it opens.
        package.closePackage();
        QElapsedTimer timer;
        timer.start();
        const int nResult = package.openPackage(sPath, "bench", "bench password", QString(), false);
        aMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (nResult != 0 || package.memberPaths().size() != cnMembers)
            return -1;
    }
    return median(aMs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    QTemporaryDir dir;

    const double fOpen = openTime(dir);
    std::printf("openPackage, encrypted, %d members: %.1f ms (goal < 300 ms)\n", cnMembers, fOpen);
    printFigure("package: openPackage, 100 000 members", figureText("%.1f ms", fOpen), "< 300 ms", fOpen < 300);

    const QByteArray aContent = sampleContent(cnBigSize);
    const QByteArray aZlib = PackageWriter::compress(aContent);
    const QString sPath = "/app/data/big.bin";
    const QByteArray aKey = PackageWriter::randomBytes(PackageCipher::cnKeySize);
    const CryptoPP::SecByteBlock aIv = PackageCipher::memberIv(sPath);
    PackageWriter writer;
    writer.setPassword("pw");
    writer.setUsers("u");
    writer.addRawMember(sPath, PackageWriter::encrypt(aZlib, aKey, QByteArray(reinterpret_cast<const char*>(aIv.data()), 16)),
                        aContent.size(), aKey.toBase64());
    const QString sPackage = dir.filePath("big.pkg");
    if (!writer.write(sPackage))
        return 1;
    std::printf("member: %d bytes decoded, %d bytes stored\n", aContent.size(), aZlib.size());

    Package package;
    if (package.openPackage(sPackage, "u", "pw", QString(), false) != 0)
        return 1;
    std::vector<double> aRead;
    std::vector<double> aInflate;
    std::vector<double> aCryptoInflate;
    const double fMb = double(aContent.size()) / (1024.0 * 1024.0);
    for (int i = 0; i < cnRuns; ++i) {
        QBuffer buffer;
        QElapsedTimer timer;
        timer.start();
        if (package.readFile(sPath, &buffer) != 0 || buffer.data() != aContent)
            return 1;
        aRead.push_back(fMb / (double(timer.nsecsElapsed()) / 1e9));

        // The output array is allocated inside the timing, as readFile has
        // to grow its own.
        timer.restart();
        QByteArray aOut(aContent.size(), Qt::Uninitialized);
        uLongf nOut = uLongf(aOut.size());
        if (uncompress(reinterpret_cast<Bytef*>(aOut.data()), &nOut, reinterpret_cast<const Bytef*>(aZlib.constData()),
                       uLong(aZlib.size())) != Z_OK)
            return 1;
        aInflate.push_back(fMb / (double(timer.nsecsElapsed()) / 1e9));

        std::string sOut;
        timer.restart();
        CryptoPP::StringSource(reinterpret_cast<const CryptoPP::byte*>(aZlib.constData()), size_t(aZlib.size()), true,
                               new CryptoPP::ZlibDecompressor(new CryptoPP::StringSink(sOut)));
        aCryptoInflate.push_back(fMb / (double(timer.nsecsElapsed()) / 1e9));
    }
    const double fRead = median(aRead);
    const double fInflate = median(aInflate);
    std::printf("readFile, encrypted member: %.1f MB/s\n", fRead);
    std::printf("zlib inflate, same stream:  %.1f MB/s\n", fInflate);
    std::printf("Crypto++ ZlibDecompressor alone, same stream: %.1f MB/s\n", median(aCryptoInflate));
    std::printf("ratio readFile / zlib: %.2f (goal >= 0.80)\n", fRead / fInflate);
    printFigure("package: readFile encrypted member", figureText("%.1f MB/s", fRead));
    printFigure("package: readFile / zlib inflate", figureText("%.2f", fRead / fInflate), ">= 0.80", fRead / fInflate >= 0.80);
    return 0;
}
