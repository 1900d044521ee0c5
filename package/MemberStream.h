#pragma once
#include "PackageFileStamp.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cryptopp/aes.h>
#include <cryptopp/modes.h>
#include <cryptopp/secblock.h>

#include <zlib.h>

#include <memory>
#include <vector>

namespace CryptoPP {
class BufferedTransformation;
}

// One member read a piece at a time, with the same stages as readFile
// (member decryption, zlib inflation, the stage for the member's ending), for
// a reader that takes the decoded bytes as fast as it can pass them on. At
// most about inWanted + 64 KB of decoded bytes are held at once, however
// far the member expands. Created by Package::openMemberStream.
class MemberStream
{
public:
    ~MemberStream();

    // Decodes until at least inWanted bytes are pending or the member has
    // ended. False when the member is damaged (logged); what was pending
    // before stays.
    bool fill(int inWanted);
    // Hands over up to inMax pending bytes.
    QByteArray take(int inMax);
    int pendingSize() const { return maPending.size(); }
    // The whole member has been decoded (what is pending may remain).
    bool ended() const { return mbEnded; }
    // Starts the member over from its first byte, dropping what is pending:
    // a reader that keeps only a window of the decoded bytes goes back this
    // way. False (logged) when the package file no longer allows it.
    bool rewind();

private:
    friend class Package;
    MemberStream() = default;

    QString msPath;
    QFile maFile;
    PackageFileStamp maStamp; // of the package as opened
    qint64 mnLeft = 0; // stored bytes not yet read
    qint64 mnOffset = 0;
    qint64 mnStoredSize = 0;
    bool mbEncrypted = false;
    CryptoPP::SecByteBlock maKey;
    CryptoPP::SecByteBlock maIv;
    CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption maDecryption;
    z_stream maZlib {};
    bool mbZlibReady = false;
    // Not a QByteArray: the cipher decrypts many blocks at once only on
    // 16-byte aligned bytes, which a QByteArray's are not.
    std::vector<char> maIn;
    int mnInUsed = 0;
    QByteArray maPending;
    std::unique_ptr<CryptoPP::BufferedTransformation> mpStage; // writes into maPending
    bool mbEnded = false;
};

// The stage behind the inflater for a member path, as readFile builds it
// (with no format record); it writes into ipSink, which it takes over.
CryptoPP::BufferedTransformation* createMemberStage(const QString& isPath, CryptoPP::BufferedTransformation* ipSink);
