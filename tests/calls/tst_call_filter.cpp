// The one-pass call list filter against the variant reader and writer: the
// same script bytes, result, counters and log lines for every text, well
// formed or not.
#include "CallListFilter.h"
#include "StartTimeReader.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QtTest>

#include <optional>

namespace {

QStringList* gpLog = nullptr;

void capture(QtMsgType inType, const QMessageLogContext&, const QString& isText)
{
    gpLog->append(QString::number(int(inType)) + QLatin1Char(' ') + isText);
}

struct Outcome
{
    int mnResult;
    QByteArray maScript;
    qint32 mnCalls;
    qint32 mnMedia;
    QStringList maLog;
    bool mbViaVariants;
};

qint64 localMs(const char* ipText)
{
    return QDateTime::fromString(QString::fromLatin1(ipText), QStringLiteral("yyyy-MM-dd hh:mm:ss")).toMSecsSinceEpoch();
}

// Normal calls keep their record from mid 2020 on and their voice from 2021
// on; marked calls from 2019 and 2020.
CallListFilter::Limits limits()
{
    return { localMs("2020-06-01 00:00:00"), localMs("2021-01-01 00:00:00"), localMs("2019-01-01 00:00:00"),
             localMs("2020-01-01 00:00:00") };
}

Outcome filter(const QByteArray& iaText, bool ibViaVariants)
{
    Outcome aOutcome;
    gpLog = &aOutcome.maLog;
    const QtMessageHandler pPrevious = qInstallMessageHandler(capture);
    StartTimeReader aStartTimes;
    CallListFilter aFilter(limits(), aStartTimes);
    aOutcome.mnResult = ibViaVariants ? aFilter.runViaVariants(iaText) : aFilter.run(iaText);
    qInstallMessageHandler(pPrevious);
    gpLog = nullptr;
    aOutcome.maScript = aFilter.takeScript();
    aOutcome.mnCalls = aFilter.expiredCalls();
    aOutcome.mnMedia = aFilter.expiredMedia();
    aOutcome.mbViaVariants = aFilter.wentViaVariants();
    return aOutcome;
}

// Both ways agree on iaText; the one-pass outcome for further checks.
Outcome compareBoth(const QByteArray& iaText, bool& irbSame)
{
    const Outcome aFast = filter(iaText, false);
    const Outcome aVariants = filter(iaText, true);
    irbSame = false;
    [&] {
        QCOMPARE(aFast.mnResult, aVariants.mnResult);
        QCOMPARE(aFast.maScript, aVariants.maScript);
        QCOMPARE(aFast.mnCalls, aVariants.mnCalls);
        QCOMPARE(aFast.mnMedia, aVariants.mnMedia);
        QCOMPARE(aFast.maLog, aVariants.maLog);
        irbSame = true;
    }();
    if (!irbSame)
        qWarning() << "text:" << iaText.left(2000);
    return aFast;
}

QByteArray record(const QByteArray& iaStart, quint32 inFlags, const QByteArray& iaExtra = QByteArray())
{
    return "{\"id\": 7, \"time_start\": \"" + iaStart + "\", \"flags\": " + QByteArray::number(inFlags)
        + ", \"voice\": \"/app/wave/7.wvc\"" + iaExtra + "}";
}

// A script with something of every kind, for damage at every position.
QByteArray richScript()
{
    return "[" + record("2021-03-04 05:06:07", 24, ", \"note\": \"a\\\"b\\\\c\\/d\\n\\u00e9\\u20ac \xc3\xbc\"")
        + ",\r\n{\"flags\": 4194328, \"time_start\": \"2019-07-01 00:00:00\", \"id\": -3, \"x\": [1, -2, 3.5, "
          "1e5, true, false, null, {\"b\": 1, \"a\": {}}], \"x\": 4294967296}\r\n"
        + record("2018-01-01 10:00:00", 0) + " " + record("2020-03-01 10:00:00", 8, ", \"voice\": 2.5") + "]";
}

QByteArray randomString(QRandomGenerator& irRandom)
{
    static const char* const kPieces[] = { "a", "Z", " ", "\\\"", "\\\\", "\\/", "\\b", "\\f", "\\n", "\\r", "\\t",
        "\\u0041", "\\u00e9", "\\u20AC", "\\u0000", "\\u001f", "\\ud83d\\ude00", "\\ud800", "\\udc00", "\\q",
        "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\xef\xbf\xbf", "\t", "\x01", "\x7f", "2021-03-04 05:06:07",
        "\\\xc3\xa9", "\\\xf0\x9f\x98\x80" };
    QByteArray aText = "\"";
    const int nPieces = int(irRandom.bounded(6));
    for (int i = 0; i < nPieces; ++i)
        aText += kPieces[irRandom.bounded(int(sizeof kPieces / sizeof *kPieces))];
    return aText + "\"";
}

QByteArray randomNumber(QRandomGenerator& irRandom)
{
    static const char* const kNumbers[] = { "0", "-0", "007", "1", "-1", "2147483647", "2147483648", "-2147483648",
        "-2147483649", "4294967295", "4294967296", "4294967320", "9223372036854775807", "9223372036854775808",
        "-9223372036854775808", "-9223372036854775809", "18446744073709551615", "18446744073709551616", "1e5", "1E5",
        "1.5e3", "1.", "-.5", "1.2.3", "1-2", "1+2", "0.1", "2.0", "1.0e20", "1.0e19", "1.0e21", "1.0e-5", "1.0e-4",
        "4.9e-324", "1.0e-999", "-1.0e-999", "-0.0", "1.5e300", "1.0e999", "-", "--1", "0.30000000000000004",
        "123456789012345678901234567890.5", "9.5367431640625e-07" };
    if (irRandom.bounded(3) == 0)
        return QByteArray::number(irRandom.generateDouble() * 1000, 'f', int(irRandom.bounded(8)));
    return kNumbers[irRandom.bounded(int(sizeof kNumbers / sizeof *kNumbers))];
}

QByteArray randomValue(QRandomGenerator& irRandom, int inDepth);

QByteArray randomKey(QRandomGenerator& irRandom)
{
    static const char* const kKeys[] = { "\"id\"", "\"time_start\"", "\"flags\"", "\"voice\"", "\"note\"", "\"a\"",
        "\"zeta\"", "\"voicd\"", "\"voicea\"", "\"\"", "\"fl\\u0061gs\"", "\"\xc3\xa9\"", "\"\xef\xbc\x81\"",
        "\"\xf0\x9f\x98\x80\"", "\"tab\tkey\"" };
    // Mostly plain keys, so that most records stay on the one-pass way.
    return kKeys[irRandom.bounded(irRandom.bounded(8) == 0 ? 15 : 9)];
}

QByteArray randomObject(QRandomGenerator& irRandom, int inDepth)
{
    QByteArray aText = "{";
    const int nMembers = int(irRandom.bounded(6));
    for (int i = 0; i < nMembers; ++i) {
        if (i > 0 && irRandom.bounded(8) != 0)
            aText += ", ";
        aText += randomKey(irRandom) + ": " + randomValue(irRandom, inDepth + 1);
    }
    return aText + "}";
}

QByteArray randomValue(QRandomGenerator& irRandom, int inDepth)
{
    switch (irRandom.bounded(inDepth < 3 ? 8 : 6)) {
    case 0:
    case 1:
        return randomString(irRandom);
    case 2:
    case 3:
        return randomNumber(irRandom);
    case 4:
        return QByteArray(irRandom.bounded(2) ? "true" : irRandom.bounded(2) ? "false" : "null");
    case 5:
        return "\"20" + QByteArray::number(17 + irRandom.bounded(6)) + "-0" + QByteArray::number(1 + irRandom.bounded(9))
            + "-1" + QByteArray::number(irRandom.bounded(10)) + " 1" + QByteArray::number(irRandom.bounded(10))
            + ":00:00\"";
    case 6:
        return randomObject(irRandom, inDepth);
    default: {
        QByteArray aText = "[";
        const int nElements = int(irRandom.bounded(4));
        for (int i = 0; i < nElements; ++i)
            aText += (i ? ", " : "") + randomValue(irRandom, inDepth + 1);
        return aText + "]";
    }
    }
}

// A record with the filter's fields, more or less well typed, in any order.
QByteArray randomRecord(QRandomGenerator& irRandom)
{
    QByteArrayList aMembers;
    aMembers << "\"id\": " + (irRandom.bounded(6) ? QByteArray::number(irRandom.bounded(100000)) : randomValue(irRandom, 2));
    if (irRandom.bounded(12))
        aMembers << "\"time_start\": \"20" + QByteArray::number(17 + irRandom.bounded(6)) + "-0"
                + QByteArray::number(1 + irRandom.bounded(9)) + "-1" + QByteArray::number(irRandom.bounded(10)) + " 1"
                + QByteArray::number(irRandom.bounded(10)) + ":00:00" + (irRandom.bounded(5) ? "" : ".123") + "\"";
    static const quint32 kFlags[] = { 0, 8, 16, 24, 0x400000, 0x400008, 0x400018 };
    if (irRandom.bounded(10))
        aMembers << "\"flags\": "
                + (irRandom.bounded(8) ? QByteArray::number(kFlags[irRandom.bounded(7)]) : randomValue(irRandom, 2));
    if (irRandom.bounded(5))
        aMembers << "\"voice\": " + (irRandom.bounded(6) ? QByteArray("\"/app/wave/x.wvc\"") : randomValue(irRandom, 2));
    const int nExtra = int(irRandom.bounded(5));
    for (int i = 0; i < nExtra; ++i)
        aMembers << randomKey(irRandom) + ": " + randomValue(irRandom, 2);
    std::shuffle(aMembers.begin(), aMembers.end(), irRandom);
    return "{" + aMembers.join(", ") + "}";
}

// The one pass fed in pieces ending at iaEnds (offsets into iaText, which
// starts with "["; each cut at the first NUL as the whole text is), the last
// piece ending where run ends. Null when the pieces failed: the text is then
// run whole instead.
std::optional<Outcome> filterInPieces(const QByteArray& iaText, const QVector<int>& iaEnds)
{
    Outcome aOutcome;
    gpLog = &aOutcome.maLog;
    const QtMessageHandler pPrevious = qInstallMessageHandler(capture);
    StartTimeReader aStartTimes;
    CallListFilter aFilter(limits(), aStartTimes);
    const char* pText = iaText.constData();
    const int nNul = iaText.indexOf('\0');
    const int nEnd = nNul >= 0 ? nNul : iaText.size();
    aFilter.begin(pText, iaText.size());
    CallListFilter::Progress nProgress = CallListFilter::Progress::More;
    for (int i = 0; i < iaEnds.size() && nProgress == CallListFilter::Progress::More; ++i)
        nProgress = aFilter.feed(pText + std::min(iaEnds[i], nEnd), false);
    if (nProgress == CallListFilter::Progress::More)
        nProgress = aFilter.feed(pText + nEnd, true);
    if (nProgress == CallListFilter::Progress::Done)
        aOutcome.mnResult = aFilter.finish();
    qInstallMessageHandler(pPrevious);
    gpLog = nullptr;
    if (nProgress != CallListFilter::Progress::Done)
        return std::nullopt;
    aOutcome.maScript = aFilter.takeScript();
    aOutcome.mnCalls = aFilter.expiredCalls();
    aOutcome.mnMedia = aFilter.expiredMedia();
    aOutcome.mbViaVariants = false;
    return aOutcome;
}

// In pieces and whole, the one pass agrees on iaText wherever the pieces
// finish; a text the one pass reads without the variant way must finish.
bool samePieces(const QByteArray& iaText, const QVector<int>& iaEnds)
{
    if (!iaText.startsWith('['))
        return true;
    const Outcome aWhole = filter(iaText, false);
    const std::optional<Outcome> aPieces = filterInPieces(iaText, iaEnds);
    if (!aPieces)
        return aWhole.mnResult != 0 || aWhole.mbViaVariants;
    return aPieces->mnResult == aWhole.mnResult && aPieces->maScript == aWhole.maScript
           && aPieces->mnCalls == aWhole.mnCalls && aPieces->mnMedia == aWhole.mnMedia && aPieces->maLog == aWhole.maLog
           && !aWhole.mbViaVariants;
}

} // namespace

class TestCallFilter : public QObject
{
    Q_OBJECT
private slots:
    void sameAsVariants_data()
    {
        QTest::addColumn<QByteArray>("aText");
        QTest::addColumn<QByteArray>("aScript"); // expected script, when worth stating; empty for a failure

        QTest::newRow("expiry of calls and voices")
            << "[" + record("2021-03-04 05:06:07", 24) + "," + record("2020-03-04 05:06:07", 24) + ","
                + record("2020-07-04 05:06:07", 24) + "," + record("2019-07-04 05:06:07", 0x400018) + ","
                + record("2018-07-04 05:06:07", 0x400018) + "," + record("2020-07-04 05:06:07", 16) + "]"
            << QByteArray("var gCalls=[ { \"flags\" : 24, \"id\" : 7, \"time_start\" : \"2021-03-04 05:06:07\", "
                          "\"voice\" : \"/app/wave/7.wvc\" }, { \"flags\" : 0, \"id\" : 7, \"time_start\" : "
                          "\"2020-07-04 05:06:07\", \"voice\" : \"\" }, { \"flags\" : 4194304, \"id\" : 7, "
                          "\"time_start\" : \"2019-07-04 05:06:07\", \"voice\" : \"\" }, { \"flags\" : 16, \"id\" : 7, "
                          "\"time_start\" : \"2020-07-04 05:06:07\", \"voice\" : \"/app/wave/7.wvc\" } ];");
        QTest::newRow("escapes") << "[" + record("2021-03-04 05:06:07", 0,
                                         ", \"n\": \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u0041\\u00e9\\u20ac\\q\\u0022\\u005C\"")
                                         + "]"
                                 << QByteArray();
        QTest::newRow("raw control characters")
            << "[" + record("2021-03-04 05:06:07", 0, ", \"n\": \"\x01\x08\x09\x0c\x0a\x0d\x7f\", \"k\x09\": 1") + "]"
            << QByteArray();
        QTest::newRow("surrogates") << "[" + record("2021-03-04 05:06:07", 0,
                                            ", \"a\": \"\\ud83d\\ude00\", \"b\": \"\\ud800x\", \"c\": \"\\udc00\", "
                                            "\"d\": \"\\ud83d\\q\\ude00\", \"e\": \"\\\xf0\x9f\x98\x80\", "
                                            "\"f\": \"\\ud83d\\\xf0\x9f\x98\x80\", \"g\": \"\\\xc3\xa9\"")
                + "]"
                                    << QByteArray();
        QTest::newRow("raw non-ASCII") << "[" + record("2021-03-04 05:06:07", 0,
                                              ", \"n\": \"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xef\xbf\xbf\xef\xbb\xbf\"")
                + "]"
                                       << QByteArray();
        for (const char* pBad : { "\xff", "\xc3(", "\xe2\x82", "\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80" }) {
            QTest::newRow(qPrintable("invalid UTF-8 in a value " + QByteArray(pBad).toHex()))
                << "[" + record("2021-03-04 05:06:07", 0, ", \"n\": \"a" + QByteArray(pBad) + "b\"") + "]"
                << QByteArray();
            QTest::newRow(qPrintable("invalid UTF-8 in a key " + QByteArray(pBad).toHex()))
                << "[" + record("2021-03-04 05:06:07", 0, ", \"" + QByteArray(pBad) + "\": 1") + "]" << QByteArray();
            QTest::newRow(qPrintable("invalid UTF-8 between values " + QByteArray(pBad).toHex()))
                << "[" + record("2021-03-04 05:06:07", 0) + QByteArray(pBad) + "]" << QByteArray();
            QTest::newRow(qPrintable("invalid UTF-8 after the array " + QByteArray(pBad).toHex()))
                << "[" + record("2021-03-04 05:06:07", 0) + "] \"" + QByteArray(pBad) << QByteArray();
        }
        QTest::newRow("invalid UTF-8 and an unwritable value")
            << "[" + record("2021-03-04 05:06:07", 0, ", \"n\xff\": [1.0e999]") + "]" << QByteArray();
        QTest::newRow("keys needing their decoded form")
            << "[" + record("2021-03-04 05:06:07", 24, ", \"fl\\u0061gs\": 0, \"\xef\xbc\x81\": 1, \"\xf0\x9f\x98\x80\": 2, \"\xc3\xa9\": 3")
                + "]"
            << QByteArray();
        QTest::newRow("repeated keys")
            << QByteArray("[{\"id\": 1, \"time_start\": \"x\", \"flags\": 0, \"flags\": 24, \"time_start\": "
                          "\"2020-07-04 05:06:07\", \"voice\": 1.0e999, \"voice\": \"v\", \"n\": {\"b\": 1, "
                          "\"b\": [2], \"a\": 1.0e999, \"a\": 0}}]")
            << QByteArray("var gCalls=[ { \"flags\" : 0, \"id\" : 1, \"n\" : { \"a\" : 0, \"b\" : [ 2 ] }, "
                          "\"time_start\" : \"2020-07-04 05:06:07\", \"voice\" : \"\" } ];");
        QTest::newRow("unwritable value in a kept record") << "[" + record("2021-03-04 05:06:07", 0, ", \"d\": 1.0e999") + "]"
                                                           << QByteArray();
        QTest::newRow("unwritable values that are never written")
            << "[" + record("2018-03-04 05:06:07", 0, ", \"d\": 1.0e999") + ", "
                + record("2020-07-04 05:06:07", 24, ", \"voice\": -1.0e999") + "]"
            << QByteArray();
        QByteArray aNumbers;
        for (const char* pNumber : { "0", "-0", "00", "2147483647", "2147483648", "-2147483648", "-2147483649",
                 "4294967295", "4294967296", "9223372036854775807", "9223372036854775808", "-9223372036854775808",
                 "-9223372036854775809", "18446744073709551615", "18446744073709551616", "1e5", "1E5", "1.5e3", "1.",
                 "-.5", "1.2.3", "1-2", "1+2", "0.1", "2.0", "1.0e20", "1.0e19", "1.0e21", "1.0e-5", "1.0e-4",
                 "4.9e-324", "1.0e-999", "-1.0e-999", "-0.0", "1.5e300", "-", "--1", "0.5e", "1.5e+", "00.5" })
            aNumbers += QByteArray(aNumbers.isEmpty() ? "" : ", ") + pNumber;
        QTest::newRow("numbers at every typing boundary")
            << "[" + record("2021-03-04 05:06:07", 0, ", \"n\": [" + aNumbers + "]") + "]" << QByteArray();
        for (const char* pFlags : { "\"24\"", "\" 24 \"", "-1", "24.0", "24.5", "true", "null", "[24]", "{}",
                 "4294967320", "18446744073709551640", "\"0x18\"", "1e3", "-24" })
            QTest::newRow(qPrintable(QByteArray("flags ") + pFlags))
                << "[{\"id\": 5, \"time_start\": \"2020-07-04 05:06:07\", \"flags\": " + QByteArray(pFlags)
                    + ", \"voice\": \"v\"}]"
                << QByteArray();
        for (const char* pStart : { "20200704", "null", "true", "[]", "\"2020-07-04 05:06:07.5\"", "\"2020-07-04 05:06\"",
                 "\"04-07-2020 05:06:07\"", "\"2020\\u002d07-04 05:06:07\"", "\"2020-07-04 05:06:07\xc3\xa9\"",
                 "\"2020-07-04 05:06:0\xc3\xa9\"", "\"2020-02-30 05:06:07\"", "\"\"" })
            QTest::newRow(qPrintable(QByteArray("time_start ") + pStart))
                << "[{\"id\": 5, \"time_start\": " + QByteArray(pStart) + ", \"flags\": 0}]" << QByteArray();
        for (const char* pId : { "1.5", "\"7\"", "-5", "4294967297", "18446744073709551617", "-9223372036854775809",
                 "null", "true", "[1]", "2147483648" })
            QTest::newRow(qPrintable(QByteArray("id ") + pId))
                << "[{\"id\": " + QByteArray(pId) + ", \"time_start\": \"2018-07-04 05:06:07\"}, {\"id\": "
                    + QByteArray(pId) + ", \"time_start\": \"2020-07-04 05:06:07\", \"flags\": 8}]"
                << QByteArray();
        QTest::newRow("no id") << QByteArray("[{\"time_start\": \"2018-07-04 05:06:07\"}]") << QByteArray("var gCalls=[  ];");
        QTest::newRow("nested values")
            << "[" + record("2021-03-04 05:06:07", 0,
                         ", \"a\": {\"z\": 1, \"b\": [1, {\"y\": 2, \"x\": 3}, [], {}], \"a\": {}}, \"e\": [[[]]]")
                + "]"
            << QByteArray("var gCalls=[ { \"a\" : { \"a\" : {  }, \"b\" : [ 1, { \"x\" : 3, \"y\" : 2 }, [  ], {  } ], "
                          "\"z\" : 1 }, \"e\" : [ [ [  ] ] ], \"flags\" : 0, \"id\" : 7, \"time_start\" : "
                          "\"2021-03-04 05:06:07\", \"voice\" : \"/app/wave/7.wvc\" } ];");
        QTest::newRow("optional and stray commas")
            << "[,," + record("2021-03-04 05:06:07", 0) + " " + record("2021-03-04 05:06:07", 0) + ",,]" << QByteArray();
        QTest::newRow("members without commas")
            << QByteArray("[{\"time_start\": \"2021-03-04 05:06:07\" \"flags\": 0,, \"b\": [1 2 ,3,]}]") << QByteArray();
        QTest::newRow("elements that are no objects")
            << QByteArray("[1, \"s\", [], null, true, [[{\"time_start\": \"2021-03-04 05:06:07\"}]], {}]") << QByteArray();
        QTest::newRow("words run together") << QByteArray("[{\"a\": [truefalse null1]}]") << QByteArray();
        QTest::newRow("text after the array") << "[" + record("2021-03-04 05:06:07", 0) + "] garbage ]]" << QByteArray();
        QTest::newRow("voice added in its place")
            << QByteArray("[{\"time_start\": \"2020-07-04 05:06:07\", \"flags\": 24, \"a\": 1, \"voicd\": 2, "
                          "\"voicea\": 3, \"zeta\": 4}, {\"time_start\": \"2020-07-04 05:06:07\", \"flags\": 24}, "
                          "{\"time_start\": \"2020-07-04 05:06:07\", \"flags\": 24, \"zz\": 0}]")
            << QByteArray("var gCalls=[ { \"a\" : 1, \"flags\" : 0, \"time_start\" : \"2020-07-04 05:06:07\", "
                          "\"voicd\" : 2, \"voice\" : \"\", \"voicea\" : 3, \"zeta\" : 4 }, { \"flags\" : 0, "
                          "\"time_start\" : \"2020-07-04 05:06:07\", \"voice\" : \"\" }, { \"flags\" : 0, "
                          "\"time_start\" : \"2020-07-04 05:06:07\", \"voice\" : \"\", \"zz\" : 0 } ];");
        QTest::newRow("empty array") << QByteArray("[]") << QByteArray("var gCalls=[  ];");
        QTest::newRow("white space everywhere") << QByteArray("[ \t\r\n{ \"time_start\"\t:\r\"2021-03-04 05:06:07\" }\n]")
                                                << QByteArray();
        QTest::newRow("511 levels") << "[{\"time_start\": \"2021-03-04 05:06:07\", \"d\": " + QByteArray(509, '[')
                + QByteArray(509, ']') + "}]"
                                    << QByteArray();
        QTest::newRow("512 levels") << "[{\"time_start\": \"2021-03-04 05:06:07\", \"d\": " + QByteArray(510, '[')
                + QByteArray(510, ']') + "}]"
                                    << QByteArray();
        QTest::newRow("value at 512 levels") << "[{\"time_start\": \"2021-03-04 05:06:07\", \"d\": " + QByteArray(510, '[')
                + "1" + QByteArray(510, ']') + "}]"
                                             << QByteArray();
        QTest::newRow("NUL ends the text") << "[" + record("2021-03-04 05:06:07", 0) + "]" + QByteArray(1, '\0') + "x"
                                           << QByteArray();
        QTest::newRow("NUL inside a string") << "[{\"n\": \"a" + QByteArray(1, '\0') + "b\"}]" << QByteArray();
        QTest::newRow("escaped NUL kept") << "[" + record("2021-03-04 05:06:07", 0, ", \"n\": \"a\\u0000b\"") + "]"
                                          << QByteArray();
        for (const char* pBroken : { "[", "[{", "[{\"id\"", "[{\"id\":}]", "[{\"id\" 1}]", "[{1:2}]", "[tru]", "[nul]",
                 "[\"abc", "[\"\\u12\"]", "[\"\\", "[{\"a\":1,}", "[:]", "[{\"a\":1]}", "[}", "[{]", "[\"\\u+041\"]",
                 "[{\"a\" : \"\\ud800\\", "[\x01]", "[\xc3\xa9]" })
            QTest::newRow(qPrintable(QByteArray("malformed ") + pBroken)) << QByteArray(pBroken) << QByteArray();
        QTest::newRow("no array at all") << QByteArray("{\"a\": 1}") << QByteArray("var gCalls=[  ];");
        QTest::newRow("empty text") << QByteArray("") << QByteArray();
        QTest::newRow("null text") << QByteArray() << QByteArray("var gCalls=[  ];");
    }
    void sameAsVariants()
    {
        QFETCH(QByteArray, aText);
        QFETCH(QByteArray, aScript);
        bool bSame = false;
        const Outcome aOutcome = compareBoth(aText, bSame);
        QVERIFY(bSame);
        // Both paths agreeing is not enough for broken text: both must refuse it.
        if (QByteArray(QTest::currentDataTag()).startsWith("malformed "))
            QVERIFY2(aOutcome.mnResult != 0, aOutcome.maScript.constData());
        if (!aScript.isEmpty())
            QCOMPARE(aOutcome.maScript, aScript);
    }

    // Fed in two pieces split at every byte, and a byte at a time, the one
    // pass reads what it reads whole.
    void inPieces_data() { sameAsVariants_data(); }
    void inPieces()
    {
        QFETCH(QByteArray, aText);
        QVector<int> aBytes;
        for (int i = 1; i <= aText.size(); ++i) {
            QVERIFY2(samePieces(aText, {i}), qPrintable(QStringLiteral("split at %1").arg(i)));
            aBytes.append(i);
        }
        QVERIFY(samePieces(aText, aBytes));
    }
    void richScriptInPieces()
    {
        const QByteArray aScript = richScript();
        QVector<int> aBytes;
        for (int i = 1; i <= aScript.size(); ++i) {
            QVERIFY2(samePieces(aScript, {i}), qPrintable(QStringLiteral("split at %1").arg(i)));
            aBytes.append(i);
        }
        QVERIFY(samePieces(aScript, aBytes));
        QVERIFY(filterInPieces(aScript, aBytes)); // read without falling back
    }

    // Cut or damaged at every byte, a script must fail or succeed the same
    // way on both paths.
    void damageAtEveryPosition()
    {
        const QByteArray aScript = richScript();
        bool bSame = false;
        const Outcome aWhole = compareBoth(aScript, bSame);
        QVERIFY(bSame);
        QCOMPARE(aWhole.mnResult, 0);
        QVERIFY(!aWhole.mbViaVariants);
        static const char kDamage[] = { '"', '\\', '{', '}', '[', ']', ',', ':', 'x', '1', '.', '\0', '\xff', ' ', 'e' };
        for (int i = 0; i <= aScript.size(); ++i) {
            compareBoth(aScript.left(i), bSame);
            QVERIFY2(bSame, qPrintable(QStringLiteral("cut at %1").arg(i)));
            if (i == aScript.size())
                break;
            for (char cDamage : kDamage) {
                QByteArray aDamaged = aScript;
                aDamaged[i] = cDamage;
                compareBoth(aDamaged, bSame);
                QVERIFY2(bSame, qPrintable(QStringLiteral("byte %1 set to %2").arg(i).arg(int(cDamage))));
                compareBoth(aScript.left(i) + cDamage + aScript.mid(i), bSame);
                QVERIFY2(bSame, qPrintable(QStringLiteral("byte %1 inserted at %2").arg(int(cDamage)).arg(i)));
            }
        }
    }

    void randomRecords()
    {
        QRandomGenerator aRandom(20261210);
        int nOnePass = 0;
        for (int nScript = 0; nScript < 400; ++nScript) {
            QByteArray aText = "[";
            const int nRecords = int(aRandom.bounded(12));
            for (int i = 0; i < nRecords; ++i)
                aText += (i ? ",\r\n" : "") + (aRandom.bounded(20) ? randomRecord(aRandom) : randomValue(aRandom, 1));
            aText += "]";
            bool bSame = false;
            const Outcome aOutcome = compareBoth(aText, bSame);
            QVERIFY(bSame);
            nOnePass += aOutcome.mbViaVariants ? 0 : 1;
            QVector<int> aEnds;
            for (int nAt = int(aRandom.bounded(40)) + 1; nAt < aText.size(); nAt += int(aRandom.bounded(40)) + 1)
                aEnds.append(nAt);
            QVERIFY2(samePieces(aText, aEnds), aText.constData());
        }
        // Most generated texts are valid UTF-8 and must not need the variant way.
        QVERIFY(nOnePass > 200);
    }
};

QTEST_GUILESS_MAIN(TestCallFilter)
#include "tst_call_filter.moc"
