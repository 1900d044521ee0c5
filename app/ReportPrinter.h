#pragma once
#include <QJsonObject>
#include <QObject>
#include <QTimer>

class QWebEnginePage;
class QWebEngineProfile;

// Prints the review report: the report page of the loopback server, loaded
// into a page of its own that is never shown, laid out and printed to PDF
// by the web engine. The profile keeps nothing on disk.
class ReportPrinter : public QObject
{
    Q_OBJECT
public:
    explicit ReportPrinter(int inHttpPort, QObject* ipParent = nullptr);
    ~ReportPrinter() override;

    // Renders irData (reviewReportData) in isLocale's language into the PDF
    // file isPath; finished() tells how it went. One report at a time.
    void print(const QJsonObject& irData, const QString& isLocale, const QString& isPath);

signals:
    void finished(bool ibOk, const QString& isError);

private:
    void fail(const QString& isError);
    void titleChanged(const QString& isTitle);

    int mnHttpPort;
    QWebEngineProfile* mpProfile = nullptr;
    QWebEnginePage* mpPage = nullptr;
    QJsonObject maData;
    QString msPath;
    QTimer mTimeout;
    bool mbBusy = false;
};
