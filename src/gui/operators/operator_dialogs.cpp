#include "gui/operators/operator_dialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/station_services.h"
#include "app/strings.h"
#include "operators/list_search.h"
#include "platform/messages.h"
#include "text/cz.h"
#include "text/strutil.h"

namespace vrx::gui {
namespace {

bool mayWriteOperators(app::StationServices& services) {
    return services.rightValue(operators::kRightOperators) == operators::kRightWrite;
}

}  // namespace

// ---- list ----

OperatorListDialog::OperatorListDialog(app::StationServices& services, QWidget* parent)
    : StationDialog(services, 16, parent) {
    setObjectName(QStringLiteral("operatorList"));
    setWindowTitle(fromCp("Hesla"));
    opened_ = list_.open();

    lines_ = new QListWidget(this);
    lines_->setObjectName(QStringLiteral("list"));
    lines_->setFont(listFont());
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("count"));
    searchText_ = new QLineEdit(this);
    searchText_->setObjectName(QStringLiteral("searchText"));
    limitField(searchText_, 20);

    auto* addButton = makeButton("Přidat"_cz, "add", this);
    auto* editButton = makeButton("Opravit", "edit", this);
    auto* removeButton = makeButton("Smazat", "remove", this);
    auto* searchButton = makeButton("H", "search", this);
    auto* back = makeButton("Zpět"_cz, "back", this);
    if (!mayWriteOperators(services)) {
        // View only.
        addButton->setEnabled(false);
        removeButton->setEnabled(false);
        editButton->setText(fromCp("Zobrazit"));
    }
    connect(addButton, &QPushButton::clicked, this, &OperatorListDialog::add);
    connect(editButton, &QPushButton::clicked, this, &OperatorListDialog::edit);
    connect(lines_, &QListWidget::itemDoubleClicked, this, &OperatorListDialog::edit);
    connect(removeButton, &QPushButton::clicked, this, &OperatorListDialog::remove);
    connect(searchButton, &QPushButton::clicked, this, &OperatorListDialog::search);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    openDetail = [this](long record) {
        OperatorDetailDialog detail(services_, record, this);
        if (detail.tableOpen())
            detail.exec();
        else
            platform::error(app::stringTable(5));
    };

    layoutListDialog(this, searchText_, searchButton, lines_, count_, {addButton, editButton, removeButton, back, helpButton()});
    resize(560, 360);

    refill(0);
}

void OperatorListDialog::refill(int selected) {
    if (!opened_) return;
    fillList(lines_, list_.lines(), selected);
    count_->setText(QString::number(list_.count()));
}

void OperatorListDialog::add() {
    openDetail(0);
    refill(0);
    lines_->setCurrentRow(lines_->count() - 1);
}

void OperatorListDialog::edit() {
    const int row = lines_->currentRow();
    if (row < 0) {
        platform::messages().beep();
        return;
    }
    openDetail(row + 1);
    refill(row);
}

void OperatorListDialog::remove() {
    const int row = lines_->currentRow();
    if (row < 0) {
        platform::messages().beep();
        return;
    }
    platform::messages().beep();
    if (!platform::messages().ask("Dotaz", "Zrušit záznam ?"_cz)) return;
    list_.remove(row);
    const int count = static_cast<int>(list_.count());
    refill(row < count ? row : count - 1);
}

void OperatorListDialog::search() {
    std::vector<std::string> lines;
    for (int i = 0; i < lines_->count(); ++i) lines.push_back(toCp(lines_->item(i)->text()));
    const int found = searchList(lines, lines_->currentRow(), toCp(searchText_->text()));
    if (found >= 0) refill(found);
}

// ---- detail ----

OperatorDetailDialog::OperatorDetailDialog(app::StationServices& services, long record, QWidget* parent)
    : StationDialog(services, 17, parent) {
    setObjectName(QStringLiteral("operatorDetail"));
    setWindowTitle(fromCp("Heslo"));
    opened_ = editor_.open(record);

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("name"));
    limitField(name_, operators::kNameChars);
    usePassword_ = new QCheckBox(fromCp("Vstup pod heslem"), this);
    usePassword_->setObjectName(QStringLiteral("usePassword"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("password"));
    verification_ = new QLineEdit(this);
    verification_->setObjectName(QStringLiteral("verification"));
    for (QLineEdit* f : {password_, verification_}) {
        f->setEchoMode(QLineEdit::Password);
        limitField(f, operators::kNameChars);
    }
    rights_ = new QListWidget(this);
    rights_->setObjectName(QStringLiteral("rights"));
    rights_->setFont(listFont());

    auto* toggleButton = makeButton("Přepnout"_cz, "toggle", this);
    auto* setAllButton = makeButton("Nastavit", "setAll", this);
    auto* clearAllButton = makeButton("Nulovat", "clearAll", this);
    auto* writeButton = makeButton("Zapsat", "write", this);
    auto* back = makeButton("Zpět"_cz, "back", this);
    writeButton->setEnabled(mayWriteOperators(services));
    connect(toggleButton, &QPushButton::clicked, this, &OperatorDetailDialog::toggle);
    connect(rights_, &QListWidget::itemDoubleClicked, this, &OperatorDetailDialog::toggle);
    connect(setAllButton, &QPushButton::clicked, this, [this] {
        editor_.setAll();
        showRights();
    });
    connect(clearAllButton, &QPushButton::clicked, this, [this] {
        editor_.clearAll();
        showRights();
    });
    connect(usePassword_, &QCheckBox::toggled, this, &OperatorDetailDialog::usePasswordChanged);
    connect(writeButton, &QPushButton::clicked, this, &OperatorDetailDialog::write);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(fromCp("Jméno:"_cz), name_);
    form->addRow(usePassword_);
    form->addRow(fromCp("Heslo:"), password_);
    form->addRow(fromCp("Ověření hesla:"_cz), verification_);
    auto* rightsButtons = new QHBoxLayout;
    for (QPushButton* b : {toggleButton, setAllButton, clearAllButton}) rightsButtons->addWidget(b);
    rightsButtons->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {writeButton, back, helpButton()}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(rights_, 1);
    layout->addLayout(rightsButtons);
    layout->addLayout(buttons);
    resize(620, 520);

    name_->setText(fromCp(editor_.name()));
    usePassword_->setChecked(editor_.hasPassword());
    password_->setText(fromCp(editor_.password()));
    verification_->setText(fromCp(editor_.password()));
    password_->setEnabled(editor_.hasPassword());
    verification_->setEnabled(editor_.hasPassword());
    showRights();
}

void OperatorDetailDialog::showRights() {
    const int row = rights_->currentRow();
    std::vector<std::string> lines;
    for (int i = 0; i < operators::kRightCount; ++i)
        lines.push_back(editor_.rightLine(i, app::stringTable(operators::rightCommand(i))));
    fillList(rights_, lines, row);
}

void OperatorDetailDialog::toggle() {
    const int row = rights_->currentRow();
    if (row < 0) {
        platform::messages().beep();
        return;
    }
    editor_.cycle(row);
    showRights();
}

void OperatorDetailDialog::usePasswordChanged(bool on) {
    if (!on) {
        password_->clear();
        verification_->clear();
    }
    password_->setEnabled(on);
    verification_->setEnabled(on);
}

void OperatorDetailDialog::write() {
    if (editor_.save(toCp(name_->text()), usePassword_->isChecked(), toCp(password_->text()),
                     toCp(verification_->text())) == operators::OperatorEditor::SaveResult::Saved)
        accept();
}

}  // namespace vrx::gui
