#include "Package.h"

#include "PackageCipher.h"

#include <QDebug>
#include <QVector>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr quint32 cnMagic = 0xCCDDAABBu;
// The index runs to the end of the file; a file whose index offset points far
// before its end is damaged, and reading all of it would only exhaust memory.
constexpr qint64 cnMaxIndexSize = 256 * 1024 * 1024;
// Ten times the largest packages seen; each column is one member row.
constexpr int cnMaxIndexColumns = 10 * 1000 * 1000;

bool readWord(QIODevice& irDevice, quint32& irnWord)
{
    char aBytes[4];
    if (irDevice.read(aBytes, 4) != 4)
        return false;
    irnWord = qFromLittleEndian<quint32>(aBytes);
    return true;
}

} // namespace

Package::Package() = default;

Package::~Package() = default;

int Package::checkMagic(const QString& isPath, quint32& irnType)
{
    QFile file(isPath);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    quint32 nMagic = 0;
    if (!readWord(file, nMagic) || nMagic != cnMagic) {
        qDebug() << "File magic does not match";
        return -1;
    }
    quint32 nType = 0;
    if (!readWord(file, nType))
        return -1;
    irnType = nType;
    return 0;
}

bool Package::isEncryptedType(quint32 inType)
{
    return (inType & 1u) != 0;
}

int Package::readIndexText(const QString& isPath, const QString& isPassword, QString& irsIndexText)
{
    setFileName(isPath);
    if (!open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "Could not open file: " << isPath;
        return -1;
    }
    quint32 nMagic = 0;
    if (!readWord(*this, nMagic) || nMagic != cnMagic) {
        qWarning() << "File magic does not match";
        close();
        return -2;
    }
    quint32 nType = 0;
    quint32 nIndexOffset = 0;
    bool bHeader = readWord(*this, nType);
    if (bHeader && !isEncryptedType(nType))
        bHeader = read(8).size() == 8;
    bHeader = bHeader && readWord(*this, nIndexOffset);
    if (!bHeader) {
        qWarning() << "Error decoding package";
        close();
        return -2;
    }

    if (isEncryptedType(nType)) {
        if (decryptIndex(nIndexOffset, isPassword, irsIndexText) != 0) {
            qWarning() << "Invalid password";
            close();
            return -1;
        }
        mbEncrypted = true;
        msWvcPassword = isPassword;
        return 0;
    }

    const qint64 nTextStart = qint64(nIndexOffset) + PackageCipher::caIndexMarker.size();
    if (nTextStart > size() || size() - nTextStart > cnMaxIndexSize || !seek(nIndexOffset)
        || read(PackageCipher::caIndexMarker.size()) != PackageCipher::caIndexMarker) {
        qWarning() << "Error decoding package";
        close();
        return -2;
    }
    QByteArray aText = readAll();
    const int nNul = aText.indexOf('\0');
    if (nNul >= 0)
        aText.truncate(nNul);
    irsIndexText = QString::fromUtf8(aText);
    mbEncrypted = false;
    return 0;
}

int Package::failOpen(int inResult)
{
    close();
    maStamp.clear();
    maFiles.clear();
    mbOpened = false;
    return inResult;
}

int Package::openPackage(const QString& isPath, const QString& isUser, const QString& isPassword,
                         const QString& isAuthorityPassword, bool ibTimeVerified)
{
    // Nothing of an earlier package may survive a failed open.
    if (mbOpened)
        closePackage();
    else if (isOpen())
        close();
    maFiles.clear();
    mbOpened = false;
    ++mnOpening;
    maDecoded.clear();
    mbCallExpiration = mbIndexCallExpiration;

    QString sIndex;
    const int nRead = readIndexText(isPath, isPassword, sIndex);
    if (nRead != 0)
        return failOpen(nRead);

    // Every column costs a reference; a damaged index of nothing but
    // separators must not exhaust memory before the rows are even looked at.
    if (sIndex.count(QLatin1Char('|')) > cnMaxIndexColumns) {
        qWarning() << "Too many columns in index";
        return failOpen(-2);
    }
    const QVector<QStringRef> aColumns = sIndex.splitRef(QLatin1Char('|'));
    if (aColumns.size() < 5) {
        qWarning() << "Too few columns in index";
        return failOpen(-2);
    }
    if (aColumns[0] != QLatin1String("v2")) {
        qWarning().noquote() << "Wrong index format version: " << aColumns[0];
        return failOpen(-2);
    }
    qDebug() << "Index version 2";

    if (mbEncrypted) {
        const QVector<QStringRef> aUsers = aColumns[1].split(QLatin1Char(','));
        if (std::find(aUsers.cbegin(), aUsers.cend(), isUser) == aUsers.cend()) {
            qWarning() << "Invalid username";
            return failOpen(-3);
        }
    }

    bool bVerifyTime = false;
    msSettingsText = aColumns[2].toString();
    applySettings(msSettingsText, bVerifyTime);
    msTimeVerificationKey = aColumns[3].toString();

    int nResult = 0;
    if (!isAuthorityPassword.isEmpty()) {
        if (checkAuthorityPassword(isAuthorityPassword)) {
            mbCallExpiration = false;
            nResult = 1;
            qDebug() << "Authority override: time verification disabled";
        } else {
            nResult = 2;
        }
    }
    if (nResult != 1 && bVerifyTime && !ibTimeVerified)
        return failOpen(-5);

    // Rows go to a table of their own first: a bad row fails the whole open.
    QHash<QString, PackageEntry> aFiles;
    aFiles.reserve(aColumns.size() - 4);
    for (int i = 4; i < aColumns.size(); ++i) {
        const QStringRef& sRow = aColumns[i];
        if (sRow.isEmpty())
            continue;
        // Separators are located in place: a hundred thousand rows should not
        // cost a hundred thousand temporary lists.
        int aSeparators[5];
        int nSeparators = 0;
        for (int nAt = sRow.indexOf(QLatin1Char(';')); nAt >= 0 && nSeparators < 5;
             nAt = sRow.indexOf(QLatin1Char(';'), nAt + 1))
            aSeparators[nSeparators++] = nAt;
        if (nSeparators != 4) {
            qWarning().noquote() << "Wrong field count: " << sRow;
            return failOpen(-2);
        }
        const auto field = [&sRow, &aSeparators](int inField) {
            const int nStart = inField == 0 ? 0 : aSeparators[inField - 1] + 1;
            const int nEnd = inField == 4 ? sRow.size() : aSeparators[inField];
            return sRow.mid(nStart, nEnd - nStart);
        };
        PackageEntry entry;
        entry.nStoredSize = field(1).toInt(nullptr, 10);
        entry.nSize = field(2).toInt(nullptr, 10);
        entry.nOffset = field(3).toInt(nullptr, 10);
        entry.sKey = field(4).toUtf8();
        aFiles.insert(field(0).toString(), entry);
    }
    maFiles.swap(aFiles);

    // Reads compare the file with this from now on; the index describes the
    // file as it is now.
    if (!maStamp.take(*this)) {
        qWarning().noquote() << "Could not open file: " << isPath;
        return failOpen(-1);
    }
    mbOpened = true;
    mnExpiredCalls = 0;
    mnExpiredMedia = 0;

    if (mbCallExpiration && buildCallList() != 0) {
        qWarning() << "Error reading call data";
        return failOpen(-2);
    }

    qDebug() << "Package opened";
    return nResult;
}

void Package::closePackage()
{
    if (!mbOpened)
        return;
    maFiles.clear();
    close();
    maStamp.clear();
    mbOpened = false;
    ++mnOpening;
    maDecoded.clear();
    qDebug() << "Package closed";
}

void Package::setTimeOffset(qint32 inSeconds)
{
    mnTimeOffset = inSeconds;
}

void Package::disableCallExpiration()
{
    mbCallExpiration = false;
}

qint32 Package::entryStoredSize(const QString& isPath) const
{
    const auto it = maFiles.constFind(isPath);
    return (mbOpened && it != maFiles.cend()) ? it->nStoredSize : -1;
}

qint32 Package::entrySize(const QString& isPath) const
{
    const auto it = maFiles.constFind(isPath);
    return (mbOpened && it != maFiles.cend()) ? it->nSize : -1;
}

qint32 Package::entryOffset(const QString& isPath) const
{
    const auto it = maFiles.constFind(isPath);
    return (mbOpened && it != maFiles.cend()) ? it->nOffset : -1;
}

QStringList Package::memberPaths() const
{
    if (!mbOpened)
        return {};
    QStringList aPaths = maFiles.keys();
    aPaths.sort();
    return aPaths;
}

bool Package::openMemberFile(QFile& irFile, qint64 inOffset, const QString& isMember) const
{
    if (!mbOpened)
        return false;
    irFile.setFileName(fileName());
    if (!irFile.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "Could not open file: " << fileName();
        return false;
    }
    if (!maStamp.matches(irFile)) {
        qWarning().noquote() << "Package file changed since it was opened:" << fileName() << "reading" << isMember;
        irFile.close();
        return false;
    }
    if (!irFile.seek(inOffset)) {
        qWarning().noquote() << "Could not open file: " << fileName();
        irFile.close();
        return false;
    }
    return true;
}

QString Package::packageFileName() const
{
    return mbOpened ? fileName() : QString();
}

QString Package::wvcPassword() const
{
    return mbOpened ? msWvcPassword : QString();
}
