#include "devices/decode_util.h"
#include "devices/panels.h"

namespace vrx {
namespace {

constexpr std::string_view kMonths[12] = {"LED", "UNO", "BRE", "DUB", "KVE", "CRN",
                                          "CRC", "SRP", "ZAR", "RIJ", "LIS", "PRO"};

}  // namespace

ORBIT::ORBIT(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    configureReader(10, {12, 13, 0});
}

bool ORBIT::decode(char* line, int length) {
    std::string_view s(line, length);
    for (int m = 0; m < 12; ++m) {
        if (s.substr(0, 3) == kMonths[m]) {
            // The year as printed: a two-digit year is long past and changes nothing.
            advanceDate(static_cast<int>(devices::numberAt(s, 4)), m + 1,
                        static_cast<int>(devices::numberAt(s, 7)));
            break;
        }
    }
    store(line, devices::textFrom(s, 12));
    return true;
}

}  // namespace vrx
