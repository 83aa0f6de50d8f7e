// The filter manager: load order, the scope bits, the mask types and the actions read live.
#include "logs/filtermgr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>

#include "core/logs/logs_fixture.h"

using namespace vrx;
using vrx::test::FilterSpec;

namespace {

class FilterManager : public test::LogsFixture {};

// Mask of the filter Find reports for the text, or "-" when none.
std::string found(const FILTERMANAGER& m, std::string_view text, int scope, int start = 0) {
    FILTERMANAGER::Found f;
    return m.Find(text, scope, start, f) ? std::string(m.filter(f.index).storedMask()) : "-";
}

}  // namespace

TEST_F(FilterManager, LoadOrdersByDescendingPriorityThenByMask) {
    for (auto [mask, prio] : std::vector<std::pair<std::string, int>>{
             {"C", 0}, {"A", 0}, {"HIGH", 7}, {"B", 0}, {"LOW", -3}, {"MID", 2}, {"\xC8", 0}, {"Z", 0}}) {
        addFilter({.mask = mask, .priority = prio});
    }
    FILTERMANAGER m;
    ASSERT_TRUE(m.isOpen());
    std::vector<std::string> order;
    for (int i = 0; i < m.Count(); ++i) {
        order.push_back(m.filter(i).storedMask());
        EXPECT_EQ(m.filter(i).position(), i + 1);
    }
    // Equal priorities in mask order, bytes compared unsigned ("\xC8" after "Z").
    EXPECT_EQ(order, (std::vector<std::string>{"HIGH", "MID", "A", "B", "C", "Z", "\xC8", "LOW"}));
    // The same order after a reload.
    ASSERT_TRUE(m.Load());
    for (int i = 0; i < m.Count(); ++i) EXPECT_EQ(m.filter(i).storedMask(), order[static_cast<size_t>(i)]);
}

TEST_F(FilterManager, FindHonoursOrderScopeAndStartIndex) {
    addFilter({.mask = "ALARM", .priority = 5, .logs = 2, .foreground = 0xFF});
    addFilter({.mask = "ZONA", .priority = 3, .logs = 1, .foreground = 0xFF00});
    addFilter({.mask = "ZONA 3", .priority = 1, .logs = 3, .foreground = 0xFF0000, .background = 0x123456});
    addFilter({.mask = "NEVER", .priority = 0, .logs = 0});
    FILTERMANAGER m;
    ASSERT_EQ(m.Count(), 4);

    EXPECT_EQ(found(m, "ZONA 3 ALARM", kScopeUpd), "ALARM");      // higher priority wins
    EXPECT_EQ(found(m, "ZONA 3 ALARM", kScopeEpd), "ZONA");       // the UPD-only filter takes no part
    EXPECT_EQ(found(m, "ZONA 3 ALARM", kScopeUpd, 1), "ZONA 3");  // from index 1 on
    EXPECT_EQ(found(m, "ZONA 3 ALARM", kScopeEpd, 2), "ZONA 3");  // Denik 3 works in both logs
    EXPECT_EQ(found(m, "ZONA 3 ALARM", kScopeUpd, 3), "-");
    EXPECT_EQ(found(m, "NEVER", kScopeUpd), "-");  // Denik 0 never matches
    EXPECT_EQ(found(m, "NEVER", kScopeEpd), "-");
    EXPECT_EQ(found(m, "zona 3 alarm", kScopeUpd), "-");

    FILTERMANAGER::Found f;
    ASSERT_TRUE(m.Find("ZONA 3", kScopeUpd, 0, f));
    EXPECT_EQ(f.index, 2);
    EXPECT_EQ(f.foreground, 0xFF0000);
    EXPECT_EQ(f.background, 0x123456);
    EXPECT_EQ(f.lines, 1);
    EXPECT_EQ(f.mask, "ZONA 3");
    // Not found: black on white, no lines, type 0, the last index.
    ASSERT_FALSE(m.Find("nothing", kScopeUpd, 0, f));
    EXPECT_EQ(f.foreground, 0);
    EXPECT_EQ(f.background, 0xFFFFFF);
    EXPECT_EQ(f.lines, 0);
    EXPECT_EQ(f.type, 0);
    EXPECT_EQ(f.index, 3);
}

TEST_F(FilterManager, MaskTypes) {
    addFilter({.mask = "ALARM", .priority = 9, .type = kMaskPlain});
    addFilter({.mask = "ZONA ?", .priority = 8, .type = kMaskWildcard});
    addFilter({.mask = "A*B", .priority = 7, .type = kMaskWildcard});
    addFilter({.mask = "1.2", .priority = 6, .type = kMaskWildcard});
    addFilter({.mask = "^POPLACH", .priority = 5, .type = kMaskRegex});
    addFilter({.mask = "[0-9]+ OK$", .priority = 4, .type = kMaskRegex});
    addFilter({.mask = "*INVALID", .priority = 3, .type = kMaskRegex});
    addFilter({.mask = "UNKNOWN", .priority = 2, .type = 3});
    addFilter({.mask = "P.N", .priority = 1, .type = kMaskPlain});
    FILTERMANAGER m;
    ASSERT_EQ(m.Count(), 9);
    EXPECT_EQ(m.filter(1).mask(), "ZONA .");
    EXPECT_EQ(m.filter(2).mask(), "A.*B");
    EXPECT_EQ(m.filter(7).mask(), "");  // unknown type: empty mask

    struct Case {
        const char* text;
        const char* filter;
    } cases[] = {
        {"ZONA 3 ALARM", "ALARM"},
        {"zona 3 alarm", "-"},
        {"ZONA 1", "ZONA ?"},
        {"ZONA 12", "ZONA ?"},
        {"XZONA 1", "ZONA ?"},
        {"ZONA", "-"},
        {"A--B", "A*B"},
        {"B--A", "-"},
        {"1x2", "1.2"},
        {"POPLACH Z1", "^POPLACH"},
        {"Z1 POPLACH", "-"},
        {"KOD 12 OK", "[0-9]+ OK$"},
        {"KOD 12 OK!", "-"},
        {"*INVALID", "-"},
        {"UNKNOWN", "-"},
        {"PIN", "-"},
        {"P.N", "P.N"},
    };
    for (const auto& c : cases) EXPECT_EQ(found(m, c.text, kScopeUpd), c.filter) << c.text;
}

TEST_F(FilterManager, MultiLineMasksMatchOnTheirFirstLine) {
    addFilter({.mask = "VSTUP\\nODCHOD", .priority = 2});
    addFilter({.mask = "Z? *\\nX*", .priority = 1, .type = kMaskWildcard});
    FILTERMANAGER m;
    FILTERMANAGER::Found f;
    ASSERT_TRUE(m.Find("VSTUP 3", kScopeUpd, 0, f));
    EXPECT_EQ(f.lines, 2);
    EXPECT_EQ(f.mask, "VSTUP\\nODCHOD");
    EXPECT_EQ(found(m, "ODCHOD", kScopeUpd), "-");
    ASSERT_TRUE(m.Find("Z1 ABC", kScopeUpd, 0, f));
    EXPECT_EQ(f.mask, "Z. .*\\nX.*");  // the separator survives the conversion
    EXPECT_EQ(f.type, kMaskWildcard);
    EXPECT_EQ(found(m, "X", kScopeUpd), "-");
}

TEST_F(FilterManager, EmptyOrMissingTable) {
    FILTERMANAGER m;
    ASSERT_TRUE(m.isOpen());
    EXPECT_EQ(m.Count(), 0);
    EXPECT_EQ(found(m, "ALARM", kScopeUpd), "-");
    FILTERMANAGER::ActionSet a;
    EXPECT_FALSE(m.Actions(0, a));

    std::filesystem::remove(priv + "/FILTRY.DB");
    FILTERMANAGER missing;
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.Load());
    EXPECT_EQ(found(missing, "ALARM", kScopeUpd), "-");
}

TEST_F(FilterManager, ActionsAreReadFromTheFiltersOwnRecord) {
    addFilter({.mask = "B-FILTER",
               .logs = 2,
               .alarm = true,
               .repeat = true,
               .sound = "b.wav",
               .picture = "b.bmp",
               .program = "prog-b",
               .parameters = "-x $$$"});
    addFilter({.mask = "C-FILTER", .logs = 2, .sound = "c.wav"});
    FILTERMANAGER m;
    ASSERT_EQ(m.Count(), 2);
    FILTERMANAGER::ActionSet a;
    ASSERT_TRUE(m.Actions(0, a));
    EXPECT_TRUE(a.alarm);
    EXPECT_TRUE(a.repeat);
    EXPECT_EQ(a.sound, "b.wav");
    EXPECT_EQ(a.picture, "b.bmp");
    EXPECT_EQ(a.program, "prog-b");
    EXPECT_EQ(a.parameters, "-x $$$");

    // Changes of the action fields take effect without a reload.
    editFilter("B-FILTER", [](TABFILTRY::Record& r) {
        std::strcpy(r.Zvuk, "new.wav");
        r.Opak = false;
    });
    ASSERT_TRUE(m.Actions(0, a));
    EXPECT_EQ(a.sound, "new.wav");
    EXPECT_FALSE(a.repeat);

    // A filter added before them in the order, and one deleted, without a reload: each index still
    // reads its own filter's record.
    addFilter({.mask = "A-FILTER", .logs = 2, .sound = "a.wav"});
    ASSERT_TRUE(m.Actions(1, a));
    EXPECT_EQ(a.sound, "c.wav");
    ASSERT_TRUE(m.Actions(0, a));
    EXPECT_EQ(a.sound, "new.wav");
    deleteFilter("B-FILTER");
    EXPECT_FALSE(m.Actions(0, a));  // its record is gone: no actions
    EXPECT_EQ(a.sound, "");
    ASSERT_TRUE(m.Actions(1, a));
    EXPECT_EQ(a.sound, "c.wav");

    // Without the UPD bit the record has no actions, only colours and logs.
    editFilter("C-FILTER", [](TABFILTRY::Record& r) {
        r.Denik = 1;
        r.Popredi = 0x00FF00;
    });
    ASSERT_TRUE(m.Actions(1, a));
    EXPECT_EQ(a.logs, 1);
    EXPECT_EQ(a.foreground, 0x00FF00);
    EXPECT_EQ(a.sound, "");
    EXPECT_FALSE(m.Actions(2, a));
    EXPECT_FALSE(m.Actions(-1, a));
}

TEST_F(FilterManager, QuickRejectionNeverHidesAMatch) {
    // More than 64 filters of every kind, compared with trying each filter in turn.
    std::mt19937 rng(7);
    const char* words[] = {"ZONA", "ALARM", "VSTUP", "ODCHOD", "PORUCHA", "KARTA", "12", "3", "A", " "};
    auto word = [&] { return std::string(words[rng() % 10]); };
    std::vector<std::string> masks;
    for (int i = 0; i < 90; ++i) {
        int type = static_cast<int>(rng() % 3);
        std::string mask;
        switch (rng() % 5) {
            case 0:
                mask = word();
                break;
            case 1:
                mask = word() + " " + word();
                break;
            case 2:
                mask = type == 0 ? word() : word() + ".*" + word();
                break;
            case 3:
                mask = type == 0 ? word() + word() : "[0-9]+ " + word();
                break;
            default:
                mask = type == 0 ? std::string(1, "AZ1 "[rng() % 4]) : "^" + word() + "?";
                break;
        }
        if (i % 7 == 0) mask += std::to_string(i);
        if (std::find(masks.begin(), masks.end(), mask) != masks.end()) continue;
        masks.push_back(mask);
        addFilter({.mask = mask,
                   .priority = static_cast<int>(rng() % 4),
                   .logs = static_cast<int>(rng() % 4),
                   .type = type});
    }
    FILTERMANAGER m;
    ASSERT_GT(m.Count(), 64);
    for (int t = 0; t < 2000; ++t) {
        std::string text;
        for (int w = 0; w < 5; ++w) text += word() + (rng() % 2 ? " " : "");
        for (int scope : {1, 2, 3}) {
            int start = static_cast<int>(rng() % 80);
            int expected = -1;
            for (int i = start; i < m.Count(); ++i) {
                if ((m.filter(i).logs() & scope) && m.filter(i).Matches(text)) {
                    expected = i;
                    break;
                }
            }
            FILTERMANAGER::Found f;
            bool ok = m.Find(text, scope, start, f);
            ASSERT_EQ(ok, expected >= 0) << text;
            if (ok) ASSERT_EQ(f.index, expected) << text << " scope " << scope << " from " << start;
        }
    }
}
