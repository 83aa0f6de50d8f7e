#include "devices/factory.h"

#include "devices/galaxy.h"
#include "devices/kody_card_users.h"
#include "devices/panels.h"
#include "devices/pc4020.h"
#include "devices/pc6010.h"
#include "devices/simple.h"
#include "devices/ustrlist.h"
#include "serial/hw_buffer.h"

namespace vrx {

std::unique_ptr<LINE_READER> makeLineReader(bool hardwareBuffer) {
    if (hardwareBuffer) return std::make_unique<BUFFERED_LINE_READER>();
    return std::make_unique<DIRECT_LINE_READER>();
}

std::unique_ptr<DEVICE> createDevice(int panelType, bool atis, bool hardwareBuffer, long date,
                                     const DeviceSources& sources) {
    auto reader = sources.lineReader ? sources.lineReader(hardwareBuffer) : makeLineReader(hardwareBuffer);
    auto cardUsers = [&sources] { return sources.cardUsers ? sources.cardUsers() : makeKodyCardUsers(); };
    const long reserved = 0;
    switch (panelType) {
        case kPanelGalaxy:
            if (atis) return std::make_unique<ATIS>(date, reserved, std::move(reader));
            return std::make_unique<GALAXY>(date, reserved, std::move(reader), cardUsers());
        case kPanelAplex:
            return std::make_unique<APLEX>(date, reserved, std::move(reader));
        case kPanelCommon:
            return std::make_unique<COMMONDEV>(date, reserved, std::move(reader));
        case kPanelPc4020V30:
            return std::make_unique<PC4020V30>(date, reserved, std::move(reader), cardUsers());
        case kPanelPc4020V33:
            return std::make_unique<PC4020V33>(date, reserved, std::move(reader), cardUsers());
        case kPanelOrbit:
            return std::make_unique<ORBIT>(date, reserved, std::move(reader));
        case kPanelLoop500:
            return std::make_unique<LOOP500>(date, reserved, std::move(reader));
        case kPanelConcept:
            return std::make_unique<CONCEPT>(date, reserved, std::move(reader));
        case kPanelPc6010:
            return std::make_unique<PC_6010>(date, reserved, std::move(reader), cardUsers());
        case kPanelDigiplex:
            return std::make_unique<DIGIPLEX>(date, reserved, std::move(reader));
        case kPanelEsser:
            return std::make_unique<ESSER>(date, reserved, std::move(reader));
        default:
            return std::make_unique<UNSPEC>(date, reserved, std::move(reader));
    }
}

}  // namespace vrx
