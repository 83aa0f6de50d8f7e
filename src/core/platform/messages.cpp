#include "platform/messages.h"

#include <cstdio>

#include "text/charset.h"
#include "text/cz.h"

namespace vrx::platform {
namespace {
StderrMessages g_default;
Messages* g_messages = &g_default;
}  // namespace

Messages& messages() { return *g_messages; }
void setMessages(Messages* m) { g_messages = m ? m : &g_default; }

void error(std::string_view text) {
    messages().beep();
    messages().show("Chyba", text, Icon::Warning);
}

void information(std::string_view text) {
    messages().beep();
    messages().show("Informace", text, Icon::Information);
}

void StderrMessages::show(std::string_view caption, std::string_view text, Icon) {
    std::string c = text::cp1250ToUtf8(caption), t = text::cp1250ToUtf8(text);
    std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
}

bool StderrMessages::ask(std::string_view caption, std::string_view text) {
    show(caption, text, Icon::Question);
    return false;
}

}  // namespace vrx::platform
