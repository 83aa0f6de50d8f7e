#include "gui/settings/settings_commands.h"

#include "app/station_services.h"
#include "gui/settings/hw_buffer_dialogs.h"
#include "gui/settings/settings_dialogs.h"
#include "platform/messages.h"
#include "serial/hw_buffer.h"
#include "text/cz.h"

namespace vrx::gui {
namespace {

void refuse(const char* text) {
    platform::messages().beep();
    platform::messages().show("Informace", text, platform::Icon::Warning);
}

}  // namespace

CONNECTED_LINE_READER* hwBufferReaderForCommand(app::StationServices& services) {
    if (refusedInViewingMode(services)) return nullptr;
    app::APLIKACE& a = services.application();
    if (!a.device) {
        refuse("Není nastavena ústředna. Nastavení se provádí v menu Nastavení/Ústředna"_cz);
        return nullptr;
    }
    auto* reader = dynamic_cast<CONNECTED_LINE_READER*>(a.device->reader());
    if (!reader || !reader->isHardwareBuffer()) {
        refuse("Není nastaven HW-buffer. Nastavení se provádí v menu Nastavení/Sériový port"_cz);
        return nullptr;
    }
    if (reader->isContinuous()) {
        refuse("Vypněte průběžné čtení HW-bufferu v menu Nastavení/Sériový port"_cz);
        return nullptr;
    }
    return reader;
}

void runHwBufferReadCommand(QWidget* parent, app::StationServices& services) {
    CONNECTED_LINE_READER* reader = hwBufferReaderForCommand(services);
    if (!reader) return;
    HwBufferReadDialog dialog(services, *reader, parent);
    dialog.exec();
}

void runHwBufferEraseCommand(QWidget* parent, app::StationServices& services) {
    CONNECTED_LINE_READER* reader = hwBufferReaderForCommand(services);
    if (!reader) return;
    HwBufferEraseDialog dialog(services, *reader, parent);
    dialog.exec();
}

void runSerialPortCommand(QWidget* parent, app::StationServices& services) {
    if (refusedInViewingMode(services)) return;
    if (!services.application().device) {
        platform::error("Není zvolen typ ústředny."_cz);
        return;
    }
    SerialPortDialog dialog(services, parent);
    dialog.exec();
}

void runPanelTypeCommand(QWidget* parent, app::StationServices& services) {
    if (refusedInViewingMode(services)) return;
    PanelTypeDialog dialog(services, parent);
    dialog.exec();
}

void runRunModeCommand(QWidget* parent, app::StationServices& services) {
    RunModeDialog dialog(services, parent);
    dialog.exec();
}

}  // namespace vrx::gui
