#include "devices/decode_util.h"
#include "devices/panels.h"

namespace vrx {

APLEX::APLEX(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    configureReader(10, {12, 13, 0});
}

bool APLEX::decode(char* line, int length) {
    std::string_view s(line, length);
    int day = devices::twoDigits(s, 0);
    int month = devices::twoDigits(s, 3);
    int year = devices::twoDigits(s, 6);
    if (day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 0 && year <= 99) {
        advanceDate(day, month, year + 2000);
    }
    store(line, devices::textFrom(s, 9));
    return true;
}

}  // namespace vrx
