#include "ReviewDocument.h"

#include "ReviewJson.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cerrno>

#include <algorithm>
#include <cmath>

namespace {

const QLatin1String kFormat("vorn-review");
constexpr int kVersion = 1;
// A review file is text written by people: far below this.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

bool isWholeNumber(const QJsonValue& irValue)
{
    if (!irValue.isDouble())
        return false;
    const double f = irValue.toDouble();
    return std::isfinite(f) && std::floor(f) == f && std::fabs(f) < 9.0e15;
}

bool readNote(const QJsonValue& irValue, ReviewNote& orNote)
{
    if (!irValue.isObject())
        return false;
    QJsonObject aObject = irValue.toObject();
    const QJsonValue aStart = aObject.take(QStringLiteral("start_ms"));
    const QJsonValue aEnd = aObject.take(QStringLiteral("end_ms"));
    const QJsonValue aCategory = aObject.take(QStringLiteral("category"));
    const QJsonValue aText = aObject.take(QStringLiteral("text"));
    if (!isWholeNumber(aStart) || !isWholeNumber(aEnd) || !aCategory.isString()
        || !(aText.isString() || aText.isUndefined()))
        return false;
    orNote.nStartMs = qint64(aStart.toDouble());
    orNote.nEndMs = qint64(aEnd.toDouble());
    if (orNote.nStartMs < 0 || orNote.nEndMs < orNote.nStartMs)
        return false;
    orNote.sCategory = aCategory.toString();
    orNote.sText = aText.toString();
    orNote.aExtra = aObject;
    return true;
}

} // namespace

ReviewPackageInfo readPackageInfo(const QString& isPath)
{
    ReviewPackageInfo aInfo;
    QFile aFile(isPath);
    if (!aFile.open(QIODevice::ReadOnly))
        return aInfo;
    QCryptographicHash aHash(QCryptographicHash::Sha256);
    if (!aHash.addData(&aFile))
        return aInfo;
    aInfo.sFile = QFileInfo(isPath).fileName();
    aInfo.nSize = aFile.size();
    aInfo.sSha256 = QString::fromLatin1(aHash.result().toHex());
    return aInfo;
}

ReviewDocument::ReviewDocument(QObject* ipParent)
    : QObject(ipParent)
{
}

QJsonValue ReviewDocument::normalizedId(const QJsonValue& irId)
{
    if (isWholeNumber(irId))
        return QJsonValue(qint64(irId.toDouble()));
    return irId;
}

int ReviewDocument::indexOf(const QJsonValue& irId, const QString& irsTimeStart) const
{
    const QJsonValue aId = normalizedId(irId);
    for (int n = 0; n < maCalls.size(); ++n) {
        if (maCalls.at(n).sTimeStart == irsTimeStart && maCalls.at(n).aId == aId)
            return n;
    }
    return -1;
}

QVector<ReviewNote> ReviewDocument::notes(const QJsonValue& irId, const QString& irsTimeStart) const
{
    const int n = indexOf(irId, irsTimeStart);
    return n < 0 ? QVector<ReviewNote>() : maCalls.at(n).aNotes;
}

void ReviewDocument::setNotes(const QJsonValue& irId, const QString& irsTimeStart, const QVector<ReviewNote>& irNotes)
{
    const int n = indexOf(irId, irsTimeStart);
    if (n < 0 && irNotes.isEmpty())
        return;
    if (n >= 0 && maCalls.at(n).aNotes == irNotes)
        return;
    if (irNotes.isEmpty()) {
        maCalls.remove(n);
    } else if (n < 0) {
        ReviewCall aCall;
        aCall.aId = normalizedId(irId);
        aCall.sTimeStart = irsTimeStart;
        aCall.aNotes = irNotes;
        maCalls.append(aCall);
    } else {
        maCalls[n].aNotes = irNotes;
    }
    setUnsaved(true);
    emit changed();
}

void ReviewDocument::setUnsaved(bool ibUnsaved)
{
    if (mbUnsaved == ibUnsaved)
        return;
    mbUnsaved = ibUnsaved;
    emit unsavedChanged(mbUnsaved);
}

void ReviewDocument::clear()
{
    const bool bHadNotes = !maCalls.isEmpty();
    maCalls.clear();
    maExtra = QJsonObject();
    maPackageExtra = QJsonObject();
    mnMergedDuplicates = 0;
    setUnsaved(false);
    if (bHadNotes)
        emit changed();
    emit replaced();
}

ReviewDocument::LoadResult ReviewDocument::loadJson(const QByteArray& iaJson, const ReviewPackageInfo& irCurrent,
                                                    QString* ipsError)
{
    QJsonParseError aError;
    const QJsonDocument aDocument = QJsonDocument::fromJson(iaJson, &aError);
    if (aError.error != QJsonParseError::NoError) {
        *ipsError = tr("The review file is damaged (byte %1).").arg(aError.offset);
        return LoadResult::Failed;
    }
    QJsonObject aRoot = aDocument.object();
    if (!aDocument.isObject() || aRoot.take(QStringLiteral("format")) != QJsonValue(kFormat)) {
        *ipsError = tr("The file is not a review file.");
        return LoadResult::Failed;
    }
    const QJsonValue aVersion = aRoot.take(QStringLiteral("version"));
    if (aVersion.toDouble(-1) != kVersion) {
        *ipsError = tr("The review file has version %1; this viewer reads version %2.")
                        .arg(QString::fromUtf8(jsonValueText(aVersion)))
                        .arg(kVersion);
        return LoadResult::Failed;
    }
    const QJsonValue aPackageValue = aRoot.take(QStringLiteral("package"));
    const QJsonValue aCallsValue = aRoot.take(QStringLiteral("calls"));
    // Written anew on every save.
    aRoot.remove(QStringLiteral("saved"));
    aRoot.remove(QStringLiteral("reviewer"));
    if (!(aPackageValue.isObject() || aPackageValue.isUndefined()) || !aCallsValue.isArray()) {
        *ipsError = tr("The review file is damaged.");
        return LoadResult::Failed;
    }

    QVector<ReviewCall> aCalls;
    int nMerged = 0;
    const QJsonArray aCallArray = aCallsValue.toArray();
    for (const QJsonValue& aCallValue : aCallArray) {
        QJsonObject aCallObject = aCallValue.toObject();
        const QJsonValue aId = normalizedId(aCallObject.take(QStringLiteral("id")));
        const QJsonValue aTime = aCallObject.take(QStringLiteral("time_start"));
        const QJsonValue aNotes = aCallObject.take(QStringLiteral("notes"));
        if (!aCallValue.isObject() || !(aId.isDouble() || aId.isString()) || !aTime.isString()
            || !aNotes.isArray()) {
            *ipsError = tr("The review file is damaged (call %1).").arg(aCalls.size() + nMerged + 1);
            return LoadResult::Failed;
        }
        ReviewCall aCall;
        aCall.aId = aId;
        aCall.sTimeStart = aTime.toString();
        aCall.aExtra = aCallObject;
        const QJsonArray aNoteArray = aNotes.toArray();
        for (const QJsonValue& aNoteValue : aNoteArray) {
            ReviewNote aNote;
            if (!readNote(aNoteValue, aNote)) {
                *ipsError = tr("The review file is damaged (call %1).")
                                .arg(QString::fromUtf8(jsonValueText(aId)));
                return LoadResult::Failed;
            }
            aCall.aNotes.append(aNote);
        }
        // A call named twice (files merged by hand or by a script): its
        // notes are joined in file order, so none is lost.
        auto it = std::find_if(aCalls.begin(), aCalls.end(), [&](const ReviewCall& irCall) {
            return irCall.aId == aCall.aId && irCall.sTimeStart == aCall.sTimeStart;
        });
        if (it != aCalls.end()) {
            it->aNotes += aCall.aNotes;
            for (auto itKey = aCall.aExtra.constBegin(); itKey != aCall.aExtra.constEnd(); ++itKey) {
                if (!it->aExtra.contains(itKey.key()))
                    it->aExtra.insert(itKey.key(), itKey.value());
            }
            ++nMerged;
            continue;
        }
        if (!aCall.aNotes.isEmpty() || !aCall.aExtra.isEmpty())
            aCalls.append(aCall);
    }

    QJsonObject aPackage = aPackageValue.toObject();
    const QJsonValue aSize = aPackage.take(QStringLiteral("size"));
    const QJsonValue aSha = aPackage.take(QStringLiteral("sha256"));
    aPackage.remove(QStringLiteral("file"));
    bool bOtherPackage = false;
    if (!irCurrent.isEmpty()) {
        bOtherPackage = aSize.toDouble(-1) != double(irCurrent.nSize)
            || aSha.toString().compare(irCurrent.sSha256, Qt::CaseInsensitive) != 0;
    }

    maCalls = aCalls;
    maExtra = aRoot;
    maPackageExtra = aPackage;
    mnMergedDuplicates = nMerged;
    // Merging changed what the file says: the next save writes it once.
    setUnsaved(nMerged > 0);
    emit changed();
    emit replaced();
    ipsError->clear();
    return bOtherPackage ? LoadResult::LoadedOtherPackage : LoadResult::Loaded;
}

ReviewDocument::LoadResult ReviewDocument::loadFile(const QString& isPath, const ReviewPackageInfo& irCurrent,
                                                    QString* ipsError)
{
    QFile aFile(isPath);
    if (!aFile.open(QIODevice::ReadOnly)) {
        *ipsError = tr("The review file cannot be read: %1").arg(aFile.errorString());
        return LoadResult::Failed;
    }
    if (aFile.size() > kMaxFileSize) {
        *ipsError = tr("The file is not a review file.");
        return LoadResult::Failed;
    }
    const QByteArray aData = aFile.readAll();
    if (aData.size() != aFile.size()) {
        *ipsError = tr("The review file cannot be read: %1").arg(aFile.errorString());
        return LoadResult::Failed;
    }
    return loadJson(aData, irCurrent, ipsError);
}

QByteArray ReviewDocument::toJson(const ReviewPackageInfo& irPackage, const QString& isReviewer,
                                  const QDateTime& irtSaved) const
{
    JsonObjectWriter aRoot(0);
    aRoot.add("format", QJsonValue(kFormat));
    aRoot.add("version", QJsonValue(kVersion));
    {
        JsonObjectWriter aPackage(-1);
        aPackage.add("file", QJsonValue(irPackage.sFile));
        aPackage.add("size", irPackage.nSize < 0 ? QJsonValue() : QJsonValue(irPackage.nSize));
        aPackage.add("sha256", QJsonValue(irPackage.sSha256));
        aPackage.addRest(maPackageExtra);
        aRoot.addRaw("package", aPackage.finish());
    }
    aRoot.add("saved", QJsonValue(irtSaved.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"))));
    aRoot.add("reviewer", QJsonValue(isReviewer));
    QByteArrayList aCallTexts;
    for (const ReviewCall& aCall : maCalls) {
        JsonObjectWriter aCallWriter(-1);
        aCallWriter.add("id", aCall.aId);
        aCallWriter.add("time_start", QJsonValue(aCall.sTimeStart));
        QByteArrayList aNoteTexts;
        for (const ReviewNote& aNote : aCall.aNotes) {
            JsonObjectWriter aNoteWriter(-1);
            aNoteWriter.add("start_ms", QJsonValue(aNote.nStartMs));
            aNoteWriter.add("end_ms", QJsonValue(aNote.nEndMs));
            aNoteWriter.add("category", QJsonValue(aNote.sCategory));
            aNoteWriter.add("text", QJsonValue(aNote.sText));
            aNoteWriter.addRest(aNote.aExtra);
            aNoteTexts.append(aNoteWriter.finish());
        }
        aCallWriter.addRaw("notes", jsonArrayText(aNoteTexts, 2));
        aCallWriter.addRest(aCall.aExtra);
        aCallTexts.append(aCallWriter.finish());
    }
    aRoot.addRaw("calls", jsonArrayText(aCallTexts, 1));
    aRoot.addRest(maExtra);
    return aRoot.finish() + '\n';
}

bool ReviewDocument::saveFile(const QString& isPath, const ReviewPackageInfo& irPackage, const QString& isReviewer,
                              QString* ipsError)
{
    if (!writeFileSafely(isPath, toJson(irPackage, isReviewer, QDateTime::currentDateTimeUtc()), ipsError))
        return false;
    setUnsaved(false);
    return true;
}

bool writeFileSafely(const QString& isPath, const QByteArray& iaData, QString* ipsError)
{
    // QSaveFile writes beside the target and renames over it: a device, a
    // pipe or a folder given as target would be replaced, not written to.
    const QFileInfo aTarget(isPath);
    if (aTarget.exists() && !aTarget.isFile()) {
        *ipsError = QCoreApplication::translate("ReviewDocument", "%1 is not a regular file.").arg(isPath);
        return false;
    }
    QSaveFile aFile(isPath);
    if (!aFile.open(QIODevice::WriteOnly)) {
        *ipsError = QCoreApplication::translate("ReviewDocument", "%1 cannot be written: %2")
                        .arg(isPath, aFile.errorString());
        return false;
    }
    // A full disk can shorten a write without failing it: the file must hold
    // every byte before it takes the name.
    const bool bWhole = aFile.write(iaData) == iaData.size() && aFile.flush() && aFile.size() == iaData.size();
    if (!bWhole || !aFile.commit()) {
        QString sReason = aFile.errorString();
        if (aFile.error() == QFileDevice::NoError || sReason.isEmpty() || sReason == QLatin1String("Unknown error"))
            sReason = qt_error_string(ENOSPC);
        *ipsError = QCoreApplication::translate("ReviewDocument", "%1 cannot be written: %2").arg(isPath, sReason);
        aFile.cancelWriting();
        return false;
    }
    return true;
}
