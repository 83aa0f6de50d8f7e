#pragma once
// A station for the login rules: fresh shared tables, a recorded login state, recorded messages
// with scripted answers, and the audit's operator taken from the station.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/db/dbfixture.h"
#include "db/tables.h"
#include "operators/audit.h"
#include "operators/login.h"
#include "operators/rights.h"
#include "platform/messages.h"

namespace vrx::test {

struct RecordingMessages : platform::Messages {
    std::vector<std::string> shown;  // "caption|text"
    std::vector<platform::Icon> icons;
    std::vector<std::string> asked;
    std::deque<bool> answers;  // answers to the questions in turn; false once used up
    int beeps = 0;
    void show(std::string_view caption, std::string_view text, platform::Icon icon) override {
        shown.push_back(std::string(caption) + "|" + std::string(text));
        icons.push_back(icon);
    }
    bool ask(std::string_view, std::string_view text) override {
        asked.emplace_back(text);
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void beep() override { ++beeps; }
    std::string last() const { return shown.empty() ? std::string() : shown.back(); }
};

struct FakeStation : operators::LoginStation {
    std::string name = "STANICE-A";
    bool in = false;
    std::string op;
    operators::Rights rights = operators::loggedOutRights();
    int rightsApplied = 0;
    int afterLogin = 0;
    std::string stationName() override { return name; }
    bool loggedIn() override { return in; }
    std::string currentOperator() override { return op; }
    void setLoginState(bool on, const std::string& n) override {
        in = on;
        op = n;
    }
    void applyRights(const operators::Rights& r) override {
        rights = r;
        ++rightsApplied;
    }
    void rightsAppliedAtLogin() override { ++afterLogin; }
};

class LoginFixture : public DbFixture {
  protected:
    void SetUp() override {
        DbFixture::SetUp();
        platform::setMessages(&messages);
        current() = &station;
        setCurrentOperatorSource([] { return current()->op; });
        TABAUDIT audit;
        ASSERT_TRUE(audit.create());
    }
    void TearDown() override {
        setCurrentOperatorSource(nullptr);
        platform::setMessages(nullptr);
        DbFixture::TearDown();
    }
    static FakeStation*& current() {
        static FakeStation* s = nullptr;
        return s;
    }

    // The operator table with the given operators (name, password), each with `rights`.
    void makeOperators(const std::vector<std::pair<std::string, std::string>>& ops,
                       const operators::Rights& rights = operators::defaultRights()) {
        TABHESLA t;
        ASSERT_TRUE(t.create());
        ASSERT_TRUE(t.open(0, 1, 0));
        for (const auto& [n, p] : ops) {
            t.resetCurrent();
            setText(t.rec.Jmeno, n);
            setText(t.rec.Heslo, p);
            operators::rightsToBytes(rights, t.rec.Opravneni);
            ASSERT_TRUE(t.save(1));
        }
    }

    // "operator|text" of every audit entry in order.
    std::vector<std::string> auditEntries() {
        std::vector<std::string> out;
        TABAUDIT a;
        if (!a.open(0, 0, 0) || !a.first()) return out;
        while (!a.eof()) {
            out.push_back(std::string(a.rec.Operator) + "|" + a.rec.Udalost);
            if (!a.next()) break;
        }
        return out;
    }

    // "operator@station" of every registry record in order.
    std::vector<std::string> registry() {
        std::vector<std::string> out;
        TABLOGIN l;
        if (!l.open(0, 0, 0) || !l.first()) return out;
        while (!l.eof()) {
            out.push_back(std::string(l.rec.P1) + "@" + l.rec.P2);
            if (!l.next()) break;
        }
        return out;
    }

    RecordingMessages messages;
    FakeStation station;
};

}  // namespace vrx::test
