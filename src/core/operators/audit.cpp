#include "operators/audit.h"

#include <cstdarg>

#include "db/tables.h"
#include "text/dates.h"
#include "text/strutil.h"

namespace vrx {
namespace {
std::string noOperator() { return {}; }
CurrentOperatorFn g_operator = noOperator;
}  // namespace

void setCurrentOperatorSource(CurrentOperatorFn fn) { g_operator = fn ? fn : noOperator; }
std::string currentOperatorName() { return g_operator(); }

bool writeAudit(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string textBuf = text::vformat(format, args);
    va_end(args);
    // The text is formatted into a buffer of 1000 characters, then cut to the entry.
    if (textBuf.size() > 999) textBuf.resize(999);
    return writeAuditText(textBuf);
}

bool writeAuditText(std::string_view text) {
    TABAUDIT audit;
    if (!audit.open(0, 1, 0)) return false;
    bool stored = false;
    // A concurrent writer may take the number between count and append; the transaction keeps
    // others out, and a refused key still gets one more try with the number after the last entry.
    for (int attempt = 0; attempt < 2 && !stored; ++attempt) {
        if (!audit.beginTransaction()) continue;
        long number = audit.recordCount() + 1;
        if (attempt > 0 && audit.last()) number = audit.rec.Cislo + 1;
        audit.clearRecord();
        audit.rec.Cislo = static_cast<int>(number);
        audit.rec.Datum = text::today();
        audit.rec.Cas = static_cast<int>(text::nowTime());
        setText(audit.rec.Operator, currentOperatorName());
        setText(audit.rec.Udalost, text);
        stored = audit.save(1) && audit.commitTransaction();
        if (!stored) audit.rollbackTransaction();
    }
    audit.close();
    return stored;
}

}  // namespace vrx
