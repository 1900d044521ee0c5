#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

// Writes package files: plain (type 2) or encrypted (type 3). Members are
// zlib streams, in an encrypted package each encrypted with a random key of
// its own; ".wvc" members are stored as they are. Used by pkgtool, the tests
// and the benchmarks, which also use the raw hooks to write damaged files.
class PackageWriter
{
public:
    PackageWriter();

    // Makes the package encrypted with this password (an empty one included).
    void setPassword(const QString& isPassword);
    // Index column 1 (user names separated by ","), 2 (settings entries
    // "key=value" separated by ";") and 3 (time verification key text).
    void setUsers(const QString& isUsers);
    void setSettings(const QString& isSettings);
    void setTimeVerificationKey(const QString& isKeyText);

    // Adds a member under isPath (which begins with "/"). False, with
    // ipsError set, when the path or the sizes cannot be represented.
    bool addFile(const QString& isPath, const QByteArray& iaContent, QString* ipsError = nullptr);
    // Adds stored bytes and an index row exactly as given, for damaged files.
    void addRawMember(const QString& isPath, const QByteArray& iaStored, qint32 inSize, const QByteArray& iaKeyText);
    // Replaces the whole index text that would otherwise be generated.
    void setIndexText(const QString& isIndexText);

    bool isEncrypted() const { return mbEncrypted; }
    // The index text as it will be written (without the marker).
    QString indexText() const;
    // The complete package file; empty, with ipsError set, when it would not fit.
    QByteArray build(QString* ipsError = nullptr) const;
    bool write(const QString& isFileName, QString* ipsError = nullptr) const;

    // zlib stream (RFC 1950) of iaContent.
    static QByteArray compress(const QByteArray& iaContent);
    // AES-128 CFB with full-block feedback, as for members and the index.
    static QByteArray encrypt(const QByteArray& iaPlain, const QByteArray& iaKey, const QByteArray& iaIv);
    // The index block of an encrypted package: salt, IV and ciphertext.
    static QByteArray encryptIndexBlock(const QString& isPassword, const QByteArray& iaPlain);
    static QByteArray randomBytes(int inCount);

private:
    struct Member
    {
        QString sPath;
        qint64 nDataOffset; // position in maData
        qint32 nStoredSize;
        qint32 nSize;
        QByteArray sKey;
    };

    qint64 headerSize() const { return mbEncrypted ? 12 : 20; }

    bool mbEncrypted = false;
    QString msPassword;
    QString msUsers;
    QString msSettings;
    QString msKeyText;
    QString msIndexOverride;
    bool mbIndexOverride = false;
    QVector<Member> maMembers;
    QByteArray maData;
};
