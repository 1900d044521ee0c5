#pragma once
// Reads JSON values straight from UTF-8 text and writes each one at once in
// the JSON writer's format, with the reader's grammar and types, but without
// building variants: strings and numbers are converted from spans of the
// text into a reused output buffer. Objects are written with their keys
// sorted, a repeated key keeping its last value, as the variant map does.
#include <QtGlobal>

#include <string>
#include <vector>

namespace Json {

class Rewriter
{
public:
    enum class Token { None, ObjectOpen, ObjectClose, ArrayOpen, ArrayClose, Colon, Comma, String, Number, True, False, Null };

    // One member of an object being read: its key as it stands in the text
    // (only plain keys are ordered here, see mbNeedsVariant), its value's
    // text and the value as written, in the scratch buffer of its object.
    struct Member
    {
        const char* mpKey;
        int mnKeySize;
        int mnOrder;
        bool mbKeyEscaped; // holds a control character the writer escapes
        const char* mpValue;
        const char* mpValueEnd;
        size_t mnOutStart;
        size_t mnOutEnd;
        bool mbUnwritable;
    };

    Rewriter(const char* ipBegin, const char* ipEnd);

    Token peek();
    // Reads the value at the position (nested in inDepth containers) and
    // appends its written form to irOut; false when the text is malformed.
    bool value(std::string& irOut, int inDepth);
    // Reads the members of an object whose "{" was just passed, up to and
    // with its "}", appending them to maMembers and their written values to
    // irScratch. Values are nested in inDepth containers.
    bool readMembers(std::string& irScratch, int inDepth);
    // Sorts maMembers from inBase on by key and drops all but the last of a
    // repeated key; returns the new end.
    size_t sortMembers(size_t inBase);
    // The key of irMember written as a JSON string.
    static void appendKey(const Member& irMember, std::string& irOut);

    const char* mpPos;
    const char* mpEnd;
    std::vector<Member> maMembers;
    // Invalid UTF-8 inside a string: how it decodes is the variant reader's
    // business, so the caller must go that way.
    bool mbBadUtf8 = false;
    // A key with escapes or non-ASCII characters was read: its order among
    // the keys needs its decoded UTF-16 form.
    bool mbNeedsVariant = false;
    // Some value written since this was last cleared has no JSON form.
    bool mbUnwritable = false;

private:
    bool object(std::string& irOut, int inDepth);
    bool array(std::string& irOut, int inDepth);
    bool string(std::string& irOut);
    bool stringViaVariant(const char* ipStart, size_t inOutStart, std::string& irOut);
    bool key(Member& irMember);
    bool number(std::string& irOut);
    bool word(const char* ipWord, int inSize);

    std::vector<std::string> maScratch; // one per nesting depth, reused
    std::vector<quint32> maOrder;       // sorted members to keep, as indices
    std::vector<Member> maSorted;
    std::vector<Member> maLastKeys;     // the last record's members, in the order read
    std::vector<quint32> maLastOrder;   // and the order found for them
    bool mbPlainStrings = false;
};

} // namespace Json
