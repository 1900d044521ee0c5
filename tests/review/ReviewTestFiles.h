#pragma once
// A small package with recordings and a review of it, for the report tests.
#include "../audio/WavTestFiles.h"
#include "PackageWriter.h"
#include "ReviewDocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cmath>

namespace ReviewTestFiles {

// Mono 8 kHz PCM16 with a tone that swells, so that the waveform has a shape.
inline QByteArray toneWav(int inSeconds)
{
    QByteArray aData;
    const int nCount = inSeconds * 8000;
    for (int i = 0; i < nCount; ++i) {
        const double f = std::sin(2 * M_PI * 440 * i / 8000.0) * 12000 * (0.2 + 0.8 * ((i / 4000) % 4) / 3.0);
        aData += WavTestFiles::le16(quint16(qint16(std::lround(f))));
    }
    using namespace WavTestFiles;
    return riff(chunk("fmt ", fmtPayload(1, 1, 8000, 16)) + chunk("data", aData));
}

struct Call
{
    int nId;
    QString sTimeStart;
    QString sAgent;
};

inline QList<Call> packageCalls()
{
    return { { 4101, QStringLiteral("2026-12-10 09:15:00"), QStringLiteral("Agent Quinn") },
             { 4102, QStringLiteral("2026-12-10 10:30:45"), QStringLiteral("Agent Ortega") } };
}

// Flags 24: the recording was opened and closed, so it can be played.
inline QString writePackage(const QTemporaryDir& irDir, const QString& isName)
{
    PackageWriter aWriter;
    QJsonArray aCalls;
    for (const Call& aCall : packageCalls()) {
        const QString sVoice = QStringLiteral("call%1.wav").arg(aCall.nId);
        aCalls.append(QJsonObject { { "id", aCall.nId }, { "time_start", aCall.sTimeStart },
                                    { "agent", aCall.sAgent }, { "caller", "+49 30 5550 77" },
                                    { "duration", 6 }, { "voice", sVoice }, { "flags", 24 } });
        aWriter.addFile(QStringLiteral("/app/wave/") + sVoice, toneWav(6));
    }
    aWriter.addFile(QStringLiteral("/app/js/data/calls.js"),
                    "var gCalls = " + QJsonDocument(aCalls).toJson(QJsonDocument::Compact) + ";");
    aWriter.addFile(QStringLiteral("/app/js/data/locales.js"), "var gLocales={\"en_GB\":1,\"de_DE\":1};");
    aWriter.setSettings(QStringLiteral("default_locale=en_GB"));
    const QString sPath = irDir.filePath(isName);
    aWriter.write(sPath);
    return sPath;
}

inline ReviewNote note(qint64 nStart, qint64 nEnd, const char* pCategory, const QString& sText)
{
    ReviewNote aNote;
    aNote.nStartMs = nStart;
    aNote.nEndMs = nEnd;
    aNote.sCategory = QString::fromLatin1(pCategory);
    aNote.sText = sText;
    return aNote;
}

// Notes on both calls of the package and on one it does not hold.
inline void fillReview(ReviewDocument& orDocument)
{
    const QList<Call> aCalls = packageCalls();
    orDocument.setNotes(QJsonValue(aCalls[0].nId), aCalls[0].sTimeStart,
                        { note(1200, 3400, "finding", QStringLiteral("Asked for the card number, \"twice\"")),
                          note(4000, 4000, "follow-up", QStringLiteral("Call back: C:\\claims\\77, today\nsecond line")),
                          note(5000, 5900, "redact", QStringLiteral("المتصل طلب رقم الحساب")) });
    orDocument.setNotes(QJsonValue(aCalls[1].nId), aCalls[1].sTimeStart,
                        { note(0, 2500, "ok", QStringLiteral("Greeting as agreed 👍")) });
    orDocument.setNotes(QJsonValue(3999), QStringLiteral("2025-01-01 08:00:00"),
                        { note(100, 100, "finding", QStringLiteral("Noted before expiry")) });
}

} // namespace ReviewTestFiles
