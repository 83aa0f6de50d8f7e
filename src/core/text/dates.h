#pragma once
// Day numbers and times of day as every table, record and settings value holds them.
//
// A day number counts days with 31 December 1899 as day 1 (1 January 1900 is day 2). Valid dates
// run from 31.12.1899 (day 1) to 31.12.9999 (day 2958465); −1 stands for "no valid date", so no
// valid date can be confused with it. A time of day is milliseconds since midnight in whole
// seconds.
#include <string>
#include <string_view>

namespace vrx::text {

constexpr long kInvalidDay = -1;
constexpr long kFirstDay = 1;         // 31.12.1899
constexpr long kLastDay = 2958465;    // 31.12.9999

struct DateParts {
    int day = 0;
    int month = 0;
    int year = 0;
};

// Day number of a calendar date, or −1 for a date that does not exist or lies outside the range.
long dayFromParts(int day, int month, int year);
// Calendar date of a day number (any day number, also outside the valid range).
DateParts dayToParts(long day);

long today();
long nowTime();

// Up to three numbers separated by '.' as day, month, year; −1 when invalid or empty.
long parseDate(std::string_view text);
// Hours, minutes and seconds separated by ':'; milliseconds since midnight, or −1.
long parseTime(std::string_view text);

std::string formatDate(long day);   // "%02d.%02d.%4d"
std::string formatTime(long ms);    // "%02d:%02d:%02d"

// The form dialog fields show: "%2d.%2d.%04d" and "%2d:%02d".
std::string formatDateField(long day);
std::string formatTimeField(long ms);
// Dialog fields are read from their first 10 (date) or 8 (time) characters.
long parseDateField(std::string_view text);
long parseTimeField(std::string_view text);

// A moment: a day number and a time of day.
struct Stamp {
    long day = 0;
    long ms = 0;
};
Stamp nowStamp();
std::string formatStamp(const Stamp& s);   // "%s %s" of date and time

// The clock the helpers read; tests replace it. Returns seconds since the epoch, local time
// is derived from it with the machine's time zone.
using ClockFn = long long (*)();
void setClock(ClockFn fn);

}  // namespace vrx::text
