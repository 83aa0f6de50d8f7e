#include "serial/comio.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "serial/line_settings.h"
#include "text/strutil.h"

namespace vrx {
namespace {

// How long a write may wait for room in the driver's transmit queue before it gives up.
constexpr int kWriteWaitMs = 2000;

bool allDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

COMIO::COMIO() = default;

COMIO::~COMIO() {
    close();
}

std::string COMIO::devicePath(const std::string& portName) {
    if (portName.empty()) return {};
    if (portName[0] == '/') return portName;
    if (portName.size() > 3 && text::equalsNoCase(std::string_view(portName).substr(0, 3), "COM")) {
        std::string digits = portName.substr(3);
        if (allDigits(digits)) {
            long n = std::strtol(digits.c_str(), nullptr, 10);
            if (n < 1 || n > 999999) return {};
            return "/dev/ttyS" + std::to_string(n - 1);
        }
    }
    // A bare device name ("ttyUSB0") is looked up in /dev; nothing that could leave it.
    if (portName.find('/') != std::string::npos || portName == "." || portName == "..") return {};
    return "/dev/" + portName;
}

bool COMIO::portExists(const std::string& portName) {
    return serial::isSerialDevice(devicePath(portName));
}

std::string COMIO::logStem(const std::string& portName) {
    size_t slash = portName.find_last_of('/');
    return slash == std::string::npos ? portName : portName.substr(slash + 1);
}

bool COMIO::open(const std::string& portName, int speed, int dataBits, int stopBitsCode, int parityCode,
                 int receiveQueue, int transmitQueue, bool flowControl, bool debug) {
    if (open_) return false;
    (void)flowControl;  // accepted for the callers' sake; no flow control is performed
    debug_ = debug;
    receiveQueue_ = receiveQueue;
    transmitQueue_ = transmitQueue;
    std::string stem = logStem(portName);
    rxLogName_ = "P_RX" + stem + ".$";
    txLogName_ = "P_TX" + stem + ".$";
    portName_ = portName;

    std::string path = devicePath(portName);
    if (path.empty()) return false;
    if (!deviceOpen(path, speed, dataBits, stopBitsCode, parityCode)) return false;
    open_ = true;
    pushedBack_ = false;
    return true;
}

bool COMIO::close() {
    if (!open_) return true;
    bool ok = deviceClose();
    // The device is released even when closing reports an error: a retry could close a descriptor
    // that meanwhile belongs to someone else, and the port must be openable again.
    open_ = false;
    pushedBack_ = false;
    return ok;
}

bool COMIO::readByte(unsigned char& byte) {
    if (pushedBack_) {
        byte = pushedByte_;
        pushedBack_ = false;
        return true;
    }
    if (!open_) return false;
    unsigned char b;
    if (deviceRead(b) != 1) return false;
    if (debug_) appendLog(rxLogName_, &b, 1);
    byte = b;
    return true;
}

bool COMIO::write(const unsigned char* bytes, size_t count) {
    if (!open_) return false;
    long n = deviceWrite(bytes, count);
    if (debug_ && n > 0) appendLog(txLogName_, bytes, static_cast<size_t>(n));
    return n >= 0 && static_cast<size_t>(n) == count;
}

bool COMIO::writeByte(unsigned char byte) {
    if (!open_) return false;
    if (debug_) appendLog(txLogName_, &byte, 1);
    return deviceWrite(&byte, 1) == 1;
}

void COMIO::pushBack(unsigned char byte) {
    pushedByte_ = byte;
    pushedBack_ = true;
}

void COMIO::purgeReceive() {
    if (open_) devicePurge(true, false);
}

void COMIO::purgeTransmit() {
    if (open_) devicePurge(false, true);
}

bool COMIO::waitForInput(int timeoutMs) {
    if (pushedBack_) return true;
    if (!open_ || fd_ < 0) return false;
    pollfd p{fd_, POLLIN, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    return r > 0 && (p.revents & POLLIN);
}

bool COMIO::deviceOpen(const std::string& path, int speed, int dataBits, int stopBitsCode, int parityCode) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    auto fail = [fd] {
        ::close(fd);
        return false;
    };
    // Not shared: another opener of the same device fails. The lock covers cooperating programs
    // (also when run with privileges that pass TIOCEXCL); TIOCEXCL covers everyone else.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail();
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive) return fail();
    if (!serial::applyLineSettings(fd, speed, dataBits, stopBitsCode, parityCode)) return fail();
    int dtr = TIOCM_DTR;
    (void)::ioctl(fd, TIOCMBIS, &dtr);  // pseudo-terminals have no modem lines
    ::tcflush(fd, TCIOFLUSH);
    (void)::ioctl(fd, TIOCEXCL);
    fd_ = fd;
    return true;
}

namespace {
bool setModemLine(int fd, int line, bool on) {
    if (fd < 0) return false;
    return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}
}  // namespace

bool COMIO::setDtr(bool on) { return open_ && setModemLine(fd_, TIOCM_DTR, on); }
bool COMIO::setRts(bool on) { return open_ && setModemLine(fd_, TIOCM_RTS, on); }

bool COMIO::deviceClose() {
    if (fd_ < 0) return true;
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd_, TIOCMBIC, &lines);
    // A pseudo-terminal keeps the exclusive mark while its other side lives; clear it so the
    // port can be opened again.
    (void)::ioctl(fd_, TIOCNXCL);
    int r = ::close(fd_);
    fd_ = -1;
    return r == 0;
}

int COMIO::deviceRead(unsigned char& byte) {
    if (fd_ < 0) return -1;
    for (;;) {
        ssize_t n = ::read(fd_, &byte, 1);
        if (n == 1) return 1;
        if (n == 0) return 0;
        if (errno == EINTR) continue;
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
    }
}

long COMIO::deviceWrite(const unsigned char* bytes, size_t count) {
    if (fd_ < 0) return -1;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteWaitMs);
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) break;
    }
    return done == 0 && count != 0 ? -1 : static_cast<long>(done);
}

void COMIO::devicePurge(bool receive, bool transmit) {
    if (fd_ < 0) return;
    if (receive && transmit)
        ::tcflush(fd_, TCIOFLUSH);
    else if (receive)
        ::tcflush(fd_, TCIFLUSH);
    else if (transmit)
        ::tcflush(fd_, TCOFLUSH);
}

void COMIO::appendLog(const std::string& name, const unsigned char* bytes, size_t count) const {
    std::FILE* f = std::fopen(name.c_str(), "ab");
    if (!f) return;  // a log that cannot be written is ignored
    std::fwrite(bytes, 1, count, f);
    std::fclose(f);
}

PortSearch findPorts(int maxPorts, const std::string& devDir) {
    PortSearch result;
    for (int n = 1; n <= maxPorts; ++n) {
        if (serial::isSerialDevice(devDir + "/ttyS" + std::to_string(n - 1))) {
            result.names.push_back("COM" + std::to_string(n));
            result.lastComNumber = n;
        }
    }
    struct Usb {
        std::string prefix;
        long number;
        std::string name;
    };
    std::vector<Usb> usb;
    if (DIR* d = ::opendir(devDir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string name = e->d_name;
            for (const char* prefix : {"ttyUSB", "ttyACM"}) {
                std::string p = prefix;
                if (name.size() > p.size() && name.compare(0, p.size(), p) == 0 &&
                    allDigits(name.substr(p.size()))) {
                    usb.push_back({p, std::strtol(name.c_str() + p.size(), nullptr, 10), name});
                }
            }
        }
        ::closedir(d);
    }
    std::sort(usb.begin(), usb.end(), [](const Usb& a, const Usb& b) {
        return a.prefix != b.prefix ? a.prefix > b.prefix : a.number < b.number;  // ttyUSB before ttyACM
    });
    for (const Usb& u : usb) {
        std::string path = devDir + "/" + u.name;
        if (serial::isSerialDevice(path)) result.names.push_back(path);
    }
    return result;
}

}  // namespace vrx
