#include "operators/list_search.h"

#include "platform/messages.h"
#include "text/charset.h"
#include "text/cz.h"

namespace vrx {

int searchList(const std::vector<std::string>& lines, int selected, std::string_view text) {
    if (lines.empty()) {
        platform::messages().beep();
        return -1;
    }
    const std::string wanted = text::upperCp1250(text);
    const int count = static_cast<int>(lines.size());
    int i = selected < -1 || selected >= count ? 0 : selected + 1;
    for (;;) {
        if (i >= count) {
            platform::messages().beep();
            if (!platform::messages().ask("Dotaz", "Nenalezeno. Zahájit hledání od začátku seznamu ?"_cz))
                return -1;
            i = 0;
        }
        if (text::upperCp1250(lines[static_cast<size_t>(i)]).find(wanted) != std::string::npos) return i;
        ++i;
    }
}

}  // namespace vrx
