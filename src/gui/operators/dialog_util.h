#pragma once
// Helpers shared by the login, operator, station and settings dialogs.
#include <QDialog>
#include <QFont>
#include <QString>
#include <initializer_list>
#include <string>

class QLabel;
class QLineEdit;
class QComboBox;
class QListWidget;
class QPushButton;

namespace vrx::app {
class StationServices;
}

namespace vrx::gui {

// Windows-1250 bytes to a Qt string and back.
QString fromCp(const std::string& text);
QString fromCp(const char* text);
std::string toCp(const QString& text);

// Limits a field to `maxChars` characters that Windows-1250 can hold, so that what the operator
// types is what is stored and read back.
void limitField(QLineEdit* field, int maxChars);

// The fixed-pitch font of the table dialogs' lists.
QFont listFont();

// Fills a list with lines (Windows-1250) and selects `selected` when it is a line of the list.
void fillList(QListWidget* list, const std::vector<std::string>& lines, int selected);

// A push button with a Czech caption and an object name for tests and style sheets.
QPushButton* makeButton(const char* cp1250Caption, const char* objectName, QWidget* parent);

// The layout of the table list dialogs: the search row ("Hledat", its field, its button) and the
// list on the left with the record count below, the buttons in a column on the right.
void layoutListDialog(QDialog* dialog, QLineEdit* searchText, QPushButton* searchButton, QListWidget* list,
                      QLabel* count, std::initializer_list<QPushButton*> buttons);

// "Funkce není k dispozici\nv režimu prohlížeč" (caption "Informace", warning icon) in viewing
// mode; true when the command was refused.
bool refusedInViewingMode(app::StationServices& services);

// The base of the dialogs: "Nápověda" opens the help at the dialog's context.
class StationDialog : public QDialog {
    Q_OBJECT
  public:
    StationDialog(app::StationServices& services, int helpContext, QWidget* parent);

  protected:
    QPushButton* helpButton();
    app::StationServices& services_;

  private:
    int helpContext_;
    QPushButton* help_ = nullptr;
};

}  // namespace vrx::gui
