#pragma once
// Field access shared by the decoders. A field that would lie beyond the end of the line counts as
// absent: an absent number is 0, an absent text is empty.
#include <cstddef>
#include <string>
#include <string_view>

namespace vrx::devices {

// Spaces, CRs and LFs removed from the end or the start.
std::string_view trimEnd(std::string_view s);
std::string_view trimStart(std::string_view s);

// (s[c] − '0') × 10 + (s[c+1] − '0'), without any other test of the characters.
int twoDigits(std::string_view s, size_t c);
// Decimal number at column c: leading blanks skipped, reading stops at the first non-digit; held
// within the range of a 32-bit number.
long numberAt(std::string_view s, size_t c);
// The text from column c on, or at most n characters of it.
std::string_view textFrom(std::string_view s, size_t c);
std::string_view textAt(std::string_view s, size_t c, size_t n);
// The character at column c, or 0.
char charAt(std::string_view s, size_t c);

// For panels that print no year: the year of the current event date, plus one when the printed
// month is January while the current event date lies in December, minus one when the printed month
// is December while the current event date lies in January.
int yearFromContext(int month, long currentDate);

// `line` with "first surname rest" written at column `at` (padded with spaces when the line is
// shorter) in place of everything from `at` on.
std::string insertName(std::string_view line, size_t at, const std::string& firstName,
                       const std::string& surname, std::string_view rest);

}  // namespace vrx::devices
