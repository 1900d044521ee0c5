#include "PackageWriter.h"

#include "PackageCipher.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QtEndian>

#include <cryptopp/aes.h>
#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <cryptopp/modes.h>
#include <cryptopp/osrng.h>

#include <zlib.h>

#include <limits>

namespace {

constexpr quint32 cnMagic = 0xCCDDAABBu;
constexpr qint64 cnMaxOffset = std::numeric_limits<qint32>::max();

void appendWord(QByteArray& irData, quint32 inWord)
{
    char aBytes[4];
    qToLittleEndian(inWord, aBytes);
    irData.append(aBytes, 4);
}

QByteArray base64(const QByteArray& iaBytes)
{
    std::string sText;
    CryptoPP::StringSource source(reinterpret_cast<const CryptoPP::byte*>(iaBytes.constData()), size_t(iaBytes.size()), true,
                                  new CryptoPP::Base64Encoder(new CryptoPP::StringSink(sText), false));
    return QByteArray::fromStdString(sText);
}

} // namespace

PackageWriter::PackageWriter() = default;

void PackageWriter::setPassword(const QString& isPassword)
{
    mbEncrypted = true;
    msPassword = isPassword;
}

void PackageWriter::setUsers(const QString& isUsers)
{
    msUsers = isUsers;
}

void PackageWriter::setSettings(const QString& isSettings)
{
    msSettings = isSettings;
}

void PackageWriter::setTimeVerificationKey(const QString& isKeyText)
{
    msKeyText = isKeyText;
}

void PackageWriter::setIndexText(const QString& isIndexText)
{
    msIndexOverride = isIndexText;
    mbIndexOverride = true;
}

QByteArray PackageWriter::randomBytes(int inCount)
{
    static CryptoPP::AutoSeededRandomPool random;
    QByteArray aBytes(inCount, '\0');
    random.GenerateBlock(reinterpret_cast<CryptoPP::byte*>(aBytes.data()), size_t(inCount));
    return aBytes;
}

QByteArray PackageWriter::compress(const QByteArray& iaContent)
{
    uLongf nSize = compressBound(uLong(iaContent.size()));
    QByteArray aOut(int(nSize), '\0');
    if (::compress2(reinterpret_cast<Bytef*>(aOut.data()), &nSize, reinterpret_cast<const Bytef*>(iaContent.constData()),
                    uLong(iaContent.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    aOut.truncate(int(nSize));
    return aOut;
}

QByteArray PackageWriter::encrypt(const QByteArray& iaPlain, const QByteArray& iaKey, const QByteArray& iaIv)
{
    CryptoPP::CFB_Mode<CryptoPP::AES>::Encryption encryption(reinterpret_cast<const CryptoPP::byte*>(iaKey.constData()),
                                                             size_t(iaKey.size()),
                                                             reinterpret_cast<const CryptoPP::byte*>(iaIv.constData()));
    QByteArray aOut(iaPlain.size(), '\0');
    encryption.ProcessData(reinterpret_cast<CryptoPP::byte*>(aOut.data()),
                           reinterpret_cast<const CryptoPP::byte*>(iaPlain.constData()), size_t(iaPlain.size()));
    return aOut;
}

QByteArray PackageWriter::encryptIndexBlock(const QString& isPassword, const QByteArray& iaPlain)
{
    const QByteArray aSalt = randomBytes(PackageCipher::cnSaltSize);
    const QByteArray aIv = randomBytes(PackageCipher::cnIvSize);
    const CryptoPP::SecByteBlock aKey = PackageCipher::deriveIndexKey(
        isPassword, CryptoPP::SecByteBlock(reinterpret_cast<const CryptoPP::byte*>(aSalt.constData()), size_t(aSalt.size())));
    const QByteArray aKeyBytes(reinterpret_cast<const char*>(aKey.data()), int(aKey.size()));
    return aSalt + aIv + encrypt(iaPlain, aKeyBytes, aIv);
}

bool PackageWriter::addFile(const QString& isPath, const QByteArray& iaContent, QString* ipsError)
{
    auto fail = [ipsError](const QString& isText) {
        if (ipsError)
            *ipsError = isText;
        return false;
    };
    // The index separates columns by "|" and fields by ";".
    if (!isPath.startsWith(QLatin1Char('/')) || isPath.contains(QLatin1Char('|')) || isPath.contains(QLatin1Char(';')))
        return fail(QStringLiteral("member path cannot be stored in an index: %1").arg(isPath));

    QByteArray aStored;
    QByteArray aKeyText;
    if (isPath.endsWith(QLatin1String(".wvc"))) {
        aStored = iaContent;
    } else {
        aStored = compress(iaContent);
        if (aStored.isEmpty())
            return fail(QStringLiteral("cannot compress %1").arg(isPath));
        if (mbEncrypted) {
            const QByteArray aKey = randomBytes(PackageCipher::cnKeySize);
            const CryptoPP::SecByteBlock aIv = PackageCipher::memberIv(isPath);
            aStored = encrypt(aStored, aKey, QByteArray(reinterpret_cast<const char*>(aIv.data()), int(aIv.size())));
            aKeyText = base64(aKey);
        }
    }
    if (headerSize() + maData.size() + aStored.size() > cnMaxOffset)
        return fail(QStringLiteral("package would exceed 2 GiB at %1").arg(isPath));
    addRawMember(isPath, aStored, iaContent.size(), aKeyText);
    return true;
}

void PackageWriter::addRawMember(const QString& isPath, const QByteArray& iaStored, qint32 inSize, const QByteArray& iaKeyText)
{
    maMembers.append({isPath, maData.size(), qint32(iaStored.size()), inSize, iaKeyText});
    maData.append(iaStored);
}

QString PackageWriter::indexText() const
{
    if (mbIndexOverride)
        return msIndexOverride;
    QStringList aColumns = {QStringLiteral("v2"), msUsers, msSettings, msKeyText};
    for (const Member& member : maMembers) {
        aColumns.append(QStringLiteral("%1;%2;%3;%4;%5")
                            .arg(member.sPath)
                            .arg(member.nStoredSize)
                            .arg(member.nSize)
                            .arg(headerSize() + member.nDataOffset)
                            .arg(QString::fromLatin1(member.sKey)));
    }
    // A package without members still needs its fifth column.
    if (maMembers.isEmpty())
        aColumns.append(QString());
    return aColumns.join(QLatin1Char('|'));
}

QByteArray PackageWriter::build(QString* ipsError) const
{
    const qint64 nIndexOffset = headerSize() + maData.size();
    if (nIndexOffset > cnMaxOffset) {
        if (ipsError)
            *ipsError = QStringLiteral("package would exceed 2 GiB");
        return {};
    }
    QByteArray aFile;
    appendWord(aFile, cnMagic);
    appendWord(aFile, mbEncrypted ? 3 : 2);
    if (!mbEncrypted)
        aFile.append(8, '\0');
    appendWord(aFile, quint32(nIndexOffset));
    aFile.append(maData);
    const QByteArray aIndex = PackageCipher::caIndexMarker + indexText().toUtf8();
    aFile.append(mbEncrypted ? encryptIndexBlock(msPassword, aIndex) : aIndex);
    return aFile;
}

bool PackageWriter::write(const QString& isFileName, QString* ipsError) const
{
    const QByteArray aFile = build(ipsError);
    if (aFile.isEmpty())
        return false;
    QSaveFile file(isFileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(aFile) != aFile.size() || !file.commit()) {
        if (ipsError)
            *ipsError = QStringLiteral("cannot write %1: %2").arg(isFileName, file.errorString());
        return false;
    }
    return true;
}
