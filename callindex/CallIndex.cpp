#include "CallIndex.h"

#include "JsText.h"
#include "JsonCursor.h"

#include <cmath>

int CallIndex::column(std::string_view isKey) const
{
    const auto it = maColumnOf.find(std::string(isKey));
    return it == maColumnOf.end() ? -1 : it->second;
}

std::string_view CallIndex::cellText(const Column& irColumn, int inCall) const
{
    const uint32_t nCell = irColumn.aCells[size_t(inCall)];
    if ((nCell & cnKindMask) == cnText)
        return {msText.data() + maTextStart[size_t(inCall)] + ((nCell >> 16) & 0x3FFFu), nCell & 0xFFFFu};
    if (isDict(nCell))
        return irColumn.aDictPlain[nCell & ~cnDict];
    if (nCell == cnObject)
        return "[object object]";
    if (nCell == cnLongText) {
        const auto it = irColumn.aLongTexts.find(uint32_t(inCall));
        if (it != irColumn.aLongTexts.end())
            return it->second;
    }
    return {};
}

QString CallIndex::irregularDay(int inCall) const
{
    const auto it = maIrregularDays.find(uint32_t(inCall));
    return it == maIrregularDays.end() ? QString() : it->second;
}

std::string CallIndex::noteKeyText(bool ibNumber, std::string_view isId, std::string_view isTimeStart19)
{
    std::string s(1, ibNumber ? 'n' : 's');
    s += isId;
    s += '\0';
    s += isTimeStart19;
    return s;
}

namespace {

uint64_t hashOn(uint64_t n, std::string_view isText)
{
    for (const char c : isText) {
        n ^= static_cast<unsigned char>(c);
        n *= 1099511628211ull;
    }
    return n;
}

} // namespace

uint64_t CallIndex::noteKeyHash(const std::string& isKeyText)
{
    const uint64_t n = hashOn(14695981039346656037ull, isKeyText);
    return n ? n : 1;
}

uint64_t CallIndex::noteKeyHash(bool ibNumber, std::string_view isId, std::string_view isTimeStart19)
{
    // The hash of noteKeyText's text, without making it.
    uint64_t n = hashOn(14695981039346656037ull, ibNumber ? "n" : "s");
    n = hashOn(hashOn(hashOn(n, isId), std::string_view("\0", 1)), isTimeStart19);
    return n ? n : 1;
}

qint64 CallIndex::heldBytes() const
{
    awaitTexts();
    qint64 n = qint64(msText.capacity()) + qint64(maBegin.capacity()) * 8 + qint64(maLength.capacity()) * 4
               + qint64(maTextStart.capacity()) * 8 + qint64(maFlags.capacity())
               + qint64(maDirection.capacity()) * 4 + qint64(maTimeKey.capacity()) * 8
               + qint64(maDay.capacity()) * 4 + qint64(maNoteKey.capacity()) * 8;
    for (const Column& c : maColumns) {
        n += qint64(c.aCells.capacity()) * 4 + qint64(c.aNumbers.capacity()) * 8;
        for (const auto& aLong : c.aLongTexts)
            n += qint64(aLong.second.capacity()) + 32;
        for (size_t k = 0; k < c.aDictPlain.size(); ++k)
            n += qint64(c.aDictPlain[k].capacity() + c.aDictSearch[k].capacity()) + 64;
    }
    return n;
}

bool CallIndex::noteIdentity(int inCall, std::string& irsKey) const
{
    const std::string_view aText = callText(inCall);
    JsonCursor c(aText.data(), aText.data() + aText.size());
    ++c.p;
    std::string sKey, sId, sStart;
    int nId = 0; // 0 none, 1 number, 2 string
    bool bStart = false;
    c.skipBlanks();
    while (!c.atEnd() && *c.p == '"') {
        sKey.clear();
        c.readString(sKey);
        c.skipBlanks();
        c.take(':');
        c.skipBlanks();
        const bool bIsId = sKey == "id";
        const bool bIsStart = sKey == "time_start";
        if ((bIsId || bIsStart) && *c.p == '"') {
            std::string& s = bIsId ? sId : sStart;
            s.clear();
            c.readString(s);
            if (bIsId)
                nId = 2;
            else
                bStart = true;
        } else if (bIsId && (*c.p == '-' || (*c.p >= '0' && *c.p <= '9'))) {
            double f = 0;
            c.readNumber(f);
            sId.clear();
            nId = std::isfinite(f) ? 1 : 0;
            if (nId)
                JsText::appendNumber(f, sId);
        } else {
            if (bIsId)
                nId = 0;
            if (bIsStart)
                bStart = false;
            c.skipValue(1);
        }
        c.skipBlanks();
        c.take(',');
        c.skipBlanks();
    }
    if (nId == 0 || (nId == 2 && sId.empty()) || !bStart || sStart.empty())
        return false;
    std::string s19;
    irsKey = noteKeyText(nId == 1, sId, JsText::leadingUnits(sStart, 19, s19));
    return true;
}
