#pragma once
// Czech text in the sources: literals are written in UTF-8 and turned into the program's
// Windows-1250 bytes at compile time, e.g. "Nelze otevřít soubor pro tisk."_cz. A character that
// Windows-1250 lacks makes the build fail, so no literal can silently change on the way.
#include <cstddef>

namespace vrx::text {
namespace detail {

constexpr char16_t kCz1250High[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

template <std::size_t N>
struct Utf8Literal {
    char bytes[N]{};
    consteval Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) bytes[i] = s[i];
    }
};

template <std::size_t N>
struct Cp1250Text {
    char data[N]{};
};

consteval unsigned char cp1250Of(char32_t cp) {
    if (cp < 0x80) return static_cast<unsigned char>(cp);
    for (int j = 0; j < 128; ++j) {
        if (kCz1250High[j] == cp) return static_cast<unsigned char>(0x80 + j);
    }
    throw "character not in Windows-1250";
}

template <Utf8Literal S>
consteval auto toCp1250() {
    constexpr std::size_t N = sizeof(S.bytes);
    Cp1250Text<N> out{};
    std::size_t o = 0;
    for (std::size_t i = 0; i + 1 < N;) {
        unsigned char b = static_cast<unsigned char>(S.bytes[i]);
        char32_t cp = 0;
        std::size_t len = 1;
        if (b < 0x80) cp = b;
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; len = 2; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; len = 3; }
        else throw "unsupported UTF-8 sequence";
        for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(S.bytes[i + k]) & 0x3F);
        out.data[o++] = static_cast<char>(cp1250Of(cp));
        i += len;
    }
    return out;
}

template <Utf8Literal S>
struct CzHolder {
    static constexpr auto value = toCp1250<S>();
};

}  // namespace detail

// "text"_cz: the literal's Windows-1250 bytes, zero-terminated, with static storage.
template <detail::Utf8Literal S>
constexpr const char* operator""_cz() {
    return detail::CzHolder<S>::value.data;
}

}  // namespace vrx::text

using vrx::text::operator""_cz;
