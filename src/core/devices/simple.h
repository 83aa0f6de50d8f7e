#pragma once
// The two decoders that read no date from the panel: every event is dated today.
#include "devices/device.h"

namespace vrx {

// Panels without a decoder of their own: the line trimmed of spaces, CRs and LFs; empty lines are
// dropped.
class UNSPEC : public DEVICE {
  public:
    UNSPEC(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    bool decode(char* line, int length) override;
};

// The general device ("Obecné zařízení"): the end character "EndChar" and the one ignored character
// "IgnoChar" (section "USTREDNA") come from the settings; lines are stored unchanged.
class COMMONDEV : public DEVICE {
  public:
    COMMONDEV(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    bool decode(char* line, int length) override;
};

}  // namespace vrx
