#include "MemberSlices.h"

#include "HugePages.h"
#include "JavaScriptReader.h"
#include "PackageCipher.h"

#include <zlib.h>

#include <system_error>

namespace {

constexpr qint64 cnSlice = 1024 * 1024; // decoded bytes handed over at a time

} // namespace

MemberSlices::MemberSlices(qint64 inAhead) : mnAhead(inAhead) {}

MemberSlices::~MemberSlices()
{
    {
        std::lock_guard<std::mutex> aLock(maMutex);
        mbStop = true;
        maTaken.notify_one();
    }
    if (maThread.joinable())
        maThread.join();
}

bool MemberSlices::start(std::unique_ptr<QFile> ipFile, qint64 inStored, const PackageFileStamp& irStamp,
                         std::unique_ptr<Decryption> ipDecryption, char* ipOut, qint64 inCapacity)
{
    mpFile = std::move(ipFile);
    mnStored = inStored;
    maStamp = irStamp;
    mpDecryption = std::move(ipDecryption);
    mpOut = ipOut;
    mnCapacity = inCapacity;
    try {
        maThread = std::thread(&MemberSlices::decode, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool MemberSlices::start(const Package::MemberSource& irSource, qint64 inMaxSize, QByteArray& irRoom)
{
    const PackageEntry& entry = irSource.aEntry;
    auto pFile = std::make_unique<QFile>();
    CryptoPP::SecByteBlock aKey;
    if (entry.nSize >= qint64(INT_MAX) / 2 || !Package::openSource(irSource, inMaxSize, *pFile, aKey))
        return false;
    std::unique_ptr<Decryption> pDecryption;
    if (irSource.bEncrypted) {
        pDecryption = std::make_unique<Decryption>();
        pDecryption->SetKeyWithIV(aKey, aKey.size(), PackageCipher::memberIv(irSource.sPath));
    }
    irRoom.resize(int(entry.nSize));
    adviseHugePages(irRoom.data(), size_t(irRoom.size()));
    return start(std::move(pFile), entry.nStoredSize, irSource.aStamp, std::move(pDecryption), irRoom.data(),
                 entry.nSize);
}

MemberSlices::Progress MemberSlices::wait(qint64 inSeen)
{
    std::unique_lock<std::mutex> aLock(maMutex);
    maChanged.wait(aLock, [&] { return maProgress.nDecoded > inSeen || maProgress.bEnded || maProgress.bFailed; });
    mnTaken = maProgress.nDecoded;
    maTaken.notify_one();
    return maProgress;
}

// The decoder keeps at most mnAhead bytes ahead of what the reader has
// taken on, so that the text does not pile up when the reader is slower.
bool MemberSlices::publish(qint64 inDecoded, bool ibEnded, bool ibFailed)
{
    std::unique_lock<std::mutex> aLock(maMutex);
    maProgress = {inDecoded, ibEnded, ibFailed};
    maChanged.notify_one();
    if (mnAhead > 0)
        maTaken.wait(aLock, [this, inDecoded] { return mbStop || inDecoded - mnTaken <= mnAhead; });
    return mbStop;
}

// The decoding thread's body: nothing may escape it.
void MemberSlices::decode()
{
    try {
        decodeSlices();
    } catch (...) {
        std::lock_guard<std::mutex> aLock(maMutex);
        maProgress.bFailed = true;
        maChanged.notify_one();
    }
}

void MemberSlices::decodeSlices()
{
    // Not a QByteArray: the cipher decrypts many blocks at once only on
    // 16-byte aligned bytes.
    std::unique_ptr<CryptoPP::byte[]> aStored(new (std::nothrow) CryptoPP::byte[size_t(mnStored)]);
    if (!aStored) {
        publish(0, false, true);
        return;
    }
    adviseHugePages(aStored.get(), size_t(mnStored));
    if (mpFile->read(reinterpret_cast<char*>(aStored.get()), mnStored) != mnStored || !maStamp.matches(*mpFile)) {
        publish(0, false, true);
        return;
    }
    if (mpDecryption)
        mpDecryption->ProcessData(aStored.get(), aStored.get(), size_t(mnStored));

    z_stream aZlib {};
    if (inflateInit(&aZlib) != Z_OK) {
        publish(0, false, true);
        return;
    }
    aZlib.next_in = aStored.get();
    aZlib.avail_in = uInt(mnStored);
    qint64 nDecoded = 0;
    for (;;) {
        const qint64 nRoom = qMin(cnSlice, mnCapacity - nDecoded);
        if (nRoom == 0) {
            publish(nDecoded, false, true); // more than the stated size
            break;
        }
        aZlib.next_out = reinterpret_cast<Bytef*>(mpOut + nDecoded);
        aZlib.avail_out = uInt(nRoom);
        const int nResult = inflate(&aZlib, Z_NO_FLUSH);
        if (nResult != Z_OK && nResult != Z_STREAM_END) {
            publish(nDecoded, false, true); // damaged, or cut short
            break;
        }
        const qint64 nNew = nRoom - qint64(aZlib.avail_out);
        JavaScriptReader::replaceLineBreaks(reinterpret_cast<CryptoPP::byte*>(mpOut + nDecoded), size_t(nNew));
        nDecoded += nNew;
        const bool bEnded = nResult == Z_STREAM_END;
        if (publish(nDecoded, bEnded, false) || bEnded)
            break;
    }
    inflateEnd(&aZlib);
}
