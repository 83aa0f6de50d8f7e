#pragma once
// The menu rights table: one item per command 20101 to 20152 with the right value in force for the
// logged-in operator, and what applying a value does to the menu, the toolbar, the three program
// buttons and the main window. The window side is a `MenuTarget`; the table itself is plain data.
//
// Right values: 0 "Žádné", 1 "Čtení", 2 "Zápis", 3 always allowed, 4 "Ano", 5 "Ne". Group 1 items
// are always allowed, group 2 items take "Ano"/"Ne", group 3 items (table dialogs) take
// "Žádné"/"Čtení"/"Zápis".
#include <array>
#include <string>

#include "app/commands.h"
#include "operators/rights.h"

namespace vrx::app {

// The right values, kinds and standard sets are the operators' (operators/rights.h).
using operators::kRightAlways;
using operators::kRightNo;
using operators::kRightNone;
using operators::kRightRead;
using operators::kRightWrite;
using operators::kRightYes;

constexpr int kNoToolbarButton = 255;
constexpr int kRightsCount = kCommandCount;  // 52

struct MENUPOL {
    int toolbarCommand = kNoToolbarButton;  // the mirrored toolbar button, or 255 for none
    int command = 0;
    int value = 0;
    int group = 0;
};

// What applying a right value changes in the windows.
class MenuTarget {
  public:
    virtual ~MenuTarget() = default;
    virtual void enableMenuItem(int command, bool on) = 0;
    virtual void enableToolbarButton(int command, bool on) = 0;
    // Program button 1 to 3 of the toolbar.
    virtual void enableProgramButton(int button, bool on) = 0;
    // Restore, minimize and maximize allowed; when not allowed with value 5, the window is shown
    // maximized and minimize and restore requests are ignored.
    virtual void allowResize(bool allowed, bool forceMaximized) = 0;
    // The window stays above all other windows.
    virtual void keepOnTop(bool onTop) = 0;
};

class MENU {
  public:
    MENU();

    void setTarget(MenuTarget* target) { target_ = target; }
    MenuTarget* target() const { return target_; }

    // Applies one value to the item at `index` (0 to 51) and records it.
    void apply(int index, int value);
    void applyCommand(int command, int value) { apply(command - kFirstCommand, value); }
    // Applies 52 stored values in index order (an operator's login).
    void applyAll(const unsigned char* rights);
    // No operator logged in: group 1 → 3, group 2 → 5, group 3 → 0.
    void applyDefaults();
    // The built-in logins: group 1 → 3, group 2 → 4, group 3 → 2.
    void applyService();
    // Re-applies the values in force (after the window's controls were rebuilt).
    void reapply();

    int value(int command) const;
    const MENUPOL& item(int index) const { return items_[static_cast<size_t>(index)]; }
    // Whether the value in force lets the command run (1 to 4).
    bool allows(int command) const;
    // The item text: the string-table entry of the command, at most 100 characters.
    static std::string itemText(int command);
    // The default values into a rights array of at least 52 bytes (a new operator).
    static void writeDefaults(unsigned char* rights);
    // The kind of the command's right: 1 always allowed, 2 "Ano"/"Ne", 3 the table dialogs.
    static int groupOf(int command);

  private:
    std::array<MENUPOL, kRightsCount> items_;
    MenuTarget* target_ = nullptr;
};

// The program's menu rights table.
MENU& menu();

}  // namespace vrx::app
