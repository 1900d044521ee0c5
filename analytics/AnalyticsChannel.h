#pragma once
#include "CallFigures.h"

#include <QHash>
#include <QObject>
#include <QVariantMap>

class Package;

// The page's "Analytics" channel object: the activity and figures of one
// recording, for the lanes under the waveform. The levels of the last
// recordings asked for are kept, so a new silence threshold costs nothing.
class AnalyticsChannel : public QObject
{
    Q_OBJECT
public:
    AnalyticsChannel(Package* ipPackage, QObject* ipParent = nullptr);

    // isPath: the recording's member path ("/app/wave/x.wvc"); inSilenceMs:
    // the silence threshold. A map with "ok", "channels", "duration",
    // "speech" (per channel a list of [start, end] in ms), "silences",
    // "overtalk" and "figures" (the CSV's names), or "ok" false and "error".
    Q_INVOKABLE QVariantMap activity(const QString& isPath, int inSilenceMs);

public slots:
    // A package was opened or closed: what was kept belongs to the old one.
    void clear();

private:
    struct Kept
    {
        std::vector<Analytics::Spans> aActivity;
        qint64 nDurationMs = 0;
        QString sError;
    };
    Package* mpPackage;
    QHash<QString, Kept> maKept;
};
