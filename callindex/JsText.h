#pragma once
// Values as the page's scripts turn them into text: String(value),
// toLowerCase(), the separators taken out of numbers, and the order of
// texts by UTF-16 units. The index holds UTF-8; these keep its answers the
// page's own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace JsText {

// String(number): the shortest text that reads back as the same number.
void appendNumber(double ifValue, std::string& irOut);
// toLowerCase() of the UTF-8 text, appended (a capital sigma ends a word as
// a final sigma, as in the page).
void appendLower(std::string_view isText, std::string& irOut);
// The text without the separators the page takes out of numbers
// ([\s\-().\/], blanks beyond ASCII included).
void appendWithoutSeparators(std::string_view isText, std::string& irOut);
// toLowerCase() of the text without its separators, appended; false, with
// nothing appended, when the text holds no separator.
bool appendLowerSqueezed(std::string_view isText, std::string& irOut);
// Holds one of 0-9.
bool hasDigit(std::string_view isText);

// Bytes of UTF-8 mapped so that comparing them byte by byte orders texts by
// their UTF-16 units (characters U+E000..U+FFFF come after those above
// U+FFFF there).
inline unsigned char utf16Rank(unsigned char icByte)
{
    if (icByte < 0xEE)
        return icByte;
    return icByte <= 0xEF ? static_cast<unsigned char>(icByte + 5) : static_cast<unsigned char>(icByte - 2);
}
// <0, 0 or >0 as the page's "<" compares the two texts.
int compareUtf16(std::string_view isA, std::string_view isB);

// The first inUnits UTF-16 units of a UTF-8 text, as UTF-8 (in irScratch
// when they are not a plain prefix of it).
std::string_view leadingUnits(std::string_view isText, int inUnits, std::string& irScratch);
// The page's reading of "yyyy-MM-dd hh:mm:ss" into seconds (NaN when it is
// not that), on UTF-16 units as the page reads them.
double startSeconds(std::string_view isText);

// ToUint32 of a number, as ">>> 0".
uint32_t toUint32(double ifValue);

} // namespace JsText
