#pragma once
// The commands of the main window as data: number, menu text, accelerator key, the menu they sit
// in, and the conditions under which the dispatcher refuses them. The windowed program builds its
// menu, toolbar tooltips and accelerators from this table and asks `checkCommand` before it runs a
// command; nothing here knows about windows.
#include <functional>
#include <span>
#include <string>

#include "app/aplikace.h"
#include "platform/messages.h"

namespace vrx::app {

constexpr int kFirstCommand = 20101;
constexpr int kLastMenuCommand = 20147;  // 20148 to 20152 are rights without a menu item
constexpr int kLastCommand = 20152;
constexpr int kCommandCount = kLastCommand - kFirstCommand + 1;  // 52

// Refusal conditions of a command.
enum CommandFlag : unsigned {
    kRefusedInViewing = 1u << 0,    // "Funkce není k dispozici\nv režimu prohlížeč"
    kNeedsRunConditions = 1u << 1,  // the command's own message when a run condition is false
    kIgnoredWhilePaused = 1u << 2,  // does nothing while the pause is on
};

// The pull-down menus of the main window, left to right.
enum class MenuGroup { System, Tables, Logs, Backup, Print, HwBuffer, Settings, Alarms, Help };

struct MenuInfo {
    MenuGroup group;
    const char* title;  // Windows-1250, '&' before the mnemonic
};
std::span<const MenuInfo> menus();

struct CommandInfo {
    int number;
    // The item text as the menu resource has it (Windows-1250): '&' before the mnemonic, and "\b"
    // before the accelerator shown at the right edge.
    const char* menuText;
    int key;  // function key 1 to 9 of the accelerator table, 0 for none
    MenuGroup menu;
    unsigned flags;
    // For kNeedsRunConditions: the text shown (the commands do not all use the same one).
    const char* runConditionsText;
};

// The items of one pull-down menu from top to bottom; 0 stands for a separator line.
std::span<const int> menuItems(MenuGroup group);

// The 47 menu commands (20101 to 20147) in number order.
std::span<const CommandInfo> menuCommands();
// The command's entry; nullptr for a number outside 20101 to 20147.
const CommandInfo* commandInfo(int number);
// The command of accelerator F1..F9, 0 for another key.
int commandForKey(int functionKey);

// The item text without its accelerator part: "&Přihlášení ... \bF2" -> "&Přihlášení ...".
std::string menuLabel(const CommandInfo& c);
// The hint of the status line for a command: its string-table entry cut to 99 characters.
std::string commandHint(int number);
// The tooltip of a toolbar button: the string-table entry cut to 63 characters.
std::string commandTooltip(int number);

// What the dispatcher knows when it decides whether a command may run.
struct CommandState {
    RunMode mode = RunMode::Collection;
    bool runConditions = false;
    bool paused = false;
    bool loggedIn = false;
    int panelType = 0;
    bool hasDecoder = false;
    bool hardwareBufferReader = false;  // the decoder reads through the hardware buffer unit
    bool continuousReading = false;     // continuous reading of the hardware buffer is on
    bool onlineExporter = false;
    bool fullLogWindowOpen = false;
    // Asked only by the commands that need it (a table read).
    std::function<bool()> historyEmpty;
};

// How the dispatcher answers a refused command.
struct Refusal {
    enum Kind { None, Ignore, Beep, Message };
    Kind kind = None;
    const char* caption = nullptr;
    const char* text = nullptr;
    platform::Icon icon = platform::Icon::Warning;
    explicit operator bool() const { return kind != None; }
};

// The refusals a command meets before its dialog or window opens, in the order the command tests
// them; Refusal::None when it may run.
Refusal checkCommand(int number, const CommandState& state);

// Shows a refusal: a beep for Beep, a beep and the box for Message, nothing for Ignore.
void presentRefusal(const Refusal& r);

}  // namespace vrx::app
