#include "gui/alarms/alarms.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#if VRX_HAVE_QT_MULTIMEDIA
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#endif
#include <QUrl>

#include "gui/frame/qtext.h"
#include "platform/messages.h"
#include "platform/program_start.h"
#include "text/charset.h"
#include "text/strutil.h"

namespace vrx::gui {
namespace {

QSize screenSize() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().size() : QSize(1024, 768);
}

bool endsWithBmp(const std::string& name) {
    return name.size() >= 4 && text::upperCp1250(name.substr(name.size() - 4)) == ".BMP";
}

}  // namespace

std::string multimediaPath(const std::string& directory, const std::string& name) {
    const std::string exact = directory + "/" + name;
    if (QFileInfo::exists(QString::fromStdString(text::cp1250ToUtf8(exact)))) return exact;
    const QDir dir(qs(directory));
    const QString wanted = qs(name);
    for (const QString& entry : dir.entryList(QDir::Files)) {
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return directory + "/" + cp(entry);
    }
    return exact;
}

// ---- sound ----

#if VRX_HAVE_QT_MULTIMEDIA
QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::play(const std::string& path, bool loop) {
    stop();
    if (QMediaDevices::audioOutputs().isEmpty()) {
        QApplication::beep();
        return;
    }
    effect_ = std::make_unique<QSoundEffect>();
    effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(text::cp1250ToUtf8(path))));
    effect_->setLoopCount(loop ? QSoundEffect::Infinite : 1);
    effect_->play();
}

void QtSoundPlayer::stop() {
    if (effect_) effect_->stop();
    effect_.reset();
}
#else
// Built without Qt Multimedia: every sound is one beep of the system.
QtSoundPlayer::QtSoundPlayer() = default;
QtSoundPlayer::~QtSoundPlayer() = default;
void QtSoundPlayer::play(const std::string&, bool) {
    QApplication::beep();
}
void QtSoundPlayer::stop() {}
#endif

// ---- picture windows ----

BITMAPOKNO::BITMAPOKNO(PICTURELIST& list, int slot, const MYBMP& picture, const QString& caption)
    : list_(list), slot_(slot), picture_(picture) {
    setWindowTitle(caption);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    button_ = new QPushButton(QStringLiteral("Potvrdit"), this);
    button_->setObjectName(QString::number(kConfirmButton));
    button_->setFixedSize(120, 30);
    connect(button_, &QPushButton::clicked, this, &BITMAPOKNO::confirm);
}

void BITMAPOKNO::paintEvent(QPaintEvent*) {
    QPainter p(this);
    picture_.draw(p, 0, 0, width(), height());
}

void BITMAPOKNO::resizeEvent(QResizeEvent*) {
    button_->move(width() / 2 - 60, height() - 35);
}

void BITMAPOKNO::mousePressEvent(QMouseEvent*) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->raise();
    update();
}

void BITMAPOKNO::confirm() {
    const int slot = slot_;
    PICTURELIST& list = list_;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->hide();
        sub->deleteLater();
    }
    list.confirmed(slot);
}

PICTURELIST::PICTURELIST(app::APLIKACE& app, std::function<void(bool)> alarmButton,
                         std::function<void()> lastConfirmed)
    : app_(app), alarmButton_(std::move(alarmButton)), lastConfirmed_(std::move(lastConfirmed)) {}

PICTURELIST::~PICTURELIST() {
    closeAll();
}

void PICTURELIST::layout() {
    if (!workplace_) return;
    const int right = workplace_->viewport()->width();
    const int half = screenSize().width() / 2;
    for (int i = 0; i < kSlots; ++i) {
        // A workplace narrower than half the screen keeps the cascade inside it.
        slots_[static_cast<size_t>(i)].x = std::max(0, right - half - 30 - 23 * i);
        slots_[static_cast<size_t>(i)].y = 40 + 23 * i;
    }
}

QMdiSubWindow* PICTURELIST::open(int slot, const std::string& name, const std::string& caption) {
    if (!workplace_) return nullptr;
    MYBMP picture;
    if (!picture.load(multimediaPath(app_.soundDirectory_, name))) return nullptr;
    int w = 100, h = 100;
    if (!picture.size(w, h) || w <= 0 || h <= 0) w = h = 100;
    auto* view = new BITMAPOKNO(*this, slot, picture, qs(caption.substr(0, 119)));
    auto* sub = new QMdiSubWindow(
        nullptr, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    sub->setWidget(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(QStringLiteral("picture%1").arg(slot));
    workplace_->addSubWindow(sub, sub->windowFlags());
    const Slot& s = slots_[static_cast<size_t>(slot)];
    const QSize area = workplace_->viewport()->size();
    // "Normální": the client area is the picture's own size.
    view->setClientSize(QSize(w, h));
    sub->adjustSize();
    QPoint pos(s.x, s.y);
    switch (app_.pictureSize) {
        case 1: {  // "Malá": the window half the screen's height
            const int height = screenSize().height() / 2;
            sub->resize(height * w / h, height);
            break;
        }
        case 2: {  // "Velká": the workplace's height, standing at its right edge
            const int height = area.height();
            const int width = height * w / h;
            sub->resize(width, height);
            pos = QPoint(width < area.width() ? area.width() - width : 0, 0);
            break;
        }
        default:
            break;
    }
    sub->move(pos);
    sub->show();
    sub->raise();
    return sub;
}

void PICTURELIST::show(const std::string& name, const std::string& caption) {
    Slot& s = slots_[static_cast<size_t>(next_)];
    if (s.shown) {
        if (s.window) {
            s.window->hide();
            s.window->deleteLater();
        }
        s.window = nullptr;
        s.shown = false;
    }
    if (endsWithBmp(name)) s.window = open(next_, name, caption);
    s.shown = s.window != nullptr;
    next_ = (next_ + 1) % kSlots;
    if (count_ < kSlots) ++count_;
    if (alarmButton_) alarmButton_(true);
}

void PICTURELIST::confirmed(int slot) {
    (void)slot;  // the slot stays marked shown until the ring reaches it again
    if (count_ > 0) --count_;
    if (count_ == 0) {
        if (lastConfirmed_) lastConfirmed_();
        if (alarmButton_) alarmButton_(false);
    }
}

void PICTURELIST::bringAllToFront() {
    for (const Slot& s : slots_) {
        if (s.shown && s.window) s.window->raise();
    }
}

void PICTURELIST::closeAll() {
    for (Slot& s : slots_) {
        if (s.window) delete s.window.data();
        s.window = nullptr;
        s.shown = false;
    }
}

// ---- actions ----

ALARMS::ALARMS(app::APLIKACE& app, SoundPlayer& sound, std::function<void()> raiseProgram,
               std::function<void(bool)> alarmButton)
    : app_(app),
      sound_(sound),
      raiseProgram_(std::move(raiseProgram)),
      pictures_(app, std::move(alarmButton), [this] {
          app_.loopingSound = false;
          sound_.stop();
      }) {}

void ALARMS::bringToFront() {
    if (raiseProgram_) raiseProgram_();
}

void ALARMS::playSound(const std::string& name, bool repeat) {
    if (name.empty()) return;
    const std::string path = multimediaPath(app_.soundDirectory_, name);
    if (repeat) {
        app_.loopingSound = true;
        sound_.play(path, true);
    } else if (!app_.loopingSound) {
        sound_.play(path, false);
    }
}

void ALARMS::showPicture(const std::string& name, long recordNumber, std::string_view text) {
    if (name.empty() || !app_.loggedIn) return;
    pictures_.show(name, text::format("%ld %.*s", recordNumber, static_cast<int>(text.size()), text.data()));
}

void ALARMS::startProgram(const std::string& program, const std::string& parameters, std::string_view text) {
    if (program.empty()) return;
    platform::startProgram(program, parameters, text);
}

void ALARMS::showAlarms() {
    app_.loopingSound = false;
    sound_.stop();
    pictures_.bringAllToFront();
}

void ALARMS::silence() {
    app_.loopingSound = false;
    sound_.stop();
}

}  // namespace vrx::gui
