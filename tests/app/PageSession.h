#pragma once
// The real viewer window with its server and player, for tests and
// benchmarks that open packages and work in the package page as a user.
#include "AudioPlayer.h"
#include "CallIndexChannel.h"
#include "CallSummaryRoute.h"
#include "GuiTestHelpers.h"
#include "HttpServer.h"
#include "Package.h"
#include "PackageWriter.h"
#include "VornViewer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QMenu>
#include <QToolBar>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

// Every request the page makes, as full URLs (with query items).
class RequestLog : public QWebEngineUrlRequestInterceptor
{
public:
    void interceptRequest(QWebEngineUrlRequestInfo& irInfo) override { maUrls << irInfo.requestUrl(); }
    QList<QUrl> maUrls;
};

// A call record as JSON text, with the fields a recording system writes.
struct CallRecord
{
    int nId = 0;
    QDateTime tStart;
    QString sDirection;
    QString sCaller;
    QString sCallee;
    QString sAgent;
    int nDuration = 0;
    quint32 nFlags = 0x18;
    QString sVoice;
    QString sExtra; // further members, already JSON ("\"queue\":\"sales\"")

    QByteArray json() const
    {
        QString s = QStringLiteral("{\"id\":%1,\"time_start\":\"%2\",\"direction\":\"%3\",\"caller\":\"%4\",\"callee\":\"%5\","
                                   "\"agent\":\"%6\",\"duration\":%7,\"flags\":%8,\"voice\":\"%9\"")
                        .arg(nId)
                        .arg(tStart.toString("yyyy-MM-dd hh:mm:ss"), sDirection, sCaller, sCallee, sAgent)
                        .arg(nDuration)
                        .arg(nFlags)
                        .arg(sVoice);
        if (!sExtra.isEmpty())
            s += "," + sExtra;
        return (s + "}").toUtf8();
    }
};

// 16-bit PCM WAV of a swelling sine tone (each channel its own pitch).
inline QByteArray toneWav(int inMilliseconds, int inHz, int inRate = 8000, int inChannels = 1)
{
    const int nFrames = inRate * inMilliseconds / 1000;
    QByteArray aData;
    aData.reserve(nFrames * 2 * inChannels);
    for (int i = 0; i < nFrames; ++i)
        for (int c = 0; c < inChannels; ++c) {
            // A slow swell, so that waveforms show some shape.
            const double fEnvelope = 0.55 + 0.45 * std::sin(2 * M_PI * 1.3 * i / inRate);
            const qint16 nSample = qint16(9000 * fEnvelope * std::sin(2 * M_PI * inHz * (c + 1) * i / inRate));
            aData.append(char(nSample & 0xFF)).append(char((nSample >> 8) & 0xFF));
        }
    auto le = [](quint32 n, int inBytes) {
        QByteArray a;
        for (int i = 0; i < inBytes; ++i)
            a.append(char((n >> (8 * i)) & 0xFF));
        return a;
    };
    return "RIFF" + le(36 + aData.size(), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(inChannels, 2) + le(inRate, 4)
        + le(inRate * 2 * inChannels, 4) + le(2 * inChannels, 2) + le(16, 2) + "data" + le(aData.size(), 4) + aData;
}

class PageSession
{
public:
    // ibSummaryRoute: false for a viewer whose server lacks "/app/calls/summary".
    explicit PageSession(bool ibSummaryRoute = true)
    {
        mpPackage = new Package();
        mpServer = new HttpServer(mpPackage, 0, nullptr);
        mpPlayer = new AudioPlayer(mpPackage);
        mpViewer = new VornViewer(mpPackage, mpPlayer, mpServer->serverPort());
        if (ibSummaryRoute)
            routeCallSummary(*mpServer, *mpViewer->findChild<CallIndexChannel*>());
        mpView = mpViewer->findChild<QWebEngineView*>();
        mpView->page()->profile()->setUrlRequestInterceptor(&maRequests);
        mpViewer->resize(1280, 860);
        mpViewer->show();
        (void)QTest::qWaitForWindowExposed(mpViewer);
        mpViewer->activateWindow();
    }
    ~PageSession()
    {
        mpView->page()->profile()->setUrlRequestInterceptor(nullptr);
        delete mpViewer;
        delete mpServer;
        delete mpPackage;
    }

    // Opens a plain package and waits until the page has drawn its list;
    // the page's remembered place is forgotten first. Returns the
    // milliseconds from the start of loading to the first rows, or -1.
    double open(const QString& isPath)
    {
        js("try { sessionStorage.clear(); } catch (e) {} if (document.body) document.body.classList.remove('ready'); true");
        mpViewer->open(isPath);
        return waitReady();
    }

    double waitReady()
    {
        // Asked every 100 ms, so that the asking does not slow the page down;
        // the event loop runs meanwhile as in the program (see js).
        QElapsedTimer aTimer;
        aTimer.start();
        while (!js("!!(document.body && document.body.classList.contains('ready'))").toBool()) {
            if (aTimer.elapsed() > 60000)
                return -1;
            QEventLoop aLoop;
            QTimer::singleShot(100, &aLoop, &QEventLoop::quit);
            aLoop.exec();
        }
        return js("performance.getEntriesByName('vorn-first-rows')[0].startTime").toDouble();
    }

    // Chooses an entry of the locale menu, as a user does, and waits for the page.
    double switchLocale(const QString& isCode)
    {
        QMenu* pMenu = mpViewer->findChild<QToolBar*>()->actions().at(4)->menu();
        for (QAction* pAction : pMenu->actions())
            if (pAction->text().contains("(" + isCode + ")")) {
                js("document.body.classList.remove('ready'); true");
                pAction->trigger();
                return waitReady();
            }
        return -1;
    }

    // As runScript, but waiting in an event loop: QTest::qWaitFor sleeps
    // 10 ms between rounds, which slows the server sending a large body.
    QVariant js(const QString& isScript)
    {
        auto pAnswer = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
        QEventLoop aLoop;
        QPointer<QEventLoop> pLoop(&aLoop);
        mpView->page()->runJavaScript(isScript, [pAnswer, pLoop](const QVariant& irValue) {
            *pAnswer = { true, irValue };
            if (pLoop)
                pLoop->quit();
        });
        if (!pAnswer->first) {
            QTimer::singleShot(10000, &aLoop, &QEventLoop::quit);
            aLoop.exec();
        }
        return pAnswer->second;
    }

    // The value a promise of the page resolves to (isPromise: an expression);
    // an invalid QVariant when it fails or takes longer than inTimeoutMs.
    QVariant awaitJs(const QString& isPromise, int inTimeoutMs = 60000)
    {
        const QString sSlot = QStringLiteral("window.__awaited%1").arg(++mnAwaited);
        js(QStringLiteral("%1 = undefined; Promise.resolve().then(() => %2).then(v => { %1 = { v: v === undefined ? null : v }; }, e => { %1 = { e: String(e) }; }); true")
               .arg(sSlot, isPromise));
        QElapsedTimer aTimer;
        aTimer.start();
        while (aTimer.elapsed() < inTimeoutMs) {
            const QVariantMap aAnswer = js(QStringLiteral("(() => { const a = %1; if (a) %1 = undefined; return a || null; })()").arg(sSlot)).toMap();
            if (aAnswer.contains("v"))
                return aAnswer.value("v");
            if (aAnswer.contains("e")) {
                qWarning() << "page promise failed:" << aAnswer.value("e").toString();
                return {};
            }
            QEventLoop aLoop;
            QTimer::singleShot(20, &aLoop, &QEventLoop::quit);
            aLoop.exec();
        }
        return {};
    }

    QWidget* input() { return mpView->focusProxy(); }

    // Centre of an element in widget coordinates.
    QPoint centreOf(const QString& isSelector)
    {
        const QVariantList a = js(QStringLiteral("(function(){const r=document.querySelector(%1).getBoundingClientRect();"
                                                 "return [r.left+r.width/2, r.top+r.height/2];})()")
                                      .arg(quoted(isSelector)))
                                   .toList();
        const double f = mpView->zoomFactor();
        return a.size() == 2 ? QPoint(int(a[0].toDouble() * f), int(a[1].toDouble() * f)) : QPoint();
    }

    void click(const QString& isSelector)
    {
        QTest::mouseClick(input(), Qt::LeftButton, Qt::NoModifier, centreOf(isSelector));
    }

    void key(int inKey, Qt::KeyboardModifiers inModifiers = Qt::NoModifier)
    {
        QTest::keyClick(input(), Qt::Key(inKey), inModifiers);
    }

    void type(const QString& isText) { QTest::keyClicks(input(), isText); }

    // Texts of one column for the rows on screen, top to bottom.
    QStringList column(const QString& isField)
    {
        return js(QStringLiteral(
                      "(function(){const c=[...document.querySelectorAll('.list-heading')].map(h=>h.dataset.column).indexOf(%1);"
                      "return [...document.querySelectorAll('.list-row:not([hidden])')]"
                      ".sort((a,b)=>a.dataset.position-b.dataset.position).map(r=>r.children[c].textContent);})()")
                      .arg(quoted(isField)))
            .toStringList();
    }

    static QString quoted(const QString& is) { return "'" + QString(is).replace("\\", "\\\\").replace("'", "\\'") + "'"; }

    Package* mpPackage = nullptr;
    HttpServer* mpServer = nullptr;
    AudioPlayer* mpPlayer = nullptr;
    VornViewer* mpViewer = nullptr;
    QWebEngineView* mpView = nullptr;
    RequestLog maRequests;
    int mnAwaited = 0;
};
