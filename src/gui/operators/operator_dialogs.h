#pragma once
// The operator table: the list ("Hesla") and the detail of one operator ("Heslo").
#include <functional>

#include "gui/operators/dialog_util.h"
#include "operators/operator_table.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace vrx::gui {

// The list of operators: "Přidat", "Opravit" (or "Zobrazit" without the write right), "Smazat",
// the search "H", "Zpět", "Nápověda".
class OperatorListDialog : public StationDialog {
    Q_OBJECT
  public:
    explicit OperatorListDialog(app::StationServices& services, QWidget* parent = nullptr);
    bool tableOpen() const { return opened_; }

    // The detail dialog for a new operator (record 0) or the 1-based record; returns when it closed.
    // Tests replace it to drive the detail dialog themselves.
    std::function<void(long record)> openDetail;

  private:
    void refill(int selected);
    void add();
    void edit();
    void remove();
    void search();

    operators::OperatorList list_;
    bool opened_ = false;
    QListWidget* lines_;
    QLabel* count_;
    QLineEdit* searchText_;
};

// One operator: name, "Vstup pod heslem" with the password and its verification, the 52 rights
// with "Přepnout", "Nastavit", "Nulovat", and "Zapsat" (disabled without the write right).
class OperatorDetailDialog : public StationDialog {
    Q_OBJECT
  public:
    // record 0: a new operator; otherwise the 1-based record in table order.
    OperatorDetailDialog(app::StationServices& services, long record, QWidget* parent = nullptr);
    bool tableOpen() const { return opened_; }

  private:
    void showRights();
    void toggle();
    void usePasswordChanged(bool on);
    void write();

    operators::OperatorEditor editor_;
    bool opened_ = false;
    QLineEdit* name_;
    QCheckBox* usePassword_;
    QLineEdit* password_;
    QLineEdit* verification_;
    QListWidget* rights_;
};

}  // namespace vrx::gui
