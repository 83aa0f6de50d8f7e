// The table classes: layouts, record buffers, key searches and the scrambled fields.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "core/db/dbfixture.h"
#include "db/tables.h"
#include "platform/messages.h"
#include "text/charset.h"
#include "text/cz.h"

using namespace vrx;

namespace {

class Tables : public test::DbFixture {};

struct RecordingMessages : platform::Messages {
    std::vector<std::string> shown;
    int beeps = 0;
    void show(std::string_view caption, std::string_view text, platform::Icon) override {
        shown.push_back(std::string(caption) + "|" + std::string(text));
    }
    bool ask(std::string_view, std::string_view) override { return false; }
    void beep() override { ++beeps; }
};

}  // namespace

TEST(Scrambling, RoundTripsEveryLengthAndKey) {
    for (int key : {1, 2, 3, 4, 5, 1998}) {
        for (size_t len = 0; len <= 101; ++len) {
            std::vector<unsigned char> bytes(len), orig;
            for (size_t i = 0; i < len; ++i) bytes[i] = static_cast<unsigned char>(i * 37 + key);
            orig = bytes;
            scramble(bytes.data(), len, key);
            if (len > 1) EXPECT_NE(bytes, orig);
            unscramble(bytes.data(), len, key);
            EXPECT_EQ(bytes, orig) << "key " << key << " length " << len;
        }
    }
}

TEST(Scrambling, StoredFormFollowsTheClassicRoutine) {
    // Key 3 (A = 25, B = 34): an odd block changes its first byte alone, then pairs swap.
    unsigned char b[5] = {1, 2, 3, 4, 5};
    scramble(b, 5, 3);
    const unsigned char expected[5] = {26, 3 + 34, 2 + 25, 5 + 34, 4 + 25};
    EXPECT_EQ(0, std::memcmp(b, expected, 5));
    unsigned char e[2] = {10, 20};
    scramble(e, 2, 1);  // A = 41, B = 77
    EXPECT_EQ(e[0], 20 + 77);
    EXPECT_EQ(e[1], 10 + 41);
}

TEST_F(Tables, OperatorNamesAndPasswordsReadBackUpTo19Characters) {
    TABHESLA h;
    ASSERT_TRUE(h.create());
    ASSERT_TRUE(h.open(0, 1, 0));
    const std::vector<std::string> names = {"", "a", "Novák"_cz, std::string(18, 'n'), std::string(19, 'm'),
                                            std::string(20, 'z')};
    for (const auto& n : names) {
        h.clearRecord();
        setText(h.rec.Jmeno, n);
        setText(h.rec.Heslo, n + "!");
        for (int i = 0; i < 52; ++i) h.rec.Opravneni[i] = static_cast<unsigned char>(i % 6);
        ASSERT_TRUE(h.save(1));
    }
    ASSERT_TRUE(h.first());
    for (const auto& n : names) {
        std::memset(h.rec.Jmeno, 'X', sizeof h.rec.Jmeno);  // whatever the member held before
        ASSERT_TRUE(h.reload());
        std::string expect = n.substr(0, 19);
        EXPECT_EQ(std::string(h.rec.Jmeno), expect);
        EXPECT_EQ(std::string(h.rec.Heslo), (n + "!").substr(0, 19));
        for (int i = 0; i < 52; ++i) EXPECT_EQ(h.rec.Opravneni[i], i % 6);
        h.next();
    }
}

TEST_F(Tables, FindOperatorIsExactAndCaseSensitive) {
    TABHESLA h;
    ASSERT_TRUE(h.open(0, 1, 1));
    for (const char* n : {"Petr", "jana", "Jana"}) {
        h.clearRecord();
        setText(h.rec.Jmeno, n);
        ASSERT_TRUE(h.save(1));
    }
    EXPECT_TRUE(h.findOperator("Jana"));
    EXPECT_EQ(h.recordNumber(), 3);
    EXPECT_FALSE(h.findOperator("JANA"));
    EXPECT_FALSE(h.findOperator("Pet"));
    EXPECT_FALSE(h.findOperator(""));
    EXPECT_FALSE(h.findOperator(nullptr));
    EXPECT_FALSE(h.selectIndex(0));
}

TEST_F(Tables, KodyIndexesAndFindCode) {
    TABKODY k;
    ASSERT_TRUE(k.open(0, 1, 1));
    struct {
        int kod;
        const char *jm, *pr;
    } people[] = {{7, "Jan", "Novák"}, {3, "Eva", "Malá"}, {12, "Adam", "Zelený"}};
    for (auto p : people) {
        k.clearRecord();
        k.rec.Kod = p.kod;
        setText(k.rec.Jmeno, text::utf8ToCp1250(p.jm));
        setText(k.rec.Prijmeni, text::utf8ToCp1250(p.pr));
        k.rec.Pritomen = p.kod == 7;
        k.rec.DatumUdalosti = 45000;
        k.rec.CasUdalosti = 3600000;
        ASSERT_TRUE(k.save(1));
    }
    ASSERT_TRUE(k.findCode(7));
    EXPECT_STREQ(k.rec.Jmeno, "Jan");
    EXPECT_TRUE(k.rec.Pritomen);
    EXPECT_EQ(k.rec.DatumUdalosti, 45000);
    EXPECT_FALSE(k.findCode(8));
    ASSERT_TRUE(k.first());
    EXPECT_EQ(k.rec.Kod, 3);  // primary order
    ASSERT_TRUE(k.selectIndex(1));
    ASSERT_TRUE(k.first());
    EXPECT_EQ(k.rec.Kod, 12);  // Adam first by first name
    ASSERT_TRUE(k.selectIndex(4));
    EXPECT_TRUE(k.findCode(0, "Eva", text::utf8ToCp1250("Malá").c_str()));
    EXPECT_EQ(k.rec.Kod, 3);
    ASSERT_TRUE(k.selectIndex(9));  // unknown number: primary index
    ASSERT_TRUE(k.first());
    EXPECT_EQ(k.rec.Kod, 3);
    // A first name longer than its 15-character field is cut on storing.
    k.clearRecord();
    k.rec.Kod = 20;
    setText(k.rec.Jmeno, std::string(30, 'j'));
    ASSERT_TRUE(k.save(1));
    ASSERT_TRUE(k.findCode(20));
    EXPECT_EQ(std::strlen(k.rec.Jmeno), 15u);
}

TEST_F(Tables, CteckyAndAuditKeys) {
    TABCTECKY c;
    ASSERT_TRUE(c.open(0, 1, 1));
    for (int n : {5, 1, 9}) {
        c.clearRecord();
        c.rec.Cislo = n;
        setText(c.rec.Popis, "vstup " + std::to_string(n));
        c.rec.Dochazka = n != 9;
        c.rec.Ucel = n * 2;
        ASSERT_TRUE(c.save(1));
    }
    ASSERT_TRUE(c.findReader(9));
    EXPECT_FALSE(c.rec.Dochazka);
    EXPECT_EQ(c.rec.Ucel, 18);
    EXPECT_FALSE(c.findReader(2));

    TABAUDIT a;
    ASSERT_TRUE(a.open(0, 1, 1));
    a.clearRecord();
    a.rec.Cislo = 1;
    setText(a.rec.Operator, "Správce"_cz);
    setText(a.rec.Udalost, std::string(79, 'u'));
    ASSERT_TRUE(a.save(1));
    ASSERT_TRUE(a.findEntry(1));
    EXPECT_EQ(std::string(a.rec.Udalost), std::string(79, 'u'));
    EXPECT_STREQ(a.rec.Operator, "Správce"_cz);
}

TEST_F(Tables, FiltryCountsMaskLinesAndOrdersByPriority) {
    TABFILTRY f;
    ASSERT_TRUE(f.open(0, 1, 1));
    struct {
        const char* mask;
        int prio;
        int lines;
    } cases[] = {{"a\\nb", 5, 2}, {"POPLACH", 9, 1}, {"x\\ny\\nz", 5, 3}, {"c:\\\\new", 1, 2}};
    for (auto c : cases) {
        f.clearRecord();
        EXPECT_EQ(f.rec.Pozadi, 16777215);
        setText(f.rec.Maska, c.mask);
        f.rec.Priorita = c.prio;
        f.rec.Radky = 77;  // ignored on store
        ASSERT_TRUE(f.save(1));
    }
    for (auto c : cases) {
        ASSERT_TRUE(f.findMask(c.mask));
        EXPECT_EQ(f.rec.Radky, c.lines) << c.mask;
    }
    ASSERT_TRUE(f.selectIndex(1));
    std::vector<int> prios;
    for (f.first(); !f.eof(); f.next()) prios.push_back(f.rec.Priorita);
    EXPECT_EQ(prios, (std::vector<int>{9, 5, 5, 1}));
    // Equal priorities keep one stable order, and the position of each record is its rank.
    ASSERT_TRUE(f.readAt(3));
    EXPECT_EQ(f.recordNumber(), 3);
    ASSERT_TRUE(f.readAt(2));
    std::string second = f.rec.Maska;
    ASSERT_TRUE(f.readAt(3));
    EXPECT_NE(second, std::string(f.rec.Maska));
}

TEST_F(Tables, LoginFlagsAndSearches) {
    TABLOGIN l;
    ASSERT_TRUE(l.open(0, 1, 1));
    for (int i = 0; i < 40; ++i) {
        l.clearRecord();
        setText(l.rec.P1, "op" + std::to_string(i));
        setText(l.rec.P2, "STANICE" + std::to_string(i % 4));
        l.rec.flag1 = i % 3 == 0;
        l.rec.flag2 = i % 2 == 0;
        ASSERT_TRUE(l.save(1));
    }
    int i = 0;
    for (l.first(); !l.eof(); l.next(), ++i) {
        EXPECT_EQ(l.rec.flag1, i % 3 == 0) << i;
        EXPECT_EQ(l.rec.flag2, i % 2 == 0) << i;
    }
    EXPECT_TRUE(l.findLogin("op6", "STANICE2", true));
    EXPECT_FALSE(l.findLogin("op6", "STANICE2", false));
    EXPECT_FALSE(l.findLogin(nullptr, "STANICE2", true));
    EXPECT_TRUE(l.findStation("STANICE3"));
    EXPECT_STREQ(l.rec.P1, "op3");
    EXPECT_FALSE(l.findStation("JINA"));
    // A 15-character station name uses the whole 16-byte field.
    l.clearRecord();
    setText(l.rec.P2, "ABCDEFGHIJKLMNO");
    ASSERT_TRUE(l.save(1));
    EXPECT_TRUE(l.findStation("ABCDEFGHIJKLMNO"));
}

TEST_F(Tables, ProhlWritesItsLinesToAFile) {
    TABPROHL p;
    ASSERT_TRUE(p.open(0, 1, 1));
    for (const char* line : {"Tisk deniku", "----------", "1 ALARM"}) {
        p.clearRecord();
        setText(p.rec.Radek, line);
        ASSERT_TRUE(p.save(1));
    }
    std::string out = dir.file("tisk.txt");
    ASSERT_TRUE(p.writeToFile(out));
    std::ifstream f(out, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    EXPECT_EQ(s.str(), "Tisk deniku\r\n----------\r\n1 ALARM\r\n");

    RecordingMessages msgs;
    platform::setMessages(&msgs);
    EXPECT_FALSE(p.writeToFile(dir.file("neni/tisk.txt")));
    platform::setMessages(nullptr);
    ASSERT_EQ(msgs.shown.size(), 1u);
    EXPECT_EQ(msgs.shown[0], "Chyba|Nelze otev\xF8\xEDt soubor pro tisk.");
    EXPECT_EQ(msgs.beeps, 1);

    TABONLTISK o;
    ASSERT_TRUE(o.open(0, 1, 1));
    EXPECT_TRUE(std::filesystem::exists(priv + "/ONLINE.DB"));
}
