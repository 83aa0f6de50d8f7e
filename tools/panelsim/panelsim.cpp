#include "panelsim.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "serial/hw_buffer.h"
#include "serial/line_settings.h"
#include "text/dates.h"
#include "text/strutil.h"

namespace vrx::panelsim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPollMs = 50;
// Bytes a noisy line puts before a reply; never the head byte.
const unsigned char kNoise[] = {0x00, 0x55, 0xAA, 0xFF, 0x0D, 0x0A};
constexpr unsigned char kNotUnderstood = 21;

bool every(int n, long count) {
    return n > 0 && count % n == 0;
}

std::string pad(std::string s, size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

// Sleeps until `until`, waking up to look at the stop flag; false when stopped.
bool sleepUntil(Clock::time_point until, const std::atomic<bool>* stop) {
    while (Clock::now() < until) {
        if (stop && stop->load()) return false;
        auto left = until - Clock::now();
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(kPollMs)));
    }
    return !(stop && stop->load());
}

}  // namespace

// ------------------------------------------------------------------------------------------------
// Lines

PseudoTerminal::~PseudoTerminal() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
}

bool PseudoTerminal::open() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return false;
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0)
        return false;
    slavePath_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) return false;
    termios t;
    if (tcgetattr(slave_, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
    }
    return true;
}

bool PseudoTerminal::readerAttached() const {
    int exclusive = 0;
    return slave_ >= 0 && ::ioctl(slave_, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

int PseudoTerminal::unreadBytes() const {
    int n = 0;
    return slave_ >= 0 && ::ioctl(slave_, FIONREAD, &n) == 0 ? n : 0;
}

int openDevice(const std::string& path, int speed) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (!serial::applyLineSettings(fd, speed, 8, 0, 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool parseFamily(const std::string& name, Family& out) {
    if (text::equalsNoCase(name, "galaxy"))
        out = Family::Galaxy;
    else if (text::equalsNoCase(name, "pc4020"))
        out = Family::Pc4020;
    else if (text::equalsNoCase(name, "general") || text::equalsNoCase(name, "unspec"))
        out = Family::General;
    else
        return false;
    return true;
}

bool parseLineEnd(const std::string& name, std::string& out) {
    if (text::equalsNoCase(name, "crlf"))
        out = "\r\n";
    else if (text::equalsNoCase(name, "lf"))
        out = "\n";
    else if (text::equalsNoCase(name, "cr"))
        out = "\r";
    else if (text::equalsNoCase(name, "lfcr"))
        out = "\n\r";
    else if (text::equalsNoCase(name, "none"))
        out.clear();
    else
        return false;
    return true;
}

namespace {

const char* const kMonthWords[] = {"LED", "UNO", "BRE", "DUB", "KVE", "CRN",
                                   "CRC", "SRP", "ZAR", "RIJ", "LIS", "PRO"};
const char* const kDayNames[] = {"NE", "PO", "UT", "ST", "CT", "PA", "SO"};  // day 1 was a Sunday

// " PO 11 BRE 2024" (its fourth character is not a digit, so columns count from the second) or
// "PO 11 BRE 2024" (counted from the first).
std::string galaxyDate(long day, bool leadingSpace) {
    text::DateParts p = text::dayToParts(day);
    return text::format("%s%s %02d %s %4d", leadingSpace ? " " : "", kDayNames[(day - 1) % 7], p.day,
                        kMonthWords[p.month - 1], p.year);
}

std::vector<std::string> galaxySample(long day) {
    text::DateParts next = text::dayToParts(day + 1);
    std::string history = pad("   HIST.ON-LINE (VSE)", 26) +
                          text::format("%02d %s %4d)", next.day, kMonthWords[next.month - 1], next.year);
    return {
        galaxyDate(day, true),
        "07:58:03 1001 +NARUSENI   ZONA VSTUP",
        "07:58:10      +ODJISTENI  UZ. 001 BLOK 1",
        "08:01:12      +PRISTUP    UZ. 012 CTECKA 1",
        "08:15:40 1002 -NARUSENI   ZONA CHODBA",
        "12:00:00      +PORUCHA    SIT 230V",
        "12:05:31      -PORUCHA    SIT 230V",
        "16:45:02      +ZAJISTENI  UZ. 001 BLOK 1",
        galaxyDate(day + 1, false),
        "06:59:58      +ODJISTENI  UZ. 002 BLOK 1",
        "07:02:44      +PRISTUP    UZ. 127 CTECKA 2",
        "07:30:00 1003 +SABOTAZ    ZONA SKLAD",
        history,
        "07:31:15      -SABOTAZ    ZONA SKLAD",
    };
}

// Columns: label 0-14, date MM/DD/YY at 15, time at 24, text from 32, card code at 65, more text
// from 82.
std::string pc4020Line(const char* label, const text::DateParts& d, const char* time, const std::string& text,
                       const std::string& code = "", const std::string& tail = "") {
    std::string s = pad(label, 15) + text::format("%02d/%02d/%02d", d.month, d.day, d.year % 100) + " " +
                    time + " " + text;
    if (!code.empty()) s = pad(pad(s, 65) + code, 82) + tail;
    return s;
}

std::vector<std::string> pc4020Sample(long day) {
    text::DateParts d = text::dayToParts(day);
    text::DateParts n = text::dayToParts(day + 1);
    return {
        pc4020Line("Pristup povolen", d, "07:58am", "Dvere 01 Ctecka 01", "00012", "Hlavni vchod"),
        pc4020Line("Alarm", d, "08:15am", "Zona 005 Chodba 1.NP"),
        pc4020Line("Obnova alarmu", d, "08:16am", "Zona 005 Chodba 1.NP"),
        pc4020Line("Pristup odepren", d, "09:02am", "Dvere 02 Ctecka 02", "00345", "Neplatna karta"),
        // A line continued on the next one, which repeats a 14-character header.
        pc4020Line("Zakodovani", d, "05:30pm", "Oblast 01 zakodovana uzivatelem -"),
        pad("Zakodovani", 14) + "0012 Recepce",
        pc4020Line("Porucha", d, "11:45pm", "Vypadek site 230V"),
        pc4020Line("Obnova poruchy", n, "00:10am", "Vypadek site 230V"),
        pc4020Line("Pristup povolen", n, "06:55am", "Dvere 01 Ctecka 01", "00007", "Hlavni vchod"),
    };
}

std::vector<std::string> generalSample() {
    return {
        "  ALARM ZONA 5  ", "PORUCHA SITE 230V", "   ", "\tSTAV: KLID", "OBNOVA ZONA 5", "TEST KOMUNIKACE OK",
    };
}

}  // namespace

std::vector<std::string> sampleLines(Family family, int day, int month, int year) {
    long d = text::dayFromParts(day, month, year);
    if (d == text::kInvalidDay || d >= text::kLastDay) d = text::today();
    switch (family) {
        case Family::Galaxy:
            return galaxySample(d);
        case Family::Pc4020:
            return pc4020Sample(d);
        case Family::General:
            return generalSample();
    }
    return {};
}

bool readLinesFile(const std::string& path, std::vector<std::string>& lines) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string content;
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
    std::fclose(f);
    lines.clear();
    size_t pos = 0;
    while (pos < content.size()) {
        size_t nl = content.find('\n', pos);
        size_t end = nl == std::string::npos ? content.size() : nl;
        std::string line = content.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        pos = nl == std::string::npos ? content.size() : nl + 1;
    }
    return true;
}

bool writeAll(int fd, const void* data, size_t size, const std::atomic<bool>* stop) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        if (stop && stop->load()) return false;
        ssize_t n = ::write(fd, p, size);
        if (n > 0) {
            p += n;
            size -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        pollfd pf{fd, POLLOUT, 0};
        ::poll(&pf, 1, kPollMs);
    }
    return true;
}

long printLines(int fd, const std::vector<std::string>& lines, const PrintOptions& options,
                const std::atomic<bool>* stop, const PseudoTerminal* waitForReader) {
    if (lines.empty()) return 0;
    const long total = options.count > 0 ? options.count : static_cast<long>(lines.size());
    const bool paced = options.linesPerSecond > 0;
    const auto interval = paced ? std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(1.0 / options.linesPerSecond))
                                : Clock::duration::zero();
    auto due = Clock::now();
    long printed = 0;
    for (long i = 0; options.loop || i < total; ++i) {
        if (stop && stop->load()) break;
        if (waitForReader && !waitForReader->readerAttached()) {
            while (!waitForReader->readerAttached()) {
                if (!sleepUntil(Clock::now() + std::chrono::milliseconds(kPollMs), stop)) return printed;
            }
            due = Clock::now();
        }
        if (paced) {
            if (!sleepUntil(due, stop)) break;
            due += interval;
        }
        std::string out = lines[static_cast<size_t>(i) % lines.size()] + options.lineEnd;
        if (!writeAll(fd, out.data(), out.size(), stop)) break;
        ++printed;
    }
    return printed;
}

// ------------------------------------------------------------------------------------------------
// The hardware buffer unit

BufferUnit::BufferUnit(const std::vector<std::string>& lines, const std::string& lineEnd, FaultPlan faults)
    : lineEnd_(lineEnd), faults_(faults) {
    for (const std::string& l : lines) addLine(l);
}

void BufferUnit::addLine(const std::string& line) {
    std::string record = line + lineEnd_;
    for (size_t pos = 0; pos < record.size(); pos += 255) records_.push_back(record.substr(pos, 255));
}

Bytes BufferUnit::reply(unsigned char first) {
    return hwbuf::packet(hwbuf::kHead, &first, 1);
}

Bytes BufferUnit::recordReply(size_t index) {
    const std::string& r = records_[index];
    return hwbuf::packet(hwbuf::kHead, reinterpret_cast<const unsigned char*>(r.data()), r.size());
}

Bytes BufferUnit::command(unsigned char code, const Bytes& data) {
    ++stats_.commands;
    const bool request = code == hwbuf::kNextRecord;
    if (request) {
        ++requests_;
        if (every(faults_.silenceEvery, requests_)) {
            ++stats_.silences;  // as if the request never came
            return {};
        }
        if (every(faults_.expireEvery, requests_)) {
            ++stats_.expiries;
            connected_ = false;
            return reply(hwbuf::kReplyExpired);
        }
    }
    if (code == hwbuf::kOpenConnection) {
        static const Bytes kName = {'B', 'U', 'F', 'F', 'E', 'R'};
        if (data != kName) return reply(kNotUnderstood);
        connected_ = true;
        return reply(hwbuf::kReplyAccepted);
    }
    if (!connected_) return reply(hwbuf::kReplyExpired);
    unsigned char arg = data.empty() ? 0 : data[0];
    switch (code) {
        case hwbuf::kNextRecord: {
            if (next_ < records_.size()) {
                lastDataReply_ = recordReply(next_++);
                ++stats_.records;
            } else {
                lastDataReply_ = reply(hwbuf::kReplyNoMoreData);
                ++stats_.noMoreData;
            }
            Bytes out = lastDataReply_;
            if (every(faults_.badChecksumEvery, requests_)) {
                ++stats_.badChecksums;
                out.back() = static_cast<unsigned char>(out.back() + 1);
            }
            return out;
        }
        case hwbuf::kRepeatRecord:
            if (lastDataReply_.empty()) return reply(hwbuf::kReplyNoMoreData);
            if (lastDataReply_[2] > hwbuf::kReplyExpired) ++stats_.records;
            return lastDataReply_;
        case hwbuf::kFirstRecord:
            next_ = 0;
            lastDataReply_.clear();
            return reply(hwbuf::kReplyAccepted);
        case hwbuf::kErase:
            if (arg == 0) {
                eraseArmed_ = true;
                return reply(hwbuf::kReplyAccepted);
            }
            if (arg == 1 && eraseArmed_) {
                eraseArmed_ = false;
                records_.clear();
                next_ = 0;
                lastDataReply_.clear();
                ++stats_.erased;
                return reply(hwbuf::kReplyAccepted);
            }
            eraseArmed_ = false;
            return reply(kNotUnderstood);
        default:
            return reply(kNotUnderstood);
    }
}

Bytes BufferUnit::receive(const unsigned char* data, size_t size) {
    input_.insert(input_.end(), data, data + size);
    Bytes out;
    size_t pos = 0;
    while (input_.size() - pos >= 2) {
        // The unit knows its commands and their lengths; anything else is line noise, skipped a
        // byte at a time until a command starts.
        unsigned char first = input_[pos];
        size_t expected = first == hwbuf::kOpenConnection ? 6 : 1;
        bool known = first == hwbuf::kOpenConnection || first == hwbuf::kNextRecord ||
                     first == hwbuf::kRepeatRecord || first == hwbuf::kFirstRecord || first == hwbuf::kErase;
        size_t length = input_[pos + 1];
        if (!known || length != expected) {
            ++pos;
            continue;
        }
        if (input_.size() - pos < length + 3) break;
        if (hwbuf::checksum(&input_[pos], length + 2) != input_[pos + 2 + length]) {
            ++pos;
            continue;
        }
        Bytes args(input_.begin() + static_cast<long>(pos) + 2,
                   input_.begin() + static_cast<long>(pos + 2 + length));
        unsigned char code = input_[pos];
        pos += length + 3;
        Bytes answer = command(code, args);
        if (answer.empty()) continue;
        if (every(faults_.noiseEvery, ++replies_)) {
            ++stats_.noise;
            out.insert(out.end(), std::begin(kNoise), std::end(kNoise));
        }
        out.insert(out.end(), answer.begin(), answer.end());
    }
    input_.erase(input_.begin(), input_.begin() + static_cast<long>(pos));
    return out;
}

void serveBuffer(int fd, BufferUnit& unit, const std::atomic<bool>& stop) {
    while (!stop.load()) {
        pollfd p{fd, POLLIN, 0};
        int r = ::poll(&p, 1, kPollMs);
        if (r <= 0) continue;
        if (p.revents & POLLIN) {
            unsigned char buf[512];
            ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) {
                Bytes out = unit.receive(buf, static_cast<size_t>(n));
                if (!out.empty()) writeAll(fd, out.data(), out.size(), &stop);
                continue;
            }
        }
        // Nobody on the other side (or an error): look again a little later.
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
}

}  // namespace vrx::panelsim
