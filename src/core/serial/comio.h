#pragma once
// The serial port: POSIX termios, reads that never block, optional raw traffic logs.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vrx {

// Stop bits code: 0 one, 1 one and a half, 2 two. Parity code: 0 none, 1 odd, 2 even, 3 mark.
class COMIO {
public:
    COMIO();
    virtual ~COMIO();
    COMIO(const COMIO&) = delete;
    COMIO& operator=(const COMIO&) = delete;

    virtual bool open(const std::string& portName, int speed, int dataBits, int stopBitsCode, int parityCode,
                      int receiveQueue, int transmitQueue, bool flowControl, bool debug);
    virtual bool close();
    virtual bool readByte(unsigned char& byte);

    bool write(const unsigned char* bytes, size_t count);
    bool writeByte(unsigned char byte);
    void pushBack(unsigned char byte);
    void purgeReceive();
    void purgeTransmit();
    bool isOpen() const { return open_; }
    const std::string& portName() const { return portName_; }

    // "COM%d" -> /dev/ttyS(n-1); a device path is used as it stands.
    static std::string devicePath(const std::string& portName);
    // True when the port name maps to an existing serial device.
    static bool portExists(const std::string& portName);

protected:
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

}  // namespace vrx
