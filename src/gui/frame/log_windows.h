#pragma once
// The five log windows of the workplace, at most one of each: opened, brought to the front and
// closed by the main window's commands, told about new records and the pause.
#include <QPointer>
#include <QRect>
#include <string>
#include <vector>

#include "gui/logs/logokno.h"

class QMdiSubWindow;

namespace vrx::gui {

class WORKPLACEOKNO;

class LogWindows {
  public:
    explicit LogWindows(WORKPLACEOKNO& workplace);

    // Each opening raises the window's AppError when its table cannot be opened.
    DENIKOKNO* openFullLog(const LOG& upd);
    EXTRAKTOKNO* openExtract(const LOG& epd);
    AUDITOKNO* openAudit();
    // An open archive window of the same kind is closed first.
    ARCHIVUPDOKNO* openFullLogArchive(const std::string& directory, const std::string& name);
    ARCHIVAUDITOKNO* openAuditArchive(const std::string& directory, const std::string& name);

    DENIKOKNO* fullLog() const { return fullLog_; }
    EXTRAKTOKNO* extract() const { return extract_; }
    AUDITOKNO* audit() const { return audit_; }
    ARCHIVUPDOKNO* fullLogArchive() const { return fullLogArchive_; }
    ARCHIVAUDITOKNO* auditArchive() const { return auditArchive_; }

    void close(LOGOKNO* w);
    // Restored when minimized, then to the front with the focus.
    void bringToFront(LOGOKNO* w);

    // The pause on every open window, then command 101.
    void setPaused(bool on);
    // After an update pass: the full log always, the extract when its pass took new records.
    void logsUpdated(bool extractTookNew);
    // The end of the program, in this order: archive of the full log, archive of the audit, audit,
    // full log, extract.
    void closeAll();

    // The workplace changed size: windows still at the place they were given (the whole workplace
    // or its right half) take the new area.
    void workplaceResized();

  private:
    struct Placement {
        QPointer<QMdiSubWindow> frame;
        bool rightHalf = false;
        QRect assigned;
    };
    // Wraps the window in a frame of the workplace: the whole workplace or its right half.
    void place(LOGOKNO* w, bool rightHalf);
    QRect areaFor(bool rightHalf) const;
    static QMdiSubWindow* frameOf(LOGOKNO* w);

    std::vector<Placement> placements_;

    WORKPLACEOKNO& workplace_;
    bool paused_ = false;
    QPointer<DENIKOKNO> fullLog_;
    QPointer<EXTRAKTOKNO> extract_;
    QPointer<AUDITOKNO> audit_;
    QPointer<ARCHIVUPDOKNO> fullLogArchive_;
    QPointer<ARCHIVAUDITOKNO> auditArchive_;
};

}  // namespace vrx::gui
