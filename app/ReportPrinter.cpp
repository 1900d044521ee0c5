#include "ReportPrinter.h"

#include "ReviewDocument.h"

#include <QDebug>
#include <QJsonDocument>
#include <QPageLayout>
#include <QPageSize>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace {

// Each call's waveform is rendered from its recording: generous for
// hundreds of calls on a slow machine.
constexpr int kTimeoutMs = 600000;

} // namespace

ReportPrinter::ReportPrinter(int inHttpPort, QObject* ipParent)
    : QObject(ipParent)
    , mnHttpPort(inHttpPort)
{
    mpProfile = new QWebEngineProfile(this);
    mpProfile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    mTimeout.setSingleShot(true);
    connect(&mTimeout, &QTimer::timeout, this, [this] { fail(tr("The report could not be laid out.")); });
}

ReportPrinter::~ReportPrinter()
{
    // The page goes before its profile.
    delete mpPage;
}

void ReportPrinter::print(const QJsonObject& irData, const QString& isLocale, const QString& isPath)
{
    if (mbBusy) {
        emit finished(false, tr("The report could not be laid out."));
        return;
    }
    mbBusy = true;
    maData = irData;
    msPath = isPath;
    delete mpPage;
    mpPage = new QWebEnginePage(mpProfile, this);
    connect(mpPage, &QWebEnginePage::loadFinished, this, [this](bool ibOk) {
        if (!mbBusy)
            return;
        if (!ibOk) {
            fail(tr("The report could not be laid out."));
            return;
        }
        const QByteArray aJson = QJsonDocument(maData).toJson(QJsonDocument::Compact);
        mpPage->runJavaScript(QStringLiteral("window.vornReport(%1)").arg(QString::fromUtf8(aJson)));
    });
    connect(mpPage, &QWebEnginePage::titleChanged, this, &ReportPrinter::titleChanged);
    mTimeout.start(kTimeoutMs);
    QString sLocale = isLocale;
    sLocale.remove(QRegExp(QStringLiteral("[^A-Za-z_]")));
    mpPage->load(QUrl(QStringLiteral("http://127.0.0.1:%1/app/js/report.html?lang=%2").arg(mnHttpPort).arg(sLocale)));
}

void ReportPrinter::titleChanged(const QString& isTitle)
{
    if (!mbBusy || !isTitle.startsWith(QLatin1String("vorn-report-")))
        return;
    if (isTitle.startsWith(QLatin1String("vorn-report-failed"))) {
        qWarning() << "Report page:" << isTitle;
        fail(tr("The report could not be laid out."));
        return;
    }
    if (isTitle != QLatin1String("vorn-report-ready")) {
        fail(tr("The report could not be laid out."));
        return;
    }
    const QPageLayout aLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
    mpPage->printToPdf(
        [this](const QByteArray& iaPdf) {
            if (!mbBusy)
                return;
            if (iaPdf.isEmpty()) {
                fail(tr("The report could not be laid out."));
                return;
            }
            QString sError;
            if (!writeFileSafely(msPath, iaPdf, &sError)) {
                fail(sError);
                return;
            }
            mTimeout.stop();
            mbBusy = false;
            emit finished(true, QString());
        },
        aLayout);
}

void ReportPrinter::fail(const QString& isError)
{
    mTimeout.stop();
    mbBusy = false;
    if (mpPage)
        mpPage->triggerAction(QWebEnginePage::Stop);
    emit finished(false, isError);
}
