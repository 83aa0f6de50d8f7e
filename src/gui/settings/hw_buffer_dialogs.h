#pragma once
// Reading and erasing the hardware buffer unit by hand.
#include <QTimer>

#include "gui/operators/dialog_util.h"

class QLabel;

namespace vrx {
class CONNECTED_LINE_READER;
}

namespace vrx::gui {

// "Čtení HW-bufferu": reading on from where the unit stands, or from the start of its memory,
// driven by the dialog's own 200 ms timer until the unit has no more data or the operator stops.
// The records go to the full operating log without filter actions. Opening it in data collection
// stops the main window's reading timer, which the dialog leaves stopped.
class HwBufferReadDialog : public StationDialog {
    Q_OBJECT
  public:
    HwBufferReadDialog(app::StationServices& services, CONNECTED_LINE_READER& reader,
                       QWidget* parent = nullptr);
    ~HwBufferReadDialog() override;

    bool reading() const { return timer_.isActive(); }
    // Closing is not possible while "Zpět" is disabled.
    void reject() override;

  private:
    void continueReading();
    void readFromStart();
    void tick();
    void stopReading();
    void readingButtons(bool reading);
    void record(const char* what);

    CONNECTED_LINE_READER& reader_;
    QTimer timer_;
    QPushButton* continue_;
    QPushButton* fromStart_;
    QPushButton* stop_;
    QPushButton* back_;
    QLabel* status_;
};

// "Mazání HW-bufferu": "Smazat buffer" erases the unit's memory.
class HwBufferEraseDialog : public StationDialog {
    Q_OBJECT
  public:
    HwBufferEraseDialog(app::StationServices& services, CONNECTED_LINE_READER& reader,
                        QWidget* parent = nullptr);

  private:
    void erase();

    CONNECTED_LINE_READER& reader_;
    QPushButton* erase_;
    QLabel* status_;
};

// The records the dialogs write: ">>>>> %s - <what> <<<<<" with the date and time of now.
std::string hwBufferRecord(const char* what);

}  // namespace vrx::gui
