// Reads the call script as the page's JSON reader would and fills the
// index in the same pass. Anything the page's reader would not take as
// plain JSON (and would run as a script instead) is refused.
#include "CallIndex.h"
#include "JsText.h"
#include "JsonCursor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

enum class Type : uint8_t { Null, Number, String, True, False, Object, Array };

// Columns and the depth of nested values are bounded: far beyond real
// packages, and a hostile script cannot make the index grow per call and key.
constexpr int cnMaxColumns = 256;
constexpr int cnMaxDirections = 64;

enum class Role : uint8_t { Other, Direction, Flags, Voice, TimeStart, Id };

struct Member
{
    int nColumn = 0;
    Type eType = Type::Null;
    bool bDropped = false;
    bool bPlain = false; // a string that is ASCII without escapes, at nTextAt in the script
    double fNumber = 0;
    size_t nTextAt = 0; // decoded string in the arena
    size_t nTextLength = 0;
    size_t nTokenAt = 0; // raw value in the script
    size_t nTokenLength = 0;
};


} // namespace

class CallIndexBuilder
{
public:
    // Reads the whole script, or from inStart (an element's start) to its
    // end; stops before an element that starts at inStopAt.
    CallIndexBuilder(CallIndex& irIndex, size_t inStart = 0, size_t inStopAt = SIZE_MAX,
                     const std::atomic<bool>* ipCancel = nullptr)
        : mrIndex(irIndex),
          maCursor(irIndex.maScript.constData(), irIndex.maScript.constData() + irIndex.maScript.size(), inStart),
          mnStart(inStart), mnStopAt(inStopAt), mpCancel(ipCancel)
    {
    }

    bool run(QString& irsWhy)
    {
        const bool bOk = mnStart == 0 ? readScript() : readElements();
        if (!bOk)
            irsWhy = maCursor.msError.isEmpty() ? QStringLiteral("not a plain call list") : maCursor.msError;
        return bOk;
    }
    bool stopped() const { return mbStopped; }

    // Appends the calls of irTail (read from where irHead stopped) to irHead.
    static void append(CallIndex& irHead, CallIndex& irTail);

private:
    CallIndex& mrIndex;
    JsonCursor maCursor;
    const size_t mnStart;
    const size_t mnStopAt;
    const std::atomic<bool>* mpCancel;
    bool mbStopped = false;
    size_t mnExpected = 0;
    // Per column: plain texts seen (while trying) or held once (dict mode).
    enum class DictMode : uint8_t { Trying, Dict, Inline };
    struct ColumnDict
    {
        DictMode eMode = DictMode::Trying;
        std::unordered_map<std::string_view, uint32_t> aIdOf;
        // The last text met, often met again next.
        std::string_view sLast;
        uint32_t nLast = 0;
    };
    std::vector<ColumnDict> maDicts;
    static constexpr size_t cnTrialCalls = 8192;
    static constexpr size_t cnTrialTexts = 2048;
    static constexpr size_t cnMaxDict = 4096;
    std::vector<Member> maMembers;
    std::string msArena;
    std::string msKey;
    std::string msSqueezed;
    std::string msScratch;
    std::string msNumber;
    std::vector<int> maGuess;
    std::vector<Role> maRoles;
    std::vector<int> maSeenIn;  // per column: the call that last set it
    std::vector<int> maSeenAt;  // per column: its member there
    std::unordered_map<std::string, uint32_t> maKindOf;
    std::unordered_map<std::string, int> maDirectionSeen;
    struct RecentDirection
    {
        bool bPresent;
        std::string sToken;
        uint32_t nKind;
    };
    std::vector<RecentDirection> maRecentDirections;

    bool readScript()
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
        c.skipBlanks();
        if (c.take(']'))
            return readEnd();
        return readElements();
    }

    // Elements from here to the array's end, and what may follow it.
    bool readElements()
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
            if (!readCall())
                return false;
            if (mrIndex.maBegin.size() == 256)
                reserveForAll();
            if (mrIndex.maBegin.size() == cnTrialCalls)
                chooseDicts();
            c.skipBlanks();
            if (c.take(']'))
                break;
            if (!c.take(','))
                return c.fail("',' or ']' expected");
            c.skipBlanks();
        }
        return readEnd();
    }

    // Columns whose first calls hold a few texts keep their texts once.
    void chooseDicts()
    {
        for (ColumnDict& aDict : maDicts) {
            const bool bFew = aDict.eMode == DictMode::Trying && !aDict.aIdOf.empty()
                              && aDict.aIdOf.size() <= cnTrialTexts;
            aDict.eMode = bFew ? DictMode::Dict : DictMode::Inline;
            aDict.aIdOf.clear();
        }
    }

    // A plain text of a column in dict mode: its number there (0 when it
    // goes into the search text instead).
    uint32_t dictCell(int inColumn, std::string_view isText)
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

    // Room for all calls, guessed from the first ones: growing a million
    // cells by doubling copies and touches each of them twice more.
    void reserveForAll()
    {
        const size_t nRead = maCursor.offset() - mnStart;
        const size_t nLeft = size_t(mrIndex.maScript.size()) - maCursor.offset();
        mnExpected = mrIndex.maBegin.size() + size_t(double(nLeft) / double(nRead) * 256 * 1.05) + 16;
        CallIndex& x = mrIndex;
        x.maBegin.reserve(mnExpected);
        x.maLength.reserve(mnExpected);
        x.maTextStart.reserve(mnExpected + 1);
        x.maFlags.reserve(mnExpected);
        x.maDirection.reserve(mnExpected);
        x.maTimeKey.reserve(mnExpected);
        x.maDay.reserve(mnExpected);
        x.maNoteKey.reserve(mnExpected);
        for (CallIndex::Column& aColumn : x.maColumns)
            aColumn.aCells.reserve(mnExpected);
    }

    bool readEnd()
    {
        JsonCursor& c = maCursor;
        c.skipBlanks();
        c.take(';');
        c.skipBlanks();
        if (!c.atEnd())
            return c.fail("text after the array");
        finish();
        return true;
    }

    int columnFor(int inPosition)
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
            aColumns.back().aCells.reserve(mnExpected);
            mrIndex.maColumnOf.emplace(msKey, nColumn);
            Role eRole = Role::Other;
            if (msKey == "direction")
                eRole = Role::Direction;
            else if (msKey == "flags")
                eRole = Role::Flags;
            else if (msKey == "voice")
                eRole = Role::Voice;
            else if (msKey == "time_start")
                eRole = Role::TimeStart;
            else if (msKey == "id")
                eRole = Role::Id;
            maRoles.push_back(eRole);
            maDicts.emplace_back();
            maSeenIn.push_back(-1);
            maSeenAt.push_back(0);
        }
        if (inPosition >= int(maGuess.size()))
            maGuess.resize(size_t(inPosition) + 1, 0);
        maGuess[size_t(inPosition)] = nColumn;
        return nColumn;
    }

    bool readCall()
    {
        JsonCursor& c = maCursor;
        if (c.atEnd() || *c.p != '{')
            return c.fail("an element that is not an object");
        const int nCall = int(mrIndex.maBegin.size());
        const size_t nBegin = c.offset();
        ++c.p;
        maMembers.clear();
        msArena.clear();
        c.skipBlanks();
        if (!c.take('}')) {
            for (int nPosition = 0;; ++nPosition) {
                if (c.atEnd() || *c.p != '"')
                    return c.fail("key expected");
                msKey.clear();
                if (!c.readString(msKey))
                    return false;
                if (msKey == "__proto__")
                    return c.fail("a __proto__ key");
                c.skipBlanks();
                if (!c.take(':'))
                    return c.fail("':' expected");
                c.skipBlanks();
                Member aMember;
                aMember.nColumn = columnFor(nPosition);
                if (aMember.nColumn < 0)
                    return c.fail("too many keys");
                if (!readMemberValue(aMember))
                    return false;
                // A repeated key keeps its last value, as with JSON.parse.
                const size_t nColumn = size_t(aMember.nColumn);
                if (maSeenIn[nColumn] == nCall)
                    maMembers[size_t(maSeenAt[nColumn])].bDropped = true;
                maSeenIn[nColumn] = nCall;
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
        mrIndex.maBegin.push_back(nBegin);
        mrIndex.maLength.push_back(uint32_t(nEnd - nBegin));
        addCall(nCall);
        return true;
    }

    bool readMemberValue(Member& irMember)
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
            const char* pEnd = mrIndex.maScript.constData() + mrIndex.maScript.size();
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

    std::string_view token(const Member& irMember) const
    {
        return {mrIndex.maScript.constData() + irMember.nTokenAt, irMember.nTokenLength};
    }

    std::string_view stringOf(const Member& irMember) const
    {
        return {(irMember.bPlain ? mrIndex.maScript.constData() : msArena.data()) + irMember.nTextAt,
                irMember.nTextLength};
    }

    // String(value) of a member.
    std::string jsString(const Member& irMember) const
    {
        std::string s;
        const std::string_view aToken = token(irMember);
        JsonCursor aCursor(aToken.data(), aToken.data() + aToken.size());
        aCursor.appendJsString(s);
        return s;
    }

    // One value's text in the call's search text; its cell.
    uint32_t addText(int inCall, CallIndex::Column& irColumn, std::string_view isText, uint64_t inCallStart,
                     bool ibAscii = false)
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

    void addCall(int inCall)
    {
        std::string& sText = mrIndex.msText;
        const uint64_t nStart = sText.size();
        mrIndex.maTextStart.push_back(nStart);
        msSqueezed.clear();
        const Member* pDirection = nullptr;
        const Member* pFlags = nullptr;
        const Member* pVoice = nullptr;
        const Member* pStart = nullptr;
        const Member* pId = nullptr;
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
            switch (maRoles[size_t(m.nColumn)]) {
            case Role::Direction: pDirection = &m; break;
            case Role::Flags: pFlags = &m; break;
            case Role::Voice: pVoice = &m; break;
            case Role::TimeStart: pStart = &m; break;
            case Role::Id: pId = &m; break;
            case Role::Other: break;
            }
        }
        sText += '\2';
        sText += msSqueezed;
        sText += '\n';

        // Recording: a truthy voice and flags (a number) with both bits.
        bool bVoice = false;
        if (pVoice) {
            switch (pVoice->eType) {
            case Type::String: bVoice = pVoice->nTextLength > 0; break;
            case Type::Number: bVoice = pVoice->fNumber != 0; break;
            case Type::True: case Type::Object: case Type::Array: bVoice = true; break;
            default: break;
            }
        }
        const bool bFlags = pFlags && pFlags->eType == Type::Number;
        const uint32_t nFlags = bFlags ? JsText::toUint32(pFlags->fNumber) : 0;
        uint8_t nCallFlags = 0;
        if (bVoice && (nFlags & 0x18u) == 0x18u)
            nCallFlags |= CallIndex::cnRecording;
        if (nFlags & 0x00400000u)
            nCallFlags |= CallIndex::cnMarked;
        mrIndex.maFlags.push_back(nCallFlags);

        addDirection(pDirection);
        addStart(inCall, pStart, pId);
    }

    void addDirection(const Member* ipDirection)
    {
        // Most calls repeat one of a few directions, written alike.
        const std::string_view aToken = ipDirection ? token(*ipDirection) : std::string_view();
        for (const RecentDirection& aRecent : maRecentDirections)
            if (aRecent.bPresent == (ipDirection != nullptr) && aRecent.sToken == aToken) {
                mrIndex.maDirection.push_back(aRecent.nKind);
                return;
            }
        std::string sKind;
        if (ipDirection && ipDirection->eType != Type::Null) {
            const std::string sText = jsString(*ipDirection);
            JsText::appendLower(sText, sKind);
            const char cKind = ipDirection->eType == Type::Object || ipDirection->eType == Type::Array
                                   ? 'j' : char('0' + int(ipDirection->eType));
            rememberDirection(cKind == 'j' ? std::string(token(*ipDirection)) : sText, cKind, *ipDirection);
        } else if (ipDirection) {
            rememberDirection("null", '0', *ipDirection);
        }
        if (sKind == "in" || sKind == "inbound" || sKind == "incoming" || sKind == "i")
            sKind = "in";
        else if (sKind == "out" || sKind == "outbound" || sKind == "outgoing" || sKind == "o")
            sKind = "out";
        else if (sKind == "internal" || sKind == "int")
            sKind = "internal";
        auto it = maKindOf.find(sKind);
        if (it == maKindOf.end()) {
            it = maKindOf.emplace(sKind, uint32_t(mrIndex.maKinds.size())).first;
            mrIndex.maKinds.push_back(sKind);
        }
        mrIndex.maDirection.push_back(it->second);
        if (maRecentDirections.size() < 16)
            maRecentDirections.push_back({ipDirection != nullptr, std::string(aToken), it->second});
    }

    void rememberDirection(const std::string& isText, char icType, const Member& irMember)
    {
        if (mrIndex.maDirections.size() >= cnMaxDirections)
            return;
        if (!maDirectionSeen.emplace(icType + isText, 0).second)
            return;
        mrIndex.maDirectionKeys.push_back(icType + isText);
        QVariant aValue;
        switch (irMember.eType) {
        case Type::Null: aValue = QVariant::fromValue(nullptr); break;
        case Type::Number: aValue = irMember.fNumber; break;
        case Type::String: aValue = QString::fromUtf8(isText.data(), int(isText.size())); break;
        case Type::True: aValue = true; break;
        case Type::False: aValue = false; break;
        default: {
            const std::string_view aToken = token(irMember);
            aValue = QJsonDocument::fromJson("[" + QByteArray(aToken.data(), int(aToken.size())) + "]")
                         .array().first().toVariant();
        }
        }
        mrIndex.maDirections.append(aValue);
    }

    void addStart(int inCall, const Member* ipStart, const Member* ipId)
    {
        double fKey = 0;
        int32_t nDay = -1;
        uint64_t nNoteKey = 0;
        if (ipStart && ipStart->eType == Type::String) {
            const std::string_view aText = stringOf(*ipStart);
            const double fSeconds = JsText::startSeconds(aText);
            if (std::isfinite(fSeconds))
                fKey = std::min(8.5e9, std::max(1.0, fSeconds + 4e9));
            std::string sDay;
            const std::string_view aDay = JsText::leadingUnits(aText, 10, sDay);
            if (!aDay.empty()) {
                nDay = -2;
                const char* d = aDay.data();
                auto digit = [&](int k) { return d[k] >= '0' && d[k] <= '9'; };
                if (aDay.size() == 10 && digit(0) && digit(1) && digit(2) && digit(3) && d[4] == '-' && digit(5)
                    && digit(6) && d[7] == '-' && digit(8) && digit(9))
                    nDay = ((d[0] - '0') * 1000 + (d[1] - '0') * 100 + (d[2] - '0') * 10 + (d[3] - '0')) * 10000
                           + ((d[5] - '0') * 10 + (d[6] - '0')) * 100 + (d[8] - '0') * 10 + (d[9] - '0');
                else
                    mrIndex.maIrregularDays.emplace(uint32_t(inCall),
                                                    QString::fromUtf8(aDay.data(), int(aDay.size())));
            }
            if (ipId && !aText.empty()) {
                std::string sId;
                bool bNumber = false;
                if (ipId->eType == Type::Number && std::isfinite(ipId->fNumber)) {
                    JsText::appendNumber(ipId->fNumber, sId);
                    bNumber = true;
                } else if (ipId->eType == Type::String && ipId->nTextLength > 0) {
                    sId = std::string(stringOf(*ipId));
                }
                std::string s19;
                if (bNumber || !sId.empty())
                    nNoteKey = CallIndex::noteKeyHash(bNumber, sId, JsText::leadingUnits(aText, 19, s19));
            }
        }
        mrIndex.maTimeKey.push_back(fKey);
        mrIndex.maDay.push_back(nDay);
        mrIndex.maNoteKey.push_back(nNoteKey);
    }

    void finish()
    {
        const size_t n = mrIndex.maBegin.size();
        mrIndex.maTextStart.push_back(mrIndex.msText.size());
        for (CallIndex::Column& aColumn : mrIndex.maColumns) {
            aColumn.aCells.resize(n, 0);
            aColumn.aCells.shrink_to_fit();
            aColumn.aNumbers.shrink_to_fit();
        }
    }
};

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
                                                  const std::atomic<bool>* ipCancel)
{
    auto pIndex = std::make_shared<CallIndex>();
    pIndex->maScript = iaScript;
    QString sWhy;
    // A large script is read by two threads, each from its own start; the
    // second reader's start holds when the first reaches it exactly.
    const size_t nMiddle = iaScript.size() >= inSplitSize ? guessMiddle(iaScript) : 0;
    // Room the search text rarely outgrows; pages never written are never
    // resident, so the room costs nothing.
    pIndex->msText.reserve(size_t(iaScript.size()));
    bool bOk = false;
    if (nMiddle == 0) {
        CallIndexBuilder aBuilder(*pIndex, 0, SIZE_MAX, ipCancel);
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
    return pIndex;
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
