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

// Flags of a cached state set.
constexpr uint8_t kAccepting = 1;
constexpr uint8_t kDead = 2;  // no state left: nothing can match any more

constexpr size_t kCharBytes = 2;
constexpr size_t kSetBytes = 2;     // code and count of runs
constexpr size_t kSetRunBytes = 2;  // first and last character of a run
constexpr size_t kCodeBytes = 1;    // '.', a repetition, an anchor, the end mark

bool hasChar(const Set& s, unsigned c) {
    return s[c >> 6] >> (c & 63) & 1;
}

// Runs of consecutive characters in a set.
size_t runsOf(const Set& s) {
    size_t runs = 0;
    for (unsigned c = 0; c < 256; ++c) {
        if (hasChar(s, c) && (c == 0 || !hasChar(s, c - 1))) ++runs;
    }
    return runs;
}

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

// The set that begins at expr[i] ('['); false when it is not closed. `runs` receives the runs of
// the characters listed (before a negation).
bool readSet(std::string_view expr, size_t& i, Set& set, size_t& runs) {
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
    runs = runsOf(set);
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
            size_t runs = 0;
            if (!readSet(expr, i, e.set, runs)) return false;
            bytes += kSetBytes + kSetRunBytes * runs;
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

    // A search may start and end anywhere, so optional elements at an unanchored end change no
    // result: ".*CTECKA 7" finds what "CTECKA 7" finds.
    if (!atStart_) {
        size_t lead = 0;
        while (lead < elems.size() && elems[lead].rep != Rep::One) ++lead;
        elems.erase(elems.begin(), elems.begin() + static_cast<long>(lead));
    }
    if (!atEnd_) {
        while (!elems.empty() && elems.back().rep != Rep::One) elems.pop_back();
    }

    elements_ = static_cast<int>(elems.size());
    accepts_.assign(256, Bits{});
    pureLiteral_ = true;
    std::string run;
    for (int k = 0; k < elements_; ++k) {
        const Element& e = elems[static_cast<size_t>(k)];
        uint64_t bit = uint64_t{1} << (k & 63);
        for (unsigned c = 0; c < 256; ++c) {
            if (hasChar(e.set, c)) accepts_[c][static_cast<size_t>(k >> 6)] |= bit;
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
    if ((optional_[0] | optional_[1]) == 0) return d;
    for (;;) {
        Bits o{d[0] & optional_[0], d[1] & optional_[1]};
        Bits n{d[0] | (o[0] << 1), d[1] | (o[1] << 1) | (o[0] >> 63)};
        if (n == d) return d;
        d = n;
    }
}

Regex::Bits Regex::step(const Bits& d, unsigned char c) const {
    const Bits& a = accepts_[c];
    Bits m{d[0] & a[0], d[1] & a[1]};
    Bits moved{m[0] & ~star_[0], m[1] & ~star_[1]};
    Bits n = closure(
        Bits{(moved[0] << 1) | (m[0] & star_[0]), (moved[1] << 1) | (moved[0] >> 63) | (m[1] & star_[1])});
    // Unless the match is tied to the start of the text, a new attempt may begin at every character.
    if (!atStart_) {
        n[0] |= begin_[0];
        n[1] |= begin_[1];
    }
    return n;
}

bool Regex::runAutomaton(std::string_view text) const {
    const size_t n = text.size();
    const size_t acceptWord = static_cast<size_t>(elements_ >> 6);
    const uint64_t acceptBit = uint64_t{1} << (elements_ & 63);
    Bits d = begin_;
    for (size_t pos = 0;; ++pos) {
        if ((d[acceptWord] & acceptBit) && (!atEnd_ || pos == n)) return true;
        if (pos == n) return false;
        d = step(d, static_cast<unsigned char>(text[pos]));
        if ((d[0] | d[1]) == 0) return false;
    }
}

int Regex::cachedState(const Bits& d) const {
    for (size_t i = 0; i < cache_.states.size(); ++i) {
        if (cache_.states[i] == d) return static_cast<int>(i);
    }
    if (cache_.states.size() >= kMaxCachedStates) return -1;
    const size_t acceptWord = static_cast<size_t>(elements_ >> 6);
    const uint64_t acceptBit = uint64_t{1} << (elements_ & 63);
    cache_.states.push_back(d);
    cache_.accepting.push_back(static_cast<uint8_t>(((d[acceptWord] & acceptBit) ? kAccepting : 0) |
                                                    ((d[0] | d[1]) == 0 ? kDead : 0)));
    cache_.next.resize(cache_.states.size() * 256, -1);
    return static_cast<int>(cache_.states.size() - 1);
}

bool Regex::runCached(std::string_view text) const {
    if (cache_.states.empty()) cachedState(begin_);
    const size_t n = text.size();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t pos = 0;
    // Every match begins with the first element's character: skip to it while no attempt runs.
    const bool skip = firstChar_ >= 0 && !atStart_;
    if (skip) {
        const void* f = std::memchr(p, firstChar_, n);
        if (!f) return false;
        pos = static_cast<size_t>(static_cast<const unsigned char*>(f) - p);
    }
    int s = 0;
    for (;;) {
        const uint8_t flags = cache_.accepting[static_cast<size_t>(s)];
        if ((flags & kAccepting) && (!atEnd_ || pos == n)) return true;
        if (flags & kDead) return false;
        if (pos == n) return false;
        const unsigned char c = p[pos++];
        int t = cache_.next[static_cast<size_t>(s) * 256 + c];
        if (t < 0) {
            const Bits d = step(cache_.states[static_cast<size_t>(s)], c);
            t = cachedState(d);
            if (t < 0) return runAutomaton(text);
            cache_.next[static_cast<size_t>(s) * 256 + c] = t;
        }
        s = t;
        if (s == 0 && skip) {
            const void* f = std::memchr(p + pos, firstChar_, n - pos);
            if (!f) return false;
            pos = static_cast<size_t>(static_cast<const unsigned char*>(f) - p);
        }
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
    return runCached(text);
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
