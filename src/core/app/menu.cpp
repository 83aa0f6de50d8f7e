#include "app/menu.h"

#include "app/strings.h"

namespace vrx::app {
namespace {

// Commands with a toolbar button of their own.
bool mirrored(int command) {
    switch (command) {
        case 20101: case 20104: case 20106: case 20107: case 20108: case 20109: case 20111: case 20113:
        case 20116: case 20117: case 20122: case 20125: case 20126: case 20128: case 20141: case 20142:
        case 20143: case 20147:
            return true;
        default: return false;
    }
}

}  // namespace

int MENU::groupOf(int command) {
    switch (command) {
        case 20101: case 20102: case 20105: case 20146: case 20147:
            return 1;
        case 20104: case 20106: case 20107: case 20108: case 20111: case 20144:
            return 3;
        default:
            return command >= kFirstCommand && command <= kLastCommand ? 2 : 0;
    }
}

int MENU::defaultValue(int group) { return group == 1 ? kRightAlways : group == 2 ? kRightNo : kRightNone; }

int MENU::serviceValue(int group) { return group == 1 ? kRightAlways : group == 2 ? kRightYes : kRightWrite; }

MENU::MENU() {
    for (int i = 0; i < kRightsCount; ++i) {
        MENUPOL& it = items_[static_cast<size_t>(i)];
        it.command = kFirstCommand + i;
        it.group = groupOf(it.command);
        it.toolbarCommand = mirrored(it.command) ? it.command : kNoToolbarButton;
        it.value = defaultValue(it.group);
    }
}

MENU& menu() {
    static MENU m;
    return m;
}

void MENU::apply(int index, int value) {
    if (index < 0 || index >= kRightsCount) return;
    MENUPOL& it = items_[static_cast<size_t>(index)];
    it.value = value;
    if (!target_) return;
    if (it.command <= kLastMenuCommand) {
        const bool on = value >= kRightRead && value <= kRightYes;
        target_->enableMenuItem(it.command, on);
        if (it.toolbarCommand != kNoToolbarButton) target_->enableToolbarButton(it.toolbarCommand, on);
    } else if (it.command <= 20150) {
        target_->enableProgramButton(it.command - 20147, value == kRightYes);
    } else if (it.command == 20151) {
        target_->allowResize(value == kRightYes, value == kRightNo);
    } else {
        target_->keepOnTop(value != kRightYes);
    }
}

void MENU::applyAll(const unsigned char* rights) {
    for (int i = 0; i < kRightsCount; ++i) apply(i, rights[i]);
}

void MENU::applyDefaults() {
    for (int i = 0; i < kRightsCount; ++i) apply(i, defaultValue(items_[static_cast<size_t>(i)].group));
}

void MENU::applyService() {
    for (int i = 0; i < kRightsCount; ++i) apply(i, serviceValue(items_[static_cast<size_t>(i)].group));
}

void MENU::reapply() {
    for (int i = 0; i < kRightsCount; ++i) apply(i, items_[static_cast<size_t>(i)].value);
}

int MENU::value(int command) const {
    const int i = command - kFirstCommand;
    return i >= 0 && i < kRightsCount ? items_[static_cast<size_t>(i)].value : kRightNone;
}

bool MENU::allows(int command) const {
    const int v = value(command);
    return v >= kRightRead && v <= kRightYes;
}

std::string MENU::itemText(int command) { return std::string(stringTable(command)).substr(0, 100); }

void MENU::writeDefaults(unsigned char* rights) {
    for (int i = 0; i < kRightsCount; ++i) {
        rights[i] = static_cast<unsigned char>(defaultValue(groupOf(kFirstCommand + i)));
    }
}

}  // namespace vrx::app
