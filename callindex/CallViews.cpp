#include "CallViews.h"
#include "JsText.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <unordered_map>

CallViews::CallViews(std::shared_ptr<const CallIndex> ipIndex,
                     std::shared_ptr<const std::vector<int32_t>> ipStartOrder)
    : mpIndex(std::move(ipIndex))
{
    if (ipStartOrder)
        maOrders[QStringLiteral("time_start")] = std::move(ipStartOrder);
}

std::vector<std::string> CallViews::kindLabels(const CallQuery& irQuery) const
{
    std::vector<std::string> aLabels;
    for (const std::string& sKind : mpIndex->kinds()) {
        const QString* pLabel = sKind == "in" ? &irQuery.sLabelIn
                                : sKind == "out" ? &irQuery.sLabelOut
                                : sKind == "internal" ? &irQuery.sLabelInternal : nullptr;
        std::string sLabel;
        if (pLabel) {
            const QByteArray a = pLabel->toUtf8();
            JsText::appendLower(std::string_view(a.constData(), size_t(a.size())), sLabel);
        } else {
            sLabel = sKind; // already String(value) lowercased
        }
        aLabels.push_back(sLabel);
    }
    return aLabels;
}

std::atomic<int> CallViews::snTwoThreadsFrom {200000};

void CallViews::setTwoThreadsFrom(int inCalls)
{
    snTwoThreadsFrom.store(inCalls, std::memory_order_relaxed);
}

namespace {

// Raises level[k] from t to t + 1 for the calls first..last whose search
// text holds the term, as the page does within a block of calls.
void scanTerm(const CallIndex& irIndex, const std::string& isTerm, uint8_t inTerm, int inFirst, int inLast,
              std::vector<uint8_t>& irLevel)
{
    const std::string& sText = irIndex.allText();
    const std::vector<uint64_t>& aStarts = irIndex.textStarts();
    const char* pBase = sText.data();
    const char* pEnd = pBase + aStarts[size_t(inLast)];
    const char* p = pBase + aStarts[size_t(inFirst)];
    size_t k = size_t(inFirst);
    while (p < pEnd) {
        const void* pAt = memmem(p, size_t(pEnd - p), isTerm.data(), isTerm.size());
        if (!pAt)
            break;
        const uint64_t nAt = uint64_t(static_cast<const char*>(pAt) - pBase);
        while (aStarts[k + 1] <= nAt)
            ++k;
        if (irLevel[k] == inTerm)
            irLevel[k] = uint8_t(inTerm + 1);
        p = pBase + aStarts[k + 1];
    }
}

} // namespace

std::shared_ptr<const std::vector<uint8_t>> CallViews::match(const std::vector<std::string>& iaTerms,
                                                            const std::vector<std::string>& iaKindLabels)
{
    std::vector<std::string> aTerms;
    for (const std::string& s : iaTerms)
        if (!s.empty())
            aTerms.push_back(s);
    if (aTerms.empty()) {
        maLastTerms.clear();
        mpLastMatch.reset();
        return nullptr;
    }
    // A repeated term changes nothing.
    std::sort(aTerms.begin(), aTerms.end());
    aTerms.erase(std::unique(aTerms.begin(), aTerms.end()), aTerms.end());

    const CallIndex& x = *mpIndex;
    // A search soon after the index came may wait for its texts.
    x.awaitTexts();
    const int n = x.count();
    // A query that extends the last one can only match what that matched.
    bool bNarrowing = mpLastMatch && !maLastTerms.empty() && iaKindLabels == maLastLabels
                      && maLastTerms.size() <= iaTerms.size();
    for (size_t k = 0; bNarrowing && k < maLastTerms.size(); ++k)
        bNarrowing = iaTerms[k].find(maLastTerms[k]) != std::string::npos;
    const std::vector<uint8_t>* pPrevious = bNarrowing ? mpLastMatch.get() : nullptr;

    std::vector<std::vector<uint8_t>> aLabelHits;
    for (const std::string& sTerm : aTerms) {
        std::vector<uint8_t> aHits;
        for (const std::string& sLabel : iaKindLabels)
            aHits.push_back(sLabel.find(sTerm) != std::string::npos ? 1 : 0);
        aLabelHits.push_back(std::move(aHits));
    }
    // Per term, the columns' held texts that hold it.
    struct DictHits
    {
        const CallIndex::Column* pColumn;
        std::vector<uint8_t> aHit;
    };
    std::vector<std::vector<DictHits>> aDictHits(aTerms.size());
    for (size_t t = 0; t < aTerms.size(); ++t)
        for (const CallIndex::Column& aColumn : x.columns()) {
            DictHits aHits {&aColumn, {}};
            bool bAny = false;
            for (const std::string& sText : aColumn.aDictSearch) {
                aHits.aHit.push_back(sText.find(aTerms[t]) != std::string::npos ? 1 : 0);
                bAny = bAny || aHits.aHit.back();
            }
            if (bAny)
                aDictHits[t].push_back(std::move(aHits));
        }
    auto dictHit = [&](size_t t, int i) {
        for (const DictHits& aHits : aDictHits[t]) {
            const uint32_t c = aHits.pColumn->aCells[size_t(i)];
            if (CallIndex::isDict(c) && aHits.aHit[c & ~CallIndex::cnDict])
                return true;
        }
        return false;
    };
    auto pMatch = std::make_shared<std::vector<uint8_t>>(size_t(n), 0);
    std::vector<uint8_t>& aMatch = *pMatch;

    size_t nCandidates = size_t(n);
    if (pPrevious)
        nCandidates = size_t(std::count(pPrevious->begin(), pPrevious->end(), 1));
    // Few candidates are looked at one by one; so are all calls for more
    // terms than a byte of levels counts.
    if ((pPrevious && nCandidates < size_t(n) / 32) || aTerms.size() > 250) {
        for (int i = 0; i < n; ++i) {
            if (pPrevious && !(*pPrevious)[size_t(i)])
                continue;
            const std::string_view sText = x.searchText(i);
            bool bAll = true;
            for (size_t t = 0; t < aTerms.size() && bAll; ++t)
                bAll = aLabelHits[t][x.directionKind(i)] || sText.find(aTerms[t]) != std::string_view::npos
                       || dictHit(t, i);
            aMatch[size_t(i)] = bAll ? 1 : 0;
        }
    } else {
        std::vector<uint8_t>& aLevel = aMatch;
        auto scan = [&](int inFirst, int inLast) {
            for (size_t t = 0; t < aTerms.size(); ++t) {
                scanTerm(x, aTerms[t], uint8_t(t), inFirst, inLast, aLevel);
                const std::vector<uint8_t>& aHits = aLabelHits[t];
                if (std::find(aHits.begin(), aHits.end(), 1) != aHits.end())
                    for (int i = inFirst; i < inLast; ++i)
                        if (aLevel[size_t(i)] == t && aHits[x.directionKind(i)])
                            aLevel[size_t(i)] = uint8_t(t + 1);
                if (!aDictHits[t].empty())
                    for (int i = inFirst; i < inLast; ++i)
                        if (aLevel[size_t(i)] == t && dictHit(t, i))
                            aLevel[size_t(i)] = uint8_t(t + 1);
            }
        };
        // Two halves on two threads pay once the text is large.
        if (n >= snTwoThreadsFrom.load(std::memory_order_relaxed)) {
            std::thread aOther(scan, n / 2, n);
            scan(0, n / 2);
            aOther.join();
        } else {
            scan(0, n);
        }
        const uint8_t nAll = uint8_t(aTerms.size());
        for (int i = 0; i < n; ++i)
            aLevel[size_t(i)] = (aLevel[size_t(i)] == nAll && (!pPrevious || (*pPrevious)[size_t(i)])) ? 1 : 0;
    }
    maLastTerms = iaTerms;
    maLastLabels = iaKindLabels;
    mpLastMatch = pMatch;
    return pMatch;
}

const std::vector<uint16_t>& CallViews::noteCounts(const std::vector<CallQuery::Note>& iaNotes)
{
    const auto same = [](const CallQuery::Note& a, const CallQuery::Note& b) {
        return a.sKey == b.sKey && a.nCount == b.nCount;
    };
    if (mbNotesCounted && iaNotes.size() == maLastNotes.size()
        && std::equal(iaNotes.begin(), iaNotes.end(), maLastNotes.begin(), same))
        return maNoteCounts;
    const CallIndex& x = *mpIndex;
    const int n = x.count();
    // The last entry of a key counts, as in the page's map of notes.
    std::unordered_map<std::string, int> aCountOf;
    for (const CallQuery::Note& aNote : iaNotes)
        aCountOf[aNote.sKey] = std::clamp(aNote.nCount, 0, 65535);
    std::unordered_map<uint64_t, std::vector<const std::string*>> aByHash;
    for (const auto& aEntry : aCountOf)
        aByHash[CallIndex::noteKeyHash(aEntry.first)].push_back(&aEntry.first);
    maNoteCounts.assign(size_t(n), 0);
    std::unordered_map<std::string, bool> aTaken;
    // The last call of a key holds its notes, as in the page.
    std::string sKey;
    for (int i = n - 1; i >= 0 && !aByHash.empty(); --i) {
        const uint64_t nHash = x.noteKey(i);
        if (nHash == 0)
            continue;
        const auto it = aByHash.find(nHash);
        if (it == aByHash.end() || !x.noteIdentity(i, sKey))
            continue;
        for (const std::string* pKey : it->second)
            if (*pKey == sKey && aTaken.emplace(sKey, true).second)
                maNoteCounts[size_t(i)] = uint16_t(aCountOf[sKey]);
    }
    maLastNotes = iaNotes;
    mbNotesCounted = true;
    maOrders.erase(QStringLiteral("__notes"));
    return maNoteCounts;
}

std::vector<int32_t> CallViews::view(const CallQuery& irQuery)
{
    const CallIndex& x = *mpIndex;
    const std::vector<std::string> aLabels = kindLabels(irQuery);
    const std::shared_ptr<const std::vector<uint8_t>> pMatch = match(irQuery.aTerms, aLabels);
    const std::vector<uint16_t>& aCounts = noteCounts(irQuery.aNotes);
    const QString sColumn = irQuery.sSortColumn.isEmpty() ? QStringLiteral("time_start") : irQuery.sSortColumn;
    const std::shared_ptr<const std::vector<int32_t>> pOrder = order(sColumn, aLabels);
    const std::vector<int32_t>& aOrder = *pOrder;
    const size_t n = aOrder.size();

    // The direction kind asked for; one no call has matches none.
    int64_t nKind = -1;
    if (!irQuery.sDirection.isEmpty()) {
        const std::string sKind = irQuery.sDirection.toStdString();
        const auto& aKinds = x.kinds();
        const auto it = std::find(aKinds.begin(), aKinds.end(), sKind);
        if (it == aKinds.end())
            return {};
        nKind = it - aKinds.begin();
    }
    // Days as yyyymmdd where both sides are written so; otherwise as text.
    auto dayCode = [](const QString& s) {
        const QByteArray a = s.toLatin1();
        if (s.size() != 10 || a[4] != '-' || a[7] != '-')
            return -2;
        int n = 0;
        for (int k : {0, 1, 2, 3, 5, 6, 8, 9}) {
            if (a[k] < '0' || a[k] > '9')
                return -2;
            n = n * 10 + (a[k] - '0');
        }
        return n;
    };
    const QString& sFrom = irQuery.sFrom;
    const QString& sTo = irQuery.sTo;
    const int nFrom = sFrom.isEmpty() ? -1 : dayCode(sFrom);
    const int nTo = sTo.isEmpty() ? -1 : dayCode(sTo);
    auto dayText = [&](int i) {
        const int32_t c = x.dayCode(i);
        if (c == -1)
            return QString();
        if (c == -2)
            return x.irregularDay(i);
        return QStringLiteral("%1-%2-%3").arg(c / 10000, 4, 10, QChar('0')).arg(c / 100 % 100, 2, 10, QChar('0'))
            .arg(c % 100, 2, 10, QChar('0'));
    };
    auto beforeFrom = [&](int i) {
        const int32_t c = x.dayCode(i);
        if (c == -1)
            return true;
        if (c >= 0 && nFrom >= 0)
            return c < nFrom;
        return dayText(i) < sFrom;
    };
    auto afterTo = [&](int i) {
        const int32_t c = x.dayCode(i);
        if (c == -1)
            return true;
        if (c >= 0 && nTo >= 0)
            return c > nTo;
        return dayText(i) > sTo;
    };

    std::vector<int32_t> aView;
    aView.reserve(pMatch || irQuery.bRecordingOnly || irQuery.bMarkedOnly || irQuery.bNotesOnly ? 1024 : n);
    for (size_t k = 0; k < n; ++k) {
        const int i = aOrder[irQuery.bDescending ? n - 1 - k : k];
        if (pMatch && !(*pMatch)[size_t(i)])
            continue;
        const uint8_t f = x.flags(i);
        if (irQuery.bRecordingOnly && !(f & CallIndex::cnRecording))
            continue;
        if (irQuery.bMarkedOnly && !(f & CallIndex::cnMarked))
            continue;
        if (irQuery.bNotesOnly && !aCounts[size_t(i)])
            continue;
        if (!sFrom.isEmpty() && beforeFrom(i))
            continue;
        if (!sTo.isEmpty() && afterTo(i))
            continue;
        if (nKind >= 0 && x.directionKind(i) != uint32_t(nKind))
            continue;
        aView.push_back(i);
    }
    return aView;
}
