#pragma once
// The panel decoders: the base class every decoder derives from.
//
// A decoder owns its line reader (and through it the serial port), turns each line the reader
// assembles into an event (a day number and a text of at most 200 characters) and keeps the current
// event date, which it moves forward whenever the panel prints a later date.
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "serial/line_reader.h"

namespace vrx {

// Whether decoders write card users' names into the lines that carry a user number. The program
// reads "VkladaniJmen" (section "SYSTEM") into it at start and the codes dialog changes it.
bool insertNames();
void setInsertNames(bool on);

class DEVICE {
  public:
    static constexpr int kMaxText = 200;

    DEVICE(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    virtual ~DEVICE();
    DEVICE(const DEVICE&) = delete;
    DEVICE& operator=(const DEVICE&) = delete;

    // Decodes the line in the reader's buffer, rewriting it in place into the event text
    // (zero-terminated, at most 200 characters). On reject no event is produced and the line stays
    // in the reader, so the next line is appended behind it; a decoder that wants the line gone
    // discards it itself.
    virtual bool decode(char* line, int length) = 0;

    virtual bool openPort(const std::string& portName, int speed, int dataBits, int stopBitsCode,
                          int parityCode, int receiveQueue, int transmitQueue, bool flowControl, bool debug);
    // True when there is no reader.
    virtual bool closePort();

    // Reads a line and decodes it. True with an event when the decoder accepted a complete line.
    bool nextEvent(long& date, std::string& text);

    long currentDate() const { return date_; }
    long reserved() const { return reserved_; }
    LINE_READER* reader() { return reader_.get(); }

  protected:
    void configureReader(int endChar, std::initializer_list<unsigned char> ignored);
    // Moves the current event date to `day` when it is later, and records it as "Datum" (section
    // "SYSTEM") so that the next start continues with it. True when the date moved.
    bool advanceDate(long day);
    // The same for a calendar date; an invalid date changes nothing.
    bool advanceDate(int day, int month, int year);
    // Replaces the current event date with today when the two lie more than 20 days apart.
    void applyTwentyDayRule();
    void setToday();
    // Drops the line from the reader, so that the next line is read on its own.
    void discardLine();
    // Writes `text` into the line buffer, cut to 200 characters, zero-terminated.
    static void store(char* line, std::string_view text);

    long date_;
    long reserved_;
    std::unique_ptr<LINE_READER> reader_;
};

}  // namespace vrx
