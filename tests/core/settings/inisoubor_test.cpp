#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "settings/inisoubor.h"
#include "testutil.h"
#include "text/dates.h"

using vrx::INISOUBOR;
using vrx::test::TempDir;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void spit(const std::string& path, const std::string& content) {
    std::ofstream f(path, std::ios::binary);
    f << content;
}

}  // namespace

TEST(Settings, MissingFileGivesDefaults) {
    TempDir dir;
    INISOUBOR ini = INISOUBOR::atPath(dir.file("VORAX.INI"));
    EXPECT_EQ(ini.readString("SYSTEM", "Rezim", "S", 20), "S");
    EXPECT_EQ(ini.readNumber("USTREDNA", "Ustredna", 8), 8);
    EXPECT_EQ(ini.readNumber("PORT", "Rychlost", 0), 0);
    EXPECT_EQ(ini.readLong("EPD", "OdData", 0), 0);
    EXPECT_DOUBLE_EQ(ini.readReal("PORT", "StopBity", 1.0), 1.0);
    EXPECT_EQ(ini.readDate("SYSTEM", "Datum", 1), 1);
    EXPECT_EQ(ini.readString("ADRESARE", "SpolTabulky", ""), "");
}

TEST(Settings, ClassicProfileParsing) {
    TempDir dir;
    std::string path = dir.file("VORAX.INI");
    spit(path,
         "; comment line\r\n"
         "[system]\r\n"
         "  rezim =  prohlizec  \r\n"
         "Datum=31.02.2001\r\n"
         "[PORT]\r\n"
         "Rychlost = 9600\r\n"
         "StopBity=1.500000\r\n"
         ";Jmeno=COM9\r\n"
         "Jmeno=\"COM2\"\r\n"
         "[USTREDNA]\n"
         "IgnoChar=-1\n"
         "EndChar=13abc\n");
    INISOUBOR ini = INISOUBOR::atPath(path);
    EXPECT_EQ(ini.readString("SYSTEM", "Rezim", "S", 20), "prohlizec");
    EXPECT_EQ(ini.readDate("SYSTEM", "Datum", 1), 1);  // no such date
    EXPECT_EQ(ini.readNumber("Port", "RYCHLOST", 0), 9600);
    EXPECT_DOUBLE_EQ(ini.readReal("PORT", "StopBity", 1.0), 1.5);
    EXPECT_EQ(ini.readString("PORT", "Jmeno", "", 9), "COM2");
    EXPECT_EQ(ini.readNumber("USTREDNA", "IgnoChar", 0), -1);
    EXPECT_EQ(ini.readNumber("USTREDNA", "EndChar", 0), 13);
    EXPECT_EQ(ini.readNumber("USTREDNA", "Missing", 7), 7);
    char buf[4];
    EXPECT_EQ(ini.readString("PORT", "Jmeno", buf, sizeof buf, ""), 3);
    EXPECT_STREQ(buf, "COM");
}

TEST(Settings, WritesKeepOtherLinesAndOrder) {
    TempDir dir;
    std::string path = dir.file("VORAX.INI");
    spit(path, "; hand made\r\n[PORT]\r\nJmeno=COM1\r\n; keep me\r\nRychlost=1200\r\n\r\n[TISK]\r\nPort=LPT1\r\n");
    INISOUBOR ini = INISOUBOR::atPath(path);
    EXPECT_TRUE(ini.writeNumber("port", "RYCHLOST", 9600));
    EXPECT_TRUE(ini.writeString("PORT", "Parita", "suda"));
    EXPECT_TRUE(ini.writeReal("PORT", "StopBity", 1.5));
    EXPECT_TRUE(ini.writeDate("SYSTEM", "Datum", vrx::text::dayFromParts(7, 3, 2001)));
    EXPECT_TRUE(ini.writeLong("EPD", "OdData", -1));
    EXPECT_EQ(slurp(path),
              "; hand made\r\n[PORT]\r\nJmeno=COM1\r\n; keep me\r\nRYCHLOST=9600\r\nParita=suda\r\n"
              "StopBity=1.500000\r\n\r\n[TISK]\r\nPort=LPT1\r\n\r\n[SYSTEM]\r\nDatum=07.03.2001\r\n\r\n"
              "[EPD]\r\nOdData=-1\r\n");
    EXPECT_EQ(ini.readDate("SYSTEM", "Datum", 1), vrx::text::dayFromParts(7, 3, 2001));
    EXPECT_EQ(ini.readLong("EPD", "OdData", 0), -1);
}

TEST(Settings, NewFileAndWindows1250Values) {
    TempDir dir;
    std::string path = dir.file("DEDADO.INI");
    INISOUBOR ini = INISOUBOR::atPath(path);
    std::string caption = "Tla\xE8\xEDtko 1";
    EXPECT_TRUE(ini.writeString("TLACITKO1", "Nazev", caption));
    EXPECT_EQ(slurp(path), "[TLACITKO1]\r\nNazev=" + caption + "\r\n");
    EXPECT_EQ(ini.readString("tlacitko1", "nazev", ""), caption);
}

TEST(Settings, EveryDateRoundTripsThroughTheFile) {
    TempDir dir;
    INISOUBOR ini = INISOUBOR::atPath(dir.file("VORAX.INI"));
    for (long day : {1L, 2L, 36957L, 50000L, vrx::text::kLastDay}) {
        ini.writeDate("SYSTEM", "Datum", day);
        EXPECT_EQ(ini.readDate("SYSTEM", "Datum", -5), day);
    }
}

TEST(Settings, LongWorkingDirectoryIsNotCut) {
    TempDir dir;
    std::string deep = dir.path();
    while (deep.size() < 300) deep += "/adresar_s_dlouhym_jmenem";
    std::filesystem::create_directories(deep);
    vrx::test::ChangeDir cd(deep);
    INISOUBOR ini("VORAX.INI");
    EXPECT_EQ(ini.path(), deep + "/VORAX.INI");
    EXPECT_TRUE(ini.writeNumber("SYSTEM", "RozmerBitmap", 2));
    EXPECT_EQ(INISOUBOR("VORAX.INI").readNumber("SYSTEM", "RozmerBitmap", 0), 2);
    EXPECT_TRUE(std::filesystem::exists(deep + "/VORAX.INI"));
}

TEST(Settings, FailedWriteLeavesTheFileAlone) {
    TempDir dir;
    std::string path = dir.file("VORAX.INI");
    spit(path, "[A]\r\nx=1\r\n");
    INISOUBOR bad = INISOUBOR::atPath(dir.file("missing-dir/VORAX.INI"));
    EXPECT_FALSE(bad.writeNumber("A", "x", 2));
    EXPECT_EQ(slurp(path), "[A]\r\nx=1\r\n");
    // No temporary file is left behind after a successful write.
    INISOUBOR::atPath(path).writeNumber("A", "x", 2);
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}
