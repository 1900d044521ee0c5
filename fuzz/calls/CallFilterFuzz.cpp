// Fuzz entry for the call list filter: the input is the text of a calls
// array. The one-pass filter and the variant reader and writer must agree on
// the result, the script bytes, the counters and the log lines, and so must
// the one pass fed in pieces wherever it finishes; any difference aborts.
#include "CallListFilter.h"
#include "StartTimeReader.h"

#include <QDateTime>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QStringList* gpLog = nullptr;

void capture(QtMsgType inType, const QMessageLogContext&, const QString& isText)
{
    if (gpLog)
        gpLog->append(QString::number(int(inType)) + QLatin1Char(' ') + isText);
}

qint64 localMs(const char* ipText)
{
    return QDateTime::fromString(QString::fromLatin1(ipText), QStringLiteral("yyyy-MM-dd hh:mm:ss")).toMSecsSinceEpoch();
}

struct Outcome
{
    int mnResult;
    QByteArray maScript;
    qint32 mnCalls;
    qint32 mnMedia;
    QStringList maLog;
};

// Normal calls keep their record from mid 2020 on and their voice from 2021
// on; marked calls from 2019 and 2020.
const CallListFilter::Limits& limits()
{
    static const CallListFilter::Limits aLimits { localMs("2020-06-01 00:00:00"), localMs("2021-01-01 00:00:00"),
        localMs("2019-01-01 00:00:00"), localMs("2020-01-01 00:00:00") };
    return aLimits;
}

Outcome filter(const QByteArray& iaText, bool ibViaVariants)
{
    const CallListFilter::Limits& aLimits = limits();
    Outcome aOutcome;
    gpLog = &aOutcome.maLog;
    StartTimeReader aStartTimes;
    CallListFilter aFilter(aLimits, aStartTimes);
    aOutcome.mnResult = ibViaVariants ? aFilter.runViaVariants(iaText) : aFilter.run(iaText);
    gpLog = nullptr;
    aOutcome.maScript = aFilter.takeScript();
    aOutcome.mnCalls = aFilter.expiredCalls();
    aOutcome.mnMedia = aFilter.expiredMedia();
    return aOutcome;
}

void mustEqual(bool ibEqual, const char* ipWhat, const QByteArray& iaText)
{
    if (ibEqual)
        return;
    std::fprintf(stderr, "one-pass and variant filter differ in %s for %s\n", ipWhat, iaText.toHex().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bCapture = (qInstallMessageHandler(capture), true);
    Q_UNUSED(bCapture)

    // Call lists start with their array; other texts take the variant way
    // anyway, so the fuzzer's bytes go behind a "[".
    QByteArray aText = QByteArray(reinterpret_cast<const char*>(data), int(size));
    if (!aText.startsWith('['))
        aText.prepend('[');
    const Outcome aFast = filter(aText, false);
    const Outcome aVariants = filter(aText, true);
    mustEqual(aFast.mnResult == aVariants.mnResult, "the result", aText);
    mustEqual(aFast.maScript == aVariants.maScript, "the script", aText);
    mustEqual(aFast.mnCalls == aVariants.mnCalls && aFast.mnMedia == aVariants.mnMedia, "the counters", aText);
    mustEqual(aFast.maLog == aVariants.maLog, "the log", aText);

    // Fed in pieces (of a size the first byte picks), as while the list is
    // decoded, the one pass must read what it reads whole wherever it
    // finishes; where it does not, the whole text is filtered instead.
    const int nPiece = 1 + (size > 0 ? data[0] % 23 : 0);
    const int nNul = aText.indexOf('\0');
    const int nEnd = nNul >= 0 ? nNul : aText.size();
    Outcome aPieces;
    gpLog = &aPieces.maLog;
    StartTimeReader aStartTimes;
    CallListFilter aFilter(limits(), aStartTimes);
    aFilter.begin(aText.constData(), aText.size());
    CallListFilter::Progress nProgress = CallListFilter::Progress::More;
    for (int nAt = nPiece; nAt < nEnd && nProgress == CallListFilter::Progress::More; nAt += nPiece)
        nProgress = aFilter.feed(aText.constData() + nAt, false);
    if (nProgress == CallListFilter::Progress::More)
        nProgress = aFilter.feed(aText.constData() + nEnd, true);
    if (nProgress == CallListFilter::Progress::Done)
        aPieces.mnResult = aFilter.finish();
    gpLog = nullptr;
    if (nProgress == CallListFilter::Progress::Done) {
        mustEqual(aPieces.mnResult == aFast.mnResult, "the result in pieces", aText);
        mustEqual(aFilter.takeScript() == aFast.maScript, "the script in pieces", aText);
        mustEqual(aFilter.expiredCalls() == aFast.mnCalls && aFilter.expiredMedia() == aFast.mnMedia,
                  "the counters in pieces", aText);
        mustEqual(aPieces.maLog == aFast.maLog, "the log in pieces", aText);
    }
    return 0;
}
