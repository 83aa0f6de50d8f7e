// The menu rights table and the command table: value sets, what applying a value changes, the
// refusals of the dispatcher.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/commands.h"
#include "app/menu.h"
#include "app/strings.h"
#include "text/cz.h"

using namespace vrx;
using namespace vrx::app;

namespace {

struct RecordingTarget : MenuTarget {
    std::map<int, bool> menuItems, toolbar, programs;
    bool resizable = true, maximized = false, onTop = false;
    void enableMenuItem(int c, bool on) override { menuItems[c] = on; }
    void enableToolbarButton(int c, bool on) override { toolbar[c] = on; }
    void enableProgramButton(int b, bool on) override { programs[b] = on; }
    void allowResize(bool allowed, bool forceMaximized) override {
        resizable = allowed;
        maximized = forceMaximized;
    }
    void keepOnTop(bool on) override { onTop = on; }
};

// The 17 toolbar buttons.
const std::set<int> kToolbar = {20101, 20106, 20111, 20107, 20104, 20125, 20113, 20128, 20122,
                                20109, 20108, 20117, 20116, 20143, 20141, 20142, 20147};

}  // namespace

TEST(Menu, GroupsAndValueSets) {
    struct Case {
        int command, group, defaults, service;
    };
    const Case cases[] = {
        {20101, 1, 3, 3}, {20102, 1, 3, 3}, {20105, 1, 3, 3}, {20146, 1, 3, 3},
        {20147, 1, 3, 3}, {20103, 2, 5, 4}, {20109, 2, 5, 4}, {20127, 2, 5, 4},
        {20145, 2, 5, 4}, {20152, 2, 5, 4}, {20104, 3, 0, 2}, {20106, 3, 0, 2},
        {20107, 3, 0, 2}, {20108, 3, 0, 2}, {20111, 3, 0, 2}, {20144, 3, 0, 2},
    };
    MENU m;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(MENU::groupOf(c.command), c.group);
        m.applyDefaults();
        EXPECT_EQ(m.value(c.command), c.defaults);
        m.applyService();
        EXPECT_EQ(m.value(c.command), c.service);
    }
    int groups[4] = {};
    for (int i = 0; i < kRightsCount; ++i) ++groups[m.item(i).group];
    EXPECT_EQ(groups[1], 5);
    EXPECT_EQ(groups[3], 6);
    EXPECT_EQ(groups[2], 41);

    unsigned char rights[100];
    std::fill(std::begin(rights), std::end(rights), 0xEE);
    MENU::writeDefaults(rights);
    for (int i = 0; i < kRightsCount; ++i) EXPECT_EQ(rights[i], operators::lowestRight(i));
    EXPECT_EQ(rights[52], 0xEE);  // the bytes after the rights are not touched
}

TEST(Menu, DefaultsGreyGroupsTwoAndThreeAndTheirToolbarButtons) {
    MENU m;
    RecordingTarget t;
    m.setTarget(&t);
    m.applyDefaults();
    EXPECT_EQ(t.menuItems.size(), 47u);
    for (auto [command, on] : t.menuItems) {
        SCOPED_TRACE(command);
        EXPECT_EQ(on, MENU::groupOf(command) == 1);
    }
    // Only the mirrored items touch the toolbar, and login and help stay enabled there.
    for (auto [command, on] : t.toolbar) EXPECT_EQ(on, command == 20101 || command == 20147) << command;
    for (int c : kToolbar) EXPECT_TRUE(t.toolbar.count(c)) << c;
    EXPECT_EQ(t.programs, (std::map<int, bool>{{1, false}, {2, false}, {3, false}}));
    EXPECT_FALSE(t.resizable);
    EXPECT_TRUE(t.maximized);
    EXPECT_TRUE(t.onTop);

    m.applyService();
    for (auto [command, on] : t.menuItems) EXPECT_TRUE(on) << command;
    for (auto [command, on] : t.toolbar) EXPECT_TRUE(on) << command;
    EXPECT_EQ(t.programs, (std::map<int, bool>{{1, true}, {2, true}, {3, true}}));
    EXPECT_TRUE(t.resizable);
    EXPECT_FALSE(t.maximized);
    EXPECT_FALSE(t.onTop);
}

TEST(Menu, OperatorValues) {
    MENU m;
    RecordingTarget t;
    m.setTarget(&t);
    unsigned char rights[kRightsCount];
    MENU::writeDefaults(rights);
    rights[20104 - 20101] = kRightRead;    // operators: read → enabled
    rights[20106 - 20101] = kRightNone;    // card users: none → greyed
    rights[20128 - 20101] = kRightYes;     // extract window
    rights[20149 - 20101] = kRightYes;     // program button 2
    rights[20150 - 20101] = kRightAlways;  // only "Ano" enables a program button
    rights[20151 - 20101] = kRightYes;
    rights[20152 - 20101] = kRightYes;
    m.applyAll(rights);
    EXPECT_TRUE(t.menuItems[20104]);
    EXPECT_TRUE(t.toolbar[20104]);
    EXPECT_FALSE(t.menuItems[20106]);
    EXPECT_FALSE(t.toolbar[20106]);
    EXPECT_TRUE(t.menuItems[20128]);
    EXPECT_TRUE(t.toolbar[20128]);
    EXPECT_FALSE(t.menuItems[20127]);
    EXPECT_EQ(t.programs, (std::map<int, bool>{{1, false}, {2, true}, {3, false}}));
    EXPECT_TRUE(t.resizable);
    EXPECT_FALSE(t.onTop);
    EXPECT_TRUE(m.allows(20104));
    EXPECT_FALSE(m.allows(20106));

    // 20151 with a value that is neither "Ano" nor "Ne": not resizable, not forced maximized.
    m.applyCommand(20151, kRightAlways);
    EXPECT_FALSE(t.resizable);
    EXPECT_FALSE(t.maximized);
    m.applyCommand(20152, kRightNo);
    EXPECT_TRUE(t.onTop);
}

TEST(Menu, ItemTextsAreTheStringTable) {
    EXPECT_EQ(MENU::itemText(20101), "Přihlášení operátora do programu"_cz);
    EXPECT_EQ(MENU::itemText(20152), "Povolení překrytí okna programu jiným oknem"_cz);
    for (int c = kFirstCommand; c <= kLastCommand; ++c) EXPECT_FALSE(MENU::itemText(c).empty()) << c;
}

TEST(Commands, TableAndAccelerators) {
    ASSERT_EQ(menuCommands().size(), 47u);
    int n = kFirstCommand;
    for (const auto& c : menuCommands()) EXPECT_EQ(c.number, n++);
    const std::map<int, int> keys = {{1, 20147}, {2, 20101}, {3, 20102}, {4, 20128}, {5, 20129},
                                     {6, 20116}, {7, 20143}, {8, 20109}, {9, 20117}};
    for (auto [key, command] : keys) EXPECT_EQ(commandForKey(key), command) << key;
    EXPECT_EQ(commandForKey(10), 0);
    EXPECT_EQ(menuLabel(*commandInfo(20101)), "&Přihlášení ..."_cz);
    EXPECT_EQ(menuLabel(*commandInfo(20129)), "&Audit ..."_cz);
    EXPECT_EQ(menuLabel(*commandInfo(20141)), "&Zobrazení &alarmů"_cz);
    EXPECT_EQ(commandInfo(20148), nullptr);

    // Every menu command sits in exactly one menu.
    std::multiset<int> placed;
    for (const auto& m : menus()) {
        for (int c : menuItems(m.group)) {
            if (c) {
                placed.insert(c);
                EXPECT_EQ(commandInfo(c)->menu, m.group) << c;
            }
        }
    }
    for (int c = kFirstCommand; c <= kLastMenuCommand; ++c) EXPECT_EQ(placed.count(c), 1u) << c;
    EXPECT_EQ(commandTooltip(20106).size(), 47u);  // "Tabulka uživatelů karet a docházkových událostí"
    EXPECT_EQ(commandTooltip(20135), "Nastavení zálohování úplného provozního deníku"_cz);
}

TEST(Commands, Refusals) {
    const std::string viewing = "Funkce není k dispozici\nv režimu prohlížeč"_cz;
    CommandState ok;
    ok.runConditions = true;
    ok.loggedIn = true;
    ok.panelType = 1;
    ok.hasDecoder = true;
    ok.hardwareBufferReader = true;
    ok.fullLogWindowOpen = true;
    ok.historyEmpty = [] { return false; };

    struct Case {
        const char* what;
        int command;
        std::function<void(CommandState&)> change;
        Refusal::Kind kind;
        std::string text;
    };
    const Case cases[] = {
        {"allowed", 20109, [](CommandState&) {}, Refusal::None, ""},
        {"viewing", 20117, [](CommandState& s) { s.mode = RunMode::Viewing; }, Refusal::Message, viewing},
        {"viewing", 20144, [](CommandState& s) { s.mode = RunMode::Viewing; }, Refusal::Message, viewing},
        {"viewing allowed", 20120, [](CommandState& s) { s.mode = RunMode::Viewing; }, Refusal::None, ""},
        {"paused", 20128, [](CommandState& s) { s.paused = true; }, Refusal::Ignore, ""},
        {"paused", 20114, [](CommandState& s) { s.paused = true; }, Refusal::Ignore, ""},
        {"paused search", 20116, [](CommandState& s) { s.paused = true; }, Refusal::None, ""},
        {"paused beats viewing", 20127,
         [](CommandState& s) {
             s.paused = true;
             s.mode = RunMode::Viewing;
         },
         Refusal::Ignore, ""},
        {"run conditions, filter table", 20111, [](CommandState& s) { s.runConditions = false; },
         Refusal::Message, "Nejsou splneny podmínky pro beh programu"_cz},
        {"run conditions, deletion", 20118, [](CommandState& s) { s.runConditions = false; },
         Refusal::Message, "Nejsou splněny podmínky pro běh programu"_cz},
        {"empty log, deletion", 20118, [](CommandState& s) { s.historyEmpty = [] { return true; }; },
         Refusal::Message, "Úplný provozní deník je prázdný"_cz},
        {"empty log, export", 20109, [](CommandState& s) { s.historyEmpty = [] { return true; }; },
         Refusal::Message, "Tabulka historie je prázdná"_cz},
        {"online export", 20109, [](CommandState& s) { s.onlineExporter = true; }, Refusal::Message,
         "Nelze provádět dávkový export pokud probíhá online export.\nZastavte nejdříve online export."_cz},
        {"logout nobody", 20102, [](CommandState& s) { s.loggedIn = false; }, Refusal::Beep, ""},
        {"card users, panel 2", 20106, [](CommandState& s) { s.panelType = 2; }, Refusal::Beep, ""},
        {"readers, panel 9", 20107, [](CommandState& s) { s.panelType = 9; }, Refusal::None, ""},
        {"no decoder", 20125, [](CommandState& s) { s.hasDecoder = false; }, Refusal::Message,
         "Není nastavena ústředna. Nastavení se provádí v menu Nastavení/Ústředna"_cz},
        {"no hw buffer", 20126, [](CommandState& s) { s.hardwareBufferReader = false; }, Refusal::Message,
         "Není nastaven HW-buffer. Nastavení se provádí v menu Nastavení/Sériový port"_cz},
        {"continuous", 20125, [](CommandState& s) { s.continuousReading = true; }, Refusal::Message,
         "Vypněte průběžné čtení HW-bufferu v menu Nastavení/Sériový port"_cz},
        {"full log closed", 20127, [](CommandState& s) { s.fullLogWindowOpen = false; }, Refusal::Message,
         "Nejsou splněny podmínky pro běh programu."_cz},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.command));
        CommandState s = ok;
        c.change(s);
        Refusal r = checkCommand(c.command, s);
        EXPECT_EQ(r.kind, c.kind);
        if (c.kind == Refusal::Message) EXPECT_EQ(std::string(r.text), c.text);
    }
}
