#include "JsonNumber.h"

#include <double-conversion/double-conversion.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include <QtGlobal>

namespace {

// QString::toDouble: at most one decimal point, then the conversion library
// Qt itself uses (nothing but the number allowed), garbage read as 0, and an
// underflow of a number with a non-zero digit read as +0.
double toDouble(const char* ipToken, int inSize)
{
    if (std::count(ipToken, ipToken + inSize, '.') > 1)
        return 0.0;
    static const double_conversion::StringToDoubleConverter aConverter(
        double_conversion::StringToDoubleConverter::NO_FLAGS, 0.0, std::numeric_limits<double>::quiet_NaN(),
        nullptr, nullptr);
    int nProcessed = 0;
    const double fValue = aConverter.StringToDouble(ipToken, inSize, &nProcessed);
    if (std::isnan(fValue))
        return 0.0;
    if (fValue == 0.0) {
        for (int i = 0; i < inSize && ipToken[i] != 'e' && ipToken[i] != 'E'; ++i) {
            if (ipToken[i] >= '1' && ipToken[i] <= '9')
                return 0.0;
        }
    }
    return fValue;
}

// QByteArray::number(fValue, 'g', 20): 20 significant digits without
// trailing zeros, in exponent form when the decimal exponent is below -4 or
// at least 20 (two exponent digits at least), no sign on zero.
void appendDouble(double fValue, std::string& irOut)
{
    char aDigits[24];
    bool bNegative = false;
    int nLength = 0;
    int nPoint = 0;
    double_conversion::DoubleToStringConverter::DoubleToAscii(fValue,
        double_conversion::DoubleToStringConverter::PRECISION, 20, aDigits, int(sizeof aDigits), &bNegative, &nLength,
        &nPoint);
    while (nLength > 1 && aDigits[nLength - 1] == '0')
        --nLength;
    if (bNegative && fValue != 0.0)
        irOut += '-';
    const int nExponent = nPoint - 1;
    bool bFraction = false;
    if (nExponent < -4 || nExponent >= 20) {
        irOut += aDigits[0];
        if (nLength > 1) {
            irOut += '.';
            irOut.append(aDigits + 1, size_t(nLength - 1));
        }
        char aExponent[16];
        std::snprintf(aExponent, sizeof aExponent, "e%c%02d", nExponent < 0 ? '-' : '+', std::abs(nExponent));
        irOut += aExponent;
        return;
    }
    if (nPoint <= 0) {
        irOut += "0.";
        irOut.append(size_t(-nPoint), '0');
        irOut.append(aDigits, size_t(nLength));
        bFraction = true;
    } else if (nPoint >= nLength) {
        irOut.append(aDigits, size_t(nLength));
        irOut.append(size_t(nPoint - nLength), '0');
    } else {
        irOut.append(aDigits, size_t(nPoint));
        irOut += '.';
        irOut.append(aDigits + nPoint, size_t(nLength - nPoint));
        bFraction = true;
    }
    // The writer marks a double that prints as a whole number.
    if (!bFraction)
        irOut += ".0";
}

// Converting a double to 20 digits takes big-number arithmetic, a
// microsecond each; call lists repeat the same few values (scores,
// durations) in every record, so the written form of recent tokens is kept.
struct CachedDouble
{
    unsigned char mnTokenSize; // 0: empty slot
    bool mbFinite;
    unsigned char mnTextSize;
    char maToken[32];
    char maText[32];
};
constexpr size_t kCacheSlots = 1024;

CachedDouble& cacheSlot(const char* ipToken, int inSize)
{
    thread_local std::vector<CachedDouble> aCache(kCacheSlots);
    quint32 nHash = 2166136261u;
    for (int i = 0; i < inSize; ++i)
        nHash = (nHash ^ (unsigned char)ipToken[i]) * 16777619u;
    return aCache[nHash % kCacheSlots];
}

// The written form of a token with a decimal point; false when it has none.
bool appendDoubleToken(const char* ipToken, int inSize, std::string& irOut)
{
    const bool bCacheable = inSize < 32;
    if (bCacheable) {
        const CachedDouble& aSlot = cacheSlot(ipToken, inSize);
        if (aSlot.mnTokenSize == inSize && std::memcmp(aSlot.maToken, ipToken, size_t(inSize)) == 0) {
            irOut.append(aSlot.maText, aSlot.mnTextSize);
            return aSlot.mbFinite;
        }
    }
    const double fValue = toDouble(ipToken, inSize);
    const bool bFinite = std::isfinite(fValue);
    const size_t nStart = irOut.size();
    if (bFinite)
        appendDouble(fValue, irOut);
    if (bCacheable) {
        CachedDouble& aSlot = cacheSlot(ipToken, inSize);
        aSlot.mnTokenSize = (unsigned char)inSize;
        std::memcpy(aSlot.maToken, ipToken, size_t(inSize));
        aSlot.mbFinite = bFinite;
        aSlot.mnTextSize = (unsigned char)(irOut.size() - nStart);
        std::memcpy(aSlot.maText, irOut.data() + nStart, irOut.size() - nStart);
    }
    return bFinite;
}

void appendQuotedToken(const char* ipToken, int inSize, std::string& irOut)
{
    irOut += '"';
    irOut.append(ipToken, size_t(inSize));
    irOut += '"';
}

} // namespace

namespace Json {

bool appendNumber(const char* ipToken, int inSize, std::string& irOut)
{
    if (std::memchr(ipToken, '.', size_t(inSize)))
        return appendDoubleToken(ipToken, inSize, irOut);
    // Integers: signed 32 or 64 bits for a leading "-", unsigned 32 or 64
    // bits otherwise, all written in decimal; anything else (an exponent, a
    // stray sign, too many digits) stays the token's text.
    const bool bNegative = ipToken[0] == '-';
    const char* pDigits = ipToken + (bNegative ? 1 : 0);
    const int nDigits = inSize - (bNegative ? 1 : 0);
    if (nDigits == 0 || std::any_of(pDigits, pDigits + nDigits, [](char c) { return c < '0' || c > '9'; })) {
        appendQuotedToken(ipToken, inSize, irOut);
        return true;
    }
    int nFirst = 0;
    while (nFirst < nDigits - 1 && pDigits[nFirst] == '0')
        ++nFirst;
    const int nSignificant = nDigits - nFirst;
    const char* pLimit = bNegative ? "9223372036854775808" : "18446744073709551615";
    const int nLimit = int(std::strlen(pLimit));
    if (nSignificant > nLimit
        || (nSignificant == nLimit && std::memcmp(pDigits + nFirst, pLimit, size_t(nLimit)) > 0)) {
        appendQuotedToken(ipToken, inSize, irOut);
        return true;
    }
    if (bNegative && !(nSignificant == 1 && pDigits[nFirst] == '0'))
        irOut += '-';
    irOut.append(pDigits + nFirst, size_t(nSignificant));
    return true;
}

} // namespace Json
