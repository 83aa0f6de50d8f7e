#include <gtest/gtest.h>

#include "text/dates.h"

using namespace vrx::text;

TEST(Dates, DayNumbering) {
    EXPECT_EQ(dayFromParts(31, 12, 1899), 1);
    EXPECT_EQ(dayFromParts(1, 1, 1900), 2);
    EXPECT_EQ(dayFromParts(1, 3, 1900), 61);  // 1900 is no leap year
    EXPECT_EQ(dayFromParts(7, 3, 2001), 36957);
    EXPECT_EQ(dayFromParts(31, 12, 9999), kLastDay);
    EXPECT_EQ(formatDate(1), "31.12.1899");
    EXPECT_EQ(formatDate(36957), "07.03.2001");
}

TEST(Dates, InvalidDates) {
    struct Case {
        int d, m, y;
    } cases[] = {{31, 2, 2001}, {29, 2, 1900}, {0, 1, 2000}, {1, 13, 2000}, {30, 12, 1899},
                 {1, 1, 10000}, {32, 1, 2000}, {31, 4, 2000}};
    for (auto c : cases) EXPECT_EQ(dayFromParts(c.d, c.m, c.y), -1) << c.d << "." << c.m << "." << c.y;
    EXPECT_NE(dayFromParts(29, 2, 2000), -1);
}

TEST(Dates, EveryDateRoundTrips) {
    long expected = 2;
    for (int y = 1900; y <= 9999; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= 31; ++d) {
                long n = dayFromParts(d, m, y);
                if (n == -1) continue;
                ASSERT_EQ(n, expected);
                DateParts p = dayToParts(n);
                ASSERT_TRUE(p.day == d && p.month == m && p.year == y);
                ++expected;
            }
        }
    }
    EXPECT_EQ(expected - 1, kLastDay);
}

TEST(Dates, ParseAndFormat) {
    EXPECT_EQ(parseDate(""), -1);
    EXPECT_EQ(parseDate("31.02.2001"), -1);
    EXPECT_EQ(parseDate("07.03.2001"), 36957);
    EXPECT_EQ(parseDate(" 7. 3.2001"), 36957);
    EXPECT_EQ(parseDate("7.3.2001 12:00"), 36957);
    EXPECT_EQ(parseDate("7.3"), -1);
    EXPECT_EQ(parseDate("abc"), -1);
    EXPECT_EQ(formatTime(3723000), "01:02:03");
    EXPECT_EQ(parseTime("7:5:9"), 25509000);
    EXPECT_EQ(parseTime("23:59"), (23 * 3600 + 59 * 60) * 1000);
    EXPECT_EQ(parseTime("24:00:00"), -1);
    EXPECT_EQ(parseTime(""), -1);
    EXPECT_EQ(formatDateField(36957), " 7. 3.2001");
    EXPECT_EQ(formatTimeField(25509000), " 7:05");
    EXPECT_EQ(parseDateField(" 7. 3.2001xxxxxx"), 36957);
    EXPECT_EQ(formatStamp({36957, 3723000}), "07.03.2001 01:02:03");
}

TEST(Dates, ClockIsReplaceable) {
    setClock([]() -> long long { return 0; });  // 1.1.1970 00:00:00 UTC
    long d = today();
    EXPECT_TRUE(d == dayFromParts(1, 1, 1970) || d == dayFromParts(31, 12, 1969));
    EXPECT_EQ(nowTime() % 1000, 0);
    setClock(nullptr);
    EXPECT_GT(today(), dayFromParts(1, 1, 2020));
}
