#include "logs/maska.h"

#include <cstring>

namespace vrx::logs {
namespace {

using Set = std::array<uint64_t, 4>;  // 256 bits, one per character

enum class Rep { One, Star, Optional };

struct Element {
    Set set{};
    Rep rep = Rep::One;
    bool single = false;  // the set holds exactly one character, ch
    unsigned char ch = 0;
};

constexpr size_t kCharBytes = 2;
constexpr size_t kSetBytes = 33;
constexpr size_t kCodeBytes = 1;  // '.', a repetition, an anchor, the end mark

void addChar(Set& s, unsigned c) {
    s[c >> 6] |= uint64_t{1} << (c & 63);
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
unsigned hexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The character of the escape that begins at expr[i] (a backslash); i moves past it.
unsigned char readEscape(std::string_view expr, size_t& i) {
    ++i;  // the backslash
    if (i >= expr.size()) return '\\';
    char c = expr[i++];
    switch (c) {
        case 'b':
        case 'B':
            return 0x08;
        case 'e':
        case 'E':
            return 0x1B;
        case 'f':
        case 'F':
            return 0x0C;
        case 'n':
        case 'N':
            return 0x0A;
        case 'r':
        case 'R':
            return 0x0D;
        case 's':
        case 'S':
            return 0x20;
        case 't':
        case 'T':
            return 0x09;
        default:
            break;
    }
    if ((c == 'x' || c == 'X') && i < expr.size() && isHex(expr[i])) {
        unsigned v = 0;
        for (int n = 0; n < 3 && i < expr.size() && isHex(expr[i]); ++n) v = v * 16 + hexValue(expr[i++]);
        return static_cast<unsigned char>(v & 0xFF);
    }
    if (c >= '0' && c <= '7') {
        unsigned v = static_cast<unsigned>(c - '0');
        for (int n = 1; n < 3 && i < expr.size() && expr[i] >= '0' && expr[i] <= '7'; ++n)
            v = v * 8 + static_cast<unsigned>(expr[i++] - '0');
        return static_cast<unsigned char>(v & 0xFF);
    }
    if (c == '^' && i < expr.size() && isLetter(expr[i])) {
        return static_cast<unsigned char>(expr[i++] & 0x1F);
    }
    return static_cast<unsigned char>(c);
}

// One character of a set or of the expression: an escape or the character itself.
unsigned char readChar(std::string_view expr, size_t& i) {
    if (expr[i] == '\\') return readEscape(expr, i);
    return static_cast<unsigned char>(expr[i++]);
}

// The set that begins at expr[i] ('['); false when it is not closed.
bool readSet(std::string_view expr, size_t& i, Set& set) {
    ++i;
    bool negate = false;
    if (i < expr.size() && expr[i] == '^') {
        negate = true;
        ++i;
    }
    set = Set{};
    for (;;) {
        if (i >= expr.size()) return false;
        if (expr[i] == ']') {
            ++i;
            break;
        }
        unsigned from = readChar(expr, i);
        unsigned to = from;
        if (i + 1 < expr.size() && expr[i] == '-' && expr[i + 1] != ']') {
            ++i;
            to = readChar(expr, i);
        }
        for (unsigned c = from; c <= to; ++c) addChar(set, c);
    }
    if (negate) {
        for (auto& w : set) w = ~w;
    }
    return true;
}

}  // namespace

Regex::Regex(std::string_view expression) {
    valid_ = compile(expression);
    if (!valid_) {
        elements_ = 0;
        accepts_.clear();
        literal_.clear();
        pureLiteral_ = false;
    }
}

bool Regex::compile(std::string_view expr) {
    size_t lineFeed = expr.find('\n');
    if (lineFeed != std::string_view::npos) expr = expr.substr(0, lineFeed);
    if (expr.empty()) return false;

    enum class Prev { Nothing, Anchor, Element, Repetition };
    std::vector<Element> elems;
    size_t bytes = kCodeBytes;  // the end mark
    Prev prev = Prev::Nothing;
    size_t i = 0;
    if (expr[0] == '^') {
        atStart_ = true;
        bytes += kCodeBytes;
        prev = Prev::Anchor;
        i = 1;
    }
    while (i < expr.size()) {
        char c = expr[i];
        if (c == '$' && i + 1 == expr.size()) {
            atEnd_ = true;
            bytes += kCodeBytes;
            ++i;
            break;
        }
        if (c == '*' || c == '+' || c == '?') {
            if (prev != Prev::Element) return false;
            bytes += kCodeBytes;
            if (c == '*') {
                elems.back().rep = Rep::Star;
            } else if (c == '?') {
                elems.back().rep = Rep::Optional;
            } else {
                Element again = elems.back();
                again.rep = Rep::Star;
                elems.push_back(again);
            }
            prev = Prev::Repetition;
            ++i;
            continue;
        }
        Element e;
        if (c == '.') {
            e.set.fill(~uint64_t{0});
            bytes += kCodeBytes;
            ++i;
        } else if (c == '[') {
            if (!readSet(expr, i, e.set)) return false;
            bytes += kSetBytes;
        } else {
            e.single = true;
            e.ch = readChar(expr, i);
            addChar(e.set, e.ch);
            bytes += kCharBytes;
        }
        elems.push_back(e);
        // A '^' or '$' that is no anchor is an ordinary character, but no repetition may follow it.
        prev = (c == '^' || c == '$') ? Prev::Anchor : Prev::Element;
    }
    compiledSize_ = bytes;
    if (bytes > kMaxCompiled) return false;

    elements_ = static_cast<int>(elems.size());
    accepts_.assign(256, Bits{});
    pureLiteral_ = true;
    std::string run;
    for (int k = 0; k < elements_; ++k) {
        const Element& e = elems[static_cast<size_t>(k)];
        uint64_t bit = uint64_t{1} << (k & 63);
        for (unsigned c = 0; c < 256; ++c) {
            if (e.set[c >> 6] >> (c & 63) & 1) accepts_[c][static_cast<size_t>(k >> 6)] |= bit;
        }
        if (e.rep == Rep::Star) star_[static_cast<size_t>(k >> 6)] |= bit;
        if (e.rep != Rep::One) optional_[static_cast<size_t>(k >> 6)] |= bit;
        bool fixed = e.single && e.rep == Rep::One;
        if (!fixed) pureLiteral_ = false;
        // The longest run of fixed characters: every match contains it.
        if (fixed) {
            run += static_cast<char>(e.ch);
            if (run.size() > literal_.size()) literal_ = run;
        } else {
            run.clear();
        }
    }
    if (pureLiteral_) {
        literal_.clear();
        for (const Element& e : elems) literal_ += static_cast<char>(e.ch);
    }
    if (elements_ > 0 && elems[0].single && elems[0].rep == Rep::One) firstChar_ = elems[0].ch;
    Bits start{};
    start[0] = 1;
    begin_ = closure(start);
    return true;
}

Regex::Bits Regex::closure(Bits d) const {
    for (;;) {
        Bits o{d[0] & optional_[0], d[1] & optional_[1]};
        Bits n{d[0] | (o[0] << 1), d[1] | (o[1] << 1) | (o[0] >> 63)};
        if (n == d) return d;
        d = n;
    }
}

bool Regex::runAutomaton(std::string_view text) const {
    const size_t n = text.size();
    const size_t acceptWord = static_cast<size_t>(elements_ >> 6);
    const uint64_t acceptBit = uint64_t{1} << (elements_ & 63);
    size_t pos = 0;
    if (firstChar_ >= 0 && !atStart_) {
        const void* p = std::memchr(text.data(), firstChar_, n);
        if (!p) return false;
        pos = static_cast<size_t>(static_cast<const char*>(p) - text.data());
    }
    Bits d = begin_;
    for (;;) {
        if ((d[acceptWord] & acceptBit) && (!atEnd_ || pos == n)) return true;
        if (pos == n) return false;
        const Bits& a = accepts_[static_cast<unsigned char>(text[pos])];
        ++pos;
        Bits m{d[0] & a[0], d[1] & a[1]};
        Bits moved{m[0] & ~star_[0], m[1] & ~star_[1]};
        d = closure(Bits{(moved[0] << 1) | (m[0] & star_[0]),
                         (moved[1] << 1) | (moved[0] >> 63) | (m[1] & star_[1])});
        bool none = (d[0] | d[1]) == 0;
        if (atStart_) {
            if (none) return false;
            continue;
        }
        if (none && firstChar_ >= 0) {
            const void* p = std::memchr(text.data() + pos, firstChar_, n - pos);
            if (!p) return false;
            pos = static_cast<size_t>(static_cast<const char*>(p) - text.data());
        }
        d[0] |= begin_[0];
        d[1] |= begin_[1];
    }
}

bool Regex::search(std::string_view text) const {
    if (!valid_) return false;
    if (pureLiteral_) {
        if (atStart_ && atEnd_) return text == literal_;
        if (atStart_) return text.starts_with(literal_);
        if (atEnd_) return text.ends_with(literal_);
        return plainContains(text, literal_);
    }
    if (!literal_.empty() && !plainContains(text, literal_)) return false;
    return runAutomaton(text);
}

bool plainContains(std::string_view text, std::string_view mask) {
    if (mask.empty()) return true;
    return ::memmem(text.data(), text.size(), mask.data(), mask.size()) != nullptr;
}

std::string wildcardToRegex(std::string_view mask) {
    std::string out;
    out.reserve(mask.size() + 8);
    for (char c : mask) {
        if (c == '*')
            out += ".*";
        else if (c == '?')
            out += '.';
        else
            out += c;
    }
    return out;
}

}  // namespace vrx::logs
