#include "app/aplikace.h"

#include <unistd.h>

#include "app/strings.h"
#include "platform/app_error.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "serial/open_port.h"
#include "settings/inisoubor.h"
#include "text/charset.h"
#include "text/cz.h"

namespace vrx::app {
APLIKACE::APLIKACE() : computerName(readComputerName()) {}

APLIKACE& aplikace() {
    static APLIKACE a;
    return a;
}

RunMode APLIKACE::readRunMode() {
    std::string mode = text::upperCp1250(settings().readString("SYSTEM", "Rezim", "S", 19));
    return !mode.empty() && mode[0] == 'P' ? RunMode::Viewing : RunMode::Collection;
}

const char* APLIKACE::runModeName(RunMode m) {
    return m == RunMode::Viewing ? "PROHLÍŽEČ"_cz : "SBĚRAČ"_cz;
}

std::string APLIKACE::readComputerName() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) return {};
    std::string name(host);
    if (name.size() > 15) name.resize(15);
    return name;
}

void APLIKACE::initialize() {
    const INISOUBOR& ini = settings();
    panels.setChosen(ini.readNumber("USTREDNA", "Ustredna", USTRLIST::kDefaultChosen));
    pictureSize = ini.readNumber("SYSTEM", "RozmerBitmap", 0);
    insertNamesFlag = ini.readNumber("SYSTEM", "VkladaniJmen", 0) != 0;
    setInsertNames(insertNamesFlag);
    const bool buffer = ini.readNumber("PORT", "Buffer", 0) != 0;
    const bool online = ini.readNumber("PORT", "Online", 0) != 0;
    startDirectory = currentDirectory();

    sharedDirectory = ini.readString("ADRESARE", "SpolTabulky", "", 259);
    if (sharedDirectory.empty()) {
        platform::error("Chybí adresář společných tabulek."_cz);
        sharedTables = false;
    } else if (!platform::fileExists(sharedDirectory + "/HISTOR.DB")) {
        platform::error("Ve společném adresáři chybí tabulka HISTOR."_cz);
        sharedTables = false;
    } else {
        sharedTables = true;
    }
    privateDirectory = ini.readString("ADRESARE", "PrivTabulky", "", 259);
    if (privateDirectory.empty()) {
        platform::error("Chybí adresář soukromých tabulek."_cz);
        privateTables = false;
    } else if (!platform::fileExists(privateDirectory + "/FILTRY.DB")) {
        platform::error("V privátním adresáři chybí tabulka FILTRY."_cz);
        privateTables = false;
    } else {
        privateTables = true;
    }
    soundDirectory_ = ini.readString("ADRESARE", "Multimedia", "", 259);
    soundDirectory = !soundDirectory_.empty();
    if (!soundDirectory) platform::error("Chybí adresář zvuků a obrázků."_cz);

    if (runMode == RunMode::Viewing) {
        panelReady = true;
        return;
    }
    panelReady = setupPanel();
    // A port that cannot be opened is reported there; operation still starts without intake.
    if (panelReady && (buffer || online)) openPort();
}

void APLIKACE::releasePanel() {
    exporter.reset();
    device.reset();
}

bool APLIKACE::setupPanel() {
    panelReady = false;
    releasePanel();
    const INISOUBOR& ini = settings();
    const bool buffer = ini.readNumber("PORT", "Buffer", 0) != 0;
    const int type = panels.chosenType();
    const bool atis = ini.readNumber("USTREDNA", "Atis", 0) != 0;
    const long date = ini.readDate("SYSTEM", "Datum", 1);
    try {
        device = createDevice(type, atis, buffer, date, deviceSources);
    } catch (const AppError&) {
        device.reset();
    }
    if (!device) {
        platform::error("Nelze inicializovat ústřednu."_cz);
        return false;
    }
    if (ini.readNumber("EXPORT", "Online", 0) != 0 && exporterFactory) {
        bool failed = false;
        exporter = exporterFactory(type, failed);
        if (failed) {
            exporter.reset();
            platform::error("Nelze inicializovat export docházkových údajů."_cz);
            return false;
        }
    }
    panelReady = true;
    return true;
}

bool APLIKACE::openPort() {
    if (!device || !device->reader()) return false;
    // Through the decoder: some panels want a handshake on the freshly opened port.
    return openPortFromSettings(*device->reader(), [this](const PortSettings& p) {
        return device->openPort(p.name, p.speed, p.dataBits, p.stopBitsCode, p.parityCode, p.receiveQueue,
                                p.transmitQueue, p.flowControl, p.debug);
    });
}

}  // namespace vrx::app
