// Alarm presentation: one-shot and repeating sounds, silence, the ring of five picture windows with
// its count and the alarm button, the size modes, bitmap loading, and the filter's program.
#include <QApplication>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <fstream>

#include "gui/alarms/alarms.h"
#include "gui/frame/frame_fixture.h"
#include "gui/frame/qtext.h"
#include "text/cz.h"

using namespace vrx;
using namespace vrx::gui;

namespace {

struct RecordingPlayer : SoundPlayer {
    std::vector<std::string> played;
    int stops = 0;
    void play(const std::string& path, bool loop) override { played.push_back(path + (loop ? " loop" : "")); }
    void stop() override { ++stops; }
};

struct Alarms {
    Alarms() {
        app.soundDirectory_ = dir.media;
        app.loggedIn = true;
        workplace.resize(900, 700);
        workplace.show();
        alarms.setWorkplace(&workplace);
    }
    void picture(const std::string& name, int w, int h) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(QString::fromStdString(dir.media + "/" + name), "BMP"));
    }
    std::vector<QMdiSubWindow*> openPictures() {
        std::vector<QMdiSubWindow*> out;
        for (QMdiSubWindow* s : workplace.subWindowList()) {
            if (s->isVisible()) out.push_back(s);
        }
        return out;
    }

    test::StationDir dir;
    app::APLIKACE app;
    RecordingPlayer player;
    QMdiArea workplace;
    bool button = false;
    int raised = 0;
    ALARMS alarms{app, player, [this] { ++raised; }, [this](bool on) { button = on; }};
};

}  // namespace

class TestAlarms : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void sounds();
    void ringOfFivePictures();
    void picturesOnlyWithAnOperator();
    void sizeModes();
    void bitmapFiles();
    void programWithEventText();
};

void TestAlarms::sounds() {
    Alarms a;
    a.alarms.playSound("", false);
    QVERIFY(a.player.played.empty());
    a.alarms.playSound("jednou.wav", false);
    QCOMPARE(a.player.played.back(), a.dir.media + "/jednou.wav");
    a.alarms.playSound("siréna.wav"_cz, true);
    QVERIFY(a.app.loopingSound);
    QCOMPARE(a.player.played.back(), a.dir.media + "/siréna.wav"_cz + " loop");
    // A one-shot sound never interrupts a repeating alarm ...
    a.alarms.playSound("jednou.wav", false);
    QCOMPARE(a.player.played.size(), size_t(2));
    // ... until it is silenced.
    a.alarms.silence();
    QVERIFY(!a.app.loopingSound);
    QCOMPARE(a.player.stops, 1);
    a.alarms.playSound("jednou.wav", false);
    QCOMPARE(a.player.played.size(), size_t(3));
    // A repeating sound replaces whatever plays; "show alarms" silences it too.
    a.alarms.playSound("jednou.wav", true);
    a.alarms.showAlarms();
    QVERIFY(!a.app.loopingSound);
    QCOMPARE(a.player.stops, 2);
    // Names from the filters are found whatever their case on the disk.
    std::ofstream(a.dir.media + "/Poplach.WAV") << "RIFF";
    a.alarms.playSound("POPLACH.wav", false);
    QCOMPARE(a.player.played.back(), a.dir.media + "/Poplach.WAV");
    a.alarms.bringToFront();
    QCOMPARE(a.raised, 1);
}

void TestAlarms::ringOfFivePictures() {
    Alarms a;
    a.picture("obr.bmp", 40, 30);
    a.alarms.pictures().layout();
    const int right = a.workplace.viewport()->width();
    const int half = QGuiApplication::primaryScreen()->geometry().width() / 2;
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(a.alarms.pictures().slot(i).x, right - half - 30 - 23 * i);
        QCOMPARE(a.alarms.pictures().slot(i).y, 40 + 23 * i);
    }

    a.alarms.playSound("houkacka.wav", true);
    for (int i = 1; i <= 6; ++i) a.alarms.showPicture("OBR.BMP", i, "POPLACH " + std::to_string(i));
    QVERIFY(a.button);
    QCOMPARE(a.alarms.pictures().count(), 5);
    QCOMPARE(a.alarms.pictures().next(), 1);
    QTRY_COMPARE(a.openPictures().size(), size_t(5));
    // The sixth picture took slot 0, the oldest one's.
    QMdiSubWindow* first = a.alarms.pictures().slot(0).window;
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), QStringLiteral("6 POPLACH 6"));
    QCOMPARE(a.alarms.pictures().slot(1).window->windowTitle(), QStringLiteral("2 POPLACH 2"));
    // A caption bar only: no close or system menu buttons.
    QVERIFY(!first->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!first->windowFlags().testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // Its client area is the picture's own size ("Normální").
    QCOMPARE(first->widget()->size(), QSize(40, 30));

    // Confirming the five pictures brings the count to 0, stops the sound, disables the button.
    for (int i = 0; i < 5; ++i) {
        QMdiSubWindow* w = a.alarms.pictures().slot(i).window;
        QVERIFY(w);
        auto* confirm = w->findChild<QPushButton*>(QStringLiteral("102"));
        QVERIFY(confirm);
        QCOMPARE(confirm->text(), QStringLiteral("Potvrdit"));
        confirm->click();
        QCOMPARE(a.alarms.pictures().count(), 4 - i);
        QCOMPARE(a.button, i < 4);
    }
    QVERIFY(!a.app.loopingSound);
    QVERIFY(a.player.stops >= 1);
    QTRY_COMPARE(a.openPictures().size(), size_t(0));

    // A name that is not a bitmap opens no window, and the count still rises.
    a.alarms.showPicture("obr.gif", 7, "X");
    QCOMPARE(a.alarms.pictures().count(), 1);
    QVERIFY(a.button);
    QCOMPARE(a.openPictures().size(), size_t(0));
    // So does a missing file.
    a.alarms.showPicture("chybi.bmp", 8, "X");
    QCOMPARE(a.alarms.pictures().count(), 2);
}

void TestAlarms::picturesOnlyWithAnOperator() {
    Alarms a;
    a.picture("obr.bmp", 10, 10);
    a.app.loggedIn = false;
    a.alarms.showPicture("obr.bmp", 1, "POPLACH");
    QCOMPARE(a.alarms.pictures().count(), 0);
    QVERIFY(!a.button);
    // The sound of the same filter still plays.
    a.alarms.playSound("zvuk.wav", false);
    QCOMPARE(a.player.played.size(), size_t(1));
}

void TestAlarms::sizeModes() {
    {
        Alarms a;
        a.picture("vysoky.bmp", 20, 100);
        a.app.pictureSize = 2;  // "Velká"
        a.alarms.showPicture("vysoky.bmp", 1, "A");
        QMdiSubWindow* w = a.alarms.pictures().slot(0).window;
        QVERIFY(w);
        const QSize area = a.workplace.viewport()->size();
        QCOMPARE(w->height(), area.height());
        QVERIFY(w->width() < area.width());
        QCOMPARE(w->x() + w->width(), area.width());
        QCOMPARE(w->y(), 0);
    }
    {
        Alarms a;
        a.picture("siroky.bmp", 100, 50);
        a.app.pictureSize = 1;  // "Malá": half the screen's height
        a.alarms.showPicture("siroky.bmp", 1, "A");
        QMdiSubWindow* w = a.alarms.pictures().slot(0).window;
        QVERIFY(w);
        const int h = QGuiApplication::primaryScreen()->geometry().height() / 2;
        QCOMPARE(w->size(), QSize(h * 100 / 50, h));
    }
}

void TestAlarms::bitmapFiles() {
    Alarms a;
    MYBMP b;
    QVERIFY(!b.load(a.dir.media + "/nic.bmp"));
    std::ofstream(a.dir.media + "/kratky.bmp") << "BM12345";
    QVERIFY(!b.load(a.dir.media + "/kratky.bmp"));
    std::ofstream(a.dir.media + "/jiny.bmp") << "GIF89a........................";
    QVERIFY(!b.load(a.dir.media + "/jiny.bmp"));
    QVERIFY(!b.loaded());

    QImage img(33, 17, QImage::Format_Indexed8);
    img.setColorCount(256);
    for (int i = 0; i < 256; ++i) img.setColor(i, qRgb(i, i, i));
    img.fill(7);
    QVERIFY(img.save(QString::fromStdString(a.dir.media + "/sedy.bmp"), "BMP"));
    QVERIFY(b.load(a.dir.media + "/sedy.bmp"));
    int w = 0, h = 0;
    QVERIFY(b.size(w, h));
    QCOMPARE(w, 33);
    QCOMPARE(h, 17);
    QCOMPARE(b.paletteEntries(), 256);

    // The older 12-byte header: 16-bit width and height, 3-byte colour entries, 1 bit per pixel.
    std::vector<unsigned char> core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0,   12,  0,
                                       0,   0,   5, 0, 3, 0, 1, 0, 1, 0, 0,  0, 0, 255, 255, 255};
    for (int row = 0; row < 3; ++row) core.insert(core.end(), {0xA8, 0, 0, 0});
    {
        std::ofstream out(a.dir.media + "/stary.bmp", std::ios::binary);
        out.write(reinterpret_cast<const char*>(core.data()), static_cast<std::streamsize>(core.size()));
    }
    MYBMP old;
    QVERIFY(old.load(a.dir.media + "/stary.bmp"));
    QVERIFY(old.size(w, h));
    QCOMPARE(w, 5);
    QCOMPARE(h, 3);
    QCOMPARE(old.paletteEntries(), 2);
}

void TestAlarms::programWithEventText() {
    Alarms a;
    const std::string out = a.dir.dir.path() + "/vystup";
    std::filesystem::create_directories(out);
    a.alarms.startProgram("", "x", "ZONA 3");  // nothing
    a.alarms.startProgram("touch", out + "/$$$.txt " + out + "/pevny.txt", "ZONA 3");
    QTRY_VERIFY(std::filesystem::exists(out + "/ZONA 3.txt"));
    QTRY_VERIFY(std::filesystem::exists(out + "/pevny.txt"));
}

QTEST_MAIN(TestAlarms)
#include "tst_alarms.moc"
