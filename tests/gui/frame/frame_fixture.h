#pragma once
// A station directory for the window tests: its own settings file, the shared and private tables,
// the sounds-and-pictures directory, and message boxes that are recorded instead of shown.
#include <QtTest>

#include <filesystem>
#include <string>
#include <vector>

#include "db/tables.h"
#include "platform/messages.h"
#include "service/initialization.h"
#include "settings/inisoubor.h"
#include "testutil.h"
#include "text/charset.h"
#include "text/dates.h"

namespace vrx::test {

struct RecordedMessages : platform::Messages {
    std::vector<std::string> shown;  // "caption|text" in UTF-8
    int beeps = 0;
    void show(std::string_view caption, std::string_view t, platform::Icon) override {
        shown.push_back(text::cp1250ToUtf8(caption) + "|" + text::cp1250ToUtf8(t));
    }
    bool ask(std::string_view, std::string_view) override { return false; }
    void beep() override { ++beeps; }
    std::string last() const { return shown.empty() ? std::string() : shown.back(); }
    void clear() {
        shown.clear();
        beeps = 0;
    }
};

class StationDir {
  public:
    StationDir() {
        shared = dir.path() + "/spol";
        priv = dir.path() + "/priv";
        media = dir.path() + "/media";
        for (const auto& d : {shared, priv, media}) std::filesystem::create_directories(d);
        setSettingsPath(dir.file("VORAX.INI"));
        settings().writeString("ADRESARE", "SpolTabulky", shared);
        settings().writeString("ADRESARE", "PrivTabulky", priv);
        settings().writeString("ADRESARE", "Multimedia", media);
        settings().writeNumber("USTREDNA", "Ustredna", 19);  // the general decoder, no port settings
        platform::setMessages(&messages);
        service::initializeTables(
            {service::InitTable::Kody, service::InitTable::Filtry, service::InitTable::Hesla,
             service::InitTable::Ctecky, service::InitTable::Histor, service::InitTable::Audit},
            nullptr);
        messages.clear();
    }
    ~StationDir() {
        platform::setMessages(nullptr);
        setSettingsFile("VORAX.INI");
    }

    // Appends records to HISTOR, numbered on from the last one.
    void addEvents(const std::vector<std::string>& texts, long day = 0) {
        TABHISTOR h;
        QVERIFY(h.open(0, 1, 0));
        int next = h.last() && h.recordCount() > 0 ? h.rec.Cislo + 1 : 1;
        for (const auto& t : texts) {
            h.clearRecord();
            h.rec.Cislo = next++;
            h.rec.Datum = day ? day : text::dayFromParts(5, 3, 2024);
            setText(h.rec.Retezec, text::utf8ToCp1250(t));
            QVERIFY(h.save(1));
        }
    }

    TempDir dir;
    std::string shared, priv, media;
    RecordedMessages messages;
};

}  // namespace vrx::test
