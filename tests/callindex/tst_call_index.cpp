// The native call index against a plain model of the page's list written
// here (search, filters, sort), on packages from our own writer; the
// scripts it must leave to the page; retention; the channel's methods.
#include "CallIndex.h"
#include "CallIndexChannel.h"
#include "CallViews.h"
#include "Package.h"
#include "PackageWriter.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstring>

namespace {

const QString csCalls = QStringLiteral("/app/js/data/calls.js");
constexpr int cnCalls = 10000;

// The page's list, written out plainly over parsed calls.
class Model
{
public:
    explicit Model(const QJsonArray& iaCalls) : maCalls(iaCalls) {}

    QMap<QString, QString> maLabels {{"in", "Incoming"}, {"out", "Outgoing"}, {"internal", "Internal"}};
    QHash<int, int> maNotes; // call -> count

    static QString jsText(const QJsonValue& v)
    {
        switch (v.type()) {
        case QJsonValue::Bool: return v.toBool() ? "true" : "false";
        case QJsonValue::Double: {
            const double f = v.toDouble();
            if (f == 0)
                return "0";
            return QString::number(f, 'g', QLocale::FloatingPointShortest);
        }
        case QJsonValue::String: return v.toString();
        case QJsonValue::Object: return "[object Object]";
        case QJsonValue::Array: {
            QStringList a;
            for (const QJsonValue& e : v.toArray())
                a << (e.isNull() ? QString() : jsText(e));
            return a.join(',');
        }
        default: return QString();
        }
    }
    static QString kind(const QJsonValue& v)
    {
        const QString s = jsText(v).toLower();
        if (s == "in" || s == "inbound" || s == "incoming" || s == "i")
            return "in";
        if (s == "out" || s == "outbound" || s == "outgoing" || s == "o")
            return "out";
        if (s == "internal" || s == "int")
            return "internal";
        return s;
    }
    QString label(const QJsonValue& v) const
    {
        const QString k = kind(v);
        return maLabels.contains(k) ? maLabels[k] : jsText(v);
    }

    bool matches(const QJsonObject& o, const QStringList& iaTerms) const
    {
        QStringList aTexts;
        for (auto it = o.begin(); it != o.end(); ++it) {
            if (it->isNull() || it->isObject() || it->isArray())
                continue;
            const QString s = jsText(*it);
            aTexts << s.toLower();
            static const QRegularExpression aDigit("[0-9]");
            static const QRegularExpression aSeparators("[\\s\\-().\\/]");
            if (s.contains(aDigit))
                aTexts << QString(s).remove(aSeparators).toLower();
        }
        if (o.contains("direction"))
            aTexts << label(o["direction"]).toLower();
        for (const QString& t : iaTerms)
            if (std::none_of(aTexts.begin(), aTexts.end(), [&](const QString& s) { return s.contains(t); }))
                return false;
        return true;
    }

    static bool recording(const QJsonObject& o)
    {
        const QJsonValue v = o["voice"];
        const bool bVoice = v.isObject() || v.isArray() || (v.isBool() && v.toBool())
                            || (v.isString() && !v.toString().isEmpty()) || (v.isDouble() && v.toDouble() != 0);
        return bVoice && o["flags"].isDouble() && (flags(o) & 0x18) == 0x18;
    }
    static quint32 flags(const QJsonObject& o)
    {
        const double f = std::trunc(o["flags"].toDouble());
        return quint32(qint64(std::fmod(f, 4294967296.0) + (f < 0 ? 4294967296.0 : 0)));
    }
    static bool marked(const QJsonObject& o) { return o["flags"].isDouble() && (flags(o) & 0x400000); }
    static QString day(const QJsonObject& o) { return o["time_start"].isString() ? o["time_start"].toString().left(10) : ""; }

    // The page's key: a number, or a text.
    QVariant sortKey(const QJsonObject& o, int i, const QString& c) const
    {
        if (c == "__status")
            return double(recording(o) * 2 + marked(o));
        if (c == "__notes")
            return double(maNotes.value(i));
        const QJsonValue v = o[c];
        if (v.isNull() || v.isUndefined())
            return QString();
        if (c == "direction")
            return label(v).toLower();
        return v.isDouble() ? QVariant(v.toDouble()) : QVariant(jsText(v).toLower());
    }
    static double startKey(const QJsonObject& o)
    {
        static const QRegularExpression re("^\\d{4}-(0[1-9]|1[0-2])-\\d\\d \\d\\d:\\d\\d:\\d\\d");
        const QString s = o["time_start"].toString();
        if (!o["time_start"].isString() || !re.match(s).hasMatch())
            return 0;
        return double(QDateTime::fromString(s.left(19), "yyyy-MM-dd hh:mm:ss").toSecsSinceEpoch());
    }

    QVector<int> view(const QVariantMap& q) const
    {
        const QString sColumn = q.value("sortColumn", "time_start").toString();
        QVector<int> aOrder(maCalls.size());
        std::iota(aOrder.begin(), aOrder.end(), 0);
        if (sColumn == "time_start") {
            QVector<double> aKeys;
            for (const QJsonValue& v : maCalls)
                aKeys << startKey(v.toObject());
            std::stable_sort(aOrder.begin(), aOrder.end(), [&](int a, int b) { return aKeys[a] < aKeys[b]; });
        } else {
            QVector<QVariant> aKeys;
            bool bNumeric = true;
            for (int i = 0; i < maCalls.size(); ++i) {
                aKeys << sortKey(maCalls[i].toObject(), i, sColumn);
                if (aKeys.last().type() == QVariant::String && !aKeys.last().toString().isEmpty())
                    bNumeric = false;
            }
            std::stable_sort(aOrder.begin(), aOrder.end(), [&](int a, int b) {
                const QVariant& x = aKeys[a];
                const QVariant& y = aKeys[b];
                if (bNumeric) {
                    const double fx = x.type() == QVariant::String ? -INFINITY : x.toDouble();
                    const double fy = y.type() == QVariant::String ? -INFINITY : y.toDouble();
                    return fx < fy;
                }
                auto text = [](const QVariant& k) { return k.type() == QVariant::String ? k.toString() : jsText(k.toDouble()); };
                return text(x) < text(y);
            });
        }
        if (q.value("sortDescending").toBool())
            std::reverse(aOrder.begin(), aOrder.end());
        QStringList aTerms;
        for (const QVariant& t : q.value("terms").toList())
            aTerms << t.toString();
        const QString sFrom = q.value("from").toString(), sTo = q.value("to").toString();
        const QString sDirection = q.value("direction").toString();
        QVector<int> aView;
        for (int i : aOrder) {
            const QJsonObject o = maCalls[i].toObject();
            if (!aTerms.isEmpty() && !matches(o, aTerms))
                continue;
            if ((q.value("recordingOnly").toBool() && !recording(o)) || (q.value("markedOnly").toBool() && !marked(o))
                || (q.value("notesOnly").toBool() && !maNotes.value(i)))
                continue;
            if ((!sFrom.isEmpty() && day(o) < sFrom) || (!sTo.isEmpty() && (day(o).isEmpty() || day(o) > sTo)))
                continue;
            if (!sDirection.isEmpty() && kind(o["direction"]) != sDirection)
                continue;
            aView << i;
        }
        return aView;
    }

private:
    QJsonArray maCalls;
};

// Calls with ties in every column, letters beyond ASCII (some whose
// lowercase differs), missing fields, numbers and texts in one column,
// numbers written as 1.50, 1e21 and -0, booleans, objects and arrays.
QByteArray generatedScript(int inCalls)
{
    QRandomGenerator r(26);
    auto pick = [&](const QList<QByteArray>& a) { return a[int(r.bounded(a.size()))]; };
    const QList<QByteArray> aDirections {"\"in\"", "\"out\"", "\"Inbound\"", "\"INT\"", "\"internal\"", "\"o\"",
        "\"Zentrale\"", "\"\xc3\x84rger\"", "null", "5", "", ""};
    const QList<QByteArray> aAgents {"\"Agent A\"", "\"agent a\"", "\"\xc3\x96laf\"", "\"\xc3\x89MILE\"",
        "\"\xc4\xb0pek\"", "\"\xce\xa3\xce\xbf\xcf\x86\xce\xaf\xce\xb1\"", "\"Zo\\u00eb\"", "\"\xf0\x9f\x98\x80 smile\"",
        "\"\xef\xbc\xa1 wide\"", "\"B\"", ""};
    const QList<QByteArray> aDurations {"30", "1.50", "1.5", "1e21", "-0", "0", "-2", "120", "null", ""};
    const QList<QByteArray> aMixed {"3", "\"3\"", "\"abc\"", "10", "\"\"", "true", "false", "{\"a\":1}",
        "[1,[2,null],\"x\"]", "2.5", ""};
    const QList<QByteArray> aFlags {"24", "4194328", "0", "-1", "1.5", "\"24\"", "4194304", ""};
    const QList<QByteArray> aVoices {"\"c.wvc\"", "\"\"", "0", "1", "true", "false", "null", "{}", ""};
    QByteArray s = "var gCalls = [";
    for (int i = 0; i < inCalls; ++i) {
        QByteArrayList m;
        m << "\"id\":" + (i % 97 == 5 ? QByteArray("\"A-") + QByteArray::number(i) + "\"" : QByteArray::number(i + 1));
        const int nDay = int(r.bounded(6));
        const int nSecond = int(r.bounded(3));
        if (i % 53 == 7)
            m << "\"time_start\":\"2026-13-01 00:00:00\"";
        else if (i % 71 == 3)
            m << "\"time_start\":12";
        else if (i % 89 != 1)
            m << QString("\"time_start\":\"2026-12-%1 10:00:0%2\"").arg(5 + nDay, 2, 10, QChar('0')).arg(nSecond).toUtf8();
        m << "\"direction\":" + pick(aDirections);
        m << QString("\"caller\":\"+49 (30) %1-%2\"").arg(r.bounded(100)).arg(r.bounded(10)).toUtf8();
        m << "\"agent\":" + pick(aAgents);
        m << "\"duration\":" + pick(aDurations);
        m << "\"mixed\":" + pick(aMixed);
        m << "\"flags\":" + pick(aFlags);
        m << "\"voice\":" + pick(aVoices);
        if (i % 13 == 0)
            m << "\"note\":\"Stra\xc3\x9f" "e \\\"quoted\\\" \\/ line\\nbreak\"";
        m.removeAll(QByteArray());
        QByteArrayList aKept;
        for (const QByteArray& a : m)
            if (!a.endsWith(':'))
                aKept << a;
        s += (i ? ",\n  {" : "\n  {") + aKept.join(", ") + "}";
    }
    return s + "\n];\n";
}

} // namespace

class TestCallIndex : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir maDir;
    int mnPackages = 0;

    QString writePackage(const QByteArray& iaScript, const QString& isSettings)
    {
        PackageWriter aWriter;
        aWriter.setSettings(isSettings);
        aWriter.addFile(csCalls, iaScript);
        const QString sPath = maDir.filePath(QStringLiteral("p%1.pkg").arg(++mnPackages));
        return aWriter.write(sPath) ? sPath : QString();
    }

    // The channel's index of the package, built as the viewer builds it.
    static bool buildFor(CallIndexChannel& irChannel, Package& irPackage)
    {
        QSignalSpy aReady(&irChannel, &CallIndexChannel::readyJs);
        irChannel.open(irPackage);
        return aReady.count() > 0 || aReady.wait(60000);
    }

    static QVector<int> viewOf(CallIndexChannel& irChannel, const QVariantMap& irQuery)
    {
        const QVariantMap aView = irChannel.view(irQuery);
        const int nId = aView.value("view").toInt();
        QVector<int> a;
        for (int nOffset = 0;; nOffset += 1000) {
            const QJsonObject o = QJsonDocument::fromJson(irChannel.rows(nId, nOffset, 1000).toUtf8()).object();
            const QJsonArray aIndexes = o["indexes"].toArray();
            for (const QJsonValue& v : aIndexes)
                a << v.toInt();
            if (aIndexes.size() < 1000)
                break;
        }
        if (a.size() != aView.value("count").toInt())
            a << -1000; // the count disagrees with the rows
        return a;
    }

    Package maPackage;
    CallIndexChannel maChannel;
    QJsonArray maCalls;

private slots:
    void initTestCase()
    {
        // More calls than the index looks at before it holds a column's few
        // texts once, so that both ways are compared.
        const QByteArray aScript = generatedScript(cnCalls);
        QJsonParseError aError;
        maCalls = QJsonDocument::fromJson(aScript.mid(aScript.indexOf('['), aScript.lastIndexOf(']') - aScript.indexOf('[') + 1), &aError).array();
        QCOMPARE(aError.error, QJsonParseError::NoError);
        QCOMPARE(maCalls.size(), cnCalls);
        const QString sPath = writePackage(aScript, "package_call_expiration=never");
        QCOMPARE(maPackage.openPackage(sPath, "", "", "", false), 0);
        QVERIFY(buildFor(maChannel, maPackage));
        QVERIFY2(maChannel.callIndex(), qPrintable(maChannel.refusal()));
    }

    void matchesTheModel_data()
    {
        QTest::addColumn<QVariantMap>("aQuery");
        auto q = [](std::initializer_list<std::pair<const QString, QVariant>> a) { return QVariantMap(a); };
        QTest::newRow("default order") << q({});
        for (const char* c : {"id", "direction", "caller", "agent", "duration", "mixed", "flags", "voice", "note",
                              "__status", "__notes", "absent"}) {
            QTest::newRow(qPrintable(QString("sort %1").arg(c))) << q({{"sortColumn", c}});
            QTest::newRow(qPrintable(QString("sort %1 descending").arg(c))) << q({{"sortColumn", c}, {"sortDescending", true}});
        }
        QTest::newRow("start descending") << q({{"sortDescending", true}});
        QTest::newRow("number without separators") << q({{"terms", QStringList {"4930"}}});
        QTest::newRow("number with separators") << q({{"terms", QStringList {"(30)"}}});
        QTest::newRow("two terms") << q({{"terms", QStringList {"agent", "12-05"}}, {"sortColumn", "agent"}});
        QTest::newRow("lowercase beyond ASCII") << q({{"terms", QStringList {"\u00f6laf"}}});
        QTest::newRow("capital beyond ASCII") << q({{"terms", QStringList {"\u00e9mile"}}});
        QTest::newRow("escaped letter") << q({{"terms", QStringList {"zo\u00eb"}}});
        QTest::newRow("letters beyond the BMP") << q({{"terms", QStringList {"\U0001F600"}}});
        QTest::newRow("translated label") << q({{"terms", QStringList {"incoming"}}});
        QTest::newRow("unknown kind's label") << q({{"terms", QStringList {"\u00e4rger"}}});
        QTest::newRow("number text") << q({{"terms", QStringList {"1e+21"}}});
        QTest::newRow("decimal without point") << q({{"terms", QStringList {"15"}}, {"sortColumn", "duration"}});
        QTest::newRow("booleans") << q({{"terms", QStringList {"true"}}});
        QTest::newRow("escaped text") << q({{"terms", QStringList {"\"quoted\""}}});
        QTest::newRow("no match") << q({{"terms", QStringList {"nothing-like-this"}}});
        QTest::newRow("recording") << q({{"recordingOnly", true}});
        QTest::newRow("marked") << q({{"markedOnly", true}, {"sortColumn", "flags"}});
        QTest::newRow("from") << q({{"from", "2026-12-08"}});
        QTest::newRow("to") << q({{"to", "2026-12-07"}, {"sortDescending", true}});
        QTest::newRow("from and to") << q({{"from", "2026-12-06"}, {"to", "2026-12-06"}});
        QTest::newRow("direction in") << q({{"direction", "in"}});
        QTest::newRow("direction internal") << q({{"direction", "internal"}, {"sortColumn", "direction"}});
        QTest::newRow("direction other") << q({{"direction", "zentrale"}});
        QTest::newRow("direction none has") << q({{"direction", "sideways"}});
        QTest::newRow("everything") << q({{"terms", QStringList {"a"}}, {"recordingOnly", true}, {"from", "2026-12-06"},
            {"direction", "out"}, {"sortColumn", "caller"}, {"sortDescending", true}});
        QTest::newRow("other labels") << q({{"terms", QStringList {"entrant"}}, {"sortColumn", "direction"},
            {"labels", QVariantMap {{"in", "Entrant"}, {"out", "Sortant"}, {"internal", "Interne"}}}});
    }

    void matchesTheModel()
    {
        QFETCH(QVariantMap, aQuery);
        Model aModel(maCalls);
        QVariantMap aLabels {{"in", "Incoming"}, {"out", "Outgoing"}, {"internal", "Internal"}};
        if (aQuery.contains("labels")) {
            const QVariantMap a = aQuery["labels"].toMap();
            for (auto it = a.begin(); it != a.end(); ++it)
                aModel.maLabels[it.key()] = it->toString();
        } else {
            aQuery["labels"] = aLabels;
        }
        const QVector<int> aExpected = aModel.view(aQuery);
        QCOMPARE(viewOf(maChannel, aQuery), aExpected);
        // Sorted again from nothing, and narrowed from the last search.
        maChannel.forgetOrders();
        QCOMPARE(viewOf(maChannel, aQuery), aExpected);
        // Searched afresh in two halves on two threads, as a large package is
        // (a view without terms first, so that nothing is narrowed).
        viewOf(maChannel, {});
        CallViews::setTwoThreadsFrom(2);
        const QVector<int> aHalves = viewOf(maChannel, aQuery);
        CallViews::setTwoThreadsFrom(200000);
        QCOMPARE(aHalves, aExpected);
    }

    // A longer query only looks at the last matches; the answer must be
    // what a fresh search gives, also when the labels change between.
    void narrowingSearches()
    {
        Model aModel(maCalls);
        const QVariantMap aLabels {{"in", "Incoming"}, {"out", "Outgoing"}, {"internal", "Internal"}};
        for (const QStringList& aTerms : QList<QStringList> {{"4"}, {"49"}, {"49", "a"}, {"493", "ag"}, {"in"},
                 {"inc"}, {"9"}, {"9", "z"}})
            QCOMPARE(viewOf(maChannel, {{"terms", aTerms}, {"labels", aLabels}}), aModel.view({{"terms", aTerms}}));
        aModel.maLabels["in"] = "Eingehend";
        QCOMPARE(viewOf(maChannel, {{"terms", QStringList {"ein"}}, {"labels", QVariantMap {{"in", "Eingehend"}}}}),
            aModel.view({{"terms", QStringList {"ein"}}}));
    }

    // Notes name a call by id and start; the last call of a key holds them.
    void notes()
    {
        Model aModel(maCalls);
        QVariantList aNotes;
        for (int i : {0, 10, 500, cnCalls - 1, 97 + 5}) {
            const QJsonObject o = maCalls[i].toObject();
            if (!o["time_start"].isString())
                continue;
            aNotes << QVariant(QVariantList {o["id"].toVariant(), o["time_start"].toString().left(19), i % 7 + 1});
            aModel.maNotes[i] = i % 7 + 1;
        }
        QVERIFY(aModel.maNotes.size() >= 4);
        aNotes << QVariant(QVariantList {123456789, "2026-12-05 10:00:00", 3}); // no such call
        for (const char* c : {"__notes", "time_start"}) {
            const QVariantMap aQuery {{"notes", aNotes}, {"notesOnly", QString(c) == "time_start"}, {"sortColumn", c}};
            QCOMPARE(viewOf(maChannel, aQuery), aModel.view(aQuery));
        }
        // Notes gone: the order by notes is no longer the old one.
        aModel.maNotes.clear();
        QCOMPARE(viewOf(maChannel, {{"sortColumn", "__notes"}, {"sortDescending", true}}),
            aModel.view({{"sortColumn", "__notes"}, {"sortDescending", true}}));
    }

    void channelAnswers()
    {
        const QVariantMap aSummary = maChannel.summary();
        QCOMPARE(aSummary["ready"].toBool(), true);
        QCOMPARE(aSummary["indexed"].toBool(), true);
        QCOMPARE(aSummary["total"].toInt(), cnCalls);
        QCOMPARE(aSummary["localLimit"].toInt(), 5000);
        QCOMPARE(aSummary["keys"].toStringList().mid(0, 4), QStringList({"id", "time_start", "direction", "caller"}));
        QVERIFY(aSummary["keys"].toStringList().contains("note"));
        const QVariantList aDirections = aSummary["directions"].toList();
        QVERIFY(aDirections.contains(QVariant(QString("Inbound"))));
        QVERIFY(aDirections.contains(QVariant(5.0)));
        QCOMPARE(aDirections.size(), 10); // eight texts, null and 5

        // Rows: each call's text exactly as served, windows past the end.
        const QVariantMap aView = maChannel.view({{"sortColumn", "caller"}});
        const int nView = aView["view"].toInt();
        QCOMPARE(aView["count"].toInt(), cnCalls);
        const QString sRows = maChannel.rows(nView, cnCalls - 10, 50);
        const QJsonObject o = QJsonDocument::fromJson(sRows.toUtf8()).object();
        QCOMPARE(o["indexes"].toArray().size(), 10);
        QCOMPARE(o["calls"].toArray().size(), 10);
        const QString sServed = maPackage.callListScript();
        for (int k = 0; k < 10; ++k) {
            const int i = o["indexes"].toArray()[k].toInt();
            QCOMPARE(o["calls"].toArray()[k].toObject(), maCalls[i].toObject());
            QCOMPARE(maChannel.position(nView, i), cnCalls - 10 + k);
        }
        // The call's own text, escapes and all.
        QVERIFY(maChannel.calls({0}).contains("\\\"quoted\\\" \\/ line\\nbreak"));
        QCOMPARE(QJsonDocument::fromJson(maChannel.rows(nView, 0, 5000).toUtf8())["indexes"].toArray().size(), 1000);
        QCOMPARE(maChannel.rows(nView, -5, 2), maChannel.rows(nView, 0, 2));
        QCOMPARE(maChannel.position(nView, cnCalls), -1);

        // Calls by index; null for what is not one.
        const QJsonArray aCalls = QJsonDocument::fromJson(maChannel.calls({2, -1, cnCalls, 1.5, "x", 0, 1e20}).toUtf8()).array();
        QCOMPARE(aCalls.size(), 7);
        QCOMPARE(aCalls[0].toObject(), maCalls[2].toObject());
        QVERIFY(aCalls[1].isNull() && aCalls[2].isNull() && aCalls[3].isNull() && aCalls[4].isNull());
        QCOMPARE(aCalls[5].toObject(), maCalls[0].toObject());
        QVERIFY(aCalls[6].isNull());

        // Old views are dropped after a few more.
        for (int k = 0; k < 8; ++k)
            maChannel.view({{"terms", QStringList {QString::number(k)}}});
        QCOMPARE(maChannel.rows(nView, 0, 1), QString("{\"indexes\":[],\"calls\":[],\"gone\":true}"));
        QCOMPARE(maChannel.position(nView, 0), -1);
    }

    // Texts that the page's JSON reader would not take (it runs them as a
    // script) are refused; the plain forms are taken.
    void refusesAllButPlainJson_data()
    {
        QTest::addColumn<QByteArray>("aScript");
        QTest::addColumn<int>("nCalls"); // -1: refused
        QTest::newRow("plain") << QByteArray("var gCalls=[{\"a\":1},{\"a\":2}];") << 2;
        QTest::newRow("blanks and BOM") << QByteArray("\xef\xbb\xbf \n var \t gCalls = [ {} , { \"a\" : [ ] } ] ; \n") << 2;
        QTest::newRow("no semicolon") << QByteArray("var gCalls=[{\"a\":1}]") << 1;
        QTest::newRow("empty") << QByteArray("var gCalls=[];") << 0;
        QTest::newRow("repeated key") << QByteArray("var gCalls=[{\"a\":1,\"a\":\"x\"}];") << 1;
        QTest::newRow("comment") << QByteArray("var gCalls=[{\"a\":1}]; // end") << -1;
        QTest::newRow("trailing comma") << QByteArray("var gCalls=[{\"a\":1},];") << -1;
        QTest::newRow("hole") << QByteArray("var gCalls=[{\"a\":1},,{}];") << -1;
        QTest::newRow("other statement") << QByteArray("var gCalls=[{}]; gCalls.push({});") << -1;
        QTest::newRow("not an object") << QByteArray("var gCalls=[{}, 3];") << -1;
        QTest::newRow("proto key") << QByteArray("var gCalls=[{\"__proto__\":{}}];") << -1;
        QTest::newRow("escaped proto key") << QByteArray("var gCalls=[{\"\\u005f_proto__\":{}}];") << -1;
        QTest::newRow("proto key where a key was") << QByteArray("var gCalls=[{\"a\":1},{\"__proto__\":1}];") << -1;
        QTest::newRow("nested proto key") << QByteArray("var gCalls=[{\"a\":{\"__proto__\":1}}];") << -1;
        QTest::newRow("single quotes") << QByteArray("var gCalls=[{'a':1}];") << -1;
        QTest::newRow("bare key") << QByteArray("var gCalls=[{a:1}];") << -1;
        QTest::newRow("invalid UTF-8") << QByteArray("var gCalls=[{\"a\":\"\xc3\x28\"}];") << -1;
        QTest::newRow("encoded surrogate") << QByteArray("var gCalls=[{\"a\":\"\xed\xa0\x80\"}];") << -1;
        QTest::newRow("lone surrogate escape") << QByteArray("var gCalls=[{\"a\":\"\\ud800\"}];") << -1;
        QTest::newRow("control character") << QByteArray("var gCalls=[{\"a\":\"\x01\"}];") << -1;
        QTest::newRow("leading zero") << QByteArray("var gCalls=[{\"a\":01}];") << -1;
        QTest::newRow("hex number") << QByteArray("var gCalls=[{\"a\":0x10}];") << -1;
        QTest::newRow("let") << QByteArray("let gCalls=[];") << -1;
        QTest::newRow("other name") << QByteArray("var calls=[];") << -1;
        QTest::newRow("unterminated") << QByteArray("var gCalls=[{\"a\":1}") << -1;
        QTest::newRow("empty text") << QByteArray() << -1;
    }

    void refusesAllButPlainJson()
    {
        QFETCH(QByteArray, aScript);
        QFETCH(int, nCalls);
        QString sWhy;
        const auto pIndex = CallIndex::build(aScript, &sWhy);
        QCOMPARE(pIndex ? pIndex->count() : -1, nCalls);
        QCOMPARE(sWhy.isEmpty(), nCalls >= 0);
        if (nCalls < 0) {
            // Through a package the page is told to read the script itself.
            Package aPackage;
            CallIndexChannel aChannel;
            QCOMPARE(aPackage.openPackage(writePackage(aScript, "package_call_expiration=never"), "", "", "", false), 0);
            QVERIFY(buildFor(aChannel, aPackage));
            QCOMPARE(aChannel.summary()["ready"].toBool(), true);
            QCOMPARE(aChannel.summary()["indexed"].toBool(), false);
        }
    }

    // A large script is read by two threads from two starts: the index must
    // be the one a single reader makes, also when the second start was
    // guessed inside a text, or the second half is what is wrong.
    void twoReadersAgreeWithOne_data()
    {
        QTest::addColumn<QByteArray>("aScript");
        QTest::addColumn<bool>("bIndexed");
        QTest::newRow("generated") << generatedScript(2 * cnCalls) << true;
        // The text "y...}, {" ends as a call's end and a call's start would.
        QByteArray aTrap = "var gCalls=[{\"a\":\"x\"},{\"a\":\"" + QByteArray(200, 'y') + "}, {\"},{\"b\":2}];";
        QTest::newRow("guess inside a text") << aTrap << true;
        QByteArray aBroken = generatedScript(200);
        aBroken.insert(aBroken.size() * 3 / 4, "},");
        QTest::newRow("second half broken") << aBroken << false;
        QByteArray aNewKeys = "var gCalls=[{\"a\":1,\"d\":\"in\"},{\"a\":2,\"d\":\"in\"}, {\"z\":\"late\",\"a\":3.5,\"d\":\"x\"},{\"a\":\"t\",\"d\":\"in\"}];";
        QTest::newRow("keys only in the second half") << aNewKeys << true;
    }

    void twoReadersAgreeWithOne()
    {
        QFETCH(QByteArray, aScript);
        QFETCH(bool, bIndexed);
        const auto pOne = CallIndex::build(aScript, nullptr, qint64(1) << 40);
        const auto pTwo = CallIndex::build(aScript, nullptr, 1);
        QCOMPARE(bool(pOne), bIndexed);
        QCOMPARE(bool(pTwo), bIndexed);
        if (!bIndexed)
            return;
        QCOMPARE(pTwo->count(), pOne->count());
        auto keys = [](const CallIndex& x) {
            QStringList a;
            for (const CallIndex::Column& c : x.columns())
                a << QString::fromStdString(c.sKey);
            return a;
        };
        QCOMPARE(keys(*pTwo), keys(*pOne));
        QCOMPARE(pTwo->directions(), pOne->directions());
        CallViews aOne(pOne), aTwo(pTwo);
        for (int i = 0; i < pOne->count(); ++i)
            QCOMPARE(pTwo->callText(i), pOne->callText(i));
        for (const QString& sColumn : keys(*pOne) + QStringList {"__status", "direction"}) {
            for (const std::vector<std::string>& aTerms : std::vector<std::vector<std::string>> {{}, {"a"}, {"1"}, {"in"}}) {
                CallQuery aQuery;
                aQuery.sSortColumn = sColumn;
                aQuery.aTerms = aTerms;
                aQuery.sLabelIn = "Incoming";
                QCOMPARE(aTwo.view(aQuery), aOne.view(aQuery));
            }
        }
    }

    // A script read while it is still arriving gives the index (or the
    // refusal) of the whole script, wherever the pieces end; the bytes not
    // arrived yet hold quotes and braces that a read too far would take.
    void arrivingInPiecesAgreesWithWhole_data()
    {
        refusesAllButPlainJson_data();
        QTest::newRow("generated") << generatedScript(3000) << 3000;
        QTest::newRow("long calls") << QByteArray("var gCalls=[{\"a\":\"" + QByteArray(300000, 'x') + "\",\"b\":[" + QByteArray(5000, '1')
                                                  + "]},{\"a\":\"\\u00e9\\ud83d\\ude00\",\"c\":-1.5e-3}] ;")
                                    << 2;
        QTest::newRow("blanks across pieces") << QByteArray("var gCalls=" + QByteArray(5000, ' ') + "[" + QByteArray(5000, '\t') + "{}"
                                                            + QByteArray(5000, ' ') + "]" + QByteArray(5000, ' '))
                                              << 1;
    }

    void arrivingInPiecesAgreesWithWhole()
    {
        QFETCH(QByteArray, aScript);
        QFETCH(int, nCalls);
        QString sWholeWhy;
        const auto pWhole = CallIndex::build(aScript, &sWholeWhy);
        QCOMPARE(pWhole ? pWhole->count() : -1, nCalls);
        for (const int nPiece : {1, 5, 100, 65536}) {
            // Room beyond the script (its stated size was too large); the
            // search texts made at once or after the rest.
            for (const int nSpare : {0, 70}) {
                const CallIndex::Texts eTexts = nSpare ? CallIndex::Texts::Later : CallIndex::Texts::Now;
                QByteArray aRoom(aScript.size() + nSpare, '"');
                for (int k = 1; k < aRoom.size(); k += 2)
                    aRoom[k] = '}';
                char* pRoom = aRoom.data();
                qint64 nHave = 0;
                const CallIndex::Arrival aArrival = [&](qint64 inWant, bool& irbComplete) {
                    const qint64 nTo = qMin<qint64>(aScript.size(), qMax(nHave + nPiece, (inWant + nPiece - 1) / nPiece * nPiece));
                    std::memcpy(pRoom + nHave, aScript.constData() + nHave, size_t(nTo - nHave));
                    nHave = nTo;
                    irbComplete = nHave == aScript.size();
                    return nHave;
                };
                QString sWhy;
                const auto pIndex = CallIndex::build(aRoom, aArrival, &sWhy, nullptr, eTexts);
                const QByteArray aTag = QByteArray::number(nPiece) + "/" + QByteArray::number(nSpare);
                QVERIFY2(bool(pIndex) == bool(pWhole), aTag);
                QCOMPARE(sWhy, sWholeWhy);
                if (!pIndex)
                    continue;
                QCOMPARE(pIndex->hasTexts(), eTexts == CallIndex::Texts::Now);
                QVERIFY(CallViews::startOrder(*pIndex) == CallViews::startOrder(*pWhole));
                CallIndex::makeTexts(pIndex);
                QVERIFY(pIndex->hasTexts());
                QVERIFY2(pIndex->script() == aScript, aTag);
                QCOMPARE(pIndex->count(), pWhole->count());
                QVERIFY2(pIndex->allText() == pWhole->allText(), aTag);
                QVERIFY(pIndex->textStarts() == pWhole->textStarts());
                QCOMPARE(pIndex->columns().size(), pWhole->columns().size());
                for (size_t c = 0; c < pWhole->columns().size(); ++c) {
                    QCOMPARE(pIndex->columns()[c].sKey, pWhole->columns()[c].sKey);
                    QVERIFY(pIndex->columns()[c].aCells == pWhole->columns()[c].aCells);
                    QVERIFY(pIndex->columns()[c].aDictSearch == pWhole->columns()[c].aDictSearch);
                }
                QCOMPARE(pIndex->directions(), pWhole->directions());
                for (int i = 0; i < pWhole->count(); ++i) {
                    QCOMPARE(pIndex->callText(i), pWhole->callText(i));
                    QCOMPARE(pIndex->flags(i), pWhole->flags(i));
                    QCOMPARE(pIndex->directionKind(i), pWhole->directionKind(i));
                    QCOMPARE(pIndex->timeKey(i), pWhole->timeKey(i));
                    QCOMPARE(pIndex->noteKey(i), pWhole->noteKey(i));
                }
            }
        }
    }

    // The member as the package stores it, read while it is decoded: the
    // index holds the bytes the server sends, or there is none when the
    // member cannot be decoded whole.
    void memberShapes_data()
    {
        QTest::addColumn<QString>("sPassword");
        QTest::addColumn<int>("nSizeChange"); // of the stated size
        QTest::addColumn<int>("nDamage");     // 1 a byte of the stream changed, 2 the stream cut short
        QTest::addColumn<bool>("bIndexed");
        QTest::newRow("plain") << QString() << 0 << 0 << true;
        QTest::newRow("encrypted") << QString("pw") << 0 << 0 << true;
        QTest::newRow("stated size too large") << QString() << 100 << 0 << true;
        QTest::newRow("stated size too small") << QString() << -10 << 0 << false;
        QTest::newRow("damaged stream") << QString() << 0 << 1 << false;
        QTest::newRow("stream cut short") << QString() << 0 << 2 << false;
    }

    void memberShapes()
    {
        QFETCH(QString, sPassword);
        QFETCH(int, nSizeChange);
        QFETCH(int, nDamage);
        QFETCH(bool, bIndexed);
        // Line breaks of all kinds, which the server turns into spaces.
        QByteArray aScript = generatedScript(30000);
        aScript.replace("},{", "},\r\n{");
        PackageWriter aWriter;
        if (!sPassword.isEmpty()) {
            aWriter.setPassword(sPassword);
            aWriter.setUsers("u");
        }
        aWriter.setSettings("package_call_expiration=never");
        if (nSizeChange == 0 && nDamage == 0) {
            aWriter.addFile(csCalls, aScript);
        } else {
            QByteArray aStored = PackageWriter::compress(aScript);
            if (nDamage == 1)
                aStored[aStored.size() / 2] = char(aStored[aStored.size() / 2] ^ 0x55);
            if (nDamage == 2)
                aStored.chop(aStored.size() / 3);
            aWriter.addRawMember(csCalls, aStored, aScript.size() + nSizeChange, QByteArray());
        }
        const QString sPath = maDir.filePath(QStringLiteral("p%1.pkg").arg(++mnPackages));
        QVERIFY(aWriter.write(sPath));
        Package aPackage;
        QCOMPARE(aPackage.openPackage(sPath, sPassword.isEmpty() ? "" : "u", sPassword, "", false), 0);
        CallIndexChannel aChannel;
        QVERIFY(buildFor(aChannel, aPackage));
        QCOMPARE(aChannel.summary()["indexed"].toBool(), bIndexed);
        if (!bIndexed)
            return;
        QByteArray aServed = aScript;
        aServed.replace('\r', ' ').replace('\n', ' ');
        QVERIFY(aChannel.callIndex()->script() == aServed);
        QCOMPARE(aChannel.callIndex()->count(), 30000);
        QCOMPARE(aChannel.view({{"terms", QStringList {"zentrale"}}})["count"].toInt(),
                 CallViews(CallIndex::build(aServed)).view(CallQuery {{"zentrale"}}).size());
    }

    // A script whose rest cannot be had (a damaged member) is not indexed.
    void arrivalBreaksOff()
    {
        const QByteArray aScript = generatedScript(500);
        QByteArray aRoom(aScript.size(), ' ');
        std::memcpy(aRoom.data(), aScript.constData(), size_t(aScript.size() / 2));
        const CallIndex::Arrival aArrival = [&](qint64 inWant, bool& irbComplete) -> qint64 {
            irbComplete = false;
            return inWant <= aScript.size() / 2 ? aScript.size() / 2 : -1;
        };
        QString sWhy;
        QVERIFY(!CallIndex::build(aRoom, aArrival, &sWhy));
        QVERIFY2(sWhy.contains("could not be read"), qPrintable(sWhy));
    }

    // The last of repeated keys counts, in search and sort alike.
    void repeatedKeys()
    {
        const auto pIndex = CallIndex::build("var gCalls=[{\"a\":\"first\",\"b\":2,\"a\":\"zweite\"},{\"a\":\"m\"}];");
        QVERIFY(pIndex);
        CallViews aViews(pIndex);
        CallQuery aQuery;
        aQuery.aTerms = {"first"};
        QCOMPARE(aViews.view(aQuery), std::vector<int32_t>());
        aQuery.aTerms = {"zweite"};
        QCOMPARE(aViews.view(aQuery), std::vector<int32_t>({0}));
        aQuery.aTerms.clear();
        aQuery.sSortColumn = "a";
        QCOMPARE(aViews.view(aQuery), std::vector<int32_t>({1, 0}));
    }

    // A key is one column however it is written, and wherever it stands.
    void keysWrittenAlike()
    {
        const auto pIndex = CallIndex::build("var gCalls=[{\"ab\":\"x\",\"b\":1},{\"a\\u0062\":\"y\",\"b\":2},"
                                             "{\"abc\":4,\"ab\":\"z\",\"b\":3},{\"a\":5,\"ab\":\"w\"}];");
        QVERIFY(pIndex);
        QStringList aKeys;
        for (const CallIndex::Column& c : pIndex->columns())
            aKeys << QString::fromStdString(c.sKey);
        QCOMPARE(aKeys, QStringList({"ab", "b", "abc", "a"}));
        CallViews aViews(pIndex);
        CallQuery aQuery;
        aQuery.sSortColumn = "ab";
        QCOMPARE(aViews.view(aQuery), std::vector<int32_t>({3, 0, 1, 2}));
        aQuery.sSortColumn = "b";
        QCOMPARE(aViews.view(aQuery), std::vector<int32_t>({3, 0, 1, 2}));
        aQuery.sSortColumn = "abc";
        QCOMPARE(aViews.view(aQuery), std::vector<int32_t>({0, 1, 3, 2}));
    }

    // Lowercasing as the page's: a final capital sigma, a dotted capital I.
    void lowercaseAsThePage()
    {
        const auto pIndex = CallIndex::build(
            "var gCalls=[{\"a\":\"\xce\x9f\xce\x94\xce\x9f\xce\xa3\"},{\"a\":\"\xce\xa3\xce\x91\"},{\"a\":\"\xc4\xb0Z\"}];");
        QVERIFY(pIndex);
        CallViews aViews(pIndex);
        const std::vector<std::pair<std::string, std::vector<int32_t>>> aCases {
            {"\xce\xbf\xce\xb4\xce\xbf\xcf\x82", {0}}, // οδος, final sigma
            {"\xce\xbf\xce\xb4\xce\xbf\xcf\x83", {}},
            {"\xcf\x83\xce\xb1", {1}}, // σα
            {"i\xcc\x87z", {2}}, // i with a dot above
        };
        for (const auto& aCase : aCases) {
            CallQuery aQuery;
            aQuery.aTerms = {aCase.first};
            QCOMPARE(aViews.view(aQuery), aCase.second);
        }
    }

    // Only what the retention rules let through is ever answered.
    void retentionPackage()
    {
        const QDateTime tNow = QDateTime::currentDateTime();
        QByteArray aScript = "var gCalls=[";
        for (int i = 0; i < 40; ++i) {
            const QString sStart = tNow.addDays(-i * 2).toString("yyyy-MM-dd hh:mm:ss");
            aScript += QString("%1{\"id\":%2,\"time_start\":\"%3\",\"caller\":\"secret-%2\",\"voice\":\"v%2.wav\",\"flags\":24}")
                           .arg(i ? "," : "").arg(i).arg(sStart).toUtf8();
        }
        aScript += "];";
        Package aPackage;
        CallIndexChannel aChannel;
        QCOMPARE(aPackage.openPackage(writePackage(aScript, "storage_time_normal_cdr=30;storage_time_normal_voice=10"),
                     "", "", "", false), 0);
        QVERIFY(aPackage.callExpirationEnabled());
        QVERIFY(buildFor(aChannel, aPackage));
        QVERIFY(aChannel.callIndex());
        const int nKept = aChannel.summary()["total"].toInt();
        QVERIFY(nKept >= 14 && nKept <= 16);
        const QVariantMap aView = aChannel.view({{"terms", QStringList {"secret"}}});
        QCOMPARE(aView["count"].toInt(), nKept);
        // The calls as the filter served them (expired voices taken out).
        const QString sServed = aPackage.callListScript();
        const QJsonArray aServed = QJsonDocument::fromJson(sServed.mid(sServed.indexOf('['), sServed.lastIndexOf(']') - sServed.indexOf('[') + 1).toUtf8()).array();
        QCOMPARE(aServed.size(), nKept);
        const QJsonObject aRows = QJsonDocument::fromJson(aChannel.rows(aView["view"].toInt(), 0, 100).toUtf8()).object();
        for (int k = 0; k < nKept; ++k) {
            const QJsonObject o = aRows["calls"].toArray()[k].toObject();
            QVERIFY(o["id"].toInt() < 16);
            QCOMPARE(o, aServed[aRows["indexes"].toArray()[k].toInt()].toObject());
        }

        QCOMPARE(aChannel.view({{"terms", QStringList {"secret-30"}}})["count"].toInt(), 0);
        int nRecordings = 0;
        for (const QJsonValue& v : aServed)
            nRecordings += Model::recording(v.toObject());
        QVERIFY(nRecordings > 0 && nRecordings < nKept);
        QCOMPARE(aChannel.view({{"recordingOnly", true}})["count"].toInt(), nRecordings);
    }

    // Opening another package or none drops the index and any build of
    // the one before.
    void droppedOnClose()
    {
        Package aPackage;
        CallIndexChannel aChannel;
        QCOMPARE(aPackage.openPackage(writePackage(generatedScript(20000), "package_call_expiration=never"), "", "", "", false), 0);
        QSignalSpy aReady(&aChannel, &CallIndexChannel::readyJs);
        aChannel.open(aPackage);
        QCOMPARE(aChannel.summary()["ready"].toBool(), false);
        aPackage.closePackage();
        QCOMPARE(aPackage.openPackage(writePackage("var gCalls=[{\"x\":1}];", "package_call_expiration=never"), "", "", "", false), 0);
        aChannel.open(aPackage);
        QVERIFY(aReady.wait(60000));
        QTest::qWait(200);
        QCOMPARE(aChannel.summary()["total"].toInt(), 1);
        aChannel.clear();
        QTest::qWait(100);
        QCOMPARE(aChannel.summary()["indexed"].toBool(), false);
        QCOMPARE(aChannel.view({})["count"].toInt(), 0);
        QCOMPARE(aChannel.rows(1, 0, 10), QString("{\"indexes\":[],\"calls\":[],\"gone\":true}"));
    }
};

QTEST_GUILESS_MAIN(TestCallIndex)
#include "tst_call_index.moc"
