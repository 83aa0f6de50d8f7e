#include "devices/decode_util.h"
#include "devices/panels.h"

namespace vrx {

LOOP500::LOOP500(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : DEVICE(date, reserved, std::move(reader)) {
    configureReader(10, {12, 13, 0});
    applyTwentyDayRule();
}

unsigned char LOOP500::translate(unsigned char c) {
    switch (c) {
        case 130:
            return 233;
        case 131:
            return 239;
        case 135:
            return 232;
        case 136:
            return 236;
        case 145:
            return 158;
        case 152:
            return 253;
        case 159:
            return 157;
        case 160:
            return 225;
        case 161:
            return 237;
        case 162:
            return 243;
        case 163:
            return 250;
        case 164:
            return 242;
        case 168:
            return 154;
        case 169:
            return 248;
        default:
            return c;
    }
}

bool LOOP500::decode(char* line, int length) {
    for (int i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c > 128) line[i] = static_cast<char>(translate(c));
    }
    std::string_view s(line, length);
    if (s.size() <= 13) {
        store(line, {});
        return true;
    }
    int day = devices::twoDigits(s, 3);
    int month = devices::twoDigits(s, 6);
    advanceDate(day, month, devices::yearFromContext(month, date_));
    store(line, devices::textFrom(s, 10));
    return true;
}

bool LOOP500::openPort(const std::string& portName, int speed, int dataBits, int stopBitsCode, int parityCode,
                       int receiveQueue, int transmitQueue, bool flowControl, bool debug) {
    if (!DEVICE::openPort(portName, speed, dataBits, stopBitsCode, parityCode, receiveQueue, transmitQueue,
                          flowControl, debug))
        return false;
    // The panel sends once DTR and RTS are up and it has received XON.
    reader_->setDtr(true);
    reader_->setRts(true);
    reader_->writeByte(kXon);
    return true;
}

bool LOOP500::closePort() {
    if (reader_ && reader_->isOpen()) {
        reader_->setDtr(false);
        reader_->setRts(false);
    }
    return DEVICE::closePort();
}

}  // namespace vrx
