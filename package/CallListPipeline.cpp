// The call list decoded on a thread of its own while the calling thread
// filters what has arrived, so that decryption and inflation overlap the
// filter. Any doubt (a stated size that is wrong, a damaged member, a text
// the one pass cannot finish) leaves the list to the plain read and filter,
// which decide and report exactly as without the overlap.
#include "Package.h"

#include "CallListFilter.h"
#include "HugePages.h"
#include "JavaScriptReader.h"
#include "PackageCipher.h"

#include <QFile>
#include <QThread>

#include <cryptopp/aes.h>
#include <cryptopp/modes.h>

#include <zlib.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

constexpr qint64 cnSlice = 1024 * 1024; // decoded bytes handed over at a time
constexpr qint64 cnMaxRatio = 1032;     // zlib's largest expansion
constexpr qint64 cnAhead = 16 * 1024 * 1024; // decoded before the filter takes it on
constexpr qint64 cnKeptBehind = 64 * 1024;    // of the text before the filter's place
constexpr qint64 cnReleaseStep = 4 * 1024 * 1024; // passed before a release

// What the decoding thread has done, guarded by maMutex.
struct Decoding
{
    std::mutex maMutex;
    std::condition_variable maChanged; // for the filter
    std::condition_variable maTaken;   // for the decoder
    qint64 mnDecoded = 0;
    qint64 mnTaken = 0;    // decoded bytes the filter has taken on
    bool mbEnded = false;  // the stream ended, its trailer checked
    bool mbFailed = false; // damaged, or larger than stated
    bool mbStop = false;   // the filter needs no more
};

// Decrypts (when ipDecryption) and inflates inStored bytes of irFile into
// ipOut, which holds inCapacity bytes, a slice at a time, script line
// breaks turned into spaces as the plain read does.
void decodeSlices(QFile& irFile, qint64 inStored, const PackageFileStamp& irStamp,
                  CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption* ipDecryption, char* ipOut, qint64 inCapacity,
                  Decoding& irDecoding)
{
    // The decoder keeps at most cnAhead bytes ahead of what the filter has
    // taken on, so that the text does not pile up when the filter is slower.
    const auto publish = [&irDecoding](qint64 inDecoded, bool ibEnded, bool ibFailed) {
        std::unique_lock<std::mutex> aLock(irDecoding.maMutex);
        irDecoding.mnDecoded = inDecoded;
        irDecoding.mbEnded = ibEnded;
        irDecoding.mbFailed = ibFailed;
        irDecoding.maChanged.notify_one();
        irDecoding.maTaken.wait(aLock, [&irDecoding, inDecoded] {
            return irDecoding.mbStop || inDecoded - irDecoding.mnTaken <= cnAhead;
        });
        return irDecoding.mbStop;
    };
    // Not a QByteArray: the cipher decrypts many blocks at once only on
    // 16-byte aligned bytes.
    std::unique_ptr<CryptoPP::byte[]> aStored(new (std::nothrow) CryptoPP::byte[size_t(inStored)]);
    if (!aStored) {
        publish(0, false, true);
        return;
    }
    adviseHugePages(aStored.get(), size_t(inStored));
    if (irFile.read(reinterpret_cast<char*>(aStored.get()), inStored) != inStored || !irStamp.matches(irFile)) {
        publish(0, false, true);
        return;
    }
    if (ipDecryption)
        ipDecryption->ProcessData(aStored.get(), aStored.get(), size_t(inStored));

    z_stream aZlib {};
    if (inflateInit(&aZlib) != Z_OK) {
        publish(0, false, true);
        return;
    }
    aZlib.next_in = aStored.get();
    aZlib.avail_in = uInt(inStored);
    qint64 nDecoded = 0;
    for (;;) {
        const qint64 nRoom = qMin(cnSlice, inCapacity - nDecoded);
        if (nRoom == 0) {
            publish(nDecoded, false, true); // more than the stated size
            break;
        }
        aZlib.next_out = reinterpret_cast<Bytef*>(ipOut + nDecoded);
        aZlib.avail_out = uInt(nRoom);
        const int nResult = inflate(&aZlib, Z_NO_FLUSH);
        if (nResult != Z_OK && nResult != Z_STREAM_END) {
            publish(nDecoded, false, true); // damaged, or cut short
            break;
        }
        const qint64 nNew = nRoom - qint64(aZlib.avail_out);
        JavaScriptReader::replaceLineBreaks(reinterpret_cast<CryptoPP::byte*>(ipOut + nDecoded), size_t(nNew));
        nDecoded += nNew;
        const bool bEnded = nResult == Z_STREAM_END;
        if (publish(nDecoded, bEnded, false) || bEnded)
            break;
    }
    inflateEnd(&aZlib);
}

// The decoding thread's body: nothing may escape it.
void decode(QFile& irFile, qint64 inStored, const PackageFileStamp& irStamp,
            CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption* ipDecryption, char* ipOut, qint64 inCapacity,
            Decoding& irDecoding)
{
    try {
        decodeSlices(irFile, inStored, irStamp, ipDecryption, ipOut, inCapacity, irDecoding);
    } catch (...) {
        std::lock_guard<std::mutex> aLock(irDecoding.maMutex);
        irDecoding.mbFailed = true;
        irDecoding.maChanged.notify_one();
    }
}

// Stops and joins the decoding thread however the filter leaves.
struct DecoderGuard
{
    Decoding& mrDecoding;
    std::thread& mrThread;
    ~DecoderGuard()
    {
        {
            std::lock_guard<std::mutex> aLock(mrDecoding.maMutex);
            mrDecoding.mbStop = true;
            mrDecoding.maTaken.notify_one();
        }
        if (mrThread.joinable())
            mrThread.join();
    }
};

} // namespace

bool Package::filterCallListOverlapped(const QString& isPath, CallListFilter& irFilter, int& irnResult)
{
    // With one core the overlap would only cost the slower streaming
    // inflater; the plain read decodes in one piece.
    const auto it = maFiles.constFind(isPath);
    if (!mbOpened || it == maFiles.cend() || QThread::idealThreadCount() < 2)
        return false;
    const PackageEntry entry = *it;
    if (entry.nOffset < 0 || entry.nStoredSize <= 0 || entry.nSize <= 0 || entry.nSize > cnMaxCallsScript
        || qint64(entry.nSize) > qint64(entry.nStoredSize) * cnMaxRatio
        || qint64(entry.nOffset) + entry.nStoredSize > size())
        return false;
    CryptoPP::CFB_Mode<CryptoPP::AES>::Decryption decryption;
    if (mbEncrypted) {
        CryptoPP::SecByteBlock aKey(PackageCipher::cnKeySize);
        if (!PackageCipher::memberKey(entry.sKey, aKey))
            return false;
        decryption.SetKeyWithIV(aKey, aKey.size(), PackageCipher::memberIv(isPath));
    }
    QFile file;
    if (!openMemberFile(file, entry.nOffset, isPath))
        return false;

    QByteArray aText;
    aText.resize(entry.nSize);
    adviseHugePages(aText.data(), size_t(aText.size()));
    char* pText = aText.data();
    Decoding aDecoding;
    std::thread aDecoder;
    try {
        aDecoder = std::thread(decode, std::ref(file), qint64(entry.nStoredSize), std::cref(maStamp),
                               mbEncrypted ? &decryption : nullptr, pText, qint64(entry.nSize), std::ref(aDecoding));
    } catch (const std::system_error&) {
        return false; // no thread to be had: the plain read
    }
    DecoderGuard aGuard {aDecoding, aDecoder};

    // The filter reads from the first "[" and, as the plain read and filter
    // do, never beyond the first NUL after it.
    const char* pOpen = nullptr;
    qint64 nNul = -1;
    qint64 nSeen = 0;
    qint64 nReleased = 0;
    CallListFilter::Progress nProgress = CallListFilter::Progress::More;
    bool bEnded = false;
    bool bFailed = false;
    while (!bEnded && !bFailed && nProgress != CallListFilter::Progress::Failed) {
        qint64 nDecoded = 0;
        {
            std::unique_lock<std::mutex> aLock(aDecoding.maMutex);
            aDecoding.maChanged.wait(aLock, [&] {
                return aDecoding.mnDecoded > nSeen || aDecoding.mbEnded || aDecoding.mbFailed;
            });
            nDecoded = aDecoding.mnDecoded;
            bEnded = aDecoding.mbEnded;
            bFailed = aDecoding.mbFailed;
            aDecoding.mnTaken = nDecoded;
            aDecoding.maTaken.notify_one();
        }
        if (bFailed)
            break;
        if (nProgress == CallListFilter::Progress::Done) {
            nSeen = nDecoded; // a finished filter still waits for the stream's trailer
            continue;
        }
        if (!pOpen) {
            pOpen = static_cast<const char*>(std::memchr(pText + nSeen, '[', size_t(nDecoded - nSeen)));
            if (pOpen)
                irFilter.begin(pOpen, entry.nSize - (pOpen - pText));
        }
        if (pOpen && nNul < 0) {
            const qint64 nFrom = qMax(nSeen, qint64(pOpen - pText));
            const void* pNul = std::memchr(pText + nFrom, 0, size_t(nDecoded - nFrom));
            if (pNul)
                nNul = static_cast<const char*>(pNul) - pText;
        }
        nSeen = nDecoded;
        if (!pOpen)
            continue;
        if (bEnded) {
            // The end the plain filter uses: blanks and one ";" taken off.
            qint64 nEnd = nDecoded;
            while (nEnd > pOpen - pText && (pText[nEnd - 1] == ' ' || pText[nEnd - 1] == '\t'))
                --nEnd;
            if (nEnd > pOpen - pText && pText[nEnd - 1] == ';')
                --nEnd;
            if (nNul >= 0)
                nEnd = qMin(nEnd, nNul);
            nProgress = irFilter.feed(pText + nEnd, true);
        } else {
            nProgress = irFilter.feed(pText + (nNul >= 0 ? nNul : nDecoded), false);
            // What the filter has passed is not read again (the fallback
            // decodes afresh): a million calls need not be held twice.
            const qint64 nPassed = irFilter.position() ? irFilter.position() - pText - cnKeptBehind : 0;
            if (nProgress == CallListFilter::Progress::More && nPassed - nReleased >= cnReleaseStep) {
                releasePages(pText + nReleased, size_t(nPassed - nReleased));
                nReleased = nPassed;
            }
        }
    }
    if (bFailed || !bEnded || nProgress != CallListFilter::Progress::Done)
        return false;
    irnResult = irFilter.finish();
    return true;
}
