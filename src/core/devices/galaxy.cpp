#include "devices/galaxy.h"

#include "devices/decode_util.h"
#include "platform/app_error.h"

namespace vrx {
namespace {

using devices::charAt;
using devices::numberAt;

// The month of a printed month word, told by its first letter and, where two months share it, one
// more letter (upper case on GALAXY, lower case on ATIS); 0 when the word is not recognised.
int monthWord(std::string_view s, size_t c, bool atis) {
    switch (charAt(s, c)) {
        case 'B':
            return 3;
        case 'C':
            return charAt(s, c + 2) == (atis ? 'r' : 'N') ? 6 : 7;
        case 'D':
            return 4;
        case 'K':
            return 5;
        case 'L':
            return charAt(s, c + 1) == (atis ? 'e' : 'E') ? 1 : 11;
        case 'P':
            return 12;
        case 'R':
            return 10;
        case 'S':
            return 8;
        case 'U':
            return 2;
        case 'Z':
            return 9;
        default:
            return 0;
    }
}

struct Header {
    std::string_view start;  // 17 characters
    size_t day, month, year;
};

constexpr Header kGalaxyHeader{"   HIST.ON-LINE (", 26, 29, 33};
constexpr Header kAtisHeader{"   DENIK  O/L.  (", 27, 30, 34};

// The date of a date line: the general form first, then the history header. False when the line
// is neither.
bool dateLine(std::string_view s, bool atis, int& day, int& month, int& year) {
    if (s.size() > 13) {
        size_t off = s[3] >= '0' && s[3] <= '9' ? 0 : 1;
        long d = numberAt(s, 2 + off);
        int m = monthWord(s, 6 + off, atis);
        long y = numberAt(s, 10 + off);
        if (d != 0 && m != 0 && y != 0) {
            day = static_cast<int>(d);
            month = m;
            year = static_cast<int>(y);
            return true;
        }
    }
    const Header& h = atis ? kAtisHeader : kGalaxyHeader;
    if (s.size() >= 38 && s.substr(0, h.start.size()) == h.start) {
        day = static_cast<int>(numberAt(s, h.day));
        month = monthWord(s, h.month, atis);
        year = static_cast<int>(numberAt(s, h.year));
        return true;
    }
    return false;
}

}  // namespace

GALAXY::GALAXY(long date, long reserved, std::unique_ptr<LINE_READER> reader,
               std::unique_ptr<CardUserTable> cardUsers)
    : DEVICE(date, reserved, std::move(reader)), cardUsers_(std::move(cardUsers)) {
    configureReader(10, {13});
    if (!cardUsers_ || !cardUsers_->open()) throw AppError{kErrorCardUserTable};
}

bool GALAXY::insertCardUser(std::string& line) {
    static constexpr std::string_view kMarker = " UZ. ";
    size_t p = line.find(kMarker);
    if (p == std::string::npos) return false;
    long code = numberAt(line, p + kMarker.size());
    std::string first, last;
    if (code > 0 && cardUsers_->find(code, first, last)) {
        // The name goes after the marker and four more characters: a three-digit number and its
        // separator.
        line = devices::insertName(line, p + 9, first, last, devices::textFrom(line, p + 9));
    }
    return true;
}

bool GALAXY::decode(char* line, int length) {
    std::string s(line, length);
    if (insertNames() && insertCardUser(s)) {
        store(line, s);
        return true;
    }
    int day = 0, month = 0, year = 0;
    if (dateLine(s, false, day, month, year)) advanceDate(day, month, year);
    return true;
}

ATIS::ATIS(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    configureReader(10, {13});
}

bool ATIS::decode(char* line, int length) {
    int day = 0, month = 0, year = 0;
    if (dateLine(std::string_view(line, length), true, day, month, year)) advanceDate(day, month, year);
    return true;
}

}  // namespace vrx
