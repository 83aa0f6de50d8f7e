#pragma once
// The operator list and the operator detail: what the dialogs for the operator table do with it.
#include <array>
#include <string>
#include <vector>

#include "db/tables.h"
#include "operators/rights.h"

namespace vrx::operators {

// The operator list: the table opened shared and writable, one line per operator in table order.
class OperatorList {
  public:
    // False when the table cannot be opened (the dialog then does not appear).
    bool open();
    long count();
    // "%-40s %s" of the name and "Ano" for an operator with a password, else nothing.
    std::vector<std::string> lines();
    // Deletes the operator at the 0-based line, writing "Smazání hesla %s" with the name first.
    bool remove(int line);

  private:
    TABHESLA table_;
};

// One operator being added or edited: a working copy of the name, the password and the 100 rights
// bytes, stored by save().
class OperatorEditor {
  public:
    enum class SaveResult { Saved, NoName, NoPassword, PasswordMismatch, Duplicate, WriteFailed };

    // Opens the table shared and writable; record 0 is a new operator with the default rights,
    // otherwise the 1-based record in table order is read. False when the table cannot be opened or
    // the record is not there.
    bool open(long recordNumber);
    bool isNew() const { return recordNumber_ == 0; }

    // The operator as the dialog opened it.
    const std::string& name() const { return name_; }
    const std::string& password() const { return password_; }
    bool hasPassword() const { return !password_.empty(); }

    unsigned char right(int index) const { return rights_[static_cast<size_t>(index)]; }
    Rights rights() const;
    // The line of a right in the rights list: "%-5s  %s" of the value's text and the right's text.
    std::string rightLine(int index, const char* rightText) const;
    // "Přepnout": the next value of one right. "Nastavit": every right at its highest value.
    // "Nulovat": every right at its lowest value.
    void cycle(int index);
    void setAll();
    void clearAll();

    // "Zapsat": checks the entries in order, each failure with its message (caption "Informace",
    // warning icon): an empty name, with a password an empty password or a differing verification,
    // a name another operator already has. Then stores the operator, flushes the table and writes
    // "Přidání nebo oprava hesla %s". A failing store shows "Záznam nelze zapsat." and writes
    // nothing.
    SaveResult save(const std::string& name, bool usePassword, const std::string& password,
                    const std::string& verification);

  private:
    // Makes the record being edited current again; false when it has gone.
    bool relocate();

    TABHESLA table_;
    long recordNumber_ = 0;
    std::string name_;
    std::string password_;
    std::array<unsigned char, kRightsBytes> rights_{};
};

}  // namespace vrx::operators
