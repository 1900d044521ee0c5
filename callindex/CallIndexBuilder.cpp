// The reading side of the builder: the script's frame, the calls and their
// members, checked as strictly as the page's JSON reader checks them.
#include "CallIndexBuilder.h"

#include <algorithm>
#include <cstring>

namespace {

// Columns and the depth of nested values are bounded: far beyond real
// packages, and a hostile script cannot make the index grow per call and key.
constexpr int cnMaxColumns = 256;
// How far past the place it fails at a read may have looked: a failure
// further from the end of what has arrived is one with the whole script.
constexpr size_t cnLookAhead = 64;

} // namespace

CallIndexBuilder::CallIndexBuilder(CallIndex& irIndex, size_t inStart, size_t inStopAt,
                                   const std::atomic<bool>* ipCancel, const CallIndex::Arrival* ipArrival,
                                   Part iePart)
    : mrIndex(irIndex),
      maCursor(irIndex.maScript.constData(),
               irIndex.maScript.constData() + (ipArrival ? 0 : irIndex.maScript.size()), inStart),
      mnStart(inStart), mnStopAt(inStopAt), mpCancel(ipCancel), mpArrival(ipArrival), mePart(iePart),
      mnHave(ipArrival ? 0 : size_t(irIndex.maScript.size())), mbComplete(ipArrival == nullptr)
{
    // The columns a reading before found.
    for (const CallIndex::Column& aColumn : irIndex.maColumns)
        addColumnState(aColumn.sKey);
}

bool CallIndexBuilder::runTexts()
{
    const size_t n = mrIndex.maBegin.size();
    // Room the search text rarely outgrows; pages never written are never
    // resident, so the room costs nothing.
    mrIndex.msText.reserve(size_t(mrIndex.maScript.size()));
    reserveTexts(n);
    for (size_t i = 0; i < n; ++i) {
        if (mpCancel && (i & 1023) == 0 && mpCancel->load(std::memory_order_relaxed))
            return false;
        maCursor.restart(size_t(mrIndex.maBegin[i]));
        if (!readCall(int(i)))
            return false;
    }
    finish();
    return true;
}

bool CallIndexBuilder::run(QString& irsWhy)
{
    bool bOk = false;
    if (mnStart != 0) {
        bOk = readElements();
    } else {
        bool bEmpty = false;
        while (!(bOk = readScript(bEmpty)) && retry(0)) {
        }
        bOk = bOk && (bEmpty ? readEnd() : readElements());
    }
    if (!bOk)
        irsWhy = maCursor.msError.isEmpty() ? QStringLiteral("not a plain call list") : maCursor.msError;
    return bOk;
}

bool CallIndexBuilder::arrive(size_t inWant)
{
    bool bComplete = false;
    const qint64 nHave = (*mpArrival)(qint64(std::min<size_t>(inWant, size_t(mrIndex.maScript.size()))), bComplete);
    if (nHave < 0 || size_t(nHave) < mnHave || nHave > mrIndex.maScript.size()) {
        mbUnreadable = true;
        maCursor.restart(maCursor.offset());
        return maCursor.fail("the script could not be read");
    }
    mnHave = size_t(nHave);
    mbComplete = bComplete;
    maCursor.setEnd(mnHave);
    return true;
}

bool CallIndexBuilder::retry(size_t inFrom)
{
    if (mbComplete || mbUnreadable || maCursor.offset() + cnLookAhead < mnHave)
        return false;
    // The text from inFrom at least doubles first: a long call is not read
    // again for every piece.
    if (!arrive(mnHave + std::max<size_t>(mnHave - inFrom, cnLookAhead)))
        return false;
    maCursor.restart(inFrom);
    return true;
}

bool CallIndexBuilder::skipBlanksAhead()
{
    JsonCursor& c = maCursor;
    c.skipBlanks();
    while (c.atEnd() && !mbComplete) {
        if (!arrive(mnHave + cnLookAhead))
            return false;
        c.skipBlanks();
    }
    return true;
}

// Up to the array's first element; irbEmpty when the array ends there.
bool CallIndexBuilder::readScript(bool& irbEmpty)
{
    JsonCursor& c = maCursor;
    c.takeWord("\xEF\xBB\xBF");
    c.skipBlanks();
    if (!c.takeWord("var"))
        return c.fail("no \"var gCalls=\"");
    const char* pBlank = c.p;
    c.skipBlanks();
    if (c.p == pBlank || !c.takeWord("gCalls"))
        return c.fail("no \"var gCalls=\"");
    c.skipBlanks();
    if (!c.take('='))
        return c.fail("no \"var gCalls=\"");
    c.skipBlanks();
    if (!c.take('['))
        return c.fail("not an array");
    if (!skipBlanksAhead())
        return false;
    irbEmpty = c.take(']');
    return true;
}

// Elements from here to the array's end, and what may follow it.
bool CallIndexBuilder::readElements()
{
    JsonCursor& c = maCursor;
    for (;;) {
        if (c.offset() == mnStopAt) {
            mbStopped = true;
            finish();
            return true;
        }
        if (mpCancel && (mrIndex.maBegin.size() & 1023) == 0 && mpCancel->load(std::memory_order_relaxed))
            return c.fail("cancelled");
        const size_t nCallAt = c.offset();
        bool bRead = false;
        while (!(bRead = readCall(int(mrIndex.maBegin.size()))) && retry(nCallAt)) {
        }
        if (!bRead)
            return false;
        if (mrIndex.maBegin.size() == 256)
            reserveForAll();
        if (!skipBlanksAhead())
            return false;
        if (c.take(']'))
            break;
        if (!c.take(','))
            return c.fail("',' or ']' expected");
        if (!skipBlanksAhead())
            return false;
    }
    return readEnd();
}

bool CallIndexBuilder::readEnd()
{
    JsonCursor& c = maCursor;
    while (!mbComplete)
        if (!arrive(size_t(mrIndex.maScript.size())))
            return false;
    c.skipBlanks();
    c.take(';');
    c.skipBlanks();
    if (!c.atEnd())
        return c.fail("text after the array");
    finish();
    return true;
}

int CallIndexBuilder::columnFor(int inPosition)
{
    auto& aColumns = mrIndex.maColumns;
    if (inPosition < int(maGuess.size()) && aColumns[size_t(maGuess[size_t(inPosition)])].sKey == msKey)
        return maGuess[size_t(inPosition)];
    int nColumn = 0;
    const auto it = mrIndex.maColumnOf.find(msKey);
    if (it != mrIndex.maColumnOf.end()) {
        nColumn = it->second;
    } else {
        if (int(aColumns.size()) >= cnMaxColumns)
            return -1;
        nColumn = int(aColumns.size());
        aColumns.push_back(CallIndex::Column {msKey, {}, {}, {}});
        if (mePart != Part::Facts)
            aColumns.back().aCells.reserve(mnExpected);
        mrIndex.maColumnOf.emplace(msKey, nColumn);
        addColumnState(msKey);
    }
    if (inPosition >= int(maGuess.size()))
        maGuess.resize(size_t(inPosition) + 1, 0);
    maGuess[size_t(inPosition)] = nColumn;
    return nColumn;
}

int CallIndexBuilder::takeGuessedKey(int inPosition)
{
    // Calls mostly repeat the keys of the call before, in its order.
    if (size_t(inPosition) >= maGuess.size())
        return -1;
    const int nGuess = maGuess[size_t(inPosition)];
    if (!maPlainKey[size_t(nGuess)])
        return -1;
    JsonCursor& c = maCursor;
    const std::string& sKey = mrIndex.maColumns[size_t(nGuess)].sKey;
    const size_t n = sKey.size();
    if (size_t(c.end() - c.p) < n + 2 || c.p[n + 1] != '"' || std::memcmp(c.p + 1, sKey.data(), n) != 0)
        return -1;
    c.p += n + 2;
    return nGuess;
}

void CallIndexBuilder::addColumnState(const std::string& isKey)
{
    // A key whose text in the script is the key itself.
    maPlainKey.push_back(std::none_of(isKey.begin(), isKey.end(), [](char c) {
        return c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20;
    }));
    Role eRole = Role::Other;
    if (isKey == "direction")
        eRole = Role::Direction;
    else if (isKey == "flags")
        eRole = Role::Flags;
    else if (isKey == "voice")
        eRole = Role::Voice;
    else if (isKey == "time_start")
        eRole = Role::TimeStart;
    else if (isKey == "id")
        eRole = Role::Id;
    maRoles.push_back(eRole);
    maDicts.emplace_back();
    maSeenIn.push_back(-1);
    maSeenAt.push_back(0);
}

bool CallIndexBuilder::readCall(int inCall)
{
    JsonCursor& c = maCursor;
    if (c.atEnd() || *c.p != '{')
        return c.fail("an element that is not an object");
    const int nReading = ++mnReading;
    const size_t nBegin = c.offset();
    ++c.p;
    maMembers.clear();
    msArena.clear();
    c.skipBlanks();
    if (!c.take('}')) {
        for (int nPosition = 0;; ++nPosition) {
            if (c.atEnd() || *c.p != '"')
                return c.fail("key expected");
            Member aMember;
            aMember.nColumn = takeGuessedKey(nPosition);
            if (aMember.nColumn < 0) {
                msKey.clear();
                if (!c.readString(msKey))
                    return false;
                if (msKey == "__proto__")
                    return c.fail("a __proto__ key");
            }
            c.skipBlanks();
            if (!c.take(':'))
                return c.fail("':' expected");
            c.skipBlanks();
            if (aMember.nColumn < 0)
                aMember.nColumn = columnFor(nPosition);
            if (aMember.nColumn < 0)
                return c.fail("too many keys");
            if (!readMemberValue(aMember))
                return false;
            // A repeated key keeps its last value, as with JSON.parse.
            const size_t nColumn = size_t(aMember.nColumn);
            if (maSeenIn[nColumn] == nReading)
                maMembers[size_t(maSeenAt[nColumn])].bDropped = true;
            maSeenIn[nColumn] = nReading;
            maSeenAt[nColumn] = int(maMembers.size());
            maMembers.push_back(aMember);
            c.skipBlanks();
            if (c.take('}'))
                break;
            if (!c.take(','))
                return c.fail("',' or '}' expected");
            c.skipBlanks();
        }
    }
    const size_t nEnd = c.offset();
    if (nEnd - nBegin > 0xFFFFFFFFu)
        return c.fail("call too long");
    if (mePart != Part::Texts) {
        mrIndex.maBegin.push_back(nBegin);
        mrIndex.maLength.push_back(uint32_t(nEnd - nBegin));
    }
    addCall(inCall);
    return true;
}

bool CallIndexBuilder::readMemberValue(Member& irMember)
{
    JsonCursor& c = maCursor;
    if (c.atEnd())
        return c.fail("value expected");
    irMember.nTokenAt = c.offset();
    switch (*c.p) {
    case '"': {
        irMember.eType = Type::String;
        // Plain ASCII without escapes, the usual text, is used where it lies.
        const char* q = c.p + 1;
        const char* pEnd = c.end();
        while (q < pEnd && *q != '"' && *q != '\\' && static_cast<unsigned char>(*q) >= 0x20
               && static_cast<unsigned char>(*q) < 0x80)
            ++q;
        if (q < pEnd && *q == '"') {
            irMember.bPlain = true;
            irMember.nTextAt = irMember.nTokenAt + 1;
            irMember.nTextLength = size_t(q - c.p - 1);
            c.p = q + 1;
            break;
        }
        irMember.nTextAt = msArena.size();
        if (!c.readString(msArena))
            return false;
        irMember.nTextLength = msArena.size() - irMember.nTextAt;
        break;
    }
    case '{':
        irMember.eType = Type::Object;
        if (!c.skipValue(1))
            return false;
        break;
    case '[':
        irMember.eType = Type::Array;
        if (!c.skipValue(1))
            return false;
        break;
    case 't':
        irMember.eType = Type::True;
        if (!c.takeWord("true"))
            return c.fail("invalid literal");
        break;
    case 'f':
        irMember.eType = Type::False;
        if (!c.takeWord("false"))
            return c.fail("invalid literal");
        break;
    case 'n':
        irMember.eType = Type::Null;
        if (!c.takeWord("null"))
            return c.fail("invalid literal");
        break;
    default:
        irMember.eType = Type::Number;
        if (!c.readNumber(irMember.fNumber))
            return false;
    }
    irMember.nTokenLength = c.offset() - irMember.nTokenAt;
    return true;
}

std::string CallIndexBuilder::jsString(const Member& irMember) const
{
    std::string s;
    const std::string_view aToken = token(irMember);
    JsonCursor aCursor(aToken.data(), aToken.data() + aToken.size());
    aCursor.appendJsString(s);
    return s;
}
