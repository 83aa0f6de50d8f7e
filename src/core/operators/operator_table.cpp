#include "operators/operator_table.h"

#include <cstring>

#include "operators/audit.h"
#include "platform/messages.h"
#include "text/cz.h"
#include "text/strutil.h"

namespace vrx::operators {
namespace {

void warn(const char* text) {
    platform::messages().beep();
    platform::messages().show("Informace", text, platform::Icon::Warning);
}

}  // namespace

bool OperatorList::open() {
    return table_.open(0, 1, 0);
}

long OperatorList::count() {
    return table_.recordCount();
}

std::vector<std::string> OperatorList::lines() {
    std::vector<std::string> out;
    if (!table_.first()) return out;
    while (!table_.eof()) {
        out.push_back(text::format("%-40s %s", table_.rec.Jmeno, table_.rec.Heslo[0] ? "Ano" : ""));
        if (!table_.next()) break;
    }
    return out;
}

bool OperatorList::remove(int line) {
    if (line < 0 || !table_.readAt(line + 1)) return false;
    writeAudit("Smazání hesla %s"_cz, table_.rec.Jmeno);
    const bool ok = table_.deleteCurrent();
    table_.flush();
    return ok;
}

bool OperatorEditor::open(long recordNumber) {
    recordNumber_ = recordNumber;
    if (!table_.open(0, 1, 0)) return false;
    rights_.fill(0);
    if (recordNumber == 0) {
        table_.resetCurrent();
        name_.clear();
        password_.clear();
        rightsToBytes(defaultRights(), rights_.data());
        return true;
    }
    if (!table_.readAt(recordNumber)) return false;
    name_ = table_.rec.Jmeno;
    password_ = table_.rec.Heslo;
    std::memcpy(rights_.data(), table_.rec.Opravneni, rights_.size());
    return true;
}

Rights OperatorEditor::rights() const {
    return rightsFromBytes(rights_.data());
}

std::string OperatorEditor::rightLine(int index, const char* rightText) const {
    return text::format("%-5s  %s", rightValueText(right(index)), rightText ? rightText : "");
}

void OperatorEditor::cycle(int index) {
    if (index < 0 || index >= kRightCount) return;
    rights_[static_cast<size_t>(index)] = cycledRight(index, right(index));
}

void OperatorEditor::setAll() {
    for (int i = 0; i < kRightCount; ++i) rights_[static_cast<size_t>(i)] = highestRight(i);
}

void OperatorEditor::clearAll() {
    for (int i = 0; i < kRightCount; ++i) rights_[static_cast<size_t>(i)] = lowestRight(i);
}

bool OperatorEditor::relocate() {
    // Another station may have removed operators meanwhile: the record at the old position must
    // still be the one that was opened, else it is looked up by its name.
    if (table_.readAt(recordNumber_) && name_ == table_.rec.Jmeno) return true;
    return table_.findOperator(name_.c_str());
}

OperatorEditor::SaveResult OperatorEditor::save(const std::string& name, bool usePassword,
                                                const std::string& password,
                                                const std::string& verification) {
    if (name.empty()) {
        warn("Není zadáno jméno."_cz);
        return SaveResult::NoName;
    }
    if (usePassword) {
        if (password.empty()) {
            warn("Není zadáno heslo."_cz);
            return SaveResult::NoPassword;
        }
        if (password != verification) {
            warn("Text hesla je jiný než text ověření."_cz);
            return SaveResult::PasswordMismatch;
        }
    }
    if (name != name_ && table_.findOperator(name.c_str())) {
        warn("Duplicitní jméno."_cz);
        return SaveResult::Duplicate;
    }
    bool located = true;
    if (isNew())
        table_.resetCurrent();
    else
        located = relocate();
    bool stored = false;
    if (located) {
        setText(table_.rec.Jmeno, name);
        setText(table_.rec.Heslo, usePassword ? password : std::string());
        std::memcpy(table_.rec.Opravneni, rights_.data(), rights_.size());
        stored = table_.save(isNew() ? 1 : 0);
    }
    if (!stored) {
        platform::messages().beep();
        platform::messages().show("Chyba", "Záznam nelze zapsat."_cz, platform::Icon::Warning);
        return SaveResult::WriteFailed;
    }
    table_.flush();
    writeAudit("Přidání nebo oprava hesla %s"_cz, name.c_str());
    return SaveResult::Saved;
}

}  // namespace vrx::operators
