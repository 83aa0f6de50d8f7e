#pragma once
// The in-memory logs over the full operating log (HISTOR): which records a log window shows and
// in which colours. The UPD log (ALARMLOG) lists every record, coloured by the filters of the full
// log, and fires their actions; the EPD log (QUIETLOG) lists the extract. A log holds record
// numbers and colours only; texts are read back from the table when needed.
//
// Both logs are built incrementally: each update pass starts at the record after the last one
// processed. A filter of n lines matches n consecutive records whose texts match its lines in
// order; the records of such a match enter the log together. When an attempt fails, the search
// starts again at its first record with the next filter, so every record enters a log at most once.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "logs/alarm_actions.h"
#include "logs/filtermgr.h"
#include "logs/maska.h"

namespace vrx {

class TABHISTOR;

constexpr int kDefaultForeground = 0;         // black
constexpr int kDefaultBackground = 0xFFFFFF;  // white

// One entry of an in-memory log: colours are Windows colour values 0x00BBGGRR.
struct LOGRECORD {
    int32_t recordNumber = 0;
    int32_t foreground = kDefaultForeground;
    int32_t background = kDefaultBackground;
};

// An ordered list of entries, appended at the end and removed all at once. The entries lie in
// blocks of a fixed size, so an entry costs its twelve bytes and no allocation of its own, and the
// list never copies itself to grow.
class LOG {
  public:
    LOG() = default;
    LOG(const LOG&) = delete;
    LOG& operator=(const LOG&) = delete;

    // Appends an entry. When memory runs out: "out of memory" on standard error, exit status 1.
    void Add(int recordNumber, int foreground, int background);
    // False when index < 0 or index >= Count().
    bool Get(int index, int& recordNumber, int& foreground, int& background) const;
    int Count() const { return count_; }
    void Clear();

    // Bytes held by the entries (the blocks and the block table).
    size_t memoryBytes() const;

  private:
    static constexpr int kBlockShift = 13;
    static constexpr int kBlockEntries = 1 << kBlockShift;  // 8192 entries, 96 KiB a block

    std::vector<std::unique_ptr<LOGRECORD[]>> blocks_;
    int count_ = 0;
};

// Where a log reads the full operating log: a cursor on the records in the order of their numbers.
class HistorSource {
  public:
    virtual ~HistorSource() = default;
    virtual bool isOpen() const = 0;
    // The record with this number becomes current; false (cursor unchanged) when there is none.
    virtual bool locate(int recordNumber) = 0;
    // The following record becomes current; false (cursor unchanged) after the last one.
    virtual bool next() = 0;
    virtual int number() const = 0;
    virtual long date() const = 0;
    virtual std::string_view text() const = 0;
};

// The log's own cursor on HISTOR of alias "VRXSPOL", opened shared and read-only (a log only reads).
class TableHistorSource : public HistorSource {
  public:
    TableHistorSource();
    ~TableHistorSource() override;
    bool isOpen() const override;
    bool locate(int recordNumber) override;
    bool next() override;
    int number() const override;
    long date() const override;
    std::string_view text() const override;

  private:
    std::unique_ptr<TABHISTOR> table_;
};

class COLOREDLOG : public LOG {
  public:
    enum Result { NoMatch = 0, Retry = 1, Pending = 2, Complete = 3 };

    // scope: the bit a filter's "Denik" must have to take part, kScopeEpd or kScopeUpd. The log
    // opens its own cursor on HISTOR; when the table cannot be opened the log has none
    // (tableOpen() is false) and its passes find nothing.
    COLOREDLOG(FILTERMANAGER& filters, int scope);
    COLOREDLOG(FILTERMANAGER& filters, int scope, std::unique_ptr<HistorSource> source);
    ~COLOREDLOG();

    bool tableOpen() const;

    // Stores the options; the caller rebuilds the log (Reset, then a pass). The day window
    // [fromDay, toDay] (both included, compared with the record's "Datum") takes effect only
    // together with onlyMatching.
    void SetOptions(bool onlyMatching, bool useWindow, int fromDay, int toDay);
    bool onlyMatching() const { return onlyMatching_; }
    bool useWindow() const { return useWindow_; }
    int fromDay() const { return fromDay_; }
    int toDay() const { return toDay_; }

    // Empty, nothing processed; the next pass starts at record 1.
    void Reset();
    int LastProcessed() const { return lastProcessed_; }
    int scope() const { return scope_; }

    // Classifies the record on which the cursor stands (used by the update passes).
    Result Evaluate(int recordNumber);

  protected:
    // One update pass from the record after the last processed one to the end of the table. For
    // every complete match `onComplete()` runs with the cursor on the match's last record. True
    // when at least one match completed.
    template <typename OnComplete>
    bool updatePass(OnComplete&& onComplete);

    FILTERMANAGER& filters_;
    std::unique_ptr<HistorSource> source_;
    int filterIndex_ = 0;  // where the next filter search starts; after a match the matching filter

  private:
    bool matchesLine(std::string_view text, std::string_view line);

    int lastProcessed_ = 0;
    bool onlyMatching_ = false;
    int fromDay_ = 0;
    int toDay_ = 0;
    bool useWindow_ = false;
    bool inMultiLine_ = false;
    std::string pendingMask_;
    int maskType_ = 0;
    int lineCount_ = 0;
    int linesRemaining_ = 0;
    int foreground_ = kDefaultForeground;
    int background_ = kDefaultBackground;
    int firstRecordNumber_ = 0;
    int scope_;
    // The compiled form of the regular expression line last tried in a multi-line match.
    bool lineRegexValid_ = false;
    std::string lineRegexText_;
    logs::Regex lineRegex_;
};

// The UPD log: fires the actions of every complete match when asked to.
class ALARMLOG : public COLOREDLOG {
  public:
    ALARMLOG(FILTERMANAGER& filters, int scope = kScopeUpd);
    ALARMLOG(FILTERMANAGER& filters, int scope, std::unique_ptr<HistorSource> source);

    // Where the actions go; none set: matches colour the log and nothing else happens.
    void setActions(logs::AlarmActions* actions) { actions_ = actions; }

    // One update pass; with withActions every complete match fires its filter's actions, in table
    // order, with the record that completed the match as the event. True when a match completed.
    bool Update(bool withActions);

    // The actions of the last complete match that fired them.
    bool bringToFront() const { return bringToFront_; }
    bool repeatSound() const { return repeatSound_; }
    const std::string& picture() const { return picture_; }
    const std::string& sound() const { return sound_; }
    const std::string& program() const { return program_; }
    const std::string& parameters() const { return parameters_; }

  private:
    void fireActions();

    logs::AlarmActions* actions_ = nullptr;
    bool bringToFront_ = false;
    bool repeatSound_ = false;
    std::string picture_, sound_, program_, parameters_;
};

// The EPD log: the same passes without actions.
class QUIETLOG : public COLOREDLOG {
  public:
    QUIETLOG(FILTERMANAGER& filters, int scope = kScopeEpd);
    QUIETLOG(FILTERMANAGER& filters, int scope, std::unique_ptr<HistorSource> source);

    bool Update();
};

}  // namespace vrx
