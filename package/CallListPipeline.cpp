// The call list decoded on a thread of its own while the calling thread
// filters what has arrived, so that decryption and inflation overlap the
// filter. Any doubt (a stated size that is wrong, a damaged member, a text
// the one pass cannot finish) leaves the list to the plain read and filter,
// which decide and report exactly as without the overlap.
#include "Package.h"

#include "CallListFilter.h"
#include "HugePages.h"
#include "MemberSlices.h"
#include "PackageCipher.h"

#include <QFile>
#include <QThread>

#include <cstring>
#include <memory>

namespace {

constexpr qint64 cnMaxRatio = 1032;     // zlib's largest expansion
constexpr qint64 cnAhead = 16 * 1024 * 1024; // decoded before the filter takes it on
constexpr qint64 cnKeptBehind = 64 * 1024;    // of the text before the filter's place
constexpr qint64 cnReleaseStep = 4 * 1024 * 1024; // passed before a release

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
    std::unique_ptr<MemberSlices::Decryption> pDecryption;
    if (mbEncrypted) {
        CryptoPP::SecByteBlock aKey(PackageCipher::cnKeySize);
        if (!PackageCipher::memberKey(entry.sKey, aKey))
            return false;
        pDecryption = std::make_unique<MemberSlices::Decryption>();
        pDecryption->SetKeyWithIV(aKey, aKey.size(), PackageCipher::memberIv(isPath));
    }
    auto pFile = std::make_unique<QFile>();
    if (!openMemberFile(*pFile, entry.nOffset, isPath))
        return false;

    QByteArray aText;
    aText.resize(entry.nSize);
    adviseHugePages(aText.data(), size_t(aText.size()));
    char* pText = aText.data();
    // Stopped and joined however the filter leaves.
    MemberSlices aDecoding(cnAhead);
    if (!aDecoding.start(std::move(pFile), qint64(entry.nStoredSize), maStamp, std::move(pDecryption), pText,
                         qint64(entry.nSize)))
        return false; // no thread to be had: the plain read

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
        const MemberSlices::Progress aProgress = aDecoding.wait(nSeen);
        const qint64 nDecoded = aProgress.nDecoded;
        bEnded = aProgress.bEnded;
        bFailed = aProgress.bFailed;
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
