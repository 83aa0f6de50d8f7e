#include "gui/frame/hlavniokno.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "app/strings.h"
#include "gui/alarms/alarms.h"
#include "gui/frame/log_windows.h"
#include "gui/frame/qt_timers.h"
#include "gui/frame/qtext.h"
#include "gui/frame/statbar.h"
#include "gui/frame/station.h"
#include "gui/frame/toolbar.h"
#include "gui/frame/workplace.h"
#include "text/cz.h"
#include "text/strutil.h"

namespace vrx::gui {

HLAVNIOKNO::HLAVNIOKNO(app::APLIKACE& app, Station& station, SoundPlayer& sound, QWidget* parent)
    : QMainWindow(parent), app_(app), station_(station) {
    setObjectName(QStringLiteral("HLAVNIOKNO"));
    timers_ = std::make_unique<QtTimers>([this](int id) {
        if (operation_) operation_->onTimer(id);
    });
    operation_ = std::make_unique<app::Operation>(app_, *timers_);
    operation_->setLogs(&station_);
    operation_->setObserver(this);

    rebuildCaption();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);
    if (const QScreen* s = QGuiApplication::primaryScreen()) setGeometry(s->availableGeometry());

    statbar_ = new STATBAR(this);
    setStatusBar(statbar_);
    setReceiveActivity(statbar_);
    toolbar_ = new TOOLBAR([this](int number) { command(number); }, this);
    addToolBar(Qt::TopToolBarArea, toolbar_);
    buildMenu();

    alarms_ = std::make_unique<ALARMS>(
        app_, sound,
        [this] {
            if (isMinimized()) showNormal();
            raise();
            activateWindow();
        },
        [this](bool on) { enableAlarmButton(on); });
    station_.setActions(alarms_.get());

    app::menu().setTarget(this);
    app::menu().applyDefaults();
    enableAlarmButton(false);
    timers_->startTimer(app::kTimerClock, 1000);
}

HLAVNIOKNO::~HLAVNIOKNO() {
    if (operation_) operation_->stop();
    if (logWindows_) logWindows_->closeAll();
    station_.setActions(nullptr);
    if (app::menu().target() == this) app::menu().setTarget(nullptr);
    if (receiveActivity() == statbar_) setReceiveActivity(nullptr);
    alarms_.reset();
}

void HLAVNIOKNO::createWorkplace() {
    workplace_ = new WORKPLACEOKNO(this);
    setCentralWidget(workplace_);
    logWindows_ = std::make_unique<LogWindows>(*workplace_);
    alarms_->setWorkplace(workplace_);
}

void HLAVNIOKNO::createProgramButtons() {
    programButtons_ = new TOOLBAROKNO(toolbar_);
    toolbar_->addSeparator();
    toolbar_->addWidget(programButtons_);
    app::menu().reapply();
}

void HLAVNIOKNO::buildMenu() {
    for (const app::MenuInfo& m : app::menus()) {
        QMenu* menu = menuBar()->addMenu(qs(m.title));
        connect(menu, &QMenu::hovered, this, [this](QAction* a) {
            const int number = a->data().toInt();
            statbar_->setHint(number && !a->isSeparator() && !a->menu() ? app::commandHint(number)
                                                                        : std::string());
        });
        connect(menu, &QMenu::aboutToHide, this, [this] { statbar_->setHint(std::string()); });
        for (int number : app::menuItems(m.group)) {
            if (number == 0) {
                menu->addSeparator();
                continue;
            }
            const app::CommandInfo* c = app::commandInfo(number);
            QAction* a = menu->addAction(qs(app::menuLabel(*c)));
            a->setObjectName(QString::number(number));
            a->setData(number);
            if (c->key) {
                a->setShortcut(QKeySequence(Qt::Key_F1 + (c->key - 1)));
                // The keys work wherever the focus is: in the workplace, a log or a picture window.
                a->setShortcutContext(Qt::ApplicationShortcut);
            }
            connect(a, &QAction::triggered, this, [this, number] { command(number); });
            actions_[number] = a;
            addAction(a);
        }
    }
}

QAction* HLAVNIOKNO::menuAction(int number) const {
    auto it = actions_.find(number);
    return it != actions_.end() ? it->second : nullptr;
}

// ---- rights ----

void HLAVNIOKNO::updateEnabled(int number) {
    const bool can = available(number);
    if (QAction* a = menuAction(number)) a->setEnabled(can && rightsMenu_[number]);
    // The alarm button follows the pictures as well; the rights only switch it with the menu.
    if (toolbar_ && toolbar_->hasButton(number) && rightsToolbar_.count(number)) {
        toolbar_->enableButton(number, can && rightsToolbar_[number]);
    }
}

void HLAVNIOKNO::enableMenuItem(int number, bool on) {
    rightsMenu_[number] = on;
    updateEnabled(number);
}

void HLAVNIOKNO::enableToolbarButton(int number, bool on) {
    rightsToolbar_[number] = on;
    updateEnabled(number);
}

void HLAVNIOKNO::enableProgramButton(int button, bool on) {
    if (!programButtons_) return;
    if (QPushButton* b = programButtons_->button(button)) b->setEnabled(on);
}

void HLAVNIOKNO::enableAlarmButton(bool on) {
    if (toolbar_) toolbar_->enableButton(20141, on);
}

void HLAVNIOKNO::allowResize(bool allowed, bool forceMaximized) {
    resizeLocked_ = forceMaximized;
    const Qt::WindowFlags wanted = allowed ? windowFlags() | Qt::WindowMinMaxButtonsHint
                                           : (windowFlags() & ~Qt::WindowMinMaxButtonsHint) |
                                                 Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (wanted != windowFlags()) {
        const bool shown = isVisible();
        setWindowFlags(wanted);
        if (shown) show();
    }
    if (forceMaximized) showMaximized();
}

void HLAVNIOKNO::keepOnTop(bool onTop) {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown) show();
}

void HLAVNIOKNO::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    // While resizing is not allowed, minimize and restore requests are undone; a minimize stands
    // when the logged-in operator's password is given in the prompt.
    if (e->type() == QEvent::WindowStateChange && resizeLocked_ && !isMaximized() && isVisible()) {
        QTimer::singleShot(0, this, [this] {
            if (!resizeLocked_) return;
            if (isMinimized() && minimizePrompt_ && minimizePrompt_()) return;
            showMaximized();
        });
    }
}

void HLAVNIOKNO::applyRights(const operators::Rights& rights) {
    app::menu().applyAll(rights.data());
}

void HLAVNIOKNO::rightsAppliedAtLogin() {
    if (alarms_->pictures().count() == 0) enableAlarmButton(false);
}

app::Timers& HLAVNIOKNO::timers() {
    return *timers_;
}

unsigned char HLAVNIOKNO::rightValue(int index) {
    return static_cast<unsigned char>(app::menu().value(app::kFirstCommand + index));
}

void HLAVNIOKNO::rebuildCaption() {
    setWindowTitle(qs(text::format("Terminál pro: %s   Režim: %s   "_cz, app_.panels.chosenName(),
                                   app::APLIKACE::runModeName(app_.runMode))));
}

void HLAVNIOKNO::placeAlarmPictures() {
    alarms_->pictures().layout();
}

void HLAVNIOKNO::openFullLogWindow() {
    if (!logWindows_ || logWindows_->fullLog()) return;
    if (OperatingLogSet* logs = station_.logs()) logWindows_->openFullLog(logs->upd());
}

void HLAVNIOKNO::closeFullLogWindow() {
    if (logWindows_) logWindows_->close(logWindows_->fullLog());
}

void HLAVNIOKNO::closeSecondaryLogWindows() {
    if (!logWindows_) return;
    logWindows_->close(logWindows_->extract());
    logWindows_->close(logWindows_->audit());
    logWindows_->close(logWindows_->fullLogArchive());
    logWindows_->close(logWindows_->auditArchive());
}

void HLAVNIOKNO::setPause(bool on) {
    if (paused() != on) setPaused(on);
}

// ---- operation ----

bool HLAVNIOKNO::startOperation() {
    if (!station_.ensureLogs()) {
        platform::error("Nelze aktivovat správce filtrů."_cz);
        return false;
    }
    return operation_->start();
}

void HLAVNIOKNO::stopOperation() {
    operation_->stop();
}

void HLAVNIOKNO::endProgramWith(int exitCode) {
    if (ending_) return;
    ending_ = true;
    stopOperation();
    alarms_->silence();
    QCoreApplication::exit(exitCode);
}

bool HLAVNIOKNO::paused() const {
    return operation_->paused();
}

void HLAVNIOKNO::setPaused(bool on) {
    operation_->setPaused(on);
    if (logWindows_) logWindows_->setPaused(on);
}

void HLAVNIOKNO::clockTick() {
    statbar_->updateClock();
}

void HLAVNIOKNO::logsUpdated(bool extractTookNew) {
    if (logWindows_) logWindows_->logsUpdated(extractTookNew);
}

void HLAVNIOKNO::endRequested() {
    endProgram();
}

void HLAVNIOKNO::backupTick() {
    if (backupCheck_) backupCheck_();
}

void HLAVNIOKNO::showSplash() {
    if (workplace_) splash_ = openAbout(*workplace_, false);
}

void HLAVNIOKNO::removeSplash() {
    if (splash_) delete splash_.data();
}

void HLAVNIOKNO::closeEvent(QCloseEvent* e) {
    if (ending_) {
        e->accept();
        return;
    }
    // The close box is the command "Konec".
    e->ignore();
    QTimer::singleShot(0, this, [this] { command(20105); });
}

}  // namespace vrx::gui
