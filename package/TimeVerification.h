#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches a signed time from a package's time servers, falls back to the
// second server and then to a server the user names, and reports the offset
// between server and local clock. It knows no window: whoever shows the
// waiting box and the prompt connects to its signals.
class TimeVerification : public QObject
{
    Q_OBJECT
public:
    // Each request gives up after this long; a server that accepts the
    // connection and never answers then counts as a failed request.
    static constexpr int cnDefaultTransferTimeoutMs = 30000;

    explicit TimeVerification(QObject* ipParent = nullptr);
    ~TimeVerification() override;

    // Shows the waiting box for URL 1 and asks it for a signed time.
    void start(const QString& isUrl1, const QString& isUrl2, const QString& isKey);

    // Drops the pending request, if any: its reply is released unread, so a
    // verification the user left (home, another package, closed window) can
    // never reopen a package later. Hides the waiting box when one was pending.
    void cancel();

    void setTransferTimeout(int inMilliseconds) { mnTransferTimeoutMs = inMilliseconds; }

signals:
    // A request to this URL is under way (the first of a round).
    void waitingStarted(const QString& isUrl);
    // The first server failed; the second one is asked now.
    void waitingMoved(const QString& isUrl);
    // No request is pending any more.
    void waitingEnded();
    // A validly signed time arrived: server minus local clock, in seconds.
    void timeVerified(int inTimeOffset);
    // Both servers failed: the user may name another one (start() again).
    void urlWanted();

private slots:
    void requestFinished(QNetworkReply* ipaReply);

private:
    void sendRequest(int inNumber);

    QNetworkAccessManager* mpNetworkManager;
    QString msUrl1;
    QString msUrl2;
    QByteArray maKey;
    // Guarded: a released reply must not be mistaken for a later one that
    // happens to get the same address. Cleared once their reply is handled.
    QPointer<QNetworkReply> mpReply1;
    QPointer<QNetworkReply> mpReply2;
    int mnTransferTimeoutMs = cnDefaultTransferTimeoutMs;
};
