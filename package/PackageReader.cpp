#include "Package.h"

#include "JavaScriptReader.h"
#include "MemberStream.h"
#include "PackageCipher.h"
#include "QByteArraySink.h"
#include "WavReader.h"
#include "ZlibInflater.h"

#include <QBuffer>
#include <QDebug>

#include <cryptopp/aes.h>
#include <cryptopp/filters.h>
#include <cryptopp/modes.h>

#include <memory>
#include <vector>

namespace {

// The stage behind the inflater, chosen by the member's ending. Takes over
// ipSink and returns the head of the chain.
CryptoPP::BufferedTransformation* createStage(const QString& isPath, CryptoPP::BufferedTransformation* ipSink,
                                              AudioFormat* ipFormat)
{
    if (isPath.endsWith(QLatin1String(".wav")))
        return new WavReader(ipSink, ipFormat); // without a format the bytes pass unchanged
    if (isPath.endsWith(QLatin1String(".js")))
        return new JavaScriptReader(ipSink);
    return ipSink;
}

// Upper bound of a zlib stream's expansion (deflate's best case is 1032:1),
// so that a lying decoded size cannot make us reserve memory for nothing.
constexpr qint64 cnMaxRatio = 1032;
constexpr qint64 cnPumpBlock = 256 * 1024;
// Members up to this size are decoded in one piece by readFile, which holds
// their stored bytes besides while it does; larger ones are streamed.
constexpr qint64 cnWholeMember = 64 * 1024 * 1024;

} // namespace

CryptoPP::BufferedTransformation* createMemberStage(const QString& isPath, CryptoPP::BufferedTransformation* ipSink)
{
    return createStage(isPath, ipSink, nullptr);
}

int Package::pumpMember(const QString& isPath, CryptoPP::BufferedTransformation* ipTail)
{
    std::unique_ptr<CryptoPP::BufferedTransformation> pTail(ipTail);
    const auto it = maFiles.constFind(isPath);
    if (!mbOpened || it == maFiles.cend())
        return -1;
    const PackageEntry entry = *it;

    if (entry.nOffset < 0 || entry.nStoredSize < 0 || qint64(entry.nOffset) + entry.nStoredSize > size()) {
        qWarning().noquote() << "Member lies outside the package file:" << isPath;
        return -1;
    }
    CryptoPP::SecByteBlock aKey(PackageCipher::cnKeySize);
    if (mbEncrypted && !PackageCipher::memberKey(entry.sKey, aKey)) {
        qWarning().noquote() << "Invalid member key:" << isPath;
        return -1;
    }

    // Every read has a file handle of its own, so reads never share a position.
    QFile file;
    if (!openMemberFile(file, entry.nOffset, isPath))
        return -1;

    try {
        // Declared before the chain: the filter only refers to it.
        CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption decryption;
        std::unique_ptr<CryptoPP::BufferedTransformation> pChain(new ZlibInflater(pTail.release()));
        if (mbEncrypted) {
            const CryptoPP::SecByteBlock aIv = PackageCipher::memberIv(isPath);
            decryption.SetKeyWithIV(aKey, aKey.size(), aIv);
            pChain.reset(new CryptoPP::StreamTransformationFilter(decryption, pChain.release()));
        }
        // The stored bytes are pumped in large blocks: the library's file
        // source hands on 1 KB at a time, which costs every stage (the
        // inflater above all) a call per kilobyte.
        std::vector<char> aBlock(size_t(qBound<qint64>(1, entry.nStoredSize, cnPumpBlock)));
        qint64 nLeft = entry.nStoredSize;
        while (nLeft > 0) {
            const qint64 nRead = file.read(aBlock.data(), qMin<qint64>(nLeft, qint64(aBlock.size())));
            if (nRead <= 0) {
                qWarning().noquote() << "Short read of member:" << isPath;
                return -1;
            }
            // The file may change under a long read; what was read since is not trusted.
            if (!maStamp.matches(fileName())) {
                qWarning().noquote() << "Package file changed since it was opened:" << fileName() << "reading" << isPath;
                return -1;
            }
            pChain->Put(reinterpret_cast<const CryptoPP::byte*>(aBlock.data()), size_t(nRead));
            nLeft -= nRead;
        }
        // Ending the message flushes every stage and lets the inflater tell a
        // stream that stops early from a complete one.
        pChain->MessageEnd();
    } catch (const std::exception& e) {
        qWarning().noquote() << "Could not read member:" << isPath << e.what();
        return -1;
    }
    return 0;
}

int Package::readFile(const QString& isPath, QBuffer* ipDevice, AudioFormat* ipFormat)
{
    const auto it = maFiles.constFind(isPath);
    if (!mbOpened || it == maFiles.cend() || !ipDevice)
        return -1;

    QByteArray& aTarget = ipDevice->buffer();
    const int nStart = aTarget.size();
    // Decoded in one piece where no stage has to see the bytes as they come
    // (a recording read with a format does): about twice as fast.
    if (!(ipFormat && isPath.endsWith(QLatin1String(".wav"))) && decodeWhole(isPath, cnWholeMember, aTarget)) {
        if (isPath.endsWith(QLatin1String(".js")))
            JavaScriptReader::replaceLineBreaks(reinterpret_cast<CryptoPP::byte*>(aTarget.data()) + nStart,
                                                size_t(aTarget.size() - nStart));
        return 0;
    }
    const qint64 nExpected = qMin<qint64>(it->nSize, qint64(it->nStoredSize) * cnMaxRatio);
    if (nExpected > 0 && nStart + nExpected < qint64(INT_MAX) / 2)
        aTarget.reserve(nStart + int(nExpected));

    const int nResult = pumpMember(isPath, createStage(isPath, new QByteArraySink(aTarget), ipFormat));
    if (nResult != 0)
        aTarget.truncate(nStart);
    return nResult;
}
