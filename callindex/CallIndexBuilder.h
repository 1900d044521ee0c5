#pragma once
// Reads the call script as the page's JSON reader would and fills the
// index in the same pass. Anything the page's reader would not take as
// plain JSON (and would run as a script instead) is refused. The script may
// arrive a piece at a time: what is read stays where it is, and a call cut
// off by the end of what has arrived is read again with more.
#include "CallIndex.h"
#include "JsonCursor.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CallIndexBuilder
{
public:
    // Reads the whole script, or from inStart (an element's start) to its
    // end; stops before an element that starts at inStopAt. With ipArrival
    // the script's bytes arrive while it reads (none has yet).
    // What a reading adds: all, all but the search texts and text cells,
    // or those alone (for calls the index has read already).
    enum class Part : uint8_t { All, Facts, Texts };
    CallIndexBuilder(CallIndex& irIndex, size_t inStart = 0, size_t inStopAt = SIZE_MAX,
                     const std::atomic<bool>* ipCancel = nullptr, const CallIndex::Arrival* ipArrival = nullptr,
                     Part iePart = Part::All);

    bool run(QString& irsWhy);
    // The texts part: reads the index's calls again where they lie.
    bool runTexts();
    bool stopped() const { return mbStopped; }
    // The bytes that arrived in all (the script's size once it is read).
    size_t arrived() const { return mnHave; }

    // Appends the calls of irTail (read from where irHead stopped) to irHead.
    static void append(CallIndex& irHead, CallIndex& irTail);

private:
    enum class Type : uint8_t { Null, Number, String, True, False, Object, Array };
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
    struct RecentDirection
    {
        bool bPresent;
        std::string sToken;
        uint32_t nKind;
    };
    static constexpr size_t cnTrialCalls = 8192;
    static constexpr size_t cnTrialTexts = 2048;
    static constexpr size_t cnMaxDict = 4096;
    static constexpr int cnMaxDirections = 64;

    // Reading (CallIndexBuilder.cpp).
    bool readScript(bool& irbEmpty);
    bool readElements();
    bool readEnd();
    bool readCall(int inCall);
    bool readMemberValue(Member& irMember);
    int columnFor(int inPosition);
    // The column of the key at the cursor when it is, as written, the key
    // the call before had at inPosition (the cursor then behind it); -1.
    int takeGuessedKey(int inPosition);
    void addColumnState(const std::string& isKey);
    // What arrives: waits for at least inWant bytes (or the whole script).
    bool arrive(size_t inWant);
    // After a read from inFrom failed: true when more of the script may
    // change that; the cursor is then back at inFrom with more to read.
    bool retry(size_t inFrom);
    // Blanks, also across what has not arrived yet.
    bool skipBlanksAhead();
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
    std::string jsString(const Member& irMember) const;

    // What a call adds to the index (CallRecord.cpp).
    void addCall(int inCall);
    void addTexts(int inCall);
    uint32_t addText(int inCall, CallIndex::Column& irColumn, std::string_view isText, uint64_t inCallStart,
                     bool ibAscii = false);
    uint32_t dictCell(int inColumn, std::string_view isText);
    void chooseDicts();
    void reserveForAll();
    void reserveTexts(size_t inCalls);
    void finish();

    // The fields the filters and the first view read (CallFacts.cpp).
    void addFlags(const Member* ipFlags, const Member* ipVoice);
    void addDirection(const Member* ipDirection);
    void rememberDirection(const std::string& isText, char icType, const Member& irMember);
    void addStart(int inCall, const Member* ipStart, const Member* ipId);

    CallIndex& mrIndex;
    JsonCursor maCursor;
    const size_t mnStart;
    const size_t mnStopAt;
    const std::atomic<bool>* mpCancel;
    const CallIndex::Arrival* mpArrival;
    const Part mePart;
    size_t mnHave = 0;
    bool mbComplete = true;
    bool mbUnreadable = false;
    bool mbStopped = false;
    size_t mnExpected = 0;
    // Each reading of a call (a call read again counts anew).
    int mnReading = 0;
    std::vector<ColumnDict> maDicts;
    std::vector<Member> maMembers;
    std::string msArena;
    std::string msKey;
    std::string msSqueezed;
    std::string msNumber;
    std::vector<int> maGuess;
    std::vector<Role> maRoles;
    std::vector<uint8_t> maPlainKey; // per column
    std::vector<int> maSeenIn; // per column: the reading that last set it
    std::vector<int> maSeenAt; // per column: its member there
    std::unordered_map<std::string, uint32_t> maKindOf;
    std::unordered_map<std::string, int> maDirectionSeen;
    std::vector<RecentDirection> maRecentDirections;
};
