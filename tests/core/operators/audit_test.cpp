#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "core/db/dbfixture.h"
#include "db/tables.h"
#include "operators/audit.h"
#include "text/cz.h"
#include "text/dates.h"

using namespace vrx;

namespace {

class Audit : public test::DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        TABAUDIT a;
        ASSERT_TRUE(a.create());
    }
    void TearDown() override {
        setCurrentOperatorSource(nullptr);
        DbFixture::TearDown();
    }
};

std::string g_operator;
std::string operatorName() { return g_operator; }

}  // namespace

TEST_F(Audit, NumbersDateTimeOperatorAndText) {
    EXPECT_TRUE(writeAudit("Start programu"));
    g_operator = "Novák"_cz;
    setCurrentOperatorSource(operatorName);
    EXPECT_TRUE(writeAudit("Mazání záznamů ÚPD od %s do %s"_cz, "01.01.2024", "31.01.2024"));
    EXPECT_TRUE(writeAuditText(std::string(120, 'x')));

    TABAUDIT a;
    ASSERT_TRUE(a.open(0, 0, 0));
    ASSERT_EQ(a.recordCount(), 3);
    ASSERT_TRUE(a.findEntry(1));
    EXPECT_STREQ(a.rec.Operator, "");
    EXPECT_STREQ(a.rec.Udalost, "Start programu");
    EXPECT_EQ(a.rec.Datum, text::today());
    EXPECT_EQ(a.rec.Cas % 1000, 0);
    ASSERT_TRUE(a.findEntry(2));
    EXPECT_STREQ(a.rec.Operator, "Novák"_cz);
    EXPECT_STREQ(a.rec.Udalost, "Mazání záznamů ÚPD od 01.01.2024 do 31.01.2024"_cz);
    ASSERT_TRUE(a.findEntry(3));
    // The entry keeps as much of a long text as reads back unchanged.
    EXPECT_EQ(std::string(a.rec.Udalost), std::string(79, 'x'));
}

TEST_F(Audit, NumberingStartsAgainAfterTheTableWasEmptied) {
    writeAudit("a");
    writeAudit("b");
    {
        TABAUDIT a;
        ASSERT_TRUE(a.open(0, 1, 0));
        a.empty();
    }
    writeAudit("c");
    TABAUDIT a;
    ASSERT_TRUE(a.open(0, 0, 0));
    ASSERT_TRUE(a.first());
    EXPECT_EQ(a.rec.Cislo, 1);
    EXPECT_STREQ(a.rec.Udalost, "c");
}

TEST_F(Audit, MissingTableIsSilent) {
    std::filesystem::remove(shared + "/AUDIT.DB");
    EXPECT_FALSE(writeAudit("Ukon\xE8" "en\xED programu"));
    EXPECT_FALSE(std::filesystem::exists(shared + "/AUDIT.DB"));
}

TEST_F(Audit, TwoStationsWritingAtOnceLoseNothing) {
    auto station = [](int id) {
        for (int i = 0; i < 100; ++i) {
            if (!writeAudit("stanice %d zaznam %d", id, i)) return 1;
        }
        return 0;
    };
    pid_t a = fork();
    if (a == 0) _exit(station(1));
    pid_t b = fork();
    if (b == 0) _exit(station(2));
    int sa = 0, sb = 0;
    waitpid(a, &sa, 0);
    waitpid(b, &sb, 0);
    EXPECT_EQ(WEXITSTATUS(sa), 0);
    EXPECT_EQ(WEXITSTATUS(sb), 0);
    TABAUDIT t;
    ASSERT_TRUE(t.open(0, 0, 0));
    EXPECT_EQ(t.recordCount(), 200);
    std::set<std::string> texts;
    int expected = 1;
    for (t.first(); !t.eof(); t.next(), ++expected) {
        EXPECT_EQ(t.rec.Cislo, expected);
        texts.insert(t.rec.Udalost);
    }
    EXPECT_EQ(texts.size(), 200u);
}
