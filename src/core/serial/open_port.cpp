#include "serial/open_port.h"

#include <cmath>

#include "platform/messages.h"
#include "serial/hw_buffer.h"
#include "settings/inisoubor.h"
#include "text/cz.h"
#include "text/strutil.h"

namespace vrx {

bool readPortSettings(PortSettings& out) {
    const INISOUBOR& ini = settings();
    // A name is read into nine characters, except a device path, which is taken whole.
    std::string name = ini.readString("PORT", "Jmeno", "", 259);
    if (name.empty() || name[0] != '/') name = text::cut(name, 8);
    std::string parity = ini.readString("PORT", "Parita", "zadna", 8);
    double stopBits = ini.readReal("PORT", "StopBity", 1.0);
    out.name = name;
    out.debug = ini.readNumber("PORT", "DebugPort", 0) != 0;
    out.flowControl = ini.readNumber("PORT", "RizeniToku", 0) != 0;
    out.receiveQueue = ini.readNumber("PORT", "DelkaPrijimaciFronty", 2048);
    out.transmitQueue = ini.readNumber("PORT", "DelkaVysilaciFronty", 1024);
    out.speed = ini.readNumber("PORT", "Rychlost", 0);
    out.online = ini.readNumber("PORT", "Online", 1) != 0;
    out.dataBits = ini.readNumber("PORT", "DataBity", 0);
    if (out.speed == 0 || out.dataBits == 0) return false;

    if (std::fabs(stopBits - 1.0) < 1e-9)
        out.stopBitsCode = 0;
    else if (std::fabs(stopBits - 1.5) < 1e-9)
        out.stopBitsCode = 1;
    else if (std::fabs(stopBits - 2.0) < 1e-9)
        out.stopBitsCode = 2;
    else
        return false;

    static constexpr const char* kParities[] = {"zadna", "licha", "suda", "znacka"};
    for (int code = 0; code < 4; ++code) {
        if (text::equalsNoCase(parity, kParities[code])) {
            out.parityCode = code;
            return true;
        }
    }
    return false;
}

bool openPortFromSettings(LINE_READER& reader) {
    return openPortFromSettings(reader, [&reader](const PortSettings& p) {
        return reader.open(p.name, p.speed, p.dataBits, p.stopBitsCode, p.parityCode, p.receiveQueue,
                           p.transmitQueue, p.flowControl, p.debug);
    });
}

bool openPortFromSettings(LINE_READER& reader, const std::function<bool(const PortSettings&)>& open) {
    PortSettings p;
    if (!readPortSettings(p)) {
        platform::error("Nejsou zadány parametry sériového portu."_cz);
        return false;
    }
    if (!open(p)) {
        platform::error("Nelze otevřít sériový port"_cz);
        return false;
    }
    if (p.online && reader.isHardwareBuffer()) {
        if (auto* buffered = dynamic_cast<CONNECTED_LINE_READER*>(&reader))
            buffered->startContinuousReading();
    }
    return true;
}

}  // namespace vrx
