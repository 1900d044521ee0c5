// pkgtool: writes, lists and extracts package files with the same library
// as the viewer. Errors go to standard error as one line and a non-zero exit.
#include "ExtractToDirectory.h"
#include "PackageAnalysis.h"
#include "Package.h"
#include "PackageWriter.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace {

bool gbVerbose = false;

void messageHandler(QtMsgType inType, const QMessageLogContext&, const QString& isMessage)
{
    // The package logs its own progress; the tool prints it only on request.
    if (gbVerbose || inType == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(isMessage));
}

int fail(const QString& isText)
{
    std::fprintf(stderr, "pkgtool: %s\n", qPrintable(isText));
    return 1;
}

QString openError(int inResult)
{
    switch (inResult) {
    case -1: return QStringLiteral("wrong password, or the package cannot be read");
    case -2: return QStringLiteral("damaged package");
    case -3: return QStringLiteral("unknown user");
    case -5: return QStringLiteral("package requires external time verification");
    default: return QStringLiteral("cannot open package (result %1)").arg(inResult);
    }
}

struct CommandHelp
{
    const char* pName;
    const char* pText;
};

// What "pkgtool help COMMAND" and "pkgtool COMMAND --help" print; the manual
// page says the same.
const CommandHelp kCommandHelp[] = {
    {"create",
     "Usage: pkgtool create OUT.pkg --root DIR [--password P] [--users a,b] [--settings \"k=v;k=v\"] [--key-file FILE]\n"
     "Writes a package whose members are the files below DIR (member path = \"/\" + path below DIR).\n"
     "  --root DIR        folder whose files become the members\n"
     "  --password P      encrypt the package with this password\n"
     "  --users a,b       user names the package accepts\n"
     "  --settings S      index settings, \"key=value\" entries separated by \";\"\n"
     "  --key-file FILE   file whose text becomes the time verification key\n"
     "Example: pkgtool create calls.pkg --root export/ --password secret --users ann,bob\n"},
    {"list",
     "Usage: pkgtool list PKG [--user U --password P] [--authority A]\n"
     "Prints whether the package is encrypted, its settings, and one line per member:\n"
     "path, stored size, decoded size, offset.\n"
     "  --user U, --password P   credentials of an encrypted package\n"
     "  --authority A            authority password\n"
     "Example: pkgtool list calls.pkg --user ann --password secret\n"},
    {"extract",
     "Usage: pkgtool extract PKG MEMBER [--user U --password P]\n"
     "       pkgtool extract PKG [MEMBER ...] --to DIR [--overwrite] [--user U --password P]\n"
     "Without --to, writes one member to standard output. With --to, writes every member\n"
     "(or the named ones) below DIR under its path, decrypted and inflated (WVC recordings\n"
     "as stored); progress goes to standard error for packages over 100 MB. A member path\n"
     "that would leave DIR (\"..\", absolute, a symlink in DIR pointing out) is refused and\n"
     "written nowhere; existing files are kept unless --overwrite is given. The exit status\n"
     "is 1 when any member was refused or failed.\n"
     "  --to DIR                 folder to write into (created when missing)\n"
     "  --overwrite              replace files that exist already\n"
     "  --user U, --password P   credentials of an encrypted package\n"
     "  --authority A            authority password\n"
     "Example: pkgtool extract calls.pkg --to unpacked/ --user ann --password secret\n"},
    {"analyse",
     "Usage: pkgtool analyse PKG [--user U --password P]\n"
     "Prints the talk, silence and overtalk figures of every call with a recording, in list\n"
     "order and after retention, as CSV: call_id,time_start,channels,duration_ms,\n"
     "agent_talk_ms,customer_talk_ms,talk_ms,silence_total_ms,silence_longest_ms,silence_count,\n"
     "overtalk_total_ms,overtalk_count,interruptions_agent,interruptions_customer. The agent is\n"
     "the left channel, the customer the right; stereo-only columns stay empty for mono. A\n"
     "recording that cannot be decoded gives a row with empty figures and a warning on\n"
     "standard error. The exit status is 1 only when the package cannot be read.\n"
     "  --user U, --password P   credentials of an encrypted package\n"
     "  --authority A            authority password\n"
     "Example: pkgtool analyse calls.pkg --user ann --password secret > figures.csv\n"},
};

const CommandHelp* findHelp(const QString& isCommand)
{
    for (const CommandHelp& help : kCommandHelp)
        if (isCommand == QLatin1String(help.pName))
            return &help;
    return nullptr;
}

int printHelp(const CommandHelp& irHelp)
{
    std::fputs(irHelp.pText, stdout);
    return 0;
}

int create(const QCommandLineParser& parser, const QStringList& aArgs)
{
    if (aArgs.size() != 2)
        return fail(QStringLiteral("usage: pkgtool create OUT.pkg --root DIR [--password P] [--users a,b] "
                                   "[--settings \"k=v;k=v\"] [--key-file FILE]"));
    if (!parser.isSet(QStringLiteral("root")))
        return fail(QStringLiteral("create needs --root DIR"));
    const QDir root(QFileInfo(parser.value(QStringLiteral("root"))).absoluteFilePath());
    if (!root.exists())
        return fail(QStringLiteral("no such directory: %1").arg(root.path()));

    PackageWriter writer;
    if (parser.isSet(QStringLiteral("password")))
        writer.setPassword(parser.value(QStringLiteral("password")));
    const QString sUsers = parser.value(QStringLiteral("users"));
    const QString sSettings = parser.value(QStringLiteral("settings"));
    QString sKeyText;
    if (parser.isSet(QStringLiteral("key-file"))) {
        QFile keyFile(parser.value(QStringLiteral("key-file")));
        if (!keyFile.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read key file %1").arg(keyFile.fileName()));
        sKeyText = QString::fromUtf8(keyFile.readAll());
    }
    if (sUsers.contains(QLatin1Char('|')) || sSettings.contains(QLatin1Char('|')) || sKeyText.contains(QLatin1Char('|')))
        return fail(QStringLiteral("users, settings and key text must not contain \"|\""));
    writer.setUsers(sUsers);
    writer.setSettings(sSettings);
    writer.setTimeVerificationKey(sKeyText);

    QStringList aFiles;
    QDirIterator it(root.absolutePath(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        aFiles.append(it.next());
    aFiles.sort();
    for (const QString& sFile : aFiles) {
        QFile file(sFile);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1").arg(sFile));
        QString sError;
        if (!writer.addFile(QLatin1Char('/') + root.relativeFilePath(sFile), file.readAll(), &sError))
            return fail(sError);
    }
    QString sError;
    if (!writer.write(aArgs[1], &sError))
        return fail(sError);
    return 0;
}

int openForReading(const QCommandLineParser& parser, const QString& isPath, Package& irPackage)
{
    quint32 nType = 0;
    if (Package::checkMagic(isPath, nType) != 0)
        return fail(QStringLiteral("not a package file: %1").arg(isPath));
    if (Package::isEncryptedType(nType) && !parser.isSet(QStringLiteral("password")))
        return fail(QStringLiteral("package is encrypted: give --user and --password"));
    // The tool reads members; it has no clock to verify, so it does not ask for one.
    const int nResult = irPackage.openPackage(isPath, parser.value(QStringLiteral("user")),
                                              parser.value(QStringLiteral("password")),
                                              parser.value(QStringLiteral("authority")), true);
    if (nResult < 0)
        return fail(openError(nResult));
    return 0;
}

int list(const QCommandLineParser& parser, const QStringList& aArgs)
{
    if (aArgs.size() != 2)
        return fail(QStringLiteral("usage: pkgtool list PKG [--user U --password P]"));
    Package package;
    if (openForReading(parser, aArgs[1], package) != 0)
        return 1;
    QTextStream out(stdout);
    out << "encrypted: " << (package.isEncrypted() ? "yes" : "no") << '\n';
    for (const QString& sEntry : package.settingsText().split(QLatin1Char(';'), Qt::SkipEmptyParts))
        out << "setting: " << sEntry << '\n';
    if (!package.timeVerificationKey().isEmpty())
        out << "time verification key: " << package.timeVerificationKey().size() << " characters\n";
    for (const QString& sPath : package.memberPaths()) {
        out << sPath << ' ' << package.entryStoredSize(sPath) << ' ' << package.entrySize(sPath) << ' '
            << package.entryOffset(sPath) << '\n';
    }
    return 0;
}

int extractTo(const QCommandLineParser& parser, const QStringList& aArgs)
{
    Package package;
    if (openForReading(parser, aArgs[1], package) != 0)
        return 1;
    ExtractOptions options;
    options.sDirectory = parser.value(QStringLiteral("to"));
    options.saMembers = aArgs.mid(2);
    options.bOverwrite = parser.isSet(QStringLiteral("overwrite"));
    options.bProgress = QFileInfo(aArgs[1]).size() > 100 * 1000 * 1000;
    return extractToDirectory(package, options) == 0 ? 0 : 1;
}

int extract(const QCommandLineParser& parser, const QStringList& aArgs)
{
    if (aArgs.size() >= 2 && parser.isSet(QStringLiteral("to")))
        return extractTo(parser, aArgs);
    if (aArgs.size() != 3)
        return fail(QStringLiteral("usage: pkgtool extract PKG MEMBER [--user U --password P], "
                                   "or pkgtool extract PKG [MEMBER ...] --to DIR [--overwrite]"));
    Package package;
    if (openForReading(parser, aArgs[1], package) != 0)
        return 1;
    const QString& sMember = aArgs[2];
    if (package.entryStoredSize(sMember) < 0)
        return fail(QStringLiteral("no such member: %1").arg(sMember));

    QBuffer buffer;
    if (sMember.endsWith(QLatin1String(".wvc"))) {
        // Voice containers are read straight from the package, as the WVC
        // decoders do.
        QFile file(package.packageFileName());
        const qint64 nOffset = package.entryOffset(sMember);
        const qint64 nStored = package.entryStoredSize(sMember);
        if (!file.open(QIODevice::ReadOnly) || nOffset < 0 || nOffset + nStored > file.size() || !file.seek(nOffset))
            return fail(QStringLiteral("damaged package: member %1 lies outside the file").arg(sMember));
        buffer.setData(file.read(nStored));
    } else if (package.readFile(sMember, &buffer) != 0) {
        return fail(QStringLiteral("damaged package: cannot read member %1").arg(sMember));
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(buffer.data()) != buffer.data().size())
        return fail(QStringLiteral("cannot write to standard output"));
    return 0;
}

int analyse(const QCommandLineParser& parser, const QStringList& aArgs)
{
    if (aArgs.size() != 2)
        return fail(QStringLiteral("usage: pkgtool analyse PKG [--user U --password P]"));
    Package package;
    if (openForReading(parser, aArgs[1], package) != 0)
        return 1;
    QVector<Analytics::CallRecording> aCalls;
    QString sError;
    if (!Analytics::callsWithRecording(package, aCalls, &sError))
        return fail(sError);
    QTextStream out(stdout);
    out << Analytics::csvHeader() << '\n';
    for (const Analytics::CallRecording& aCall : aCalls) {
        const Analytics::CallAnalysis aAnalysis = Analytics::analyseRecording(package, aCall.sPath);
        if (!aAnalysis.aFigures) {
            out.flush();
            std::fprintf(stderr, "pkgtool: warning: call %s: %s\n", qPrintable(aCall.sCallId),
                         qPrintable(aAnalysis.sError));
        }
        out << Analytics::csvRow(aCall, aAnalysis) << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(messageHandler);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes, lists and extracts package files."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("root"), QStringLiteral("Directory whose files become the members (create)."), QStringLiteral("DIR")},
        {QStringLiteral("password"), QStringLiteral("Package password; makes create write an encrypted package."), QStringLiteral("P")},
        {QStringLiteral("users"), QStringLiteral("User names separated by \",\" (create)."), QStringLiteral("a,b")},
        {QStringLiteral("settings"), QStringLiteral("Settings entries \"k=v;k=v\" (create)."), QStringLiteral("S")},
        {QStringLiteral("key-file"), QStringLiteral("File whose text becomes the time verification key (create)."), QStringLiteral("FILE")},
        {QStringLiteral("user"), QStringLiteral("User name for an encrypted package (list, extract, analyse)."), QStringLiteral("U")},
        {QStringLiteral("authority"), QStringLiteral("Authority password (list, extract, analyse)."), QStringLiteral("P")},
        {QStringLiteral("verbose"), QStringLiteral("Print the package's log lines to standard error.")},
        {QStringLiteral("to"), QStringLiteral("Directory to extract the members into (extract)."), QStringLiteral("DIR")},
        {QStringLiteral("overwrite"), QStringLiteral("Replace files that exist already (extract --to).")},
    });
    parser.addPositionalArgument(QStringLiteral("command"),
        QStringLiteral("create, list, extract or analyse; \"pkgtool help COMMAND\" shows a command's usage"));
    const bool bParsed = parser.parse(app.arguments());
    const QStringList aArgs = parser.positionalArguments();
    const QString sCommand = aArgs.value(0);
    // "pkgtool COMMAND --help" and "pkgtool help COMMAND" show that command's usage.
    const bool bHelp = bParsed && parser.isSet(QStringLiteral("help"));
    if (sCommand == QLatin1String("help") || bHelp) {
        const QString sTopic = sCommand == QLatin1String("help") ? aArgs.value(1) : sCommand;
        if (const CommandHelp* pHelp = findHelp(sTopic))
            return printHelp(*pHelp);
        if (!sTopic.isEmpty())
            return fail(QStringLiteral("unknown command \"%1\"; use create, list, extract or analyse").arg(sTopic));
        parser.showHelp(0);
    }
    if (!bParsed)
        return fail(parser.errorText());
    gbVerbose = parser.isSet(QStringLiteral("verbose"));

    if (sCommand == QLatin1String("create"))
        return create(parser, aArgs);
    if (sCommand == QLatin1String("list"))
        return list(parser, aArgs);
    if (sCommand == QLatin1String("extract"))
        return extract(parser, aArgs);
    if (sCommand == QLatin1String("analyse"))
        return analyse(parser, aArgs);
    return fail(QStringLiteral("unknown command \"%1\"; use create, list, extract or analyse").arg(sCommand));
}
