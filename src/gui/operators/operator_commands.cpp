#include "gui/operators/operator_commands.h"

#include "app/station_services.h"
#include "gui/operators/login_dialogs.h"
#include "gui/operators/operator_dialogs.h"
#include "platform/app_error.h"
#include "platform/messages.h"

namespace vrx::gui {
namespace {
constexpr int kErrorOperatorTable = 5;  // "Nelze otevřít tabulku HESLA"
}

void runLoginCommand(QWidget* parent, app::StationServices& services) {
    {
        LoginDialog dialog(services, LoginDialog::Mode::Login, parent);
        dialog.exec();
    }
    if (!services.loggedIn() || !services.application().running) return;
    services.placeAlarmPictures();
    if (services.rightValue(operators::kRightFullLog) == operators::kRightYes) {
        services.openFullLogWindow();
        services.setPause(false);
    } else {
        services.closeFullLogWindow();
    }
}

void runLogoutCommand(QWidget* parent, app::StationServices& services) {
    if (!services.loggedIn()) {
        platform::messages().beep();
        return;
    }
    LoginDialog dialog(services, LoginDialog::Mode::Logout, parent);
    if (dialog.tableState() == operators::TableState::Unreadable) throw AppError{kErrorOperatorTable};
    dialog.exec();
    if (services.loggedIn()) return;
    services.closeSecondaryLogWindows();
    services.setPause(true);
}

void runPasswordCommand(QWidget* parent, app::StationServices& services) {
    PasswordDialog dialog(services, parent);
    if (!dialog.tableOpen()) throw AppError{kErrorOperatorTable};
    dialog.exec();
}

void runOperatorsCommand(QWidget* parent, app::StationServices& services) {
    OperatorListDialog dialog(services, parent);
    if (!dialog.tableOpen()) throw AppError{kErrorOperatorTable};
    dialog.exec();
}

void runExitCommand(QWidget* parent, app::StationServices& services) {
    if (services.loggedIn()) {
        LoginDialog dialog(services, LoginDialog::Mode::Exit, parent);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    services.endProgram();
}

bool runMinimizePrompt(QWidget* parent, app::StationServices& services) {
    MinimizeDialog dialog(services, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace vrx::gui
