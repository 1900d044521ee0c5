// Fuzz entry for the locales script: the input is the member
// "/app/js/data/locales.js" of a plain package, whose locale names are read
// as the locale menu reads them.
#include "Package.h"
#include "PackageWriter.h"

#include <QTemporaryDir>

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
    static QTemporaryDir aDir;
    const QString sPath = aDir.filePath(QStringLiteral("locales.pkg"));

    PackageWriter aWriter;
    if (!aWriter.addFile(QStringLiteral("/app/js/data/locales.js"),
                         QByteArray(reinterpret_cast<const char*>(data), int(size)))
        || !aWriter.write(sPath))
        return 0;
    Package aPackage;
    if (aPackage.openPackage(sPath, QString(), QString(), QString(), true) < 0)
        return 0;
    aPackage.loadLocales();
    aPackage.locales();
    return 0;
}
