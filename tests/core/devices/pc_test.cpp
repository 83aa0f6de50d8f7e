// The PC 4020 (V3.0, V3.3) and PC 6010 decoders: continued lines, dates, rearranged text, names.
#include "device_testutil.h"
#include "devices/pc4020.h"
#include "devices/pc6010.h"
#include "platform/app_error.h"
#include "text/cz.h"

namespace vrx::test {
namespace {

using ::testing::ElementsAre;

// A PC 4020 line: event 0-14, MM.DD.YY at 15, time at 24-30, text from 32.
const std::string kGranted =
    cols({{0, "Access Granted "}, {15, "03.15.24"}, {24, "10:15am"}, {32, "Door 01"}});

class Pc4020 : public DeviceTest {
  protected:
    std::unique_ptr<PC4020V30> v30(long date) { return make<PC4020V30>(date, cardTable()); }
    std::unique_ptr<PC4020V33> v33(long date) { return make<PC4020V33>(date, cardTable()); }
};

TEST_F(Pc4020, DatesAndText) {
    struct Case {
        std::string line;
        std::string text;
        long date;  // the start is 1.3.2024
    };
    const long start = day(1, 3, 2024);
    const Case cases[] = {
        {kGranted, "10:15amAccess Granted Door 01", day(15, 3, 2024)},
        {"  \r " + kGranted + "  \r ", "10:15amAccess Granted Door 01", day(15, 3, 2024)},
        {cols({{0, "Zone Alarm"}, {15, "12.31.24"}, {24, "11:59pm"}, {32, "Zone 005"}}),
         "11:59pmZone Alarm     Zone 005", day(31, 12, 2024)},
        // An earlier date is still a date: the text is rearranged, the date stays.
        {cols({{0, "Zone Alarm"}, {15, "02.01.24"}, {24, "09:00am"}}), "09:00amZone Alarm     ", start},
        // Month 13, 31 February, letters: the text stays as received (trimmed), the date too.
        {cols({{0, "Zone Alarm"}, {15, "13.15.24"}, {24, "10:15am"}, {32, "Zone 5"}}),
         cols({{0, "Zone Alarm"}, {15, "13.15.24"}, {24, "10:15am"}, {32, "Zone 5"}}), start},
        {cols({{0, "Zone Alarm"}, {15, "02.31.24"}, {24, "10:15am"}}),
         cols({{0, "Zone Alarm"}, {15, "02.31.24"}, {24, "10:15am"}}), start},
        {"System Trouble AC Fail", "System Trouble AC Fail", start},
        // The date field cut short by the end of the line.
        {"Zone Alarm     03.1", "Zone Alarm     03.1", start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = v30(start);
        EXPECT_THAT(run(*dev, *reader, c.line + "\r\n"), ElementsAre(Event{c.date, c.text}));
    }
}

TEST_F(Pc4020, NewerDateIsRecorded) {
    auto dev = v30(day(1, 3, 2024));
    run(*dev, *reader, kGranted + "\r\n");
    EXPECT_EQ(storedDate(), "15.03.2024");
    // An older one later changes nothing.
    std::remove(settings().path().c_str());
    run(*dev, *reader, cols({{0, "Zone Alarm"}, {15, "03.14.24"}, {24, "09:00am"}}) + "\r\n");
    EXPECT_EQ(dev->currentDate(), day(15, 3, 2024));
    EXPECT_EQ(storedDate(), "");
}

TEST_F(Pc4020, ContinuedLines) {
    struct Case {
        std::string input;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        // The second line's first 14 characters repeat a header and are dropped with the "-".
        {"Access Granted 03.15.24 10:15am Door 01 -\r\n03/15 10:15am Card 123 User 0007\r\n",
         {"10:15amAccess Granted Door 01 Card 123 User 0007"}},
        // "- " is no continuation mark.
        {"Access Granted 03.15.24 10:15am Door 01 - \r\nZone Alarm\r\n",
         {"10:15amAccess Granted Door 01 -", "Zone Alarm"}},
        // A second line shorter than the header leaves only the first.
        {"Access Granted 03.15.24 10:15am Door 01-\r\nshort\r\n", {"10:15amAccess Granted Door 01"}},
        // A blank second line too.
        {"Access Granted 03.15.24 10:15am Door 01-\r\n     \r\nZone Alarm\r\n",
         {"10:15amAccess Granted Door 01", "Zone Alarm"}},
        // A joined line is not continued again.
        {"A-\r\n0123456789ABCDB-\r\nC\r\n", {"AB-", "C"}},
        // Blank lines are dropped.
        {"   \r\n\r\nZone Alarm\r\n", {"Zone Alarm"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        auto dev = v30(day(1, 3, 2024));
        EXPECT_EQ(texts(run(*dev, *reader, c.input)), c.texts);
        EXPECT_FALSE(dev->continuationPending());
    }
}

TEST_F(Pc4020, BlankLineIsDropped) {
    auto dev = v30(day(1, 3, 2024));
    EXPECT_TRUE(run(*dev, *reader, std::string(150, ' ') + "\r\n").empty());
    EXPECT_EQ(reader->lineLength(), 0);
    auto dev6010 = make<PC_6010>(day(1, 3, 2024), cardTable());
    EXPECT_TRUE(run(*dev6010, *reader, std::string(150, ' ') + "\r\n").empty());
    EXPECT_EQ(reader->lineLength(), 0);
}

TEST_F(Pc4020, ContinuationWaitsForTheNextLine) {
    auto dev = v30(day(1, 3, 2024));
    EXPECT_TRUE(run(*dev, *reader, "Access Granted 03.15.24 10:15am Door 01 -\r\n").empty());
    EXPECT_TRUE(dev->continuationPending());
    // The first half stays in the reader until the rest arrives, even split across reads.
    EXPECT_EQ(reader->lineLength(), 41);
    EXPECT_TRUE(run(*dev, *reader, "03/15 10:1").empty());
    EXPECT_THAT(texts(run(*dev, *reader, "5am User 0007\r\n")),
                ElementsAre("10:15amAccess Granted Door 01 User 0007"));
}

TEST_F(Pc4020, ContinuationOfAFullLine) {
    // A 200-character line ending in "-" is joined with nothing: the reader cannot grow it further.
    auto dev = v30(day(1, 3, 2024));
    std::string line = "System Message " + std::string(184, 'x') + "-";
    ASSERT_EQ(line.size(), 200u);
    EXPECT_THAT(texts(run(*dev, *reader, line + "tail\r\n")), ElementsAre(line.substr(0, 199), "tail"));
}

// Name insertion with the code at 65 and the kept text from 82 (V3.0) or one column later (V3.3).
TEST_F(Pc4020, NameInsertion) {
    cards->users[7] = {"Jan", "Novák"_cz};
    const std::string line30 = cols({{0, "Access Granted "},
                                     {15, "03.15.24"},
                                     {24, "10:15am"},
                                     {32, "Door 01 Module 01"},
                                     {65, "0007"},
                                     {82, "Card 123"}});
    const std::string line33 = cols({{0, "Access Granted "},
                                     {15, "03.15.24"},
                                     {24, "10:15am"},
                                     {32, "Door 01 Module 01"},
                                     {66, "0007"},
                                     {83, "Card 123"}});
    const std::string head = "10:15amAccess Granted Door 01 Module 01" + std::string(16, ' ');
    struct Case {
        bool v33;
        bool insert;
        std::string line;
        std::string text;
    };
    const Case cases[] = {
        {false, true, line30, head + "0007 Jan Novák Card 123"_cz},
        {true, true, line33, head + " 0007 Jan Novák Card 123"_cz},
        {false, false, line30, head + "0007" + std::string(13, ' ') + "Card 123"},
        // The code column of the other version holds no digits.
        {false, true, line33, head + " 0007" + std::string(13, ' ') + "Card 123"},
        // Unknown code.
        {false, true,
         cols({{0, "Access Granted "},
               {15, "03.15.24"},
               {24, "10:15am"},
               {32, "Door 01 Module 01"},
               {65, "0008"},
               {82, "Card 123"}}),
         head + "0008" + std::string(13, ' ') + "Card 123"},
        // The line ends before the kept text.
        {false, true,
         cols({{0, "Access Granted "},
               {15, "03.15.24"},
               {24, "10:15am"},
               {32, "Door 01 Module 01"},
               {65, "7"}}),
         head + "7 Jan Novák "_cz},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        setInsertNames(c.insert);
        std::unique_ptr<DEVICE> dev;
        if (c.v33)
            dev = v33(day(1, 3, 2024));
        else
            dev = v30(day(1, 3, 2024));
        EXPECT_THAT(run(*dev, *reader, c.line + "\r\n"), ElementsAre(Event{day(15, 3, 2024), c.text}));
    }
}

TEST_F(Pc4020, NoNamesWithoutAValidDate) {
    cards->users[7] = {"Jan", "Novák"_cz};
    setInsertNames(true);
    auto dev = v30(day(1, 3, 2024));
    std::string line = cols({{0, "Access Granted "}, {15, "13.15.24"}, {65, "0007"}, {82, "Card 123"}});
    EXPECT_THAT(texts(run(*dev, *reader, line + "\r\n")), ElementsAre(line));
    EXPECT_EQ(cards->finds, 0);
}

TEST_F(Pc4020, InsertedTextIsCutTo200) {
    cards->users[7] = {std::string(30, 'J'), std::string(30, 'N')};
    setInsertNames(true);
    auto dev = v30(day(1, 3, 2024));
    std::string line = cols({{0, "Access Granted "},
                             {15, "03.15.24"},
                             {24, "10:15am"},
                             {65, "0007"},
                             {82, std::string(118, 'k')}});
    ASSERT_EQ(line.size(), 200u);
    auto events = run(*dev, *reader, line + "\r\n");
    ASSERT_EQ(events.size(), 1u);
    // The line with the name is cut to 200 before it is rearranged (which drops the date columns).
    std::string withName = line.substr(0, 69) + " " + std::string(30, 'J') + " " + std::string(30, 'N') +
                           " " + std::string(200 - 69 - 63, 'k');
    EXPECT_EQ(events[0].text, withName.substr(24, 7) + withName.substr(0, 15) + withName.substr(32));
    EXPECT_EQ(events[0].text.size(), 190u);
}

TEST_F(Pc4020, CardUserTableMustOpen) {
    cards->openResult = false;
    EXPECT_THROW(v30(day(1, 3, 2024)), AppError);
    EXPECT_THROW(v33(day(1, 3, 2024)), AppError);
}

// --- PC 6010 ---------------------------------------------------------------------------------------

class Pc6010 : public DeviceTest {
  protected:
    std::unique_ptr<PC_6010> pc6010(long date) { return make<PC_6010>(date, cardTable()); }
};

// Event 0-14, YY.MM.DD at 15, time from 24, text from 31.
const std::string kZone = cols({{0, "Alarm zona 12"}, {15, "24.03.15"}, {24, "10:15"}, {31, "Budova A"}});
const std::string kSystem =
    cols({{0, "OBLAST SYSTEMU"}, {16, "24.03.16"}, {25, "10:20"}, {32, "Porucha site"}});

TEST_F(Pc6010, DatesAndText) {
    struct Case {
        std::string line;
        std::string text;
        long date;
    };
    const long start = day(1, 3, 2024);
    const std::string shifted = cols({{0, "Alarm zona 12"}, {16, "24.03.15"}, {25, "10:15"}});
    const Case cases[] = {
        {kZone, "10:15  Alarm zona 12  Budova A", day(15, 3, 2024)},
        {"   " + kZone + " \r", "10:15  Alarm zona 12  Budova A", day(15, 3, 2024)},
        // System-area lines carry the date one column further right.
        {kSystem, "10:20  OBLAST SYSTEMU Porucha site", day(16, 3, 2024)},
        {shifted, shifted, start},
        {cols({{0, "Alarm zona 12"}, {15, "24.13.15"}, {24, "10:15"}}),
         cols({{0, "Alarm zona 12"}, {15, "24.13.15"}, {24, "10:15"}}), start},
        {cols({{0, "Alarm zona 12"}, {15, "24.02.30"}}), cols({{0, "Alarm zona 12"}, {15, "24.02.30"}}),
         start},
        {cols({{0, "Alarm zona 12"}, {15, "24.02.10"}, {24, "08:00"}}), "08:00Alarm zona 12  ", start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = pc6010(start);
        EXPECT_THAT(run(*dev, *reader, c.line + "\r\n"), ElementsAre(Event{c.date, c.text}));
    }
    auto dev = pc6010(start);
    run(*dev, *reader, kZone + "\n");
    EXPECT_EQ(storedDate(), "15.03.2024");
}

TEST_F(Pc6010, ContinuationJoinsTheWholeNextLine) {
    auto dev = pc6010(day(1, 3, 2024));
    EXPECT_TRUE(run(*dev, *reader, kZone + ", -\r\n").empty());
    EXPECT_TRUE(dev->continuationPending());
    EXPECT_THAT(texts(run(*dev, *reader, "patro 2\r\n   \r\nKonec\r\n")),
                ElementsAre("10:15  Alarm zona 12  Budova A, patro 2", "Konec"));
}

TEST_F(Pc6010, NameInsertion) {
    cards->users[12] = {"Eva", "Malá"_cz};
    // "IVATEL " at 33, the code at 40, the name written at 45, the text kept from 64.
    const std::string user = cols({{0, "Pristup povolen"},
                                   {15, "24.03.15"},
                                   {24, "10:15"},
                                   {31, "UZIVATEL 0012"},
                                   {45, "Jmeno uzivatele"},
                                   {64, "dvere 1"}});
    struct Case {
        bool insert;
        std::string line;
        std::string text;
    };
    const Case cases[] = {
        {true, user, "10:15  Pristup povolenUZIVATEL 0012 Eva Malá dvere 1"_cz},
        {false, user, "10:15  Pristup povolenUZIVATEL 0012 Jmeno uzivatele    dvere 1"},
        // Names go in before the date is looked at: also into lines without a date.
        {true, "UZIVATEL 0012 Jmeno uzivatele    dvere 1", "UZIVATEL 0012 Eva Malá dvere 1"_cz},
        // Code 0, an unknown code, and the marker in another case.
        {true, "UZIVATEL 0000 Jmeno uzivatele    dvere 1", "UZIVATEL 0000 Jmeno uzivatele    dvere 1"},
        {true, "UZIVATEL 0013 Jmeno uzivatele    dvere 1", "UZIVATEL 0013 Jmeno uzivatele    dvere 1"},
        {true, "UZIVATEL 0012 Jmeno", "UZIVATEL 0012 Eva Malá "_cz},
        {true, "uzivatel 0012 Jmeno uzivatele    dvere 1", "uzivatel 0012 Jmeno uzivatele    dvere 1"},
        // The line ends inside the number: the name is written after padding.
        {true, "UZIVATEL 12", "UZIVATEL 12   Eva Malá "_cz},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        setInsertNames(c.insert);
        auto dev = pc6010(day(1, 3, 2024));
        EXPECT_THAT(texts(run(*dev, *reader, c.line + "\r\n")), ElementsAre(c.text));
    }
}

TEST_F(Pc6010, InsertedLineIsCutTo200) {
    cards->users[12] = {std::string(30, 'J'), std::string(30, 'N')};
    setInsertNames(true);
    auto dev = pc6010(day(1, 3, 2024));
    std::string line = "UZIVATEL 0012 " + std::string(19, '.') + std::string(160, 'k');
    auto events = run(*dev, *reader, line + "\r\n");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].text, ("UZIVATEL 0012 " + std::string(30, 'J') + " " + std::string(30, 'N') + " " +
                               std::string(160, 'k'))
                                  .substr(0, 200));
}

TEST_F(Pc6010, CardUserTableMustOpen) {
    cards->openResult = false;
    try {
        pc6010(day(1, 3, 2024));
        ADD_FAILURE() << "constructed";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message, 6);
    }
}

}  // namespace
}  // namespace vrx::test
