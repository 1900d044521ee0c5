#include "CommandLine.h"

#include "Package.h"

#include <QFileInfo>

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kLowestPort = 1024;
// 65536 passes on purpose: the server takes the port as 16 bits, so it ends
// up as 0 and the server chooses, like every other rejected value.
constexpr int kHighestPort = 65536;

// Options followed by their value as the next argument.
struct ValueOption
{
    QLatin1String sName;
    QString CommandLine::*pValue;
    const char* pNeeds; // what the message says is missing
};
const ValueOption kValueOptions[] = {
    { QLatin1String("--review"), &CommandLine::sReviewPath, "a file name" },
    { QLatin1String("--report"), &CommandLine::sReportPath, "a file name" },
    { QLatin1String("--export-recordings"), &CommandLine::sExportFolder, "a folder" },
    { QLatin1String("--redact-with"), &CommandLine::sRedactWith, "tone or silence" },
};

// The combinations the run needs: the one-line message, or empty.
QString checkCombination(const CommandLine& irLine)
{
    if (!irLine.sReportPath.isEmpty() && !irLine.sExportFolder.isEmpty())
        return QStringLiteral("--report and --export-recordings cannot be given together");
    if (!irLine.sReportPath.isEmpty() && (irLine.sReviewPath.isEmpty() || irLine.sPackagePath.isEmpty()))
        return QStringLiteral("--report needs --review FILE and a package");
    if (!irLine.sExportFolder.isEmpty() && (irLine.sReviewPath.isEmpty() || irLine.sPackagePath.isEmpty()))
        return QStringLiteral("--export-recordings needs --review FILE and a package");
    if (!irLine.sRedactWith.isEmpty() && irLine.sRedactWith != QLatin1String("tone")
        && irLine.sRedactWith != QLatin1String("silence"))
        return QStringLiteral("--redact-with needs tone or silence, not %1").arg(irLine.sRedactWith);
    if ((!irLine.sRedactWith.isEmpty() || irLine.bOverwrite) && irLine.sExportFolder.isEmpty())
        return QStringLiteral("%1 needs --export-recordings DIR")
            .arg(irLine.bOverwrite ? QStringLiteral("--overwrite") : QStringLiteral("--redact-with"));
    return {};
}

// The file type recognises a package by its magic bytes whatever its name,
// so a file manager hands such files over without the ".pkg" suffix.
bool isPackageByMagic(const QString& isArgument)
{
    if (isArgument.startsWith(QLatin1Char('-')) || !QFileInfo(isArgument).isFile())
        return false;
    quint32 nType = 0;
    return Package::checkMagic(isArgument, nType) == 0;
}

} // namespace

CommandLine parseCommandLine(const QStringList& irsaArguments)
{
    CommandLine aResult;
    for (int n = 0; n < irsaArguments.size(); ++n) {
        const QString& sArgument = irsaArguments.at(n);
        bool bValueTaken = false;
        for (const ValueOption& rOption : kValueOptions) {
            if (sArgument != rOption.sName)
                continue;
            if (n + 1 >= irsaArguments.size() || irsaArguments.at(n + 1).startsWith(QLatin1String("--"))) {
                if (aResult.sError.isEmpty())
                    aResult.sError = QStringLiteral("%1 needs %2").arg(rOption.sName, QLatin1String(rOption.pNeeds));
            } else {
                aResult.*rOption.pValue = irsaArguments.at(++n);
            }
            bValueTaken = true;
        }
        if (bValueTaken)
            continue;
        if (sArgument.endsWith(QLatin1String(".pkg")) || (n > 0 && isPackageByMagic(sArgument)))
            aResult.sPackagePath = sArgument;
        if (sArgument == QLatin1String("--debug"))
            aResult.bDebug = true;
        if (sArgument.startsWith(QLatin1String("--port"))) {
            const QStringList saParts = sArgument.split(QLatin1Char('='), Qt::KeepEmptyParts);
            if (saParts.size() != 2) {
                aResult.bUsage = true;
                return aResult;
            }
            bool bOk = false;
            const int nPort = saParts.at(1).toInt(&bOk, 10);
            if (!bOk)
                qWarning("HTTP port could not be identified. A port will be selected by the server.");
            else if (nPort < kLowestPort || nPort > kHighestPort)
                qWarning("HTTP port not in allowed range (1024-65536). A port will be selected by the server.");
            else
                aResult.nPort = nPort;
        }
        if (sArgument == QLatin1String("--overwrite"))
            aResult.bOverwrite = true;
        if (sArgument == QLatin1String("--version"))
            aResult.bVersion = true;
        if (sArgument == QLatin1String("--help")) {
            aResult.bUsage = true;
            return aResult;
        }
    }
    if (aResult.sError.isEmpty())
        aResult.sError = checkCombination(aResult);
    return aResult;
}

void printUsage()
{
    std::fputs("Usage: VornViewer [--debug] [--port=8080] [--review FILE [--report OUT.pdf|OUT.csv | --export-recordings "
               "DIR [--redact-with tone|silence] [--overwrite]]] [PACKAGE.pkg]\n",
               stderr);
    std::fflush(stderr);
    std::exit(0);
}

void exitWithError(const QString& isMessage, int inStatus)
{
    QString sLine = isMessage.simplified();
    std::fprintf(stderr, "VornViewer: %s\n", sLine.toLocal8Bit().constData());
    std::fflush(stderr);
    std::exit(inStatus);
}

void printVersion()
{
    std::fputs("VornViewer " VORN_VERSION "\n", stdout);
    std::fflush(stdout);
    std::exit(0);
}
