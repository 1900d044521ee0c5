#pragma once
// "/app/calls/summary": what the "Calls" object's summary() says, over HTTP,
// answered once the index of the open package is ready. The page asks it
// before its web channel has connected, so that a small package's calls.js
// is fetched at once and a large one's first view is asked without a
// further round trip.
class CallIndexChannel;
class HttpServer;

void routeCallSummary(HttpServer& irServer, CallIndexChannel& irCalls);
