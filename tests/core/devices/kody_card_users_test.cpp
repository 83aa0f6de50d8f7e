// Card users looked up in the codes table of the shared tables.
#include <filesystem>

#include "db/tables.h"
#include "device_testutil.h"
#include "devices/factory.h"
#include "devices/kody_card_users.h"
#include "platform/app_error.h"
#include "text/cz.h"

namespace vrx::test {
namespace {

class KodyCardUsers : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        shared_ = dir_.path() + "/spol";
        std::filesystem::create_directories(shared_);
        settings().writeString("ADRESARE", "SpolTabulky", shared_);
    }
    void addCodes() {
        TABKODY k;
        ASSERT_TRUE(k.open(0, 1, 1));
        struct {
            int kod;
            int typ;
            const char *jmeno, *prijmeni;
        } rows[] = {{3, 0, "Eva", "Malá"_cz}, {7, 0, "Jan", "Novák"_cz}, {9, 1, "Lékař"_cz, ""}};
        for (const auto& r : rows) {
            k.clearRecord();
            k.rec.Kod = r.kod;
            k.rec.Typ = r.typ;
            setText(k.rec.Jmeno, r.jmeno);
            setText(k.rec.Prijmeni, r.prijmeni);
            ASSERT_TRUE(k.save(1));
        }
        k.close();
    }
    DeviceSources scripted() {
        DeviceSources s;
        s.lineReader = [this](bool) {
            auto r = std::make_unique<ScriptedReader>();
            reader = r.get();
            return r;
        };
        return s;
    }

    std::string shared_;
};

TEST_F(KodyCardUsers, FindByCode) {
    addCodes();
    auto table = makeKodyCardUsers();
    ASSERT_TRUE(table->open());
    std::string first, last;
    ASSERT_TRUE(table->find(7, first, last));
    EXPECT_EQ(first, "Jan");
    EXPECT_EQ(last, "Novák"_cz);
    ASSERT_TRUE(table->find(3, first, last));
    EXPECT_EQ(first, "Eva");
    // An attendance event code is a code too.
    ASSERT_TRUE(table->find(9, first, last));
    EXPECT_EQ(first, "Lékař"_cz);
    EXPECT_EQ(last, "");
    for (long missing : {8L, 0L, -7L, 1L << 40}) EXPECT_FALSE(table->find(missing, first, last)) << missing;
}

TEST_F(KodyCardUsers, MissingTableIsNotCreated) {
    EXPECT_FALSE(makeKodyCardUsers()->open());
    EXPECT_FALSE(TABKODY().exists());
}

TEST_F(KodyCardUsers, DecoderWithoutTheTableCannotBeCreated) {
    for (int type : {1, 4, 5, 9}) {
        try {
            createDevice(type, false, false, day(1, 3, 2024), scripted());
            ADD_FAILURE() << type;
        } catch (const AppError& e) {
            EXPECT_EQ(e.message, kErrorCardUserTable);
        }
    }
}

TEST_F(KodyCardUsers, GalaxyInsertsNamesFromTheTable) {
    addCodes();
    setInsertNames(true);
    auto dev = createDevice(1, false, false, day(1, 3, 2024), scripted());
    EXPECT_EQ(texts(run(*dev, *reader, "12:00 PRISTUP UZ. 007 VSTUP\r\n12:00 PRISTUP UZ. 008 VSTUP\r\n")),
              (std::vector<std::string>{"12:00 PRISTUP UZ. 007 Jan Novák VSTUP"_cz,
                                        "12:00 PRISTUP UZ. 008 VSTUP"}));
}

}  // namespace
}  // namespace vrx::test
