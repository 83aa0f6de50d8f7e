#pragma once
// The collection settings: run mode, serial port and panel type.
#include "gui/operators/dialog_util.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace vrx::gui {

// "Volba režimu programu": "Sběr dat" or "Prohlížení", written to "Rezim" for the next start.
class RunModeDialog : public StationDialog {
    Q_OBJECT
  public:
    explicit RunModeDialog(app::StationServices& services, QWidget* parent = nullptr);

  private:
    void write();

    QRadioButton* collection_;
    QRadioButton* viewing_;
};

// "Nastavení sériového portu": the port parameters of section "PORT", the port search, and the
// panel set up and the port opened anew with them.
class SerialPortDialog : public StationDialog {
    Q_OBJECT
  public:
    explicit SerialPortDialog(app::StationServices& services, QWidget* parent = nullptr);

    // "Zjistit porty": every port from COM1 to "MaxPortu" that exists, and the highest number found
    // written to "PosledniPort".
    void searchPorts();

  private:
    void write();
    // Steps 1 to 5 of "Zapsat": each field checked and written in turn; false at the first empty one.
    bool writeFields();

    QComboBox* port_;
    QComboBox* speed_;
    QComboBox* parity_;
    QComboBox* dataBits_;
    QComboBox* stopBits_;
    QCheckBox* online_;
    QCheckBox* buffer_;
    QCheckBox* debugPort_;
    QCheckBox* debugBuffer_;
};

// "Nastavení typu ústředny": the panel, the Galaxy firmware flag and the general device's end and
// ignored characters.
class PanelTypeDialog : public StationDialog {
    Q_OBJECT
  public:
    explicit PanelTypeDialog(app::StationServices& services, QWidget* parent = nullptr);

  private:
    void write();

    QComboBox* panel_;
    QCheckBox* galaxy125_;
    QLineEdit* endChar_;
    QLineEdit* ignoredChar_;
};

}  // namespace vrx::gui
