#pragma once
// The hardware buffer unit: a box between the panel's printer port and the computer that stores
// the printed lines and hands them out on request in checksummed packets.
//
// Every packet, in either direction: a command byte (host to unit) or the head byte 17 (unit to
// host), the data length L (1 to 255), L data bytes, and the sum of all preceding bytes modulo
// 256. The host's commands: 9 "BUFFER" opens the connection, 2 requests the next record, 3 the
// same record again, 4 moves the unit's read position to its first record, 5 with data 0 and then
// 5 with data 1 erase the unit's memory. The first data byte of a reply means: to a command, 6
// accepted and 1 connection expired; to a request, 0 no more data, 1 connection expired, anything
// else a record whose bytes are all text of the panel's print-out.
#include <cstddef>
#include <vector>

#include "serial/line_reader.h"

namespace vrx {

// Time for the protocol: a monotonic millisecond clock and a wait. The program uses the steady
// clock; tests put a clock of their own in its place.
class ProtocolClock {
  public:
    virtual ~ProtocolClock() = default;
    virtual long long nowMs() = 0;
    virtual void waitMs(int ms) = 0;
};
ProtocolClock& steadyProtocolClock();

namespace hwbuf {
constexpr unsigned char kHead = 17;
constexpr unsigned char kOpenConnection = 9;
constexpr unsigned char kNextRecord = 2;
constexpr unsigned char kRepeatRecord = 3;
constexpr unsigned char kFirstRecord = 4;
constexpr unsigned char kErase = 5;
constexpr unsigned char kReplyNoMoreData = 0;
constexpr unsigned char kReplyExpired = 1;
constexpr unsigned char kReplyAccepted = 6;
constexpr char kTraceFile[] = "ladici.$";
constexpr int kDefaultTimeoutMs = 15000;
constexpr int kManualWaitMs = 2000;

// A whole packet: first byte, length, data, checksum.
std::vector<unsigned char> packet(unsigned char first, const unsigned char* data, size_t length);
// The sum of the bytes modulo 256.
unsigned char checksum(const unsigned char* bytes, size_t count);
}  // namespace hwbuf

// Cuts the bytes of the line into packets and hands the data of a complete packet to the line
// assembly.
class PACKETIZED_LINE_READER : public LINE_READER {
  public:
    // Receive states, also the index of their names in the trace.
    enum ReceiveState { kHeadState = 0, kLengthState = 1, kDataState = 2, kChecksumState = 3 };
    // Results of the receive step.
    static constexpr int kNothing = 0;
    static constexpr int kBadChecksum = 1;
    static constexpr int kPacket = 2;

    PACKETIZED_LINE_READER();

    // A data byte of the complete packet; none without one.
    bool readByte(unsigned char& byte) override;
    // Back to waiting for a head byte with nothing received; discards the port's queues.
    virtual void reset();
    // Reads what the port has: kPacket (also while a complete packet still waits), kBadChecksum
    // once for a damaged packet, kNothing when the bytes so far complete nothing.
    virtual int receiveStep();

    bool packetComplete() const { return packetComplete_; }
    // The first data byte of the complete packet, -1 for a packet without data.
    int firstDataByte() const { return dataLength_ > 0 ? data_[0] : -1; }
    bool trace() const { return trace_; }
    void setTrace(bool on) { trace_ = on; }

  protected:
    // Appends a formatted line to the trace file when the trace is on and the port open.
    void traceLine(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void clearPacket();

    int receiveState_ = kHeadState;
    int expectedLength_ = 0;
    int received_ = 0;
    int readPosition_ = 0;
    int sum_ = 0;
    static constexpr const char* kStateNames[4] = {"HEAD", "LNG ", "DATA", "CRC "};
    unsigned char data_[2048] = {};
    int dataLength_ = 0;
    bool packetComplete_ = false;
    bool trace_ = false;
};

// Adds the commands, the two phases of the exchange and the reply time-out.
class CONNECTED_LINE_READER : public PACKETIZED_LINE_READER {
  public:
    enum Phase { kCommandPhase = 0, kDataPhase = 1 };
    // Results of the phase steps (kNothing and kPacket as above; kPacket is a record).
    static constexpr int kRecord = 2;
    static constexpr int kAccepted = 3;
    static constexpr int kExpired = 4;
    static constexpr int kNoMoreData = 5;

    CONNECTED_LINE_READER();

    // Opening makes the port's debug flag the trace flag; closing stops the time-out.
    bool open(const std::string& portName, int speed, int dataBits, int stopBitsCode, int parityCode,
              int receiveQueue, int transmitQueue, bool flowControl, bool debug) override;
    bool close() override;
    void reset() override;

    // One step while a command waits for its reply: kNothing, kAccepted or kExpired.
    virtual int commandStep();
    // One step while a request waits for its record: kNothing, kRecord, kExpired or kNoMoreData.
    virtual int dataStep();

    // Sends a command (at most 20 bytes) and starts the reply time-out; commands 2 and 3 switch to
    // the data phase, all others to the command phase.
    void sendCommand(const unsigned char* bytes, size_t count);
    void sendOpenConnection();
    void sendShortCommand(unsigned char command, unsigned char data);

    // Continuous reading: open the connection, then record after record as long as it is polled.
    void startContinuousReading();
    void stopReading();
    // Moves the unit's read position to its first record and requests it. Each step waits up to
    // two seconds for the unit's acceptance.
    bool startFromBeginning();
    // Erases the unit's memory in its two steps; true when the unit accepted all of them.
    bool erase();

    // When a reply is overdue: stop the time-out, beep and open the connection again. Called at
    // every poll.
    void checkTimeout();

    int phase() const { return phase_; }
    bool bufferEmpty() const { return bufferEmpty_; }
    bool timeoutRunning() const { return timeoutRunning_; }
    int replyTimeoutMs() const { return timeoutMs_; }
    const unsigned char* lastCommand() const { return lastCommand_; }
    int lastCommandLength() const { return lastCommandLength_; }
    // nullptr: the steady clock.
    void setClock(ProtocolClock* clock);

  protected:
    void startTimeout();
    void stopTimeout();
    // Waits up to ms for a complete (or damaged) reply, which the next step then takes.
    void awaitReply(int ms);
    // The receive step, giving first a damaged reply that awaitReply has met.
    int phaseReceive();
    // The manual operations' step: send, wait for the reply, true when the unit accepted.
    bool manualStep(const unsigned char* bytes, size_t count);

    int phase_ = kCommandPhase;
    bool timeoutRunning_ = false;
    long long deadline_ = 0;
    int timeoutMs_ = hwbuf::kDefaultTimeoutMs;
    unsigned char lastCommand_[20] = {};
    int lastCommandLength_ = 0;
    bool bufferEmpty_ = false;
    bool damagedReply_ = false;
    ProtocolClock* clock_;
};

// The reader a decoder gets when a hardware buffer unit sits between panel and computer.
class BUFFERED_LINE_READER : public CONNECTED_LINE_READER {
  public:
    BUFFERED_LINE_READER();
    ~BUFFERED_LINE_READER() override;

    // One protocol step; 2 when it completed a line from a record. Requests the next record after
    // an acceptance, after "no more data" and once a record has been used up.
    int readLine() override;
};

}  // namespace vrx
