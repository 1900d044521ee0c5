#include "ExtractToDirectory.h"

#include "MemberRange.h"
#include "Package.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cryptopp/filters.h>

#include <cstdio>
#include <vector>

namespace {

void report(const QString& isText)
{
    std::fprintf(stderr, "pkgtool: %s\n", qPrintable(isText));
}

// Last stage of a member read: writes into a save file and remembers the
// first short write, which the caller turns into a failure.
class SaveFileSink : public CryptoPP::Bufferless<CryptoPP::Sink>
{
public:
    explicit SaveFileSink(QSaveFile& irFile) : mrFile(irFile) { }
    size_t Put2(const CryptoPP::byte* ipInput, size_t inLength, int, bool) override
    {
        if (mrFile.write(reinterpret_cast<const char*>(ipInput), qint64(inLength)) != qint64(inLength))
            mrFile.cancelWriting();
        return 0;
    }

private:
    QSaveFile& mrFile;
};

bool copyStored(const Package& irPackage, const QString& isMember, QSaveFile& irFile)
{
    MemberRange aRange;
    if (!aRange.open(irPackage, isMember))
        return false;
    std::vector<char> aBlock(1 << 20);
    for (;;) {
        const qint64 nRead = aRange.read(aBlock.data(), qint64(aBlock.size()));
        if (nRead < 0)
            return false;
        if (nRead == 0)
            return true;
        if (irFile.write(aBlock.data(), nRead) != nRead)
            return false;
    }
}

// True when the deepest existing folder on the way to isTarget lies inside
// isRoot once links are resolved.
bool staysInside(const QString& isRoot, const QString& isTarget)
{
    QFileInfo aInfo(isTarget);
    while (!aInfo.exists() && !aInfo.isSymLink())
        aInfo.setFile(aInfo.absolutePath());
    const QString sResolved = aInfo.canonicalFilePath();
    if (sResolved.isEmpty()) // a dangling link
        return false;
    return sResolved == isRoot || sResolved.startsWith(isRoot + QLatin1Char('/'));
}

} // namespace

QString memberRelativePath(const QString& irsMemberPath)
{
    // Members are stored as "/app/...": one leading slash is the package's
    // root; anything after it must be a plain relative path.
    if (!irsMemberPath.startsWith(QLatin1Char('/')))
        return QString();
    const QString sRelative = irsMemberPath.mid(1);
    if (sRelative.isEmpty() || sRelative.startsWith(QLatin1Char('/')))
        return QString();
    for (const QString& sPart : sRelative.split(QLatin1Char('/'))) {
        if (sPart.isEmpty() || sPart == QLatin1String("..") || sPart == QLatin1String("."))
            return QString();
    }
    return sRelative;
}

int extractToDirectory(Package& irPackage, const ExtractOptions& irOptions)
{
    QDir aDirectory(irOptions.sDirectory);
    if (!aDirectory.mkpath(QStringLiteral("."))) {
        report(QStringLiteral("cannot create directory %1").arg(irOptions.sDirectory));
        return 1;
    }
    const QString sRoot = QFileInfo(aDirectory.absolutePath()).canonicalFilePath();
    const QStringList saMembers = irOptions.saMembers.isEmpty() ? irPackage.memberPaths() : irOptions.saMembers;

    int nFailed = 0;
    int nDone = 0;
    for (const QString& sMember : saMembers) {
        ++nDone;
        if (irOptions.bProgress)
            std::fprintf(stderr, "pkgtool: [%d/%d] %s\n", nDone, int(saMembers.size()), qPrintable(sMember));
        if (irPackage.entryStoredSize(sMember) < 0) {
            report(QStringLiteral("no such member: %1").arg(sMember));
            ++nFailed;
            continue;
        }
        const QString sRelative = memberRelativePath(sMember);
        const QString sTarget = sRoot + QLatin1Char('/') + sRelative;
        if (sRelative.isEmpty() || !staysInside(sRoot, sTarget)) {
            report(QStringLiteral("refused: member path leaves the directory: %1").arg(sMember));
            ++nFailed;
            continue;
        }
        const QFileInfo aTargetInfo(sTarget);
        if (aTargetInfo.isSymLink() || (aTargetInfo.exists() && !aTargetInfo.isFile())) {
            report(QStringLiteral("refused: %1 is not a plain file").arg(sTarget));
            ++nFailed;
            continue;
        }
        if (aTargetInfo.exists() && !irOptions.bOverwrite) {
            report(QStringLiteral("exists, not overwritten (use --overwrite): %1").arg(sTarget));
            ++nFailed;
            continue;
        }
        // Made only now, and checked again: a link may lie on the new path.
        if (!QDir().mkpath(aTargetInfo.absolutePath()) || !staysInside(sRoot, aTargetInfo.absolutePath())) {
            report(QStringLiteral("cannot create the folder for %1").arg(sMember));
            ++nFailed;
            continue;
        }
        QSaveFile aFile(sTarget);
        bool bOk = aFile.open(QIODevice::WriteOnly);
        if (bOk) {
            if (sMember.endsWith(QLatin1String(".wvc")))
                bOk = copyStored(irPackage, sMember, aFile);
            else
                bOk = irPackage.pumpMember(sMember, new SaveFileSink(aFile)) == 0;
        }
        if (!bOk || !aFile.commit()) {
            aFile.cancelWriting();
            report(QStringLiteral("cannot extract %1: %2").arg(sMember,
                bOk ? aFile.errorString() : QStringLiteral("damaged member or write failed")));
            ++nFailed;
        }
    }
    return nFailed;
}
