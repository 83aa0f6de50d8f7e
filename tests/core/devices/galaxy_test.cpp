// The Galaxy family: date lines in both forms, month words, name insertion.
#include "devices/galaxy.h"
#include "device_testutil.h"
#include "platform/app_error.h"
#include "text/cz.h"

namespace vrx::test {
namespace {

using ::testing::ElementsAre;

class Galaxy : public DeviceTest {
  protected:
    std::unique_ptr<GALAXY> galaxy(long date) { return make<GALAXY>(date, cardTable()); }
    // The history header with day, month word and year at columns 26, 29 and 33.
    static std::string header(std::string_view start, size_t dayCol, std::string_view date) {
        return cols({{0, start}, {dayCol, date}, {dayCol + 12, ")"}});
    }
};

TEST_F(Galaxy, DateLines) {
    struct Case {
        std::string line;
        long expected;  // current event date afterwards; the start is 1.3.2024
    };
    const long start = day(1, 3, 2024);
    const Case cases[] = {
        // The fourth character a digit: day at 2, month word at 6, year at 10.
        {"PO 15 BRE 2024 10:00 ZAPNUTO", day(15, 3, 2024)},
        // The fourth character not a digit: one column further right.
        {" PO 15 BRE 2024 10:00", day(15, 3, 2024)},
        {" ST  5 DUB 2024", day(5, 4, 2024)},
        {"ST  5 DUB 2024", start},  // read one column off: a month word "U" and year 24
        {"PO 15 CRC 2024 ", day(15, 7, 2024)},
        {"PO 15 CRN 2024 ", day(15, 6, 2024)},
        {"PO 15 LED 2025 ", day(15, 1, 2025)},
        {"PO 15 LIS 2024 ", day(15, 11, 2024)},
        {"PO 15 KVE 2024 ", day(15, 5, 2024)},
        {"PO 15 SRP 2024 ", day(15, 8, 2024)},
        {"PO 15 ZAR 2024 ", day(15, 9, 2024)},
        {"PO 15 RIJ 2024 ", day(15, 10, 2024)},
        {"PO 15 PRO 2024 ", day(15, 12, 2024)},
        {"PO 15 XYZ 2024 ", start},            // month word not recognised
        {"PO 15 bre 2024 ", start},            // lower case is not a month word
        {"PO 30 UNO 2024 ", start},            // no such day
        {"PO 29 UNO 2024 ", start},            // 29.2.2024 lies before 1.3.2024
        {"PO 00 BRE 2024 ", start},            // day 0
        {"PO 15 BRE 0000 ", start},            // year 0
        {"PO 15 BRE 2024", day(15, 3, 2024)},  // 14 characters
        {"PO 15 BRE 202", start},              // 13 characters are too short
        {header("   HIST.ON-LINE (", 26, "15 BRE 2024"), day(15, 3, 2024)},
        {header("   HIST.ON-LINE (", 26, " 2 LED 2025"), day(2, 1, 2025)},
        {header("   HIST.ON-LINE (", 26, "15 BR").substr(0, 37), start},  // shorter than 38
        {header("   HIST.ONLINE  (", 26, "15 BRE 2024"), start},
        {"", start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = galaxy(start);
        auto events = run(*dev, *reader, c.line + "\r\n");
        // The date line itself is stored, unchanged, with the date it carries.
        EXPECT_THAT(events, ElementsAre(Event{c.expected, c.line}));
        EXPECT_EQ(dev->currentDate(), c.expected);
    }
}

TEST_F(Galaxy, DateMovesOnlyForwardAndIsRecorded) {
    auto dev = galaxy(day(10, 3, 2024));
    auto events = run(*dev, *reader,
                      "ALARM ZONA 1\n"
                      "PO 11 BRE 2024\n"
                      "ALARM ZONA 2\n"
                      "UT  5 BRE 2024\n"
                      "ALARM ZONA 3\n");
    EXPECT_THAT(
        events,
        ElementsAre(Event{day(10, 3, 2024), "ALARM ZONA 1"}, Event{day(11, 3, 2024), "PO 11 BRE 2024"},
                    Event{day(11, 3, 2024), "ALARM ZONA 2"}, Event{day(11, 3, 2024), "UT  5 BRE 2024"},
                    Event{day(11, 3, 2024), "ALARM ZONA 3"}));
    EXPECT_EQ(storedDate(), "11.03.2024");
}

TEST_F(Galaxy, EarlierDateLeavesTheStoredDateAlone) {
    auto dev = galaxy(day(10, 3, 2024));
    run(*dev, *reader, "PO 09 BRE 2024\nPO 10 BRE 2024\n");
    EXPECT_EQ(dev->currentDate(), day(10, 3, 2024));
    EXPECT_EQ(storedDate(), "");
}

TEST_F(Galaxy, NameInsertion) {
    cards->users[7] = {"Jan", "Novák"_cz};
    cards->users[123] = {"Eva", "Malá"_cz};
    struct Case {
        std::string line;
        std::string text;
    };
    const Case cases[] = {
        {"12:00 PRISTUP UZ. 007 VSTUP M11", "12:00 PRISTUP UZ. 007 Jan Novák VSTUP M11"_cz},
        {"12:00 PRISTUP UZ. 123 VSTUP M11", "12:00 PRISTUP UZ. 123 Eva Malá VSTUP M11"_cz},
        // Only the first marker counts.
        {"12:00 UZ. 123 A UZ. 007 B", "12:00 UZ. 123 Eva Malá A UZ. 007 B"_cz},
        // The marker at the end: the name follows the padded number.
        {"ODCHOD UZ. 7", "ODCHOD UZ. 7   Jan Novák "_cz},
        {"12:00 PRISTUP UZ. 008 VSTUP M11", "12:00 PRISTUP UZ. 008 VSTUP M11"},  // no such code
        {"12:00 PRISTUP UZ. XYZ VSTUP", "12:00 PRISTUP UZ. XYZ VSTUP"},          // no number
        {"12:00 PRISTUP UZ.007 VSTUP", "12:00 PRISTUP UZ.007 VSTUP"},            // no marker
    };
    setInsertNames(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = galaxy(day(1, 3, 2024));
        EXPECT_THAT(texts(run(*dev, *reader, c.line + "\r\n")), ElementsAre(c.text));
    }
}

TEST_F(Galaxy, MarkerEndsTheLineWhetherOrNotTheCodeIsKnown) {
    setInsertNames(true);
    // A date line with a marker whose code is unknown: no name and no date.
    auto dev = galaxy(day(1, 3, 2024));
    EXPECT_THAT(run(*dev, *reader, "PO 15 BRE 2024 UZ. 008 X\n"),
                ElementsAre(Event{day(1, 3, 2024), "PO 15 BRE 2024 UZ. 008 X"}));
    // Without a marker, date recognition follows.
    EXPECT_THAT(run(*dev, *reader, "PO 15 BRE 2024 UZ.008 X\n"),
                ElementsAre(Event{day(15, 3, 2024), "PO 15 BRE 2024 UZ.008 X"}));
}

TEST_F(Galaxy, InsertNamesOffChangesNoLine) {
    cards->users[7] = {"Jan", "Novák"_cz};
    auto dev = galaxy(day(1, 3, 2024));
    EXPECT_THAT(run(*dev, *reader, "PO 15 BRE 2024 UZ. 007 X\n12:00 UZ. 007 VSTUP\n"),
                ElementsAre(Event{day(15, 3, 2024), "PO 15 BRE 2024 UZ. 007 X"},
                            Event{day(15, 3, 2024), "12:00 UZ. 007 VSTUP"}));
    EXPECT_EQ(cards->finds, 0);
}

TEST_F(Galaxy, InsertedLineIsCutTo200Characters) {
    cards->users[7] = {std::string(30, 'J'), std::string(30, 'N')};
    setInsertNames(true);
    auto dev = galaxy(day(1, 3, 2024));
    std::string line = "12:00 UZ. 007 " + std::string(185 - 14, 'x');
    ASSERT_EQ(line.size(), 185u);
    auto events = run(*dev, *reader, line + "\n");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].text, "12:00 UZ. 007 " + std::string(30, 'J') + " " + std::string(30, 'N') + " " +
                                  std::string(200 - 14 - 62, 'x'));
}

TEST_F(Galaxy, CardUserTableMustOpen) {
    cards->openResult = false;
    try {
        galaxy(day(1, 3, 2024));
        ADD_FAILURE() << "constructed";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message, 6);
    }
}

using Atis = DeviceTest;

TEST_F(Atis, DateLines) {
    struct Case {
        std::string line;
        long expected;
    };
    const long start = day(1, 3, 2024);
    const Case cases[] = {
        {"Po 15 Bre 2024 10:00", day(15, 3, 2024)},
        {" Po 15 Bre 2024 10:00", day(15, 3, 2024)},
        {"Po 15 Cer 2024 ", day(15, 6, 2024)},
        {"Po 15 Cec 2024 ", day(15, 7, 2024)},
        {"Po 15 CRN 2024 ", day(15, 7, 2024)},  // the Galaxy spelling means July here
        {"Po 15 Led 2025 ", day(15, 1, 2025)},
        {"Po 15 LED 2025 ", day(15, 11, 2025)},  // upper-case second letter: November
        {"Po 15 Lis 2024 ", day(15, 11, 2024)},
        {"Po 15 bre 2024 ", start},
        {cols({{0, "   DENIK  O/L.  ("}, {27, "15 Bre 2024"}, {38, ")"}}), day(15, 3, 2024)},
        // The Galaxy history header is not an Atis date line.
        {cols({{0, "   HIST.ON-LINE ("}, {26, "15 Bre 2024"}, {38, ")"}}), start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = make<ATIS>(start);
        EXPECT_THAT(run(*dev, *reader, c.line + "\n"), ElementsAre(Event{c.expected, c.line}));
    }
}

TEST_F(Atis, NoNameInsertion) {
    setInsertNames(true);
    auto dev = make<ATIS>(day(1, 3, 2024));
    EXPECT_THAT(run(*dev, *reader, "Po 15 Bre 2024 UZ. 007 X\n"),
                ElementsAre(Event{day(15, 3, 2024), "Po 15 Bre 2024 UZ. 007 X"}));
}

}  // namespace
}  // namespace vrx::test
