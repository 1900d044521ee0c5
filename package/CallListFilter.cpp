#include "CallListFilter.h"

#include "HugePages.h"
#include "Json.h"
#include "StartTimeReader.h"

#include <QDebug>
#include <QLoggingCategory>
#include <QVariantList>
#include <QVariantMap>

#include <cstring>

namespace {

constexpr quint32 CF_HAS_CC_OPEN = 0x00000008;
constexpr quint32 CF_HAS_CC_CLOSE = 0x00000010;
constexpr quint32 CF_LONG_TERM_STORAGE = 0x00400000;

const char kScriptStart[] = "var gCalls=[ ";
const char kScriptEnd[] = " ];";

using Member = Json::Rewriter::Member;

// True when the start lies at least one whole second before the limit (the
// difference in whole seconds, truncated toward zero, is negative).
bool isBefore(qint64 inStartMs, const std::optional<qint64>& irLimitMs)
{
    return irLimitMs && (inStartMs - *irLimitMs) / 1000 < 0;
}

bool isKey(const Member& irMember, const char* ipKey)
{
    const size_t nSize = std::strlen(ipKey);
    return size_t(irMember.mnKeySize) == nSize && std::memcmp(irMember.mpKey, ipKey, nSize) == 0;
}

// An unsigned integer token of digits only, as the reader stores it (32 or
// 64 bits); none when it is longer than 64 bits, which the reader keeps as
// text.
std::optional<quint64> digitsValue(const char* ipBegin, const char* ipEnd)
{
    quint64 nValue = 0;
    for (const char* p = ipBegin; p < ipEnd; ++p) {
        const unsigned nDigit = unsigned(*p - '0');
        if (nValue > (~quint64(0) - nDigit) / 10)
            return std::nullopt;
        nValue = nValue * 10 + nDigit;
    }
    return nValue;
}

bool allDigits(const char* ipBegin, const char* ipEnd)
{
    if (ipBegin == ipEnd)
        return false;
    for (const char* p = ipBegin; p < ipEnd; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    return true;
}

// "id" as QVariant::toInt gives it for the value the reader makes of the
// text: integers keep their low 32 bits, texts and everything unusual go
// through the variant itself.
int idValue(const Member* ipMember)
{
    if (!ipMember)
        return 0;
    const char* pBegin = ipMember->mpValue;
    const char* pEnd = ipMember->mpValueEnd;
    const bool bNegative = *pBegin == '-';
    if (allDigits(pBegin + (bNegative ? 1 : 0), pEnd)) {
        const std::optional<quint64> nMagnitude = digitsValue(pBegin + (bNegative ? 1 : 0), pEnd);
        if (!nMagnitude || (bNegative && *nMagnitude > (quint64(1) << 63)))
            return 0; // kept as text, which does not read as a 64-bit integer
        return int(quint32(bNegative ? quint64(0) - *nMagnitude : *nMagnitude));
    }
    bool bOk = false;
    return Json::parse(QString::fromUtf8(pBegin, int(pEnd - pBegin)), bOk).toInt();
}

} // namespace

CallListFilter::CallListFilter(const Limits& irLimits, StartTimeReader& irStartTimes)
    : maLimits(irLimits)
    , mrStartTimes(irStartTimes)
{
}

CallListFilter::Verdict CallListFilter::judge(qint64 inStartMs, quint32 inFlags) const
{
    const bool bMarked = inFlags & CF_LONG_TERM_STORAGE;
    if (isBefore(inStartMs, bMarked ? maLimits.mnMarkedCdr : maLimits.mnNormalCdr))
        return Verdict::DropCall;
    // Only the open bit makes a voice; the close bit alone does not.
    if ((inFlags & CF_HAS_CC_OPEN) && isBefore(inStartMs, bMarked ? maLimits.mnMarkedVoice : maLimits.mnNormalVoice))
        return Verdict::DropVoice;
    return Verdict::Keep;
}

void CallListFilter::note(Verdict inVerdict, quint32 inFlags, int inId)
{
    const bool bMarked = inFlags & CF_LONG_TERM_STORAGE;
    if (inVerdict == Verdict::DropCall) {
        maLog.push_back({ bMarked ? Event::MarkedCall : Event::NormalCall, inId });
        ++mnExpiredCalls;
    } else if (inVerdict == Verdict::DropVoice) {
        maLog.push_back({ bMarked ? Event::MarkedVoice : Event::NormalVoice, inId });
        ++mnExpiredMedia;
    }
}

void CallListFilter::noteUnreadable()
{
    maLog.push_back({ Event::Unreadable, 0 });
    ++mnExpiredCalls;
}

void CallListFilter::flushLog()
{
    // Without debug output only the warnings need composing.
    const bool bDebug = QLoggingCategory::defaultCategory()->isDebugEnabled();
    for (const LogLine& aLine : maLog) {
        if (!bDebug && aLine.mnEvent != Event::Unreadable)
            continue;
        switch (aLine.mnEvent) {
        case Event::Unreadable:
            qWarning() << "Could not parse start time of call. Call will be filtered.";
            break;
        case Event::NormalCall:
            qDebug() << "Filter normal call: " << aLine.mnId;
            break;
        case Event::MarkedCall:
            qDebug() << "Filter marked call: " << aLine.mnId;
            break;
        case Event::NormalVoice:
            qDebug() << "Filter normal voice for call: " << aLine.mnId;
            break;
        case Event::MarkedVoice:
            qDebug() << "Filter marked voice for call: " << aLine.mnId;
            break;
        }
    }
    maLog.clear();
}

bool CallListFilter::filterRecord(QVariantMap& irRecord)
{
    const std::optional<qint64> nStart
        = mrStartTimes.read(irRecord.value(QStringLiteral("time_start")).toString().left(19));
    if (!nStart) {
        noteUnreadable();
        return false;
    }
    const quint32 nFlags = irRecord.value(QStringLiteral("flags")).toUInt();
    const Verdict nVerdict = judge(*nStart, nFlags);
    if (nVerdict != Verdict::Keep)
        note(nVerdict, nFlags, irRecord.value(QStringLiteral("id")).toInt());
    if (nVerdict == Verdict::DropCall)
        return false;
    if (nVerdict == Verdict::DropVoice) {
        irRecord.insert(QStringLiteral("flags"), nFlags & ~(CF_HAS_CC_OPEN | CF_HAS_CC_CLOSE));
        irRecord.insert(QStringLiteral("voice"), QString(QLatin1String("")));
    }
    return true;
}

int CallListFilter::fail(const QByteArray& iaText)
{
    maLog.clear();
    maScript.clear();
    mnExpiredCalls = 0;
    mnExpiredMedia = 0;
    qWarning() << "JSON parsing error";
    qDebug() << QString::fromUtf8(iaText);
    return -1;
}

int CallListFilter::runViaVariants(const QByteArray& iaText)
{
    mbViaVariants = true;
    maScript.clear();
    mnExpiredCalls = 0;
    mnExpiredMedia = 0;
    maLog.clear();
    bool bOk = false;
    const QVariant aParsed = Json::parse(QString::fromUtf8(iaText), bOk);
    if (!bOk)
        return fail(iaText);
    const QVariantList aCalls = aParsed.toList();
    QVariantList aKept;
    for (const QVariant& aCall : aCalls) {
        QVariantMap aRecord = aCall.toMap();
        if (filterRecord(aRecord))
            aKept.append(aRecord);
    }
    flushLog();
    bool bWritten = false;
    const QByteArray aJson = Json::serialize(aKept, bWritten);
    if (!bWritten) {
        // A value without a JSON form (a number out of range, say) would
        // leave the page a broken script.
        qWarning() << "Call list could not be written";
        return -1;
    }
    maScript = QByteArrayLiteral("var gCalls=") + aJson + ';';
    return 0;
}

int CallListFilter::run(const QByteArray& iaText)
{
    // The text is read as Qt reads UTF-8 from a byte array: up to the first
    // NUL. A text that does not start with the array (no "[" in the script)
    // is left to the variant path, which knows how Qt treats its start.
    const char* pBegin = iaText.constData();
    const char* pNul = static_cast<const char*>(std::memchr(pBegin, 0, size_t(iaText.size())));
    const char* pEnd = pNul ? pNul : pBegin + iaText.size();
    if (pBegin == pEnd || *pBegin != '[')
        return runViaVariants(iaText);

    begin(pBegin, iaText.size());
    if (feed(pEnd, true) != Progress::Done) {
        const bool bBadUtf8 = mpReader->mbBadUtf8;
        mpReader.reset();
        if (bBadUtf8)
            return runViaVariants(iaText);
        return fail(iaText);
    }
    return finish();
}

void CallListFilter::begin(const char* ipOpen, qint64 inSizeHint)
{
    mbViaVariants = false;
    mnRecordsViaVariants = 0;
    mnExpiredCalls = 0;
    mnExpiredMedia = 0;
    maLog.clear();
    mbUnwritable = false;
    mbFirstKept = true;
    maScript.clear();
    // The written records are a little longer than the text.
    maScript.reserve(int(std::min<qint64>(inSizeHint + inSizeHint / 8 + 64, 0x7fff0000)));
    adviseHugePages(maScript.data(), size_t(maScript.capacity()));
    maScript += kScriptStart;
    mpReader.reset(new Json::Rewriter(ipOpen + 1, ipOpen + 1));
}

CallListFilter::Progress CallListFilter::feed(const char* ipEnd, bool ibLast)
{
    // The elements of the one array; what follows it is ignored.
    Json::Rewriter& rReader = *mpReader;
    rReader.mpEnd = ipEnd;
    for (;;) {
        const char* pElement = rReader.mpPos;
        // An element that does not read may only have been cut off: it is
        // read again, as if untouched, once more has arrived.
        const auto cutOff = [&] {
            if (ibLast)
                return Progress::Failed;
            rReader.mpPos = pElement;
            rReader.mbBadUtf8 = false;
            return Progress::More;
        };
        switch (rReader.peek()) {
        case Json::Rewriter::Token::None:
            return cutOff();
        case Json::Rewriter::Token::Comma:
            ++rReader.mpPos;
            break;
        case Json::Rewriter::Token::ArrayClose:
            return Progress::Done;
        case Json::Rewriter::Token::ObjectOpen:
            if (!record(rReader))
                return cutOff();
            break;
        default:
            // Not an object: no start time to read. A number that reaches
            // the end of the piece may go on in the next.
            msIgnored.clear();
            if (!rReader.value(msIgnored, 1) || (!ibLast && rReader.mpPos >= rReader.mpEnd))
                return cutOff();
            noteUnreadable();
            break;
        }
    }
}

const char* CallListFilter::position() const
{
    return mpReader ? mpReader->mpPos : nullptr;
}

int CallListFilter::finish()
{
    mpReader.reset();
    flushLog();
    if (mbUnwritable) {
        maScript.clear();
        qWarning() << "Call list could not be written";
        return -1;
    }
    maScript += kScriptEnd;
    return 0;
}

bool CallListFilter::record(Json::Rewriter& irReader)
{
    const char* pRecord = irReader.mpPos;
    irReader.mbNeedsVariant = false;
    irReader.mbUnwritable = false;
    irReader.maMembers.clear();
    msRecordValues.clear();
    ++irReader.mpPos; // "{"
    // The record is an element of the array: its values lie two deep.
    if (!irReader.readMembers(msRecordValues, 2))
        return false;
    if (irReader.mbNeedsVariant) {
        recordViaVariants(pRecord, irReader.mpPos);
        return true;
    }
    const size_t nEnd = irReader.sortMembers(0);
    const Member* pMembers = irReader.maMembers.data();
    const Member* pStart = nullptr;
    const Member* pFlags = nullptr;
    const Member* pId = nullptr;
    const Member* pVoice = nullptr;
    for (size_t i = 0; i < nEnd; ++i) {
        const Member& aMember = pMembers[i];
        if (isKey(aMember, "time_start"))
            pStart = &aMember;
        else if (isKey(aMember, "flags"))
            pFlags = &aMember;
        else if (isKey(aMember, "id"))
            pId = &aMember;
        else if (isKey(aMember, "voice"))
            pVoice = &aMember;
    }

    // The start time: only a string can hold one. Escapes and non-ASCII text
    // are cut to 19 UTF-16 units after decoding, which the variant path does.
    if (!pStart || *pStart->mpValue != '"') {
        noteUnreadable();
        return true;
    }
    const char* pText = pStart->mpValue + 1;
    const char* pTextEnd = pStart->mpValueEnd - 1;
    for (const char* p = pText; p < pTextEnd; ++p) {
        if (*p == '\\' || (unsigned char)*p >= 0x80) {
            recordViaVariants(pRecord, irReader.mpPos);
            return true;
        }
    }
    const std::optional<qint64> nStart = mrStartTimes.read(pText, int(std::min<qint64>(pTextEnd - pText, 19)));
    if (!nStart) {
        noteUnreadable();
        return true;
    }

    // The flags: an unsigned integer, as 32 bits; other types convert as the
    // variant does.
    quint32 nFlags = 0;
    if (pFlags) {
        if (!allDigits(pFlags->mpValue, pFlags->mpValueEnd)) {
            recordViaVariants(pRecord, irReader.mpPos);
            return true;
        }
        nFlags = quint32(digitsValue(pFlags->mpValue, pFlags->mpValueEnd).value_or(0));
    }

    const Verdict nVerdict = judge(*nStart, nFlags);
    if (nVerdict != Verdict::Keep)
        note(nVerdict, nFlags, idValue(pId));
    if (nVerdict == Verdict::DropCall || mbUnwritable)
        return true;

    const bool bNoVoice = nVerdict == Verdict::DropVoice;
    std::string sFlags;
    if (bNoVoice)
        sFlags = std::to_string(nFlags & ~(CF_HAS_CC_OPEN | CF_HAS_CC_CLOSE));
    msRecord.assign("{ ");
    bool bFirst = true;
    bool bVoiceWritten = false;
    // A member of the record, or with none the "voice" it did not have.
    const auto writeMember = [&](const Member* ipMember, const char* ipValue, size_t inValueSize) {
        if (!bFirst)
            msRecord += ", ";
        bFirst = false;
        if (ipMember)
            Json::Rewriter::appendKey(*ipMember, msRecord);
        else
            msRecord += "\"voice\"";
        msRecord += " : ";
        msRecord.append(ipValue, inValueSize);
    };
    for (size_t i = 0; i < nEnd; ++i) {
        const Member& aMember = pMembers[i];
        if (bNoVoice && !pVoice && !bVoiceWritten && aMember.mnKeySize > 0
            && std::string(aMember.mpKey, size_t(aMember.mnKeySize)) > "voice") {
            // A record without "voice" gets one, in its sorted place.
            writeMember(nullptr, "\"\"", 2);
            bVoiceWritten = true;
        }
        if (bNoVoice && &aMember == pFlags) {
            writeMember(&aMember, sFlags.data(), sFlags.size());
            continue;
        }
        if (bNoVoice && &aMember == pVoice) {
            writeMember(&aMember, "\"\"", 2);
            continue;
        }
        if (aMember.mbUnwritable) {
            mbUnwritable = true;
            return true;
        }
        writeMember(&aMember, msRecordValues.data() + aMember.mnOutStart,
                    aMember.mnOutEnd - aMember.mnOutStart);
    }
    if (bNoVoice && !pVoice && !bVoiceWritten)
        writeMember(nullptr, "\"\"", 2);
    msRecord += " }";
    appendRecord(msRecord.data(), msRecord.size());
    return true;
}

void CallListFilter::recordViaVariants(const char* ipBegin, const char* ipEnd)
{
    ++mnRecordsViaVariants;
    bool bOk = false;
    QVariantMap aRecord = Json::parse(QString::fromUtf8(ipBegin, int(ipEnd - ipBegin)), bOk).toMap();
    if (!filterRecord(aRecord) || mbUnwritable)
        return;
    bool bWritten = false;
    const QByteArray aText = Json::serialize(aRecord, bWritten);
    if (!bWritten) {
        mbUnwritable = true;
        return;
    }
    appendRecord(aText.constData(), size_t(aText.size()));
}

void CallListFilter::appendRecord(const char* ipText, size_t inSize)
{
    if (!mbFirstKept)
        maScript += ", ";
    mbFirstKept = false;
    maScript.append(ipText, int(inSize));
}
