// The decoders of DIGIPLEX, APLEX, ORBIT, LOOP 500, CONCEPT and ESSER panels.
#include "devices/panels.h"
#include "device_testutil.h"

namespace vrx::test {
namespace {

using ::testing::ElementsAre;

struct Maker {
    const char* name;
    std::unique_ptr<DEVICE> (*make)(long date, std::unique_ptr<LINE_READER> reader);
};

template <class T>
std::unique_ptr<DEVICE> makeDecoder(long date, std::unique_ptr<LINE_READER> reader) {
    return std::make_unique<T>(date, 0, std::move(reader));
}

class Panels : public DeviceTest {
  protected:
    std::unique_ptr<DEVICE> create(const Maker& m, long date) {
        auto r = std::make_unique<ScriptedReader>();
        reader = r.get();
        return m.make(date, std::move(r));
    }
};

TEST_F(Panels, TwentyDayRuleAtConstruction) {
    const long today = day(15, 3, 2024);
    struct Case {
        Maker maker;
        bool rule;
    };
    const Case decoders[] = {
        {{"DIGIPLEX", makeDecoder<DIGIPLEX>}, true}, {{"LOOP500", makeDecoder<LOOP500>}, true},
        {{"CONCEPT", makeDecoder<CONCEPT>}, true},   {{"ESSER", makeDecoder<ESSER>}, true},
        {{"APLEX", makeDecoder<APLEX>}, false},      {{"ORBIT", makeDecoder<ORBIT>}, false},
    };
    for (const Case& c : decoders) {
        for (long offset : {-1000L, -30L, -21L, -20L, 0L, 20L, 21L}) {
            SCOPED_TRACE(std::string(c.maker.name) + " " + std::to_string(offset));
            auto dev = create(c.maker, today + offset);
            bool reset = c.rule && (offset > 20 || offset < -20);
            EXPECT_EQ(dev->currentDate(), reset ? today : today + offset);
        }
        SCOPED_TRACE(c.maker.name);
        EXPECT_EQ(create(c.maker, 1)->currentDate(), c.rule ? today : 1);
    }
    // The reset is not recorded.
    EXPECT_EQ(storedDate(), "");
}

TEST_F(Panels, StalePauseDatesFirstEventsToday) {
    auto dev = create({"ESSER", makeDecoder<ESSER>}, day(14, 2, 2024));
    EXPECT_THAT(run(*dev, *reader, "Alarm Melder 12/3\n"),
                ElementsAre(Event{day(15, 3, 2024), "Alarm Melder 12/3"}));
}

TEST_F(Panels, Digiplex) {
    const long start = day(10, 3, 2024);
    struct Case {
        std::string line;
        std::string text;
        long date;
    };
    const Case cases[] = {
        {"2024/03/15 10:15 Alarm zona 3", "10:15 Alarm zona 3", day(15, 3, 2024)},
        {"2024/03/09 10:15 Alarm zona 3", "10:15 Alarm zona 3", start},
        {"0000/03/15 10:15 Alarm", "10:15 Alarm", start},
        {"2024/13/15 10:15 Alarm", "10:15 Alarm", start},
        {"2024/02/30 10:15 Alarm", "10:15 Alarm", start},
        {"2024/04/32 10:15 Alarm", "10:15 Alarm", start},
        {"2024/3/5 - 10:15 Alarm", "10:15 Alarm", start},  // no day at column 8
        {"2024/04/ 1 10:15 Alarm", "10:15 Alarm", day(1, 4, 2024)},
        {"Porucha", "", start},
        {"", "", start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = make<DIGIPLEX>(start);
        EXPECT_THAT(run(*dev, *reader, c.line + "\r\n"), ElementsAre(Event{c.date, c.text}));
    }
}

TEST_F(Panels, Aplex) {
    const long start = day(10, 3, 2024);
    struct Case {
        std::string line;
        std::string text;
        long date;
    };
    const Case cases[] = {
        {"15.03.24 Alarm zona 3", "Alarm zona 3", day(15, 3, 2024)},
        {"01.01.25 Alarm", "Alarm", day(1, 1, 2025)},
        {"09.03.24 Alarm", "Alarm", start},
        {"00.03.24 Alarm", "Alarm", start},
        {"15.13.24 Alarm", "Alarm", start},
        {"31.04.24 Alarm", "Alarm", start},
        {"ab.cd.ef Alarm", "Alarm", start},
        {"15.03", "", start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = make<APLEX>(start);
        EXPECT_THAT(run(*dev, *reader, std::string("\x0c") + c.line + "\r\n"),
                    ElementsAre(Event{c.date, c.text}));
    }
}

TEST_F(Panels, Orbit) {
    const long start = day(1, 1, 2024);
    const char* words[] = {"LED", "UNO", "BRE", "DUB", "KVE", "CRN",
                           "CRC", "SRP", "ZAR", "RIJ", "LIS", "PRO"};
    for (int m = 1; m <= 12; ++m) {
        SCOPED_TRACE(words[m - 1]);
        auto dev = make<ORBIT>(start);
        EXPECT_THAT(run(*dev, *reader, std::string(words[m - 1]) + " 15 2024 Alarm zona 3\r\n"),
                    ElementsAre(Event{day(15, m, 2024), "Alarm zona 3"}));
    }
    struct Case {
        std::string line;
        std::string text;
        long date;
    };
    const Case cases[] = {
        {"bre 15 2024 Alarm zona 3", "Alarm zona 3", start},  // lower case: no month word
        {"BRE 15 24   Alarm zona 3", "Alarm zona 3", start},  // the year as printed: long past
        {"BRE 30 2023 Alarm", "Alarm", start},                // earlier
        {"UNO 30 2024 Alarm", "Alarm", start},                // no such day
        {"BRE", "", start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = make<ORBIT>(start);
        EXPECT_THAT(run(*dev, *reader, c.line + "\r\n"), ElementsAre(Event{c.date, c.text}));
    }
}

TEST_F(Panels, Loop500) {
    const long start = day(10, 3, 2024);
    struct Case {
        std::string line;
        std::string text;
        long date;
    };
    const Case cases[] = {
        {"AL 15.03  10:15 Pozar zona 1", "10:15 Pozar zona 1", day(15, 3, 2024)},
        {"AL 09.03  10:15 Pozar", "10:15 Pozar", start},
        {"AL 31.04  10:15 Pozar", "10:15 Pozar", start},
        {"AL 15.03  10:1", "10:1", day(15, 3, 2024)},  // 14 characters
        {"AL 15.03  10:", "", start},                  // 13 characters: no date, no text
        {"", "", start},
        // The panel's code page, translated before the date is read.
        {"AL 15.03  \xa0\xa1\xa2\xa3\xa4 \x82\x83\x87\x88\x91\x98\x9f\xa8\xa9 \x80\x81\xb0",
         "\xe1\xed\xf3\xfa\xf2 \xe9\xef\xe8\xec\x9e\xfd\x9d\x9a\xf8 \x80\x81\xb0", day(15, 3, 2024)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = make<LOOP500>(start);
        EXPECT_THAT(run(*dev, *reader, c.line + "\r\n"), ElementsAre(Event{c.date, c.text}));
    }
    for (int b = 0; b < 256; ++b) {
        unsigned char t = LOOP500::translate(static_cast<unsigned char>(b));
        if (b <= 128) EXPECT_EQ(t, b);
    }
}

TEST_F(Panels, Loop500SendsXonOnceThePortIsOpen) {
    auto dev = make<LOOP500>(day(15, 3, 2024));
    reader->openResult = false;
    EXPECT_FALSE(dev->openPort("COM1", 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_EQ(reader->written, "");
    reader->openResult = true;
    EXPECT_TRUE(dev->openPort("COM1", 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_EQ(reader->written, "\x11");
    EXPECT_TRUE(dev->closePort());
    EXPECT_FALSE(reader->isOpen());
    // Other decoders send nothing.
    auto esser = make<ESSER>(day(15, 3, 2024));
    EXPECT_TRUE(esser->openPort("COM1", 9600, 8, 0, 0, 2048, 1024, false, false));
    EXPECT_EQ(reader->written, "");
}

TEST_F(Panels, Concept) {
    const long start = day(10, 3, 2024);
    struct Case {
        std::string line;
        std::string text;
        long date;
    };
    auto line = [](std::string_view word, std::string_view dd) {
        return cols({{0, "0001"}, {5, word}, {8, dd}, {11, "10:15"}, {17, "Z001"}, {22, "Pozar zona 1"}});
    };
    const Case cases[] = {
        {line("Bre", "15"), "10:15 Pozar zona 1", day(15, 3, 2024)},
        {line("Dub", "15"), "10:15 Pozar zona 1", day(15, 4, 2024)},
        {line("Kve", "15"), "10:15 Pozar zona 1", day(15, 5, 2024)},
        {line("Lis", "15"), "10:15 Pozar zona 1", day(15, 11, 2024)},
        {line("LED", "15"), "10:15 Pozar zona 1", day(15, 11, 2024)},
        {line("Pro", "15"), "10:15 Pozar zona 1", day(15, 12, 2024)},
        {line("Rij", "15"), "10:15 Pozar zona 1", day(15, 10, 2024)},
        {line("Srp", "15"), "10:15 Pozar zona 1", day(15, 8, 2024)},
        {line("Uno", "29"), "10:15 Pozar zona 1", start},  // 29.2.2024 lies before
        {line("VeI", "15"), "10:15 Pozar zona 1", day(15, 7, 2024)},
        {line("Vec", "15"), "10:15 Pozar zona 1", day(15, 6, 2024)},
        {line("Zar", "15"), "10:15 Pozar zona 1", day(15, 9, 2024)},
        {line("Cer", "15"), "10:15 Pozar zona 1", start},
        {line("Bre", "32"), "10:15 Pozar zona 1", start},
        {line("Bre", "00"), "10:15 Pozar zona 1", start},
        {"0001 Bre15 10:15", "10:15 ", day(15, 3, 2024)},  // 16 characters
        {"0001 Bre15 10:1", "", start},                    // 15 characters: no date, no text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = make<CONCEPT>(start);
        EXPECT_THAT(run(*dev, *reader, "\n" + c.line + "\r"), ElementsAre(Event{c.date, c.text}));
    }
}

TEST_F(Panels, Esser) {
    const long start = day(10, 3, 2024);
    auto line = [](std::string_view dd, std::string_view mm) {
        return cols({{0, "Alarm Melder 12/3 Zone 12"}, {34, dd}, {36, "."}, {37, mm}, {40, "10:15"}});
    };
    struct Case {
        std::string line;
        std::string text;
        long date;
    };
    const Case cases[] = {
        {line("15", "03"), line("15", "03"), day(15, 3, 2024)},
        {line("09", "03"), line("09", "03"), start},
        {line("31", "04"), line("31", "04"), start},
        {line("15", "13"), line("15", "13"), start},
        // 38 characters: the month is cut short.
        {cols({{0, "Alarm"}, {34, "15"}, {36, "."}, {37, "0"}}),
         cols({{0, "Alarm"}, {34, "15"}, {36, "."}, {37, "0"}}), start},
        {"Sch\x84"
         "rfung",
         "Scharfung", start},
        {"\x84\x84\x94", "aa\x94", start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto dev = make<ESSER>(start);
        EXPECT_THAT(run(*dev, *reader, c.line + "\r\n"), ElementsAre(Event{c.date, c.text}));
    }
}

// Panels that print no year take it from the current event date, also across the new year.
TEST_F(Panels, YearFromContext) {
    struct Case {
        Maker maker;
        std::string (*line)(std::string_view dd, std::string_view mm);
    };
    const Case decoders[] = {
        {{"LOOP500", makeDecoder<LOOP500>},
         [](std::string_view dd, std::string_view mm) {
             return cols({{0, "AL "}, {3, dd}, {5, "."}, {6, mm}, {10, "Pozar"}});
         }},
        {{"ESSER", makeDecoder<ESSER>},
         [](std::string_view dd, std::string_view mm) {
             return cols({{0, "Alarm"}, {34, dd}, {36, "."}, {37, mm}, {40, "10:15"}});
         }},
        {{"CONCEPT", makeDecoder<CONCEPT>},
         [](std::string_view dd, std::string_view mm) {
             std::string_view word = mm == "01" ? "Led" : mm == "12" ? "Pro" : "Cer";
             return cols({{0, "0001"}, {5, word}, {8, dd}, {11, "10:15"}, {22, "Pozar"}});
         }},
    };
    struct Step {
        int d, m, y;  // today and the current event date
        const char* dd;
        const char* mm;
        long expected;
    };
    const Step steps[] = {
        {31, 12, 2023, "01", "01", day(1, 1, 2024)},
        {31, 12, 2023, "30", "12", day(31, 12, 2023)},  // earlier in the same year
        {15, 1, 2024, "16", "01", day(16, 1, 2024)},
        // A late December line in January belongs to the old year and changes nothing.
        {15, 1, 2024, "31", "12", day(15, 1, 2024)},
        {2, 1, 2024, "30", "12", day(2, 1, 2024)},
        {10, 12, 2024, "11", "12", day(11, 12, 2024)},
    };
    for (const Case& c : decoders) {
        for (const Step& s : steps) {
            SCOPED_TRACE(std::string(c.maker.name) + " " + s.dd + "." + s.mm);
            setToday(s.d, s.m, s.y);
            auto dev = create(c.maker, day(s.d, s.m, s.y));
            std::string input = c.line(s.dd, s.mm) + (c.maker.name == std::string("CONCEPT") ? "\r" : "\n");
            auto events = run(*dev, *reader, input);
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0].date, s.expected);
        }
    }
}

}  // namespace
}  // namespace vrx::test
