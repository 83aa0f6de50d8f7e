// The rights, the operator list and detail, and the list search.
#include <gtest/gtest.h>

#include "core/operators/login_fixture.h"
#include "operators/list_search.h"
#include "operators/operator_table.h"
#include "operators/rights.h"
#include "text/cz.h"

using namespace vrx;
using namespace vrx::operators;

TEST(Rights, KindsAndStandardSets) {
    int kinds[4] = {};
    for (int i = 0; i < kRightCount; ++i) ++kinds[rightKind(i)];
    EXPECT_EQ(kinds[1], 5);  // login, logout, exit, about, manual: always allowed
    EXPECT_EQ(kinds[3], 6);  // the table dialogs and the stations
    EXPECT_EQ(kinds[2], 41);
    EXPECT_EQ(rightKind(kRightOperators), 3);
    EXPECT_EQ(rightKind(kRightStations), 3);
    EXPECT_EQ(rightKind(rightIndex(20105)), 1);
    EXPECT_EQ(rightIndex(20100), -1);
    EXPECT_EQ(rightIndex(20153), -1);

    const Rights full = fullRights(), out = loggedOutRights();
    EXPECT_EQ(out, defaultRights());
    for (int i = 0; i < kRightCount; ++i) {
        SCOPED_TRACE(i);
        const unsigned char expectFull[] = {0, kRightAlways, kRightYes, kRightWrite};
        const unsigned char expectOut[] = {0, kRightAlways, kRightNo, kRightNone};
        EXPECT_EQ(full[static_cast<size_t>(i)], expectFull[rightKind(i)]);
        EXPECT_EQ(out[static_cast<size_t>(i)], expectOut[rightKind(i)]);
        // Logged out, kind 1 commands stay available and all others are greyed.
        EXPECT_EQ(enablesCommand(out[static_cast<size_t>(i)]), rightKind(i) == 1);
        EXPECT_TRUE(enablesCommand(full[static_cast<size_t>(i)]));
    }
}

TEST(Rights, CyclesAndTexts) {
    struct Case {
        int index;
        std::vector<unsigned char> sequence;  // the value, then after each switch
    };
    const Case cases[] = {
        {kRightOperators, {kRightNone, kRightRead, kRightWrite, kRightNone}},
        {rightIndex(20130), {kRightNo, kRightYes, kRightNo}},
        {rightIndex(20101), {kRightAlways, kRightAlways}},
        {kRightStations, {kRightYes, kRightNone}},  // a value foreign to the kind starts its cycle
        {rightIndex(20130), {kRightWrite, kRightYes}},
    };
    for (const Case& c : cases) {
        for (size_t k = 0; k + 1 < c.sequence.size(); ++k)
            EXPECT_EQ(cycledRight(c.index, c.sequence[k]), c.sequence[k + 1]) << c.index << " step " << k;
    }
    EXPECT_STREQ(rightValueText(kRightNone), "Žádné"_cz);
    EXPECT_STREQ(rightValueText(kRightRead), "Čtení"_cz);
    EXPECT_STREQ(rightValueText(kRightWrite), "Zápis"_cz);
    EXPECT_STREQ(rightValueText(kRightAlways), "     ");
    EXPECT_STREQ(rightValueText(kRightYes), "Ano  ");
    EXPECT_STREQ(rightValueText(kRightNo), "Ne   ");
}

namespace {

class Operators : public test::LoginFixture {
  protected:
    std::vector<std::string> lines() {
        OperatorList l;
        EXPECT_TRUE(l.open());
        return l.lines();
    }
    std::string line(const std::string& name, bool password) {
        std::string s = name;
        s.resize(40, ' ');
        return s + " " + (password ? "Ano" : "");
    }
};

}  // namespace

TEST_F(Operators, TablesThatCannotBeOpened) {
    OperatorList l;
    EXPECT_FALSE(l.open());
    OperatorEditor e;
    EXPECT_FALSE(e.open(0));
    makeOperators({{"Novak", "a"}});
    EXPECT_FALSE(e.open(2));
}

TEST_F(Operators, NewOperatorStartsWithDefaultRightsAndIsStored) {
    makeOperators({{"Novak", "a"}});
    OperatorEditor e;
    ASSERT_TRUE(e.open(0));
    EXPECT_TRUE(e.isNew());
    EXPECT_FALSE(e.hasPassword());
    EXPECT_EQ(e.rights(), defaultRights());
    EXPECT_EQ(e.rightLine(kRightOperators, "Tabulka operátorů programu"_cz),
              "Žádné  Tabulka operátorů programu"_cz);
    EXPECT_EQ(e.rightLine(0, "X"), "       X");
    e.cycle(kRightOperators);
    e.cycle(kRightOperators);
    EXPECT_EQ(e.save("Svoboda", true, "heslo", "heslo"), OperatorEditor::SaveResult::Saved);
    EXPECT_EQ(lines(), (std::vector<std::string>{line("Novak"_cz, true), line("Svoboda", true)}));
    OperatorCheck c;
    c.open();
    TABHESLA::Record r;
    ASSERT_TRUE(c.find("Svoboda", r));
    EXPECT_STREQ(r.Heslo, "heslo");
    EXPECT_EQ(r.Opravneni[kRightOperators], kRightWrite);
    EXPECT_EQ(auditEntries(), std::vector<std::string>{"|Přidání nebo oprava hesla Svoboda"_cz});
}

TEST_F(Operators, SaveChecksInOrder) {
    makeOperators({{"Novak", "a"}, {"Svoboda", ""}});
    struct Case {
        long record;
        std::string name;
        bool usePassword;
        std::string password, verification;
        OperatorEditor::SaveResult result;
        std::string message;
    };
    using R = OperatorEditor::SaveResult;
    const Case cases[] = {
        {0, "", true, "", "x", R::NoName, "Není zadáno jméno."_cz},
        {0, "Dvorak"_cz, true, "", "", R::NoPassword, "Není zadáno heslo."_cz},
        {0, "Dvorak"_cz, true, "a", "b", R::PasswordMismatch, "Text hesla je jiný než text ověření."_cz},
        {0, "Novak"_cz, false, "", "", R::Duplicate, "Duplicitní jméno."_cz},
        {1, "Svoboda", true, "a", "a", R::Duplicate, "Duplicitní jméno."_cz},
        {2, "Svoboda", false, "", "", R::Saved, ""},     // unchanged: not a duplicate of itself
        {1, "Novak"_cz, false, "zz", "", R::Saved, ""},  // without a password the fields do not count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        SCOPED_TRACE(c.name);
        messages.shown.clear();
        OperatorEditor e;
        ASSERT_TRUE(e.open(c.record));
        EXPECT_EQ(e.save(c.name, c.usePassword, c.password, c.verification), c.result);
        if (c.message.empty()) {
            EXPECT_TRUE(messages.shown.empty());
        } else {
            EXPECT_EQ(messages.shown, std::vector<std::string>{"Informace|" + c.message});
            EXPECT_EQ(messages.icons.back(), platform::Icon::Warning);
        }
    }
    EXPECT_EQ(lines(), (std::vector<std::string>{line("Novak"_cz, false), line("Svoboda", false)}));
}

TEST_F(Operators, RenamingChangesOnlyThatOperatorAndKeepsTheSpareRightsBytes) {
    makeOperators({{"Novak", "a"}, {"Svoboda", "b"}, {"Dvorak", "c"}});
    {
        TABHESLA t;
        ASSERT_TRUE(t.open(0, 1, 0));
        ASSERT_TRUE(t.readAt(2));
        t.rec.Opravneni[60] = 77;  // a byte after the 52 rights
        ASSERT_TRUE(t.save(0));
    }
    OperatorEditor e;
    ASSERT_TRUE(e.open(2));
    EXPECT_EQ(e.name(), "Svoboda");
    EXPECT_EQ(e.password(), "b");
    e.setAll();
    ASSERT_EQ(e.save("Procházka"_cz, true, "b", "b"), OperatorEditor::SaveResult::Saved);
    EXPECT_EQ(lines(), (std::vector<std::string>{line("Novak"_cz, true), line("Procházka"_cz, true),
                                                 line("Dvorak"_cz, true)}));
    TABHESLA t;
    ASSERT_TRUE(t.open(0, 0, 0));
    ASSERT_TRUE(t.readAt(2));
    EXPECT_EQ(t.rec.Opravneni[60], 77);
    EXPECT_EQ(rightsFromBytes(t.rec.Opravneni), fullRights());
    ASSERT_TRUE(t.readAt(1));
    EXPECT_EQ(rightsFromBytes(t.rec.Opravneni), defaultRights());
}

TEST_F(Operators, SetAllThenClearAllLeavesKindOneBlank) {
    makeOperators({{"Novak", "a"}});
    OperatorEditor e;
    ASSERT_TRUE(e.open(1));
    e.setAll();
    EXPECT_EQ(e.rights(), fullRights());
    e.clearAll();
    for (int i = 0; i < kRightCount; ++i) {
        if (rightKind(i) == 1) EXPECT_EQ(e.rightLine(i, "x"), "       x") << i;
    }
    EXPECT_EQ(e.rights(), loggedOutRights());
}

TEST_F(Operators, EditOfAnOperatorMovedByAnotherStation) {
    makeOperators({{"Novak", "a"}, {"Svoboda", "b"}, {"Dvorak", "c"}});
    OperatorEditor e;
    ASSERT_TRUE(e.open(3));  // Dvorak
    {
        OperatorList other;  // meanwhile another station deletes the first operator
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(other.remove(0));
    }
    ASSERT_EQ(e.save("Dvorak"_cz, true, "d", "d"), OperatorEditor::SaveResult::Saved);
    OperatorCheck c;
    c.open();
    EXPECT_TRUE(c.matches("Svoboda", "b"));
    EXPECT_TRUE(c.matches("Dvorak"_cz, "d"));
    EXPECT_EQ(lines().size(), 2u);
    {
        OperatorList other;  // and then the edited one itself
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(other.remove(1));
    }
    EXPECT_EQ(e.save("Dvorak"_cz, false, "", ""), OperatorEditor::SaveResult::WriteFailed);
    EXPECT_EQ(messages.last(), "Chyba|Záznam nelze zapsat."_cz);
    EXPECT_EQ(lines(), std::vector<std::string>{line("Svoboda", true)});
}

TEST_F(Operators, RemoveWritesTheNameFirst) {
    makeOperators({{"Novak", "a"}, {"Svoboda", ""}});
    OperatorList l;
    ASSERT_TRUE(l.open());
    EXPECT_EQ(l.count(), 2);
    EXPECT_FALSE(l.remove(2));
    ASSERT_TRUE(l.remove(1));
    EXPECT_EQ(l.count(), 1);
    EXPECT_EQ(auditEntries(), std::vector<std::string>{"|Smazání hesla Svoboda"_cz});
}

namespace {

class Search : public ::testing::Test {
  protected:
    void SetUp() override { platform::setMessages(&messages); }
    void TearDown() override { platform::setMessages(nullptr); }
    test::RecordingMessages messages;
    std::vector<std::string> lines{"Novak     Ano"_cz, "Svoboda", "NOVOTNÝ"_cz, "dvořák"_cz};
};

}  // namespace

TEST_F(Search, FromTheLineAfterTheSelectionWithoutCase) {
    EXPECT_EQ(searchList(lines, -1, "nov"), 0);
    EXPECT_EQ(searchList(lines, 0, "nov"), 2);
    EXPECT_EQ(searchList(lines, 0, "DVOŘ"_cz), 3);  // letters with diacritics without case too
    EXPECT_EQ(searchList(lines, 1, ""), 2);         // an empty text takes the next line
    EXPECT_TRUE(messages.asked.empty());
}

TEST_F(Search, WrapsOnlyAfterTheQuestion) {
    messages.answers = {true};
    EXPECT_EQ(searchList(lines, 2, "nov"), 0);
    ASSERT_EQ(messages.asked.size(), 1u);
    EXPECT_EQ(messages.asked[0], "Nenalezeno. Zahájit hledání od začátku seznamu ?"_cz);
    messages.answers = {false};
    EXPECT_EQ(searchList(lines, 2, "nov"), -1);
    messages.answers = {true, true, false};  // not anywhere: asked at every end until Cancel
    EXPECT_EQ(searchList(lines, 0, "xyz"), -1);
    EXPECT_EQ(messages.asked.size(), 5u);
    const int beeps = messages.beeps;
    EXPECT_EQ(searchList({}, -1, "a"), -1);
    EXPECT_EQ(messages.beeps, beeps + 1);
}
