#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "serial/comio.h"
#include "serial/line_reader.h"
#include "serial/line_settings.h"
#include "testutil.h"

using vrx::COMIO;
using vrx::DIRECT_LINE_READER;
using vrx::test::TempDir;

namespace {

// A pseudo-terminal pair; the test plays the far side on the master.
class Pty {
  public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) slave_ = ::ptsname(master_);
    }
    ~Pty() {
        if (master_ >= 0) ::close(master_);
    }
    int master() const { return master_; }
    const std::string& slave() const { return slave_; }
    void send(const std::string& s) const {
        ASSERT_EQ(::write(master_, s.data(), s.size()), (ssize_t)s.size());
    }
    // Reads until n bytes came or the time is up.
    std::string receive(size_t n, int timeoutMs = 5000) const {
        std::string got;
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < n && std::chrono::steady_clock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
                char buf[256];
                ssize_t r = ::read(master_, buf, sizeof buf);
                if (r > 0) got.append(buf, static_cast<size_t>(r));
            }
        }
        return got;
    }

  private:
    int master_ = -1;
    std::string slave_;
};

// Polls the reader until it completes a line or the time is up.
bool waitLine(DIRECT_LINE_READER& r, int timeoutMs = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (r.readLine() == 2) return true;
        r.waitForInput(50);
    }
    return false;
}

TEST(LineSettings, Mapping) {
    struct {
        int speed, dataBits, stop, parity;
        speed_t constant;
        tcflag_t size, set, clear;
    } cases[] = {
        {9600, 8, 0, 0, B9600, CS8, 0, PARENB | CSTOPB | CMSPAR | PARODD},
        {1200, 7, 0, 1, B1200, CS7, PARENB | PARODD, CSTOPB | CMSPAR},
        {2400, 7, 1, 2, B2400, CS7, PARENB | CSTOPB, PARODD | CMSPAR},  // 1.5 stop bits become 2
        {4800, 8, 2, 3, B4800, CS8, PARENB | PARODD | CMSPAR | CSTOPB, 0},
        {19200, 5, 0, 0, B19200, CS5, 0, PARENB},
        {115200, 6, 2, 2, B115200, CS6, PARENB | CSTOPB, PARODD},
    };
    for (const auto& c : cases) {
        termios t{};
        t.c_cflag = CRTSCTS | PARENB | PARODD | CMSPAR | CSTOPB;  // left over from an earlier user
        t.c_lflag = ICANON | ECHO;
        t.c_iflag = ICRNL | IXON;
        ASSERT_TRUE(vrx::serial::makeLineSettings(t, c.speed, c.dataBits, c.stop, c.parity)) << c.speed;
        EXPECT_EQ(cfgetospeed(&t), c.constant);
        EXPECT_EQ(cfgetispeed(&t), c.constant);
        EXPECT_EQ(t.c_cflag & CSIZE, c.size);
        EXPECT_EQ(t.c_cflag & c.set, c.set) << c.speed;
        EXPECT_EQ(t.c_cflag & c.clear, 0u) << c.speed;
        EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
        EXPECT_TRUE(t.c_cflag & CREAD);
        EXPECT_TRUE(t.c_cflag & CLOCAL);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
        EXPECT_EQ(t.c_iflag & (ICRNL | IXON), 0u);
        EXPECT_EQ(t.c_cc[VMIN], 0);
        EXPECT_EQ(t.c_cc[VTIME], 0);
    }
    struct {
        int speed, dataBits, stop, parity;
    } invalid[] = {{9601, 8, 0, 0}, {0, 8, 0, 0},     {9600, 9, 0, 0}, {9600, 4, 0, 0},
                   {9600, 8, 3, 0}, {9600, 8, -1, 0}, {9600, 8, 0, 4}, {9600, 8, 0, -1}};
    for (const auto& c : invalid) {
        termios t{};
        t.c_cflag = CS7 | PARENB;
        EXPECT_FALSE(vrx::serial::makeLineSettings(t, c.speed, c.dataBits, c.stop, c.parity));
        EXPECT_EQ(t.c_cflag, static_cast<tcflag_t>(CS7 | PARENB));
    }
}

TEST(ComioPty, OpensAPseudoTerminalWithItsParameters) {
    Pty pty;
    ASSERT_FALSE(pty.slave().empty());
    DIRECT_LINE_READER r;
    ASSERT_TRUE(r.open(pty.slave(), 19200, 8, 2, 3, 2048, 1024, false, false));
    termios t;
    ASSERT_EQ(tcgetattr(pty.master(), &t), 0);  // the master reports the slave's settings
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_TRUE(t.c_cflag & CMSPAR);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_TRUE(r.close());
}

TEST(ComioPty, ReadsAndWritesBytes) {
    Pty pty;
    DIRECT_LINE_READER r;
    ASSERT_TRUE(r.open(pty.slave(), 9600, 8, 0, 0, 2048, 1024, false, false));
    unsigned char b;
    EXPECT_FALSE(r.readByte(b));  // nothing there: no waiting

    const unsigned char cr[] = {13};
    r.setIgnored(cr, 1);
    pty.send(std::string("ALARM \x8a\r\nZONA", 13));
    ASSERT_TRUE(waitLine(r));
    EXPECT_EQ(std::string(r.lineBuffer()), "ALARM \x8a");  // raw: no translation of CR or high bytes
    r.setLineLength(0);
    EXPECT_EQ(r.readLine(), 0);
    pty.send(" 5\n");
    ASSERT_TRUE(waitLine(r));
    EXPECT_STREQ(r.lineBuffer(), "ZONA 5");

    const unsigned char out[] = {2, 1, 0, 3, '\n', 17};
    ASSERT_TRUE(r.write(out, sizeof out));
    EXPECT_EQ(pty.receive(sizeof out), std::string(reinterpret_cast<const char*>(out), sizeof out));
}

TEST(ComioPty, DiscardsOldInputWhenOpened) {
    Pty pty;
    {
        DIRECT_LINE_READER r;
        ASSERT_TRUE(r.open(pty.slave(), 9600, 8, 0, 0, 2048, 1024, false, false));
        ASSERT_TRUE(r.close());
    }
    pty.send("STALE\n");
    DIRECT_LINE_READER r;
    ASSERT_TRUE(r.open(pty.slave(), 9600, 8, 0, 0, 2048, 1024, false, false));
    pty.send("NEW\n");
    ASSERT_TRUE(waitLine(r));
    EXPECT_STREQ(r.lineBuffer(), "NEW");
}

TEST(ComioPty, IsNotShared) {
    Pty pty;
    DIRECT_LINE_READER first, second;
    ASSERT_TRUE(first.open(pty.slave(), 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_FALSE(second.open(pty.slave(), 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_FALSE(second.isOpen());
    EXPECT_TRUE(COMIO::portExists(pty.slave()));  // in use, still there
    ASSERT_TRUE(first.close());
    EXPECT_TRUE(second.open(pty.slave(), 9600, 8, 0, 0, 2048, 1024, false, false));
}

TEST(ComioPty, InvalidParametersFailAndReleaseTheDevice) {
    Pty pty;
    DIRECT_LINE_READER r;
    EXPECT_FALSE(r.open(pty.slave(), 12345, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_FALSE(r.isOpen());
    EXPECT_TRUE(r.open(pty.slave(), 9600, 8, 0, 0, 2048, 1024, false, false));
}

TEST(ComioPty, MissingDevicesAndOtherFiles) {
    DIRECT_LINE_READER r;
    EXPECT_FALSE(r.open("/dev/pts/999999", 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_FALSE(r.open("/dev/null", 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_FALSE(COMIO::portExists("/dev/pts/999999"));
    EXPECT_FALSE(COMIO::portExists("/dev/null"));  // a character device, not a terminal
    EXPECT_FALSE(COMIO::portExists(""));
}

TEST(ComioPty, ClosedFarSideDeliversNothing) {
    auto pty = std::make_unique<Pty>();
    DIRECT_LINE_READER r;
    ASSERT_TRUE(r.open(pty->slave(), 9600, 8, 0, 0, 2048, 1024, false, false));
    pty.reset();
    unsigned char b;
    EXPECT_FALSE(r.readByte(b));
    EXPECT_EQ(r.readLine(), 0);
    EXPECT_TRUE(r.close());
}

TEST(PortSearch, FindsComPortsAndUsbDevices) {
    Pty a, b, c;
    TempDir dev;
    namespace fs = std::filesystem;
    fs::create_symlink(a.slave(), dev.file("ttyS1"));  // COM2
    fs::create_symlink(b.slave(), dev.file("ttyS4"));  // COM5, beyond the limit below
    std::ofstream(dev.file("ttyS0")) << "";            // not a device
    fs::create_symlink(b.slave(), dev.file("ttyUSB10"));
    fs::create_symlink(c.slave(), dev.file("ttyUSB2"));
    fs::create_symlink(a.slave(), dev.file("ttyACM0"));
    fs::create_symlink("/dev/null", dev.file("ttyUSB3"));  // not a terminal
    fs::create_symlink(a.slave(), dev.file("ttyUSBx"));    // not a numbered device

    vrx::PortSearch found = vrx::findPorts(4, dev.path());
    std::vector<std::string> expected = {"COM2", dev.file("ttyUSB2"), dev.file("ttyUSB10"),
                                         dev.file("ttyACM0")};
    EXPECT_EQ(found.names, expected);
    EXPECT_EQ(found.lastComNumber, 2);

    vrx::PortSearch wider = vrx::findPorts(128, dev.path());
    EXPECT_EQ(wider.lastComNumber, 5);
    EXPECT_EQ(vrx::findPorts(4, dev.file("missing")).names, std::vector<std::string>{});
}

}  // namespace
