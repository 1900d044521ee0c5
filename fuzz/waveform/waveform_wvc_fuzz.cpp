// Fuzz target: the waveform of a ".wvc" member, drawn from arbitrary bytes
// stored in a real package. The first input byte picks the query (effects,
// balance, zoom); the rest is the member.
#include "Package.h"
#include "PackageWriter.h"

#include <QBuffer>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&)
{
}

const char* const kQueries[] = {"", "amplifyratio=2&balance=-30", "zoomstart=1000&zoomend=3000",
                                "notchfrequency=50&zoomstart=20&zoomend=99999999999999", "balance=100"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bQuiet = (qInstallMessageHandler(quiet), true);
    Q_UNUSED(bQuiet)
    if (size < 1)
        return 0;
    const char* pQuery = kQueries[data[0] % (sizeof kQueries / sizeof *kQueries)];

    PackageWriter writer;
    if (!writer.addFile("/app/wave/call.wvc", QByteArray(reinterpret_cast<const char*>(data) + 1, int(size - 1))))
        return 0;
    QTemporaryFile file;
    const QByteArray aPackage = writer.build();
    if (!file.open() || file.write(aPackage) != aPackage.size())
        return 0;
    file.close();
    Package package;
    if (package.openPackage(file.fileName(), QString(), QString(), QString(), false) != 0)
        return 0;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    package.generateWaveformSvg("/app/wave/call.svg", QString::fromLatin1(pQuery), &buffer);
    return 0;
}
