#pragma once
// The application object: run mode, directories, the logged-in operator, this station's name, the
// run conditions, and the panel decoder the station collects with.
#include <memory>
#include <string>

#include "devices/device.h"
#include "devices/factory.h"
#include "devices/ustrlist.h"

namespace vrx::app {

enum class RunMode { Collection = 0, Viewing = 1 };

// Where the attendance exporter plugs into intake; the station runs without one until online
// export is configured.
class EventExporter {
public:
    virtual ~EventExporter() = default;
    virtual void event(long day, const std::string& text) = 0;
    virtual bool dataReady() = 0;
    virtual void writeOutput() = 0;
};

// Creates the online exporter for the panel type when "Online" of section "EXPORT" is set; an empty
// result with `failed` set means construction failed.
using ExporterFactory = std::unique_ptr<EventExporter> (*)(int panelType, bool& failed);

class APLIKACE {
public:
    APLIKACE();

    // "Rezim" of section "SYSTEM": viewing when its first letter, upper-cased, is "P".
    static RunMode readRunMode();
    // "SBĚRAČ" or "PROHLÍŽEČ".
    static const char* runModeName(RunMode m);
    // The machine's host name cut to 15 characters.
    static std::string readComputerName();

    // Reads the settings, checks the directories (each failure shown), and in data collection sets
    // up the panel and opens the port.
    void initialize();
    // Creates the decoder (and the exporter) for the chosen panel; false, with the message shown,
    // when that fails. Condition 4 takes the result.
    bool setupPanel();
    // Opens the decoder's port from the settings ("Buffer" or "Online" set); false when not opened.
    bool openPort();
    bool runConditionsHold() const { return sharedTables && privateTables && soundDirectory && panelReady; }
    // Destroys exporter and decoder (which closes the port).
    void releasePanel();

    RunMode runMode = RunMode::Viewing;
    std::string startDirectory, sharedDirectory, privateDirectory, soundDirectory_;
    bool loggedIn = false;
    std::string operatorName;
    std::string computerName;
    int pictureSize = 0;
    bool loopingSound = false;
    bool insertNamesFlag = false;
    bool sharedTables = false, privateTables = false, soundDirectory = false, panelReady = false;
    bool running = false;

    USTRLIST panels;
    std::unique_ptr<DEVICE> device;
    std::unique_ptr<EventExporter> exporter;
    // How decoders get their reader and card-user table (tests substitute them).
    DeviceSources deviceSources;
    ExporterFactory exporterFactory = nullptr;
};

// The process's application object.
APLIKACE& aplikace();

}  // namespace vrx::app
