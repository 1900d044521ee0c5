#include "BatchExport.h"

#include "Json.h"
#include "Package.h"
#include "RecordingWriter.h"
#include "ReviewNote.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

namespace {
const QString csCallsPath = QStringLiteral("/app/js/data/calls.js");
const QString csWavePrefix = QStringLiteral("/app/wave/");

QVariantList callsOf(const QByteArray& iaScript)
{
    const int nStart = iaScript.indexOf('[');
    if (nStart < 0)
        return {};
    bool bOk = false;
    return Json::parse(QString::fromUtf8(iaScript.mid(nStart)), bOk).toList();
}

// The records keyed by id (as JSON text) and time start.
QHash<QString, QVariantMap> byKey(const QVariantList& irCalls)
{
    QHash<QString, QVariantMap> a;
    for (const QVariant& rCall : irCalls) {
        const QVariantMap aCall = rCall.toMap();
        const QJsonValue aId = QJsonValue::fromVariant(aCall.value(QStringLiteral("id")));
        a.insert(QString::fromUtf8(QJsonDocument(QJsonArray { aId }).toJson(QJsonDocument::Compact)) + '|'
                     + aCall.value(QStringLiteral("time_start")).toString().left(19),
                 aCall);
    }
    return a;
}

QString keyOf(const BatchExport::Call& irCall)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray { irCall.aId }).toJson(QJsonDocument::Compact)) + '|'
        + irCall.sTimeStart.left(19);
}

QString memberOf(const QVariantMap& irCall)
{
    QString sVoice = irCall.value(QStringLiteral("voice")).toString();
    if (sVoice.isEmpty())
        return {};
    sVoice.remove(QRegularExpression(QStringLiteral("^/?app/wave/")));
    while (sVoice.startsWith(QLatin1Char('/')))
        sVoice.remove(0, 1);
    return csWavePrefix + sVoice;
}
} // namespace

BatchExport::BatchExport(Package* ipPackage, const QVector<Call>& irCalls, const QString& isFolder,
                         RedactionStage::Fill inFill)
    : mpPackage(ipPackage)
    , maCalls(irCalls)
    , msFolder(isFolder)
    , mnFill(inFill)
{
    plan();
}

QString BatchExport::baseName(const QJsonValue& irId, const QString& isTimeStart)
{
    QString sName;
    if (irId.isDouble())
        sName = QString::fromUtf8(QJsonDocument(QJsonArray { irId }).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
    else if (irId.isString())
        sName = irId.toString().trimmed();
    if (sName.isEmpty()) {
        const QDateTime tStart = QDateTime::fromString(isTimeStart.left(19), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        sName = tStart.isValid() ? tStart.toString(QStringLiteral("yyyyMMdd-hhmmss")) : QStringLiteral("call");
    }
    for (QChar& c : sName)
        if (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    // "." and ".." are no file names of their own.
    if (sName.startsWith(QLatin1Char('.')))
        sName.prepend(QLatin1Char('_'));
    return sName;
}

QVector<BatchExport::Call> BatchExport::fromReview(const QVector<ReviewCall>& irCalls)
{
    QVector<Call> a;
    for (const ReviewCall& rCall : irCalls) {
        Call aCall { rCall.aId, rCall.sTimeStart, {} };
        for (const ReviewNote& rNote : rCall.aNotes)
            if (rNote.sCategory == QLatin1String("redact") && rNote.nEndMs > rNote.nStartMs && rNote.nStartMs >= 0)
                aCall.aRedact.append({ rNote.nStartMs, rNote.nEndMs });
        a.append(aCall);
    }
    return a;
}

QString BatchExport::Result::summary() const
{
    QStringList aLines;
    aLines << QCoreApplication::translate("BatchExport", "Recordings written: %1").arg(aWritten.size());
    for (const Skipped& rSkipped : aSkipped)
        aLines << QCoreApplication::translate("BatchExport", "Skipped %1: %2").arg(rSkipped.sCall, rSkipped.sReason);
    if (bCancelled)
        aLines << QCoreApplication::translate("BatchExport", "The export was cancelled.");
    if (!sError.isEmpty())
        aLines << sError;
    return aLines.join(QLatin1Char('\n'));
}

QString BatchExport::callLabel(const Call& irCall)
{
    const QString sId = irCall.aId.isString() ? irCall.aId.toString()
        : irCall.aId.isDouble()
        ? QString::fromUtf8(QJsonDocument(QJsonArray { irCall.aId }).toJson(QJsonDocument::Compact)).mid(1).chopped(1)
        : QString();
    return sId.isEmpty() ? irCall.sTimeStart : QStringLiteral("%1 (%2)").arg(sId, irCall.sTimeStart);
}

void BatchExport::plan()
{
    maPlan.clear();
    QBuffer aRaw;
    aRaw.open(QIODevice::ReadWrite);
    mpPackage->readFile(csCallsPath, &aRaw);
    const QHash<QString, QVariantMap> aAll = byKey(callsOf(aRaw.buffer()));
    // The list the page sees: with expiration on, the retention filter's.
    const QHash<QString, QVariantMap> aShown
        = mpPackage->callExpirationEnabled() ? byKey(callsOf(mpPackage->callListScriptUtf8())) : aAll;
    QSet<QString> aTaken;
    for (const Call& rCall : qAsConst(maCalls)) {
        Plan aPlan;
        const QString sKey = keyOf(rCall);
        const auto itShown = aShown.constFind(sKey);
        if (itShown == aShown.cend()) {
            aPlan.sReason = aAll.contains(sKey) ? tr("the call has expired") : tr("the call is not in this package");
        } else {
            aPlan.sMember = memberOf(*itShown);
            if (aPlan.sMember.isEmpty() && !memberOf(aAll.value(sKey)).isEmpty())
                aPlan.sReason = tr("the recording has expired");
            else if (aPlan.sMember.isEmpty() || mpPackage->entryStoredSize(aPlan.sMember) < 0)
                aPlan.sReason = tr("the call has no recording");
            if (!aPlan.sReason.isEmpty())
                aPlan.sMember.clear();
        }
        if (!aPlan.sMember.isEmpty()) {
            const QString sBase = baseName(rCall.aId, rCall.sTimeStart);
            aPlan.sName = sBase + QStringLiteral(".wav");
            for (int n = 2; aTaken.contains(aPlan.sName.toLower()); ++n)
                aPlan.sName = QStringLiteral("%1-%2.wav").arg(sBase).arg(n);
            aTaken.insert(aPlan.sName.toLower());
        }
        maPlan.append(aPlan);
    }
}

QStringList BatchExport::plannedNames() const
{
    QStringList a;
    for (const Plan& rPlan : maPlan)
        a << rPlan.sName;
    return a;
}

QStringList BatchExport::existingNames() const
{
    QStringList a;
    const QDir aFolder(msFolder);
    for (const Plan& rPlan : maPlan)
        if (!rPlan.sName.isEmpty() && QFileInfo::exists(aFolder.filePath(rPlan.sName)))
            a << rPlan.sName;
    return a;
}

BatchExport::Result BatchExport::run(bool ibOverwrite, const Progress& irProgress)
{
    Result aResult;
    const QDir aFolder(msFolder);
    if (!aFolder.exists()) {
        aResult.sError = tr("The folder %1 does not exist.").arg(QDir::toNativeSeparators(msFolder));
        return aResult;
    }
    const QStringList aExisting = existingNames();
    if (!ibOverwrite && !aExisting.isEmpty()) {
        aResult.sError = tr("These files exist already: %1").arg(aExisting.join(QStringLiteral(", ")));
        return aResult;
    }
    int nTotal = 0;
    for (const Plan& rPlan : qAsConst(maPlan))
        nTotal += rPlan.sName.isEmpty() ? 0 : 1;
    int nDone = 0;
    for (int i = 0; i < maPlan.size(); ++i) {
        const Plan& rPlan = maPlan[i];
        if (rPlan.sName.isEmpty()) {
            aResult.aSkipped.append({ callLabel(maCalls[i]), rPlan.sReason });
            continue;
        }
        if (irProgress && !irProgress(nDone, nTotal, rPlan.sName)) {
            aResult.bCancelled = true;
            return aResult;
        }
        QSaveFile aFile(aFolder.filePath(rPlan.sName));
        if (!aFile.open(QIODevice::WriteOnly)) {
            aResult.sError = tr("Could not write %1: %2").arg(QDir::toNativeSeparators(aFile.fileName()), aFile.errorString());
            return aResult;
        }
        RecordingWriter aWriter(mpPackage, rPlan.sMember);
        aWriter.setRedaction(maCalls[i].aRedact, mnFill);
        const bool bWritten = aWriter.write(&aFile, [&](double) {
            return !irProgress || irProgress(nDone, nTotal, rPlan.sName);
        });
        if (aWriter.cancelled()) {
            aFile.cancelWriting();
            aResult.bCancelled = true;
            return aResult;
        }
        if (!bWritten && aWriter.writeFailed()) {
            // A full disk fails every file after this one too: stop, and keep no part.
            aFile.cancelWriting();
            aResult.sError = tr("Could not write %1: %2").arg(QDir::toNativeSeparators(aFile.fileName()), aWriter.error());
            return aResult;
        }
        if (!bWritten) {
            aFile.cancelWriting();
            aResult.aSkipped.append({ callLabel(maCalls[i]), tr("the recording could not be read") });
            ++nDone;
            continue;
        }
        if (!aFile.commit()) {
            aResult.sError = tr("Could not write %1: %2").arg(QDir::toNativeSeparators(aFile.fileName()), aFile.errorString());
            return aResult;
        }
        aResult.aWritten << rPlan.sName;
        ++nDone;
    }
    if (irProgress)
        irProgress(nDone, nTotal, QString());
    return aResult;
}
