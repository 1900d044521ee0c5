#include "PackageAnalysis.h"

#include "Activity.h"
#include "Package.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtConcurrent>

namespace Analytics {

namespace {

constexpr quint32 cnCcOpen = 0x00000008;
constexpr quint32 cnCcClose = 0x00000010;

QString cellText(const QJsonValue& irValue)
{
    if (irValue.isString())
        return irValue.toString();
    if (irValue.isDouble()) {
        const double f = irValue.toDouble();
        return f == double(qint64(f)) ? QString::number(qint64(f)) : QString::number(f, 'g', 17);
    }
    return QString();
}

// RFC 4180: a cell with a comma, quote or line break is quoted.
QString csvCell(const QString& isText)
{
    if (!isText.contains(QLatin1Char(',')) && !isText.contains(QLatin1Char('"')) && !isText.contains(QLatin1Char('\n'))
        && !isText.contains(QLatin1Char('\r')))
        return isText;
    QString s = isText;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

} // namespace

bool callsWithRecording(Package& irPackage, QVector<CallRecording>& irCalls, QString* ipError)
{
    irCalls.clear();
    QByteArray aScript;
    if (irPackage.callExpirationEnabled()) {
        aScript = irPackage.callListScriptUtf8();
    } else {
        QBuffer aBuffer;
        if (irPackage.readFile(QStringLiteral("/app/js/data/calls.js"), &aBuffer) != 0) {
            if (ipError)
                *ipError = QStringLiteral("the package has no readable call list");
            return false;
        }
        aScript = aBuffer.data();
    }
    const int nStart = aScript.indexOf('[');
    const int nEnd = aScript.lastIndexOf(']');
    QJsonParseError aError{};
    const QJsonDocument aDocument =
        nStart >= 0 && nEnd > nStart ? QJsonDocument::fromJson(aScript.mid(nStart, nEnd - nStart + 1), &aError)
                                     : QJsonDocument();
    if (!aDocument.isArray()) {
        if (ipError)
            *ipError = QStringLiteral("the call list cannot be parsed");
        return false;
    }
    const QStringList aMembers = irPackage.memberPaths();
    const QJsonArray aArray = aDocument.array();
    for (int nIndex = 0; nIndex < aArray.size(); ++nIndex) {
        const QJsonObject aCall = aArray[nIndex].toObject();
        const QString sVoice = aCall.value(QLatin1String("voice")).toString();
        const quint32 nFlags = quint32(qint64(aCall.value(QLatin1String("flags")).toDouble()));
        if (sVoice.isEmpty() || (nFlags & cnCcOpen) == 0 || (nFlags & cnCcClose) == 0)
            continue;
        // "call7.wvc", "/app/wave/call7.wav" or a bare "call7", as the page
        // names it; a bare name is a ".wvc" member when there is one.
        QString sName = sVoice;
        if (sName.startsWith(QLatin1Char('/')))
            sName.remove(0, 1);
        if (sName.startsWith(QLatin1String("app/wave/")))
            sName.remove(0, 9);
        while (sName.startsWith(QLatin1Char('/')))
            sName.remove(0, 1);
        QString sPath = QStringLiteral("/app/wave/") + sName;
        if (!sName.endsWith(QLatin1String(".wvc"), Qt::CaseInsensitive)
            && !sName.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive))
            sPath += aMembers.contains(sPath + QLatin1String(".wvc")) ? QLatin1String(".wvc") : QLatin1String(".wav");
        irCalls.append({cellText(aCall.value(QLatin1String("id"))), aCall.value(QLatin1String("time_start")).toString(),
                        sPath, nIndex});
    }
    return true;
}

CallAnalysis analyseLevels(const RecordingLevels& irLevels, const FigureOptions& irOptions)
{
    CallAnalysis aResult;
    aResult.nSource = irLevels.nSource;
    aResult.sError = irLevels.sError;
    if (irLevels.nSource == LevelSource::None)
        return aResult;
    aResult.aActivity = detectActivity(irLevels.aSeries);
    aResult.aFigures = computeFigures(aResult.aActivity, irLevels.nDurationMs, irOptions);
    return aResult;
}

CallAnalysis analyseRecording(Package& irPackage, const QString& isPath, const FigureOptions& irOptions)
{
    return analyseLevels(readRecordingLevels(irPackage, isPath), irOptions);
}

QVector<CallAnalysis> analyseCalls(Package& irPackage, const QVector<CallRecording>& irCalls,
                                   const FigureOptions& irOptions, const std::atomic<bool>* ipCancel,
                                   const std::function<void(int)>& irProgress)
{
    std::atomic<int> nDone{0};
    const std::function<CallAnalysis(const CallRecording&)> analyse = [&](const CallRecording& irCall) {
        CallAnalysis aAnalysis;
        if (ipCancel && ipCancel->load())
            aAnalysis.sError = QStringLiteral("cancelled");
        else
            aAnalysis = analyseRecording(irPackage, irCall.sPath, irOptions);
        const int n = ++nDone;
        if (irProgress)
            irProgress(n);
        return aAnalysis;
    };
    return QtConcurrent::blockingMapped<QVector<CallAnalysis>>(irCalls, analyse);
}

QString csvRow(const CallRecording& irCall, const CallAnalysis& irAnalysis)
{
    return csvCell(irCall.sCallId) + QLatin1Char(',') + csvCell(irCall.sTimeStart) + QLatin1Char(',')
        + csvFigures(irAnalysis.aFigures ? &*irAnalysis.aFigures : nullptr);
}

} // namespace Analytics
