#pragma once
// A station for the dialog tests: its own settings file and shared tables, a real application
// object and operation on recorded timers, recorded messages with scripted answers, and a record of
// what the dialogs asked of the main window.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/station_services.h"
#include "db/tables.h"
#include "operators/audit.h"
#include "operators/rights.h"
#include "platform/messages.h"
#include "settings/inisoubor.h"
#include "testutil.h"
#include "text/charset.h"

namespace vrx::test {

struct RecordingMessages : platform::Messages {
    std::vector<std::string> shown;  // "caption|text", texts in UTF-8
    std::vector<std::string> asked;
    std::deque<bool> answers;  // answers to the questions in turn; false once used up
    int beeps = 0;
    void show(std::string_view caption, std::string_view t, platform::Icon) override {
        shown.push_back(std::string(caption) + "|" + text::cp1250ToUtf8(t));
    }
    bool ask(std::string_view, std::string_view t) override {
        asked.push_back(text::cp1250ToUtf8(t));
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void beep() override { ++beeps; }
    std::string last() const { return shown.empty() ? std::string() : shown.back(); }
};

struct RecordingTimers : app::Timers {
    std::map<int, int> active;
    void startTimer(int id, int ms) override { active[id] = ms; }
    void stopTimer(int id) override { active.erase(id); }
    bool isActive(int id) const override { return active.count(id) != 0; }
};

class TestStation : public app::StationServices {
  public:
    TestStation() {
        app.computerName = "STANICE-A";
        current() = this;
        setCurrentOperatorSource([] { return current()->app.operatorName; });
    }
    ~TestStation() override {
        setCurrentOperatorSource(nullptr);
        current() = nullptr;
    }
    app::APLIKACE& application() override { return app; }
    app::Operation& operation() override { return op; }
    app::Timers& timers() override { return timerSet; }
    void applyRights(const operators::Rights& r) override { rights = r; }
    unsigned char rightValue(int index) override { return rights[static_cast<size_t>(index)]; }
    void rightsAppliedAtLogin() override { ++afterLogin; }
    void rebuildCaption() override { ++captions; }
    void placeAlarmPictures() override { ++alarmPictures; }
    void openFullLogWindow() override { fullLogOpen = true; }
    void closeFullLogWindow() override { fullLogOpen = false; }
    void closeSecondaryLogWindows() override { ++secondaryClosed; }
    void setPause(bool on) override { paused = on; }
    void endProgram() override { ++ended; }
    void help(int context) override { helpContexts.push_back(context); }
    void stopIntake() override {
        ++intakeStops;
        StationServices::stopIntake();
    }
    void restartIntake() override {
        ++intakeRestarts;
        StationServices::restartIntake();
    }

    app::APLIKACE app;
    RecordingTimers timerSet;
    app::Operation op{app, timerSet};
    operators::Rights rights = operators::loggedOutRights();
    int afterLogin = 0, captions = 0, alarmPictures = 0, secondaryClosed = 0, ended = 0;
    int intakeStops = 0, intakeRestarts = 0;
    bool fullLogOpen = false, paused = false;
    std::vector<int> helpContexts;

  private:
    static TestStation*& current() {
        static TestStation* s = nullptr;
        return s;
    }
};

// A fresh settings file and table directories for one test.
class StationEnvironment {
  public:
    StationEnvironment() {
        shared = dir.path() + "/spol";
        priv = dir.path() + "/priv";
        QDir().mkpath(QString::fromStdString(shared));
        QDir().mkpath(QString::fromStdString(priv));
        setSettingsPath(dir.file("VORAX.INI"));
        settings().writeString("ADRESARE", "SpolTabulky", shared);
        settings().writeString("ADRESARE", "PrivTabulky", priv);
        platform::setMessages(&messages);
        TABAUDIT audit;
        audit.create();
    }
    ~StationEnvironment() {
        platform::setMessages(nullptr);
        setSettingsFile("VORAX.INI");
    }

    // The operator table with (name, password) operators, each with `rights`; names in UTF-8.
    void makeOperators(const std::vector<std::pair<std::string, std::string>>& ops,
                       const operators::Rights& rights = operators::defaultRights()) {
        TABHESLA t;
        QVERIFY(t.create());
        QVERIFY(t.open(0, 1, 0));
        for (const auto& [n, p] : ops) {
            t.resetCurrent();
            setText(t.rec.Jmeno, text::utf8ToCp1250(n));
            setText(t.rec.Heslo, text::utf8ToCp1250(p));
            operators::rightsToBytes(rights, t.rec.Opravneni);
            QVERIFY(t.save(1));
        }
    }
    // "operator|text" of every audit entry, in UTF-8.
    std::vector<std::string> auditEntries() {
        std::vector<std::string> out;
        TABAUDIT a;
        if (!a.open(0, 0, 0) || !a.first()) return out;
        while (!a.eof()) {
            out.push_back(text::cp1250ToUtf8(std::string(a.rec.Operator) + "|" + a.rec.Udalost));
            if (!a.next()) break;
        }
        return out;
    }
    // "operator@station" of every registry record.
    std::vector<std::string> registry() {
        std::vector<std::string> out;
        TABLOGIN l;
        if (!l.open(0, 0, 0) || !l.first()) return out;
        while (!l.eof()) {
            out.push_back(text::cp1250ToUtf8(std::string(l.rec.P1) + "@" + l.rec.P2));
            if (!l.next()) break;
        }
        return out;
    }

    TempDir dir;
    std::string shared, priv;
    RecordingMessages messages;
};

template <typename T>
T* child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

// Enters text into a field of the dialog as typing does, through the field's length limit and
// validator (key events of the test library carry Latin-1 only).
inline void type(QWidget* dialog, const char* field, const QString& text) {
    auto* f = child<QLineEdit>(dialog, field);
    QVERIFY2(f, field);
    f->clear();
    for (QChar c : text) f->insert(QString(c));
}

inline void click(QWidget* dialog, const char* button) {
    auto* b = child<QPushButton>(dialog, button);
    QVERIFY2(b, button);
    QVERIFY2(b->isEnabled(), button);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Double-clicks a line of a list.
inline void doubleClick(QListWidget* list, int row) {
    list->scrollToItem(list->item(row));
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Runs `step` on the modal dialog once it is open (for the command functions, which block in exec).
inline void whenModal(std::function<void(QDialog*)> step) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, step, ticks] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) {
            if (++*ticks > 1000) {  // no dialog came: give up rather than act on a later one
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        step(d);
        // A failed step must not leave the test waiting in the dialog.
        if (QTest::currentTestFailed() && d->isVisible()) d->reject();
    });
    timer->start();
}

}  // namespace vrx::test
