#pragma once
// The calls of the served call script, parsed once into what searching,
// filtering and sorting need: one lowercased search text for all calls, a
// cell per call and field, and the few values the filters read. The script's
// bytes are kept (shared, not copied); a call's text is a range of them.
#include <QByteArray>
#include <QString>
#include <QVariantList>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CallIndex
{
public:
    // One field of the calls.
    struct Column
    {
        std::string sKey;
        // Per call: 0 missing or null; a number (index into aNumbers); a
        // text in the call's search text (offset, length); or special.
        std::vector<uint32_t> aCells;
        std::vector<double> aNumbers;
        // Texts that do not fit a cell (long ones, arrays as text), by call.
        std::unordered_map<uint32_t, std::string> aLongTexts;
        // The few texts of a column such as a direction or an agent, held
        // once: lowercased, and as searched (that, "\1", the text without
        // separators where it has digits).
        std::vector<std::string> aDictPlain;
        std::vector<std::string> aDictSearch;
    };
    static constexpr uint32_t cnKindMask = 0xC0000000u;
    static constexpr uint32_t cnNumber = 0x40000000u;
    // With cnNumber: the bits below are the number itself, not an index.
    static constexpr uint32_t cnInlineNumber = 0x20000000u;
    static constexpr uint32_t cnText = 0x80000000u;
    static constexpr uint32_t cnObject = 0xC0000000u;
    static constexpr uint32_t cnLongText = 0xC0000001u;
    // A text of the column's few (the bits below are its number).
    static constexpr uint32_t cnDict = 0xE0000000u;
    static bool isDict(uint32_t inCell) { return (inCell & cnDict) == cnDict; }

    // Flags per call.
    static constexpr uint8_t cnRecording = 1;
    static constexpr uint8_t cnMarked = 2;

    // The index of iaScript, or null when the script is not exactly
    // "var gCalls=" + a JSON array of objects (+ ";" and blanks); irsWhy
    // then says why. Scripts of inSplitSize bytes or more are read by two
    // threads; by default none is: on this 2-core machine, shared with other
    // work, two readers were slower than one (bench_call_index prints both).
    // A set ipCancel stops the reading (the script is then refused).
    // With Texts::Later the index comes without its search texts and text
    // cells (sooner: its count, rows, keys, filters and start time order
    // need none); makeTexts adds them.
    enum class Texts { Now, Later };
    static std::shared_ptr<const CallIndex> build(const QByteArray& iaScript, QString* ipsWhy = nullptr,
                                                  qint64 inSplitSize = qint64(1) << 40,
                                                  const std::atomic<bool>* ipCancel = nullptr,
                                                  Texts ieTexts = Texts::Now);
    // A script that arrives while it is read (decoded by another thread):
    // irArrival(want, complete) waits until at least want bytes of it are
    // in irRoom, or all are, which it tells through complete, and returns
    // how many are there (-1: the rest cannot be had). irRoom's size bounds
    // the script's. The result is build's for the script: the same index,
    // or null with the same reason. The index takes irRoom over, cut to the
    // script's size (irRoom is then empty); without an index irRoom stays
    // the caller's, to be kept while bytes may still arrive in it.
    using Arrival = std::function<qint64(qint64 inWant, bool& irbComplete)>;
    static std::shared_ptr<const CallIndex> build(QByteArray& irRoom, const Arrival& irArrival,
                                                  QString* ipsWhy = nullptr,
                                                  const std::atomic<bool>* ipCancel = nullptr,
                                                  Texts ieTexts = Texts::Now);
    // The search texts and text cells of an index built with Texts::Later,
    // on any one thread while others use the rest of the index; those who
    // need them wait in awaitTexts. A set ipCancel stops the work (for an
    // index nobody asks any more).
    static void makeTexts(const std::shared_ptr<const CallIndex>& ipIndex,
                          const std::atomic<bool>* ipCancel = nullptr);
    bool hasTexts() const { return mbTexts.load(std::memory_order_acquire); }
    // Waits until the texts are there: the search texts, cellText, the
    // cells and numbers of columns, and heldBytes read them.
    void awaitTexts() const;

    int count() const { return int(maBegin.size()); }
    // The call's object text exactly as in the script.
    std::string_view callText(int inCall) const
    {
        return {maScript.constData() + maBegin[size_t(inCall)], maLength[size_t(inCall)]};
    }
    const QByteArray& script() const { return maScript; }
    // Every key of any call, in first-seen order.
    const std::vector<Column>& columns() const { return maColumns; }
    int column(std::string_view isKey) const;
    // The distinct raw values of "direction", first-seen order (at most 64).
    const QVariantList& directions() const { return maDirections; }

    // Search text of a call: its values lowercased, each ended by "\1",
    // then "\2" and the values holding digits without their separators.
    std::string_view searchText(int inCall) const
    {
        return {msText.data() + maTextStart[size_t(inCall)],
                size_t(maTextStart[size_t(inCall) + 1] - maTextStart[size_t(inCall)] - 1)};
    }
    const std::string& allText() const { return msText; }
    const std::vector<uint64_t>& textStarts() const { return maTextStart; }
    // The number of a number cell.
    static double cellNumber(const Column& irColumn, uint32_t inCell)
    {
        return (inCell & cnInlineNumber) ? double(inCell & (cnInlineNumber - 1))
                                         : irColumn.aNumbers[inCell & (cnInlineNumber - 1)];
    }
    // Lowercased text of a text cell (not numbers).
    std::string_view cellText(const Column& irColumn, int inCall) const;

    uint8_t flags(int inCall) const { return maFlags[size_t(inCall)]; }
    // Direction kind per call ("in", "out", "internal", or the lowercased
    // value; "" when missing).
    uint32_t directionKind(int inCall) const { return maDirection[size_t(inCall)]; }
    const std::vector<std::string>& kinds() const { return maKinds; }
    // Start time order key: 0 unreadable, else seconds shifted and bounded
    // as the page bounds them.
    double timeKey(int inCall) const { return maTimeKey[size_t(inCall)]; }
    // The start day: -1 none, yyyymmdd, or -2 (the text in irregularDay).
    int32_t dayCode(int inCall) const { return maDay[size_t(inCall)]; }
    QString irregularDay(int inCall) const;
    // Hash of the call's note key (0: the call cannot hold notes).
    uint64_t noteKey(int inCall) const { return maNoteKey[size_t(inCall)]; }
    // A review names a call by its id (a number or a text) and the first 19
    // characters of its start: the key of both as one text, and its hash.
    static std::string noteKeyText(bool ibNumber, std::string_view isId, std::string_view isTimeStart19);
    static uint64_t noteKeyHash(const std::string& isKeyText);
    static uint64_t noteKeyHash(bool ibNumber, std::string_view isId, std::string_view isTimeStart19);
    // The note key of a call, read again from its text; false when it
    // cannot hold notes.
    bool noteIdentity(int inCall, std::string& irsKey) const;

    // Bytes held beyond the script.
    qint64 heldBytes() const;

private:
    friend class CallIndexBuilder;

    QByteArray maScript;
    std::vector<uint64_t> maBegin;
    std::vector<uint32_t> maLength;
    std::string msText;
    std::vector<uint64_t> maTextStart; // one more than calls
    std::vector<Column> maColumns;
    std::unordered_map<std::string, int> maColumnOf;
    std::vector<uint8_t> maFlags;
    std::vector<uint32_t> maDirection;
    std::vector<std::string> maKinds;
    std::vector<double> maTimeKey;
    std::vector<int32_t> maDay;
    std::unordered_map<uint32_t, QString> maIrregularDays;
    std::vector<uint64_t> maNoteKey;
    QVariantList maDirections;
    std::vector<std::string> maDirectionKeys; // while building
    std::atomic<bool> mbTexts {true};
    mutable std::mutex maTextsMutex;
    mutable std::condition_variable maTextsMade;
};
