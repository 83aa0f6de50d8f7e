// The collection settings dialogs: run mode, serial port, panel type, and reading and erasing the
// hardware buffer of the panel simulator on a pseudo-terminal.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QtTest>

#include <atomic>
#include <thread>

#include "gui/operators/station_fixture.h"
#include "gui/settings/hw_buffer_dialogs.h"
#include "gui/settings/settings_commands.h"
#include "gui/settings/settings_dialogs.h"
#include "panelsim.h"
#include "serial/comio.h"
#include "serial/hw_buffer.h"
#include "service/initialization.h"

using namespace vrx;
using namespace vrx::test;

namespace {

constexpr int kGeneralDevice = 20;  // "Obecné zařízení"
constexpr int kUnspecified = 19;    // "MHU 109": lines taken as they come

// The hardware buffer unit of the simulator, answering on a pseudo-terminal until destroyed.
class SimulatedUnit {
  public:
    explicit SimulatedUnit(const std::vector<std::string>& lines) : unit(lines, "\r\n") {
        ok = pty.open();
        if (ok) server = std::thread([this] { panelsim::serveBuffer(pty.master(), unit, stop); });
    }
    ~SimulatedUnit() { finish(); }
    void finish() {
        stop = true;
        if (server.joinable()) server.join();
    }
    panelsim::PseudoTerminal pty;
    panelsim::BufferUnit unit;
    std::atomic<bool> stop{false};
    std::thread server;
    bool ok = false;
};

std::string value(const char* section, const char* key) {
    return settings().readString(section, key, "<none>");
}

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void init() {
        env = std::make_unique<StationEnvironment>();
        station = std::make_unique<TestStation>();
        station->app.runMode = app::RunMode::Collection;
        service::initializeTables({service::InitTable::Histor}, nullptr);
        TABAUDIT audit;  // without the entry of the initialization
        QVERIFY(audit.create());
        env->messages.shown.clear();
    }
    void cleanup() {
        station.reset();
        env.reset();
    }

    void runModeTakesEffectAtTheNextStart();
    void portDialogShowsTheSettings();
    void portDialogWritesFieldByField_data();
    void portDialogWritesFieldByField();
    void portDialogSetsUpThePanelAndOpensThePort();
    void portDialogStaysOpenWhenThePortFails();
    void panelTypeDialog();
    void panelSetupFailureKeepsTheDialogOpen();
    void hwBufferCommandsNeedAnIdleBufferReader();
    void readTheHardwareBufferUntilItIsEmpty();
    void stopReadingAndEraseTheBuffer();

  private:
    // A collecting station whose decoder reads through the hardware buffer on `port`.
    void collectThroughBuffer(const std::string& port, bool online) {
        settings().writeString("PORT", "Jmeno", port);
        settings().writeNumber("PORT", "Rychlost", 9600);
        settings().writeNumber("PORT", "DataBity", 8);
        settings().writeNumber("PORT", "Buffer", 1);
        settings().writeNumber("PORT", "Online", online ? 1 : 0);
        station->app.panels.setChosen(kUnspecified);
        QVERIFY(station->app.setupPanel());
        QVERIFY(station->app.openPort());
        QVERIFY(station->op.start());
    }
    std::vector<std::string> historTexts() {
        std::vector<std::string> out;
        TABHISTOR h;
        if (!h.open(0, 0, 0) || !h.first()) return out;
        while (!h.eof()) {
            out.push_back(text::cp1250ToUtf8(h.rec.Retezec));
            if (!h.next()) break;
        }
        return out;
    }
    // The texts of the records, the dialogs' ">>>>> date time - " and " <<<<<" cut away.
    std::vector<std::string> historEvents() {
        std::vector<std::string> out;
        for (std::string t : historTexts()) {
            if (t.rfind(">>>>> ", 0) == 0 && t.size() > 6 + 19 + 3 + 6 && t.substr(t.size() - 6) == " <<<<<")
                t = "* " + t.substr(6 + 19 + 3, t.size() - 6 - 19 - 3 - 6);
            out.push_back(t);
        }
        return out;
    }

    std::unique_ptr<StationEnvironment> env;
    std::unique_ptr<TestStation> station;
};

void SettingsTest::runModeTakesEffectAtTheNextStart() {
    gui::RunModeDialog d(*station);
    d.show();
    QVERIFY(child<QRadioButton>(&d, "collection")->isChecked());  // "Rezim" missing: collection
    child<QRadioButton>(&d, "viewing")->click();
    click(&d, "write");
    QVERIFY(!d.isVisible());
    QCOMPARE(value("SYSTEM", "Rezim"), std::string("PROHLIZEC"));
    QCOMPARE(env->auditEntries(), std::vector<std::string>{"|Změna režimu na PROHLIZEC"});
    QCOMPARE(station->app.runMode, app::RunMode::Collection);  // the running program keeps its mode

    gui::RunModeDialog again(*station);
    QVERIFY(child<QRadioButton>(&again, "viewing")->isChecked());
    click(&again, "help");
    QCOMPARE(station->helpContexts, std::vector<int>{1});
}

void SettingsTest::portDialogShowsTheSettings() {
    settings().writeNumber("PORT", "PosledniPort", 4);
    settings().writeString("PORT", "Jmeno", "COM3");
    settings().writeNumber("PORT", "Rychlost", 4800);
    settings().writeNumber("PORT", "DataBity", 7);
    settings().writeReal("PORT", "StopBity", 1.5);
    settings().writeString("PORT", "Parita", "SUDA");
    settings().writeNumber("PORT", "DebugBuffer", 1);
    gui::SerialPortDialog d(*station);
    auto* port = child<QComboBox>(&d, "port");
    QCOMPARE(port->count(), 4);  // COM1 to COM4 whether they exist or not
    QCOMPARE(port->itemText(3), QString("COM4"));
    QCOMPARE(port->currentText(), QString("COM3"));
    QCOMPARE(child<QComboBox>(&d, "speed")->currentText(), QString("4800"));
    QCOMPARE(child<QComboBox>(&d, "dataBits")->currentText(), QString("7"));
    QCOMPARE(child<QComboBox>(&d, "stopBits")->currentText(), QString("1.5"));
    QCOMPARE(child<QComboBox>(&d, "parity")->currentText(), QString::fromUtf8("sudá"));
    QVERIFY(child<QCheckBox>(&d, "debugBuffer")->isChecked());
    QVERIFY(!child<QCheckBox>(&d, "online")->isChecked());
    QVERIFY(!child<QCheckBox>(&d, "buffer")->isChecked());

    // The search lists what exists and remembers the highest COM number found.
    settings().writeNumber("PORT", "MaxPortu", 3);
    d.searchPorts();
    const PortSearch expected = findPorts(3);
    QCOMPARE(port->count(), static_cast<int>(expected.names.size()));
    QCOMPARE(settings().readNumber("PORT", "PosledniPort", -1), expected.lastComNumber);

    // A port name that does not read back whole is not taken.
    port->setEditText(QString());
    port->lineEdit()->insert("COM12345");
    port->lineEdit()->insert("6");
    QCOMPARE(port->currentText(), QString("COM12345"));
    port->lineEdit()->insert("/dev/ttyUSB0");  // only a device path may be longer
    QCOMPARE(port->currentText(), QString("COM12345"));
    port->setEditText(QString());
    port->lineEdit()->insert("/dev/ttyUSB0");
    QCOMPARE(port->currentText(), QString("/dev/ttyUSB0"));
}

void SettingsTest::portDialogWritesFieldByField_data() {
    QTest::addColumn<QString>("emptyField");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("port") << "port" << QString::fromUtf8("Není zadáno jméno portu") << QStringList{};
    QTest::newRow("speed") << "speed" << QString::fromUtf8("Není zadána rychlost") << QStringList{"Jmeno"};
    QTest::newRow("data bits") << "dataBits" << QString::fromUtf8("Není zadán počet datových bitů")
                               << QStringList{"Jmeno", "Rychlost"};
    QTest::newRow("stop bits") << "stopBits" << QString::fromUtf8("Není zadán počet stop bitů")
                               << QStringList{"Jmeno", "Rychlost", "DataBity"};
    QTest::newRow("parity") << "parity" << QString::fromUtf8("Není zadána parita")
                            << QStringList{"Jmeno", "Rychlost", "DataBity", "StopBity"};
}

void SettingsTest::portDialogWritesFieldByField() {
    QFETCH(QString, emptyField);
    QFETCH(QString, message);
    QFETCH(QStringList, written);
    settings().writeNumber("PORT", "PosledniPort", 2);
    gui::SerialPortDialog d(*station);
    d.show();
    child<QComboBox>(&d, "port")->setCurrentIndex(1);
    child<QComboBox>(&d, "speed")->setCurrentIndex(3);
    child<QComboBox>(&d, "dataBits")->setCurrentIndex(1);
    child<QComboBox>(&d, "stopBits")->setCurrentIndex(2);
    child<QComboBox>(&d, "parity")->setCurrentIndex(2);
    auto* empty = child<QComboBox>(&d, emptyField.toLatin1().constData());
    empty->setCurrentIndex(-1);
    if (empty->isEditable()) empty->setEditText(QString());
    click(&d, "write");
    QVERIFY(d.isVisible());
    QCOMPARE(env->messages.shown, std::vector<std::string>{"Chyba|" + message.toStdString()});
    const std::map<std::string, std::string> values{
        {"Jmeno", "COM2"}, {"Rychlost", "9600"}, {"DataBity", "8"}, {"StopBity", ""}, {"Parita", "suda"}};
    for (const auto& [key, v] : values) {
        const bool isWritten = written.contains(QString::fromStdString(key));
        if (key == "StopBity" && isWritten)
            QCOMPARE(settings().readReal("PORT", "StopBity", 0), 2.0);
        else
            QCOMPARE(value("PORT", key.c_str()), isWritten ? v : std::string("<none>"));
    }
    QCOMPARE(value("PORT", "Buffer"), std::string("<none>"));
    QCOMPARE(station->intakeStops, 0);
    QVERIFY(env->auditEntries().empty());
}

void SettingsTest::portDialogSetsUpThePanelAndOpensThePort() {
    SimulatedUnit sim({"ALARM 1"});
    QVERIFY(sim.ok);
    settings().writeNumber("PORT", "PosledniPort", 1);
    settings().writeString("PORT", "Jmeno", sim.pty.slavePath());
    station->app.panels.setChosen(kUnspecified);
    QVERIFY(station->app.setupPanel());
    QVERIFY(station->op.start());
    QVERIFY(!station->timerSet.isActive(app::kTimerIntake));  // no port yet

    gui::SerialPortDialog d(*station);
    d.show();
    QCOMPARE(child<QComboBox>(&d, "port")->currentText(), QString::fromStdString(sim.pty.slavePath()));
    child<QComboBox>(&d, "speed")->setCurrentIndex(4);
    child<QComboBox>(&d, "dataBits")->setCurrentIndex(1);
    child<QComboBox>(&d, "stopBits")->setCurrentIndex(0);
    child<QComboBox>(&d, "parity")->setCurrentIndex(0);
    child<QCheckBox>(&d, "buffer")->setChecked(true);
    click(&d, "write");
    QVERIFY(!d.isVisible());
    QVERIFY(env->messages.shown.empty());
    QCOMPARE(value("PORT", "Rychlost"), std::string("19200"));
    QCOMPARE(settings().readReal("PORT", "StopBity", 0), 1.0);
    QCOMPARE(value("PORT", "Parita"), std::string("zadna"));
    QCOMPARE(value("PORT", "Buffer"), std::string("1"));
    QCOMPARE(value("PORT", "Online"), std::string("0"));
    QVERIFY(station->app.device);
    LINE_READER* reader = station->app.device->reader();
    QVERIFY(reader->isHardwareBuffer());
    QVERIFY(reader->isOpen());
    QVERIFY(!reader->isContinuous());
    QCOMPARE(station->intakeStops, 1);
    QCOMPARE(station->intakeRestarts, 1);
    QVERIFY(station->timerSet.isActive(app::kTimerIntake));
    QCOMPARE(env->auditEntries(), std::vector<std::string>{"|Nastavení sériového portu."});
}

void SettingsTest::portDialogStaysOpenWhenThePortFails() {
    settings().writeNumber("PORT", "PosledniPort", 1);
    station->app.panels.setChosen(kUnspecified);
    gui::SerialPortDialog d(*station);
    d.show();
    child<QComboBox>(&d, "port")->setEditText("/dev/nenitu");
    child<QComboBox>(&d, "speed")->setCurrentIndex(3);
    child<QComboBox>(&d, "dataBits")->setCurrentIndex(1);
    child<QComboBox>(&d, "stopBits")->setCurrentIndex(0);
    child<QComboBox>(&d, "parity")->setCurrentIndex(0);
    child<QCheckBox>(&d, "online")->setChecked(true);
    click(&d, "write");
    QVERIFY(d.isVisible());
    QCOMPARE(env->messages.shown, std::vector<std::string>{"Chyba|Nelze otevřít sériový port"});
    QCOMPARE(value("PORT", "Jmeno"), std::string("/dev/nenitu"));
    QCOMPARE(station->intakeRestarts, 0);
    QVERIFY(env->auditEntries().empty());
}

void SettingsTest::panelTypeDialog() {
    station->rights = operators::fullRights();
    gui::PanelTypeDialog d(*station);
    d.show();
    auto* panel = child<QComboBox>(&d, "panel");
    QCOMPARE(panel->count(), 30);
    QCOMPARE(panel->currentText(), QString("GALAXY 504"));
    QCOMPARE(panel->itemText(kGeneralDevice), QString::fromUtf8("Obecné zařízení"));
    QVERIFY(child<QCheckBox>(&d, "galaxy125")->text() == QString::fromUtf8("GALAXY verze 1.15 až 1.25"));
    auto* endChar = child<QLineEdit>(&d, "endChar");
    auto* ignored = child<QLineEdit>(&d, "ignoredChar");
    QCOMPARE(endChar->text(), QString("10"));
    QCOMPARE(ignored->text(), QString("13"));
    type(&d, "endChar", "1x23");  // digits only, at most two
    QCOMPARE(endChar->text(), QString("12"));
    type(&d, "endChar", "");
    type(&d, "ignoredChar", "");
    child<QCheckBox>(&d, "galaxy125")->setChecked(true);
    panel->setCurrentIndex(kGeneralDevice);
    click(&d, "write");
    QVERIFY(!d.isVisible());
    QVERIFY(env->messages.shown.empty());
    QCOMPARE(value("USTREDNA", "EndChar"), std::string("-1"));
    QCOMPARE(value("USTREDNA", "IgnoChar"), std::string("-1"));
    QCOMPARE(value("USTREDNA", "Galaxy125"), std::string("1"));
    QCOMPARE(value("USTREDNA", "Ustredna"), std::string("20"));
    QVERIFY(station->app.device);
    QVERIFY(!station->app.device->reader()->isOpen());  // no buffer, not online: no port
    QVERIFY(station->app.panelReady);
    QCOMPARE(station->captions, 1);
    QCOMPARE(station->intakeStops, 1);
    QCOMPARE(env->auditEntries(), std::vector<std::string>{"|Nastavení typu ústředny"});

    gui::PanelTypeDialog again(*station);
    QCOMPARE(child<QComboBox>(&again, "panel")->currentIndex(), kGeneralDevice);
    QVERIFY(child<QLineEdit>(&again, "endChar")->text().isEmpty());
}

void SettingsTest::panelSetupFailureKeepsTheDialogOpen() {
    // A Galaxy decoder needs the card-user table, which this station lacks.
    gui::PanelTypeDialog d(*station);
    d.show();
    child<QComboBox>(&d, "panel")->setCurrentIndex(8);
    click(&d, "write");
    QVERIFY(d.isVisible());
    QCOMPARE(env->messages.shown, std::vector<std::string>{"Chyba|Nelze inicializovat ústřednu."});
    QCOMPARE(value("USTREDNA", "Ustredna"), std::string("<none>"));
    QCOMPARE(station->captions, 0);
    QVERIFY(env->auditEntries().empty());
}

void SettingsTest::hwBufferCommandsNeedAnIdleBufferReader() {
    auto refusal = [this] {
        env->messages.shown.clear();
        if (gui::hwBufferReaderForCommand(*station)) return std::string("not refused");
        return env->messages.last();
    };
    station->app.runMode = app::RunMode::Viewing;
    QCOMPARE(refusal(), std::string("Informace|Funkce není k dispozici\nv režimu prohlížeč"));
    station->app.runMode = app::RunMode::Collection;
    QCOMPARE(
        refusal(),
        std::string("Informace|Není nastavena ústředna. Nastavení se provádí v menu Nastavení/Ústředna"));
    station->app.panels.setChosen(kUnspecified);
    QVERIFY(station->app.setupPanel());  // "Buffer" 0: a direct reader
    QCOMPARE(
        refusal(),
        std::string("Informace|Není nastaven HW-buffer. Nastavení se provádí v menu Nastavení/Sériový port"));

    SimulatedUnit sim({});
    QVERIFY(sim.ok);
    collectThroughBuffer(sim.pty.slavePath(), true);
    QVERIFY(station->app.device->reader()->isContinuous());
    QCOMPARE(refusal(),
             std::string("Informace|Vypněte průběžné čtení HW-bufferu v menu Nastavení/Sériový port"));
    env->messages.shown.clear();
    gui::runHwBufferEraseCommand(nullptr, *station);  // refused the same way: no dialog
    QCOMPARE(env->messages.shown.size(), size_t(1));
}

void SettingsTest::readTheHardwareBufferUntilItIsEmpty() {
    SimulatedUnit sim({"  ALARM ZONA 1", "PORUCHA 2", "ALARM ZONA 3"});
    QVERIFY(sim.ok);
    collectThroughBuffer(sim.pty.slavePath(), false);
    station->op.updateIntakeTimer();
    QVERIFY(station->timerSet.isActive(app::kTimerIntake));
    auto* reader = gui::hwBufferReaderForCommand(*station);
    QVERIFY(reader);

    gui::HwBufferReadDialog d(*station, *reader);
    d.show();
    QVERIFY(!station->timerSet.isActive(app::kTimerIntake));  // the dialog reads, not the main window
    auto* status = child<QLabel>(&d, "status");
    QCOMPARE(status->text(), QString::fromUtf8("Čekám na povel"));
    QVERIFY(!child<QPushButton>(&d, "stop")->isEnabled());

    click(&d, "continue");
    QVERIFY(d.reading());
    QVERIFY(!child<QPushButton>(&d, "continue")->isEnabled());
    QVERIFY(!child<QPushButton>(&d, "fromStart")->isEnabled());
    QVERIFY(!child<QPushButton>(&d, "back")->isEnabled());
    QVERIFY(child<QPushButton>(&d, "stop")->isEnabled());
    d.reject();  // no way out while reading
    QVERIFY(d.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString::fromUtf8("HW-buffer byl úspěšně přečten"), 30000);
    QVERIFY(!d.reading());
    QVERIFY(child<QPushButton>(&d, "continue")->isEnabled());
    QVERIFY(child<QPushButton>(&d, "back")->isEnabled());
    QVERIFY(!child<QPushButton>(&d, "stop")->isEnabled());
    QVERIFY(!reader->isContinuous());
    QCOMPARE(historEvents(),
             (std::vector<std::string>{"* Zahájeno čtení HW-bufferu", "ALARM ZONA 1", "PORUCHA 2",
                                       "ALARM ZONA 3", "* HW-buffer byl úspěšně přečten"}));

    // From the start of the unit's memory: the same records once more.
    click(&d, "fromStart");
    QCOMPARE(status->text(), QString::fromUtf8("Ukazatel paměti bufferu byl nastaven na první záznam"));
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QString::fromUtf8("HW-buffer byl úspěšně přečten"), 30000);
    const auto events = historEvents();
    QCOMPARE(events.size(), size_t(10));
    QCOMPARE(events[5], std::string("* Zahájeno čtení HW-bufferu od začátku paměti"));
    QCOMPARE(events[6], std::string("ALARM ZONA 1"));
    QCOMPARE(events[9], std::string("* HW-buffer byl úspěšně přečten"));
    QCOMPARE(env->auditEntries(),
             (std::vector<std::string>{"|Čtení HW-bufferu", "|HW-buffer byl úspěšně přečten",
                                       "|Čtení HW-bufferu od začátku", "|HW-buffer byl úspěšně přečten"}));
    QVERIFY(!station->timerSet.isActive(app::kTimerIntake));  // left stopped
    click(&d, "back");
    QVERIFY(!d.isVisible());
}

void SettingsTest::stopReadingAndEraseTheBuffer() {
    std::vector<std::string> lines;
    for (int i = 1; i <= 200; ++i) lines.push_back("UDALOST " + std::to_string(i));
    SimulatedUnit sim(lines);
    QVERIFY(sim.ok);
    collectThroughBuffer(sim.pty.slavePath(), false);
    auto* reader = gui::hwBufferReaderForCommand(*station);
    QVERIFY(reader);
    {
        gui::HwBufferReadDialog d(*station, *reader);
        d.show();
        click(&d, "continue");
        QTRY_VERIFY_WITH_TIMEOUT(historTexts().size() >= 3, 30000);
        click(&d, "stop");
        QVERIFY(!d.reading());
        QCOMPARE(child<QLabel>(&d, "status")->text(),
                 QString::fromUtf8("Čtení HW-bufferu bylo přerušeno uživatelem"));
        QCOMPARE(historEvents().back(), std::string("* Čtení HW-bufferu bylo přerušeno uživatelem"));
        QCOMPARE(env->auditEntries().back(), std::string("|Čtení HW-bufferu bylo přerušeno uživatelem"));
        QVERIFY(child<QPushButton>(&d, "back")->isEnabled());
    }
    {
        gui::HwBufferEraseDialog d(*station, *reader);
        d.show();
        click(&d, "erase");
        QCOMPARE(child<QLabel>(&d, "status")->text(), QString::fromUtf8("HW-Buffer byl úspěšně smazán"));
        QVERIFY(!child<QPushButton>(&d, "erase")->isEnabled());
        QCOMPARE(historEvents().back(), std::string("* HW-Buffer byl úspěšně smazán"));
        QCOMPARE(env->auditEntries().back(), std::string("|Mazání HW-bufferu"));
    }
    sim.finish();
    QCOMPARE(sim.unit.recordCount(), size_t(0));
    QCOMPARE(sim.unit.stats().erased, 1L);

    // A unit that does not answer: the erase fails after its wait.
    {
        gui::HwBufferEraseDialog d(*station, *reader);
        d.show();
        click(&d, "erase");
        QCOMPARE(child<QLabel>(&d, "status")->text(), QString::fromUtf8("Komunikace s HW-bufferem selhala"));
        QCOMPARE(historEvents().back(), std::string("* Mazání HW-bufferu selhalo"));
    }
}

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
