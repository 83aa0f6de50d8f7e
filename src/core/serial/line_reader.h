#pragma once
// Cutting received bytes into lines for the panel decoders.
#include <cstddef>

#include "serial/comio.h"

namespace vrx {

// Told of every received byte (the status bar's "Příjem" indicator implements it).
class ReceiveActivity {
  public:
    virtual ~ReceiveActivity() = default;
    virtual void byteReceived() = 0;
};
void setReceiveActivity(ReceiveActivity* sink);  // nullptr: nobody listens
ReceiveActivity* receiveActivity();

class LINE_READER : public COMIO {
  public:
    static constexpr int kMaxLine = 200;
    static constexpr int kMaxIgnored = 20;
    static constexpr int kLineBufferSize = 2048;

    // 2 when a complete line is in the line buffer, 0 when the bytes so far did not complete one.
    // Reads bytes only up to the end of one line; the rest stays in the driver for the next call.
    // A line ends at the end character (not stored) or when it holds 200 characters. A line the
    // decoder left in the buffer stays there and the next bytes are appended behind it.
    virtual int readLine();
    virtual bool hasPartialLine() const { return lineLength_ != 0; }

    // The end character is a byte: -1 (the settings' "none") is byte 255, which then ends lines.
    void setEndChar(int c) { endChar_ = c & 0xFF; }
    // Up to 20 bytes that are dropped from the input; 0 disables the test.
    void setIgnored(const unsigned char* chars, int count);
    bool isHardwareBuffer() const { return hardwareBuffer_; }
    bool isContinuous() const { return continuous_; }

    // The line buffer is shared with the decoder, which may rewrite it in place.
    char* lineBuffer() { return line_; }
    int lineLength() const { return lineLength_; }
    void setLineLength(int n) { lineLength_ = n < 0 ? 0 : (n < kLineBufferSize ? n : kLineBufferSize - 1); }

  protected:
    int endChar_ = 10;  // 0 to 255
    unsigned char ignored_[kMaxIgnored] = {};
    int ignoredCount_ = 0;
    bool hardwareBuffer_ = false;
    bool continuous_ = true;
    char line_[kLineBufferSize] = {};
    int lineLength_ = 0;
};

class DIRECT_LINE_READER : public LINE_READER {
  public:
    DIRECT_LINE_READER() = default;
    ~DIRECT_LINE_READER() override;
};

}  // namespace vrx
