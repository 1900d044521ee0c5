// The call list's JSON reader and writer: what each text becomes, and the
// exact text written back.
#include "Json.h"

#include <QtTest>

#include <limits>

class TestJson : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("sText");
        QTest::addColumn<QString>("sTypes"); // type names of the top-level elements
        QTest::addColumn<QByteArray>("aWritten");
        QTest::newRow("mixed array")
            << "[1, -2, 3.5, \"say \\\"hi\\\"\", true, null]" << "uint int double QString bool null"
            << QByteArray("[ 1, -2, 3.5, \"say \\\"hi\\\"\", true, null ]");
        QTest::newRow("empty array") << "[]" << "" << QByteArray("[  ]");
        QTest::newRow("empty object") << "[{}]" << "QVariantMap" << QByteArray("[ {  } ]");
        QTest::newRow("keys sorted") << "[{\"b\": 1, \"a\": \"x\"}]" << "QVariantMap"
                                     << QByteArray("[ { \"a\" : \"x\", \"b\" : 1 } ]");
        QTest::newRow("repeated key keeps the last") << "[{\"a\": 1, \"a\": 2}]" << "QVariantMap"
                                                     << QByteArray("[ { \"a\" : 2 } ]");
        QTest::newRow("commas optional") << "[{\"a\": 1 \"b\": 2},,1 2]" << "QVariantMap uint uint"
                                         << QByteArray("[ { \"a\" : 1, \"b\" : 2 }, 1, 2 ]");
        QTest::newRow("2.0 keeps its point") << "[2.0]" << "double" << QByteArray("[ 2.0 ]");
        QTest::newRow("0.1 with 20 digits") << "[0.1]" << "double" << QByteArray("[ 0.10000000000000000555 ]");
        QTest::newRow("large double in exponent form") << "[1.5e300]" << "double" << QByteArray("[ 1.5000000000000000788e+300 ]");
        QTest::newRow("exponent without point stays text") << "[1e5]" << "QString" << QByteArray("[ \"1e5\" ]");
        QTest::newRow("integer limits")
            << "[4294967295, 4294967296, -2147483648, -2147483649, 18446744073709551616, -9223372036854775809]"
            << "uint qulonglong int qlonglong QString QString"
            << QByteArray("[ 4294967295, 4294967296, -2147483648, -2147483649, \"18446744073709551616\", "
                          "\"-9223372036854775809\" ]");
        QTest::newRow("plus inside a number") << "[1+2]" << "QString" << QByteArray("[ \"1+2\" ]");
        QTest::newRow("slash written plainly") << "[\"a\\/b\"]" << "QString" << QByteArray("[ \"a/b\" ]");
        QTest::newRow("escapes") << "[\"\\b\\f\\n\\r\\t\\\\\"]" << "QString"
                                 << QByteArray("[ \"\\b\\f\\n\\r\\t\\\\\" ]");
        QTest::newRow("unicode escape and raw UTF-8") << "[\"\\u00e9 \u00fc \\ud83d\\ude00\"]" << "QString"
                                                      << QByteArray("[ \"\xc3\xa9 \xc3\xbc \xf0\x9f\x98\x80\" ]");
        QTest::newRow("unknown escape dropped") << "[\"a\\qb\"]" << "QString" << QByteArray("[ \"ab\" ]");
        QTest::newRow("control character unescaped") << "[\"a\x01z\"]" << "QString" << QByteArray("[ \"a\x01z\" ]");
        QTest::newRow("text after the value ignored") << "[1] trailing ]]" << "uint" << QByteArray("[ 1 ]");
        QTest::newRow("white space") << " \t\r\n[ \n1\r\n]" << "uint" << QByteArray("[ 1 ]");
    }
    void roundTrip()
    {
        QFETCH(QString, sText);
        QFETCH(QString, sTypes);
        QFETCH(QByteArray, aWritten);
        bool bOk = false;
        const QVariant aValue = Json::parse(sText, bOk);
        QVERIFY(bOk);
        QStringList saTypes;
        for (const QVariant& aElement : aValue.toList())
            saTypes << (aElement.isValid() ? QString::fromLatin1(aElement.typeName()) : QStringLiteral("null"));
        QCOMPARE(saTypes.join(' '), sTypes);
        bool bWritten = false;
        QCOMPARE(Json::serialize(aValue, bWritten), aWritten);
        QVERIFY(bWritten);
    }

    void malformed_data()
    {
        QTest::addColumn<QString>("sText");
        QTest::newRow("empty text") << "";
        QTest::newRow("unterminated array") << "[1, 2";
        QTest::newRow("unterminated string") << "[\"abc";
        QTest::newRow("key without colon") << "{\"a\" 1}";
        QTest::newRow("key not a string") << "{a: 1}";
        QTest::newRow("bare word") << "[nope]";
        QTest::newRow("closing bracket as value") << "{\"a\": ]}";
        QTest::newRow("short unicode escape") << "[\"\\u12\"]";
        QTest::newRow("signed unicode escape") << "[\"\\u+041\"]";
        QTest::newRow("0x unicode escape") << "[\"\\u0x41\"]";
        QTest::newRow("blank in unicode escape") << "[\"\\u 41A\"]";
        QTest::newRow("nesting too deep") << QString(100000, QLatin1Char('['));
    }
    void malformed()
    {
        QFETCH(QString, sText);
        bool bOk = true;
        Json::parse(sText, bOk);
        QVERIFY(!bOk);
    }

    void nullTextIsEmptySuccess()
    {
        bool bOk = false;
        QVERIFY(!Json::parse(QString(), bOk).isValid());
        QVERIFY(bOk);
    }

    void writerTypes()
    {
        bool bOk = false;
        QVariantHash aHash;
        aHash.insert("k", QStringList { "x", "y" });
        QCOMPARE(Json::serialize(aHash, bOk), QByteArray("{ \"k\" : [ \"x\", \"y\" ] }"));
        QVERIFY(bOk);
        QCOMPARE(Json::serialize(QVariant(qint64(-5)), bOk), QByteArray("-5"));
        QCOMPARE(Json::serialize(QVariant(QByteArray("b\"")), bOk), QByteArray("\"b\\\"\""));
        QCOMPARE(Json::serialize(QVariant(1e21), bOk), QByteArray("1e+21"));
        QCOMPARE(Json::serialize(QVariant(100.0), bOk), QByteArray("100.0"));
        QVERIFY(bOk);
        for (double fBad : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity() }) {
            const QVariantList aList { 1, QVariantMap { { "x", fBad } } };
            QCOMPARE(Json::serialize(aList, bOk), QByteArray());
            QVERIFY(!bOk);
        }
        QCOMPARE(Json::serialize(QVariant::fromValue(QRect(1, 2, 3, 4)), bOk), QByteArray());
        QVERIFY(!bOk);
    }
};

QTEST_APPLESS_MAIN(TestJson)
#include "tst_json.moc"
