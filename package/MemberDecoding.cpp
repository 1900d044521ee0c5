// Members decoded in one piece: the stored bytes are read and decrypted
// whole and inflated by libdeflate, which is about twice as fast as zlib's
// streaming inflater. Worth it where the whole member is needed anyway.
#include "Package.h"

#include "HugePages.h"
#include "PackageCipher.h"

#include <QDebug>
#include <QFileInfo>

#include <cryptopp/aes.h>
#include <cryptopp/filters.h>
#include <cryptopp/modes.h>

#include <libdeflate.h>

#include <memory>

namespace {

constexpr qint64 cnPumpBlock = 256 * 1024;
// Upper bound of a zlib stream's expansion, as for the streaming read.
constexpr qint64 cnMaxRatio = 1032;

struct DecompressorDeleter
{
    void operator()(libdeflate_decompressor* ipDecompressor) const { libdeflate_free_decompressor(ipDecompressor); }
};

} // namespace

bool Package::memberSource(const QString& isPath, MemberSource& irSource) const
{
    const auto it = maFiles.constFind(isPath);
    if (!mbOpened || it == maFiles.cend())
        return false;
    irSource = MemberSource {fileName(), isPath, *it, mbEncrypted, maStamp};
    return true;
}

bool Package::decodeWhole(const QString& isPath, qint64 inMaxSize, QByteArray& irTarget) const
{
    MemberSource aSource;
    return memberSource(isPath, aSource) && decodeSource(aSource, inMaxSize, irTarget);
}

bool Package::openSource(const MemberSource& irSource, qint64 inMaxSize, QFile& irFile, CryptoPP::SecByteBlock& irKey)
{
    const PackageEntry& entry = irSource.aEntry;
    // The stated size sizes the output; a wrong one (or a damaged member)
    // is left to the streaming path, which tells what is wrong.
    if (entry.nOffset < 0 || entry.nStoredSize <= 0 || entry.nSize < 0 || entry.nSize > inMaxSize
        || qint64(entry.nSize) > qint64(entry.nStoredSize) * cnMaxRatio)
        return false;
    irKey.CleanNew(PackageCipher::cnKeySize);
    if (irSource.bEncrypted && !PackageCipher::memberKey(entry.sKey, irKey))
        return false;
    irFile.setFileName(irSource.sFile);
    return irFile.open(QIODevice::ReadOnly) && irSource.aStamp.matches(irFile)
           && qint64(entry.nOffset) + entry.nStoredSize <= irFile.size() && irFile.seek(entry.nOffset);
}

bool Package::decodeSource(const MemberSource& irSource, qint64 inMaxSize, QByteArray& irTarget)
{
    const PackageEntry& entry = irSource.aEntry;
    const int nStart = irTarget.size();
    CryptoPP::SecByteBlock aKey;
    QFile file;
    if (qint64(nStart) + entry.nSize >= qint64(INT_MAX) / 2 || !openSource(irSource, inMaxSize, file, aKey))
        return false;
    // Not a QByteArray: its bytes lie off the 16-byte alignment under which
    // the cipher decrypts many blocks at once instead of one at a time.
    const size_t nStored = size_t(entry.nStoredSize);
    std::unique_ptr<CryptoPP::byte[]> aStored(new CryptoPP::byte[nStored]);
    adviseHugePages(aStored.get(), nStored);
    if (file.read(reinterpret_cast<char*>(aStored.get()), entry.nStoredSize) != entry.nStoredSize
        || !irSource.aStamp.matches(file))
        return false;
    CryptoPP::byte* pStored = aStored.get();
    if (irSource.bEncrypted) {
        CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption decryption;
        decryption.SetKeyWithIV(aKey, aKey.size(), PackageCipher::memberIv(irSource.sPath));
        decryption.ProcessData(pStored, pStored, nStored);
    }

    std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> pDecompressor(libdeflate_alloc_decompressor());
    if (!pDecompressor)
        return false;
    irTarget.resize(nStart + entry.nSize);
    adviseHugePages(irTarget.data() + nStart, size_t(entry.nSize));
    size_t nUsed = 0;
    size_t nProduced = 0;
    // Bytes after the end of the stream are ignored, as by the streaming path.
    const libdeflate_result nResult
        = libdeflate_zlib_decompress_ex(pDecompressor.get(), pStored, nStored, irTarget.data() + nStart,
                                        size_t(entry.nSize), &nUsed, &nProduced);
    irTarget.resize(nResult == LIBDEFLATE_SUCCESS ? nStart + int(nProduced) : nStart);
    return nResult == LIBDEFLATE_SUCCESS;
}

DecodedMemberCache::Key Package::decodedKey(const QString& isPath) const
{
    const QFileInfo aInfo(fileName());
    return {aInfo.absoluteFilePath(), aInfo.size(), aInfo.lastModified().toMSecsSinceEpoch(), mnOpening, isPath};
}

bool Package::decodedMember(const QString& isPath, QByteArray& iraBytes)
{
    // A file changed since the opening is the streaming read's to report.
    if (!mbOpened || !maFiles.contains(isPath) || !fileUnchanged())
        return false;
    const DecodedMemberCache::Key aKey = decodedKey(isPath);
    if (maDecoded.find(aKey, iraBytes))
        return true;
    QByteArray aDecoded;
    if (!decodeWhole(isPath, maDecoded.maxBytes(), aDecoded))
        return false;
    maDecoded.insert(aKey, aDecoded);
    iraBytes = aDecoded;
    return true;
}

int Package::pumpDecoded(const QString& isPath, const QByteArray& iaBytes, CryptoPP::BufferedTransformation* ipTail)
{
    std::unique_ptr<CryptoPP::BufferedTransformation> pTail(ipTail);
    try {
        // In pieces, as from the file: stages need not take a member at once.
        for (qint64 nAt = 0; nAt < iaBytes.size(); nAt += cnPumpBlock)
            pTail->Put(reinterpret_cast<const CryptoPP::byte*>(iaBytes.constData()) + nAt,
                       size_t(qMin<qint64>(cnPumpBlock, iaBytes.size() - nAt)));
        pTail->MessageEnd();
    } catch (const std::exception& e) {
        qWarning().noquote() << "Could not read member:" << isPath << e.what();
        return -1;
    }
    return 0;
}
