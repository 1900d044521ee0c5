#pragma once
// Filtered, sorted views of an index's calls, with the page's semantics:
// search terms, the filters and the sort of the call list. Keeps what
// repeated questions reuse: sort orders per column, the last search (a
// narrowing query looks only at its matches) and the note counts.
#include "CallIndex.h"

#include <QString>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct CallQuery
{
    // Lowercase, non-empty, as the page makes them.
    std::vector<std::string> aTerms;
    QString sSortColumn = QStringLiteral("time_start");
    bool bDescending = false;
    bool bRecordingOnly = false;
    bool bMarkedOnly = false;
    bool bNotesOnly = false;
    QString sFrom;
    QString sTo;
    QString sDirection;
    // The page's labels of "in", "out" and "internal".
    QString sLabelIn, sLabelOut, sLabelInternal;
    struct Note
    {
        std::string sKey; // CallIndex::noteKeyText
        int nCount = 0;
    };
    std::vector<Note> aNotes;
};

class CallViews
{
public:
    // ipStartOrder: the order by start time, when made already (it is the
    // first view's order), or null.
    explicit CallViews(std::shared_ptr<const CallIndex> ipIndex,
                       std::shared_ptr<const std::vector<int32_t>> ipStartOrder = nullptr);
    // Ascending order of all calls by start time.
    static std::vector<int32_t> startOrder(const CallIndex& irIndex);

    const CallIndex& index() const { return *mpIndex; }
    // The calls that pass the query, in display order.
    std::vector<int32_t> view(const CallQuery& irQuery);
    void forgetOrders();

    // Parts, for the view and for tests.
    // Per call 1 when its search text holds every term (null: no terms).
    std::shared_ptr<const std::vector<uint8_t>> match(const std::vector<std::string>& iaTerms,
                                                     const std::vector<std::string>& iaKindLabels);
    // Ascending order of all calls by a column (stable).
    std::shared_ptr<const std::vector<int32_t>> order(const QString& isColumn,
                                                      const std::vector<std::string>& iaKindLabels);
    const std::vector<uint16_t>& noteCounts(const std::vector<CallQuery::Note>& iaNotes);
    // Lowercased label of each direction kind of the index.
    std::vector<std::string> kindLabels(const CallQuery& irQuery) const;
    // Searches of this many calls or more scan two halves on two threads;
    // tests lower it to compare that way with the model.
    static void setTwoThreadsFrom(int inCalls);

private:
    static std::atomic<int> snTwoThreadsFrom;
    std::shared_ptr<const CallIndex> mpIndex;
    std::map<QString, std::shared_ptr<const std::vector<int32_t>>> maOrders;
    std::vector<std::string> maLastTerms;
    std::vector<std::string> maLastLabels;
    std::shared_ptr<const std::vector<uint8_t>> mpLastMatch;
    std::vector<CallQuery::Note> maLastNotes;
    std::vector<uint16_t> maNoteCounts;
    bool mbNotesCounted = false;

    std::vector<int32_t> sortBy(const CallIndex::Column& irColumn) const;
    std::vector<int32_t> sortTexts(const std::vector<std::string_view>& iaTexts) const;
};
