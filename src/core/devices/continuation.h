#pragma once
// Lines that the PC 4020 and PC 6010 panels continue on the next line: a line whose last received
// character is "-" is held back in the reader, the next line is appended behind it, and the two
// are joined without the "-" (and without the next line's first characters where the panel
// repeats a header there).
#include <cstddef>
#include <string>
#include <string_view>

namespace vrx::devices {

class Continuation {
  public:
    explicit Continuation(size_t dropped) : dropped_(dropped) {}

    // `raw` is the reader's whole line. False when the line ends in "-" and must wait for the next
    // one (the decoder rejects it and it stays in the reader). Otherwise `out` is the line without
    // trailing spaces, CRs and LFs, joined to a held-back line when one is pending.
    bool take(std::string_view raw, std::string& out);
    bool pending() const { return pending_; }
    size_t position() const { return position_; }

  private:
    size_t dropped_;
    bool pending_ = false;
    size_t position_ = 0;  // length of the held-back line, its "-" included
};

}  // namespace vrx::devices
