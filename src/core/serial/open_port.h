#pragma once
// Opening the serial port with the parameters of section "PORT" of the settings file.
#include <functional>
#include <string>

#include "serial/line_reader.h"

namespace vrx {

// The parameters of section "PORT" as the open operation takes them.
struct PortSettings {
    std::string name;
    int speed = 0;
    int dataBits = 0;
    int stopBitsCode = 0;
    int parityCode = 0;
    int receiveQueue = 2048;
    int transmitQueue = 1024;
    bool flowControl = false;
    bool debug = false;
    bool online = true;
};

// Reads section "PORT" of the program's settings file. False when the speed or the data bits are
// missing or the stop bits or the parity are not among the known values.
bool readPortSettings(PortSettings& out);

// Opens the reader's port from the settings. Shows "Nejsou zadány parametry sériového portu." or
// "Nelze otevřít sériový port" (beep, caption "Chyba") and returns false when that fails. With
// "Online" set, a hardware buffer reader starts reading continuously.
bool openPortFromSettings(LINE_READER& reader);
// The same, with the port opened by `open` (the decoder forwards the open to its reader and may
// talk to the panel on the fresh port).
bool openPortFromSettings(LINE_READER& reader, const std::function<bool(const PortSettings&)>& open);

}  // namespace vrx
