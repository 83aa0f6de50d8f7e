#pragma once
// The main window: menu, toolbar, status bar and workplace; the dispatcher of every command; the
// rights applied to the menu, toolbar and window; the timers of the station's operation.
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "app/aplikace.h"
#include "app/commands.h"
#include "app/menu.h"
#include "app/operation.h"
#include "app/station_services.h"
#include "operators/login.h"

class QMdiSubWindow;

namespace vrx::gui {

class ALARMS;
class LogWindows;
class QtTimers;
class SoundPlayer;
class STATBAR;
class Station;
class TOOLBAR;
class TOOLBAROKNO;
class WORKPLACEOKNO;

class HLAVNIOKNO : public QMainWindow,
                   public app::MenuTarget,
                   public app::OperationObserver,
                   public app::StationServices {
    Q_OBJECT
  public:
    // Builds the caption from the panel and the run mode, the menu, the status bar and the toolbar,
    // applies the default rights and starts the clock. `sound` plays the alarm sounds.
    HLAVNIOKNO(app::APLIKACE& app, Station& station, SoundPlayer& sound, QWidget* parent = nullptr);
    ~HLAVNIOKNO() override;

    // The workplace and the program buttons window (created by the start-up after the window).
    void createWorkplace();
    void createProgramButtons();

    // ---- commands ----
    // Runs a command inside the error trap: a failure raised with a string-table number is shown.
    void command(int number);
    // The dialog (or window) that carries out a command of another part of the program. A command
    // that needs a dialog stays greyed and does nothing until its dialog is set here.
    using Dialog = std::function<void(HLAVNIOKNO&)>;
    void setDialog(int number, Dialog dialog);
    // Whether the command can be carried out at all (its dialog or window exists).
    bool available(int number) const;
    // The state the refusals are decided on.
    app::CommandState commandState();

    // ---- operation ----
    // The start of operation at start-up (conditions checked by the caller); true on success.
    bool startOperation();
    // The orderly stop: full log table closed, this station's registry record removed when an
    // operator is logged in, registry closed, timers stopped.
    void stopOperation();
    // The end of the program (after "Konec", a lost connection, a signal): stops operation and
    // leaves the event loop. Closing the window afterwards is accepted.
    void endProgram() override { endProgramWith(0); }
    void endProgramWith(int exitCode);
    bool ending() const { return ending_; }
    bool paused() const;
    void setPaused(bool on);

    // ---- parts ----
    app::APLIKACE& application() override { return app_; }
    app::Operation& operation() override { return *operation_; }
    app::Timers& timers() override;
    QtTimers& qtTimers() { return *timers_; }
    Station& station() { return station_; }
    STATBAR* statusBarPart() const { return statbar_; }
    TOOLBAR* toolbarPart() const { return toolbar_; }
    TOOLBAROKNO* programButtons() const { return programButtons_; }
    WORKPLACEOKNO* workplace() const { return workplace_; }
    LogWindows& logWindows() { return *logWindows_; }
    ALARMS& alarms() { return *alarms_; }
    QAction* menuAction(int number) const;
    QMdiSubWindow* aboutWindow() const { return about_; }
    // The splash at start-up: the about window without its button, removed by the start-up.
    void showSplash();
    void removeSplash();

    // Hooks of other parts of the program: the monthly backup check (timer 9).
    void setBackupCheck(std::function<void()> check) { backupCheck_ = std::move(check); }

    // Picks an archive file for commands 20114 and 20115 (a file dialog unless set).
    using ArchiveChooser = std::function<QString(bool audit, const QString& startDirectory)>;
    void setArchiveChooser(ArchiveChooser chooser);
    // Asked when the window is minimized while resizing is not allowed (right 20151 "Ne"): true
    // lets this one minimize stand.
    void setMinimizePrompt(std::function<bool()> prompt) { minimizePrompt_ = std::move(prompt); }

    // Enables the toolbar button of "Zobrazení alarmů" while alarm pictures are open.
    void enableAlarmButton(bool on);

    // ---- MenuTarget ----
    void enableMenuItem(int number, bool on) override;
    void enableToolbarButton(int number, bool on) override;
    void enableProgramButton(int button, bool on) override;
    void allowResize(bool allowed, bool forceMaximized) override;
    void keepOnTop(bool onTop) override;
    bool resizeLocked() const { return resizeLocked_; }

    // ---- OperationObserver ----
    void clockTick() override;
    void logsUpdated(bool extractTookNew) override;
    void endRequested() override;
    void backupTick() override;

    // ---- StationServices (the dialogs of the operators, stations and settings) ----
    void applyRights(const operators::Rights& rights) override;
    void rightsAppliedAtLogin() override;
    unsigned char rightValue(int index) override;
    void rebuildCaption() override;
    void placeAlarmPictures() override;
    void openFullLogWindow() override;
    void closeFullLogWindow() override;
    void closeSecondaryLogWindows() override;
    void setPause(bool on) override;
    void help(int context) override;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    void buildMenu();
    void updateEnabled(int number);
    bool runBuiltIn(int number);
    void runDialog(int number);
    void afterDialog(int number);
    void openArchive(bool audit);
    void toggleAbout();
    void startByCommand();
    void konec();

    app::APLIKACE& app_;
    Station& station_;
    std::unique_ptr<QtTimers> timers_;
    std::unique_ptr<app::Operation> operation_;
    std::unique_ptr<ALARMS> alarms_;
    std::unique_ptr<LogWindows> logWindows_;
    STATBAR* statbar_ = nullptr;
    TOOLBAR* toolbar_ = nullptr;
    TOOLBAROKNO* programButtons_ = nullptr;
    WORKPLACEOKNO* workplace_ = nullptr;
    QPointer<QMdiSubWindow> about_;
    QPointer<QMdiSubWindow> splash_;
    std::map<int, QAction*> actions_;
    std::map<int, Dialog> dialogs_;
    std::map<int, bool> rightsMenu_, rightsToolbar_;
    std::function<void()> backupCheck_;
    ArchiveChooser archiveChooser_;
    bool resizeLocked_ = false;
    std::function<bool()> minimizePrompt_;
    bool ending_ = false;
};

}  // namespace vrx::gui
