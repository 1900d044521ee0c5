#include "JsText.h"

#include <QString>
#include <QVector>

#include <double-conversion/double-to-string.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace JsText {

void appendNumber(double ifValue, std::string& irOut)
{
    // Whole numbers, the usual case, without the general conversion.
    if (ifValue > -1e15 && ifValue < 1e15 && ifValue == double(int64_t(ifValue))) {
        int64_t n = int64_t(ifValue);
        char aDigits[24];
        int k = sizeof aDigits;
        const bool bMinus = n < 0;
        uint64_t u = bMinus ? uint64_t(-n) : uint64_t(n);
        do {
            aDigits[--k] = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (bMinus)
            aDigits[--k] = '-';
        irOut.append(aDigits + k, sizeof aDigits - size_t(k));
        return;
    }
    char aBuffer[64];
    double_conversion::StringBuilder aBuilder(aBuffer, sizeof aBuffer);
    double_conversion::DoubleToStringConverter::EcmaScriptConverter().ToShortest(ifValue, &aBuilder);
    const int nLength = aBuilder.position();
    irOut.append(aBuilder.Finalize(), size_t(nLength));
}

namespace {

bool isCased(uint ic)
{
    return QChar::isLower(ic) || QChar::isUpper(ic) || QChar::isTitleCase(ic);
}

bool isCaseIgnorable(uint ic)
{
    switch (QChar::category(ic)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
    case QChar::Letter_Modifier:
    case QChar::Symbol_Modifier:
        return true;
    default:
        break;
    }
    switch (ic) {
    case 0x27: case 0x2E: case 0x3A: case 0xB7: case 0x387: case 0x55F: case 0x5F4: case 0x2018: case 0x2019:
    case 0x2024: case 0x2027: case 0xFE13: case 0xFE52: case 0xFE55: case 0xFF07: case 0xFF0E: case 0xFF1A:
        return true;
    default:
        return false;
    }
}

// A capital sigma is final when a cased letter comes before it and none
// after it (case-ignorable characters between are skipped).
QString lowerWithSigma(const QString& isText)
{
    const QVector<uint> aCodes = isText.toUcs4();
    QString sOut;
    for (int i = 0; i < aCodes.size(); ++i) {
        const uint c = aCodes[i];
        if (c != 0x3A3) {
            sOut += QString::fromUcs4(&c, 1).toLower();
            continue;
        }
        int k = i - 1;
        while (k >= 0 && isCaseIgnorable(aCodes[k]))
            --k;
        bool bFinal = k >= 0 && isCased(aCodes[k]);
        k = i + 1;
        while (k < aCodes.size() && isCaseIgnorable(aCodes[k]))
            ++k;
        if (k < aCodes.size() && isCased(aCodes[k]))
            bFinal = false;
        sOut += QChar(bFinal ? 0x3C2 : 0x3C3);
    }
    return sOut;
}

} // namespace

void appendLower(std::string_view isText, std::string& irOut)
{
    const size_t nAt = irOut.size();
    irOut.resize(nAt + isText.size());
    char* pOut = &irOut[nAt];
    unsigned char nHigh = 0;
    for (size_t k = 0; k < isText.size(); ++k) {
        const auto c = static_cast<unsigned char>(isText[k]);
        nHigh |= c;
        pOut[k] = char(c - 'A' < 26u ? c + 32 : c);
    }
    if (nHigh < 0x80)
        return;
    irOut.resize(nAt);
    const QString sText = QString::fromUtf8(isText.data(), int(isText.size()));
    const QByteArray aLower = (sText.contains(QChar(0x3A3)) ? lowerWithSigma(sText) : sText.toLower()).toUtf8();
    irOut.append(aLower.constData(), size_t(aLower.size()));
}

namespace {

// Length of the separator at p (0 when there is none): ASCII blanks and
// -().\/, and the blanks JavaScript's \s knows beyond ASCII.
size_t separatorAt(const unsigned char* p, const unsigned char* ipEnd)
{
    const unsigned char c = p[0];
    if (c < 0x80) {
        switch (c) {
        case ' ': case '\t': case '\n': case '\v': case '\f': case '\r':
        case '-': case '(': case ')': case '.': case '/':
            return 1;
        default:
            return 0;
        }
    }
    const size_t nLeft = size_t(ipEnd - p);
    if (c == 0xC2 && nLeft >= 2 && p[1] == 0xA0)
        return 2;
    if (nLeft < 3)
        return 0;
    const unsigned int n = (unsigned(p[1]) << 8) | p[2];
    if (c == 0xE1 && n == 0x9A80) // U+1680
        return 3;
    if (c == 0xE2) {
        if (n >= 0x8080 && n <= 0x808A) // U+2000..U+200A
            return 3;
        if (n == 0x80A8 || n == 0x80A9 || n == 0x80AF || n == 0x819F) // U+2028, 2029, 202F, 205F
            return 3;
    }
    if (c == 0xE3 && n == 0x8080) // U+3000
        return 3;
    if (c == 0xEF && n == 0xBBBF) // U+FEFF
        return 3;
    return 0;
}

} // namespace

bool appendLowerSqueezed(std::string_view isText, std::string& irOut)
{
    const size_t nAt = irOut.size();
    bool bAscii = true;
    bool bRemoved = false;
    for (const char c : isText) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            bAscii = false;
            break;
        }
        if (u == ' ' || u == '-' || u == '.' || u == '/' || u == '(' || u == ')' || (u >= '\t' && u <= '\r')) {
            bRemoved = true;
            continue;
        }
        irOut.push_back(char(u - 'A' < 26u ? u + 32 : u));
    }
    if (bAscii) {
        if (!bRemoved)
            irOut.resize(nAt);
        return bRemoved;
    }
    irOut.resize(nAt);
    std::string sBare;
    appendWithoutSeparators(isText, sBare);
    if (sBare.size() == isText.size())
        return false;
    appendLower(sBare, irOut);
    return true;
}

void appendWithoutSeparators(std::string_view isText, std::string& irOut)
{
    const auto* p = reinterpret_cast<const unsigned char*>(isText.data());
    const auto* pEnd = p + isText.size();
    while (p < pEnd) {
        const size_t nSeparator = separatorAt(p, pEnd);
        if (nSeparator) {
            p += nSeparator;
            continue;
        }
        irOut.push_back(char(*p++));
    }
}

bool hasDigit(std::string_view isText)
{
    for (const char c : isText)
        if (c >= '0' && c <= '9')
            return true;
    return false;
}

int compareUtf16(std::string_view isA, std::string_view isB)
{
    const size_t n = std::min(isA.size(), isB.size());
    const int nSame = std::memcmp(isA.data(), isB.data(), n);
    if (nSame == 0)
        return isA.size() < isB.size() ? -1 : isA.size() > isB.size() ? 1 : 0;
    size_t k = 0;
    while (isA[k] == isB[k])
        ++k;
    return int(utf16Rank(static_cast<unsigned char>(isA[k]))) - int(utf16Rank(static_cast<unsigned char>(isB[k])));
}

uint32_t toUint32(double ifValue)
{
    if (!std::isfinite(ifValue))
        return 0;
    double f = std::fmod(std::trunc(ifValue), 4294967296.0);
    if (f < 0)
        f += 4294967296.0;
    return uint32_t(f);
}

std::string_view leadingUnits(std::string_view isText, int inUnits, std::string& irScratch)
{
    size_t k = 0;
    while (k < isText.size() && k < size_t(inUnits) && static_cast<unsigned char>(isText[k]) < 0x80)
        ++k;
    if (k == isText.size() || k == size_t(inUnits))
        return isText.substr(0, k);
    const QByteArray a = QString::fromUtf8(isText.data(), int(isText.size())).left(inUnits).toUtf8();
    irScratch.assign(a.constData(), size_t(a.size()));
    return irScratch;
}

double startSeconds(std::string_view isText)
{
    ushort aUnits[19];
    bool bAscii = isText.size() >= 19;
    for (size_t k = 0; bAscii && k < 19; ++k)
        bAscii = static_cast<unsigned char>(isText[k]) < 0x80;
    if (bAscii) {
        for (int k = 0; k < 19; ++k)
            aUnits[k] = ushort(static_cast<unsigned char>(isText[size_t(k)]));
    } else {
        const QString s = QString::fromUtf8(isText.data(), int(isText.size()));
        if (s.size() < 19)
            return std::nan("");
        for (int k = 0; k < 19; ++k)
            aUnits[k] = s.at(k).unicode();
    }
    auto d2 = [&](int k) { return int64_t(aUnits[k] - 48) * 10 + int64_t(aUnits[k + 1]) - 48; };
    const int64_t y = d2(0) * 100 + d2(2), mo = d2(5), d = d2(8), h = d2(11), mi = d2(14), s = d2(17);
    if (!(y >= 0 && mo >= 1 && mo <= 12 && d >= 0 && d <= 31 && h >= 0 && mi >= 0 && s >= 0))
        return std::nan("");
    auto floorDiv = [](int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    const int64_t yy = mo <= 2 ? y - 1 : y;
    const int64_t era = floorDiv(yy, 400);
    const int64_t yoe = yy - era * 400;
    const int64_t doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return double((era * 146097 + doe - 719468) * 86400 + h * 3600 + mi * 60 + s);
}

} // namespace JsText
