#include <gtest/gtest.h>

#include <fstream>

#include "memory_port.h"
#include "serial/hw_buffer.h"
#include "serial/open_port.h"
#include "settings/inisoubor.h"
#include "testutil.h"
#include "text/cz.h"

using vrx::BUFFERED_LINE_READER;
using vrx::DIRECT_LINE_READER;
using vrx::test::Bytes;
using vrx::test::MemoryPort;
using vrx::test::RecordingMessages;
using vrx::test::TempDir;

namespace {

class OpenPortFromSettings : public ::testing::Test {
  protected:
    void SetUp() override { vrx::setSettingsPath(dir_.file("VORAX.INI")); }
    void TearDown() override { vrx::setSettingsPath(dir_.file("none.ini")); }
    void settings(const std::string& portSection) {
        std::ofstream(dir_.file("VORAX.INI"), std::ios::binary) << "[PORT]\r\n" << portSection;
    }
    TempDir dir_;
    RecordingMessages messages_;
};

const std::string kParams = "Nejsou zadány parametry sériového portu."_cz;
const std::string kCannotOpen = "Nelze otevřít sériový port"_cz;

TEST_F(OpenPortFromSettings, InvalidParametersAreRefusedBeforeOpening) {
    const char* cases[] = {
        "",                                                 // fresh installation: speed 0
        "Rychlost=9600\r\n",                                // data bits missing
        "DataBity=8\r\n",                                   // speed missing
        "Rychlost=9600\r\nDataBity=8\r\nStopBity=1.2\r\n",  // no such stop bits
        "Rychlost=9600\r\nDataBity=8\r\nStopBity=0\r\n",
        "Rychlost=9600\r\nDataBity=8\r\nParita=lichy\r\n",  // unknown parity word
        "Rychlost=9600\r\nDataBity=8\r\nParita=\r\n",
    };
    for (const char* c : cases) {
        settings(c);
        messages_.shown.clear();
        messages_.beeps = 0;
        MemoryPort<DIRECT_LINE_READER> r;
        EXPECT_FALSE(vrx::openPortFromSettings(r)) << c;
        EXPECT_FALSE(r.isOpen());
        ASSERT_EQ(messages_.shown.size(), 1u) << c;
        EXPECT_EQ(messages_.shown[0].first, "Chyba");
        EXPECT_EQ(messages_.shown[0].second, kParams);
        EXPECT_EQ(messages_.beeps, 1);
    }
}

TEST_F(OpenPortFromSettings, ParametersReachTheOpen) {
    struct {
        const char* settings;
        const char* path;
        int speed, dataBits, stopBitsCode, parityCode;
    } cases[] = {
        {"Jmeno=COM2\r\nRychlost=9600\r\nDataBity=8\r\n", "/dev/ttyS1", 9600, 8, 0, 0},
        {"Jmeno=COM1\r\nRychlost=1200\r\nDataBity=7\r\nStopBity=1.500000\r\nParita=SUDA\r\n", "/dev/ttyS0",
         1200, 7, 1, 2},
        {"Jmeno=COM3\r\nRychlost=19200\r\nDataBity=8\r\nStopBity=2\r\nParita=licha\r\n", "/dev/ttyS2", 19200,
         8, 2, 1},
        {"Jmeno=COM4\r\nRychlost=4800\r\nDataBity=8\r\nParita=Znacka\r\n", "/dev/ttyS3", 4800, 8, 0, 3},
        // A device path is taken whole; a plain name is cut to eight characters.
        {"Jmeno=/dev/serial/by-id/usb-FTDI_A1\r\nRychlost=9600\r\nDataBity=8\r\n",
         "/dev/serial/by-id/usb-FTDI_A1", 9600, 8, 0, 0},
        {"Jmeno=COM12345678\r\nRychlost=9600\r\nDataBity=8\r\n", "/dev/ttyS12344", 9600, 8, 0, 0},
    };
    for (const auto& c : cases) {
        settings(c.settings);
        MemoryPort<DIRECT_LINE_READER> r;
        ASSERT_TRUE(vrx::openPortFromSettings(r)) << c.settings;
        EXPECT_EQ(r.opened.path, c.path);
        EXPECT_EQ(r.opened.speed, c.speed);
        EXPECT_EQ(r.opened.dataBits, c.dataBits);
        EXPECT_EQ(r.opened.stopBitsCode, c.stopBitsCode);
        EXPECT_EQ(r.opened.parityCode, c.parityCode);
        EXPECT_FALSE(r.debug());
    }
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(OpenPortFromSettings, QueueSizesAndFlagsAreRead) {
    settings(
        "Jmeno=COM1\r\nRychlost=9600\r\nDataBity=8\r\nDebugPort=1\r\nRizeniToku=1\r\n"
        "DelkaPrijimaciFronty=4096\r\n");
    vrx::PortSettings p;
    ASSERT_TRUE(vrx::readPortSettings(p));
    EXPECT_EQ(p.receiveQueue, 4096);
    EXPECT_EQ(p.transmitQueue, 1024);
    EXPECT_TRUE(p.debug);
    EXPECT_TRUE(p.flowControl);
    EXPECT_TRUE(p.online);
}

TEST_F(OpenPortFromSettings, FailedOpenIsReported) {
    settings("Jmeno=COM1\r\nRychlost=9600\r\nDataBity=8\r\n");
    MemoryPort<DIRECT_LINE_READER> r;
    r.failOpen = true;
    EXPECT_FALSE(vrx::openPortFromSettings(r));
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].first, "Chyba");
    EXPECT_EQ(messages_.shown[0].second, kCannotOpen);
    EXPECT_EQ(messages_.beeps, 1);

    // Already open counts as a failure to open as well.
    r.failOpen = false;
    ASSERT_TRUE(vrx::openPortFromSettings(r));
    EXPECT_FALSE(vrx::openPortFromSettings(r));
    EXPECT_EQ(messages_.shown.size(), 2u);
}

TEST_F(OpenPortFromSettings, OnlineStartsContinuousReadingOfAHardwareBuffer) {
    const Bytes openConnection = {9, 6, 66, 85, 70, 70, 69, 82, 201};
    settings("Jmeno=COM1\r\nRychlost=9600\r\nDataBity=8\r\n");  // "Online" defaults to 1 here
    {
        MemoryPort<BUFFERED_LINE_READER> r;
        ASSERT_TRUE(vrx::openPortFromSettings(r));
        EXPECT_TRUE(r.isContinuous());
        ASSERT_EQ(r.writes.size(), 1u);
        EXPECT_EQ(r.writes[0], openConnection);
    }
    settings("Jmeno=COM1\r\nRychlost=9600\r\nDataBity=8\r\nOnline=0\r\n");
    {
        MemoryPort<BUFFERED_LINE_READER> r;
        ASSERT_TRUE(vrx::openPortFromSettings(r));
        EXPECT_FALSE(r.isContinuous());
        EXPECT_TRUE(r.writes.empty());
    }
    {
        // A direct reader is read by the intake timer either way; nothing is sent to it.
        settings("Jmeno=COM1\r\nRychlost=9600\r\nDataBity=8\r\nOnline=1\r\n");
        MemoryPort<DIRECT_LINE_READER> r;
        ASSERT_TRUE(vrx::openPortFromSettings(r));
        EXPECT_TRUE(r.writes.empty());
    }
}

}  // namespace
