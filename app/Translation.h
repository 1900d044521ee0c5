#pragma once
#include <QString>
#include <QStringList>

class QTranslator;

// Loads the catalog "VornViewer_<locale>.qm" for the current locale from
// isDirectory (full locale name first, then shorter forms) and installs it.
// Without a catalog every text stays in its built-in English.
bool installTranslation(QTranslator& irTranslator, const QString& isDirectory);

// The folders searched for the viewer's catalogs, in order: beside the
// executable (a build folder), then where an installation puts them.
QStringList translationDirectories(const QString& isExecutableDirectory);

// installTranslation from the first of translationDirectories that holds a
// catalog for the locale.
bool installViewerTranslation(QTranslator& irTranslator, const QString& isExecutableDirectory);
