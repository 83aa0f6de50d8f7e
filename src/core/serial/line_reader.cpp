#include "serial/line_reader.h"

#include <algorithm>

namespace vrx {
namespace {
ReceiveActivity* g_receiveActivity = nullptr;
}  // namespace

void setReceiveActivity(ReceiveActivity* sink) {
    g_receiveActivity = sink;
}
ReceiveActivity* receiveActivity() {
    return g_receiveActivity;
}

void LINE_READER::setIgnored(const unsigned char* chars, int count) {
    ignoredCount_ = std::clamp(count, 0, kMaxIgnored);
    for (int i = 0; i < ignoredCount_; ++i) ignored_[i] = chars[i];
}

int LINE_READER::readLine() {
    // A full line the decoder left in the buffer is handed out again as it is rather than grown
    // past the line length.
    if (lineLength_ >= kMaxLine) {
        line_[lineLength_] = 0;
        return 2;
    }
    unsigned char b;
    while (readByte(b)) {
        if (ReceiveActivity* sink = g_receiveActivity) sink->byteReceived();
        if (ignoredCount_ != 0 &&
            std::find(ignored_, ignored_ + ignoredCount_, b) != ignored_ + ignoredCount_)
            continue;
        if (b == endChar_) {
            line_[lineLength_] = 0;
            return 2;
        }
        line_[lineLength_++] = static_cast<char>(b);
        if (lineLength_ >= kMaxLine) {
            line_[lineLength_] = 0;
            return 2;
        }
    }
    return 0;
}

DIRECT_LINE_READER::~DIRECT_LINE_READER() {
    close();
}

}  // namespace vrx
