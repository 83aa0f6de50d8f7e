#pragma once
// "Správa připojených stanic": the stations with an operator logged in, and "Odpojit".
#include "gui/operators/dialog_util.h"
#include "stations/registry.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace vrx::gui {

class StationsDialog : public StationDialog {
    Q_OBJECT
  public:
    explicit StationsDialog(app::StationServices& services, QWidget* parent = nullptr);
    bool tableOpen() const { return opened_; }

  private:
    void refill(int selected);
    void disconnectStation();
    void search();

    stations::StationList list_;
    bool opened_ = false;
    QListWidget* lines_;
    QLabel* count_;
    QLineEdit* searchText_;
    QPushButton* disconnect_;
};

// 20144 "Připojené stanice": refused in viewing mode; raises AppError{26} when the registry cannot
// be opened.
void runStationsCommand(QWidget* parent, app::StationServices& services);

}  // namespace vrx::gui
