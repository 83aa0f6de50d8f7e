#pragma once
// An in-memory serial line under any port class: the bytes the far side sends wait in `incoming`,
// the bytes the host writes are collected, and a hook lets a test answer each write at once.
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "serial/hw_buffer.h"

namespace vrx::test {

using Bytes = std::vector<unsigned char>;

inline Bytes bytes(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

// The host's six commands to the hardware buffer unit, byte for byte.
inline const Bytes kOpen = {9, 6, 66, 85, 70, 70, 69, 82, 201};
inline const Bytes kNext = {2, 1, 0, 3};
inline const Bytes kRepeat = {3, 1, 0, 4};
inline const Bytes kFirst = {4, 1, 0, 5};
inline const Bytes kErase0 = {5, 1, 0, 6};
inline const Bytes kErase1 = {5, 1, 1, 7};

// The unit's one-byte answer and a record packet.
inline Bytes reply(unsigned char first) {
    return vrx::hwbuf::packet(17, &first, 1);
}
inline Bytes record(const std::string& text) {
    return vrx::hwbuf::packet(17, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

template <class Base>
class MemoryPort : public Base {
  public:
    ~MemoryPort() override { this->close(); }

    void feed(std::string_view s) { incoming.insert(incoming.end(), s.begin(), s.end()); }
    void feed(const Bytes& b) { incoming.insert(incoming.end(), b.begin(), b.end()); }

    std::deque<unsigned char> incoming;
    std::vector<Bytes> writes;  // one entry per write call
    std::function<void(const Bytes&)> onWrite;
    bool failOpen = false;
    bool failWrite = false;
    int receivePurges = 0;

    struct Opened {
        std::string path;
        int speed = 0, dataBits = 0, stopBitsCode = 0, parityCode = 0;
    } opened;

  protected:
    bool deviceOpen(const std::string& path, int speed, int dataBits, int stopBitsCode,
                    int parityCode) override {
        if (failOpen) return false;
        opened = {path, speed, dataBits, stopBitsCode, parityCode};
        return true;
    }
    bool deviceClose() override { return true; }
    int deviceRead(unsigned char& b) override {
        if (incoming.empty()) return 0;
        b = incoming.front();
        incoming.pop_front();
        return 1;
    }
    long deviceWrite(const unsigned char* data, size_t count) override {
        if (failWrite) return -1;
        Bytes w(data, data + count);
        writes.push_back(w);
        if (onWrite) onWrite(w);
        return static_cast<long>(count);
    }
    void devicePurge(bool receive, bool) override {
        if (receive) {
            incoming.clear();
            ++receivePurges;
        }
    }
    bool waitForInput(int) override { return !incoming.empty(); }
};

// Time that passes only when the protocol waits.
class FakeClock : public ProtocolClock {
  public:
    long long nowMs() override { return now; }
    void waitMs(int ms) override {
        now += ms;
        waited += ms;
    }
    long long now = 1000;
    long long waited = 0;
};

// Records the messages shown and the beeps.
class RecordingMessages : public platform::Messages {
  public:
    RecordingMessages() { platform::setMessages(this); }
    ~RecordingMessages() override { platform::setMessages(nullptr); }
    void show(std::string_view caption, std::string_view text, platform::Icon) override {
        shown.emplace_back(std::string(caption), std::string(text));
    }
    bool ask(std::string_view, std::string_view) override { return false; }
    void beep() override { ++beeps; }

    std::vector<std::pair<std::string, std::string>> shown;
    int beeps = 0;
};

}  // namespace vrx::test
