#include "Translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

bool installTranslation(QTranslator& irTranslator, const QString& isDirectory)
{
    if (!irTranslator.load(QLocale(), QStringLiteral("VornViewer"), QStringLiteral("_"), isDirectory,
            QStringLiteral(".qm")))
        return false;
    return QCoreApplication::installTranslator(&irTranslator);
}
