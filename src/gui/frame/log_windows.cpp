#include "gui/frame/log_windows.h"

#include <QMdiSubWindow>

#include "gui/frame/workplace.h"

namespace vrx::gui {

LogWindows::LogWindows(WORKPLACEOKNO& workplace) : workplace_(workplace) {
    QObject::connect(&workplace_, &WORKPLACEOKNO::resized, &workplace_, [this] { workplaceResized(); });
}

QRect LogWindows::areaFor(bool rightHalf) const {
    const QSize area = workplace_.viewport()->size();
    if (rightHalf) return QRect(area.width() / 2, 0, area.width() - area.width() / 2, area.height());
    return QRect(QPoint(0, 0), area);
}

void LogWindows::workplaceResized() {
    std::vector<Placement> kept;
    for (Placement& p : placements_) {
        if (!p.frame) continue;
        if (p.frame->geometry() == p.assigned && !p.frame->isMaximized() && !p.frame->isMinimized()) {
            p.assigned = areaFor(p.rightHalf);
            p.frame->setGeometry(p.assigned);
        }
        kept.push_back(p);
    }
    placements_ = std::move(kept);
}

QMdiSubWindow* LogWindows::frameOf(LOGOKNO* w) {
    return w ? qobject_cast<QMdiSubWindow*>(w->parentWidget()) : nullptr;
}

void LogWindows::place(LOGOKNO* w, bool rightHalf) {
    QMdiSubWindow* sub = workplace_.addWindow(w);
    sub->setObjectName(w->metaObject()->className());
    w->setPaused(paused_);
    sub->show();
    const QRect r = areaFor(rightHalf);
    sub->setGeometry(r);
    placements_.push_back(Placement{sub, rightHalf, r});
    bringToFront(w);
}

DENIKOKNO* LogWindows::openFullLog(const LOG& upd) {
    if (!fullLog_) {
        fullLog_ = new DENIKOKNO(upd);
        place(fullLog_, false);
    }
    return fullLog_;
}

EXTRAKTOKNO* LogWindows::openExtract(const LOG& epd) {
    if (!extract_) {
        extract_ = new EXTRAKTOKNO(epd);
        place(extract_, true);
    } else {
        bringToFront(extract_);
    }
    return extract_;
}

AUDITOKNO* LogWindows::openAudit() {
    if (!audit_) {
        audit_ = new AUDITOKNO();
        place(audit_, true);
    } else {
        bringToFront(audit_);
    }
    return audit_;
}

ARCHIVUPDOKNO* LogWindows::openFullLogArchive(const std::string& directory, const std::string& name) {
    close(fullLogArchive_);
    fullLogArchive_ = new ARCHIVUPDOKNO(directory, name);
    place(fullLogArchive_, false);
    return fullLogArchive_;
}

ARCHIVAUDITOKNO* LogWindows::openAuditArchive(const std::string& directory, const std::string& name) {
    close(auditArchive_);
    auditArchive_ = new ARCHIVAUDITOKNO(directory, name);
    place(auditArchive_, true);
    return auditArchive_;
}

void LogWindows::close(LOGOKNO* w) {
    if (!w) return;
    if (QMdiSubWindow* sub = frameOf(w)) {
        // Deleted at once, so the window's pointer is empty when close() returns.
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->close();
        delete sub;
    } else {
        delete w;
    }
}

void LogWindows::bringToFront(LOGOKNO* w) {
    QMdiSubWindow* sub = frameOf(w);
    if (!sub) return;
    if (sub->isMinimized()) sub->showNormal();
    sub->raise();
    workplace_.setActiveSubWindow(sub);
    w->setFocus();
}

void LogWindows::setPaused(bool on) {
    paused_ = on;
    for (LOGOKNO* w :
         std::initializer_list<LOGOKNO*>{fullLog_, audit_, extract_, fullLogArchive_, auditArchive_}) {
        if (!w) continue;
        w->setPaused(on);
        w->command(kCommandRefresh);
    }
}

void LogWindows::logsUpdated(bool extractTookNew) {
    if (fullLog_) fullLog_->command(kCommandRefresh);
    if (extractTookNew && extract_) extract_->command(kCommandRefresh);
}

void LogWindows::closeAll() {
    close(fullLogArchive_);
    close(auditArchive_);
    close(audit_);
    close(fullLog_);
    close(extract_);
}

}  // namespace vrx::gui
