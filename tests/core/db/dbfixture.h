#pragma once
// A station with its own settings file whose shared and private table directories are fresh.
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/inisoubor.h"
#include "testutil.h"

namespace vrx::test {

class DbFixture : public ::testing::Test {
protected:
    void SetUp() override {
        shared = dir.path() + "/spol";
        priv = dir.path() + "/priv";
        std::filesystem::create_directories(shared);
        std::filesystem::create_directories(priv);
        setSettingsPath(dir.file("VORAX.INI"));
        settings().writeString("ADRESARE", "SpolTabulky", shared);
        settings().writeString("ADRESARE", "PrivTabulky", priv);
    }
    void TearDown() override { setSettingsFile("VORAX.INI"); }

    TempDir dir;
    std::string shared, priv;
};

}  // namespace vrx::test
