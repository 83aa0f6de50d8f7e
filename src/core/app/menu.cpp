#include "app/menu.h"

#include <algorithm>
#include <span>

#include "app/strings.h"

namespace vrx::app {
namespace {

// Commands with a toolbar button of their own.
constexpr int kMirrored[] = {20101, 20104, 20106, 20107, 20108, 20109, 20111, 20113, 20116,
                             20117, 20122, 20125, 20126, 20128, 20141, 20142, 20143, 20147};
// Group 1: always allowed; group 3: the table dialogs; every other command is group 2.
constexpr int kGroup1[] = {20101, 20102, 20105, 20146, 20147};
constexpr int kGroup3[] = {20104, 20106, 20107, 20108, 20111, 20144};

bool contains(std::span<const int> list, int command) {
    return std::find(list.begin(), list.end(), command) != list.end();
}

}  // namespace

int MENU::groupOf(int command) {
    if (contains(kGroup1, command)) return 1;
    if (contains(kGroup3, command)) return 3;
    return command >= kFirstCommand && command <= kLastCommand ? 2 : 0;
}

int MENU::defaultValue(int group) {
    return group == 1 ? kRightAlways : group == 2 ? kRightNo : kRightNone;
}

int MENU::serviceValue(int group) {
    return group == 1 ? kRightAlways : group == 2 ? kRightYes : kRightWrite;
}

MENU::MENU() {
    for (int i = 0; i < kRightsCount; ++i) {
        MENUPOL& it = items_[static_cast<size_t>(i)];
        it.command = kFirstCommand + i;
        it.group = groupOf(it.command);
        it.toolbarCommand = contains(kMirrored, it.command) ? it.command : kNoToolbarButton;
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

std::string MENU::itemText(int command) {
    return std::string(stringTable(command)).substr(0, 100);
}

void MENU::writeDefaults(unsigned char* rights) {
    for (int i = 0; i < kRightsCount; ++i) {
        rights[i] = static_cast<unsigned char>(defaultValue(groupOf(kFirstCommand + i)));
    }
}

}  // namespace vrx::app
