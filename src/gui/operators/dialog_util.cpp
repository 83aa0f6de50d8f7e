#include "gui/operators/dialog_util.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QValidator>

#include "app/station_services.h"
#include "platform/messages.h"
#include "text/charset.h"
#include "text/cz.h"

namespace vrx::gui {
namespace {

// Accepts only characters that Windows-1250 has.
class Cp1250Validator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (char32_t cp : input.toStdU32String()) {
            unsigned char b;
            if (!text::unicodeToCp1250(cp, b) || b == 0) return Invalid;
        }
        return Acceptable;
    }
};

}  // namespace

QString fromCp(const std::string& s) {
    return QString::fromStdString(text::cp1250ToUtf8(s));
}
QString fromCp(const char* s) {
    return fromCp(std::string(s ? s : ""));
}
std::string toCp(const QString& s) {
    return text::utf8ToCp1250(s.toStdString());
}

void limitField(QLineEdit* field, int maxChars) {
    field->setMaxLength(maxChars);
    field->setValidator(new Cp1250Validator(field));
}

QFont listFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

void fillList(QListWidget* list, const std::vector<std::string>& lines, int selected) {
    list->clear();
    for (const std::string& l : lines) list->addItem(fromCp(l));
    if (selected >= 0 && selected < list->count()) list->setCurrentRow(selected);
}

QPushButton* makeButton(const char* cp1250Caption, const char* objectName, QWidget* parent) {
    auto* b = new QPushButton(fromCp(cp1250Caption), parent);
    b->setObjectName(QString::fromLatin1(objectName));
    b->setAutoDefault(false);
    return b;
}

bool refusedInViewingMode(app::StationServices& services) {
    if (services.application().runMode != app::RunMode::Viewing) return false;
    platform::messages().beep();
    platform::messages().show("Informace", "Funkce není k dispozici\nv režimu prohlížeč"_cz,
                              platform::Icon::Warning);
    return true;
}

StationDialog::StationDialog(app::StationServices& services, int helpContext, QWidget* parent)
    : QDialog(parent), services_(services), helpContext_(helpContext) {
    setModal(true);
}

QPushButton* StationDialog::helpButton() {
    if (!help_) {
        help_ = makeButton("Nápověda"_cz, "help", this);
        connect(help_, &QPushButton::clicked, this, [this] { services_.help(helpContext_); });
    }
    return help_;
}

void layoutListDialog(QDialog* dialog, QLineEdit* searchText, QPushButton* searchButton, QListWidget* list,
                      QLabel* count, std::initializer_list<QPushButton*> buttons) {
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(fromCp("Hledat"), dialog));
    searchRow->addWidget(searchText, 1);
    searchRow->addWidget(searchButton);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(new QLabel(fromCp("Počet záznamů :"_cz), dialog));
    countRow->addWidget(count, 1);
    auto* column = new QVBoxLayout;
    for (QPushButton* b : buttons) column->addWidget(b);
    column->addStretch();
    auto* grid = new QGridLayout(dialog);
    grid->addLayout(searchRow, 0, 0);
    grid->addWidget(list, 1, 0);
    grid->addLayout(countRow, 2, 0);
    grid->addLayout(column, 0, 1, 3, 1);
}

}  // namespace vrx::gui
