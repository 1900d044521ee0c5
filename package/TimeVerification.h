#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class VornViewer;

// Fetches a signed time from a package's time servers, falls back to the
// second server and then to a server the user names, and hands the offset
// between server and local clock to the owner window. It talks to the window
// by direct calls and has no signals.
class TimeVerification : public QObject
{
    Q_OBJECT
public:
    // Each request gives up after this long; a server that accepts the
    // connection and never answers then counts as a failed request.
    static constexpr int cnDefaultTransferTimeoutMs = 30000;

    explicit TimeVerification(VornViewer* ipaOwner);
    ~TimeVerification() override;

    // Shows the waiting box for URL 1 and asks it for a signed time.
    void start(const QString& isUrl1, const QString& isUrl2, const QString& isKey);

    // Drops the pending request, if any: its reply is released unread, so a
    // verification the user left (home, another package, closed window) can
    // never reopen a package later. Hides the waiting box when one was pending.
    void cancel();

    void setTransferTimeout(int inMilliseconds) { mnTransferTimeoutMs = inMilliseconds; }

private slots:
    void requestFinished(QNetworkReply* ipaReply);

private:
    void sendRequest(int inNumber);

    QNetworkAccessManager* mpNetworkManager;
    VornViewer* mpOwner;
    QString msUrl1;
    QString msUrl2;
    QByteArray maKey;
    // Guarded: a released reply must not be mistaken for a later one that
    // happens to get the same address. Cleared once their reply is handled.
    QPointer<QNetworkReply> mpReply1;
    QPointer<QNetworkReply> mpReply2;
    int mnTransferTimeoutMs = cnDefaultTransferTimeoutMs;
};
