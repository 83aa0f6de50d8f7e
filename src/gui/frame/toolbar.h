#pragma once
// The toolbar: 17 command buttons with our own 18 by 17 bitmaps and the string-table tooltips, and
// the window of the three user program buttons (TOOLBAROKNO).
#include <QPushButton>
#include <QToolBar>
#include <functional>
#include <map>

namespace vrx::gui {

constexpr int kToolbarId = 302;
constexpr int kToolbarImages = 17;

// Image `index` (0 to 16) of the toolbar's bitmap strip.
QPixmap toolbarBitmap(int index);

class TOOLBAR : public QToolBar {
    Q_OBJECT
  public:
    // Clicks arrive as commands through `command`.
    explicit TOOLBAR(std::function<void(int)> command, QWidget* parent = nullptr);
    void enableButton(int command, bool on);
    bool buttonEnabled(int command) const;
    bool hasButton(int command) const { return actions_.count(command) != 0; }
    QAction* action(int command) const;

  private:
    std::map<int, QAction*> actions_;
};

// The three program buttons: captions "Nazev" of sections "TLACITKO1" to "TLACITKO3"; a click
// starts "Program" with "Param" of its section.
class TOOLBAROKNO : public QWidget {
    Q_OBJECT
  public:
    explicit TOOLBAROKNO(QWidget* parent = nullptr);
    // Button 1 to 3.
    QPushButton* button(int n) const;
    void setCaption(int n, const std::string& text);
    // Starts the button's program; false when "Program" is empty or the start failed.
    bool run(int n);
};

}  // namespace vrx::gui
