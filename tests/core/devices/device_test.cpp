// The decoder contract (lines split across reads, rejected lines, the event date), the two simple
// decoders, the panel list and the choice of decoder by panel type.
#include <cstdio>
#include <typeinfo>

#include "device_testutil.h"
#include "devices/factory.h"
#include "devices/galaxy.h"
#include "devices/panels.h"
#include "devices/pc4020.h"
#include "devices/pc6010.h"
#include "devices/simple.h"
#include "devices/ustrlist.h"
#include "platform/app_error.h"
#include "text/cz.h"

namespace vrx::test {
namespace {

using ::testing::ElementsAre;

using DeviceContract = DeviceTest;

TEST_F(DeviceContract, LineSplitAcrossReadsIsAssembledIntoOneEvent) {
    auto dev = make<UNSPEC>(day(1, 1, 2024));
    EXPECT_TRUE(run(*dev, *reader, "ALARM ZO").empty());
    EXPECT_THAT(run(*dev, *reader, "NA 5\r\nPORUCHA\n"),
                ElementsAre(Event{day(15, 3, 2024), "ALARM ZONA 5"}, Event{day(15, 3, 2024), "PORUCHA"}));
    EXPECT_EQ(reader->lineLength(), 0);
}

TEST_F(DeviceContract, NoLineNoEvent) {
    auto dev = make<UNSPEC>(day(1, 1, 2024));
    long date = -5;
    std::string out = "unchanged";
    EXPECT_FALSE(dev->nextEvent(date, out));
    EXPECT_EQ(date, -5);
    EXPECT_EQ(out, "unchanged");
}

TEST_F(DeviceContract, ConstructionKeepsTheDateAndTheReservedValue) {
    auto dev = make<COMMONDEV>(day(2, 2, 2022));
    EXPECT_EQ(dev->currentDate(), day(2, 2, 2022));
    EXPECT_EQ(dev->reserved(), 0);
    EXPECT_EQ(dev->reader(), reader);
}

TEST_F(DeviceContract, PortOperationsGoToTheReaderAndTheDestructorClosesIt) {
    auto dev = make<UNSPEC>(day(1, 1, 2024));
    ScriptedReader* r = reader;
    EXPECT_TRUE(dev->openPort("COM2", 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_EQ(r->opens, 1);
    EXPECT_EQ(r->openedName, "COM2");
    EXPECT_TRUE(r->isOpen());
    r->openResult = false;
    r->close();
    EXPECT_FALSE(dev->openPort("COM2", 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_TRUE(dev->closePort());
    int closes = 0;
    r->closeCounter = &closes;
    dev.reset();
    EXPECT_EQ(closes, 1);
}

TEST_F(DeviceContract, WithoutReaderNothingIsReadAndClosingSucceeds) {
    UNSPEC dev(day(1, 1, 2024), 0, nullptr);
    long date = 0;
    std::string out;
    EXPECT_FALSE(dev.nextEvent(date, out));
    EXPECT_TRUE(dev.closePort());
    EXPECT_FALSE(dev.openPort("COM1", 9600, 8, 0, 0, 2048, 1024, false, false));
}

// --- UNSPEC ---------------------------------------------------------------------------------------

using Unspec = DeviceTest;

TEST_F(Unspec, TrimsSpacesCrLfAndDatesToday) {
    auto dev = make<UNSPEC>(day(1, 1, 2020));
    EXPECT_THAT(run(*dev, *reader, "  ALARM ZONA 5  \r\n"),
                ElementsAre(Event{day(15, 3, 2024), "ALARM ZONA 5"}));
    // Today even when the stored date lies ahead; nothing is written.
    auto later = make<UNSPEC>(day(1, 1, 2030));
    EXPECT_THAT(run(*later, *reader, "X\n"), ElementsAre(Event{day(15, 3, 2024), "X"}));
    EXPECT_EQ(storedDate(), "");
}

TEST_F(Unspec, DropsTabsFormFeedsAndZeroBytes) {
    auto dev = make<UNSPEC>(day(1, 1, 2024));
    EXPECT_THAT(texts(run(*dev, *reader,
                          std::string("A\tB\x0c"
                                      "C\0D\r\n",
                                      9))),
                ElementsAre("ABCD"));
}

TEST_F(Unspec, BlankLineIsDroppedAndTheNextLineStandsAlone) {
    auto dev = make<UNSPEC>(day(1, 1, 2024));
    EXPECT_THAT(texts(run(*dev, *reader, "     \n\nPORUCHA SITE\n")), ElementsAre("PORUCHA SITE"));
    EXPECT_TRUE(run(*dev, *reader, "  \n").empty());
    EXPECT_EQ(reader->lineLength(), 0);
    // A long blank line held back would cut the next line short.
    std::string next(100, 'x');
    EXPECT_THAT(texts(run(*dev, *reader, std::string(150, ' ') + "\n" + next + "\n")), ElementsAre(next));
}

TEST_F(Unspec, LongLineArrivesInPiecesOf200) {
    auto dev = make<UNSPEC>(day(1, 1, 2024));
    std::string line(450, 'x');
    auto events = run(*dev, *reader, line + "\n");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].text.size(), 200u);
    EXPECT_EQ(events[1].text.size(), 200u);
    EXPECT_EQ(events[2].text.size(), 50u);
}

// --- COMMONDEV -------------------------------------------------------------------------------------

using CommonDev = DeviceTest;

TEST_F(CommonDev, EndAndIgnoredCharacterComeFromTheSettings) {
    struct Case {
        const char* endChar;  // nullptr: key absent
        const char* ignoChar;
        std::string input;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {nullptr, nullptr, "ALARM\r\nX\n", {"ALARM\r", "X"}},
        {"13", "10", "ALARM\r\nPORUCHA\r\n", {"ALARM", "PORUCHA"}},
        // Both cleared in the dialog: only byte 255 or 200 characters end a line.
        {"-1",
         "-1",
         "A\r\nB\xff"
         "C\n",
         {"A\r\nB"}},
        {"59", nullptr, "A;B\n;", {"A", "B\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const INISOUBOR& ini = settings();
        if (c.endChar) ini.writeString("USTREDNA", "EndChar", c.endChar);
        if (c.ignoChar) ini.writeString("USTREDNA", "IgnoChar", c.ignoChar);
        auto dev = make<COMMONDEV>(day(1, 1, 2020));
        auto events = run(*dev, *reader, c.input);
        EXPECT_EQ(texts(events), c.lines);
        for (const Event& e : events) EXPECT_EQ(e.date, day(15, 3, 2024));
        std::remove(ini.path().c_str());
    }
}

TEST_F(CommonDev, KeepsTheLineUnchanged) {
    auto dev = make<COMMONDEV>(day(1, 1, 2020));
    EXPECT_THAT(texts(run(*dev, *reader, "  a  b  \n\n")), ElementsAre("  a  b  ", ""));
}

// --- USTRLIST --------------------------------------------------------------------------------------

using PanelList = DeviceTest;

TEST_F(PanelList, FixedEntriesInOrder) {
    USTRLIST list;
    ASSERT_EQ(list.count(), 30);
    struct Row {
        int index;
        const char* name;
        int type;
        int capacity;
    };
    const Row rows[] = {
        {0, "APLEX", 2, 0},
        {1, "CONCEPT", 8, 0},
        {2, "DIGIPLEX", 10, 0},
        {3, "ESSER", 11, 0},
        {4, "GALAXY 18", 1, 120},
        {7, "GALAXY 500", 1, 400},
        {8, "GALAXY 504", 1, 500},
        {10, "GALAXY 504 v.3.0", 1, 800},
        {16, "GALAXY 504 v.4.0", 1, 999},
        {17, "GALAXY 512 v.4.0", 1, 999},
        {18, "LOOP 500", 7, 0},
        {19, "MHU 109", 0, 0},
        {20, "Obecné zařízení"_cz, 3, 0},
        {21, "ORBIT PRO", 6, 0},
        {24, "PC 4020 V3.0", 4, 1500},
        {25, "PC 4020 V3.3", 5, 1500},
        {28, "PC 5020", 0, 0},
        {29, "PC 6010", 9, 1000},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        int type = -1, capacity = -1;
        const char* name = nullptr;
        ASSERT_TRUE(list.entry(r.index, type, name, capacity));
        EXPECT_STREQ(name, r.name);
        EXPECT_EQ(type, r.type);
        EXPECT_EQ(capacity, r.capacity);
    }
    int type = 0, capacity = 0;
    const char* name = nullptr;
    EXPECT_FALSE(list.entry(30, type, name, capacity));
    EXPECT_FALSE(list.entry(-1, type, name, capacity));
    // Every Galaxy entry is of the Galaxy family, and every name is distinct.
    for (int i = 0; i < list.count(); ++i) {
        ASSERT_TRUE(list.entry(i, type, name, capacity));
        EXPECT_EQ(std::string_view(name).starts_with("GALAXY"), type == kPanelGalaxy) << name;
        for (int j = 0; j < i; ++j) EXPECT_STRNE(name, list.at(j)->name);
    }
}

TEST_F(PanelList, ChosenEntryFromTheSettings) {
    {
        USTRLIST fresh;
        EXPECT_EQ(fresh.chosenIndex(), 8);
        EXPECT_STREQ(fresh.chosenName(), "GALAXY 504");
        EXPECT_EQ(fresh.chosenType(), kPanelGalaxy);
        EXPECT_EQ(fresh.chosenCapacity(), 500);
    }
    settings().writeNumber("USTREDNA", "Ustredna", 20);
    {
        USTRLIST list;
        EXPECT_STREQ(list.chosenName(), "Obecné zařízení"_cz);
        EXPECT_EQ(list.chosenType(), kPanelCommon);
    }
    for (int stored : {-1, 30, 1000}) {
        settings().writeNumber("USTREDNA", "Ustredna", stored);
        USTRLIST list;
        EXPECT_EQ(list.chosenIndex(), -1) << stored;
        EXPECT_STREQ(list.chosenName(), "???");
        EXPECT_EQ(list.chosenType(), 0);
        EXPECT_EQ(list.chosenCapacity(), 0);
    }
}

TEST_F(PanelList, SetChosen) {
    USTRLIST list;
    list.setChosen(25);
    EXPECT_STREQ(list.chosenName(), "PC 4020 V3.3");
    EXPECT_EQ(list.chosenType(), kPanelPc4020V33);
    EXPECT_EQ(list.chosenCapacity(), 1500);
    list.setChosen(-1);
    EXPECT_STREQ(list.chosenName(), "???");
    list.setChosen(99);
    EXPECT_EQ(list.chosenIndex(), -1);
}

// --- The decoder for a panel type ----------------------------------------------------------------

using Factory = DeviceTest;

TEST_F(Factory, DecoderAndReaderSettingsByPanelType) {
    struct Case {
        int type;
        bool atis;
        const std::type_info& decoder;
        std::string input;  // shows the end character and the ignored set
        std::vector<std::string> lines;
    };
    const std::string zeros(
        "A\x0c\x00"
        "B\r\nC\n",
        8);
    const Case cases[] = {
        {0, false, typeid(UNSPEC), std::string("A\tB\x0c\x00\r\n", 7), {"AB"}},
        {1, false, typeid(GALAXY), "A\tB\r\n", {"A\tB"}},
        {1, true, typeid(ATIS), "A\tB\r\n", {"A\tB"}},
        {2, false, typeid(APLEX), zeros, {}},
        {3, false, typeid(COMMONDEV), "A\r\n", {"A\r"}},
        {4, false, typeid(PC4020V30), "A\x0c\r\n", {"A\x0c"}},
        {5, false, typeid(PC4020V33), "A\x0c\r\n", {"A\x0c"}},
        {6, false, typeid(ORBIT), zeros, {}},
        {7, false, typeid(LOOP500), zeros, {"", ""}},
        {8, false, typeid(CONCEPT), "A\r\nB\rC", {"", ""}},
        {9, false, typeid(PC_6010), "A\x0c\r\n", {"A\x0c"}},
        {10, false, typeid(DIGIPLEX), "A\x0c\r\n", {""}},
        {11, false, typeid(ESSER), zeros, {"AB", "C"}},
        {12, false, typeid(UNSPEC), "A\n", {"A"}},
        {-1, false, typeid(UNSPEC), "A\n", {"A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ScriptedReader* r = nullptr;
        bool askedForBuffer = true;
        DeviceSources sources;
        sources.lineReader = [&](bool hardwareBuffer) {
            askedForBuffer = hardwareBuffer;
            auto scripted = std::make_unique<ScriptedReader>();
            r = scripted.get();
            return scripted;
        };
        sources.cardUsers = [this] { return cardTable(); };
        auto dev = createDevice(c.type, c.atis, false, day(1, 3, 2024), sources);
        ASSERT_TRUE(dev);
        EXPECT_EQ(typeid(*dev), c.decoder);
        EXPECT_FALSE(askedForBuffer);
        EXPECT_EQ(dev->reader(), r);
        if (c.type == 2 || c.type == 6) {
            // APLEX and ORBIT cut the first characters off; the line itself shows in the reader.
            r->feed(c.input);
            ASSERT_EQ(r->readLine(), 2);
            EXPECT_EQ(std::string(r->lineBuffer(), r->lineLength()), "AB");
            r->setLineLength(0);
            ASSERT_EQ(r->readLine(), 2);
            EXPECT_EQ(std::string(r->lineBuffer(), r->lineLength()), "C");
        } else {
            EXPECT_EQ(texts(run(*dev, *r, c.input)), c.lines);
        }
    }
}

TEST_F(Factory, HardwareBufferFlagChoosesTheReader) {
    bool asked = false;
    DeviceSources sources;
    sources.lineReader = [&](bool hardwareBuffer) {
        asked = hardwareBuffer;
        return std::make_unique<ScriptedReader>();
    };
    auto dev = createDevice(kPanelAplex, false, true, day(1, 3, 2024), sources);
    EXPECT_TRUE(asked);
    EXPECT_FALSE(makeLineReader(false)->isHardwareBuffer());
    EXPECT_TRUE(makeLineReader(true)->isHardwareBuffer());
    EXPECT_NE(dynamic_cast<DIRECT_LINE_READER*>(makeLineReader(false).get()), nullptr);
}

TEST_F(Factory, CardUserTableOpenedOnlyByDecodersThatInsertNames) {
    DeviceSources sources;
    sources.lineReader = [](bool) { return std::make_unique<ScriptedReader>(); };
    sources.cardUsers = [this] { return cardTable(); };
    for (int type = 0; type <= 11; ++type) {
        for (bool atis : {false, true}) {
            cards->opens = 0;
            auto dev = createDevice(type, atis, false, day(1, 3, 2024), sources);
            bool needs = (type == kPanelGalaxy && !atis) || type == kPanelPc4020V30 ||
                         type == kPanelPc4020V33 || type == kPanelPc6010;
            EXPECT_EQ(cards->opens, needs ? 1 : 0) << type << " " << atis;
        }
    }
}

TEST_F(Factory, CardUserTableThatCannotBeOpenedFailsConstruction) {
    cards->openResult = false;
    DeviceSources sources;
    sources.lineReader = [](bool) { return std::make_unique<ScriptedReader>(); };
    sources.cardUsers = [this] { return cardTable(); };
    for (int type : {1, 4, 5, 9}) {
        try {
            createDevice(type, false, false, day(1, 3, 2024), sources);
            ADD_FAILURE() << "type " << type << " was created";
        } catch (const AppError& e) {
            EXPECT_EQ(e.message, 6) << type;
        }
    }
    EXPECT_NO_THROW(createDevice(1, true, false, day(1, 3, 2024), sources));
    // No table at all counts as one that cannot be opened.
    sources.cardUsers = [] { return std::unique_ptr<CardUserTable>(); };
    EXPECT_THROW(createDevice(9, false, false, day(1, 3, 2024), sources), AppError);
}

TEST_F(Factory, DateGoesToTheDecoder) {
    DeviceSources sources;
    sources.lineReader = [](bool) { return std::make_unique<ScriptedReader>(); };
    sources.cardUsers = [this] { return cardTable(); };
    EXPECT_EQ(createDevice(kPanelGalaxy, false, false, day(7, 7, 2023), sources)->currentDate(),
              day(7, 7, 2023));
    // The 20-day rule of the Esser decoder replaces a stale date.
    EXPECT_EQ(createDevice(kPanelEsser, false, false, day(7, 7, 2023), sources)->currentDate(),
              day(15, 3, 2024));
}

}  // namespace
}  // namespace vrx::test
