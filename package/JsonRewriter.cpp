#include "JsonRewriter.h"

#include "Json.h"
#include "JsonNumber.h"

#include <QString>
#include <QtGlobal>
#include <QVariant>

#include <algorithm>
#include <cstring>

namespace {

// The reader's nesting bound: a value inside this many containers fails.
constexpr int kMaxDepth = 512;

// Bytes a string copies as they are: printable ASCII but the quote and the
// backslash.
struct PlainTable
{
    bool mbPlain[256];
    constexpr PlainTable()
        : mbPlain()
    {
        for (int c = 0x20; c < 0x80; ++c)
            mbPlain[c] = c != '"' && c != '\\';
    }
};
constexpr PlainTable kPlain;

// True when none of the eight bytes of inWord ends a plain run: no control
// character, quote, backslash or non-ASCII byte (the usual bit tricks for
// "has a byte below n" and "has a byte equal to c").
inline bool plainWord(quint64 inWord)
{
    constexpr quint64 kOnes = 0x0101010101010101ull;
    constexpr quint64 kHighs = 0x8080808080808080ull;
    const quint64 nQuote = inWord ^ (kOnes * '"');
    const quint64 nBackslash = inWord ^ (kOnes * '\\');
    const quint64 nStops = ((inWord - kOnes * 0x20) & ~inWord) | ((nQuote - kOnes) & ~nQuote)
        | ((nBackslash - kOnes) & ~nBackslash) | inWord;
    return (nStops & kHighs) == 0;
}

bool isNumberChar(unsigned char c)
{
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

int hexDigit(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Length of the well-formed UTF-8 sequence at ipText (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
int utf8Length(const unsigned char* ipText, const unsigned char* ipEnd)
{
    const unsigned char b = ipText[0];
    int nLength = 0;
    unsigned char nLow = 0x80;
    unsigned char nHigh = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        nLength = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        nLength = 3;
        if (b == 0xE0)
            nLow = 0xA0;
        else if (b == 0xED)
            nHigh = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        nLength = 4;
        if (b == 0xF0)
            nLow = 0x90;
        else if (b == 0xF4)
            nHigh = 0x8F;
    } else {
        return 0;
    }
    if (ipEnd - ipText < nLength || ipText[1] < nLow || ipText[1] > nHigh)
        return 0;
    for (int i = 2; i < nLength; ++i) {
        if ((ipText[i] & 0xC0) != 0x80)
            return 0;
    }
    return nLength;
}

// The writer's form of a character the reader has decoded.
void appendEscaped(unsigned char c, std::string& irOut)
{
    switch (c) {
    case '"': irOut += "\\\""; break;
    case '\\': irOut += "\\\\"; break;
    case '\b': irOut += "\\b"; break;
    case '\f': irOut += "\\f"; break;
    case '\n': irOut += "\\n"; break;
    case '\r': irOut += "\\r"; break;
    case '\t': irOut += "\\t"; break;
    default: irOut += char(c); break;
    }
}

void appendUnit(unsigned nUnit, std::string& irOut)
{
    if (nUnit < 0x80) {
        appendEscaped((unsigned char)nUnit, irOut);
    } else if (nUnit < 0x800) {
        irOut += char(0xC0 | (nUnit >> 6));
        irOut += char(0x80 | (nUnit & 0x3F));
    } else {
        irOut += char(0xE0 | (nUnit >> 12));
        irOut += char(0x80 | ((nUnit >> 6) & 0x3F));
        irOut += char(0x80 | (nUnit & 0x3F));
    }
}

// Plain keys are ASCII: byte order is the order of their UTF-16 forms.
inline int compareKeys(const Json::Rewriter::Member& irA, const Json::Rewriter::Member& irB)
{
    const int nCommon = std::min(irA.mnKeySize, irB.mnKeySize);
    for (int i = 0; i < nCommon; ++i) {
        if (irA.mpKey[i] != irB.mpKey[i])
            return (unsigned char)irA.mpKey[i] - (unsigned char)irB.mpKey[i];
    }
    return irA.mnKeySize - irB.mnKeySize;
}

} // namespace

namespace Json {

Rewriter::Rewriter(const char* ipBegin, const char* ipEnd)
    : mpPos(ipBegin)
    , mpEnd(ipEnd)
    , maScratch(kMaxDepth + 2)
{
}

Rewriter::Token Rewriter::peek()
{
    while (mpPos < mpEnd && (*mpPos == ' ' || *mpPos == '\t' || *mpPos == '\n' || *mpPos == '\r'))
        ++mpPos;
    if (mpPos >= mpEnd)
        return Token::None;
    const char c = *mpPos;
    switch (c) {
    case '{': return Token::ObjectOpen;
    case '}': return Token::ObjectClose;
    case '[': return Token::ArrayOpen;
    case ']': return Token::ArrayClose;
    case ':': return Token::Colon;
    case ',': return Token::Comma;
    case '"': return Token::String;
    default: break;
    }
    if (c == '-' || (c >= '0' && c <= '9'))
        return Token::Number;
    if (word("true", 4))
        return Token::True;
    if (word("false", 5))
        return Token::False;
    if (word("null", 4))
        return Token::Null;
    return Token::None;
}

bool Rewriter::word(const char* ipWord, int inSize)
{
    return mpEnd - mpPos >= inSize && std::memcmp(mpPos, ipWord, size_t(inSize)) == 0;
}

bool Rewriter::value(std::string& irOut, int inDepth)
{
    if (inDepth >= kMaxDepth)
        return false;
    switch (peek()) {
    case Token::ObjectOpen:
        return object(irOut, inDepth);
    case Token::ArrayOpen:
        return array(irOut, inDepth);
    case Token::String:
        return string(irOut);
    case Token::Number:
        return number(irOut);
    case Token::True:
        mpPos += 4;
        irOut += "true";
        return true;
    case Token::False:
        mpPos += 5;
        irOut += "false";
        return true;
    case Token::Null:
        mpPos += 4;
        irOut += "null";
        return true;
    default:
        return false;
    }
}

bool Rewriter::object(std::string& irOut, int inDepth)
{
    ++mpPos; // "{"
    std::string& sScratch = maScratch[size_t(inDepth)];
    sScratch.clear();
    const size_t nBase = maMembers.size();
    if (!readMembers(sScratch, inDepth + 1)) {
        maMembers.resize(nBase);
        return false;
    }
    const size_t nEnd = sortMembers(nBase);
    irOut += "{ ";
    for (size_t i = nBase; i < nEnd; ++i) {
        const Member& aMember = maMembers[i];
        if (i > nBase)
            irOut += ", ";
        appendKey(aMember, irOut);
        irOut += " : ";
        irOut.append(sScratch, aMember.mnOutStart, aMember.mnOutEnd - aMember.mnOutStart);
        mbUnwritable = mbUnwritable || aMember.mbUnwritable;
    }
    irOut += " }";
    maMembers.resize(nBase);
    return true;
}

bool Rewriter::readMembers(std::string& irScratch, int inDepth)
{
    int nOrder = 0;
    for (;;) {
        const Token nToken = peek();
        if (nToken == Token::Comma) {
            ++mpPos;
            continue;
        }
        if (nToken == Token::ObjectClose) {
            ++mpPos;
            return true;
        }
        Member aMember;
        if (nToken != Token::String || !key(aMember) || peek() != Token::Colon)
            return false;
        ++mpPos;
        peek();
        aMember.mpValue = mpPos;
        aMember.mnOutStart = irScratch.size();
        const bool bUnwritable = mbUnwritable;
        mbUnwritable = false;
        if (!value(irScratch, inDepth))
            return false;
        aMember.mpValueEnd = mpPos;
        aMember.mnOutEnd = irScratch.size();
        aMember.mbUnwritable = mbUnwritable;
        aMember.mnOrder = nOrder++;
        mbUnwritable = bUnwritable;
        maMembers.push_back(aMember);
    }
}

size_t Rewriter::sortMembers(size_t inBase)
{
    Member* pBegin = maMembers.data() + inBase;
    const size_t nCount = maMembers.size() - inBase;
    // The records of one list mostly bring the same keys in the same order:
    // the order found for the last record is tried first.
    const bool bRecord = inBase == 0;
    bool bSameKeys = bRecord && nCount == maLastKeys.size();
    for (size_t i = 0; bSameKeys && i < nCount; ++i) {
        const Member& aMember = pBegin[i];
        bSameKeys = aMember.mnKeySize == maLastKeys[i].mnKeySize && aMember.mbKeyEscaped == maLastKeys[i].mbKeyEscaped
            && std::memcmp(aMember.mpKey, maLastKeys[i].mpKey, size_t(aMember.mnKeySize)) == 0;
    }
    if (!bSameKeys) {
        // Insertion sort of indices, stable, so that of repeated keys the last
        // read comes last and is the one kept.
        maOrder.resize(nCount);
        for (size_t i = 0; i < nCount; ++i) {
            const quint32 nIndex = quint32(i);
            size_t j = i;
            while (j > 0 && compareKeys(pBegin[maOrder[j - 1]], pBegin[nIndex]) > 0) {
                maOrder[j] = maOrder[j - 1];
                --j;
            }
            maOrder[j] = nIndex;
        }
        size_t nKept = 0;
        for (size_t i = 0; i < nCount; ++i) {
            if (i + 1 < nCount && compareKeys(pBegin[maOrder[i]], pBegin[maOrder[i + 1]]) == 0)
                continue;
            maOrder[nKept++] = maOrder[i];
        }
        maOrder.resize(nKept);
        if (bRecord) {
            maLastKeys.assign(pBegin, pBegin + nCount);
            maLastOrder = maOrder;
        }
    }
    // Nested objects sort with maOrder in between records.
    const std::vector<quint32>& aOrder = bRecord ? maLastOrder : maOrder;
    maSorted.clear();
    for (const quint32 nIndex : aOrder)
        maSorted.push_back(pBegin[nIndex]);
    std::copy(maSorted.begin(), maSorted.end(), pBegin);
    maMembers.resize(inBase + maSorted.size());
    return maMembers.size();
}

void Rewriter::appendKey(const Member& irMember, std::string& irOut)
{
    // Plain keys hold no escapes and only ASCII.
    irOut += '"';
    if (irMember.mbKeyEscaped) {
        for (int i = 0; i < irMember.mnKeySize; ++i)
            appendEscaped((unsigned char)irMember.mpKey[i], irOut);
    } else {
        irOut.append(irMember.mpKey, size_t(irMember.mnKeySize));
    }
    irOut += '"';
}

bool Rewriter::key(Member& irMember)
{
    const char* pStart = mpPos;
    const char* p = mpPos + 1;
    irMember.mbKeyEscaped = false;
    while (p < mpEnd && kPlain.mbPlain[(unsigned char)*p])
        ++p;
    // Raw control characters are rare in keys but allowed.
    while (p < mpEnd && (unsigned char)*p < 0x20) {
        irMember.mbKeyEscaped = true;
        ++p;
        while (p < mpEnd && kPlain.mbPlain[(unsigned char)*p])
            ++p;
    }
    if (p < mpEnd && *p == '"') {
        irMember.mpKey = pStart + 1;
        irMember.mnKeySize = int(p - pStart - 1);
        mpPos = p + 1;
        return true;
    }
    // Escapes or non-ASCII: read it fully to find its end; the caller takes
    // the variant way for the object.
    mbNeedsVariant = true;
    std::string sIgnored;
    const bool bPlain = mbPlainStrings;
    mbPlainStrings = true;
    const bool bOk = string(sIgnored);
    mbPlainStrings = bPlain;
    irMember.mpKey = pStart + 1;
    irMember.mnKeySize = int(mpPos - pStart - 2);
    return bOk;
}

bool Rewriter::string(std::string& irOut)
{
    const char* pStart = mpPos;
    const size_t nOutStart = irOut.size();
    ++mpPos; // opening quote
    irOut += '"';
    for (;;) {
        const char* pRun = mpPos;
        quint64 nWord;
        while (mpEnd - mpPos >= 8 && (std::memcpy(&nWord, mpPos, 8), plainWord(nWord)))
            mpPos += 8;
        while (mpPos < mpEnd && kPlain.mbPlain[(unsigned char)*mpPos])
            ++mpPos;
        irOut.append(pRun, size_t(mpPos - pRun));
        if (mpPos >= mpEnd)
            return false; // no closing quote
        const unsigned char c = (unsigned char)*mpPos;
        if (c == '"') {
            ++mpPos;
            irOut += '"';
            return true;
        }
        if (c >= 0x80) {
            const int nLength = utf8Length(reinterpret_cast<const unsigned char*>(mpPos),
                                           reinterpret_cast<const unsigned char*>(mpEnd));
            if (nLength == 0) {
                mbBadUtf8 = true;
                return false;
            }
            irOut.append(mpPos, size_t(nLength));
            mpPos += nLength;
            continue;
        }
        if (c != '\\') {
            // A raw control character: the writer escapes five of them.
            appendEscaped(c, irOut);
            ++mpPos;
            continue;
        }
        if (++mpPos >= mpEnd)
            return false;
        const unsigned char e = (unsigned char)*mpPos++;
        switch (e) {
        case '"': irOut += "\\\""; break;
        case '\\': irOut += "\\\\"; break;
        case '/': irOut += '/'; break;
        case 'b': irOut += "\\b"; break;
        case 'f': irOut += "\\f"; break;
        case 'n': irOut += "\\n"; break;
        case 'r': irOut += "\\r"; break;
        case 't': irOut += "\\t"; break;
        case 'u': {
            if (mpEnd - mpPos < 4)
                return false;
            unsigned nUnit = 0;
            for (int i = 0; i < 4; ++i) {
                const int nDigit = hexDigit((unsigned char)mpPos[i]);
                if (nDigit < 0)
                    return false;
                nUnit = nUnit * 16 + unsigned(nDigit);
            }
            mpPos += 4;
            // Surrogate halves pair up or not depending on their neighbours
            // in UTF-16; the variant reader and writer settle that.
            if (nUnit >= 0xD800 && nUnit <= 0xDFFF && !mbPlainStrings)
                return stringViaVariant(pStart, nOutStart, irOut);
            appendUnit(nUnit, irOut);
            break;
        }
        default:
            // An unknown escape drops the backslash and the one UTF-16 unit
            // after it; of a character beyond the BMP that leaves a lone
            // surrogate, which again is the variant path's business.
            if (e >= 0x80) {
                const int nLength = utf8Length(reinterpret_cast<const unsigned char*>(mpPos - 1),
                                               reinterpret_cast<const unsigned char*>(mpEnd));
                if (nLength == 0) {
                    mbBadUtf8 = true;
                    return false;
                }
                mpPos += nLength - 1;
                if (nLength == 4 && !mbPlainStrings)
                    return stringViaVariant(pStart, nOutStart, irOut);
            }
            break;
        }
    }
}

bool Rewriter::stringViaVariant(const char* ipStart, size_t inOutStart, std::string& irOut)
{
    // Find the end of the string first; it must be well formed on its own.
    mpPos = ipStart;
    std::string sIgnored;
    mbPlainStrings = true;
    const bool bOk = string(sIgnored);
    mbPlainStrings = false;
    if (!bOk)
        return false;
    bool bParsed = false;
    const QVariant aString = Json::parse(QString::fromUtf8(ipStart, int(mpPos - ipStart)), bParsed);
    bool bWritten = false;
    const QByteArray aText = Json::serialize(aString, bWritten);
    irOut.resize(inOutStart);
    irOut.append(aText.constData(), size_t(aText.size()));
    return bParsed && bWritten;
}

bool Rewriter::number(std::string& irOut)
{
    const char* pStart = mpPos;
    while (mpPos < mpEnd && isNumberChar((unsigned char)*mpPos))
        ++mpPos;
    if (!appendNumber(pStart, int(mpPos - pStart), irOut))
        mbUnwritable = true;
    return true;
}

bool Rewriter::array(std::string& irOut, int inDepth)
{
    ++mpPos; // "["
    irOut += "[ ";
    bool bFirst = true;
    for (;;) {
        const Token nToken = peek();
        if (nToken == Token::None)
            return false;
        if (nToken == Token::Comma) {
            ++mpPos;
            continue;
        }
        if (nToken == Token::ArrayClose) {
            ++mpPos;
            break;
        }
        if (!bFirst)
            irOut += ", ";
        bFirst = false;
        if (!value(irOut, inDepth + 1))
            return false;
    }
    irOut += " ]";
    return true;
}

} // namespace Json
