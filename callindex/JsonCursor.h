#pragma once
// A cursor over the bytes of JSON text for the call index: every read checks
// what it reads, as strictly as the page's JSON reader (JSON.parse) does.
#include "JsText.h"

#include <QString>

#include <double-conversion/string-to-double.h>

#include <cmath>
#include <cstring>
#include <string>

// Reads JSON text from a range of bytes; every read checks what it reads.
class JsonCursor
{
public:
    // Nested values deeper than this are refused: far beyond real calls, and
    // the reader recurses.
    static constexpr int cnMaxDepth = 256;

    JsonCursor(const char* ipBegin, const char* ipEnd, size_t inStart = 0)
        : p(ipBegin + inStart), mpBegin(ipBegin), mpEnd(ipEnd)
    {
    }

    const char* p;
    QString msError;

    size_t offset() const { return size_t(p - mpBegin); }
    bool atEnd() const { return p >= mpEnd; }
    const char* end() const { return mpEnd; }
    // For a text that arrives a piece at a time: more has, and a read that
    // failed at the end of what had is tried again from inOffset.
    void setEnd(size_t inEnd) { mpEnd = mpBegin + inEnd; }
    void restart(size_t inOffset)
    {
        p = mpBegin + inOffset;
        msError.clear();
    }
    bool fail(const char* ipWhy)
    {
        if (msError.isEmpty())
            msError = QStringLiteral("%1 at byte %2").arg(QLatin1String(ipWhy)).arg(qint64(p - mpBegin));
        return false;
    }
    void skipBlanks()
    {
        while (p < mpEnd && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t'))
            ++p;
    }
    bool take(char ic)
    {
        if (p < mpEnd && *p == ic) {
            ++p;
            return true;
        }
        return false;
    }
    bool takeWord(const char* ipWord)
    {
        const size_t n = std::strlen(ipWord);
        if (size_t(mpEnd - p) < n || std::memcmp(p, ipWord, n) != 0)
            return false;
        p += n;
        return true;
    }

    // A string at p ('"'), decoded into irOut (appended).
    bool readString(std::string& irOut)
    {
        ++p;
        for (;;) {
            const char* pRun = p;
            while (p < mpEnd) {
                const auto c = static_cast<unsigned char>(*p);
                if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80)
                    break;
                ++p;
            }
            irOut.append(pRun, size_t(p - pRun));
            if (p >= mpEnd)
                return fail("unterminated string");
            const auto c = static_cast<unsigned char>(*p);
            if (c == '"') {
                ++p;
                return true;
            }
            if (c < 0x20)
                return fail("control character in a string");
            if (c >= 0x80) {
                const size_t n = utf8Length();
                if (n == 0)
                    return fail("invalid UTF-8");
                irOut.append(p, n);
                p += n;
                continue;
            }
            if (!readEscape(irOut))
                return false;
        }
    }

    // A number at p, its value in irfValue.
    bool readNumber(double& irfValue)
    {
        const char* pStart = p;
        const bool bMinus = take('-');
        if (p >= mpEnd || *p < '0' || *p > '9')
            return fail("invalid number");
        if (*p == '0')
            ++p;
        else
            while (p < mpEnd && *p >= '0' && *p <= '9')
                ++p;
        bool bWhole = true;
        if (take('.')) {
            bWhole = false;
            if (p >= mpEnd || *p < '0' || *p > '9')
                return fail("invalid number");
            while (p < mpEnd && *p >= '0' && *p <= '9')
                ++p;
        }
        if (p < mpEnd && (*p == 'e' || *p == 'E')) {
            bWhole = false;
            ++p;
            if (!take('+'))
                take('-');
            if (p >= mpEnd || *p < '0' || *p > '9')
                return fail("invalid number");
            while (p < mpEnd && *p >= '0' && *p <= '9')
                ++p;
        }
        const int nDigits = int(p - pStart) - (bMinus ? 1 : 0);
        if (bWhole && nDigits <= 15) {
            int64_t n = 0;
            for (const char* q = pStart + (bMinus ? 1 : 0); q < p; ++q)
                n = n * 10 + (*q - '0');
            irfValue = bMinus ? -double(n) : double(n);
            return true;
        }
        static const double_conversion::StringToDoubleConverter aConverter(
            double_conversion::StringToDoubleConverter::NO_FLAGS, 0.0, std::nan(""), "Infinity", "NaN");
        int nUsed = 0;
        irfValue = aConverter.StringToDouble(pStart, int(p - pStart), &nUsed);
        if (nUsed != int(p - pStart) || std::isnan(irfValue))
            return fail("invalid number");
        return true;
    }

    // Any value at p, checked and skipped; keys named "__proto__" refused.
    bool skipValue(int inDepth)
    {
        if (inDepth > cnMaxDepth)
            return fail("values nested too deep");
        if (p >= mpEnd)
            return fail("value expected");
        std::string aScratch;
        switch (*p) {
        case '"':
            return readString(aScratch);
        case '{': {
            ++p;
            skipBlanks();
            if (take('}'))
                return true;
            for (;;) {
                if (p >= mpEnd || *p != '"')
                    return fail("key expected");
                aScratch.clear();
                if (!readString(aScratch))
                    return false;
                if (aScratch == "__proto__")
                    return fail("a __proto__ key");
                skipBlanks();
                if (!take(':'))
                    return fail("':' expected");
                skipBlanks();
                if (!skipValue(inDepth + 1))
                    return false;
                skipBlanks();
                if (take('}'))
                    return true;
                if (!take(','))
                    return fail("',' or '}' expected");
                skipBlanks();
            }
        }
        case '[': {
            ++p;
            skipBlanks();
            if (take(']'))
                return true;
            for (;;) {
                if (!skipValue(inDepth + 1))
                    return false;
                skipBlanks();
                if (take(']'))
                    return true;
                if (!take(','))
                    return fail("',' or ']' expected");
                skipBlanks();
            }
        }
        case 't':
            return takeWord("true") || fail("invalid literal");
        case 'f':
            return takeWord("false") || fail("invalid literal");
        case 'n':
            return takeWord("null") || fail("invalid literal");
        default: {
            double f = 0;
            return readNumber(f);
        }
        }
    }

    // String(value) of a checked value at p, as a script would write it.
    void appendJsString(std::string& irOut)
    {
        skipBlanks();
        switch (*p) {
        case '"':
            readString(irOut);
            return;
        case '{':
            skipValue(0);
            irOut += "[object Object]";
            return;
        case '[': {
            ++p;
            skipBlanks();
            bool bFirst = true;
            while (!take(']')) {
                if (!bFirst)
                    irOut += ',';
                bFirst = false;
                skipBlanks();
                if (*p == 'n')
                    p += 4; // null and undefined join as ""
                else
                    appendJsString(irOut);
                skipBlanks();
                take(',');
                skipBlanks();
            }
            return;
        }
        case 't':
            p += 4;
            irOut += "true";
            return;
        case 'f':
            p += 5;
            irOut += "false";
            return;
        case 'n':
            p += 4;
            irOut += "null";
            return;
        default: {
            double f = 0;
            readNumber(f);
            JsText::appendNumber(f, irOut);
        }
        }
    }

private:
    const char* mpBegin;
    const char* mpEnd;

    size_t utf8Length() const
    {
        const auto* q = reinterpret_cast<const unsigned char*>(p);
        const size_t nLeft = size_t(mpEnd - p);
        const unsigned char c = q[0];
        auto cont = [&](size_t k) { return k < nLeft && (q[k] & 0xC0) == 0x80; };
        if (c >= 0xC2 && c <= 0xDF)
            return cont(1) ? 2 : 0;
        if (c >= 0xE0 && c <= 0xEF) {
            if (!cont(1) || !cont(2))
                return 0;
            if ((c == 0xE0 && q[1] < 0xA0) || (c == 0xED && q[1] > 0x9F))
                return 0;
            return 3;
        }
        if (c >= 0xF0 && c <= 0xF4) {
            if (!cont(1) || !cont(2) || !cont(3))
                return 0;
            if ((c == 0xF0 && q[1] < 0x90) || (c == 0xF4 && q[1] > 0x8F))
                return 0;
            return 4;
        }
        return 0;
    }

    bool readHex4(uint& irn)
    {
        if (mpEnd - p < 4)
            return fail("invalid escape");
        irn = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = p[k];
            uint d = 0;
            if (c >= '0' && c <= '9')
                d = uint(c - '0');
            else if (c >= 'a' && c <= 'f')
                d = uint(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                d = uint(c - 'A' + 10);
            else
                return fail("invalid escape");
            irn = irn * 16 + d;
        }
        p += 4;
        return true;
    }

    bool readEscape(std::string& irOut)
    {
        ++p;
        if (p >= mpEnd)
            return fail("invalid escape");
        const char c = *p++;
        switch (c) {
        case '"': irOut += '"'; return true;
        case '\\': irOut += '\\'; return true;
        case '/': irOut += '/'; return true;
        case 'b': irOut += '\b'; return true;
        case 'f': irOut += '\f'; return true;
        case 'n': irOut += '\n'; return true;
        case 'r': irOut += '\r'; return true;
        case 't': irOut += '\t'; return true;
        case 'u': break;
        default: return fail("invalid escape");
        }
        uint n = 0;
        if (!readHex4(n))
            return false;
        if (n >= 0xDC00 && n <= 0xDFFF)
            return fail("lone surrogate"); // not text UTF-8 can hold
        if (n >= 0xD800 && n <= 0xDBFF) {
            uint nLow = 0;
            if (!takeWord("\\u") || !readHex4(nLow) || nLow < 0xDC00 || nLow > 0xDFFF)
                return fail("lone surrogate");
            n = 0x10000 + ((n - 0xD800) << 10) + (nLow - 0xDC00);
        }
        if (n < 0x80) {
            irOut += char(n);
        } else if (n < 0x800) {
            irOut += char(0xC0 | (n >> 6));
            irOut += char(0x80 | (n & 0x3F));
        } else if (n < 0x10000) {
            irOut += char(0xE0 | (n >> 12));
            irOut += char(0x80 | ((n >> 6) & 0x3F));
            irOut += char(0x80 | (n & 0x3F));
        } else {
            irOut += char(0xF0 | (n >> 18));
            irOut += char(0x80 | ((n >> 12) & 0x3F));
            irOut += char(0x80 | ((n >> 6) & 0x3F));
            irOut += char(0x80 | (n & 0x3F));
        }
        return true;
    }
};
