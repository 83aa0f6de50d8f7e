#pragma once
// Where a log window takes its lines from. The full operating log and the extract draw an
// in-memory log (entry i is line i) and read each entry's record from their own cursor on HISTOR;
// the audit and the archives page through a table. Only the lines asked for cost table reads.
#include <memory>
#include <string>
#include <vector>

#include "db/tables.h"
#include "logs/deniky.h"

namespace vrx::gui {

struct LogLine {
    std::string text;  // Windows-1250
    int foreground = kDefaultForeground;
    int background = kDefaultBackground;
};

// The two forms of a line: as the window shows it, and as printing writes it (and the archive of
// the full operating log searches it). Only that archive's two forms differ.
enum class LineForm { Shown, Printed };

class LogSource {
  public:
    virtual ~LogSource() = default;
    // Number of lines now.
    virtual int count() = 0;
    // Lines first to first + n − 1, fewer when the source ends before; `out` is replaced.
    virtual void lines(int first, int n, LineForm form, std::vector<LogLine>& out) = 0;
};

// Line texts.
// Full operating log and extract: "%6ld %02d.%02d.%02d %s" (two-digit year, text cut to 200).
std::string historLine(const TABHISTOR::Record& r);
// Audit: "%6ld %-10s-%-8s %-20s %s".
std::string auditLine(const TABAUDIT::Record& r);
// Archive of the full operating log as shown: "%6ld   %02d.%02d.%04d   %s".
std::string archiveLine(const TABHISTOR::Record& r);
// ... and as printed and searched: "%6ld %02d.%02d.%04d   %s".
std::string archivePrintedLine(const TABHISTOR::Record& r);

// An in-memory log over its own cursor on HISTOR ("VRXSPOL", shared, read-only): one keyed
// lookup per line, the entry's colours.
class InMemoryLogSource : public LogSource {
  public:
    // `log` stays owned by the caller and must outlive the source. `table` is opened here; check
    // isOpen().
    InMemoryLogSource(const LOG& log, std::unique_ptr<TABHISTOR> table);
    bool isOpen() const { return table_ && table_->isOpen(); }
    int count() override { return log_.Count(); }
    void lines(int first, int n, LineForm form, std::vector<LogLine>& out) override;

  private:
    const LOG& log_;
    std::unique_ptr<TABHISTOR> table_;
};

// A table paged by position: line i is the record at position i + 1 of the table's order, drawn
// black on white. One positioning, then steps.
template <class Table>
class PagedTableSource : public LogSource {
  public:
    using Format = std::string (*)(const typename Table::Record&);
    PagedTableSource(std::unique_ptr<Table> table, Format shown, Format printed)
        : table_(std::move(table)), shown_(shown), printed_(printed) {}
    int count() override {
        const long n = table_->recordCount();
        return n > 0 ? static_cast<int>(n) : 0;
    }
    void lines(int first, int n, LineForm form, std::vector<LogLine>& out) override {
        out.clear();
        if (n <= 0 || first < 0 || !table_->readAt(first + 1)) return;
        const Format f = form == LineForm::Printed ? printed_ : shown_;
        for (int i = 0; i < n; ++i) {
            if (i > 0 && !table_->next()) break;
            out.push_back(LogLine{f(table_->rec)});
        }
    }
    Table& table() { return *table_; }

  private:
    std::unique_ptr<Table> table_;
    Format shown_, printed_;
};

}  // namespace vrx::gui
