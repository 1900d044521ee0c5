#pragma once
// The retention filter over the text of a call list: removes the calls whose
// storage time has run out, takes the voice from calls whose voice storage
// time has run out, and writes the kept records as the JSON writer does.
#include "JsonRewriter.h"

#include <QByteArray>
#include <QVariant>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class StartTimeReader;

class CallListFilter
{
public:
    // Limits in milliseconds since the epoch; none removes nothing.
    struct Limits
    {
        std::optional<qint64> mnNormalCdr;
        std::optional<qint64> mnNormalVoice;
        std::optional<qint64> mnMarkedCdr;
        std::optional<qint64> mnMarkedVoice;
    };

    CallListFilter(const Limits& irLimits, StartTimeReader& irStartTimes);

    // Filters the calls array iaText (the calls script from its first "[",
    // without its final ";"; UTF-8). Returns 0 with the script
    // "var gCalls=" + JSON + ";" ready, or -1 after logging why ("JSON
    // parsing error" with the text, or "Call list could not be written").
    // The log lines of removed calls and voices come before the result's own.
    // One pass over the text, without a variant per record; the rare texts
    // whose decoding only the variant reader settles (invalid UTF-8) take
    // the variant way, with the same result.
    int run(const QByteArray& iaText);
    // The same through the variant reader and writer, record by record.
    int runViaVariants(const QByteArray& iaText);

    // The one pass of run for a text that arrives a piece at a time, so
    // that filtering overlaps decoding. begin takes the text's "[" (the
    // bytes behind it stay in place while they arrive; inSizeHint sizes the
    // script); feed is called each time more has arrived, with the end of
    // what has, the last time with the end run would use (first NUL, final
    // ";" and blanks taken off) and ibLast. An element cut off by the end of
    // a piece is read again from its start with the next one. After Done,
    // finish gives run's result; after Failed the text is for run, whose
    // outcome may differ (variant way, error report).
    enum class Progress { More, Done, Failed };
    void begin(const char* ipOpen, qint64 inSizeHint);
    Progress feed(const char* ipEnd, bool ibLast);
    int finish();
    // Where the next element of a pass fed in pieces starts: the text
    // before it is not read again.
    const char* position() const;

    // One record as the variant path judges it: false when it is removed;
    // the flags and voice of a call whose voice expired are changed. The log
    // lines wait for flushLog.
    bool filterRecord(QVariantMap& irRecord);
    void flushLog();

    QByteArray takeScript() { return std::move(maScript); }
    qint32 expiredCalls() const { return mnExpiredCalls; }
    qint32 expiredMedia() const { return mnExpiredMedia; }
    // Whether the last run took the variant way for the whole text, and for
    // how many single records (keys with escapes, unusual field types).
    bool wentViaVariants() const { return mbViaVariants; }
    int recordsViaVariants() const { return mnRecordsViaVariants; }

private:
    enum class Verdict { Keep, DropCall, DropVoice };
    enum class Event : quint8 { Unreadable, NormalCall, MarkedCall, NormalVoice, MarkedVoice };
    struct LogLine
    {
        Event mnEvent;
        int mnId;
    };

    Verdict judge(qint64 inStartMs, quint32 inFlags) const;
    void note(Verdict inVerdict, quint32 inFlags, int inId);
    void noteUnreadable();
    int fail(const QByteArray& iaText);
    bool record(Json::Rewriter& irReader);
    void recordViaVariants(const char* ipBegin, const char* ipEnd);
    void appendRecord(const char* ipText, size_t inSize);

    Limits maLimits;
    StartTimeReader& mrStartTimes;
    QByteArray maScript;
    std::string msRecordValues; // the values of the record being read, as written
    std::string msRecord;       // the record being written
    std::string msIgnored;      // values that are no record
    std::unique_ptr<Json::Rewriter> mpReader; // of the pass under way
    std::vector<LogLine> maLog;
    qint32 mnExpiredCalls = 0;
    qint32 mnExpiredMedia = 0;
    bool mbFirstKept = true;
    bool mbUnwritable = false;
    bool mbViaVariants = false;
    int mnRecordsViaVariants = 0;
};
