#pragma once
// The mapping of the port's line settings onto POSIX termios, shared by the port, the port
// search and the panel simulator.
#include <termios.h>

#include <string>

namespace vrx::serial {

// The termios speed constant for a speed in bits per second; false for a speed termios lacks.
bool speedConstant(int speed, speed_t& out);

// Turns `t` into a raw, non-blocking line (no echo, no translation, VMIN 0, VTIME 0, receiver on,
// modem lines ignored, no hardware or software flow control) with the given speed, data bits (5 to
// 8), stop bits code (0 one, 1 one and a half, 2 two; termios has no 1.5, so it gives two) and
// parity code (0 none, 1 odd, 2 even, 3 mark). False, with `t` untouched, for a value that cannot
// be expressed.
bool makeLineSettings(termios& t, int speed, int dataBits, int stopBitsCode, int parityCode);

// Reads the settings of an open descriptor, applies makeLineSettings and writes them back.
bool applyLineSettings(int fd, int speed, int dataBits, int stopBitsCode, int parityCode);

// True when `path` is a character device that answers as a serial line: a UART that the kernel
// reports as present (TIOCGSERIAL), or any other terminal device (tcgetattr), or one that exists
// but is in use or not accessible.
bool isSerialDevice(const std::string& path);

}  // namespace vrx::serial
