#pragma once
// The panel simulator: prints panel lines on a serial line the way a panel's printer port does,
// or plays the hardware buffer unit that stores the lines and hands them out in packets.
#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace vrx::panelsim {

using Bytes = std::vector<unsigned char>;

// A pseudo-terminal pair. The simulator holds its slave side open as well, so that the line stays
// up while readers come and go, and keeps that side raw.
class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool open();
    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    // True while a reader holds the slave side exclusively, as the station's serial port does.
    bool readerAttached() const;
    // Bytes written to the line that no reader has taken yet.
    int unreadBytes() const;

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Opens a serial device raw at the given speed (8 data bits, no parity, one stop bit); -1 on failure.
int openDevice(const std::string& path, int speed);

// ------------------------------------------------------------------------------------------------
// Lines

enum class Family { Galaxy, Pc4020, General };
bool parseFamily(const std::string& name, Family& out);

// A built-in sample of the family's print-out around the given date (the first printed day).
std::vector<std::string> sampleLines(Family family, int day, int month, int year);

// The lines of a file, without their line ends; false when it cannot be read.
bool readLinesFile(const std::string& path, std::vector<std::string>& lines);

// "crlf", "lf", "cr", "lfcr", "none" -> the bytes; false for any other name.
bool parseLineEnd(const std::string& name, std::string& out);

struct PrintOptions {
    double linesPerSecond = 0;  // 0: as fast as possible
    std::string lineEnd = "\r\n";
    long count = 0;     // lines to print, repeating the list; 0: each line once
    bool loop = false;  // repeat until stopped
};

// Writes all bytes to a (possibly non-blocking) descriptor; false on an error or when stopped.
bool writeAll(int fd, const void* data, size_t size, const std::atomic<bool>* stop);

// Prints the lines with the line end at the pace asked for. Before each line it waits while
// `readerPresent` says no reader is there (pass nullptr not to wait). Returns the lines printed.
long printLines(int fd, const std::vector<std::string>& lines, const PrintOptions& options,
                const std::atomic<bool>* stop, const PseudoTerminal* waitForReader = nullptr);

// ------------------------------------------------------------------------------------------------
// The hardware buffer unit

// Which replies go wrong. Each N counts from 1; 0 never. Expiry, silence and bad checksums hit
// the replies to record requests (command 2), so that the host's recovery always makes progress
// for N of 2 or more; noise goes before any reply.
struct FaultPlan {
    int noiseEvery = 0;        // noise bytes before the head byte of every N-th reply
    int badChecksumEvery = 0;  // a wrong checksum on every N-th record request's reply
    int expireEvery = 0;       // "connection expired" instead of every N-th record request's reply
    int silenceEvery = 0;      // no reply at all to every N-th record request
};

struct UnitStats {
    long commands = 0;
    long records = 0;  // record replies, repeats included
    long noise = 0;
    long badChecksums = 0;
    long expiries = 0;
    long silences = 0;
    long noMoreData = 0;
    long erased = 0;
};

class BufferUnit {
  public:
    // Each line with the line end becomes one stored record (longer ones are split into records
    // of at most 255 bytes).
    BufferUnit(const std::vector<std::string>& lines, const std::string& lineEnd, FaultPlan faults = {});

    // Bytes from the host; returns the unit's answer (possibly nothing).
    Bytes receive(const unsigned char* data, size_t size);

    void addLine(const std::string& line);
    size_t recordCount() const { return records_.size(); }
    size_t readPosition() const { return next_; }
    const UnitStats& stats() const { return stats_; }

  private:
    Bytes command(unsigned char code, const Bytes& data);
    Bytes reply(unsigned char first);
    Bytes recordReply(size_t index);

    std::vector<std::string> records_;
    std::string lineEnd_;
    FaultPlan faults_;
    UnitStats stats_;
    Bytes input_;
    size_t next_ = 0;
    Bytes lastDataReply_;  // what "the same record again" repeats
    bool connected_ = false;
    bool eraseArmed_ = false;
    long replies_ = 0;
    long requests_ = 0;
};

// Answers the host on `fd` until stopped.
void serveBuffer(int fd, BufferUnit& unit, const std::atomic<bool>& stop);

}  // namespace vrx::panelsim
