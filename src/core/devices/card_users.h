#pragma once
// The card users as the decoders see them: the codes table "KODY" looked up by code.
#include <functional>
#include <memory>
#include <string>

namespace vrx {

// String-table message raised when a decoder cannot open the codes table ("Nelze otevřít tabulku
// OSOBY").
constexpr int kErrorCardUserTable = 6;

class CardUserTable {
  public:
    virtual ~CardUserTable() = default;
    // Opens the table shared and writable in its primary index; false when it cannot be opened.
    virtual bool open() = 0;
    // First name and surname of the row with this code; false when no row has it.
    virtual bool find(long code, std::string& firstName, std::string& surname) = 0;
};

using CardUserTableFactory = std::function<std::unique_ptr<CardUserTable>()>;

}  // namespace vrx
