#pragma once
#include <QString>

class QTranslator;

// Loads the catalog "VornViewer_<locale>.qm" for the current locale from
// isDirectory (full locale name first, then shorter forms) and installs it.
// Without a catalog every text stays in its built-in English.
bool installTranslation(QTranslator& irTranslator, const QString& isDirectory);
