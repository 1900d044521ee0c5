#include "CallSummaryRoute.h"

#include "CallIndexChannel.h"
#include "HttpServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

#include <memory>

namespace {

QByteArray summaryJson(const CallIndexChannel& irCalls)
{
    // As the web channel would send the map.
    return QJsonDocument(QJsonObject::fromVariantMap(irCalls.summary())).toJson(QJsonDocument::Compact);
}

} // namespace

void routeCallSummary(HttpServer& irServer, CallIndexChannel& irCalls)
{
    const QPointer<CallIndexChannel> pCalls(&irCalls);
    irServer.addRoute(QStringLiteral("/app/calls/summary"), "application/json",
        [pCalls](const HttpServer::Answer& irAnswer) {
            if (!pCalls) {
                irAnswer("{}");
                return;
            }
            if (pCalls->isReady()) {
                irAnswer(summaryJson(*pCalls));
                return;
            }
            // A build runs: the answer waits for its end. (A request still
            // waiting when its package closes goes with its page.)
            auto pConnection = std::make_shared<QMetaObject::Connection>();
            *pConnection = QObject::connect(pCalls, &CallIndexChannel::readyJs, pCalls, [pCalls, pConnection, irAnswer] {
                QObject::disconnect(*pConnection);
                irAnswer(summaryJson(*pCalls));
            });
        });
}
