#pragma once
// Matching of filter masks against event texts.
//
// A filter's mask is plain text (a case-sensitive substring), a wildcard mask (converted to a
// regular expression) or a regular expression of the program's own small dialect:
//
//   c        any other character matches itself (bytes compared exactly, case significant)
//   .        any one character
//   [...]    one character of the set; ranges a-z; [^...] one character not in the set.
//            A '-' first or last in the set is itself; a reversed range (z-a) adds nothing;
//            ']' always closes the set (write \] for the character); [] matches nothing and
//            [^] any character. Escapes work inside sets as outside.
//   * + ?    zero or more, one or more, zero or one of the preceding single element
//   ^        first in the expression: the match begins at the start of the text; elsewhere itself
//   $        last in the expression: the match ends at the end of the text; elsewhere itself
//   \c       \b \e \f \n \r \s \t (either case): backspace, escape, form feed, line feed, carriage
//            return, space, tab; \x (or \X) and one to three hexadecimal digits, or \ and one to
//            three octal digits: the character of that code (codes above 255 keep their low eight
//            bits); \^ and a letter: the control character of the letter (\^A and \^a are 0x01);
//            \ and any other character, also \x without a hexadecimal digit: that character; a
//            lone \ at the end: a backslash.
//
// There are no groups and no alternatives. The expression ends at its end or at a line-feed
// character. Invalid: an empty expression; '*', '+' or '?' first (also directly after a leading
// '^'), directly after an unescaped '^' or '$', or directly after another repetition; a set
// without its closing ']'. The compiled form is limited to 128 bytes, counted as: 2 bytes for a
// character (code and character); for a set, 2 (code and count) and 2 for each run of consecutive
// characters it lists ([0-9] and [^0-9] take 4 bytes, [ace] 8); 1 for each '.', '*', '+', '?', '^'
// and '$'; and 1 for the end mark. An invalid or too large expression matches nothing.
//
// Matching is a search: the expression may match anywhere in the text.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vrx::logs {

class Regex {
  public:
    static constexpr size_t kMaxCompiled = 128;

    Regex() = default;  // invalid: matches nothing
    explicit Regex(std::string_view expression);

    bool valid() const { return valid_; }
    // Bytes of the compiled form as counted above; also computed for an expression that was refused
    // for its size (0 for other invalid expressions).
    size_t compiledSize() const { return compiledSize_; }

    // Whether the expression matches somewhere in the text. The states the search meets are kept
    // for the next search, so one Regex must not be searched from two threads at once.
    bool search(std::string_view text) const;

    // A text that every match contains (empty when there is none to name); for quick rejection of
    // texts before the search.
    const std::string& requiredLiteral() const { return literal_; }

  private:
    // States of the matcher: state i waits for element i; state `elements` accepts. An element with
    // '+' is held as the element followed by the same element with '*'.
    using Bits = std::array<uint64_t, 2>;

    bool compile(std::string_view expression);
    bool runAutomaton(std::string_view text) const;
    bool runCached(std::string_view text) const;
    Bits closure(Bits d) const;
    Bits step(const Bits& d, unsigned char c) const;
    int cachedState(const Bits& d) const;

    bool valid_ = false;
    size_t compiledSize_ = 0;
    bool atStart_ = false;  // leading '^'
    bool atEnd_ = false;    // trailing '$'
    int elements_ = 0;
    // accepts_[c]: the elements that accept the character c.
    std::vector<Bits> accepts_;
    Bits star_{};      // elements with '*': their state stays after a character
    Bits optional_{};  // elements with '*' or '?': their state may be skipped
    Bits begin_{};     // closure of the first state
    // Fast paths: the whole expression is one literal string; or a literal string every match
    // contains (searched for before the automaton runs).
    bool pureLiteral_ = false;
    std::string literal_;
    int firstChar_ = -1;  // element 0 is one fixed character without repetition

    // The sets of states met so far, each with its successor for every character (-1 while not yet
    // computed): after a few texts a search is one table look-up per character. Limited to
    // kMaxCachedStates; beyond that the search steps the state sets directly.
    static constexpr size_t kMaxCachedStates = 64;
    struct Cache {
        std::vector<Bits> states;  // state 0 is the start
        std::vector<int> next;     // states.size() * 256
        std::vector<uint8_t> accepting;
    };
    mutable Cache cache_;
};

// Plain mask: whether `mask` occurs in `text` (case-sensitive, byte by byte). An empty mask occurs
// in every text.
bool plainContains(std::string_view text, std::string_view mask);

// Wildcard mask to regular expression: every '*' becomes ".*", every '?' becomes '.'; nothing else
// changes, so the characters special to regular expressions keep their meaning.
std::string wildcardToRegex(std::string_view mask);

}  // namespace vrx::logs
