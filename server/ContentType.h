#pragma once
#include <QString>

// Content type announced for a request path (query removed).
QString contentTypeFor(const QString& isPath);
