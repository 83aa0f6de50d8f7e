#include "text/dates.h"

#include <ctime>

#include "text/strutil.h"

namespace vrx::text {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// 30.12.1899 is day 0.
const long long kEpochOffset = daysFromCivil(1899, 12, 30);

long long systemClock() { return static_cast<long long>(std::time(nullptr)); }
ClockFn g_clock = systemClock;

std::tm localNow() {
    std::time_t t = static_cast<std::time_t>(g_clock());
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

// Reads up to three numbers separated by `sep`; a missing number counts as 0.
int splitNumbers(std::string_view text, char sep, long out[3]) {
    int count = 0;
    for (int i = 0; i < 3; ++i) out[i] = 0;
    size_t pos = 0;
    for (int i = 0; i < 3 && pos <= text.size(); ++i) {
        std::string_view part = text.substr(pos);
        size_t next = part.find(sep);
        std::string_view field = next == std::string_view::npos ? part : part.substr(0, next);
        size_t used = 0;
        out[i] = readLong(field, &used);
        if (used) ++count;
        if (next == std::string_view::npos) break;
        pos += next + 1;
    }
    return count;
}

}  // namespace

long dayFromParts(int day, int month, int year) {
    if (month < 1 || month > 12 || day < 1 || year < 1899 || year > 9999) return kInvalidDay;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    int dim = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    if (day > dim) return kInvalidDay;
    long n = static_cast<long>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                               kEpochOffset);
    if (n < kFirstDay) return kInvalidDay;
    return n;
}

DateParts dayToParts(long day) {
    DateParts p;
    civilFromDays(kEpochOffset + day, p.year, p.month, p.day);
    return p;
}

long today() {
    std::tm tm = localNow();
    return dayFromParts(tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
}

long nowTime() {
    std::tm tm = localNow();
    return (tm.tm_hour * 3600L + tm.tm_min * 60L + tm.tm_sec) * 1000L;
}

long parseDate(std::string_view text) {
    long n[3];
    if (splitNumbers(text, '.', n) == 0) return kInvalidDay;
    if (n[0] < 1 || n[0] > 31 || n[1] < 1 || n[1] > 12 || n[2] < 0 || n[2] > 9999) return kInvalidDay;
    return dayFromParts(static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<int>(n[2]));
}

long parseTime(std::string_view text) {
    long n[3];
    if (splitNumbers(text, ':', n) == 0) return -1;
    if (n[0] < 0 || n[0] > 23 || n[1] < 0 || n[1] > 59 || n[2] < 0 || n[2] > 59) return -1;
    return (n[0] * 3600 + n[1] * 60 + n[2]) * 1000;
}

std::string formatDate(long day) {
    DateParts p = dayToParts(day);
    return format("%02d.%02d.%4d", p.day, p.month, p.year);
}

std::string formatTime(long ms) {
    long s = ms / 1000;
    return format("%02ld:%02ld:%02ld", s / 3600, (s / 60) % 60, s % 60);
}

std::string formatDateField(long day) {
    DateParts p = dayToParts(day);
    return format("%2d.%2d.%04d", p.day, p.month, p.year);
}

std::string formatTimeField(long ms) {
    long s = ms / 1000;
    return format("%2ld:%02ld", s / 3600, (s / 60) % 60);
}

long parseDateField(std::string_view text) { return parseDate(text.substr(0, 10)); }
long parseTimeField(std::string_view text) { return parseTime(text.substr(0, 8)); }

Stamp nowStamp() {
    std::tm tm = localNow();
    return Stamp{dayFromParts(tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900),
                 (tm.tm_hour * 3600L + tm.tm_min * 60L + tm.tm_sec) * 1000L};
}

std::string formatStamp(const Stamp& s) { return formatDate(s.day) + " " + formatTime(s.ms); }

void setClock(ClockFn fn) { g_clock = fn ? fn : systemClock; }

}  // namespace vrx::text
