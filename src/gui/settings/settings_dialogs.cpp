#include "gui/settings/settings_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/station_services.h"
#include "operators/audit.h"
#include "platform/messages.h"
#include "serial/comio.h"
#include "settings/inisoubor.h"
#include "text/cz.h"
#include "text/strutil.h"

namespace vrx::gui {
namespace {

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons) row->addWidget(b);
    return row;
}

QComboBox* makeCombo(const char* objectName, QWidget* parent, std::initializer_list<const char*> items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(objectName));
    for (const char* i : items) c->addItem(fromCp(i));
    c->setCurrentIndex(-1);
    return c;
}

QCheckBox* makeCheck(const char* cp1250Text, const char* objectName, bool checked, QWidget* parent) {
    auto* c = new QCheckBox(fromCp(cp1250Text), parent);
    c->setObjectName(QString::fromLatin1(objectName));
    c->setChecked(checked);
    return c;
}

// A port name: "COM%d" and other names as the port opens them (up to 8 characters), or a device
// path (up to 18 characters).
class PortNameValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (c.unicode() <= ' ' || c.unicode() > '~') return Invalid;
        }
        const int max = input.startsWith(QLatin1Char('/')) ? 18 : 8;
        return input.size() <= max ? Acceptable : Invalid;
    }
};

constexpr const char* kParityWords[] = {"zadna", "licha", "suda", "znacka"};

}  // namespace

// ---- run mode ----

RunModeDialog::RunModeDialog(app::StationServices& services, QWidget* parent)
    : StationDialog(services, 1, parent) {
    setObjectName(QStringLiteral("runMode"));
    setWindowTitle(fromCp("Volba režimu programu"_cz));
    collection_ = new QRadioButton(fromCp("Sběr dat"_cz), this);
    collection_->setObjectName(QStringLiteral("collection"));
    viewing_ = new QRadioButton(fromCp("Prohlížení"_cz), this);
    viewing_->setObjectName(QStringLiteral("viewing"));
    // The mode the settings hold: after a change it is the one the next start takes.
    (app::APLIKACE::readRunMode() == app::RunMode::Viewing ? viewing_ : collection_)->setChecked(true);

    auto* write = makeButton("Zapsat", "write", this);
    auto* back = makeButton("Zpět"_cz, "back", this);
    connect(write, &QPushButton::clicked, this, &RunModeDialog::write);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(collection_);
    layout->addWidget(viewing_);
    layout->addLayout(buttonRow({write, back, helpButton()}));
}

void RunModeDialog::write() {
    const char* value = viewing_->isChecked() ? "PROHLIZEC" : "SBERAC";
    settings().writeString("SYSTEM", "Rezim", value);
    writeAudit("Změna režimu na %s"_cz, value);
    accept();
}

// ---- serial port ----

SerialPortDialog::SerialPortDialog(app::StationServices& services, QWidget* parent)
    : StationDialog(services, 11, parent) {
    setObjectName(QStringLiteral("serialPort"));
    setWindowTitle(fromCp("Nastavení sériového portu"_cz));
    const INISOUBOR& ini = settings();

    port_ = new QComboBox(this);
    port_->setObjectName(QStringLiteral("port"));
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    port_->lineEdit()->setValidator(new PortNameValidator(port_));
    speed_ = makeCombo("speed", this, {"1200", "2400", "4800", "9600", "19200"});
    dataBits_ = makeCombo("dataBits", this, {"7", "8"});
    stopBits_ = makeCombo("stopBits", this, {"1", "1.5", "2"});
    parity_ = makeCombo("parity", this, {"žádná"_cz, "lichá"_cz, "sudá"_cz, "značka"_cz});
    online_ = makeCheck("Průběžné čtení portu. Není-li zaškrtnuto,"_cz, "online",
                        ini.readNumber("PORT", "Online", 0) != 0, this);
    buffer_ = makeCheck("Buffer", "buffer", ini.readNumber("PORT", "Buffer", 0) != 0, this);
    debugPort_ = makeCheck("Zapisovat ladicí informace portu"_cz, "debugPort",
                           ini.readNumber("PORT", "DebugPort", 0) != 0, this);
    debugBuffer_ = makeCheck("Zapisovat ladící informace bufferu"_cz, "debugBuffer",
                             ini.readNumber("PORT", "DebugBuffer", 0) != 0, this);

    // The port list: searched when no search has found a port yet, else COM1 up to the last found.
    const int lastPort = ini.readNumber("PORT", "PosledniPort", 0);
    if (lastPort == 0) {
        searchPorts();
    } else {
        for (int i = 1; i <= lastPort; ++i) port_->addItem(QStringLiteral("COM%1").arg(i));
    }
    std::string name = ini.readString("PORT", "Jmeno", "", 259);
    if (name.empty() || name[0] != '/') name = text::cut(name, 9);
    const int found = port_->findText(fromCp(name));
    port_->setCurrentIndex(found);
    // A name the list does not hold (a device path, a port beyond the last one found) stays shown.
    if (found < 0) port_->setEditText(fromCp(name));

    speed_->setCurrentIndex(speed_->findText(QString::number(ini.readNumber("PORT", "Rychlost", 0))));
    dataBits_->setCurrentIndex(dataBits_->findText(QString::number(ini.readNumber("PORT", "DataBity", 0))));
    const int stopTenths = static_cast<int>(ini.readReal("PORT", "StopBity", 1.0) * 10 + 0.5);
    stopBits_->setCurrentIndex(stopTenths == 15 ? 1 : stopTenths == 20 ? 2 : 0);
    const std::string parity = ini.readString("PORT", "Parita", "", 8);
    for (int i = 0; i < 4; ++i) {
        if (text::equalsNoCase(parity, kParityWords[i])) parity_->setCurrentIndex(i);
    }

    auto* searchButton = makeButton("Zjistit porty", "searchPorts", this);
    auto* write = makeButton("Zapsat", "write", this);
    auto* back = makeButton("Zpět"_cz, "back", this);
    connect(searchButton, &QPushButton::clicked, this, &SerialPortDialog::searchPorts);
    connect(write, &QPushButton::clicked, this, &SerialPortDialog::write);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(fromCp("Jméno portu"_cz), port_);
    form->addRow(fromCp("Rychlost"), speed_);
    form->addRow(fromCp("Parita"), parity_);
    form->addRow(fromCp("Datové bity"_cz), dataBits_);
    form->addRow(fromCp("Stop bity"), stopBits_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(online_);
    layout->addWidget(
        new QLabel(fromCp("předpokládá se pouze čtení HW bufferu\nspouštěné ručně z menu."_cz), this));
    layout->addWidget(buffer_);
    layout->addWidget(debugPort_);
    layout->addWidget(debugBuffer_);
    layout->addLayout(buttonRow({searchButton, write, back, helpButton()}));
}

void SerialPortDialog::searchPorts() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    port_->clear();
    const PortSearch found = findPorts(settings().readNumber("PORT", "MaxPortu", 128));
    for (const std::string& n : found.names) port_->addItem(fromCp(n));
    settings().writeNumber("PORT", "PosledniPort", found.lastComNumber);
    QApplication::restoreOverrideCursor();
}

bool SerialPortDialog::writeFields() {
    const INISOUBOR& ini = settings();
    const std::string name = toCp(port_->currentText().left(18));
    if (name.empty()) {
        platform::error("Není zadáno jméno portu"_cz);
        return false;
    }
    ini.writeString("PORT", "Jmeno", name);
    if (speed_->currentText().isEmpty()) {
        platform::error("Není zadána rychlost"_cz);
        return false;
    }
    ini.writeNumber("PORT", "Rychlost", speed_->currentText().toInt());
    if (dataBits_->currentText().isEmpty()) {
        platform::error("Není zadán počet datových bitů"_cz);
        return false;
    }
    ini.writeNumber("PORT", "DataBity", dataBits_->currentText().toInt());
    if (stopBits_->currentText().isEmpty()) {
        platform::error("Není zadán počet stop bitů"_cz);
        return false;
    }
    ini.writeReal("PORT", "StopBity", stopBits_->currentText().toDouble());
    const int parity = parity_->currentIndex();
    if (parity < 0 || parity > 3) {
        platform::error("Není zadána parita"_cz);
        return false;
    }
    ini.writeString("PORT", "Parita", kParityWords[parity]);
    ini.writeNumber("PORT", "DebugPort", debugPort_->isChecked() ? 1 : 0);
    ini.writeNumber("PORT", "DebugBuffer", debugBuffer_->isChecked() ? 1 : 0);
    ini.writeNumber("PORT", "Buffer", buffer_->isChecked() ? 1 : 0);
    ini.writeNumber("PORT", "Online", online_->isChecked() ? 1 : 0);
    return true;
}

void SerialPortDialog::write() {
    if (!writeFields()) return;
    // The decoder is made anew with the new settings, which closes the old port first.
    services_.stopIntake();
    app::APLIKACE& a = services_.application();
    if (!a.setupPanel()) return;
    if ((buffer_->isChecked() || online_->isChecked()) && !a.openPort()) return;
    services_.restartIntake();
    writeAudit("%s", "Nastavení sériového portu."_cz);
    accept();
}

// ---- panel type ----

PanelTypeDialog::PanelTypeDialog(app::StationServices& services, QWidget* parent)
    : StationDialog(services, 10, parent) {
    setObjectName(QStringLiteral("panelType"));
    setWindowTitle(fromCp("Nastavení typu ústředny"_cz));
    const INISOUBOR& ini = settings();
    const USTRLIST& panels = services.application().panels;

    panel_ = new QComboBox(this);
    panel_->setObjectName(QStringLiteral("panel"));
    for (int i = 0; i < panels.count(); ++i) panel_->addItem(fromCp(panels.at(i)->name));
    panel_->setCurrentIndex(panels.chosenIndex());
    galaxy125_ = makeCheck("GALAXY verze 1.15 až 1.25"_cz, "galaxy125",
                           ini.readNumber("USTREDNA", "Galaxy125", 0) != 0, this);
    auto charField = [this](const char* objectName, int value) {
        auto* f = new QLineEdit(this);
        f->setObjectName(QString::fromLatin1(objectName));
        f->setMaxLength(2);
        f->setValidator(new QIntValidator(0, 99, f));
        if (value != -1) f->setText(QString::number(value));
        return f;
    };
    endChar_ = charField("endChar", ini.readNumber("USTREDNA", "EndChar", 10));
    ignoredChar_ = charField("ignoredChar", ini.readNumber("USTREDNA", "IgnoChar", 13));

    auto* write = makeButton("Zapsat", "write", this);
    auto* back = makeButton("Zpět"_cz, "back", this);
    connect(write, &QPushButton::clicked, this, &PanelTypeDialog::write);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(fromCp("Typ ústředny:"_cz), panel_);
    form->addRow(galaxy125_);
    form->addRow(fromCp("Znak konce řádku"_cz), endChar_);
    form->addRow(fromCp("Ignorovat znak"), ignoredChar_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow({write, back, helpButton()}));
}

void PanelTypeDialog::write() {
    const INISOUBOR& ini = settings();
    auto value = [](QLineEdit* f) { return f->text().isEmpty() ? -1 : f->text().toInt(); };
    ini.writeNumber("USTREDNA", "EndChar", value(endChar_));
    ini.writeNumber("USTREDNA", "IgnoChar", value(ignoredChar_));
    ini.writeNumber("USTREDNA", "Galaxy125", galaxy125_->isChecked() ? 1 : 0);
    app::APLIKACE& a = services_.application();
    a.panels.setChosen(panel_->currentIndex());

    services_.stopIntake();
    if (!a.setupPanel()) return;
    const bool port = ini.readNumber("PORT", "Buffer", 0) != 0 || ini.readNumber("PORT", "Online", 0) != 0;
    if (port && !a.openPort()) return;
    services_.restartIntake();
    ini.writeNumber("USTREDNA", "Ustredna", a.panels.chosenIndex());
    services_.rebuildCaption();
    writeAudit("%s", "Nastavení typu ústředny"_cz);
    accept();
}

}  // namespace vrx::gui
