// Request line splitting and the content type table, as pure functions.
#include "ContentType.h"
#include "RequestLine.h"

#include <QtTest>

class TestRequestLine : public QObject
{
    Q_OBJECT
private slots:
    void split_data()
    {
        QTest::addColumn<QByteArray>("aLine");
        QTest::addColumn<QString>("sMethod");
        QTest::addColumn<QString>("sPath");
        QTest::addColumn<QString>("sQuery");
        QTest::newRow("plain") << QByteArray("GET /index.html HTTP/1.1\r\n") << "GET" << "/index.html" << "";
        QTest::newRow("query") << QByteArray("GET /index.html?lang=de HTTP/1.1\r\n") << "GET" << "/index.html"
                               << "lang=de";
        QTest::newRow("second question mark ends the query")
            << QByteArray("GET /p?x?y HTTP/1.1\r\n") << "GET" << "/p" << "x";
        QTest::newRow("empty query") << QByteArray("GET /p? HTTP/1.1\n") << "GET" << "/p" << "";
        QTest::newRow("percent escape kept") << QByteArray("GET /a%20b HTTP/1.1\r\n") << "GET" << "/a%20b" << "";
        QTest::newRow("dot segments kept") << QByteArray("GET /app/../x HTTP/1.1\r\n") << "GET" << "/app/../x" << "";
        QTest::newRow("unencoded space") << QByteArray("GET /a b HTTP/1.1\r\n") << "GET" << "/a" << "";
        QTest::newRow("runs of separators") << QByteArray("GET \r /x  HTTP/1.1\r\n") << "GET" << "/x" << "";
        QTest::newRow("leading space gives an empty method") << QByteArray(" GET /x\r\n") << "" << "GET" << "";
        QTest::newRow("method only") << QByteArray("GET\r\n") << "GET" << "" << "";
        QTest::newRow("empty line") << QByteArray("\r\n") << "" << "" << "";
        QTest::newRow("post") << QByteArray("POST /x HTTP/1.1\r\n") << "POST" << "/x" << "";
        QTest::newRow("lower-case method") << QByteArray("get /x HTTP/1.1\r\n") << "get" << "/x" << "";
    }
    void split()
    {
        QFETCH(QByteArray, aLine);
        const RequestLine aRequest = parseRequestLine(aLine);
        QTEST(aRequest.sMethod, "sMethod");
        QTEST(aRequest.sPath, "sPath");
        QTEST(aRequest.sQuery, "sQuery");
    }

    void contentType_data()
    {
        QTest::addColumn<QString>("sPath");
        QTest::addColumn<QString>("sType");
        QTest::newRow("waveform") << "/app/wave/call7.svg" << "image/png";
        QTest::newRow("other svg") << "/app/img/logo.svg" << "image/svg+xml";
        QTest::newRow("ends in svg without dot") << "/app/img/logosvg" << "image/svg+xml";
        QTest::newRow("html") << "/index.html" << "text/html";
        QTest::newRow("script") << "/app/js/data/calls.js" << "application/javascript";
        QTest::newRow("style") << "/app/css/vorn.css" << "text/css";
        QTest::newRow("png") << "/app/img/x.png" << "image/png";
        QTest::newRow("unknown ending") << "/app/data/blob" << "text/html";
        QTest::newRow("case-sensitive svg") << "/app/wave/x.SVG" << "image/svg+xml";
    }
    void contentType()
    {
        QFETCH(QString, sPath);
        QTEST(contentTypeFor(sPath), "sType");
    }
};

QTEST_APPLESS_MAIN(TestRequestLine)
#include "tst_request_line.moc"
