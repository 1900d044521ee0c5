// What a read call adds to the index: its search text, a cell per field,
// and the texts a column holds once.
#include "CallIndexBuilder.h"
#include "JsText.h"

// One value's text in the call's search text; its cell.
uint32_t CallIndexBuilder::addText(int inCall, CallIndex::Column& irColumn, std::string_view isText, uint64_t inCallStart,
                 bool ibAscii)
{
    std::string& sText = mrIndex.msText;
    const size_t nAt = sText.size();
    if (ibAscii) {
        // One pass: lowercase, and whether digits and separators occur.
        sText.resize(nAt + isText.size());
        char* pOut = &sText[nAt];
        bool bDigit = false;
        bool bSeparator = false;
        for (size_t k = 0; k < isText.size(); ++k) {
            const auto c = static_cast<unsigned char>(isText[k]);
            bDigit |= c - '0' < 10u;
            bSeparator |= c == ' ' || c == '-' || c == '.' || c == '/' || c == '(' || c == ')' || c - 9u < 5u;
            pOut[k] = char(c - 'A' < 26u ? c + 32 : c);
        }
        if (bDigit && bSeparator) {
            for (size_t k = 0; k < isText.size(); ++k) {
                const auto c = static_cast<unsigned char>(pOut[k]);
                if (!(c == ' ' || c == '-' || c == '.' || c == '/' || c == '(' || c == ')' || c - 9u < 5u))
                    msSqueezed += char(c);
            }
            msSqueezed += '\1';
        }
    } else {
        JsText::appendLower(isText, sText);
        if (JsText::hasDigit(isText) && JsText::appendLowerSqueezed(isText, msSqueezed))
            msSqueezed += '\1';
    }
    const size_t nLength = sText.size() - nAt;
    sText += '\1';
    const uint64_t nOffset = nAt - inCallStart;
    if (nOffset < (1u << 14) && nLength < 0xFFFFu)
        return CallIndex::cnText | uint32_t(nOffset << 16) | uint32_t(nLength);
    irColumn.aLongTexts[uint32_t(inCall)] = sText.substr(nAt, nLength);
    return CallIndex::cnLongText;
}

void CallIndexBuilder::addCall(int inCall)
{
    if (mePart != Part::Facts)
        addTexts(inCall);
    if (mePart == Part::Texts)
        return;
    const Member* pDirection = nullptr;
    const Member* pFlags = nullptr;
    const Member* pVoice = nullptr;
    const Member* pStart = nullptr;
    const Member* pId = nullptr;
    for (const Member& m : maMembers) {
        if (m.bDropped)
            continue;
        switch (maRoles[size_t(m.nColumn)]) {
        case Role::Direction: pDirection = &m; break;
        case Role::Flags: pFlags = &m; break;
        case Role::Voice: pVoice = &m; break;
        case Role::TimeStart: pStart = &m; break;
        case Role::Id: pId = &m; break;
        case Role::Other: break;
        }
    }
    addFlags(pFlags, pVoice);
    addDirection(pDirection);
    addStart(inCall, pStart, pId);
}

// The call's search text and its cells.
void CallIndexBuilder::addTexts(int inCall)
{
    std::string& sText = mrIndex.msText;
    const uint64_t nStart = sText.size();
    mrIndex.maTextStart.push_back(nStart);
    msSqueezed.clear();
    for (const Member& m : maMembers) {
        if (m.bDropped)
            continue;
        CallIndex::Column& aColumn = mrIndex.maColumns[size_t(m.nColumn)];
        uint32_t nCell = 0;
        switch (m.eType) {
        case Type::Null:
            break;
        case Type::Number: {
            // Small whole numbers live in the cell itself (-0 reads as 0 everywhere the page looks).
            const double f = m.fNumber;
            if (f >= 0 && f < double(CallIndex::cnInlineNumber) && f == double(uint32_t(f))) {
                nCell = CallIndex::cnNumber | CallIndex::cnInlineNumber | uint32_t(f);
            } else {
                nCell = CallIndex::cnNumber | uint32_t(aColumn.aNumbers.size());
                aColumn.aNumbers.push_back(f);
            }
            msNumber.clear();
            JsText::appendNumber(f, msNumber);
            addText(inCall, aColumn, msNumber, nStart, true);
            break;
        }
        case Type::String:
            nCell = m.bPlain ? dictCell(m.nColumn, stringOf(m)) : 0;
            if (!nCell)
                nCell = addText(inCall, aColumn, stringOf(m), nStart, m.bPlain);
            break;
        case Type::True:
            nCell = addText(inCall, aColumn, "true", nStart, true);
            break;
        case Type::False:
            nCell = addText(inCall, aColumn, "false", nStart, true);
            break;
        case Type::Object:
            nCell = CallIndex::cnObject;
            break;
        case Type::Array: {
            std::string sLower;
            JsText::appendLower(jsString(m), sLower);
            aColumn.aLongTexts[uint32_t(inCall)] = sLower;
            nCell = CallIndex::cnLongText;
            break;
        }
        }
        if (aColumn.aCells.size() < size_t(inCall))
            aColumn.aCells.resize(size_t(inCall), 0);
        aColumn.aCells.push_back(nCell);
    }
    sText += '\2';
    sText += msSqueezed;
    sText += '\n';
    if (size_t(inCall) + 1 == cnTrialCalls)
        chooseDicts();
}

// A plain text of a column in dict mode: its number there (0 when it
// goes into the search text instead).
uint32_t CallIndexBuilder::dictCell(int inColumn, std::string_view isText)
{
    ColumnDict& aDict = maDicts[size_t(inColumn)];
    if (aDict.eMode == DictMode::Trying) {
        if (aDict.aIdOf.size() <= cnTrialTexts)
            aDict.aIdOf.emplace(isText, 0);
        return 0;
    }
    if (aDict.eMode != DictMode::Dict || isText.empty())
        return 0;
    if (aDict.nLast && isText == aDict.sLast)
        return aDict.nLast;
    const auto it = aDict.aIdOf.find(isText);
    if (it != aDict.aIdOf.end()) {
        aDict.sLast = isText;
        aDict.nLast = CallIndex::cnDict | it->second;
        return aDict.nLast;
    }
    CallIndex::Column& aColumn = mrIndex.maColumns[size_t(inColumn)];
    if (aColumn.aDictPlain.size() >= cnMaxDict)
        return 0;
    const uint32_t nId = uint32_t(aColumn.aDictPlain.size());
    std::string sPlain;
    JsText::appendLower(isText, sPlain);
    std::string sSearch = sPlain + '\1';
    if (JsText::hasDigit(isText) && JsText::appendLowerSqueezed(isText, sSearch))
        sSearch += '\1';
    aColumn.aDictPlain.push_back(std::move(sPlain));
    aColumn.aDictSearch.push_back(std::move(sSearch));
    aDict.aIdOf.emplace(isText, nId);
    return CallIndex::cnDict | nId;
}

// Columns whose first calls hold a few texts keep their texts once.
void CallIndexBuilder::chooseDicts()
{
    for (ColumnDict& aDict : maDicts) {
        const bool bFew = aDict.eMode == DictMode::Trying && !aDict.aIdOf.empty()
                          && aDict.aIdOf.size() <= cnTrialTexts;
        aDict.eMode = bFew ? DictMode::Dict : DictMode::Inline;
        aDict.aIdOf.clear();
    }
}

// Room for all calls, guessed from the first ones: growing a million
// cells by doubling copies and touches each of them twice more.
void CallIndexBuilder::reserveForAll()
{
    const size_t nRead = maCursor.offset() - mnStart;
    const size_t nLeft = size_t(mrIndex.maScript.size()) - maCursor.offset();
    mnExpected = mrIndex.maBegin.size() + size_t(double(nLeft) / double(nRead) * 256 * 1.05) + 16;
    CallIndex& x = mrIndex;
    x.maBegin.reserve(mnExpected);
    x.maLength.reserve(mnExpected);
    x.maFlags.reserve(mnExpected);
    x.maDirection.reserve(mnExpected);
    x.maTimeKey.reserve(mnExpected);
    x.maDay.reserve(mnExpected);
    x.maNoteKey.reserve(mnExpected);
    if (mePart != Part::Facts)
        reserveTexts(mnExpected);
}

void CallIndexBuilder::reserveTexts(size_t inCalls)
{
    mnExpected = inCalls;
    mrIndex.maTextStart.reserve(inCalls + 1);
    for (CallIndex::Column& aColumn : mrIndex.maColumns)
        aColumn.aCells.reserve(inCalls);
}

void CallIndexBuilder::finish()
{
    if (mePart == Part::Facts)
        return;
    const size_t n = mrIndex.maBegin.size();
    mrIndex.maTextStart.push_back(mrIndex.msText.size());
    for (CallIndex::Column& aColumn : mrIndex.maColumns) {
        aColumn.aCells.resize(n, 0);
        aColumn.aCells.shrink_to_fit();
        aColumn.aNumbers.shrink_to_fit();
    }
}
