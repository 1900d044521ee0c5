#include "Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

// Qt lays the whole window out right to left when the installed catalog
// translates this marker to "RTL"; listed here so that lupdate offers it
// in every catalog.
[[maybe_unused]] static const char* const kLayoutDirection = QT_TRANSLATE_NOOP("QGuiApplication", "QT_LAYOUT_DIRECTION");

bool installTranslation(QTranslator& irTranslator, const QString& isDirectory)
{
    if (!irTranslator.load(QLocale(), QStringLiteral("VornViewer"), QStringLiteral("_"), isDirectory,
            QStringLiteral(".qm")))
        return false;
    return QCoreApplication::installTranslator(&irTranslator);
}

QStringList translationDirectories(const QString& isExecutableDirectory)
{
    return { isExecutableDirectory,
        QDir::cleanPath(isExecutableDirectory + QLatin1Char('/') + QStringLiteral(VORN_INSTALLED_TRANSLATIONS)) };
}

bool installViewerTranslation(QTranslator& irTranslator, const QString& isExecutableDirectory)
{
    const QStringList saDirectories = translationDirectories(isExecutableDirectory);
    for (const QString& sDirectory : saDirectories)
        if (installTranslation(irTranslator, sDirectory))
            return true;
    return false;
}
