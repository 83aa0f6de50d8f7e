// The log windows: line formats, the 0-1000 scroll mapping, keys, follow mode, selection, pause,
// search, printing into the view table, and the windows drawing their tables offscreen.
#include <QApplication>
#include <QScrollBar>
#include <QtTest>

#include "gui/frame/frame_fixture.h"
#include "gui/frame/qtext.h"
#include "gui/logs/logokno.h"
#include "gui/logs/logview.h"
#include "logs/operating_logs.h"
#include "operators/audit.h"
#include "platform/app_error.h"
#include "text/cz.h"

using namespace vrx;
using namespace vrx::gui;

namespace {

// A log of numbered lines "line 0", "line 1", ... in memory.
class VectorSource : public LogSource {
  public:
    explicit VectorSource(int n) {
        for (int i = 0; i < n; ++i) texts.push_back("line " + std::to_string(i));
    }
    int count() override { return static_cast<int>(texts.size()); }
    void lines(int first, int n, LineForm form, std::vector<LogLine>& out) override {
        out.clear();
        ++reads;
        for (int i = first; i < first + n && i < count(); ++i) {
            out.push_back(LogLine{form == LineForm::Printed ? "P " + texts[static_cast<size_t>(i)]
                                                            : texts[static_cast<size_t>(i)],
                                  0x0000FF, 0x00FF00});
        }
    }
    std::vector<std::string> texts;
    int reads = 0;
};

}  // namespace

class TestLogWindows : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void lineFormats();
    void archiveCaptions();
    void scrollMapping_data();
    void scrollMapping();
    void thumbAndCodes();
    void shortLogCannotScroll();
    void followMode();
    void auditFollowsWhenDrawingReachesTheEnd();
    void keysAndHorizontalOffset();
    void selectionAndClicks();
    void search();
    void pauseBlanksTheWindow();
    void windowsDrawTheirTables();
    void printToViewTable();
    void windowSearchMessage();
};

void TestLogWindows::lineFormats() {
    TABHISTOR::Record h;
    h.Cislo = 42;
    h.Datum = text::dayFromParts(5, 3, 2024);
    setText(h.Retezec, "POPLACH ZONA 3 "_cz + std::string("Ž"_cz));
    QCOMPARE(historLine(h), std::string("    42 05.03.24 POPLACH ZONA 3 Ž"_cz));
    QCOMPARE(archiveLine(h), std::string("    42   05.03.2024   POPLACH ZONA 3 Ž"_cz));
    QCOMPARE(archivePrintedLine(h), std::string("    42 05.03.2024   POPLACH ZONA 3 Ž"_cz));
    h.Cislo = 1234567;  // wider than six places: nothing is cut
    QCOMPARE(historLine(h).substr(0, 8), std::string("1234567 "));

    // A text of the full 200 characters is kept whole.
    std::string longText(200, 'x');
    setText(h.Retezec, longText);
    QCOMPARE(historLine(h).size(), size_t(8 + 9 + 200));

    TABAUDIT::Record a;
    a.Cislo = 7;
    a.Datum = text::dayFromParts(1, 12, 2023);
    a.Cas = ((9 * 60 + 5) * 60 + 3) * 1000;
    setText(a.Operator, "Novák"_cz);
    setText(a.Udalost, "Přihlášení"_cz);
    QCOMPARE(auditLine(a), std::string("     7 01.12.2023-09:05:03 Novák                Přihlášení"_cz));
}

void TestLogWindows::archiveCaptions() {
    QCOMPARE(archiveCaption("Archív historie od %c%c.%c%c do %c%c.%c%c."_cz, "03050402"),
             std::string("Archív historie od 05.03 do 02.04."_cz));
    QCOMPARE(archiveCaption("Archív auditu od %c%c.%c%c do %c%c.%c%c."_cz, "1231"),
             std::string("Archív auditu od 31.12 do   .  ."_cz));
}

void TestLogWindows::scrollMapping_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("visible");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("thumb");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("position");
    // A full-log window starts one line past the newest entry; the requests move from there.
    QTest::newRow("line up") << 100 << 10 << int(kLineUp) << 0 << 90 << 1000;
    QTest::newRow("page up") << 100 << 10 << int(kPageUp) << 0 << 81 << 910;
    QTest::newRow("top") << 100 << 10 << int(kTop) << 0 << 0 << 0;
    QTest::newRow("bottom") << 100 << 10 << int(kBottom) << 0 << 90 << 1000;
    QTest::newRow("line down past the end") << 100 << 10 << int(kLineDown) << 0 << 90 << 1000;
    QTest::newRow("thumb middle") << 100 << 10 << int(kThumbTrack) << 500 << 40 << 500;
    QTest::newRow("thumb at 1000") << 100 << 10 << int(kThumbPosition) << 1000 << 90 << 1000;
    QTest::newRow("thumb near the start") << 100 << 10 << int(kThumbTrack) << 50 << 0 << 0;
    QTest::newRow("thumb, long log") << 2000 << 25 << int(kThumbTrack) << 333 << 641 << 333;
    // Untouched, the view stays one line past the newest entry; the bar clamps the 1010.
    QTest::newRow("end scroll ignored") << 100 << 10 << int(kEndScroll) << 0 << 91 << 1010;
}

void TestLogWindows::scrollMapping() {
    QFETCH(int, count);
    QFETCH(int, visible);
    QFETCH(int, code);
    QFETCH(int, thumb);
    QFETCH(int, top);
    QFETCH(int, position);
    VectorSource src(count);
    LOGVIEW v(LogKind::FullLog, src);
    v.setVisible(visible);
    v.vScroll(code, thumb);
    QCOMPARE(v.top(), top);
    QCOMPARE(v.vPosition(), position);
}

void TestLogWindows::thumbAndCodes() {
    // The position after a change of size: (top + visible) × (1000 / count), truncated.
    VectorSource src(300);
    LOGVIEW v(LogKind::FullLogArchive, src);
    v.setVisible(20);
    QCOMPARE(v.top(), 0);
    QCOMPARE(v.vPosition(), 66);  // 20 × 3.333…
    QVERIFY(v.vScroll(kPageDown, 0));
    QCOMPARE(v.top(), 20);
    QCOMPARE(v.vPosition(), 133);
    QVERIFY(!v.vScroll(9, 0));  // codes above 7 are ignored
    QCOMPARE(v.top(), 20);
    // Command 101 of the log archive only sets the bar; the audit archive does not handle it.
    QVERIFY(v.refresh());
    QCOMPARE(v.top(), 20);
    LOGVIEW a(LogKind::AuditArchive, src);
    a.setVisible(20);
    QCOMPARE(a.top(), 280);  // last page
    QVERIFY(!a.refresh());
}

void TestLogWindows::shortLogCannotScroll() {
    VectorSource src(3);
    LOGVIEW v(LogKind::FullLog, src);
    v.setVisible(10);
    QCOMPARE(v.top(), 0);
    QCOMPARE(v.vPosition(), 0);
    for (int code = kLineUp; code <= kBottom; ++code) QVERIFY(!v.vScroll(code, 900));
    for (LogKey k : {LogKey::PageDown, LogKey::End, LogKey::Down, LogKey::Up}) {
        QCOMPARE(v.keyDown(k), LOGVIEW::KeyResult::Ignored);
    }
    QCOMPARE(v.top(), 0);
    const auto rows = v.rows();
    QCOMPARE(rows.size(), size_t(11));
    QCOMPARE(rows[0].text, std::string("line 0"));  // selected: black on light grey
    QCOMPARE(rows[0].background, kSelectedBackground);
    QCOMPARE(rows[0].foreground, 0);
    QCOMPARE(rows[2].text, std::string("line 2"));
    QCOMPARE(rows[2].foreground, 0x0000FF);  // the entry's colours
    QCOMPARE(rows[2].background, 0x00FF00);
    QCOMPARE(rows[3].text, std::string());
    QCOMPARE(rows[3].background, kWindowBackground);
}

void TestLogWindows::followMode() {
    VectorSource src(50);
    LOGVIEW v(LogKind::FullLog, src);
    v.setVisible(10);
    QVERIFY(v.follow());
    QCOMPARE(v.top(), 41);  // one empty line below the newest entry
    src.texts.push_back("new");
    v.refresh();
    QCOMPARE(v.top(), 42);  // the newest entry stays on the second-to-last line
    QVERIFY(v.vScroll(kLineUp, 0));
    QVERIFY(v.follow());  // one line up from the empty line is still the end
    QVERIFY(v.vScroll(kLineUp, 0));
    QVERIFY(!v.follow());
    const int top = v.top();
    src.texts.push_back("newer");
    v.refresh();
    QCOMPARE(v.top(), top);  // scrolled up: new records do not move the view
    QCOMPARE(v.keyDown(LogKey::End), LOGVIEW::KeyResult::Moved);
    QVERIFY(v.follow());
    src.texts.push_back("newest");
    v.refresh();
    QCOMPARE(v.top(), 44);
}

void TestLogWindows::auditFollowsWhenDrawingReachesTheEnd() {
    VectorSource src(30);
    LOGVIEW v(LogKind::Audit, src);
    v.setVisible(10);
    QCOMPARE(v.top(), 20);  // last page, no empty line
    v.rows();
    QVERIFY(v.follow());
    src.texts.push_back("x");
    v.refresh();
    QCOMPARE(v.top(), 21);
    v.vScroll(kTop, 0);
    v.rows();
    QVERIFY(!v.follow());
    src.texts.push_back("y");
    v.refresh();
    QCOMPARE(v.top(), 0);
}

void TestLogWindows::keysAndHorizontalOffset() {
    VectorSource src(100);
    LOGVIEW v(LogKind::Extract, src);
    v.setVisible(10);
    struct Step {
        LogKey key;
        int top;
    };
    const Step steps[] = {{LogKey::Home, 0}, {LogKey::PageDown, 10}, {LogKey::Down, 11},
                          {LogKey::Up, 10},  {LogKey::PageUp, 0},    {LogKey::Up, 0},
                          {LogKey::End, 90}, {LogKey::PageDown, 90}};
    for (const Step& s : steps) {
        QCOMPARE(v.keyDown(s.key), LOGVIEW::KeyResult::Moved);
        QCOMPARE(v.top(), s.top);
    }
    QCOMPARE(v.keyDown(LogKey::Other), LOGVIEW::KeyResult::Ignored);

    QCOMPARE(v.hScroll(kPageDown, 0), 10);
    auto rows = v.rows();
    QCOMPARE(rows[0].text, std::string());  // "line 90" is shorter than 10 characters
    QCOMPARE(v.hScroll(kPageUp, 0), -10);
    QCOMPARE(v.keyDown(LogKey::Right), LOGVIEW::KeyResult::Moved);
    QCOMPARE(v.hOffset(), 1);
    QCOMPARE(v.rows()[0].text, std::string("ine 90"));
    QCOMPARE(v.hScroll(kBottom, 0), 249);
    QCOMPARE(v.hScroll(kLineDown, 0), 0);  // at 250 already
    QCOMPARE(v.hScroll(kThumbTrack, 100), -150);
    QCOMPARE(v.hScroll(kTop, 0), -100);
    QCOMPARE(v.hScroll(kLineUp, 0), 0);
    QCOMPARE(v.keyDown(LogKey::Left), LOGVIEW::KeyResult::Ignored);

    v.setPaused(true);
    QCOMPARE(v.keyDown(LogKey::Home), LOGVIEW::KeyResult::Beep);
    QCOMPARE(v.top(), 90);
}

void TestLogWindows::selectionAndClicks() {
    VectorSource src(5);
    LOGVIEW v(LogKind::FullLog, src);
    v.setVisible(10);
    QCOMPARE(v.mouseDown(3), LOGVIEW::ClickResult::Selected);
    QCOMPARE(v.selected(), 3);
    QCOMPARE(v.previous(), 0);
    QCOMPARE(v.mouseDown(7), LOGVIEW::ClickResult::Ignored);   // below the last entry
    QCOMPARE(v.mouseDown(12), LOGVIEW::ClickResult::Ignored);  // below the window
    QCOMPARE(v.selected(), 3);
    v.setPaused(true);
    QCOMPARE(v.mouseDown(1), LOGVIEW::ClickResult::Beep);
    VectorSource none(0);
    LOGVIEW e(LogKind::FullLog, none);
    e.setVisible(10);
    QCOMPARE(e.mouseDown(0), LOGVIEW::ClickResult::Ignored);
    QVERIFY(e.rows().empty());

    // Printing a page when the selected line is out of view starts at the top.
    VectorSource many(100);
    LOGVIEW p(LogKind::FullLog, many);
    p.setVisible(10);
    int first = 0, last = 0;
    p.printRange(false, first, last);
    QCOMPARE(first, 91);
    QCOMPARE(last, 99);
    p.mouseDown(2);
    p.printRange(false, first, last);
    QCOMPARE(first, 93);
    p.printRange(true, first, last);
    QCOMPARE(first, 0);
    QCOMPARE(last, 99);
}

void TestLogWindows::search() {
    VectorSource src(100);
    src.texts[5] = "ZONA 3 ALARM";
    src.texts[50] = "porucha Čidla";
    src.texts[97] = "PORUCHA 2";
    LOGVIEW v(LogKind::FullLog, src);
    v.setVisible(10);
    QVERIFY(!v.search("x", false, false));  // backward from line 0: at once
    QVERIFY(v.search("alarm", true, false));
    QCOMPARE(v.selected(), 5);
    QCOMPARE(v.top(), 5);
    QVERIFY(!v.follow());
    QVERIFY(!v.search("alarm", true, true));  // case matters when asked
    QCOMPARE(v.selected(), 5);
    QVERIFY(!v.search("čidla", true, false));  // accented letters are compared as they are
    QVERIFY(v.search("PORUCHA", true, false));
    QCOMPARE(v.selected(), 50);
    QVERIFY(v.search("PORUCHA 2", true, true));
    QCOMPARE(v.selected(), 97);
    QCOMPARE(v.top(), 90);                     // near the end: count − visible, not the found line
    QVERIFY(v.search("P ZONA", false, true));  // the printed form is searched
    QCOMPARE(v.selected(), 5);
    QCOMPARE(v.top(), 5);
    QVERIFY(v.search("line 2", false, true));
    QCOMPARE(v.selected(), 2);
}

void TestLogWindows::pauseBlanksTheWindow() {
    auto* src = new VectorSource(40);
    LOGOKNO w(LogKind::FullLog, std::unique_ptr<LogSource>(src), QStringLiteral("test"));
    w.resize(400, 300);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.view().visible() > 0);
    QImage shot = w.viewport()->grab().toImage();
    // The first line is the entry's green background.
    QCOMPARE(shot.pixelColor(shot.width() - 5, w.lineHeight() / 2), QColor(0, 255, 0));
    w.setPaused(true);
    w.command(kCommandRefresh);
    shot = w.viewport()->grab().toImage();
    QCOMPARE(shot.pixelColor(5, 5), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(shot.pixelColor(shot.width() - 5, shot.height() - 5), QColor(0xC0, 0xC0, 0xC0));
    // Keys and clicks beep in pause mode and change nothing.
    test::RecordedMessages m;
    platform::setMessages(&m);
    const int top = w.view().top();
    QTest::keyClick(&w, Qt::Key_Home);
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(m.beeps, 2);
    QCOMPARE(w.view().top(), top);
    // "Pauza" twice restores the window.
    w.setPaused(false);
    shot = w.viewport()->grab().toImage();
    QCOMPARE(shot.pixelColor(shot.width() - 5, w.lineHeight() / 2), QColor(0, 255, 0));
    QTest::keyClick(&w, Qt::Key_Home);
    QCOMPARE(w.view().top(), 0);
    QCOMPARE(w.verticalScrollBar()->value(), 0);
    QTest::keyClick(&w, Qt::Key_End);
    QCOMPARE(w.verticalScrollBar()->value(), 1000);
    platform::setMessages(nullptr);
}

void TestLogWindows::windowsDrawTheirTables() {
    test::StationDir station;
    station.addEvents({"PRVNI", "DRUHA ALARM", "TRETI"});
    for (int i = 0; i < 3; ++i) writeAudit("Záznam %d"_cz, i);

    FILTERMANAGER filters;
    ALARMLOG upd(filters);
    upd.Update(false);
    QCOMPARE(upd.Count(), 3);
    DENIKOKNO full(upd);
    full.resize(600, 300);
    full.show();
    QVERIFY(QTest::qWaitForWindowExposed(&full));
    QCOMPARE(full.windowTitle(), qs("Úplný provozní deník"_cz));
    auto rows = full.drawnRows();
    QCOMPARE(rows[0].text, std::string("     1 05.03.24 PRVNI"));
    QCOMPARE(rows[1].text, std::string("     2 05.03.24 DRUHA ALARM"));
    QCOMPARE(rows[1].foreground, 0);
    QCOMPARE(rows[1].background, 0xFFFFFF);

    // Only the visible lines are read: a new record shows after the log took it.
    station.addEvents({"CTVRTA"});
    upd.Update(false);
    full.command(kCommandRefresh);
    QCOMPARE(full.drawnRows()[3].text, std::string("     4 05.03.24 CTVRTA"));

    AUDITOKNO audit;
    audit.resize(600, 300);
    audit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&audit));
    rows = audit.drawnRows();
    QVERIFY(rows.size() > 3);
    QVERIFY(rows[0].text.find("Inicializace tabulek") != std::string::npos ||
            rows[0].text.find("Záznam 0"_cz) != std::string::npos);
    QCOMPARE(rows[0].text.substr(0, 7), std::string("     1 "));

    // An archive: a copy of HISTOR named by its period.
    const std::string archive = station.dir.path() + "/zal";
    std::filesystem::create_directories(archive);
    {
        TABHISTOR h;
        QVERIFY(h.open(0, 0, 0));
        QVERIFY(h.copyToDirectory(archive, "03050305"));
    }
    ARCHIVUPDOKNO arch(archive, "03050305.DB");
    QCOMPARE(arch.windowTitle(), qs("Archív historie od 05.03 do 05.03."_cz));
    arch.resize(600, 300);
    arch.show();
    QVERIFY(QTest::qWaitForWindowExposed(&arch));
    QCOMPARE(arch.view().top(), 0);
    QCOMPARE(arch.drawnRows()[0].text, std::string("     1   05.03.2024   PRVNI"));
    bool raised = false;
    try {
        ARCHIVUPDOKNO missing(archive, "01010101.DB");
    } catch (const AppError& e) {
        raised = e.message == 14;
    }
    QVERIFY(raised);
}

void TestLogWindows::printToViewTable() {
    test::StationDir station;
    VectorSource empty(0);
    LOGVIEW e(LogKind::Extract, empty);
    QVERIFY(!printToView(e, true, "Novák"_cz));
    QCOMPARE(station.messages.last(), std::string("Chyba|Extrakt provozního deníku je prázdný"));

    VectorSource src(30);
    struct Case {
        LogKind kind;
        bool whole;
        std::string title;
        size_t hyphens;
        const char* firstLine;
        size_t lines;
    };
    const Case cases[] = {
        {LogKind::FullLog, true, "Úplný provozní deník - vytisknul: Novák", 75, "P line 0", 30},
        {LogKind::FullLog, false, "Stránka provozního deníku - vytisknul: Novák", 75, "P line 21", 9},
        {LogKind::Extract, true, "Extrakt úplného provozního deníku - vytisknul: Novák", 75, "P line 0", 30},
        {LogKind::Audit, false, "Audit - vytisknul Novák", 51, "P line 20", 10},
        {LogKind::FullLogArchive, true, "Archiv - vytisknul Novák", 51, "P line 0", 30},
        {LogKind::AuditArchive, false, "Stránka Auditu - vytisknul: Novák", 75, "P line 20", 10},
    };
    for (const Case& c : cases) {
        LOGVIEW v(c.kind, src);
        v.setVisible(10);
        QVERIFY(printToView(v, c.whole, "Novák"_cz));
        TABPROHL prohl;
        QVERIFY(prohl.open(0, 0, 0));
        std::vector<std::string> lines;
        for (bool ok = prohl.first(); ok && !prohl.eof(); ok = prohl.next()) lines.push_back(prohl.rec.Radek);
        QCOMPARE(QString::fromStdString(text::cp1250ToUtf8(lines.at(0))), QString::fromStdString(c.title));
        QCOMPARE(lines.at(1), std::string(c.hyphens, '-'));
        QCOMPARE(lines.at(2), std::string(c.firstLine));
        QCOMPARE(lines.size(), c.lines + 2);
    }
}

void TestLogWindows::windowSearchMessage() {
    test::RecordedMessages m;
    platform::setMessages(&m);
    auto* src = new VectorSource(20);
    LOGOKNO w(LogKind::FullLog, std::unique_ptr<LogSource>(src), QStringLiteral("test"));
    w.resize(400, 200);
    QVERIFY(!w.search(QStringLiteral("nic"), true, false));
    QCOMPARE(m.last(), std::string("Informace|Řetězec nenalezen."));
    QCOMPARE(m.beeps, 1);
    QVERIFY(w.search(QStringLiteral("LINE 4"), true, false));
    QCOMPARE(w.view().selected(), 4);
    platform::setMessages(nullptr);
}

QTEST_MAIN(TestLogWindows)
#include "tst_logwindows.moc"
