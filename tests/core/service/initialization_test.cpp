#include <gtest/gtest.h>

#include <filesystem>

#include "core/db/dbfixture.h"
#include "db/tables.h"
#include "service/initialization.h"
#include "text/cz.h"

using namespace vrx;
using service::InitTable;

namespace {
class Initialization : public test::DbFixture {};
}  // namespace

TEST_F(Initialization, CreatesTheChosenTablesInOrderAndAuditsOnce) {
    {
        TABHISTOR h;  // an old log with records is replaced by an empty one
        ASSERT_TRUE(h.open(0, 1, 1));
        h.clearRecord();
        h.rec.Cislo = 1;
        ASSERT_TRUE(h.save(1));
    }
    std::vector<std::string> lines;
    EXPECT_TRUE(service::initializeTables({InitTable::Audit, InitTable::Histor, InitTable::Filtry},
                                          [&](const std::string& l) { lines.push_back(l); }));
    EXPECT_EQ(lines, (std::vector<std::string>{"FILTRY.DB      OK", "HISTOR.DB      OK", "AUDIT.DB       OK"}));
    TABHISTOR h;
    ASSERT_TRUE(h.open(0, 0, 0));
    EXPECT_EQ(h.recordCount(), 0);
    TABAUDIT a;
    ASSERT_TRUE(a.open(0, 0, 0));
    ASSERT_EQ(a.recordCount(), 1);
    ASSERT_TRUE(a.first());
    EXPECT_EQ(a.rec.Cislo, 1);
    EXPECT_STREQ(a.rec.Udalost, "Inicializace tabulek");
    EXPECT_TRUE(std::filesystem::exists(priv + "/FILTRY.DB"));
}

TEST_F(Initialization, ATableHeldOpenElsewhereReportsChyba) {
    TABKODY k;
    ASSERT_TRUE(k.open(0, 1, 1));
    std::vector<std::string> lines;
    EXPECT_FALSE(service::initializeTables({InitTable::Kody, InitTable::Hesla},
                                           [&](const std::string& l) { lines.push_back(l); }));
    EXPECT_EQ(lines, (std::vector<std::string>{"KODY.DB        CHYBA", "HESLA.DB       OK"}));
}

TEST_F(Initialization, IndexingReportsEachTableAndGoesOn) {
    service::initializeTables({InitTable::Kody, InitTable::Filtry, InitTable::Ctecky, InitTable::Audit}, nullptr);
    // A CTECKY copied back without its indexes gets them; the others have them already.
    db::TableSchema bare = TABCTECKY::schema();
    bare.indexes.clear();
    ASSERT_TRUE(db::engine().table(shared, "CTECKY")->create(bare));
    std::vector<std::string> lines;
    service::indexTables([&](const std::string& l) { lines.push_back(l); });
    EXPECT_EQ(lines, (std::vector<std::string>{"KODY.DB      - nelze indexovat.", "HISTOR.DB    - nelze otevřít."_cz,
                                               "FILTRY.DB    - nelze indexovat.", "CTECKY.DB    - index OK.",
                                               "AUDIT.DB     - nelze indexovat."}));
    TABAUDIT a;
    ASSERT_TRUE(a.open(0, 0, 0));
    ASSERT_TRUE(a.last());
    EXPECT_STREQ(a.rec.Udalost, "Indexování tabulek"_cz);
}

TEST(InitializationNames, TablesByName) {
    InitTable t;
    EXPECT_TRUE(service::tableByName("histor", t));
    EXPECT_EQ(t, InitTable::Histor);
    EXPECT_TRUE(service::tableByName("KODY.DB", t));
    EXPECT_EQ(t, InitTable::Kody);
    EXPECT_FALSE(service::tableByName("LOGIN", t));
}
