#include "text/strutil.h"

#include <climits>
#include <cstdio>
#include <vector>

namespace vrx::text {

std::string vformat(const char* fmt, va_list args) {
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::vector<char> big(static_cast<size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, args);
    return std::string(big.data(), static_cast<size_t>(n));
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = vformat(fmt, args);
    va_end(args);
    return s;
}

long readLong(std::string_view s, size_t* end) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' ||
                            s[i] == '\f'))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        neg = s[i] == '-';
        ++i;
    }
    size_t digitsStart = i;
    // Saturate like strtol instead of overflowing.
    const unsigned long long limit = neg ? static_cast<unsigned long long>(LONG_MAX) + 1ULL
                                         : static_cast<unsigned long long>(LONG_MAX);
    unsigned long long v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (v <= limit) v = v * 10 + static_cast<unsigned long long>(s[i] - '0');
        if (v > limit) v = limit + 1;
        ++i;
    }
    if (i == digitsStart) {
        if (end) *end = 0;
        return 0;
    }
    if (end) *end = i;
    if (v > limit) v = limit;
    if (neg) return v == static_cast<unsigned long long>(LONG_MAX) + 1ULL ? LONG_MIN : -static_cast<long>(v);
    return static_cast<long>(v);
}

std::string_view trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace vrx::text
