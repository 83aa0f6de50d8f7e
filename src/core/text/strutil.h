#pragma once
// Small string helpers shared by the core: printf-style formatting into std::string and the
// lenient decimal reading the settings file and the date helpers use.
#include <cstdarg>
#include <string>
#include <string_view>

namespace vrx::text {

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args);

// Decimal integer as C's strtol reads it: leading blanks, an optional sign, digits up to the
// first other character. `end` receives the number of characters consumed (0 when no digits).
long readLong(std::string_view s, size_t* end = nullptr);

// Blanks (space, tab, CR, LF) removed from both ends.
std::string_view trim(std::string_view s);

// ASCII case-insensitive comparison (names of sections, keys and aliases).
bool equalsNoCase(std::string_view a, std::string_view b);

// Cut a byte string to at most n bytes.
inline std::string cut(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

}  // namespace vrx::text
