#include "CallIndexChannel.h"

#include "JavaScriptReader.h"
#include "JsText.h"
#include "MemberSlices.h"
#include "Package.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QThread>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>

namespace {

const QString csCallsScript = QStringLiteral("/app/js/data/calls.js");
// The views a page may still be reading rows of.
constexpr size_t cnKeptViews = 8;
constexpr int cnMaxRows = 1000;
// Far above any real call list; larger scripts are left to the page.
constexpr qint64 cnMaxScript = qint64(1) << 30;

} // namespace

CallIndexChannel::CallIndexChannel(QObject* ipParent) : QObject(ipParent) {}

CallIndexChannel::~CallIndexChannel()
{
    if (mpCancel)
        *mpCancel = true;
}

void CallIndexChannel::open(const Package& irPackage)
{
    if (!irPackage.isPackageOpen() || irPackage.entrySize(csCallsScript) < 0) {
        clear();
        return;
    }
    if (irPackage.callExpirationEnabled()) {
        // The filtered script the server sends, shared.
        const QByteArray aScript = irPackage.callListScriptUtf8();
        build([aScript](QByteArray& iraScript) {
            iraScript = aScript;
            return true;
        });
        return;
    }
    Package::MemberSource aSource;
    if (!irPackage.memberSource(csCallsScript, aSource)) {
        clear();
        return;
    }
    start([aSource](QString& irsWhy, const std::atomic<bool>* ipCancel) {
        return indexMember(aSource, irsWhy, ipCancel, CallIndex::Texts::Later);
    });
}

std::shared_ptr<const CallIndex> CallIndexChannel::indexMember(const Package::MemberSource& irSource, QString& irsWhy,
                                                               const std::atomic<bool>* ipCancel,
                                                               CallIndex::Texts ieTexts)
{
    // Read while it is decoded, where a second core can decode. The room
    // outlives the decoder, which may still write into it.
    QByteArray aRoom;
    if (QThread::idealThreadCount() >= 2) {
        MemberSlices aSlices;
        if (aSlices.start(irSource, cnMaxScript, aRoom)) {
            bool bBroken = false;
            qint64 nSeen = -1;
            const CallIndex::Arrival aArrival = [&](qint64 inWant, bool& irbComplete) -> qint64 {
                MemberSlices::Progress aProgress;
                do {
                    aProgress = aSlices.wait(nSeen);
                    nSeen = aProgress.nDecoded;
                } while (aProgress.nDecoded < inWant && !aProgress.bEnded && !aProgress.bFailed);
                bBroken = aProgress.bFailed;
                irbComplete = aProgress.bEnded;
                return bBroken ? -1 : aProgress.nDecoded;
            };
            auto pIndex = CallIndex::build(aRoom, aArrival, &irsWhy, ipCancel, ieTexts);
            // A member the decoder cannot finish is read in one piece,
            // which decides as the server's read does.
            if (pIndex || !bBroken)
                return pIndex;
            irsWhy.clear();
        }
    }
    QByteArray aScript;
    if (!Package::decodeSource(irSource, cnMaxScript, aScript)) {
        irsWhy = QStringLiteral("the call script could not be read");
        return nullptr;
    }
    // As the server sends it.
    JavaScriptReader::replaceLineBreaks(reinterpret_cast<CryptoPP::byte*>(aScript.data()), size_t(aScript.size()));
    return CallIndex::build(aScript, &irsWhy, qint64(1) << 40, ipCancel, ieTexts);
}

void CallIndexChannel::build(std::function<bool(QByteArray&)> irRead)
{
    start([irRead](QString& irsWhy, const std::atomic<bool>* ipCancel) -> std::shared_ptr<const CallIndex> {
        QByteArray aScript;
        if (!irRead(aScript)) {
            irsWhy = QStringLiteral("the call script could not be read");
            return nullptr;
        }
        return CallIndex::build(aScript, &irsWhy, qint64(1) << 40, ipCancel, CallIndex::Texts::Later);
    });
}

void CallIndexChannel::start(Indexer irIndexer)
{
    clear();
    mbReady = false;
    const quint64 nGeneration = mnGeneration;
    mpCancel = std::make_shared<std::atomic<bool>>(false);
    const std::shared_ptr<std::atomic<bool>> pCancel = mpCancel;
    auto* pWatcher = new QFutureWatcher<Built>(this);
    connect(pWatcher, &QFutureWatcherBase::finished, this, [this, pWatcher, nGeneration] {
        finished(nGeneration, pWatcher->result());
        pWatcher->deleteLater();
    });
    pWatcher->setFuture(QtConcurrent::run([irIndexer, pCancel] {
        Built aBuilt;
        QElapsedTimer aTimer;
        aTimer.start();
        aBuilt.pIndex = irIndexer(aBuilt.sRefusal, pCancel.get());
        // Every first view is in start time order.
        if (aBuilt.pIndex)
            aBuilt.pStartOrder = std::make_shared<const std::vector<int32_t>>(CallViews::startOrder(*aBuilt.pIndex));
        aBuilt.nMilliseconds = aTimer.elapsed();
        return aBuilt;
    }));
}

void CallIndexChannel::finished(quint64 inGeneration, const Built& irBuilt)
{
    // A build for a package closed since is dropped.
    if (inGeneration != mnGeneration)
        return;
    mpIndex = irBuilt.pIndex;
    msRefusal = irBuilt.sRefusal;
    if (mpIndex) {
        mpViews = std::make_unique<CallViews>(mpIndex, irBuilt.pStartOrder);
        qDebug().noquote() << "Call index:" << mpIndex->count() << "calls in" << irBuilt.nMilliseconds << "ms";
        // The search texts right after, while the page shows the first rows.
        QtConcurrent::run([pIndex = mpIndex, pCancel = mpCancel] {
            QElapsedTimer aTimer;
            aTimer.start();
            CallIndex::makeTexts(pIndex, pCancel.get());
            if (!*pCancel)
                qDebug().noquote() << "Call index: search texts in" << aTimer.elapsed() << "ms,"
                                   << pIndex->heldBytes() / 1048576 << "MB beside the script";
        });
    } else {
        qDebug().noquote() << "Call index not built:" << msRefusal;
    }
    mbReady = true;
    emit readyJs();
}

void CallIndexChannel::clear()
{
    ++mnGeneration;
    // A build for the package before stops; its index, hundreds of
    // megabytes for a large package, is freed off the GUI thread.
    if (mpCancel)
        *mpCancel = true;
    mpCancel.reset();
    if (mpIndex) {
        std::shared_ptr<CallViews> pViews(std::move(mpViews));
        std::shared_ptr<const CallIndex> pIndex(std::move(mpIndex));
        QtConcurrent::run([pViews, pIndex]() mutable {
            pViews.reset();
            pIndex.reset();
        });
    }
    mpIndex.reset();
    mpViews.reset();
    maViews.clear();
    msRefusal.clear();
    mbReady = true;
}

QVariantMap CallIndexChannel::summary() const
{
    QVariantMap aSummary;
    aSummary.insert(QStringLiteral("ready"), mbReady);
    aSummary.insert(QStringLiteral("indexed"), mbReady && mpIndex != nullptr);
    aSummary.insert(QStringLiteral("total"), mpIndex ? mpIndex->count() : 0);
    QVariantList aKeys;
    if (mpIndex)
        for (const CallIndex::Column& aColumn : mpIndex->columns())
            aKeys.append(QString::fromStdString(aColumn.sKey));
    aSummary.insert(QStringLiteral("keys"), aKeys);
    aSummary.insert(QStringLiteral("directions"), mpIndex ? mpIndex->directions() : QVariantList());
    aSummary.insert(QStringLiteral("localLimit"), mnLocalLimit);
    return aSummary;
}

CallQuery CallIndexChannel::queryOf(const QVariantMap& irQuery)
{
    CallQuery aQuery;
    for (const QVariant& aTerm : irQuery.value(QStringLiteral("terms")).toList())
        aQuery.aTerms.push_back(aTerm.toString().toStdString());
    const QString sColumn = irQuery.value(QStringLiteral("sortColumn")).toString();
    if (!sColumn.isEmpty())
        aQuery.sSortColumn = sColumn;
    aQuery.bDescending = irQuery.value(QStringLiteral("sortDescending")).toBool();
    aQuery.bRecordingOnly = irQuery.value(QStringLiteral("recordingOnly")).toBool();
    aQuery.bMarkedOnly = irQuery.value(QStringLiteral("markedOnly")).toBool();
    aQuery.bNotesOnly = irQuery.value(QStringLiteral("notesOnly")).toBool();
    aQuery.sFrom = irQuery.value(QStringLiteral("from")).toString();
    aQuery.sTo = irQuery.value(QStringLiteral("to")).toString();
    aQuery.sDirection = irQuery.value(QStringLiteral("direction")).toString();
    const QVariantMap aLabels = irQuery.value(QStringLiteral("labels")).toMap();
    aQuery.sLabelIn = aLabels.value(QStringLiteral("in")).toString();
    aQuery.sLabelOut = aLabels.value(QStringLiteral("out")).toString();
    aQuery.sLabelInternal = aLabels.value(QStringLiteral("internal")).toString();
    for (const QVariant& aEntry : irQuery.value(QStringLiteral("notes")).toList()) {
        const QVariantList aNote = aEntry.toList();
        if (aNote.size() < 3)
            continue;
        const QVariant& aId = aNote[0];
        std::string sId;
        bool bNumber = false;
        if (aId.type() == QVariant::String) {
            sId = aId.toString().toStdString();
            if (sId.empty())
                continue;
        } else if (aId.canConvert<double>() && aId.type() != QVariant::Bool && !aId.isNull()) {
            const double f = aId.toDouble();
            if (!std::isfinite(f))
                continue;
            JsText::appendNumber(f, sId);
            bNumber = true;
        } else {
            continue;
        }
        const std::string sStart = aNote[1].toString().left(19).toStdString();
        aQuery.aNotes.push_back({CallIndex::noteKeyText(bNumber, sId, sStart), aNote[2].toInt()});
    }
    return aQuery;
}

QVariantMap CallIndexChannel::view(const QVariantMap& irQuery)
{
    QVariantMap aResult;
    if (!mpViews) {
        aResult.insert(QStringLiteral("view"), 0);
        aResult.insert(QStringLiteral("count"), 0);
        aResult.insert(QStringLiteral("total"), 0);
        return aResult;
    }
    View aView {mnNextView++, std::make_shared<const std::vector<int32_t>>(mpViews->view(queryOf(irQuery)))};
    maViews.push_back(aView);
    while (maViews.size() > cnKeptViews)
        maViews.pop_front();
    aResult.insert(QStringLiteral("view"), aView.nId);
    aResult.insert(QStringLiteral("count"), int(aView.pCalls->size()));
    aResult.insert(QStringLiteral("total"), mpIndex->count());
    return aResult;
}

const CallIndexChannel::View* CallIndexChannel::findView(int inView) const
{
    for (const View& aView : maViews)
        if (aView.nId == inView)
            return &aView;
    return nullptr;
}

QString CallIndexChannel::rows(int inView, int inOffset, int inLimit) const
{
    const View* pView = findView(inView);
    if (!pView || !mpIndex)
        return QStringLiteral("{\"indexes\":[],\"calls\":[],\"gone\":true}");
    const std::vector<int32_t>& aCalls = *pView->pCalls;
    const size_t nFirst = size_t(std::max(0, inOffset));
    const size_t nEnd = std::min(aCalls.size(), nFirst + size_t(std::clamp(inLimit, 0, cnMaxRows)));
    QByteArray aIndexes = "{\"indexes\":[";
    QByteArray aTexts = "],\"calls\":[";
    for (size_t k = nFirst; k < nEnd; ++k) {
        if (k > nFirst) {
            aIndexes += ',';
            aTexts += ',';
        }
        aIndexes += QByteArray::number(aCalls[k]);
        const std::string_view aText = mpIndex->callText(aCalls[k]);
        aTexts.append(aText.data(), int(aText.size()));
    }
    return QString::fromUtf8(aIndexes + aTexts + "]}");
}

int CallIndexChannel::position(int inView, int inCallIndex) const
{
    const View* pView = findView(inView);
    if (!pView)
        return -1;
    const auto it = std::find(pView->pCalls->begin(), pView->pCalls->end(), inCallIndex);
    return it == pView->pCalls->end() ? -1 : int(it - pView->pCalls->begin());
}

QString CallIndexChannel::calls(const QVariantList& irIndexes) const
{
    QByteArray aText = "[";
    for (int k = 0; k < irIndexes.size(); ++k) {
        if (k)
            aText += ',';
        bool bOk = false;
        const double f = irIndexes[k].toDouble(&bOk);
        if (!mpIndex || !bOk || !(f >= 0 && f < double(mpIndex->count())) || f != double(int(f))) {
            aText += "null";
            continue;
        }
        const std::string_view aCall = mpIndex->callText(int(f));
        aText.append(aCall.data(), int(aCall.size()));
    }
    return QString::fromUtf8(aText + "]");
}

void CallIndexChannel::forgetOrders()
{
    if (mpViews)
        mpViews->forgetOrders();
}
