// Sort orders as the page's: stable, ties in call order. Keys become 64-bit
// numbers that keep their order, and a radix sort arranges the calls; texts
// that the key leaves tied are compared in full within their tie.
#include "CallViews.h"
#include "JsText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace {

std::vector<int32_t> identity(size_t n)
{
    std::vector<int32_t> a(n);
    std::iota(a.begin(), a.end(), 0);
    return a;
}

// Calls by ascending key, ties in call order.
std::vector<int32_t> radixOrder(const std::vector<uint64_t>& iaKeys)
{
    const size_t n = iaKeys.size();
    std::vector<int32_t> aOrder = identity(n);
    std::vector<int32_t> aOther(n);
    std::vector<uint32_t> aCount(65536);
    for (int nShift = 0; nShift < 64 && n > 1; nShift += 16) {
        std::fill(aCount.begin(), aCount.end(), 0);
        for (size_t i = 0; i < n; ++i)
            ++aCount[(iaKeys[i] >> nShift) & 0xFFFF];
        if (aCount[(iaKeys[0] >> nShift) & 0xFFFF] == n)
            continue;
        uint32_t nSum = 0;
        for (uint32_t& c : aCount) {
            const uint32_t nHere = c;
            c = nSum;
            nSum += nHere;
        }
        for (size_t k = 0; k < n; ++k) {
            const int32_t i = aOrder[k];
            aOther[aCount[(iaKeys[size_t(i)] >> nShift) & 0xFFFF]++] = i;
        }
        aOrder.swap(aOther);
    }
    return aOrder;
}

// A number as a key of the same order (-0 and 0 alike).
uint64_t numberKey(double f)
{
    if (f == 0)
        f = 0;
    uint64_t n = 0;
    std::memcpy(&n, &f, sizeof n);
    return (n & 0x8000000000000000ull) ? ~n : n | 0x8000000000000000ull;
}

std::vector<int32_t> numberOrder(const std::vector<double>& iaValues)
{
    std::vector<uint64_t> aKeys(iaValues.size());
    for (size_t i = 0; i < iaValues.size(); ++i)
        aKeys[i] = numberKey(iaValues[i]);
    return radixOrder(aKeys);
}

} // namespace

std::vector<int32_t> CallViews::startOrder(const CallIndex& irIndex)
{
    std::vector<double> aKeys(size_t(irIndex.count()));
    for (size_t i = 0; i < aKeys.size(); ++i)
        aKeys[i] = irIndex.timeKey(int(i));
    return numberOrder(aKeys);
}

std::vector<int32_t> CallViews::sortTexts(const std::vector<std::string_view>& iaTexts) const
{
    const size_t n = iaTexts.size();
    if (n == 0)
        return {};
    // The prefix every text shares decides nothing.
    size_t nShared = iaTexts[0].size();
    for (size_t i = 1; i < n && nShared > 0; ++i) {
        const std::string_view s = iaTexts[i];
        const size_t nLimit = std::min(nShared, s.size());
        size_t k = 0;
        while (k < nLimit && s[k] == iaTexts[0][k])
            ++k;
        nShared = k;
    }
    std::vector<uint64_t> aKeys(n);
    for (size_t i = 0; i < n; ++i) {
        const std::string_view s = iaTexts[i];
        uint64_t nKey = 0;
        for (size_t k = nShared; k < nShared + 8; ++k)
            nKey = (nKey << 8) | (k < s.size() ? JsText::utf16Rank(static_cast<unsigned char>(s[k])) : 0u);
        aKeys[i] = nKey;
    }
    std::vector<int32_t> aOrder = radixOrder(aKeys);
    // Runs of one key: equal texts, unless they differ beyond the key.
    for (size_t nStart = 0; nStart < n;) {
        const uint64_t nKey = aKeys[size_t(aOrder[nStart])];
        const std::string_view sFirst = iaTexts[size_t(aOrder[nStart])];
        size_t nEnd = nStart + 1;
        bool bSame = true;
        while (nEnd < n && aKeys[size_t(aOrder[nEnd])] == nKey) {
            bSame = bSame && iaTexts[size_t(aOrder[nEnd])] == sFirst;
            ++nEnd;
        }
        if (!bSame)
            std::stable_sort(aOrder.begin() + long(nStart), aOrder.begin() + long(nEnd), [&](int32_t a, int32_t b) {
                return JsText::compareUtf16(iaTexts[size_t(a)], iaTexts[size_t(b)]) < 0;
            });
        nStart = nEnd;
    }
    return aOrder;
}

std::vector<int32_t> CallViews::sortBy(const CallIndex::Column& irColumn) const
{
    const CallIndex& x = *mpIndex;
    x.awaitTexts();
    const size_t n = size_t(x.count());
    const std::vector<uint32_t>& aCells = irColumn.aCells;
    // Numbers with missing, null and "" first; otherwise every value as text.
    bool bNumeric = true;
    for (size_t i = 0; i < n && bNumeric; ++i) {
        const uint32_t c = aCells[i];
        bNumeric = c == 0 || (c & CallIndex::cnKindMask) == CallIndex::cnNumber
                   || ((c & CallIndex::cnKindMask) == CallIndex::cnText && (c & 0xFFFFu) == 0);
    }
    if (bNumeric) {
        std::vector<double> aValues(n, -INFINITY);
        for (size_t i = 0; i < n; ++i)
            if ((aCells[i] & CallIndex::cnKindMask) == CallIndex::cnNumber)
                aValues[i] = CallIndex::cellNumber(irColumn, aCells[i]);
        return numberOrder(aValues);
    }
    // Numbers among texts are compared as the text String() makes of them.
    std::string sNumbers;
    std::vector<size_t> aNumberAt(n, SIZE_MAX);
    for (size_t i = 0; i < n; ++i)
        if ((aCells[i] & CallIndex::cnKindMask) == CallIndex::cnNumber) {
            aNumberAt[i] = sNumbers.size();
            JsText::appendNumber(CallIndex::cellNumber(irColumn, aCells[i]), sNumbers);
            sNumbers += '\0';
        }
    std::vector<std::string_view> aTexts(n);
    for (size_t i = 0; i < n; ++i) {
        if (aNumberAt[i] != SIZE_MAX)
            aTexts[i] = std::string_view(sNumbers.data() + aNumberAt[i]);
        else if (aCells[i] != 0)
            aTexts[i] = x.cellText(irColumn, int(i));
    }
    return sortTexts(aTexts);
}

std::shared_ptr<const std::vector<int32_t>> CallViews::order(const QString& isColumn,
                                                             const std::vector<std::string>& iaKindLabels)
{
    QString sCacheKey = isColumn;
    if (isColumn == QLatin1String("direction"))
        for (const std::string& s : iaKindLabels)
            sCacheKey += QChar(0) + QString::fromStdString(s);
    const auto it = maOrders.find(sCacheKey);
    if (it != maOrders.end())
        return it->second;

    const CallIndex& x = *mpIndex;
    const size_t n = size_t(x.count());
    std::vector<int32_t> aOrder;
    if (isColumn == QLatin1String("__status")) {
        std::vector<uint64_t> aKeys(n);
        for (size_t i = 0; i < n; ++i) {
            const uint8_t f = x.flags(int(i));
            aKeys[i] = ((f & CallIndex::cnRecording) ? 2 : 0) + ((f & CallIndex::cnMarked) ? 1 : 0);
        }
        aOrder = radixOrder(aKeys);
    } else if (isColumn == QLatin1String("__notes")) {
        std::vector<uint64_t> aKeys(n, 0);
        if (mbNotesCounted)
            for (size_t i = 0; i < n; ++i)
                aKeys[i] = maNoteCounts[i];
        aOrder = radixOrder(aKeys);
    } else if (isColumn == QLatin1String("time_start")) {
        aOrder = startOrder(x);
    } else if (isColumn == QLatin1String("direction")) {
        // Few kinds: ranked by their labels, then the calls by rank.
        const size_t nKinds = iaKindLabels.size();
        std::vector<int32_t> aKinds(nKinds);
        std::iota(aKinds.begin(), aKinds.end(), 0);
        std::stable_sort(aKinds.begin(), aKinds.end(), [&](int32_t a, int32_t b) {
            return JsText::compareUtf16(iaKindLabels[size_t(a)], iaKindLabels[size_t(b)]) < 0;
        });
        std::vector<uint64_t> aRank(nKinds, 0);
        for (size_t k = 1; k < nKinds; ++k)
            aRank[size_t(aKinds[k])] = iaKindLabels[size_t(aKinds[k])] == iaKindLabels[size_t(aKinds[k - 1])]
                                           ? aRank[size_t(aKinds[k - 1])] : k;
        std::vector<uint64_t> aKeys(n);
        for (size_t i = 0; i < n; ++i)
            aKeys[i] = aRank[x.directionKind(int(i))];
        aOrder = radixOrder(aKeys);
    } else {
        const int nColumn = x.column(isColumn.toStdString());
        aOrder = nColumn < 0 ? identity(n) : sortBy(x.columns()[size_t(nColumn)]);
    }
    auto pOrder = std::make_shared<const std::vector<int32_t>>(std::move(aOrder));
    maOrders[sCacheKey] = pOrder;
    return pOrder;
}

void CallViews::forgetOrders()
{
    maOrders.clear();
}
