#pragma once
// The decoders of the panels that print no user numbers: each takes its date from fixed columns of
// the line and cuts the line into the event text.
#include "devices/device.h"

namespace vrx {

// Year, month and day as numbers at columns 0, 5 and 8; the event text without the first 11
// characters. Resets a stale stored date to today at construction.
class DIGIPLEX : public DEVICE {
  public:
    DIGIPLEX(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    bool decode(char* line, int length) override;
};

// DD.MM.YY at column 0; the event text without the first 9 characters.
class APLEX : public DEVICE {
  public:
    APLEX(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    bool decode(char* line, int length) override;
};

// A three-letter month word, the day at column 4 and the year as printed at column 7; the event
// text without the first 12 characters.
class ORBIT : public DEVICE {
  public:
    ORBIT(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    bool decode(char* line, int length) override;
};

// DD and MM at columns 3 and 6 with the year from context; bytes of the panel's code page
// translated to Windows-1250; the event text without the first 10 characters. Sends XON once the
// port is open. Resets a stale stored date to today at construction.
class LOOP500 : public DEVICE {
  public:
    static constexpr unsigned char kXon = 17;

    LOOP500(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    ~LOOP500() override { LOOP500::closePort(); }
    bool decode(char* line, int length) override;
    // Raises DTR and RTS and sends XON on the freshly opened port; nothing when opening fails.
    // Closing lowers both lines first.
    bool openPort(const std::string& portName, int speed, int dataBits, int stopBitsCode, int parityCode,
                  int receiveQueue, int transmitQueue, bool flowControl, bool debug) override;
    bool closePort() override;

    // The translation of one received byte.
    static unsigned char translate(unsigned char c);
};

// Lines end with CR. A month word at column 5 and the day at column 8 with the year from context;
// the event text is the time at columns 11 to 15 and the text from column 22. Resets a stale
// stored date to today at construction.
class CONCEPT : public DEVICE {
  public:
    CONCEPT(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    bool decode(char* line, int length) override;
};

// DD and MM at columns 34 and 37 with the year from context; the line itself is the event text.
// Resets a stale stored date to today at construction.
class ESSER : public DEVICE {
  public:
    ESSER(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    bool decode(char* line, int length) override;
};

}  // namespace vrx
