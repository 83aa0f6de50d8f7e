#include "devices/simple.h"

#include "devices/decode_util.h"
#include "settings/inisoubor.h"

namespace vrx {

UNSPEC::UNSPEC(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    configureReader(10, {12, 13, 9, 0});
}

bool UNSPEC::decode(char* line, int length) {
    std::string_view text = devices::trimStart(devices::trimEnd(std::string_view(line, length)));
    if (text.empty()) {
        discardLine();
        return false;
    }
    store(line, text);
    setToday();
    return true;
}

COMMONDEV::COMMONDEV(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    // The end character is a byte: -1 (no end character chosen) leaves 255 as the end of a line.
    int endChar = settings().readNumber("USTREDNA", "EndChar", 10) & 0xFF;
    int ignoChar = settings().readNumber("USTREDNA", "IgnoChar", -1);
    if (ignoChar == -1) {
        configureReader(endChar, {});
    } else {
        configureReader(endChar, {static_cast<unsigned char>(ignoChar)});
    }
}

bool COMMONDEV::decode(char* line, int length) {
    store(line, std::string_view(line, length));
    setToday();
    return true;
}

}  // namespace vrx
