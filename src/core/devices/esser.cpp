#include "devices/decode_util.h"
#include "devices/panels.h"

namespace vrx {

ESSER::ESSER(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    configureReader(10, {12, 13, 0});
    applyTwentyDayRule();
}

bool ESSER::decode(char* line, int length) {
    std::string_view s(line, length);
    if (s.size() > 37) {
        int day = devices::twoDigits(s, 34);
        int month = devices::twoDigits(s, 37);
        advanceDate(day, month, devices::yearFromContext(month, date_));
    }
    for (int i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(line[i]) == 0x84) line[i] = 'a';
    }
    store(line, s);
    return true;
}

}  // namespace vrx
