#pragma once
// The decoder for a panel type, as the panel-setup procedure creates it.
#include <functional>
#include <memory>

#include "devices/card_users.h"
#include "devices/device.h"

namespace vrx {

// The line reader of a decoder: the hardware buffer reader when the buffer unit is in use,
// otherwise a reader for a panel connected directly.
std::unique_ptr<LINE_READER> makeLineReader(bool hardwareBuffer);

// Where a decoder gets its line reader and its card-user table; empty members stand for
// makeLineReader and the codes table "KODY" of the shared tables.
struct DeviceSources {
    std::function<std::unique_ptr<LINE_READER>(bool hardwareBuffer)> lineReader;
    CardUserTableFactory cardUsers;
};

// The decoder of the panel type (types without a decoder of their own, and unknown ones, get
// UNSPEC), dated `date`. With `atis` the Galaxy family is read by ATIS instead of GALAXY. Throws
// AppError{kErrorCardUserTable} when a decoder that inserts names cannot open the card-user table.
std::unique_ptr<DEVICE> createDevice(int panelType, bool atis, bool hardwareBuffer, long date,
                                     const DeviceSources& sources = {});

}  // namespace vrx
