#include "devices/decode_util.h"
#include "devices/panels.h"

namespace vrx {

DIGIPLEX::DIGIPLEX(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    configureReader(10, {13});
    applyTwentyDayRule();
}

bool DIGIPLEX::decode(char* line, int length) {
    std::string_view s(line, length);
    long year = devices::numberAt(s, 0);
    long month = devices::numberAt(s, 5);
    long day = devices::numberAt(s, 8);
    if (year != 0 && month >= 1 && month <= 12 && day >= 1 && day <= 31) {
        advanceDate(static_cast<int>(day), static_cast<int>(month), static_cast<int>(year));
    }
    store(line, devices::textFrom(s, 11));
    return true;
}

}  // namespace vrx
