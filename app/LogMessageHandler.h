#pragma once
#include <QtGlobal>

class QString;
class QMessageLogContext;

// Process-wide debug switch; set once by "--debug" and never cleared.
void setDebugLogging(bool ibEnabled);
bool debugLogging();

// Formats one log line as written to standard error (without the newline).
QString formatLogLine(QtMsgType inType, const QMessageLogContext& irContext, const QString& irsMessage);

// Installed as Qt's message handler: one line per message on standard error.
void logMessageHandler(QtMsgType inType, const QMessageLogContext& irContext, const QString& irsMessage);
