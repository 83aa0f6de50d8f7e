#include "gui/logs/log_source.h"

#include <cstring>

#include "text/dates.h"
#include "text/strutil.h"

namespace vrx::gui {
namespace {

std::string retezec(const TABHISTOR::Record& r) {
    return std::string(r.Retezec, strnlen(r.Retezec, 200));
}

}  // namespace

std::string historLine(const TABHISTOR::Record& r) {
    const text::DateParts d = text::dayToParts(r.Datum);
    return text::format("%6ld %02d.%02d.%02d %s", static_cast<long>(r.Cislo), d.day, d.month, d.year % 100,
                        retezec(r).c_str());
}

std::string auditLine(const TABAUDIT::Record& r) {
    return text::format("%6ld %-10s-%-8s %-20s %s", static_cast<long>(r.Cislo),
                        text::formatDate(r.Datum).c_str(), text::formatTime(r.Cas).c_str(), r.Operator,
                        r.Udalost);
}

std::string archiveLine(const TABHISTOR::Record& r) {
    const text::DateParts d = text::dayToParts(r.Datum);
    return text::format("%6ld   %02d.%02d.%04d   %s", static_cast<long>(r.Cislo), d.day, d.month, d.year,
                        retezec(r).c_str());
}

std::string archivePrintedLine(const TABHISTOR::Record& r) {
    const text::DateParts d = text::dayToParts(r.Datum);
    return text::format("%6ld %02d.%02d.%04d   %s", static_cast<long>(r.Cislo), d.day, d.month, d.year,
                        retezec(r).c_str());
}

InMemoryLogSource::InMemoryLogSource(const LOG& log, std::unique_ptr<TABHISTOR> table)
    : log_(log), table_(std::move(table)) {}

void InMemoryLogSource::lines(int first, int n, LineForm, std::vector<LogLine>& out) {
    out.clear();
    for (int i = first; i < first + n; ++i) {
        int number = 0, fg = 0, bg = 0;
        if (!log_.Get(i, number, fg, bg)) break;
        LogLine line;
        line.foreground = fg;
        line.background = bg;
        // A record that vanished (deleted by another station) shows as an empty line in its colours.
        if (table_ && table_->findEntry(number)) line.text = historLine(table_->rec);
        out.push_back(std::move(line));
    }
}

}  // namespace vrx::gui
