#pragma once
// The login dialog and its two other uses (logout, exit), the password change and the password
// prompt before minimizing.
#include <memory>

#include "db/tables.h"
#include "gui/operators/dialog_util.h"
#include "operators/login.h"

class QLineEdit;

namespace vrx::gui {

// "Přihlášení do systému", "Odhlášení" or "Konec programu": name, password, "Ano", "Zpět",
// "Nápověda". Login and logout close after every attempt; the exit dialog stays open when the end
// is refused. The dialog is accepted when the login, logout or exit took place.
class LoginDialog : public StationDialog {
    Q_OBJECT
  public:
    enum class Mode { Login, Logout, Exit };
    LoginDialog(app::StationServices& services, Mode mode, QWidget* parent = nullptr);

    // The operator table as the dialog opened it (not opened by the exit dialog).
    operators::TableState tableState() const { return table_.state(); }
    // For exit: the text to show once the program ends ("" for none).
    const std::string& exitMessage() const { return exitMessage_; }

  private:
    void confirm();

    Mode mode_;
    operators::OperatorCheck table_;
    QLineEdit* name_;
    QLineEdit* password_;
    std::string exitMessage_;
};

// "Změna hesla": the current password, the new one and its verification; closes only after a
// successful change.
class PasswordDialog : public StationDialog {
    Q_OBJECT
  public:
    explicit PasswordDialog(app::StationServices& services, QWidget* parent = nullptr);
    bool tableOpen() const { return table_.isOpen(); }

  private:
    void confirm();

    TABHESLA table_;
    QLineEdit* current_;
    QLineEdit* new_;
    QLineEdit* verification_;
};

// "Zadej heslo": the password that lets the main window minimize; accepted when it is right.
class MinimizeDialog : public StationDialog {
    Q_OBJECT
  public:
    explicit MinimizeDialog(app::StationServices& services, QWidget* parent = nullptr);

  private:
    void confirm();

    operators::OperatorCheck table_;
    QLineEdit* password_;
};

}  // namespace vrx::gui
