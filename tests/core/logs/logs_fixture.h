#pragma once
// A station with fresh HISTOR and FILTRY tables, and helpers to fill them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/db/dbfixture.h"
#include "db/tables.h"
#include "logs/alarm_actions.h"
#include "logs/deniky.h"
#include "text/strutil.h"

namespace vrx::test {

struct FilterSpec {
    std::string mask;
    int priority = 0;
    int logs = kScopeEpd | kScopeUpd;
    int type = 0;
    int foreground = 0;
    int background = 0xFFFFFF;
    bool alarm = false;
    bool repeat = false;
    std::string sound, picture, program, parameters;
};

struct Entry {
    int record;
    int foreground;
    int background;
    bool operator==(const Entry&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Entry& e) {
    return os << "{" << e.record << ", " << e.foreground << ", " << e.background << "}";
}

// Records what a complete match sets off, one line per call.
struct RecordingActions : logs::AlarmActions {
    std::vector<std::string> calls;
    void bringToFront() override { calls.push_back("front"); }
    void playSound(const std::string& name, bool repeat) override {
        calls.push_back("sound " + name + (repeat ? " repeat" : ""));
    }
    void showPicture(const std::string& name, long number, std::string_view text) override {
        calls.push_back(text::format("picture %s %ld %s", name.c_str(), number, std::string(text).c_str()));
    }
    void startProgram(const std::string& program, const std::string& parameters,
                      std::string_view text) override {
        calls.push_back("program " + program + " [" + parameters + "] " + std::string(text));
    }
};

class LogsFixture : public DbFixture {
  protected:
    void SetUp() override {
        DbFixture::SetUp();
        TABHISTOR h;
        ASSERT_TRUE(h.create());
        TABFILTRY f;
        ASSERT_TRUE(f.create());
    }

    void addFilter(const FilterSpec& s) {
        TABFILTRY t;
        ASSERT_TRUE(t.open(0, 1, 0));
        t.clearRecord();
        text::cut(s.mask, 120).copy(t.rec.Maska, 120);
        t.rec.Priorita = s.priority;
        t.rec.Denik = s.logs;
        t.rec.TypFiltru = s.type;
        t.rec.Popredi = s.foreground;
        t.rec.Pozadi = s.background;
        t.rec.Alarm = s.alarm;
        t.rec.Opak = s.repeat;
        s.sound.copy(t.rec.Zvuk, 20);
        s.picture.copy(t.rec.Obrazek, 20);
        s.program.copy(t.rec.Program, 259);
        s.parameters.copy(t.rec.PrgParams, 254);
        ASSERT_TRUE(t.save(1)) << s.mask;
    }

    // Changes fields of a stored filter in place.
    template <typename Change>
    void editFilter(const std::string& mask, Change change) {
        TABFILTRY t;
        ASSERT_TRUE(t.open(0, 1, 0));
        ASSERT_TRUE(t.findMask(mask.c_str())) << mask;
        change(t.rec);
        ASSERT_TRUE(t.save(0));
    }

    void deleteFilter(const std::string& mask) {
        TABFILTRY t;
        ASSERT_TRUE(t.open(0, 1, 0));
        ASSERT_TRUE(t.findMask(mask.c_str())) << mask;
        ASSERT_TRUE(t.deleteCurrent());
    }

    // Appends events with the next record numbers; all on `day` unless days are given.
    void addEvents(const std::vector<std::string>& texts, long day = 45000) {
        TABHISTOR t;
        ASSERT_TRUE(t.open(0, 1, 0));
        int next = t.recordCount() > 0 && t.last() ? t.rec.Cislo + 1 : 1;
        ASSERT_TRUE(t.beginTransaction());
        for (const auto& s : texts) {
            t.clearRecord();
            t.rec.Cislo = next++;
            t.rec.Datum = day;
            s.copy(t.rec.Retezec, 200);
            ASSERT_TRUE(t.save(1));
        }
        ASSERT_TRUE(t.commitTransaction());
    }

    static std::vector<Entry> entries(const LOG& log) {
        std::vector<Entry> out;
        for (int i = 0; i < log.Count(); ++i) {
            Entry e{};
            EXPECT_TRUE(log.Get(i, e.record, e.foreground, e.background));
            out.push_back(e);
        }
        return out;
    }
};

}  // namespace vrx::test
