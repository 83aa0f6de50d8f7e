#include "gui/operators/login_dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/station_services.h"
#include "text/cz.h"

namespace vrx::gui {
namespace {

QLineEdit* passwordField(QWidget* parent, const char* objectName) {
    auto* f = new QLineEdit(parent);
    f->setObjectName(QString::fromLatin1(objectName));
    f->setEchoMode(QLineEdit::Password);
    limitField(f, operators::kNameChars);
    return f;
}

// The buttons in a row under the fields.
QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons) row->addWidget(b);
    return row;
}

}  // namespace

LoginDialog::LoginDialog(app::StationServices& services, Mode mode, QWidget* parent)
    : StationDialog(services,
                    mode == Mode::Login    ? 18
                    : mode == Mode::Logout ? 19
                                           : 21,
                    parent),
      mode_(mode) {
    setObjectName(QStringLiteral("login"));
    setWindowTitle(fromCp(mode == Mode::Login    ? "Přihlášení do systému"_cz
                          : mode == Mode::Logout ? "Odhlášení"_cz
                                                 : "Konec programu"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("name"));
    limitField(name_, operators::kNameChars);
    password_ = passwordField(this, "password");

    auto* yes = makeButton("Ano", "yes", this);
    yes->setDefault(true);
    auto* back = makeButton("Zpět"_cz, "back", this);
    connect(yes, &QPushButton::clicked, this, &LoginDialog::confirm);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(fromCp("Jméno:"_cz), name_);
    form->addRow(fromCp("Heslo:"), password_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow({yes, back, helpButton()}));

    // The exit dialog reads the table when the operator confirms.
    if (mode_ != Mode::Exit) {
        const operators::TableState state = table_.open();
        if (mode_ == Mode::Login) operators::showTableState(state);
    }
}

void LoginDialog::confirm() {
    const std::string name = toCp(name_->text());
    const std::string password = toCp(password_->text());
    switch (mode_) {
        case Mode::Login:
            done(operators::login(services_, table_, name, password) ? Accepted : Rejected);
            break;
        case Mode::Logout:
            done(operators::logout(services_, table_, name, password) == operators::LogoutResult::Refused
                     ? Rejected
                     : Accepted);
            break;
        case Mode::Exit:
            if (!operators::exitAllowed(name, password, exitMessage_)) return;
            operators::exitProgram(services_, exitMessage_);
            accept();
            break;
    }
}

PasswordDialog::PasswordDialog(app::StationServices& services, QWidget* parent)
    : StationDialog(services, 20, parent) {
    setObjectName(QStringLiteral("passwordChange"));
    setWindowTitle(fromCp("Změna hesla"_cz));
    table_.open(0, 1, 0);
    current_ = passwordField(this, "current");
    new_ = passwordField(this, "new");
    verification_ = passwordField(this, "verification");

    auto* write = makeButton("Zapsat", "write", this);
    write->setDefault(true);
    auto* back = makeButton("Zpět"_cz, "back", this);
    connect(write, &QPushButton::clicked, this, &PasswordDialog::confirm);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(fromCp("Současné heslo:"_cz), current_);
    form->addRow(fromCp("Nové heslo:"_cz), new_);
    form->addRow(fromCp("Ověření hesla:"_cz), verification_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow({write, back, helpButton()}));
}

void PasswordDialog::confirm() {
    if (operators::changePassword(services_, table_, toCp(current_->text()), toCp(new_->text()),
                                  toCp(verification_->text())) == operators::PasswordChange::Changed)
        accept();
}

MinimizeDialog::MinimizeDialog(app::StationServices& services, QWidget* parent)
    : StationDialog(services, 90, parent) {
    setObjectName(QStringLiteral("minimize"));
    setWindowTitle(fromCp("Zadej heslo"));
    password_ = passwordField(this, "password");
    auto* yes = makeButton("Ano", "yes", this);
    yes->setDefault(true);
    auto* back = makeButton("Zpět"_cz, "back", this);
    connect(yes, &QPushButton::clicked, this, &MinimizeDialog::confirm);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(fromCp("Heslo:"), password_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttonRow({yes, back, helpButton()}));

    if (table_.open() == operators::TableState::Unreadable)
        operators::showTableState(operators::TableState::Unreadable);
}

void MinimizeDialog::confirm() {
    done(operators::minimizeAllowed(services_, table_, toCp(password_->text())) ? Accepted : Rejected);
}

}  // namespace vrx::gui
