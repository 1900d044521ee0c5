// An index built whole, or by two readers from two starts whose indexes are
// then joined, or from a script that arrives while it is read.
#include "CallIndexBuilder.h"

#include <algorithm>
#include <thread>

void CallIndexBuilder::append(CallIndex& irHead, CallIndex& irTail)
{
    const size_t nHead = irHead.maBegin.size();
    const size_t nTail = irTail.maBegin.size();
    // Columns by key; the tail's new keys come after the head's.
    std::vector<int> aColumnOf;
    for (CallIndex::Column& aColumn : irTail.maColumns) {
        int nColumn = irHead.column(aColumn.sKey);
        if (nColumn < 0) {
            nColumn = int(irHead.maColumns.size());
            irHead.maColumns.push_back(CallIndex::Column {aColumn.sKey, std::vector<uint32_t>(nHead, 0), {}, {}});
            irHead.maColumnOf.emplace(aColumn.sKey, nColumn);
        }
        aColumnOf.push_back(nColumn);
    }
    std::vector<bool> aFilled(irHead.maColumns.size(), false);
    for (size_t k = 0; k < irTail.maColumns.size(); ++k) {
        CallIndex::Column& aFrom = irTail.maColumns[k];
        CallIndex::Column& aTo = irHead.maColumns[size_t(aColumnOf[k])];
        aFilled[size_t(aColumnOf[k])] = true;
        const uint32_t nShift = uint32_t(aTo.aNumbers.size());
        std::vector<uint32_t> aDictOf;
        for (size_t d = 0; d < aFrom.aDictPlain.size(); ++d) {
            const auto it = std::find(aTo.aDictSearch.begin(), aTo.aDictSearch.end(), aFrom.aDictSearch[d]);
            aDictOf.push_back(uint32_t(it - aTo.aDictSearch.begin()));
            if (it == aTo.aDictSearch.end()) {
                aTo.aDictPlain.push_back(aFrom.aDictPlain[d]);
                aTo.aDictSearch.push_back(aFrom.aDictSearch[d]);
            }
        }
        aTo.aCells.reserve(nHead + nTail);
        for (const uint32_t c : aFrom.aCells) {
            if (CallIndex::isDict(c))
                aTo.aCells.push_back(CallIndex::cnDict | aDictOf[c & ~CallIndex::cnDict]);
            else
                aTo.aCells.push_back((c & CallIndex::cnKindMask) == CallIndex::cnNumber && !(c & CallIndex::cnInlineNumber)
                                         ? c + nShift : c);
        }
        aTo.aNumbers.insert(aTo.aNumbers.end(), aFrom.aNumbers.begin(), aFrom.aNumbers.end());
        for (auto& aLong : aFrom.aLongTexts)
            aTo.aLongTexts.emplace(uint32_t(aLong.first + nHead), std::move(aLong.second));
        CallIndex::Column().aCells.swap(aFrom.aCells);
    }
    for (size_t k = 0; k < aFilled.size(); ++k)
        if (!aFilled[k])
            irHead.maColumns[k].aCells.resize(nHead + nTail, 0);

    irHead.maBegin.insert(irHead.maBegin.end(), irTail.maBegin.begin(), irTail.maBegin.end());
    irHead.maLength.insert(irHead.maLength.end(), irTail.maLength.begin(), irTail.maLength.end());
    const uint64_t nTextShift = irHead.msText.size();
    irHead.maTextStart.pop_back();
    for (const uint64_t n : irTail.maTextStart)
        irHead.maTextStart.push_back(n + nTextShift);
    irHead.msText.append(irTail.msText);
    std::string().swap(irTail.msText);
    irHead.maFlags.insert(irHead.maFlags.end(), irTail.maFlags.begin(), irTail.maFlags.end());
    std::vector<uint32_t> aKindOf;
    for (const std::string& sKind : irTail.maKinds) {
        const auto it = std::find(irHead.maKinds.begin(), irHead.maKinds.end(), sKind);
        aKindOf.push_back(uint32_t(it - irHead.maKinds.begin()));
        if (it == irHead.maKinds.end())
            irHead.maKinds.push_back(sKind);
    }
    for (const uint32_t n : irTail.maDirection)
        irHead.maDirection.push_back(aKindOf[n]);
    for (int k = 0; k < irTail.maDirections.size(); ++k) {
        const std::string& sKey = irTail.maDirectionKeys[size_t(k)];
        if (irHead.maDirections.size() < cnMaxDirections
            && std::find(irHead.maDirectionKeys.begin(), irHead.maDirectionKeys.end(), sKey) == irHead.maDirectionKeys.end()) {
            irHead.maDirections.append(irTail.maDirections[k]);
            irHead.maDirectionKeys.push_back(sKey);
        }
    }
    irHead.maTimeKey.insert(irHead.maTimeKey.end(), irTail.maTimeKey.begin(), irTail.maTimeKey.end());
    irHead.maDay.insert(irHead.maDay.end(), irTail.maDay.begin(), irTail.maDay.end());
    for (const auto& aDay : irTail.maIrregularDays)
        irHead.maIrregularDays.emplace(uint32_t(aDay.first + nHead), aDay.second);
    irHead.maNoteKey.insert(irHead.maNoteKey.end(), irTail.maNoteKey.begin(), irTail.maNoteKey.end());
}

namespace {

// Where a second reader may start: an element's start near the middle, if
// the text there is what lies between two calls (a guess: inside a string
// it may be wrong, which the first reader finds out).
size_t guessMiddle(const QByteArray& iaScript)
{
    const char* p = iaScript.constData();
    const size_t n = size_t(iaScript.size());
    for (size_t k = n / 2; k + 2 < n && k < n / 2 + (1 << 20); ++k) {
        if (p[k] != '}')
            continue;
        size_t j = k + 1;
        while (j < n && (p[j] == ' ' || p[j] == '\n' || p[j] == '\r' || p[j] == '\t'))
            ++j;
        if (j >= n || p[j] != ',')
            continue;
        ++j;
        while (j < n && (p[j] == ' ' || p[j] == '\n' || p[j] == '\r' || p[j] == '\t'))
            ++j;
        if (j + 1 < n && p[j] == '{' && p[j + 1] == '"')
            return j;
    }
    return 0;
}

} // namespace

std::shared_ptr<const CallIndex> CallIndex::build(const QByteArray& iaScript, QString* ipsWhy, qint64 inSplitSize,
                                                  const std::atomic<bool>* ipCancel, Texts ieTexts)
{
    auto pIndex = std::make_shared<CallIndex>();
    pIndex->maScript = iaScript;
    QString sWhy;
    // A large script is read by two threads, each from its own start; the
    // second reader's start holds when the first reaches it exactly.
    const size_t nMiddle = iaScript.size() >= inSplitSize ? guessMiddle(iaScript) : 0;
    const bool bLater = ieTexts == Texts::Later && nMiddle == 0;
    // Room the search text rarely outgrows; pages never written are never
    // resident, so the room costs nothing.
    if (!bLater)
        pIndex->msText.reserve(size_t(iaScript.size()));
    bool bOk = false;
    if (nMiddle == 0) {
        CallIndexBuilder aBuilder(*pIndex, 0, SIZE_MAX, ipCancel, nullptr,
                                  bLater ? CallIndexBuilder::Part::Facts : CallIndexBuilder::Part::All);
        bOk = aBuilder.run(sWhy);
    } else {
        CallIndex aTail;
        aTail.maScript = iaScript;
        aTail.msText.reserve(size_t(iaScript.size()) - nMiddle);
        std::atomic<bool> bCancel {false};
        QString sTailWhy;
        bool bTailOk = false;
        std::thread aTailReader([&] {
            CallIndexBuilder aBuilder(aTail, nMiddle, SIZE_MAX, &bCancel);
            bTailOk = aBuilder.run(sTailWhy);
        });
        CallIndexBuilder aHead(*pIndex, 0, nMiddle, ipCancel);
        bOk = aHead.run(sWhy);
        if (!bOk || !aHead.stopped())
            bCancel = true;
        aTailReader.join();
        if (bOk && aHead.stopped()) {
            bOk = bTailOk;
            sWhy = sTailWhy;
            if (bOk)
                CallIndexBuilder::append(*pIndex, aTail);
        }
    }
    pIndex->maDirectionKeys.clear();
    if (!bOk) {
        if (ipsWhy)
            *ipsWhy = sWhy;
        return nullptr;
    }
    pIndex->mbTexts = !bLater;
    return pIndex;
}

std::shared_ptr<const CallIndex> CallIndex::build(QByteArray& irRoom, const Arrival& irArrival, QString* ipsWhy,
                                                  const std::atomic<bool>* ipCancel, Texts ieTexts)
{
    auto pIndex = std::make_shared<CallIndex>();
    // Shared while it is read, not copied; bytes still arriving are written
    // where they lie.
    pIndex->maScript = irRoom;
    const bool bLater = ieTexts == Texts::Later;
    if (!bLater)
        pIndex->msText.reserve(size_t(irRoom.size()));
    QString sWhy;
    CallIndexBuilder aBuilder(*pIndex, 0, SIZE_MAX, ipCancel, &irArrival,
                              bLater ? CallIndexBuilder::Part::Facts : CallIndexBuilder::Part::All);
    const bool bOk = aBuilder.run(sWhy);
    pIndex->maDirectionKeys.clear();
    if (!bOk) {
        if (ipsWhy)
            *ipsWhy = sWhy;
        return nullptr;
    }
    // All has arrived: the index holds the only reference, so the cut
    // does not copy.
    irRoom = QByteArray();
    pIndex->maScript.resize(int(aBuilder.arrived()));
    pIndex->mbTexts = !bLater;
    return pIndex;
}

void CallIndex::makeTexts(const std::shared_ptr<const CallIndex>& ipIndex, const std::atomic<bool>* ipCancel)
{
    if (!ipIndex || ipIndex->hasTexts())
        return;
    // Only here are the texts of a shared index written, and nobody reads
    // them before awaitTexts lets them.
    CallIndex& x = const_cast<CallIndex&>(*ipIndex);
    CallIndexBuilder aBuilder(x, 0, SIZE_MAX, ipCancel, nullptr, CallIndexBuilder::Part::Texts);
    // A call read once reads alike again; a cancelled index is asked no more.
    aBuilder.runTexts();
    {
        std::lock_guard<std::mutex> aLock(x.maTextsMutex);
        x.mbTexts.store(true, std::memory_order_release);
    }
    x.maTextsMade.notify_all();
}

void CallIndex::awaitTexts() const
{
    if (hasTexts())
        return;
    std::unique_lock<std::mutex> aLock(maTextsMutex);
    maTextsMade.wait(aLock, [this] { return hasTexts(); });
}
