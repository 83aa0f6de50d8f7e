#pragma once
// How the core speaks to the person at the station. The windowed programs install message boxes;
// the headless collector and the command-line tools write to standard error.
#include <string>
#include <string_view>

namespace vrx::platform {

enum class Icon { Information, Warning, Error, Question };

class Messages {
public:
    virtual ~Messages() = default;
    // A message box with a caption ("Chyba", "Informace", "Upozornění") and a Windows-1250 text.
    virtual void show(std::string_view caption, std::string_view text, Icon icon) = 0;
    // An OK/Cancel question; true for OK. Headless implementations answer false.
    virtual bool ask(std::string_view caption, std::string_view text) = 0;
    virtual void beep() = 0;
};

// The program's messages; a standard-error implementation until a program installs its own.
Messages& messages();
void setMessages(Messages* m);  // nullptr restores the default

// Beep, then the box: every message box is preceded by a beep.
void error(std::string_view text);        // caption "Chyba", warning icon
void information(std::string_view text);  // caption "Informace"

// Standard error, texts converted to UTF-8; used by the headless programs.
class StderrMessages : public Messages {
public:
    void show(std::string_view caption, std::string_view text, Icon icon) override;
    bool ask(std::string_view caption, std::string_view text) override;
    void beep() override {}
};

}  // namespace vrx::platform
