#include "logs/deniky.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "db/tables.h"
#include "logs/maska.h"

namespace vrx {

// ---- LOG ----

void LOG::Add(int recordNumber, int foreground, int background) {
    try {
        const size_t block = static_cast<size_t>(count_ >> kBlockShift);
        if (block == blocks_.size()) {
            blocks_.push_back(std::unique_ptr<LOGRECORD[]>(new LOGRECORD[kBlockEntries]));
        }
        blocks_[block][count_ & (kBlockEntries - 1)] = LOGRECORD{recordNumber, foreground, background};
        ++count_;
    } catch (const std::bad_alloc&) {
        std::fputs("out of memory\n", stderr);
        std::exit(1);
    }
}

bool LOG::Get(int index, int& recordNumber, int& foreground, int& background) const {
    if (index < 0 || index >= count_) return false;
    const LOGRECORD& r = blocks_[static_cast<size_t>(index >> kBlockShift)][index & (kBlockEntries - 1)];
    recordNumber = r.recordNumber;
    foreground = r.foreground;
    background = r.background;
    return true;
}

void LOG::Clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    count_ = 0;
}

size_t LOG::memoryBytes() const {
    return blocks_.size() * kBlockEntries * sizeof(LOGRECORD) + blocks_.capacity() * sizeof(blocks_[0]);
}

// ---- the cursor on HISTOR ----

TableHistorSource::TableHistorSource() : table_(std::make_unique<TABHISTOR>()) {
    if (!table_->open(0, 0, 0)) table_.reset();
}

TableHistorSource::~TableHistorSource() = default;

bool TableHistorSource::isOpen() const {
    return table_ != nullptr;
}

bool TableHistorSource::locate(int recordNumber) {
    return table_ && recordNumber != 0 && table_->findEntry(recordNumber);
}

bool TableHistorSource::next() {
    return table_ && table_->next();
}
int TableHistorSource::number() const {
    return table_ ? table_->rec.Cislo : 0;
}
long TableHistorSource::date() const {
    return table_ ? table_->rec.Datum : 0;
}
std::string_view TableHistorSource::text() const {
    return table_ ? table_->rec.Retezec : "";
}

// ---- COLOREDLOG ----

COLOREDLOG::COLOREDLOG(FILTERMANAGER& filters, int scope)
    : COLOREDLOG(filters, scope, std::make_unique<TableHistorSource>()) {}

COLOREDLOG::COLOREDLOG(FILTERMANAGER& filters, int scope, std::unique_ptr<HistorSource> source)
    : filters_(filters), source_(std::move(source)), scope_(scope) {}

COLOREDLOG::~COLOREDLOG() = default;

bool COLOREDLOG::tableOpen() const {
    return source_ && source_->isOpen();
}

void COLOREDLOG::SetOptions(bool onlyMatching, bool useWindow, int fromDay, int toDay) {
    onlyMatching_ = onlyMatching;
    useWindow_ = useWindow;
    fromDay_ = fromDay;
    toDay_ = toDay;
}

void COLOREDLOG::Reset() {
    lastProcessed_ = 0;
    inMultiLine_ = false;
    Clear();
}

bool COLOREDLOG::matchesLine(std::string_view text, std::string_view line) {
    if (maskType_ == kMaskPlain) return logs::plainContains(text, line);
    // The same line is usually tried again and again: keep its compiled form.
    if (!lineRegexValid_ || line != lineRegexText_) {
        lineRegexText_ = std::string(line);
        lineRegex_ = logs::Regex(line);
        lineRegexValid_ = true;
    }
    return lineRegex_.search(text);
}

COLOREDLOG::Result COLOREDLOG::Evaluate(int recordNumber) {
    if (!inMultiLine_) {
        firstRecordNumber_ = recordNumber;
        FILTERMANAGER::Found found;
        bool matched = filters_.Find(source_->text(), scope_, filterIndex_, found);
        foreground_ = found.foreground;
        background_ = found.background;
        lineCount_ = found.lines;
        filterIndex_ = found.index;
        maskType_ = found.type;
        if (!matched) {
            if (!onlyMatching_) Add(recordNumber, kDefaultForeground, kDefaultBackground);
            return NoMatch;
        }
        if (lineCount_ <= 1) {
            Add(recordNumber, foreground_, background_);
            return Complete;
        }
        linesRemaining_ = lineCount_ - 1;
        size_t sep = found.mask.find(kMaskLineSeparator);
        pendingMask_ =
            sep == std::string_view::npos ? std::string() : std::string(found.mask.substr(sep + 2));
        inMultiLine_ = true;
        return Pending;
    }

    linesRemaining_ -= 1;
    const size_t sep = pendingMask_.find(kMaskLineSeparator);
    std::string_view line = pendingMask_;
    if (linesRemaining_ > 0) line = line.substr(0, sep);
    if (!matchesLine(source_->text(), line)) {
        // The attempt failed: back to its first record, which is tried with the next filter.
        source_->locate(firstRecordNumber_);
        inMultiLine_ = false;
        return Retry;
    }
    if (linesRemaining_ > 0) {
        pendingMask_ = sep == std::string::npos ? std::string() : pendingMask_.substr(sep + 2);
        return Pending;
    }
    // Complete: the records of the match enter the log together; the cursor ends on the last one.
    inMultiLine_ = false;
    if (!source_->locate(firstRecordNumber_)) return Complete;
    for (int k = 0; k < lineCount_; ++k) {
        Add(source_->number(), foreground_, background_);
        if (k + 1 < lineCount_ && !source_->next()) break;
    }
    return Complete;
}

template <typename OnComplete>
bool COLOREDLOG::updatePass(OnComplete&& onComplete) {
    if (!source_ || !source_->isOpen()) return false;
    if (!source_->locate(lastProcessed_ + 1)) return false;
    bool result = false;
    for (;;) {
        if (useWindow_ && onlyMatching_) {
            long day = source_->date();
            if (day < fromDay_ || day > toDay_) {
                if (!source_->next()) break;
                continue;
            }
        }
        switch (Evaluate(source_->number())) {
            case NoMatch:
                filterIndex_ = 0;
                break;
            case Retry:
                filterIndex_ += 1;
                continue;  // the cursor is back on the attempt's first record
            case Pending:
                break;
            case Complete:
                onComplete();
                filterIndex_ = 0;
                result = true;
                break;
        }
        if (!source_->next()) break;
    }
    lastProcessed_ = source_->number();
    return result;
}

// ---- ALARMLOG ----

ALARMLOG::ALARMLOG(FILTERMANAGER& filters, int scope) : COLOREDLOG(filters, scope) {}

ALARMLOG::ALARMLOG(FILTERMANAGER& filters, int scope, std::unique_ptr<HistorSource> source)
    : COLOREDLOG(filters, scope, std::move(source)) {}

bool ALARMLOG::Update(bool withActions) {
    if (!withActions) return updatePass([] {});
    return updatePass([this] { fireActions(); });
}

void ALARMLOG::fireActions() {
    FILTERMANAGER::ActionSet a;
    filters_.Actions(filterIndex_, a);
    // A record without the UPD bit, or one that no longer exists, has no actions: nothing of an
    // earlier match is repeated.
    bringToFront_ = a.alarm;
    repeatSound_ = a.repeat;
    picture_ = a.picture;
    sound_ = a.sound;
    program_ = a.program;
    parameters_ = a.parameters;
    if (!actions_) return;
    // The event is the record that completed the match, on which the cursor stands.
    const long number = source_->number();
    const std::string text(source_->text());
    if (bringToFront_) actions_->bringToFront();
    if (!sound_.empty()) actions_->playSound(sound_, repeatSound_);
    if (!picture_.empty()) actions_->showPicture(picture_, number, text);
    if (!program_.empty()) actions_->startProgram(program_, parameters_, text);
}

// ---- QUIETLOG ----

QUIETLOG::QUIETLOG(FILTERMANAGER& filters, int scope) : COLOREDLOG(filters, scope) {}

QUIETLOG::QUIETLOG(FILTERMANAGER& filters, int scope, std::unique_ptr<HistorSource> source)
    : COLOREDLOG(filters, scope, std::move(source)) {}

bool QUIETLOG::Update() {
    return updatePass([] {});
}

}  // namespace vrx
