#include "app/menu.h"

#include <algorithm>
#include <span>

#include "app/strings.h"

namespace vrx::app {
namespace {

// Commands with a toolbar button of their own.
constexpr int kMirrored[] = {20101, 20104, 20106, 20107, 20108, 20109, 20111, 20113, 20116,
                             20117, 20122, 20125, 20126, 20128, 20141, 20142, 20143, 20147};
bool contains(std::span<const int> list, int command) {
    return std::find(list.begin(), list.end(), command) != list.end();
}

}  // namespace

int MENU::groupOf(int command) { return operators::rightKind(operators::rightIndex(command)); }

MENU::MENU() {
    for (int i = 0; i < kRightsCount; ++i) {
        MENUPOL& it = items_[static_cast<size_t>(i)];
        it.command = kFirstCommand + i;
        it.group = groupOf(it.command);
        it.toolbarCommand = contains(kMirrored, it.command) ? it.command : kNoToolbarButton;
        it.value = operators::lowestRight(i);
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
    for (int i = 0; i < kRightsCount; ++i) apply(i, operators::lowestRight(i));
}

void MENU::applyService() {
    for (int i = 0; i < kRightsCount; ++i) apply(i, operators::highestRight(i));
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
        rights[i] = operators::lowestRight(i);
    }
}

}  // namespace vrx::app
