#pragma once
// The serial port: POSIX termios, reads that never block, optional raw traffic logs.
//
// Port names: "COM%d" stands for /dev/ttyS(n-1) (COM1 is /dev/ttyS0); a name starting with '/'
// is a device path used as it stands (/dev/ttyUSB0, /dev/ttyACM0, /dev/pts/3). The device is
// opened exclusively: a second opener, in this process or another, fails as long as the port is
// open. With the debug flag the received bytes are appended to "P_RX<name>.$" and the sent bytes
// to "P_TX<name>.$" in the working directory, where <name> is the port name or, for a device
// path, its last component (P_RXttyUSB0.$).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vrx {

// Stop bits code: 0 one, 1 one and a half, 2 two. Parity code: 0 none, 1 odd, 2 even, 3 mark.
class COMIO {
  public:
    COMIO();
    virtual ~COMIO();
    COMIO(const COMIO&) = delete;
    COMIO& operator=(const COMIO&) = delete;

    // False at once when the port is already open, when the device cannot be opened (missing,
    // in use) or when the line settings cannot be applied. The flow control flag is accepted
    // and not acted on; the queue sizes are kept for information only.
    virtual bool open(const std::string& portName, int speed, int dataBits, int stopBitsCode, int parityCode,
                      int receiveQueue, int transmitQueue, bool flowControl, bool debug);
    // True; with the port not open it does nothing. A failing close still releases the device.
    virtual bool close();
    // The pushed-back byte first, else one byte already received; false when none is there.
    virtual bool readByte(unsigned char& byte);

    bool write(const unsigned char* bytes, size_t count);
    bool writeByte(unsigned char byte);
    void pushBack(unsigned char byte);
    // Raises or lowers a modem control line; false when the port is closed or has no such line
    // (a pseudo-terminal).
    bool setDtr(bool on);
    bool setRts(bool on);
    void purgeReceive();
    void purgeTransmit();
    bool isOpen() const { return open_; }
    const std::string& portName() const { return portName_; }
    bool debug() const { return debug_; }
    const std::string& receiveLogName() const { return rxLogName_; }
    const std::string& transmitLogName() const { return txLogName_; }

    // Waits up to timeoutMs for received bytes (tools and benches; the program polls instead).
    // True when a byte can be read at once.
    virtual bool waitForInput(int timeoutMs);

    // "COM%d" -> /dev/ttyS(n-1); a device path is used as it stands; any other name is looked
    // up in /dev. Empty for a name that cannot stand for a device ("COM0", "").
    static std::string devicePath(const std::string& portName);
    // True when the port name maps to an existing serial device (also when it is in use).
    static bool portExists(const std::string& portName);
    // The name part of the debug log names: the port name, or a device path's last component.
    static std::string logStem(const std::string& portName);

  protected:
    // The device underneath. The POSIX implementation works on fd_; an in-memory port replaces
    // these five to stand in for a device.
    virtual bool deviceOpen(const std::string& path, int speed, int dataBits, int stopBitsCode,
                            int parityCode);
    virtual bool deviceClose();
    // 1 when a byte was read, 0 when none is available, -1 on an error.
    virtual int deviceRead(unsigned char& byte);
    // Bytes written, -1 on an error.
    virtual long deviceWrite(const unsigned char* bytes, size_t count);
    virtual void devicePurge(bool receive, bool transmit);

    void appendLog(const std::string& name, const unsigned char* bytes, size_t count) const;

    std::string portName_;
    int fd_ = -1;
    bool open_ = false;
    bool pushedBack_ = false;
    unsigned char pushedByte_ = 0;
    bool debug_ = false;
    std::string rxLogName_;  // "P_RX%s.$"
    std::string txLogName_;  // "P_TX%s.$"
    int receiveQueue_ = 0;
    int transmitQueue_ = 0;
};

// The ports a port search finds.
struct PortSearch {
    std::vector<std::string> names;  // "COM%d" in number order, then the USB serial device paths
    int lastComNumber = 0;           // highest COM number found, 0 when none
};

// Probes COM1 to COM<maxPorts> (/dev/ttyS0 ...) with a serial ioctl and lists the USB serial
// devices (ttyUSB*, ttyACM*) of devDir. devDir is "/dev" except in tests.
PortSearch findPorts(int maxPorts, const std::string& devDir = "/dev");

}  // namespace vrx
