#include "text/charset.h"

#include "text/cz.h"

#include <array>

namespace vrx::text {
namespace {

// Code points of the bytes 0x80..0xFF (the table the compile-time literals use too); unassigned
// bytes carry their own value.
constexpr const char16_t* kCp1250 = detail::kCz1250High;

constexpr char16_t kCp852[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7,
    0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A,
    0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E,
    0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A,
    0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE,
    0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161,
    0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0,
};

struct BestFit {
    char16_t cp;
    char byte;
};
constexpr BestFit kBestFit852[] = {
    {0x20AC, 'E'}, {0x201A, ','}, {0x201E, '"'}, {0x2026, '.'}, {0x2020, '+'},  {0x2021, '+'},
    {0x2030, '%'}, {0x2039, '<'}, {0x2018, '\''}, {0x2019, '\''}, {0x201C, '"'}, {0x201D, '"'},
    {0x2022, '*'}, {0x2013, '-'}, {0x2014, '-'}, {0x2122, 'T'},  {0x203A, '>'},  {0x00A6, '|'},
    {0x00A9, 'c'}, {0x00AE, 'R'}, {0x00B1, '+'}, {0x00B5, 'u'},  {0x00B6, 'P'},  {0x00B7, '.'},
};

int findIn(const char16_t* table, char32_t cp) {
    for (int j = 0; j < 128; ++j) {
        if (table[j] == cp) return j;
    }
    return -1;
}

struct Tables {
    std::array<unsigned char, 256> to852{};
    std::array<unsigned char, 256> upper{};
    Tables() {
        for (int b = 0; b < 256; ++b) {
            upper[b] = static_cast<unsigned char>(b);
            to852[b] = static_cast<unsigned char>(b);
            if (b < 0x80) {
                if (b >= 'a' && b <= 'z') upper[b] = static_cast<unsigned char>(b - 32);
                continue;
            }
            char16_t cp = kCp1250[b - 0x80];
            int j = findIn(kCp852, cp);
            unsigned char out = '?';
            if (j >= 0) {
                out = static_cast<unsigned char>(0x80 + j);
            } else {
                for (const auto& f : kBestFit852) {
                    if (f.cp == cp) out = static_cast<unsigned char>(f.byte);
                }
            }
            to852[b] = out;

            // Upper case through the code points, when the capital exists in the code page.
            char16_t up = 0;
            if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) {
                up = static_cast<char16_t>(cp - 0x20);
            } else if (cp >= 0x100 && cp <= 0x17F) {
                // Latin Extended-A alternates capital/small in pairs; two runs are shifted by one.
                bool shifted = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
                if (shifted ? (cp % 2 == 0) : (cp % 2 == 1)) up = static_cast<char16_t>(cp - 1);
            }
            int u = up ? findIn(kCp1250, up) : -1;
            if (u >= 0) upper[b] = static_cast<unsigned char>(0x80 + u);
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

char32_t cp1250ToUnicode(unsigned char byte) { return byte < 0x80 ? byte : kCp1250[byte - 0x80]; }

bool unicodeToCp1250(char32_t cp, unsigned char& byte) {
    if (cp < 0x80) {
        byte = static_cast<unsigned char>(cp);
        return true;
    }
    int j = findIn(kCp1250, cp);
    if (j < 0) return false;
    byte = static_cast<unsigned char>(0x80 + j);
    return true;
}

std::string cp1250ToUtf8(std::string_view in) {
    std::string out;
    out.reserve(in.size() + in.size() / 4);
    for (char c : in) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x80) out.push_back(c);
        else appendUtf8(out, kCp1250[b - 0x80]);
    }
    return out;
}

std::string utf8ToCp1250(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        auto b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        char32_t cp = 0;
        size_t len = 0;
        if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        }
        bool ok = len > 0 && i + len <= in.size();
        for (size_t k = 1; ok && k < len; ++k) {
            auto c = static_cast<unsigned char>(in[i + k]);
            if ((c & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out.push_back('?');
            ++i;
            continue;
        }
        i += len;
        unsigned char byte;
        out.push_back(unicodeToCp1250(cp, byte) ? static_cast<char>(byte) : '?');
    }
    return out;
}

unsigned char cp1250ToCp852(unsigned char byte) { return tables().to852[byte]; }

std::string cp1250ToCp852(std::string_view in) {
    const auto& t = tables().to852;
    std::string out(in);
    for (auto& c : out) c = static_cast<char>(t[static_cast<unsigned char>(c)]);
    return out;
}

unsigned char upperCp1250(unsigned char byte) { return tables().upper[byte]; }

std::string upperCp1250(std::string_view in) {
    const auto& t = tables().upper;
    std::string out(in);
    for (auto& c : out) c = static_cast<char>(t[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace vrx::text
