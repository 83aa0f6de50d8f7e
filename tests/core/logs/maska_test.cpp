#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "logs/maska.h"

using vrx::logs::plainContains;
using vrx::logs::Regex;
using vrx::logs::wildcardToRegex;

namespace {

struct Case {
    const char* expression;
    std::string text;
    bool matches;
};

void expectCases(const char* group, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        Regex re(c.expression);
        EXPECT_TRUE(re.valid()) << group << ": /" << c.expression << "/ should be valid";
        EXPECT_EQ(re.search(c.text), c.matches)
            << group << ": /" << c.expression << "/ against \"" << c.text << "\"";
    }
}

}  // namespace

TEST(Regex, LiteralsAndAnyCharacter) {
    expectCases("literal", {
                               {"ALARM", "ZONA 3 ALARM", true},
                               {"ALARM", "zona 3 alarm", false},  // case significant
                               {"ALARM", "ALAR", false},
                               {"ZONA 1", "XZONA 12", true},  // a search, not a whole-text match
                               {"A.B", "A-B", true},
                               {"A.B", "AB", false},
                               {"1.2", "1x2", true},
                               {"...", "ab", false},
                               {"\xC8"
                                "ERPADLO",
                                "\xC8"
                                "ERPADLO 3",
                                true},  // Windows-1250 bytes
                               {"\xE8", "\xC8", false},
                           });
}

TEST(Regex, Sets) {
    expectCases("set",
                {
                    {"Z[0-9]", "Z7", true},       {"Z[0-9]", "ZX", false},
                    {"Z[^0-9]", "ZX", true},      {"Z[^0-9]", "Z7", false},
                    {"[abc]", "xxbxx", true},     {"[abc]", "xyz", false},
                    {"[a-cx-z]", "y", true},      {"[a-cx-z]", "m", false},
                    {"[-a]", "-", true},                                  // '-' first is itself
                    {"[a-]", "-", true},                                  // '-' last is itself
                    {"[a-]", "b", false},         {"[z-a]", "m", false},  // reversed range adds nothing
                    {"[z-a]", "z", false},        {"[\\]]", "]", true},   // escaped ']'
                    {"[\\t]", "a\tb", true},                              // escapes inside a set
                    {"[\\x41-\\x43]", "B", true}, {"[\\x41-\\x43]", "D", false},
                    {"[^a]", "a", false},         {"[^a]", "\n", true},
                    {"x[]", "x", false},                                // the empty set matches nothing
                    {"x[^]", "xy", true},                               // ... and its negation any character
                    {"[^]", "", false},           {"[.]", "a", false},  // '.' in a set is itself
                    {"[.]", ".", true},           {"[\xE1-\xFE]", "\xF8", true},  // ranges over the high half
                });
}

TEST(Regex, Repetitions) {
    expectCases("repetition", {
                                  {"AB*C", "AC", true},
                                  {"AB*C", "ABBBC", true},
                                  {"AB*C", "ABXC", false},
                                  {"AB+C", "AC", false},
                                  {"AB+C", "ABC", true},
                                  {"AB+C", "ABBBBC", true},
                                  {"AB?C", "AC", true},
                                  {"AB?C", "ABC", true},
                                  {"AB?C", "ABBC", false},
                                  {"A.*B", "A and then B", true},
                                  {"A.*B", "B then A", false},
                                  {"[0-9]+ ZONA", "ID 123 ZONA", true},
                                  {"[0-9]+ ZONA", "ID ZONA", false},
                                  {"a*", "", true},
                                  {"a*", "xyz", true},  // zero repetitions match anywhere
                                  {"a*b*c*d", "aaabbbd", true},
                                  {"x.*y.*z", "x--y--", false},
                                  {"A.?.?B", "A12B", true},
                                  {"A.?.?B", "A123B", false},
                              });
}

TEST(Regex, Anchors) {
    expectCases("anchor", {
                              {"^POPLACH", "POPLACH ZONA 1", true},
                              {"^POPLACH", "ZONA 1 POPLACH", false},
                              {"ALARM$", "ZONA 3 ALARM", true},
                              {"ALARM$", "ALARM ZONA 3", false},
                              {"^ALARM$", "ALARM", true},
                              {"^ALARM$", "ALARM!", false},
                              {"^A.*B$", "AxxB", true},
                              {"^A.*B$", "AxxBx", false},
                              {"^[0-9]+$", "12345", true},
                              {"^[0-9]+$", "123a45", false},
                              {"B*$", "abc", true},
                              {"^", "anything", true},
                              {"$", "anything", true},
                              {"^$", "", true},
                              {"^$", "x", false},
                              {"A^B", "A^B", true},  // '^' not first is itself
                              {"A^B", "AB", false},
                              {"A$B", "A$B", true},  // '$' not last is itself
                              {"$$", "x$", true},    // a '$' then the end anchor
                              {"$$", "x", false},
                              {"^^", "^x", true},
                              {"^^", "x^", false},
                              {"A\\$", "A$B", true},    // an escaped '$' at the end is no anchor
                              {"\\^ A", "x^ A", true},  // nor an escaped '^' at the start
                          });
}

TEST(Regex, Escapes) {
    struct EscapeCase {
        const char* expression;
        unsigned char character;
    } cases[] = {
        {"\\b", 0x08},    {"\\B", 0x08},  {"\\e", 0x1B},  {"\\E", 0x1B},   {"\\f", 0x0C},   {"\\F", 0x0C},
        {"\\n", 0x0A},    {"\\N", 0x0A},  {"\\r", 0x0D},  {"\\R", 0x0D},   {"\\s", 0x20},   {"\\S", 0x20},
        {"\\t", 0x09},    {"\\T", 0x09},  {"\\x41", 'A'}, {"\\X41", 'A'},  {"\\xa", 0x0A},  {"\\x0Fe", 0xFE},
        {"\\x1FF", 0xFF}, {"\\101", 'A'}, {"\\7", 0x07},  {"\\011", 0x09}, {"\\777", 0xFF}, {"\\^A", 0x01},
        {"\\^a", 0x01},   {"\\^Z", 0x1A}, {"\\.", '.'},   {"\\*", '*'},    {"\\[", '['},    {"\\\\", '\\'},
        {"\\q", 'q'},     {"\\8", '8'},   {"\\x", 'x'},   {"\\", '\\'},
    };
    for (const auto& c : cases) {
        Regex re(c.expression);
        ASSERT_TRUE(re.valid()) << c.expression;
        std::string text = std::string("<") + static_cast<char>(c.character) + ">";
        EXPECT_TRUE(re.search(text)) << c.expression << " should match code " << int(c.character);
        std::string other = std::string("<") + static_cast<char>(c.character ^ 0x40) + ">";
        EXPECT_FALSE(re.search(other))
            << c.expression << " should not match code " << int(c.character ^ 0x40);
    }
    // Digits beyond the third belong to the rest of the expression.
    expectCases("escape length", {
                                     {"\\x0412", "A2", true},
                                     {"\\x0412", "A12", false},
                                     {"\\xg", "xg", true},  // \x without a digit is 'x'
                                     {"\\xg", "\x0Fg", false},
                                     {"\\1011", "A1", true},
                                     {"\\^AB",
                                      "\x01"
                                      "B",
                                      true},
                                     {"\\^[a]", "^a", true},  // \^ before a non-letter is '^'
                                     {"\\x41*", "", true},    // an escaped character can repeat
                                     {"\\x41+B", "AAAB", true},
                                 });
}

TEST(Regex, ExpressionEndsAtLineFeed) {
    expectCases("line feed", {
                                 {"ABC\nXYZ", "ABC", true},
                                 {"ABC\nXYZ", "XYZ", false},
                                 {"ABC$\nX", "xABC", true},  // '$' before the line feed is the end
                                 {"ABC$\nX", "ABCx", false},
                             });
    EXPECT_FALSE(Regex("\nABC").valid());  // nothing before the line feed: empty
}

TEST(Regex, InvalidFormsMatchNothing) {
    const char* invalid[] = {
        "",    "*A",   "+A",  "?A",  "^*A", "^+",   "^?", "A**", "A*+",  "A?*",   "A+?",
        "A^*", "A$*B", "A$+", "A^?", "$*",  "[abc", "[^", "[",   "A[b-", "x[\\]", "\n",
    };
    for (const char* e : invalid) {
        Regex re(e);
        EXPECT_FALSE(re.valid()) << "/" << e << "/";
        EXPECT_FALSE(re.search("")) << e;
        EXPECT_FALSE(re.search("A*+?^$[abc]AAAA")) << e;
    }
    EXPECT_FALSE(Regex().valid());
    EXPECT_FALSE(Regex().search("x"));
}

TEST(Regex, CompiledSizeLimit) {
    struct SizeCase {
        std::string expression;
        size_t bytes;
    } cases[] = {
        {"A", 3},  // character 2 + end 1
        {"^A$", 5},
        {".", 2},
        {"A*", 4},
        {"A+", 4},
        {"\\x41", 3},
        {"[abc]", 5},  // code and count 2 + one run 2 + end 1
        {"[a-z]", 5},
        {"[^0-9]", 5},
        {"[ace]", 9},
        {"[a-cb-e]", 5},  // overlapping ranges are one run
        {"[acegikmoqsuwy]", 29},
        {"[]", 3},
        {"[^]", 3},
        {"[\\x00-\\xFF]", 5},
        {std::string(63, 'A'), 127},
        {std::string(63, 'A') + "$", 128},
        {std::string(64, 'A'), 129},
        {"[ace]" + std::string(59, 'A'), 127},
        {"[ace]" + std::string(59, 'A') + "$", 128},
        {"[ace]" + std::string(60, 'A'), 129},
        {"[acegikmoqsuwy][acegikmoqsuwy][acegikmoqsuwy][acegikmoqsuwy]", 113},
        {"[acegikmoqsuwy][acegikmoqsuwy][acegikmoqsuwy][acegikmoqsuwy][a-c][xz]ABC", 129},
    };
    for (const auto& c : cases) {
        Regex re(c.expression);
        EXPECT_EQ(re.compiledSize(), c.bytes) << c.expression;
        EXPECT_EQ(re.valid(), c.bytes <= Regex::kMaxCompiled) << c.expression;
    }
    // The largest expression still works at its edges; one more element and it matches nothing.
    std::string longest = std::string(62, 'A') + "B";
    std::string text = "x" + std::string(62, 'A') + "B";
    EXPECT_TRUE(Regex(longest).search(text));
    EXPECT_FALSE(Regex(longest + "x").search(text + "x"));
    EXPECT_TRUE(Regex("[ace]" + std::string(59, 'A') + "$").search("e" + std::string(59, 'A')));
    EXPECT_FALSE(Regex("[ace]" + std::string(60, 'A')).search("e" + std::string(60, 'A')));
    // A realistic expression with two sets fits easily.
    EXPECT_TRUE(
        Regex("KARTA [0-9]+  PRISTUP POVOLEN  CTECKA [89]$").search("KARTA 123  PRISTUP POVOLEN  CTECKA 9"));
}

TEST(Regex, LongestPossibleAutomaton) {
    // 71 elements: the matcher's state spans two words, and the chain of optional elements
    // (elements 40 to 69) crosses from the first word into the second.
    std::string e;
    for (int i = 0; i < 20; ++i) e += ".+";
    for (int i = 0; i < 30; ++i) e += ".?";
    e += "Z";
    for (std::string expr : {e, "^" + e + "$"}) {
        Regex re(expr);
        ASSERT_TRUE(re.valid()) << re.compiledSize();
        EXPECT_TRUE(re.search(std::string(20, 'y') + "Z")) << expr;
        EXPECT_TRUE(re.search(std::string(70, 'y') + "Z")) << expr;
        EXPECT_FALSE(re.search(std::string(19, 'y') + "Z")) << expr;
        EXPECT_FALSE(re.search(std::string(70, 'y'))) << expr;
    }
    EXPECT_TRUE(Regex(e).search(std::string(30, 'y') + "Z..."));
    EXPECT_FALSE(Regex("^" + e + "$").search(std::string(30, 'y') + "Z..."));
}

TEST(Regex, ManyStateSetsStillMatchCorrectly) {
    // Sixty optional elements make more distinct state sets than the search keeps; the answers
    // must not change once the kept sets are used up, nor on later searches.
    std::string e = "a";
    for (int i = 0; i < 60; ++i) e += ".?";
    e += "b";
    Regex re(e);
    ASSERT_TRUE(re.valid()) << re.compiledSize();
    for (int round = 0; round < 3; ++round) {
        for (int gap = 0; gap <= 70; ++gap) {
            std::string text = "a" + std::string(static_cast<size_t>(gap), 'x') + "b";
            EXPECT_EQ(re.search(text), gap <= 60) << "gap " << gap << " round " << round;
            EXPECT_EQ(re.search("zz" + text + "zz"), gap <= 60) << "gap " << gap << " round " << round;
        }
    }
}

TEST(Regex, AgreesWithBacktrackingOnRandomInputs) {
    // A small reference matcher (plain recursion over the same dialect, restricted to literals
    // a/b, '.', '*', '+' and '?') compared on every short expression and text.
    struct Ref {
        static bool here(const std::string& re, size_t i, const std::string& t, size_t j, bool end) {
            if (i == re.size()) return !end || j == t.size();
            char c = re[i];
            char rep = i + 1 < re.size() ? re[i + 1] : 0;
            auto one = [&](size_t k) { return k < t.size() && (c == '.' || t[k] == c); };
            if (rep == '*' || rep == '+' || rep == '?') {
                size_t min = rep == '+' ? 1 : 0;
                size_t max = rep == '?' ? 1 : t.size();
                size_t k = 0;
                while (k < max && one(j + k)) ++k;
                for (size_t n = k + 1; n-- > min;) {
                    if (here(re, i + 2, t, j + n, end)) return true;
                }
                return false;
            }
            return one(j) && here(re, i + 1, t, j + 1, end);
        }
        static bool search(const std::string& re, const std::string& t, bool start, bool end) {
            for (size_t j = 0; j <= t.size(); ++j) {
                if (here(re, 0, t, j, end)) return true;
                if (start) break;
            }
            return false;
        }
    };
    const char atoms[] = {'a', 'b', '.'};
    const char reps[] = {0, '*', '+', '?'};
    std::vector<std::string> exprs;
    for (char a1 : atoms)
        for (char r1 : reps)
            for (char a2 : atoms)
                for (char r2 : reps)
                    for (char a3 : atoms)
                        for (char r3 : reps) {
                            std::string e;
                            std::array<std::pair<char, char>, 3> parts{{{a1, r1}, {a2, r2}, {a3, r3}}};
                            for (auto [a, r] : parts) {
                                e += a;
                                if (r) e += r;
                            }
                            exprs.push_back(e);
                        }
    std::vector<std::string> texts{""};
    for (size_t len = 1; len <= 5; ++len) {
        for (unsigned bits = 0; bits < (1u << len); ++bits) {
            std::string t;
            for (size_t k = 0; k < len; ++k) t += (bits >> k & 1) ? 'b' : 'a';
            texts.push_back(t);
            texts.push_back("x" + t);
        }
    }
    int compared = 0;
    for (const auto& e : exprs) {
        for (int anchors = 0; anchors < 4; ++anchors) {
            bool start = anchors & 1, end = anchors & 2;
            Regex re((start ? "^" : "") + e + (end ? "$" : ""));
            ASSERT_TRUE(re.valid()) << e;
            for (const auto& t : texts) {
                ASSERT_EQ(re.search(t), Ref::search(e, t, start, end))
                    << (start ? "^" : "") << e << (end ? "$" : "") << " on \"" << t << "\"";
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 100000);
}

TEST(PlainMask, CaseSensitiveSubstring) {
    struct PlainCase {
        const char* mask;
        const char* text;
        bool matches;
    } cases[] = {
        {"ALARM", "ZONA 3 ALARM", true},
        {"ALARM", "zona 3 alarm", false},
        {"ZONA ?", "ZONA 1", false},
        {"ZONA ?", "ZONA ?", true},
        {"A.B", "AxB", false},
        {"A.B", "xA.Bx", true},
        {"", "whatever", true},
        {"", "", true},
        {"abc", "ab", false},
        {"[0-9]", "[0-9]", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plainContains(c.text, c.mask), c.matches) << c.mask << " in " << c.text;
    }
}

TEST(WildcardMask, Conversion) {
    struct ConvCase {
        const char* mask;
        const char* expression;
    } cases[] = {
        {"ZONA ?", "ZONA ."},   {"A*B", "A.*B"},     {"**", ".*.*"}, {"*?", ".*."},         {"1.2", "1.2"},
        {"[a-z]+$", "[a-z]+$"}, {"^X\\*", "^X\\.*"}, {"", ""},       {"a\\nb*", "a\\nb.*"},
    };
    for (const auto& c : cases) EXPECT_EQ(wildcardToRegex(c.mask), c.expression) << c.mask;

    expectCases("wildcard", {
                                {"ZONA .", "ZONA 1", true},
                                {"ZONA .", "ZONA 12", true},
                                {"ZONA .", "XZONA 1", true},
                                {"ZONA .", "ZONA", false},
                                {"A.*B", "AxyzB", true},
                                {"1.2", "1x2", true},
                            });
    // A wildcard mask may start with a regular expression repetition: it then matches nothing.
    EXPECT_FALSE(Regex(wildcardToRegex("+ZONA")).valid());
    EXPECT_TRUE(Regex(wildcardToRegex("*ZONA")).search("ZONA"));
}
