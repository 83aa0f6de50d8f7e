#include "serial/hw_buffer.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/messages.h"
#include "settings/inisoubor.h"

namespace vrx {
namespace {

class SteadyClock : public ProtocolClock {
  public:
    long long nowMs() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void waitMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

// The manual operations look for the unit's reply this often while they wait.
constexpr int kReplyPollMs = 10;

const unsigned char kOpenConnectionCommand[] = {9, 6, 'B', 'U', 'F', 'F', 'E', 'R', 201};

}  // namespace

ProtocolClock& steadyProtocolClock() {
    static SteadyClock clock;
    return clock;
}

namespace hwbuf {

unsigned char checksum(const unsigned char* bytes, size_t count) {
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i) sum += bytes[i];
    return static_cast<unsigned char>(sum & 0xFF);
}

std::vector<unsigned char> packet(unsigned char first, const unsigned char* data, size_t length) {
    std::vector<unsigned char> p;
    p.reserve(length + 3);
    p.push_back(first);
    p.push_back(static_cast<unsigned char>(length));
    p.insert(p.end(), data, data + length);
    p.push_back(checksum(p.data(), p.size()));
    return p;
}

}  // namespace hwbuf

// ---------------------------------------------------------------------------------------------
// PACKETIZED_LINE_READER

PACKETIZED_LINE_READER::PACKETIZED_LINE_READER() {
    trace_ = settings().readNumber("PORT", "DebugBuffer", 0) != 0;
}

void PACKETIZED_LINE_READER::traceLine(const char* fmt, ...) {
    if (!trace_ || !isOpen()) return;
    char buf[256];
    va_list args;
    va_start(args, fmt);
    int n = std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    if (n <= 0) return;
    // The length, not the terminating zero: a received zero byte is written as it came.
    size_t len = std::min(static_cast<size_t>(n), sizeof buf - 1);
    if (std::FILE* f = std::fopen(hwbuf::kTraceFile, "ab")) {
        std::fwrite(buf, 1, len, f);
        std::fclose(f);
    }
}

void PACKETIZED_LINE_READER::clearPacket() {
    dataLength_ = 0;
    readPosition_ = 0;
    packetComplete_ = false;
}

bool PACKETIZED_LINE_READER::readByte(unsigned char& byte) {
    if (!packetComplete_) return false;
    if (readPosition_ >= dataLength_) {  // a packet without data
        clearPacket();
        return false;
    }
    byte = data_[readPosition_++];
    if (readPosition_ >= dataLength_) clearPacket();
    return true;
}

void PACKETIZED_LINE_READER::reset() {
    receiveState_ = kHeadState;
    expectedLength_ = 0;
    received_ = 0;
    sum_ = 0;
    clearPacket();
    purgeReceive();
    purgeTransmit();
}

int PACKETIZED_LINE_READER::receiveStep() {
    if (packetComplete_) return kPacket;
    unsigned char b;
    while (COMIO::readByte(b)) {
        traceLine("Cekam:%-4s prislo:%02X = %c\r\n", kStateNames[receiveState_], b, b);
        switch (receiveState_) {
            case kHeadState:
                if (b == hwbuf::kHead) {
                    sum_ = hwbuf::kHead;
                    dataLength_ = 0;
                    readPosition_ = 0;
                    receiveState_ = kLengthState;
                }
                break;
            case kLengthState:
                expectedLength_ = b;
                sum_ += b;
                received_ = 0;
                receiveState_ = b == 0 ? kChecksumState : kDataState;
                break;
            case kDataState:
                data_[dataLength_++] = b;
                sum_ += b;
                if (++received_ >= expectedLength_) receiveState_ = kChecksumState;
                break;
            case kChecksumState:
                receiveState_ = kHeadState;
                if (b == (sum_ & 0xFF)) {
                    packetComplete_ = true;
                    readPosition_ = 0;
                    return kPacket;
                }
                traceLine("Chyba - CRC ocekavano:%02X \r\n", sum_ & 0xFF);
                dataLength_ = 0;
                return kBadChecksum;
        }
    }
    return kNothing;
}

// ---------------------------------------------------------------------------------------------
// CONNECTED_LINE_READER

CONNECTED_LINE_READER::CONNECTED_LINE_READER() : clock_(&steadyProtocolClock()) {
    timeoutMs_ = settings().readNumber("PORT", "BufferTimeout", hwbuf::kDefaultTimeoutMs);
}

void CONNECTED_LINE_READER::setClock(ProtocolClock* clock) {
    clock_ = clock ? clock : &steadyProtocolClock();
}

bool CONNECTED_LINE_READER::open(const std::string& portName, int speed, int dataBits, int stopBitsCode,
                                 int parityCode, int receiveQueue, int transmitQueue, bool flowControl,
                                 bool debug) {
    if (!PACKETIZED_LINE_READER::open(portName, speed, dataBits, stopBitsCode, parityCode, receiveQueue,
                                      transmitQueue, flowControl, debug))
        return false;
    trace_ = debug;
    return true;
}

bool CONNECTED_LINE_READER::close() {
    stopTimeout();
    return PACKETIZED_LINE_READER::close();
}

void CONNECTED_LINE_READER::reset() {
    PACKETIZED_LINE_READER::reset();
    damagedReply_ = false;
    bufferEmpty_ = false;
    phase_ = kCommandPhase;
}

void CONNECTED_LINE_READER::startTimeout() {
    // A window timer cannot run faster than every 10 ms; neither does this one.
    deadline_ = clock_->nowMs() + std::max(timeoutMs_, 10);
    timeoutRunning_ = true;
}

void CONNECTED_LINE_READER::stopTimeout() {
    timeoutRunning_ = false;
}

void CONNECTED_LINE_READER::checkTimeout() {
    if (!timeoutRunning_ || clock_->nowMs() < deadline_) return;
    stopTimeout();
    platform::messages().beep();
    sendOpenConnection();
}

void CONNECTED_LINE_READER::sendCommand(const unsigned char* bytes, size_t count) {
    count = std::min(count, sizeof lastCommand_);
    if (count == 0) return;
    if (bytes != lastCommand_) std::memmove(lastCommand_, bytes, count);
    lastCommandLength_ = static_cast<int>(count);
    unsigned char command = lastCommand_[0];
    phase_ = (command == hwbuf::kNextRecord || command == hwbuf::kRepeatRecord) ? kDataPhase : kCommandPhase;
    write(lastCommand_, count);
    startTimeout();
}

void CONNECTED_LINE_READER::sendOpenConnection() {
    sendCommand(kOpenConnectionCommand, sizeof kOpenConnectionCommand);
}

void CONNECTED_LINE_READER::sendShortCommand(unsigned char command, unsigned char data) {
    std::vector<unsigned char> p = hwbuf::packet(command, &data, 1);
    sendCommand(p.data(), p.size());
}

int CONNECTED_LINE_READER::phaseReceive() {
    if (damagedReply_) {
        damagedReply_ = false;
        return kBadChecksum;
    }
    return receiveStep();
}

int CONNECTED_LINE_READER::commandStep() {
    int r = phaseReceive();
    if (r == kBadChecksum) {
        stopTimeout();
        reset();
        sendCommand(lastCommand_, static_cast<size_t>(lastCommandLength_));
        return kNothing;
    }
    if (r != kPacket) return kNothing;
    stopTimeout();
    int first = firstDataByte();
    reset();
    if (first == hwbuf::kReplyExpired) {
        traceLine("Chyba - vyprsela platnost spojeni\r\n");
        sendOpenConnection();
        return kExpired;
    }
    if (first == hwbuf::kReplyAccepted) return kAccepted;
    traceLine("Chyba - buffer nerozumel povelu\r\n");
    sendCommand(lastCommand_, static_cast<size_t>(lastCommandLength_));
    return kNothing;
}

int CONNECTED_LINE_READER::dataStep() {
    int r = phaseReceive();
    if (r == kBadChecksum) {
        stopTimeout();
        reset();
        sendShortCommand(hwbuf::kRepeatRecord, 0);
        bufferEmpty_ = false;
        return kNothing;
    }
    if (r != kPacket) return kNothing;
    stopTimeout();
    int first = firstDataByte();
    if (first == hwbuf::kReplyExpired) {
        reset();
        traceLine("Chyba - vyprsela platnost spojeni\r\n");
        sendOpenConnection();
        bufferEmpty_ = false;
        return kExpired;
    }
    if (first == hwbuf::kReplyNoMoreData) {
        reset();
        traceLine("\r\nBuffer nema data\r\n\r\n");
        bufferEmpty_ = true;
        return kNoMoreData;
    }
    bufferEmpty_ = false;
    return kRecord;
}

void CONNECTED_LINE_READER::startContinuousReading() {
    reset();
    sendOpenConnection();
    continuous_ = true;
}

void CONNECTED_LINE_READER::stopReading() {
    reset();
    stopTimeout();
    continuous_ = false;
}

void CONNECTED_LINE_READER::awaitReply(int ms) {
    const long long deadline = clock_->nowMs() + ms;
    for (;;) {
        if (packetComplete_) return;
        int r = receiveStep();
        if (r == kPacket) return;
        if (r == kBadChecksum) {
            damagedReply_ = true;
            return;
        }
        long long left = deadline - clock_->nowMs();
        if (left <= 0) return;
        clock_->waitMs(static_cast<int>(std::min<long long>(left, kReplyPollMs)));
    }
}

bool CONNECTED_LINE_READER::manualStep(const unsigned char* bytes, size_t count) {
    sendCommand(bytes, count);
    stopTimeout();
    awaitReply(hwbuf::kManualWaitMs);
    return commandStep() == kAccepted;
}

bool CONNECTED_LINE_READER::startFromBeginning() {
    stopTimeout();
    reset();  // an answer left over from earlier reading is not the answer to this command
    if (!manualStep(kOpenConnectionCommand, sizeof kOpenConnectionCommand)) return false;
    const unsigned char first[] = {hwbuf::kFirstRecord, 1, 0, 5};
    if (!manualStep(first, sizeof first)) return false;
    sendShortCommand(hwbuf::kNextRecord, 0);
    return true;
}

bool CONNECTED_LINE_READER::erase() {
    stopTimeout();
    reset();
    if (!manualStep(kOpenConnectionCommand, sizeof kOpenConnectionCommand)) return false;
    const unsigned char step1[] = {hwbuf::kErase, 1, 0, 6};
    if (!manualStep(step1, sizeof step1)) return false;
    const unsigned char step2[] = {hwbuf::kErase, 1, 1, 7};
    return manualStep(step2, sizeof step2);
}

// ---------------------------------------------------------------------------------------------
// BUFFERED_LINE_READER

BUFFERED_LINE_READER::BUFFERED_LINE_READER() {
    hardwareBuffer_ = true;
    continuous_ = false;
}

BUFFERED_LINE_READER::~BUFFERED_LINE_READER() {
    stopReading();
    close();
}

int BUFFERED_LINE_READER::readLine() {
    checkTimeout();
    int step = phase_ == kCommandPhase ? commandStep() : dataStep();
    int result = 0;
    if (step == kRecord) result = LINE_READER::readLine();
    // A record is requested only once the last one has been used up, so that at most one request
    // is outstanding: a damaged reply then discards nothing but itself.
    if (step == kAccepted || step == kNoMoreData || (step == kRecord && !packetComplete_))
        sendShortCommand(hwbuf::kNextRecord, 0);
    return result;
}

}  // namespace vrx
