#include "devices/decode_util.h"
#include "devices/panels.h"

namespace vrx {
namespace {

using devices::charAt;

// The month of the panel's month word: its first letter and, where two months share it, one more.
int monthWord(std::string_view s, size_t c) {
    switch (charAt(s, c)) {
        case 'B':
            return 3;
        case 'D':
            return 4;
        case 'K':
            return 5;
        case 'L':
            return charAt(s, c + 1) == 'e' ? 1 : 11;
        case 'P':
            return 12;
        case 'R':
            return 10;
        case 'S':
            return 8;
        case 'U':
            return 2;
        case 'V':
            return charAt(s, c + 2) == 'I' ? 7 : 6;
        case 'Z':
            return 9;
        default:
            return 0;
    }
}

}  // namespace

CONCEPT::CONCEPT(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    configureReader(13, {10});
    applyTwentyDayRule();
}

bool CONCEPT::decode(char* line, int length) {
    std::string_view s(line, length);
    if (s.size() <= 15) {
        store(line, {});
        return true;
    }
    int month = monthWord(s, 5);
    int day = devices::twoDigits(s, 8);
    if (month != 0 && day >= 1 && day <= 31) advanceDate(day, month, devices::yearFromContext(month, date_));
    std::string out(devices::textAt(s, 11, 5));
    out += ' ';
    out += devices::textFrom(s, 22);
    store(line, out);
    return true;
}

}  // namespace vrx
