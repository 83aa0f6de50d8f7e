#include "devices/continuation.h"

#include "devices/decode_util.h"

namespace vrx::devices {

bool Continuation::take(std::string_view raw, std::string& out) {
    std::string_view line = trimEnd(raw);
    if (pending_) {
        pending_ = false;
        // The held-back line ends in "-", so trimming never reaches into it.
        if (position_ >= 1 && position_ <= line.size()) {
            out.assign(line.substr(0, position_ - 1));
            out.append(textFrom(line, position_ + dropped_));
            return true;
        }
    } else if (!raw.empty() && raw.back() == '-') {
        position_ = raw.size();
        pending_ = true;
        return false;
    }
    out.assign(line);
    return true;
}

}  // namespace vrx::devices
