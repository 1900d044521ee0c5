#pragma once
// The page's "Calls" object: it answers filtered, sorted views of the
// package's calls and windows of their rows from a native index, so that a
// page never needs every call. The index is built off the GUI thread as
// soon as a package opens; until it is ready (or when the call script is
// not plain JSON) the page reads the call script itself.
#include "CallViews.h"
#include "Package.h"

#include <QByteArray>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>


class CallIndexChannel : public QObject
{
    Q_OBJECT
public:
    explicit CallIndexChannel(QObject* ipParent = nullptr);
    ~CallIndexChannel() override;

    // Starts indexing the call script the open package serves: the
    // retention filter's script, or the member read and decoded by a worker.
    void open(const Package& irPackage);
    // Starts indexing the script irRead gives; irRead runs on a worker.
    // The index is ready before its search texts, which a worker makes
    // right after (a search before waits for them).
    void build(std::function<bool(QByteArray&)> irRead);
    // Drops the index (no package); a build still running is discarded.
    void clear();

    bool isReady() const { return mbReady; }
    std::shared_ptr<const CallIndex> callIndex() const { return mpIndex; }
    QString refusal() const { return msRefusal; }
    int localLimit() const { return mnLocalLimit; }
    void setLocalLimit(int inLimit) { mnLocalLimit = inLimit; }

    Q_INVOKABLE QVariantMap summary() const;
    Q_INVOKABLE QVariantMap view(const QVariantMap& irQuery);
    Q_INVOKABLE QString rows(int inView, int inOffset, int inLimit) const;
    Q_INVOKABLE int position(int inView, int inCallIndex) const;
    Q_INVOKABLE QString calls(const QVariantList& irIndexes) const;
    Q_INVOKABLE void forgetOrders();

    // The index of a package member's call script, as the server sends it;
    // null, and why, when there is none. Any thread.
    static std::shared_ptr<const CallIndex> indexMember(const Package::MemberSource& irSource, QString& irsWhy,
                                                        const std::atomic<bool>* ipCancel = nullptr,
                                                        CallIndex::Texts ieTexts = CallIndex::Texts::Now);

    // The query a page's map stands for.
    static CallQuery queryOf(const QVariantMap& irQuery);

signals:
    void readyJs();

private:
    struct Built
    {
        std::shared_ptr<const CallIndex> pIndex;
        std::shared_ptr<const std::vector<int32_t>> pStartOrder;
        QString sRefusal;
        qint64 nMilliseconds = 0;
    };
    struct View
    {
        int nId = 0;
        std::shared_ptr<const std::vector<int32_t>> pCalls;
    };

    // Makes an index on a worker (null and why when there is none).
    using Indexer = std::function<std::shared_ptr<const CallIndex>(QString& irsWhy, const std::atomic<bool>* ipCancel)>;
    void start(Indexer irIndexer);
    void finished(quint64 inGeneration, const Built& irBuilt);
    const View* findView(int inView) const;

    quint64 mnGeneration = 0;
    std::shared_ptr<std::atomic<bool>> mpCancel;
    bool mbReady = true;
    std::shared_ptr<const CallIndex> mpIndex;
    std::unique_ptr<CallViews> mpViews;
    QString msRefusal;
    std::deque<View> maViews;
    int mnNextView = 1;
    int mnLocalLimit = 5000;
};
