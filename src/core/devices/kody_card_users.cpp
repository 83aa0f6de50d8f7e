#include "devices/kody_card_users.h"

#include <climits>

#include "db/tables.h"

namespace vrx {
namespace {

class KodyCardUsers : public CardUserTable {
  public:
    ~KodyCardUsers() override { table_.close(); }

    // Shared and writable, not created when missing, in the primary index (the code).
    bool open() override { return table_.open(0, 1, 0) && table_.selectIndex(0); }

    bool find(long code, std::string& firstName, std::string& surname) override {
        // Code 0 would search with no key at all.
        if (code <= 0 || code > INT_MAX) return false;
        if (!table_.findCode(static_cast<int>(code))) return false;
        firstName = table_.rec.Jmeno;
        surname = table_.rec.Prijmeni;
        return true;
    }

  private:
    TABKODY table_;
};

}  // namespace

std::unique_ptr<CardUserTable> makeKodyCardUsers() {
    return std::make_unique<KodyCardUsers>();
}

}  // namespace vrx
