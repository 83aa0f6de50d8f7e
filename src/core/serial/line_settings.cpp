#include "serial/line_settings.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vrx::serial {

bool speedConstant(int speed, speed_t& out) {
    struct Entry {
        int bps;
        speed_t constant;
    };
    static constexpr Entry kSpeeds[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    };
    for (const Entry& e : kSpeeds) {
        if (e.bps == speed) {
            out = e.constant;
            return true;
        }
    }
    return false;
}

bool makeLineSettings(termios& t, int speed, int dataBits, int stopBitsCode, int parityCode) {
    speed_t constant;
    if (!speedConstant(speed, constant)) return false;
    tcflag_t size;
    switch (dataBits) {
        case 5:
            size = CS5;
            break;
        case 6:
            size = CS6;
            break;
        case 7:
            size = CS7;
            break;
        case 8:
            size = CS8;
            break;
        default:
            return false;
    }
    tcflag_t parity;
    switch (parityCode) {
        case 0:
            parity = 0;
            break;
        case 1:
            parity = PARENB | PARODD;
            break;
        case 2:
            parity = PARENB;
            break;
        case 3:
            parity = PARENB | PARODD | CMSPAR;
            break;  // the parity bit always 1
        default:
            return false;
    }
    tcflag_t stop;
    switch (stopBitsCode) {
        case 0:
            stop = 0;
            break;
        case 1:  // one and a half: termios offers one or two
        case 2:
            stop = CSTOPB;
            break;
        default:
            return false;
    }

    termios n = t;
    cfmakeraw(&n);
    n.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
    if (parity) n.c_iflag |= INPCK;
    n.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    n.c_cflag |= size | parity | stop | CREAD | CLOCAL;
    n.c_cc[VMIN] = 0;
    n.c_cc[VTIME] = 0;
    cfsetispeed(&n, constant);
    cfsetospeed(&n, constant);
    t = n;
    return true;
}

bool applyLineSettings(int fd, int speed, int dataBits, int stopBitsCode, int parityCode) {
    termios t;
    if (tcgetattr(fd, &t) != 0) return false;
    if (!makeLineSettings(t, speed, dataBits, stopBitsCode, parityCode)) return false;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

bool isSerialDevice(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == EBUSY || errno == EACCES || errno == EPERM;
    bool found;
    serial_struct info{};
    if (::ioctl(fd, TIOCGSERIAL, &info) == 0) {
        found = info.type != PORT_UNKNOWN;
    } else {
        termios t;
        found = tcgetattr(fd, &t) == 0;
    }
    ::close(fd);
    return found;
}

}  // namespace vrx::serial
