#pragma once
#include "CallListFilter.h"
#include "DecodedMemberCache.h"
#include "PackageEntry.h"
#include "PackageFileStamp.h"
#include "StartTimeReader.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cryptopp/secblock.h>

#include <memory>

class AudioFormat;
class MemberStream;
class QBuffer;
class QIODevice;

namespace CryptoPP {
class BufferedTransformation;
}

// The one package object of the program. It is reused for every package
// that is opened; the file device is the package file while one is open.
// All operations run on the GUI thread; readFile opens a stream of its own
// for every read, so reads never share a file position.
class Package : public QFile
{
    Q_OBJECT
public:
    Package();
    ~Package() override;

    // Reads the magic and the type word of the file at isPath through a
    // separate handle. Returns 0 and sets irnType, or -1 when the file cannot
    // be opened or is not a package.
    static int checkMagic(const QString& isPath, quint32& irnType);
    // Bit 0 of the type word marks an encrypted package.
    static bool isEncryptedType(quint32 inType);

    // Opens the package at isPath. Returns 0 (opened), 1 (opened, authority
    // password accepted), 2 (opened, authority password wrong), -1 (index
    // could not be decrypted or file unreadable), -2 (malformed package),
    // -3 (unknown user, encrypted packages only) or -5 (external time
    // verification required and ibTimeVerified false). Every negative result
    // leaves the package closed with an empty file table.
    int openPackage(const QString& isPath, const QString& isUser, const QString& isPassword,
                    const QString& isAuthorityPassword, bool ibTimeVerified);
    void closePackage();

    // Appends the decoded member isPath to the byte array behind ipDevice
    // (the device position is not moved). Scripts (".js") arrive with their
    // line breaks turned into spaces. Recordings (".wav") read with ipFormat
    // arrive as samples only (A-law expanded to 16-bit PCM) and fill
    // ipFormat; without it they arrive as stored. Returns 0, or -1 when no
    // package is open, the path is unknown, the member is damaged or a
    // recording's header is rejected; on -1 the byte array is left as it was.
    int readFile(const QString& isPath, QBuffer* ipDevice, AudioFormat* ipFormat = nullptr);
    // Pumps the stored bytes of isPath through member decryption (encrypted
    // packages) and zlib inflation into ipTail, which this call takes over.
    // For callers that need a stage chain of their own behind the inflater.
    // Errors of the chain are caught and logged; returns 0 or -1.
    int pumpMember(const QString& isPath, CryptoPP::BufferedTransformation* ipTail);
    // The member isPath decoded as readFile decodes it, but a piece at a
    // time (for the server, whose clients take a member at their own pace).
    // Null when no package is open, the path is unknown or cannot be read.
    std::unique_ptr<MemberStream> openMemberStream(const QString& isPath);
    // The member isPath decrypted and inflated (no stage for its ending),
    // from the cache of the members decoded last when it is there. False
    // when the member is not decoded in one piece (too large for the cache,
    // stated size wrong, damaged, unknown): such a member is pumped instead,
    // which reports what is wrong.
    bool decodedMember(const QString& isPath, QByteArray& iraBytes);
    // Pumps bytes of the member isPath (from decodedMember) into ipTail,
    // which this call takes over, as pumpMember pumps the stored ones.
    int pumpDecoded(const QString& isPath, const QByteArray& iaBytes, CryptoPP::BufferedTransformation* ipTail);
    // What a read of one member needs, taken on the GUI thread, so that a
    // worker can decode the member while the package goes on serving, or
    // closes: the worker reads through a handle of its own and stops when
    // the file is no longer the one opened.
    struct MemberSource
    {
        QString sFile;
        QString sPath;
        PackageEntry aEntry;
        bool bEncrypted = false;
        PackageFileStamp aStamp;
    };
    // False when no package is open or the path is unknown.
    bool memberSource(const QString& isPath, MemberSource& irSource) const;
    // Appends the member irSource names, decrypted and inflated in one
    // piece, to irTarget; any thread. False, with irTarget as it was, as for
    // a read of the open package in one piece.
    static bool decodeSource(const MemberSource& irSource, qint64 inMaxSize, QByteArray& irTarget);
    // decodeSource's checks: irFile opened at the member's stored bytes,
    // irKey the member's key (encrypted packages). False when decodeSource
    // would refuse the member.
    static bool openSource(const MemberSource& irSource, qint64 inMaxSize, QFile& irFile, CryptoPP::SecByteBlock& irKey);

    // Content routing for the loopback server (defined with the server).
    // classifyPath: bit 0 package member, bit 1 embedded resource, bit 2
    // generated waveform image; 0 means not found.
    int classifyPath(const QString& isPath) const;
    // Writes the body for isPath into ipDevice; 0, or -1 when nothing was written.
    int serveFile(const QString& isPath, const QString& isQuery, QIODevice* ipDevice);
    // The body serveFile writes, for a server that sends it a piece at a
    // time: the bytes in iraBody, or, for a package member when
    // ibStreamMembers is set, a stream in irpStream (null when the member
    // cannot be read). 0, or -1 when there is nothing to send.
    int openBody(const QString& isPath, const QString& isQuery, bool ibStreamMembers, QByteArray& iraBody,
                 std::unique_ptr<MemberStream>& irpStream);
    int readEmbeddedResource(const QString& isPath, QIODevice* ipDevice) const;
    int renderWaveformPng(const QString& isPath, const QString& isQuery, QIODevice* ipDevice);
    int generateWaveformSvg(const QString& isPath, const QString& isQuery, QIODevice* ipDevice);

    // Accepts the authority password in plain form or as the SHA-256 digest
    // written in lower or upper case hexadecimal digits.
    bool checkAuthorityPassword(const QString& isEntered) const;

    // Retention filter: reads "/app/js/data/calls.js", drops expired calls,
    // takes the voice from calls whose voice expired, and keeps the result as
    // the script served in place of the member. 0, or -1 when the script
    // cannot be parsed.
    int buildCallList();
    // Filters one call record into irOutput (or drops it); always 0.
    int filterCall(QVariantMap& irRecord, QVariantList& irOutput);
    // Reads the locale names from "/app/js/data/locales.js"; 0 or -1 (the
    // list then keeps its previous value).
    int loadLocales();
    QStringList locales();
    // The generated call list script, UTF-8 as served.
    QByteArray callListScriptUtf8() const { return msCallListScript; }
    QString callListScript() const { return QString::fromUtf8(msCallListScript.constData(), msCallListScript.size()); }

    void setTimeOffset(qint32 inSeconds);
    void disableCallExpiration();

    // Member accessors: -1 when no package is open or the path is unknown.
    qint32 entryStoredSize(const QString& isPath) const;
    qint32 entrySize(const QString& isPath) const;
    qint32 entryOffset(const QString& isPath) const;
    // Member paths of the open package, sorted.
    QStringList memberPaths() const;

    bool isPackageOpen() const { return mbOpened; }
    // The package file is still the one that was opened: not truncated,
    // replaced, overwritten or deleted since (a network share that drops, a
    // copy overwritten). Member reads check it before and while they read.
    bool fileUnchanged() const { return mbOpened && maStamp.matches(fileName()); }
    const PackageFileStamp& fileStamp() const { return maStamp; }
    // Opens irFile on the package file at inOffset for a member read; false
    // (logged) when no package is open or the file is no longer the one opened.
    bool openMemberFile(QFile& irFile, qint64 inOffset, const QString& isMember) const;
    bool isEncrypted() const { return mbEncrypted; }
    QString packageFileName() const;
    QString wvcPassword() const;
    QString defaultLocale() const { return msDefaultLocale; }
    QString timeVerifyUrl1() const { return msTimeVerifyUrl1; }
    QString timeVerifyUrl2() const { return msTimeVerifyUrl2; }
    QString timeVerificationKey() const { return msTimeVerificationKey; }
    // The settings column of the last index that was read, as it stands.
    QString settingsText() const { return msSettingsText; }
    bool callExpirationEnabled() const { return mbCallExpiration; }
    bool authorityOverrideOffered() const { return mbAuthorityOverride; }
    bool hasExpiredContent() const { return mnExpiredCalls > 0 || mnExpiredMedia > 0; }
    qint32 expiredCallCount() const { return mnExpiredCalls; }
    qint32 expiredMediaCount() const { return mnExpiredMedia; }
    QDateTime normalCdrLimit() const { return mtNormalCdrLimit; }
    QDateTime normalVoiceLimit() const { return mtNormalVoiceLimit; }
    QDateTime markedCdrLimit() const { return mtMarkedCdrLimit; }
    QDateTime markedVoiceLimit() const { return mtMarkedVoiceLimit; }

private:
    int filterCallList();
    // Filters the call list isPath into irFilter while it is decoded; false
    // when the plain read and filter must decide instead.
    bool filterCallListOverlapped(const QString& isPath, CallListFilter& irFilter, int& irnResult);
    CallListFilter::Limits retentionLimits() const;
    int readIndexText(const QString& isPath, const QString& isPassword, QString& irsIndexText);
    int decryptIndex(quint32 inIndexOffset, const QString& isPassword, QString& irsIndexText);
    void applySettings(const QString& isSettings, bool& irbVerifyTime);
    int failOpen(int inResult);
    // Far above any real call list (100 000 calls take about 35 MB).
    static constexpr int cnMaxCallsScript = 512 * 1024 * 1024;
    // Appends the member isPath decrypted and inflated in one piece to
    // irTarget. False, with irTarget as it was, when the member is larger
    // than inMaxSize, its stated size is wrong, or it cannot be decoded: the
    // streaming read then decides and reports.
    bool decodeWhole(const QString& isPath, qint64 inMaxSize, QByteArray& irTarget) const;
    DecodedMemberCache::Key decodedKey(const QString& isPath) const;

    QHash<QString, PackageEntry> maFiles;
    PackageFileStamp maStamp;
    StartTimeReader maStartTimes; // day offsets of the running filter pass
    bool mbOpened = false;
    bool mbEncrypted = false;
    bool mbCallExpiration = true;
    // The mode the indexes set; an authority override lifts the filter only
    // for the package it was given for.
    bool mbIndexCallExpiration = true;
    bool mbAuthorityOverride = false;
    qint32 mnExpiredCalls = 0;
    qint32 mnExpiredMedia = 0;
    QDateTime mtNormalCdrLimit;
    QDateTime mtNormalVoiceLimit;
    QDateTime mtMarkedCdrLimit;
    QDateTime mtMarkedVoiceLimit;
    QByteArray msCallListScript;
    QString msAuthorityPassword;
    QString msTimeVerifyUrl1;
    QString msTimeVerifyUrl2;
    QString msTimeVerificationKey;
    QString msWvcPassword;
    QString msDefaultLocale = QStringLiteral("en_GB");
    QStringList maLocales;
    qint32 mnTimeOffset = 0;
    QString msSettingsText;
    // Counts openings and closings: what was decoded for one opening is
    // never served for another, even of the same file.
    quint64 mnOpening = 0;
    // One hour of 16 kHz mono PCM16, or two of 8 kHz, fits.
    DecodedMemberCache maDecoded {2, 128 * 1024 * 1024};
};
