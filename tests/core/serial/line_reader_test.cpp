#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "memory_port.h"
#include "serial/line_reader.h"
#include "testutil.h"

using vrx::DIRECT_LINE_READER;
using vrx::test::Bytes;
using vrx::test::ChangeDir;
using vrx::test::MemoryPort;
using vrx::test::TempDir;

namespace {

using Reader = MemoryPort<DIRECT_LINE_READER>;

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

bool openPort(Reader& r, const std::string& name = "COM2", bool debug = false) {
    return r.open(name, 9600, 8, 0, 0, 2048, 1024, false, debug);
}

// Every line readLine completes, polling until the input is used up.
std::vector<std::string> drain(Reader& r) {
    std::vector<std::string> lines;
    while (r.readLine() == 2) {
        lines.emplace_back(r.lineBuffer(), static_cast<size_t>(r.lineLength()));
        r.setLineLength(0);
    }
    return lines;
}

struct Case {
    const char* name;
    int endChar;
    std::string ignored;
    std::vector<std::string> chunks;  // arriving between polls
    std::vector<std::string> lines;   // completed lines, in order
    std::string partial;              // left in the buffer at the end
};

class LineAssembly : public ::testing::TestWithParam<Case> {};

TEST_P(LineAssembly, CutsTheInputIntoLines) {
    const Case& c = GetParam();
    Reader r;
    ASSERT_TRUE(openPort(r));
    r.setEndChar(c.endChar);
    r.setIgnored(reinterpret_cast<const unsigned char*>(c.ignored.data()),
                 static_cast<int>(c.ignored.size()));
    std::vector<std::string> lines;
    for (const std::string& chunk : c.chunks) {
        r.feed(chunk);
        for (const std::string& l : drain(r)) lines.push_back(l);
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(std::string(r.lineBuffer(), static_cast<size_t>(r.lineLength())), c.partial);
    EXPECT_EQ(r.hasPartialLine(), !c.partial.empty());
}

const std::string k450 = std::string(200, 'a') + std::string(200, 'b') + std::string(50, 'c');

INSTANTIATE_TEST_SUITE_P(
    Cases, LineAssembly,
    ::testing::Values(
        Case{"LongLineIsCutEvery200",
             10,
             "\r",
             {k450 + "\n"},
             {std::string(200, 'a'), std::string(200, 'b'), std::string(50, 'c')},
             ""},
        Case{"LongLineWithoutEndKeepsTheRest",
             10,
             "",
             {k450},
             {std::string(200, 'a'), std::string(200, 'b')},
             std::string(50, 'c')},
        Case{"CrLfWithIgnoredCr", 10, "\r", {"ABC\r\n"}, {"ABC"}, ""},
        Case{"LineSplitAcrossPolls", 10, "\r", {"ALA", "RM ZO", "NA 5\r\n"}, {"ALARM ZONA 5"}, ""},
        Case{"EmptyLines", 10, "\r", {"\r\n\nX\n"}, {"", "", "X"}, ""},
        Case{"NoIgnoredSetKeepsCr", 10, "", {"AB\r\n"}, {"AB\r"}, ""},
        Case{"UnspecIgnoredSet",
             10,
             std::string("\x0c\r\t\0", 4),
             {std::string("\tA\0B\x0c\r\n", 7)},
             {"AB"},
             ""},
        Case{"CrEndsLfIgnored", 13, "\n", {"ONE\r\nTWO\r\n"}, {"ONE", "TWO"}, ""},
        Case{"NoneIsByte255",
             -1,
             "",
             {"AB\xff"
              "CD\n\xff"},
             {"AB", "CD\n"},
             ""},
        Case{"HighBytesAreText", 10, "\r", {"\x8a\x9e\xe8\r\n"}, {"\x8a\x9e\xe8"}, ""}),
    [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

TEST(LineReader, OneLinePerCallLeavesTheRestInTheDriver) {
    Reader r;
    ASSERT_TRUE(openPort(r));
    r.setEndChar(10);
    r.feed("FIRST\nSECOND\nTHI");
    ASSERT_EQ(r.readLine(), 2);
    EXPECT_STREQ(r.lineBuffer(), "FIRST");
    EXPECT_EQ(r.incoming.size(), std::string("SECOND\nTHI").size());
    r.setLineLength(0);
    ASSERT_EQ(r.readLine(), 2);
    EXPECT_STREQ(r.lineBuffer(), "SECOND");
    r.setLineLength(0);
    EXPECT_EQ(r.readLine(), 0);
    EXPECT_EQ(r.lineLength(), 3);
}

TEST(LineReader, LineLeftByTheDecoderIsContinued) {
    Reader r;
    ASSERT_TRUE(openPort(r));
    r.feed("PART-\nREST\n");
    ASSERT_EQ(r.readLine(), 2);
    EXPECT_STREQ(r.lineBuffer(), "PART-");
    // The decoder rejects the line and leaves it: the next line is appended behind it.
    ASSERT_EQ(r.readLine(), 2);
    EXPECT_STREQ(r.lineBuffer(), "PART-REST");
}

TEST(LineReader, FullLineLeftByTheDecoderDoesNotGrow) {
    Reader r;
    ASSERT_TRUE(openPort(r));
    r.feed(std::string(200, 'x') + "NEXT\n");
    ASSERT_EQ(r.readLine(), 2);
    ASSERT_EQ(r.lineLength(), 200);
    // Left in the buffer, the full line comes back as it is and nothing more is read.
    ASSERT_EQ(r.readLine(), 2);
    EXPECT_EQ(r.lineLength(), 200);
    EXPECT_EQ(std::string(r.lineBuffer()), std::string(200, 'x'));
    r.setLineLength(0);
    ASSERT_EQ(r.readLine(), 2);
    EXPECT_STREQ(r.lineBuffer(), "NEXT");
}

TEST(LineReader, SignalsEveryReceivedByte) {
    struct Counter : vrx::ReceiveActivity {
        void byteReceived() override { ++count; }
        int count = 0;
    } counter;
    vrx::setReceiveActivity(&counter);
    Reader r;
    ASSERT_TRUE(openPort(r));
    r.setIgnored(reinterpret_cast<const unsigned char*>("\r"), 1);
    r.feed("AB\r\nC");
    drain(r);
    vrx::setReceiveActivity(nullptr);
    EXPECT_EQ(counter.count, 5);  // ignored and end characters included
}

TEST(LineReader, DebugLogsHoldTheTrafficExactly) {
    TempDir dir;
    ChangeDir cd(dir.path());
    Reader r;
    ASSERT_TRUE(openPort(r, "COM2", true));
    r.setIgnored(reinterpret_cast<const unsigned char*>("\r"), 1);
    const std::string input(
        "L1\r\n\0\xff"
        "L2\n",
        9);
    r.feed(input);
    drain(r);
    const unsigned char out[] = {9, 6, 'B', 0, 255};
    EXPECT_TRUE(r.write(out, sizeof out));
    EXPECT_TRUE(r.writeByte(2));
    EXPECT_EQ(slurp(dir.file("P_RXCOM2.$")), input);
    EXPECT_EQ(slurp(dir.file("P_TXCOM2.$")), std::string("\x09\x06"
                                                         "B\0\xff\x02",
                                                         6));

    // Logs only grow; a new session appends to them.
    ASSERT_TRUE(r.close());
    ASSERT_TRUE(openPort(r, "COM2", true));
    r.feed("X");
    drain(r);
    EXPECT_EQ(slurp(dir.file("P_RXCOM2.$")), input + "X");
}

TEST(LineReader, DebugLogOfADevicePathUsesItsLastComponent) {
    TempDir dir;
    ChangeDir cd(dir.path());
    Reader r;
    ASSERT_TRUE(openPort(r, "/dev/ttyUSB0", true));
    EXPECT_EQ(r.opened.path, "/dev/ttyUSB0");
    r.feed("Z\n");
    drain(r);
    EXPECT_EQ(slurp(dir.file("P_RXttyUSB0.$")), "Z\n");
}

TEST(LineReader, SingleByteIsLoggedEvenWhenTheWriteFails) {
    TempDir dir;
    ChangeDir cd(dir.path());
    Reader r;
    ASSERT_TRUE(openPort(r, "COM1", true));
    r.failWrite = true;
    EXPECT_FALSE(r.writeByte('Q'));
    EXPECT_FALSE(r.write(reinterpret_cast<const unsigned char*>("RS"), 2));
    EXPECT_EQ(slurp(dir.file("P_TXCOM1.$")), "Q");
}

TEST(LineReader, NoLogsWithoutTheDebugFlag) {
    TempDir dir;
    ChangeDir cd(dir.path());
    Reader r;
    ASSERT_TRUE(openPort(r, "COM2", false));
    r.feed("A\n");
    drain(r);
    r.writeByte('x');
    EXPECT_FALSE(std::filesystem::exists(dir.file("P_RXCOM2.$")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("P_TXCOM2.$")));
}

TEST(Comio, PushedBackByteComesFirst) {
    TempDir dir;
    ChangeDir cd(dir.path());
    Reader r;
    ASSERT_TRUE(openPort(r, "COM3", true));
    r.feed("B\n");
    r.pushBack('A');
    ASSERT_EQ(r.readLine(), 2);
    EXPECT_STREQ(r.lineBuffer(), "AB");
    EXPECT_EQ(slurp(dir.file("P_RXCOM3.$")), "B\n");  // the held-back byte was not received now
}

TEST(Comio, OpenAndCloseStates) {
    Reader r;
    EXPECT_TRUE(r.close());  // not open: nothing to do
    unsigned char b;
    r.feed("x");
    EXPECT_FALSE(r.readByte(b));  // a closed port delivers nothing
    EXPECT_FALSE(r.write(reinterpret_cast<const unsigned char*>("y"), 1));
    ASSERT_TRUE(openPort(r));
    EXPECT_TRUE(r.isOpen());
    EXPECT_FALSE(openPort(r));  // already open
    EXPECT_TRUE(r.close());
    EXPECT_FALSE(r.isOpen());
    r.failOpen = true;
    EXPECT_FALSE(openPort(r));
    EXPECT_FALSE(r.isOpen());
    EXPECT_FALSE(openPort(r, "COM0"));  // names no device
}

TEST(Comio, DevicePaths) {
    struct {
        const char* name;
        const char* path;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM2", "/dev/ttyS1"},
        {"com12", "/dev/ttyS11"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/pts/17", "/dev/pts/17"},
        {"ttyACM0", "/dev/ttyACM0"},
        {"COM0", ""},
        {"", ""},
        {"../etc/passwd", ""},
        {"COMX", "/dev/COMX"},
    };
    for (const auto& c : cases) EXPECT_EQ(vrx::COMIO::devicePath(c.name), c.path) << c.name;
    EXPECT_EQ(vrx::COMIO::logStem("COM2"), "COM2");
    EXPECT_EQ(vrx::COMIO::logStem("/dev/pts/3"), "3");
}

}  // namespace
