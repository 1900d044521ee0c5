// Fuzz entry for the package reader: the input is a whole package file. It is
// opened as user "u" with password "p" and every member is read, so the
// header, the index grammar, the settings and the member pipeline all see it.
#include "Package.h"

#include <QBuffer>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&)
{
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bQuiet = (qInstallMessageHandler(quiet), true);
    Q_UNUSED(bQuiet)

    QTemporaryFile file;
    if (!file.open() || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        return 0;
    file.close();

    Package package;
    const int nResult = package.openPackage(file.fileName(), QStringLiteral("u"), QStringLiteral("p"),
                                            QStringLiteral("authority"), true);
    if (nResult < 0)
        return 0;
    for (const QString& sPath : package.memberPaths()) {
        QBuffer buffer;
        package.readFile(sPath, &buffer);
        package.entrySize(sPath);
    }
    package.checkAuthorityPassword(QStringLiteral("authority"));
    package.closePackage();
    return 0;
}
