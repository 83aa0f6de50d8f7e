#include "devices/decode_util.h"

#include <cstdint>

#include "text/dates.h"
#include "text/strutil.h"

namespace vrx::devices {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

}  // namespace

std::string_view trimEnd(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trimStart(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

int twoDigits(std::string_view s, size_t c) {
    if (c + 1 >= s.size()) return 0;
    return (static_cast<unsigned char>(s[c]) - '0') * 10 + (static_cast<unsigned char>(s[c + 1]) - '0');
}

long numberAt(std::string_view s, size_t c) {
    if (c >= s.size()) return 0;
    long v = text::readLong(s.substr(c));
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v;
}

std::string_view textFrom(std::string_view s, size_t c) {
    return c >= s.size() ? std::string_view() : s.substr(c);
}

std::string_view textAt(std::string_view s, size_t c, size_t n) {
    return c >= s.size() ? std::string_view() : s.substr(c, n);
}

char charAt(std::string_view s, size_t c) {
    return c < s.size() ? s[c] : '\0';
}

int yearFromContext(int month, long currentDate) {
    text::DateParts now = text::dayToParts(currentDate);
    if (month == 1 && now.month == 12) return now.year + 1;
    // A December line read in January belongs to the old year; read as this year's December it
    // would move the date almost a year ahead, and the date never moves back.
    if (month == 12 && now.month == 1) return now.year - 1;
    return now.year;
}

std::string insertName(std::string_view line, size_t at, const std::string& firstName,
                       const std::string& surname, std::string_view rest) {
    std::string out(line.substr(0, at));
    out.resize(at, ' ');
    out += firstName;
    out += ' ';
    out += surname;
    out += ' ';
    out += rest;
    return out;
}

}  // namespace vrx::devices
