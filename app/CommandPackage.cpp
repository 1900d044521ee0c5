#include "CommandPackage.h"

#include "InputDialog.h"
#include "Package.h"

#include <cstdio>

QString openPackageForCommand(const QString& isPath, Package& irPackage, QString& irsUsername, int& irnResult)
{
    irnResult = -1;
    quint32 nType = 0;
    if (Package::checkMagic(isPath, nType) == -1)
        return QStringLiteral("not a readable package: %1").arg(isPath);
    if (nType < 2 || nType >= 4)
        return QStringLiteral("package type %1 is not supported: %2").arg(nType).arg(isPath);
    QString sPassword;
    QString sAuthorityPassword;
    if (Package::isEncryptedType(nType)) {
        InputDialog aDialog;
        if (!aDialog.getCredentials(irsUsername, sPassword, sAuthorityPassword))
            return QStringLiteral("no credentials given for %1").arg(isPath);
    }
    irnResult = irPackage.openPackage(isPath, irsUsername, sPassword, sAuthorityPassword, false);
    if (irnResult == -5)
        return QStringLiteral("the package needs its time verified online; open it in the window: %1").arg(isPath);
    if (irnResult < 0)
        return QStringLiteral("the package could not be opened (%1): %2")
            .arg(irnResult == -3 || irnResult == -1 ? QStringLiteral("credentials not accepted")
                                                    : QStringLiteral("damaged or unreadable"),
                 isPath);
    return QString();
}

int commandFailure(const QString& isMessage)
{
    std::fprintf(stderr, "VornViewer: %s\n", isMessage.simplified().toLocal8Bit().constData());
    std::fflush(stderr);
    return 1;
}

void commandWarning(const QString& isMessage)
{
    std::fprintf(stderr, "VornViewer: warning: %s\n", isMessage.simplified().toLocal8Bit().constData());
    std::fflush(stderr);
}
