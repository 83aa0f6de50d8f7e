#include "gui/settings/hw_buffer_dialogs.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/station_services.h"
#include "operators/audit.h"
#include "serial/hw_buffer.h"
#include "text/cz.h"
#include "text/dates.h"
#include "text/strutil.h"

namespace vrx::gui {
namespace {

QLabel* statusLine(const char* cp1250Text, QWidget* parent) {
    auto* l = new QLabel(fromCp(cp1250Text), parent);
    l->setObjectName(QStringLiteral("status"));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

void addRecord(app::StationServices& services, const char* what) {
    app::APLIKACE& a = services.application();
    const long date = a.device ? a.device->currentDate() : text::today();
    services.operation().addRecord(date, hwBufferRecord(what), false);
}

void setStatus(QLabel* status, const char* cp1250Text) {
    status->setText(fromCp(cp1250Text));
    status->repaint();
}

}  // namespace

std::string hwBufferRecord(const char* what) {
    return text::format(">>>>> %s - %s <<<<<", text::formatStamp(text::nowStamp()).c_str(), what);
}

// ---- read ----

HwBufferReadDialog::HwBufferReadDialog(app::StationServices& services, CONNECTED_LINE_READER& reader,
                                       QWidget* parent)
    : StationDialog(services, 82, parent), reader_(reader) {
    setObjectName(QStringLiteral("hwBufferRead"));
    setWindowTitle(fromCp("Čtení HW-bufferu"_cz));
    continue_ = makeButton("Pokračovat ve čtení"_cz, "continue", this);
    fromStart_ = makeButton("Zahájit čtení od začátku paměti"_cz, "fromStart", this);
    stop_ = makeButton("Zastavit čtení"_cz, "stop", this);
    back_ = makeButton("Zpět"_cz, "back", this);
    status_ = statusLine("Čekám na povel"_cz, this);
    stop_->setEnabled(false);
    connect(continue_, &QPushButton::clicked, this, &HwBufferReadDialog::continueReading);
    connect(fromStart_, &QPushButton::clicked, this, &HwBufferReadDialog::readFromStart);
    connect(stop_, &QPushButton::clicked, this, &HwBufferReadDialog::stopReading);
    connect(back_, &QPushButton::clicked, this, &QDialog::reject);
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, &HwBufferReadDialog::tick);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {continue_, fromStart_, stop_}) buttons->addWidget(b);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(back_);
    row->addWidget(helpButton());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    layout->addLayout(row);

    if (services.application().runMode == app::RunMode::Collection) services.stopIntake();
}

HwBufferReadDialog::~HwBufferReadDialog() {
    if (timer_.isActive()) reader_.stopReading();
}

void HwBufferReadDialog::reject() {
    if (!back_->isEnabled()) return;
    QDialog::reject();
}

void HwBufferReadDialog::readingButtons(bool reading) {
    continue_->setEnabled(!reading);
    fromStart_->setEnabled(!reading);
    back_->setEnabled(!reading);
    stop_->setEnabled(reading);
}

void HwBufferReadDialog::record(const char* what) {
    addRecord(services_, what);
}

void HwBufferReadDialog::continueReading() {
    readingButtons(true);
    setStatus(status_, "Zahájena komunikace s HW-bufferem"_cz);
    record("Zahájeno čtení HW-bufferu"_cz);
    writeAudit("%s", "Čtení HW-bufferu"_cz);
    reader_.startContinuousReading();
    timer_.start();
}

void HwBufferReadDialog::readFromStart() {
    readingButtons(true);
    setStatus(status_, "Zahájena komunikace s HW-bufferem"_cz);
    // Each step waits up to two seconds for the unit.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = reader_.startFromBeginning();
    QApplication::restoreOverrideCursor();
    if (!ok) {
        // Only "Zastavit čtení" stays usable.
        setStatus(status_, "Komunikace s HW-bufferem selhala"_cz);
        record("Čtení HW-bufferu od začátku paměti selhalo"_cz);
        return;
    }
    record("Zahájeno čtení HW-bufferu od začátku paměti"_cz);
    setStatus(status_, "Ukazatel paměti bufferu byl nastaven na první záznam"_cz);
    writeAudit("%s", "Čtení HW-bufferu od začátku"_cz);
    timer_.start();
}

void HwBufferReadDialog::tick() {
    services_.operation().intake(false);
    if (!reader_.bufferEmpty()) return;
    reader_.stopReading();
    timer_.stop();
    setStatus(status_, "HW-buffer byl úspěšně přečten"_cz);
    record("HW-buffer byl úspěšně přečten"_cz);
    writeAudit("%s", "HW-buffer byl úspěšně přečten"_cz);
    readingButtons(false);
}

void HwBufferReadDialog::stopReading() {
    reader_.stopReading();
    timer_.stop();
    setStatus(status_, "Čtení HW-bufferu bylo přerušeno uživatelem"_cz);
    record("Čtení HW-bufferu bylo přerušeno uživatelem"_cz);
    readingButtons(false);
    writeAudit("%s", "Čtení HW-bufferu bylo přerušeno uživatelem"_cz);
}

// ---- erase ----

HwBufferEraseDialog::HwBufferEraseDialog(app::StationServices& services, CONNECTED_LINE_READER& reader,
                                         QWidget* parent)
    : StationDialog(services, 83, parent), reader_(reader) {
    setObjectName(QStringLiteral("hwBufferErase"));
    setWindowTitle(fromCp("Mazání HW-bufferu"_cz));
    auto* warning = new QLabel(
        fromCp("Provedením mazání nenávratně zrušíte všechny informace obsažené v HW- bufferu."_cz), this);
    warning->setWordWrap(true);
    status_ = statusLine("", this);
    erase_ = makeButton("Smazat buffer", "erase", this);
    auto* back = makeButton("Zpět"_cz, "back", this);
    connect(erase_, &QPushButton::clicked, this, &HwBufferEraseDialog::erase);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : {erase_, back, helpButton()}) row->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(warning);
    layout->addWidget(status_);
    layout->addLayout(row);

    if (services.application().runMode == app::RunMode::Collection) services.stopIntake();
}

void HwBufferEraseDialog::erase() {
    erase_->setEnabled(false);
    setStatus(status_, "Zahájeno mazání HW-bufferu"_cz);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = reader_.erase();
    QApplication::restoreOverrideCursor();
    if (ok) {
        addRecord(services_, "HW-Buffer byl úspěšně smazán"_cz);
        setStatus(status_, "HW-Buffer byl úspěšně smazán"_cz);
        writeAudit("%s", "Mazání HW-bufferu"_cz);
    } else {
        addRecord(services_, "Mazání HW-bufferu selhalo"_cz);
        setStatus(status_, "Komunikace s HW-bufferem selhala"_cz);
    }
}

}  // namespace vrx::gui
