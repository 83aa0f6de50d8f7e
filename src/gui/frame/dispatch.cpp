// The main window's command dispatch: refusals, the error trap, the commands carried out by the
// frame itself, and the dialogs of the other parts with what follows them.
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QUrl>
#include <algorithm>

#include "app/strings.h"
#include "gui/alarms/alarms.h"
#include "gui/frame/hlavniokno.h"
#include "gui/frame/log_windows.h"
#include "gui/frame/qtext.h"
#include "gui/frame/station.h"
#include "gui/frame/workplace.h"
#include "platform/app_error.h"
#include "settings/inisoubor.h"
#include "text/charset.h"
#include "text/cz.h"

namespace vrx::gui {
namespace {

// Commands the frame carries out itself; every other command needs its dialog.
constexpr int kBuiltIn[] = {20105, 20114, 20115, 20127, 20128, 20129,
                            20141, 20142, 20143, 20145, 20146, 20147};

bool builtIn(int number) {
    return std::find(std::begin(kBuiltIn), std::end(kBuiltIn), number) != std::end(kBuiltIn);
}

}  // namespace

void HLAVNIOKNO::setDialog(int number, Dialog dialog) {
    dialogs_[number] = std::move(dialog);
    updateEnabled(number);
}

bool HLAVNIOKNO::available(int number) const {
    return builtIn(number) || dialogs_.count(number) != 0;
}

app::CommandState HLAVNIOKNO::commandState() {
    app::CommandState s;
    s.mode = app_.runMode;
    s.runConditions = app_.runConditionsHold();
    s.paused = paused();
    s.loggedIn = app_.loggedIn;
    s.panelType = app_.panels.chosenType();
    s.hasDecoder = app_.device != nullptr;
    if (app_.device && app_.device->reader()) {
        s.hardwareBufferReader = app_.device->reader()->isHardwareBuffer();
        s.continuousReading = app_.device->reader()->isContinuous();
    }
    s.onlineExporter = app_.exporter != nullptr;
    s.fullLogWindowOpen = logWindows_ && logWindows_->fullLog();
    s.historyEmpty = [this] {
        if (TABHISTOR* open = operation_->historyTable()) return open->recordCount() == 0;
        TABHISTOR h;
        return !h.open(0, 0, 0) || h.recordCount() == 0;
    };
    return s;
}

void HLAVNIOKNO::command(int number) {
    // A command whose dialog does not exist yet is greyed and does nothing, also from a key.
    if (!available(number)) return;
    try {
        const app::Refusal r = app::checkCommand(number, commandState());
        if (r) {
            app::presentRefusal(r);
            return;
        }
        if (builtIn(number))
            runBuiltIn(number);
        else
            runDialog(number);
    } catch (const AppError& e) {
        platform::error(app::stringTable(e.message));
    }
}

bool HLAVNIOKNO::runBuiltIn(int number) {
    switch (number) {
        case 20105:
            konec();
            break;
        case 20114:
            openArchive(false);
            break;
        case 20115:
            openArchive(true);
            break;
        case 20127:
            logWindows_->bringToFront(logWindows_->fullLog());
            break;
        case 20128:
            if (OperatingLogSet* logs = station_.logs()) logWindows_->openExtract(logs->epd());
            break;
        case 20129:
            logWindows_->openAudit();
            break;
        case 20141:
            alarms_->showAlarms();
            break;
        case 20142:
            alarms_->silence();
            break;
        case 20143:
            setPaused(!paused());
            break;
        case 20145:
            startByCommand();
            break;
        case 20146:
            toggleAbout();
            break;
        case 20147:
            help(0);
            break;
        default:
            return false;
    }
    return true;
}

void HLAVNIOKNO::runDialog(int number) {
    auto it = dialogs_.find(number);
    if (it == dialogs_.end()) return;  // greyed: its dialog does not exist yet
    // A copy: the dialog may replace the table's entries while it runs.
    const Dialog dialog = it->second;
    dialog(*this);
    afterDialog(number);
}

void HLAVNIOKNO::afterDialog(int number) {
    app::Operation& op = *operation_;
    OperatingLogSet* logs = station_.logs();
    auto redrawFull = [this] {
        if (auto* w = logWindows_->fullLog()) w->command(kCommandRefresh);
    };
    auto redrawExtract = [this] {
        if (auto* w = logWindows_->extract()) w->command(kCommandRefresh);
    };
    switch (number) {
        case 20109:
            if (op.updChanged) redrawFull();
            if (op.epdChanged) redrawExtract();
            op.updChanged = op.epdChanged = false;
            break;
        case 20111:
            if ((op.updChanged || op.epdChanged) && logs) {
                logs->filtersChanged(op.updChanged, op.epdChanged);
                redrawFull();
                if (op.epdChanged) redrawExtract();
            }
            op.updChanged = op.epdChanged = false;
            break;
        case 20112:
            if (op.updChanged && logs) {
                logs->filtersChanged(true, false);
                redrawFull();
            }
            op.updChanged = false;
            break;
        case 20113:
            if (op.epdChanged && logs) {
                logs->filtersChanged(false, true);
                redrawExtract();
            }
            op.epdChanged = false;
            break;
        case 20118:
            // Records were deleted (and renumbered): both logs anew, or empty with an empty table.
            op.tableChanged();
            if (op.nextRecordNumber() > 1)
                station_.rebuild();
            else
                station_.clear();
            redrawFull();
            redrawExtract();
            break;
        default:
            break;
    }
}

void HLAVNIOKNO::startByCommand() {
    if (app_.running) return;
    if (!app_.runConditionsHold()) {
        platform::error("Nejsou splněny podmínky pro běh programu"_cz);
        return;
    }
    if (!startOperation()) return;
    openFullLogWindow();
    placeAlarmPictures();
}

void HLAVNIOKNO::konec() {
    if (!app_.loggedIn) {
        endProgram();
        return;
    }
    // With an operator logged in the end goes through the exit dialog and its password check.
    auto it = dialogs_.find(20105);
    if (it != dialogs_.end()) it->second(*this);
}

void HLAVNIOKNO::setArchiveChooser(ArchiveChooser chooser) {
    archiveChooser_ = std::move(chooser);
}

void HLAVNIOKNO::openArchive(bool audit) {
    const std::string start =
        settings().readString("ADRESARE", audit ? "ZalohaAudit" : "ZalohaHist", "", 259);
    QString chosen;
    if (archiveChooser_) {
        chosen = archiveChooser_(audit, qs(start));
    } else {
        chosen = QFileDialog::getOpenFileName(
            this, qs(audit ? "Výber archívního souboru"_cz : "Výběr archívního souboru"_cz), qs(start),
            QStringLiteral("Soubory (*.db)"));
    }
    if (chosen.isEmpty()) return;
    const QFileInfo file(chosen);
    const std::string directory = cp(file.absolutePath());
    const std::string name = cp(file.fileName());
    if (audit)
        logWindows_->openAuditArchive(directory, name);
    else
        logWindows_->openFullLogArchive(directory, name);
}

void HLAVNIOKNO::toggleAbout() {
    if (about_) {
        about_->raise();
        return;
    }
    if (workplace_) about_ = openAbout(*workplace_, true);
}

void HLAVNIOKNO::help(int context) {
    // The help file lies beside the program's settings, as "HELP\VORAX.HLP" does on Windows. The
    // desktop's viewer opens the file; it has no notion of the context numbers.
    (void)context;
    const std::string dir = app_.startDirectory.empty() ? currentDirectory() : app_.startDirectory;
    const QString path = QString::fromStdString(text::cp1250ToUtf8(dir + "/HELP/VORAX.HLP"));
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        platform::messages().beep();
    }
}

}  // namespace vrx::gui
