#include "ContentType.h"

#include <QMimeDatabase>

QString contentTypeFor(const QString& isPath)
{
    if (isPath.endsWith(QLatin1String("svg"))) {
        // Waveforms are asked for as SVG but delivered as PNG.
        return isPath.startsWith(QLatin1String("/app/wave/")) ? QStringLiteral("image/png")
                                                              : QStringLiteral("image/svg+xml");
    }
    static const QMimeDatabase aDatabase;
    const QList<QMimeType> aTypes = aDatabase.mimeTypesForFileName(isPath);
    if (!aTypes.isEmpty())
        return aTypes.first().name();
    return QStringLiteral("text/html");
}
