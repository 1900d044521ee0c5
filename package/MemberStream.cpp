#include "MemberStream.h"

#include "Package.h"
#include "PackageCipher.h"
#include "QByteArraySink.h"

#include <QDebug>

#include <cryptopp/filters.h>

namespace {

constexpr int cnStoredPiece = 16 * 1024;
constexpr int cnInflatePiece = 16 * 1024;

} // namespace

std::unique_ptr<MemberStream> Package::openMemberStream(const QString& isPath)
{
    const auto it = maFiles.constFind(isPath);
    if (!mbOpened || it == maFiles.cend())
        return nullptr;
    const PackageEntry entry = *it;
    if (entry.nOffset < 0 || entry.nStoredSize < 0 || qint64(entry.nOffset) + entry.nStoredSize > size()) {
        qWarning().noquote() << "Member lies outside the package file:" << isPath;
        return nullptr;
    }
    std::unique_ptr<MemberStream> pStream(new MemberStream);
    pStream->msPath = isPath;
    pStream->mbEncrypted = mbEncrypted;
    if (mbEncrypted) {
        CryptoPP::SecByteBlock aKey(PackageCipher::cnKeySize);
        if (!PackageCipher::memberKey(entry.sKey, aKey)) {
            qWarning().noquote() << "Invalid member key:" << isPath;
            return nullptr;
        }
        const CryptoPP::SecByteBlock aIv = PackageCipher::memberIv(isPath);
        pStream->maDecryption.SetKeyWithIV(aKey, aKey.size(), aIv);
        pStream->maKey = aKey;
        pStream->maIv = aIv;
    }
    if (!openMemberFile(pStream->maFile, entry.nOffset, isPath))
        return nullptr;
    pStream->maStamp = maStamp;
    pStream->mnLeft = entry.nStoredSize;
    pStream->mnOffset = entry.nOffset;
    pStream->mnStoredSize = entry.nStoredSize;
    if (inflateInit(&pStream->maZlib) != Z_OK)
        return nullptr;
    pStream->mbZlibReady = true;
    pStream->mpStage.reset(createMemberStage(isPath, new QByteArraySink(pStream->maPending)));
    return pStream;
}

MemberStream::~MemberStream()
{
    if (mbZlibReady)
        inflateEnd(&maZlib);
}

bool MemberStream::fill(int inWanted)
{
    try {
        char aOut[cnInflatePiece];
        while (!mbEnded && maPending.size() < inWanted) {
            if (mnInUsed >= int(maIn.size())) {
                if (mnLeft == 0) {
                    qWarning().noquote() << "Could not read member:" << msPath << "unexpected end of compressed stream";
                    return false;
                }
                maIn.resize(size_t(qMin<qint64>(mnLeft, cnStoredPiece)));
                if (maFile.read(maIn.data(), qint64(maIn.size())) != qint64(maIn.size())) {
                    qWarning().noquote() << "Short read of member:" << msPath;
                    return false;
                }
                // The file may change while a client takes its time.
                if (!maStamp.matches(maFile.fileName())) {
                    qWarning().noquote() << "Package file changed since it was opened:" << maFile.fileName()
                                         << "reading" << msPath;
                    return false;
                }
                mnLeft -= qint64(maIn.size());
                mnInUsed = 0;
                if (mbEncrypted)
                    maDecryption.ProcessData(reinterpret_cast<CryptoPP::byte*>(maIn.data()),
                                             reinterpret_cast<const CryptoPP::byte*>(maIn.data()), maIn.size());
            }
            maZlib.next_in = reinterpret_cast<Bytef*>(maIn.data()) + mnInUsed;
            maZlib.avail_in = uInt(int(maIn.size()) - mnInUsed);
            maZlib.next_out = reinterpret_cast<Bytef*>(aOut);
            maZlib.avail_out = uInt(sizeof aOut);
            const int nResult = inflate(&maZlib, Z_NO_FLUSH);
            if (nResult != Z_OK && nResult != Z_STREAM_END && nResult != Z_BUF_ERROR) {
                qWarning().noquote() << "Could not read member:" << msPath << (maZlib.msg ? maZlib.msg : "corrupt compressed data");
                return false;
            }
            mnInUsed = int(maIn.size()) - int(maZlib.avail_in);
            const size_t nProduced = sizeof aOut - maZlib.avail_out;
            if (nProduced > 0)
                mpStage->Put(reinterpret_cast<const CryptoPP::byte*>(aOut), nProduced);
            if (nResult == Z_STREAM_END) {
                mpStage->MessageEnd();
                mbEnded = true;
            }
        }
    } catch (const std::exception& e) {
        qWarning().noquote() << "Could not read member:" << msPath << e.what();
        return false;
    }
    return true;
}

bool MemberStream::rewind()
{
    if (!mbZlibReady || !maStamp.matches(maFile.fileName()) || !maFile.seek(mnOffset)) {
        qWarning().noquote() << "Could not read member:" << msPath << "the package file changed or cannot be read";
        return false;
    }
    try {
        if (mbEncrypted)
            maDecryption.SetKeyWithIV(maKey, maKey.size(), maIv);
        mpStage.reset(); // before the buffer it writes into is emptied
        maPending.clear();
        mpStage.reset(createMemberStage(msPath, new QByteArraySink(maPending)));
    } catch (const std::exception& e) {
        qWarning().noquote() << "Could not read member:" << msPath << e.what();
        return false;
    }
    if (inflateReset(&maZlib) != Z_OK)
        return false;
    maIn.clear();
    mnInUsed = 0;
    mnLeft = mnStoredSize;
    mbEnded = false;
    return true;
}

QByteArray MemberStream::take(int inMax)
{
    if (inMax >= maPending.size()) {
        QByteArray aAll;
        aAll.swap(maPending);
        maPending.reserve(qMin(inMax, 64 * 1024));
        return aAll;
    }
    const QByteArray aPiece = maPending.left(inMax);
    maPending.remove(0, inMax);
    return aPiece;
}
