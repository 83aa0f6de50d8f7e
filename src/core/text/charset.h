#pragma once
// Conversions between the program's internal Windows-1250 byte strings and the outside world.
#include <string>
#include <string_view>

namespace vrx::text {

// Unicode code point of one Windows-1250 byte. Bytes with no character in the code page map to the
// C1 control point of the same value (0x81 -> U+0081), so every byte has a code point and back.
char32_t cp1250ToUnicode(unsigned char byte);

// Windows-1250 byte of a code point; false when the code page has no byte for it.
bool unicodeToCp1250(char32_t cp, unsigned char& byte);

// Windows-1250 -> UTF-8, lossless for every byte value.
std::string cp1250ToUtf8(std::string_view in);

// UTF-8 -> Windows-1250. Code points without a byte and malformed sequences become '?'.
// For text produced by cp1250ToUtf8 the conversion is exact.
std::string utf8ToCp1250(std::string_view in);

// One Windows-1250 byte in code page 852 (Latin-2 DOS). Characters that 852 lacks take a best fit:
//   € -> E   ‚ -> ,   „ “ ” -> "   … · -> .   † ‡ ± -> +   ‰ -> %   ‹ -> <   › -> >
//   ‘ ’ -> '   • -> *   – — -> -   ™ -> T   ¦ -> |   © -> c   ® -> R   µ -> u   ¶ -> P
//   the five unassigned bytes (0x81 0x83 0x88 0x90 0x98) -> ?
unsigned char cp1250ToCp852(unsigned char byte);
std::string cp1250ToCp852(std::string_view in);

// Upper-case of a Windows-1250 byte (letters with diacritics included).
unsigned char upperCp1250(unsigned char byte);
std::string upperCp1250(std::string_view in);

}  // namespace vrx::text
