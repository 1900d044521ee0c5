#pragma once
// Number tokens of the call list turned straight into the text the reader
// and writer together make of them, without a variant in between.
#include <string>

namespace Json {

// Appends to irOut what reading the number token ipToken (the longest run of
// "0123456789+-.eE", starting with "-" or a digit) and writing it back
// gives: a double with 20 significant digits, an integer in decimal, or the
// token as a quoted string when it is neither. False, with nothing
// appended, when the value has no JSON form (a double out of range).
bool appendNumber(const char* ipToken, int inSize, std::string& irOut);

} // namespace Json
