// Cursor semantics of the table base, exercised through the full operating log table.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/tables.h"
#include "core/db/dbfixture.h"

using namespace vrx;

namespace {

class Tabulka : public test::DbFixture {
protected:
    // A HISTOR with records 1..n, dated so that the date order differs from the number order.
    void fill(TABHISTOR& h, int n) {
        ASSERT_TRUE(h.open(0, 1, 1));
        for (int i = 1; i <= n; ++i) {
            h.clearRecord();
            h.rec.Cislo = i;
            h.rec.Datum = 40000 + (n - i) / 2;
            setText(h.rec.Retezec, "udalost " + std::to_string(i));
            ASSERT_TRUE(h.save(1));
        }
    }
};

}  // namespace

TEST_F(Tabulka, OpenCreatesOnlyWhenAsked) {
    TABHISTOR h;
    EXPECT_FALSE(h.exists());
    EXPECT_FALSE(h.open(0, 1, 0));
    EXPECT_TRUE(h.open(0, 1, 1));
    EXPECT_TRUE(h.exists());
    EXPECT_EQ(h.recordCount(), 0);
    EXPECT_TRUE(std::filesystem::exists(shared + "/HISTOR.DB"));
    // The log is readable by owner and group only.
    auto perms = std::filesystem::status(shared + "/HISTOR.DB").permissions();
    EXPECT_EQ(perms & std::filesystem::perms::others_all, std::filesystem::perms::none);
}

TEST_F(Tabulka, IterationAndEndFlags) {
    TABHISTOR h;
    fill(h, 5);
    ASSERT_TRUE(h.first());
    EXPECT_TRUE(h.bof());
    EXPECT_FALSE(h.eof());
    std::vector<int> seen;
    while (!h.eof()) {
        seen.push_back(h.rec.Cislo);
        h.next();
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5}));
    // At the last record `next` fails and leaves the buffer alone.
    EXPECT_EQ(h.rec.Cislo, 5);
    h.rec.Cislo = 99;
    EXPECT_FALSE(h.next());
    EXPECT_EQ(h.rec.Cislo, 99);
    ASSERT_TRUE(h.first());
    h.rec.Cislo = 77;
    EXPECT_FALSE(h.prior());
    EXPECT_EQ(h.rec.Cislo, 77);
    EXPECT_TRUE(h.bof());
    ASSERT_TRUE(h.last());
    EXPECT_EQ(h.rec.Cislo, 5);
    EXPECT_TRUE(h.prior());
    EXPECT_EQ(h.rec.Cislo, 4);
}

TEST_F(Tabulka, ReadAtAndRecordNumber) {
    TABHISTOR h;
    fill(h, 10);
    struct Case {
        long n;
        bool ok;
        int cislo;
    } cases[] = {{0, true, 1}, {1, true, 1}, {7, true, 7}, {10, true, 10}, {11, false, 10}};
    for (auto c : cases) {
        h.rec.Cislo = 10;
        EXPECT_EQ(h.readAt(c.n), c.ok) << c.n;
        EXPECT_EQ(h.rec.Cislo, c.cislo) << c.n;
    }
    ASSERT_TRUE(h.readAt(4));
    EXPECT_EQ(h.recordNumber(), 4);
    // In the date order the newest numbers come first (dates fall as numbers rise).
    ASSERT_TRUE(h.selectIndex(1));
    ASSERT_TRUE(h.first());
    EXPECT_EQ(h.rec.Cislo, 9);
    EXPECT_EQ(h.recordNumber(), 1);
    ASSERT_TRUE(h.readAt(10));
    EXPECT_EQ(h.rec.Cislo, 2);
    EXPECT_EQ(h.recordNumber(), 10);
    ASSERT_TRUE(h.selectIndex(5));  // any other number: the primary index
    ASSERT_TRUE(h.readAt(3));
    EXPECT_EQ(h.rec.Cislo, 3);
}

TEST_F(Tabulka, ReadAtWithGapsInTheKey) {
    TABHISTOR h;
    fill(h, 10);
    ASSERT_TRUE(h.findEntry(3));
    ASSERT_TRUE(h.deleteCurrent());
    EXPECT_EQ(h.recordCount(), 9);
    ASSERT_TRUE(h.readAt(3));
    EXPECT_EQ(h.rec.Cislo, 4);
    EXPECT_EQ(h.recordNumber(), 3);
    ASSERT_TRUE(h.readAt(9));
    EXPECT_EQ(h.rec.Cislo, 10);
    EXPECT_EQ(h.recordNumber(), 9);
}

TEST_F(Tabulka, SaveModesAndFailedPost) {
    TABHISTOR h;
    fill(h, 3);
    ASSERT_TRUE(h.findEntry(2));
    setText(h.rec.Retezec, "opraveno");
    ASSERT_TRUE(h.save(0));
    ASSERT_TRUE(h.findEntry(2));
    EXPECT_STREQ(h.rec.Retezec, "opraveno");
    EXPECT_EQ(h.recordCount(), 3);
    // A duplicate number violates the primary key: false, nothing stored, and the next save works.
    h.clearRecord();
    h.rec.Cislo = 2;
    EXPECT_FALSE(h.save(1));
    EXPECT_EQ(h.recordCount(), 3);
    h.rec.Cislo = 4;
    EXPECT_TRUE(h.save(1));
    EXPECT_EQ(h.recordCount(), 4);
    EXPECT_EQ(h.rec.Cislo, 4);
}

TEST_F(Tabulka, TextIsCutToTheFieldAndKeptInWindows1250) {
    TABHISTOR h;
    ASSERT_TRUE(h.open(0, 1, 1));
    h.clearRecord();
    h.rec.Cislo = 1;
    std::string longText(200, 'x');
    longText[0] = '\x8A';  // Š
    longText[199] = '\xF8';  // ř
    setText(h.rec.Retezec, longText);
    ASSERT_TRUE(h.save(1));
    ASSERT_TRUE(h.first());
    EXPECT_EQ(std::string(h.rec.Retezec), longText);
}

TEST_F(Tabulka, DeleteMovesToTheFollowingRecord) {
    TABHISTOR h;
    fill(h, 4);
    ASSERT_TRUE(h.readAt(2));
    ASSERT_TRUE(h.deleteCurrent());
    ASSERT_TRUE(h.reload());
    EXPECT_EQ(h.rec.Cislo, 3);
    ASSERT_TRUE(h.last());
    ASSERT_TRUE(h.deleteCurrent());
    EXPECT_TRUE(h.eof());
    // Deleting from the first record until the end flag empties the table.
    ASSERT_TRUE(h.goFirst());
    while (!h.eof()) ASSERT_TRUE(h.deleteCurrent());
    EXPECT_EQ(h.recordCount(), 0);
}

TEST_F(Tabulka, EmptyExclusiveAndThroughASharedOpen) {
    TABHISTOR h;
    fill(h, 5);
    h.empty();
    EXPECT_EQ(h.recordCount(), 0);
    EXPECT_TRUE(h.isOpen());

    fill(h, 5);
    h.close();
    TABHISTOR other;  // another station holds the table open
    ASSERT_TRUE(other.open(0, 0, 0));
    TABHISTOR mine;
    ASSERT_TRUE(mine.open(0, 1, 0));
    mine.empty();
    EXPECT_EQ(mine.recordCount(), 0);
    EXPECT_EQ(other.recordCount(), 0);
    EXPECT_FALSE(mine.exclusive());
}

TEST_F(Tabulka, ExclusiveOpensAreHonoured) {
    TABHISTOR h;
    fill(h, 1);
    h.close();
    TABHISTOR a, b;
    ASSERT_TRUE(a.open(1, 1, 0));
    EXPECT_FALSE(b.open(0, 0, 0));
    a.close();
    ASSERT_TRUE(b.open(0, 0, 0));
    EXPECT_FALSE(a.open(1, 1, 0));
    // Creating anew while another holds the table fails too.
    EXPECT_FALSE(a.create());
    b.close();
    EXPECT_TRUE(a.create());
}

TEST_F(Tabulka, ReadOnlyOpenRefusesWrites) {
    TABHISTOR h;
    fill(h, 1);
    h.close();
    ASSERT_TRUE(h.open(0, 0, 0));
    h.clearRecord();
    h.rec.Cislo = 2;
    EXPECT_FALSE(h.save(1));
    EXPECT_EQ(h.recordCount(), 1);
}

TEST_F(Tabulka, CopyToReplacesTheDestination) {
    std::filesystem::create_directories(dir.path() + "/zal");
    settings().writeString("ADRESARE", "ZalohaHist", dir.path() + "/zal/");
    TABHISTOR h;
    fill(h, 3);
    ASSERT_TRUE(h.copyTo("vrxzupd", "H0101"));
    TABHISTOR copy(TABULKA::InDirectory{dir.path() + "/zal"}, "H0101");
    ASSERT_TRUE(copy.open(0, 1, 0));
    EXPECT_EQ(copy.recordCount(), 3);
    copy.close();
    h.empty();
    fill(h, 1);
    ASSERT_TRUE(h.copyTo("VRXZUPD", "H0101"));
    ASSERT_TRUE(copy.open(0, 1, 0));
    EXPECT_EQ(copy.recordCount(), 1);
    // The copy keeps the indexes.
    ASSERT_TRUE(copy.selectIndex(1));
    copy.clearRecord();
    copy.rec.Cislo = 1;
    EXPECT_FALSE(copy.save(1));
    EXPECT_FALSE(h.copyTo("NEZNAMY", "X"));
}

TEST_F(Tabulka, RebuildIndexesStopsAtTheFirstRefusedIndex) {
    TABHISTOR h;
    fill(h, 2);
    h.close();
    // The indexes exist already: the first one is refused.
    EXPECT_FALSE(h.rebuildIndexes());
    // A table without indexes (a bare copy of the file) gets them all.
    std::string path = shared + "/HISTOR.DB";
    std::filesystem::remove(path);
    {
        db::TableSchema bare = TABHISTOR::schema();
        bare.indexes.clear();
        auto t = db::engine().table(shared, "HISTOR");
        ASSERT_TRUE(t->create(bare));
    }
    EXPECT_TRUE(h.rebuildIndexes());
    ASSERT_TRUE(h.open(0, 1, 0));
    EXPECT_TRUE(h.selectIndex(1));
    h.clearRecord();
    h.rec.Cislo = 5;
    EXPECT_TRUE(h.save(1));
    EXPECT_FALSE(h.save(1));  // unique again
}

TEST_F(Tabulka, MissingDirectoryFailsQuietly) {
    settings().writeString("ADRESARE", "SpolTabulky", dir.path() + "/nikde");
    TABHISTOR h;
    EXPECT_FALSE(h.open(0, 1, 1));
    EXPECT_FALSE(h.first());
    EXPECT_FALSE(h.next());
    EXPECT_FALSE(h.readAt(1));
    EXPECT_EQ(h.recordCount(), 0);
    EXPECT_FALSE(h.save(1));
    EXPECT_FALSE(h.findEntry(1));
}
