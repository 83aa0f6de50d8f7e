#pragma once
// The filters of the operating logs: the records of FILTRY loaded into memory in the order in
// which they are tried, and the two questions the in-memory logs ask of them.
//
// Order: descending "Priorita"; filters of equal priority in ascending "Maska" (byte order), which
// is the primary key, so the order is stable and the same after every load.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "logs/maska.h"

namespace vrx {

class TABFILTRY;

// Bit values of a filter's "Denik": the logs it applies to.
constexpr int kScopeEpd = 1;
constexpr int kScopeUpd = 2;

// The separator of the lines of a multi-line mask: the two characters backslash and 'n'.
constexpr std::string_view kMaskLineSeparator = "\\n";

enum MaskType { kMaskPlain = 0, kMaskWildcard = 1, kMaskRegex = 2 };

class FILTER {
  public:
    // Fills the filter; the mask is converted by type: plain text and regular expressions stay as
    // written, a wildcard mask becomes a regular expression, any other type leaves the mask empty.
    void Set(std::string_view mask, int position, int foreground, int background, int logs, int lines,
             int type);
    // Whether the first line of the mask matches the text: a case-sensitive substring for plain
    // masks, a regular expression search for the others.
    bool Matches(std::string_view text) const;

    const std::string& mask() const { return mask_; }              // converted
    const std::string& storedMask() const { return storedMask_; }  // as in the table ("Maska")
    int position() const { return position_; }
    int foreground() const { return foreground_; }
    int background() const { return background_; }
    int logs() const { return logs_; }
    int lines() const { return lines_; }
    int type() const { return type_; }

    // For quick rejection: false when the first line can match no text at all (an invalid regular
    // expression, an unknown type); otherwise a text every matching event contains ("" when there
    // is none to name).
    bool canMatch() const;
    std::string_view requiredText() const;

  private:
    std::string storedMask_;
    std::string mask_;
    std::string firstLine_;
    logs::Regex regex_;
    int position_ = 0;
    int foreground_ = 0;
    int background_ = 0;
    int logs_ = 0;
    int lines_ = 0;
    int type_ = 0;
};

class FILTERMANAGER {
  public:
    // Opens FILTRY on alias "VRXPRIV" read-only and shared, then loads. When the table cannot be
    // opened the manager has no table and no filters (isOpen() is false); start-up reports that.
    FILTERMANAGER();
    ~FILTERMANAGER();
    FILTERMANAGER(const FILTERMANAGER&) = delete;
    FILTERMANAGER& operator=(const FILTERMANAGER&) = delete;

    bool isOpen() const;

    // (Re)reads all filters from the table; false when the table is not open.
    bool Load();

    struct Found {
        int foreground = 0;
        int background = 0xFFFFFF;
        std::string_view mask;  // converted, all lines; valid until the next Load
        int lines = 0;
        int index = -1;
        int type = 0;
    };
    // The first filter with index >= startIndex whose logs have the scope bit and whose first mask
    // line matches the text. Not found: black on white, no lines, type 0, index count - 1.
    bool Find(std::string_view text, int scope, int startIndex, Found& out) const;

    struct ActionSet {
        int foreground = 0;
        int background = 0xFFFFFF;
        int logs = 0;
        bool alarm = false;
        bool repeat = false;
        std::string program, parameters, picture, sound;
    };
    // The actions of filter `index`, read from its record now (so a change of picture, sound,
    // program or flags takes effect without a reload). The record is found by its mask, so it is
    // the right one however the table changed since the last load. The six action fields are empty
    // unless the record's "Denik" has the UPD bit. False, with no actions, when the index is out of
    // range or the filter's record no longer exists.
    bool Actions(int index, ActionSet& out);

    int Count() const { return static_cast<int>(filters_.size()); }
    const FILTER& filter(int index) const { return filters_[static_cast<size_t>(index)]; }

  private:
    // Quick rejection of filters before their masks are tried: each of the first 64 filters owns
    // one bit; a text sets the bits of the filters whose required text may occur in it, judged by
    // one piece of that text (a character, a pair or four characters) looked up in a small table.
    void buildPrefilter();
    uint64_t candidates(std::string_view text) const;

    std::unique_ptr<TABFILTRY> table_;
    std::vector<FILTER> filters_;
    uint64_t always_ = 0;                 // filters without a required text
    std::array<uint64_t, 256> byByte_{};  // required text of one character
    std::vector<uint64_t> byPair_;        // of two or three: its telling pair, hashed
    std::vector<uint64_t> byQuad_;        // of four or more: its telling four characters, hashed
    bool usesByte_ = false, usesPair_ = false, usesQuad_ = false;
    std::array<uint64_t, 4> scopeBits_{};  // filters (of the first 64) per scope value 0..3
};

}  // namespace vrx
