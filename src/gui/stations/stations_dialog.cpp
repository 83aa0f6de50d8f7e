#include "gui/stations/stations_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/station_services.h"
#include "operators/list_search.h"
#include "platform/app_error.h"
#include "platform/messages.h"
#include "text/cz.h"

namespace vrx::gui {
namespace {
constexpr int kErrorRegistry = 26;  // "Nelze otevřít tabulku LOGIN"
constexpr size_t kSearchChars = 38;
}  // namespace

StationsDialog::StationsDialog(app::StationServices& services, QWidget* parent)
    : StationDialog(services, 79, parent) {
    setObjectName(QStringLiteral("stations"));
    setWindowTitle(fromCp("Správa připojených stanic"_cz));
    opened_ = list_.open();

    lines_ = new QListWidget(this);
    lines_->setObjectName(QStringLiteral("list"));
    lines_->setFont(listFont());
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("count"));
    searchText_ = new QLineEdit(this);
    searchText_->setObjectName(QStringLiteral("searchText"));
    limitField(searchText_, 20);
    auto* searchButton = makeButton("H", "search", this);
    disconnect_ = makeButton("Odpojit", "disconnect", this);
    auto* back = makeButton("Zpět"_cz, "back", this);
    disconnect_->setEnabled(services.rightValue(operators::kRightStations) == operators::kRightWrite);

    connect(disconnect_, &QPushButton::clicked, this, &StationsDialog::disconnectStation);
    connect(lines_, &QListWidget::itemDoubleClicked, this, [this] {
        if (disconnect_->isEnabled()) disconnectStation();
    });
    connect(searchButton, &QPushButton::clicked, this, &StationsDialog::search);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    layoutListDialog(this, searchText_, searchButton, lines_, count_, {disconnect_, back, helpButton()});
    resize(520, 320);

    refill(0);
}

void StationsDialog::refill(int selected) {
    if (!opened_) return;
    fillList(lines_, list_.lines(), selected);
    count_->setText(QString::number(list_.count()));
}

void StationsDialog::disconnectStation() {
    const int row = lines_->currentRow();
    if (row < 0) {
        platform::messages().beep();
        return;
    }
    platform::messages().beep();
    if (!platform::messages().ask("Dotaz", "Odpojit uživatele ?"_cz)) return;
    // A failing deletion leaves the record; the list is filled anew in any case.
    list_.disconnect(row);
    const int count = static_cast<int>(list_.count());
    refill(row < count ? row : count - 1);
}

void StationsDialog::search() {
    std::vector<std::string> lines;
    for (int i = 0; i < lines_->count(); ++i) lines.push_back(toCp(lines_->item(i)->text()));
    std::string wanted = toCp(searchText_->text());
    if (wanted.size() > kSearchChars) wanted.resize(kSearchChars);
    const int found = searchList(lines, lines_->currentRow(), wanted);
    if (found >= 0) refill(found);
}

void runStationsCommand(QWidget* parent, app::StationServices& services) {
    if (refusedInViewingMode(services)) return;
    StationsDialog dialog(services, parent);
    if (!dialog.tableOpen()) throw AppError{kErrorRegistry};
    dialog.exec();
}

}  // namespace vrx::gui
