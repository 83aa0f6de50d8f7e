#pragma once
// The audit trail: one entry per operator action in the shared table AUDIT.
#include <string>
#include <string_view>

namespace vrx {

// The name of the operator logged in at this moment ("" when nobody is); each program installs
// its own source (the station's login in vorax, the service tool's login in Dedado).
using CurrentOperatorFn = std::string (*)();
void setCurrentOperatorSource(CurrentOperatorFn fn);
std::string currentOperatorName();

// Writes one entry: the next number, today's date, the time, the current operator and the text of
// the printf-style format (cut to what the field holds). The number is taken and the entry stored
// in one write transaction, so two stations writing at the same moment both keep their entries.
// A failure is silent: the action that wanted the entry goes on. True when the entry was stored.
bool writeAudit(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool writeAuditText(std::string_view text);

}  // namespace vrx
