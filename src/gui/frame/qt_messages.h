#pragma once
// Message boxes for the windowed programs: every box is preceded by a beep where the core asks for
// one, carries the core's caption and icon, and is modal to the program's active window.
#include "platform/messages.h"

namespace vrx::gui {

class QtMessages : public platform::Messages {
  public:
    void show(std::string_view caption, std::string_view text, platform::Icon icon) override;
    bool ask(std::string_view caption, std::string_view text) override;
    void beep() override;
};

}  // namespace vrx::gui
