#include "gui/logs/logokno.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "gui/frame/qtext.h"
#include "platform/app_error.h"
#include "platform/messages.h"
#include "text/cz.h"

namespace vrx::gui {
namespace {

LogKey keyOf(int key) {
    switch (key) {
        case Qt::Key_PageUp:
            return LogKey::PageUp;
        case Qt::Key_PageDown:
            return LogKey::PageDown;
        case Qt::Key_End:
            return LogKey::End;
        case Qt::Key_Home:
            return LogKey::Home;
        case Qt::Key_Up:
            return LogKey::Up;
        case Qt::Key_Down:
            return LogKey::Down;
        case Qt::Key_Left:
            return LogKey::Left;
        case Qt::Key_Right:
            return LogKey::Right;
        default:
            return LogKey::Other;
    }
}

// Scroll bar actions as the scroll request codes of the log view.
int codeOf(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return kLineUp;
        case QAbstractSlider::SliderSingleStepAdd:
            return kLineDown;
        case QAbstractSlider::SliderPageStepSub:
            return kPageUp;
        case QAbstractSlider::SliderPageStepAdd:
            return kPageDown;
        case QAbstractSlider::SliderMove:
            return kThumbTrack;
        case QAbstractSlider::SliderToMinimum:
            return kTop;
        case QAbstractSlider::SliderToMaximum:
            return kBottom;
        default:
            return kEndScroll;
    }
}

// The table name of an archive file: its name without the ".DB" ending.
std::string tableNameOf(const std::string& name) {
    if (name.size() > 3 &&
        (name.compare(name.size() - 3, 3, ".DB") == 0 || name.compare(name.size() - 3, 3, ".db") == 0)) {
        return name.substr(0, name.size() - 3);
    }
    return name;
}

// Opens an archive copy: exclusively to rebuild its indexes, then shared and read-only.
template <class Table>
std::unique_ptr<Table> openArchive(const std::string& directory, const std::string& name, int error) {
    auto table = std::make_unique<Table>(TABULKA::InDirectory{directory}, tableNameOf(name));
    if (!table->open(1, 1, 0)) throw AppError{error};
    table->rebuildIndexes();
    table->close();
    if (!table->open(0, 0, 0)) throw AppError{error};
    return table;
}

std::unique_ptr<LogSource> inMemorySource(const LOG& log) {
    auto table = std::make_unique<TABHISTOR>();
    if (!table->open(0, 0, 0)) throw AppError{8};
    return std::make_unique<InMemoryLogSource>(log, std::move(table));
}

}  // namespace

LOGOKNO::LOGOKNO(LogKind kind, std::unique_ptr<LogSource> source, const QString& caption, QWidget* parent)
    : QAbstractScrollArea(parent), source_(std::move(source)), view_(kind, *source_) {
    setWindowTitle(caption);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAutoFillBackground(false);
    setFont(screenFont());
    verticalScrollBar()->setRange(0, kVScrollMax);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(100);
    horizontalScrollBar()->setRange(0, kHOffsetMax);
    horizontalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setPageStep(10);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &LOGOKNO::vAction);
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this, &LOGOKNO::hAction);
    takeMetrics();
}

LOGOKNO::~LOGOKNO() = default;

void LOGOKNO::takeMetrics() {
    const QFontMetrics fm(font());
    lineHeight_ = std::max(1, fm.height());
    charWidth_ = std::max(1, fm.averageCharWidth());
    view_.setVisible(viewport()->height() / lineHeight_);
    syncScrollBars();
}

void LOGOKNO::syncScrollBars() {
    syncing_ = true;
    verticalScrollBar()->setSliderPosition(std::min(view_.vPosition(), kVScrollMax));
    verticalScrollBar()->setValue(std::min(view_.vPosition(), kVScrollMax));
    horizontalScrollBar()->setSliderPosition(view_.hOffset());
    horizontalScrollBar()->setValue(view_.hOffset());
    syncing_ = false;
}

void LOGOKNO::command(int number) {
    if (number != kCommandRefresh) return;
    if (view_.refresh()) {
        syncScrollBars();
        viewport()->update();
    }
}

void LOGOKNO::setPaused(bool on) {
    view_.setPaused(on);
    viewport()->update();
}

void LOGOKNO::vAction(int action) {
    if (syncing_) return;
    const int code = codeOf(action);
    const bool moved = view_.vScroll(code, verticalScrollBar()->sliderPosition());
    // The bar shows the view's position, not where the request would have put it.
    verticalScrollBar()->setSliderPosition(std::min(view_.vPosition(), kVScrollMax));
    if (moved) viewport()->update();
}

void LOGOKNO::hAction(int action) {
    if (syncing_) return;
    const int delta = view_.hScroll(codeOf(action), horizontalScrollBar()->sliderPosition());
    horizontalScrollBar()->setSliderPosition(view_.hOffset());
    if (delta != 0) viewport()->update();
}

void LOGOKNO::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    takeMetrics();
    viewport()->update();
}

void LOGOKNO::showEvent(QShowEvent* e) {
    QAbstractScrollArea::showEvent(e);
    takeMetrics();
}

void LOGOKNO::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    if (view_.paused()) {
        p.fillRect(area, winColor(kSelectedBackground));
        return;
    }
    const std::vector<DrawRow> rows = view_.rows();
    if (rows.empty()) {
        p.fillRect(area, Qt::white);
        return;
    }
    p.setFont(font());
    const QFontMetrics fm(font());
    for (size_t j = 0; j < rows.size(); ++j) {
        const QRect r(0, static_cast<int>(j) * lineHeight_, area.width(), lineHeight_);
        p.fillRect(r, winColor(rows[j].background));
        if (rows[j].text.empty()) continue;
        p.setPen(winColor(rows[j].foreground));
        p.setClipRect(r);
        p.drawText(r.x(), r.y() + fm.ascent(), qs(rows[j].text));
        p.setClipping(false);
    }
    const int below = static_cast<int>(rows.size()) * lineHeight_;
    if (below < area.height()) p.fillRect(QRect(0, below, area.width(), area.height() - below), Qt::white);
    // A drawing that reached the end of the audit decides whether it follows; keep the bar in step.
    if (view_.kind() == LogKind::Audit) syncScrollBars();
}

void LOGOKNO::keyPressEvent(QKeyEvent* e) {
    const LogKey key = keyOf(e->key());
    if (key == LogKey::Other) {
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    switch (view_.keyDown(key)) {
        case LOGVIEW::KeyResult::Beep:
            platform::messages().beep();
            break;
        case LOGVIEW::KeyResult::Moved:
            syncScrollBars();
            viewport()->update();
            break;
        case LOGVIEW::KeyResult::Ignored:
            break;
    }
}

void LOGOKNO::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 40;  // three lines per notch
    for (int i = 0; i < std::abs(steps); ++i) view_.vScroll(steps > 0 ? kLineUp : kLineDown, 0);
    syncScrollBars();
    viewport()->update();
    e->accept();
}

void LOGOKNO::redrawLine(int index) {
    const int j = index - view_.top();
    if (j >= 0 && j <= view_.visible())
        viewport()->update(0, j * lineHeight_, viewport()->width(), lineHeight_);
}

void LOGOKNO::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const int line = static_cast<int>(e->position().y()) / lineHeight_;
    switch (view_.mouseDown(line)) {
        case LOGVIEW::ClickResult::Beep:
            platform::messages().beep();
            return;
        case LOGVIEW::ClickResult::Ignored:
            break;
        case LOGVIEW::ClickResult::Selected:
            redrawLine(view_.previous());
            redrawLine(view_.selected());
            break;
    }
    raise();
    setFocus(Qt::MouseFocusReason);
    activateWindow();
}

bool LOGOKNO::search(const QString& text, bool forward, bool caseSensitive) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool found = view_.search(cp(text), forward, caseSensitive);
    QApplication::restoreOverrideCursor();
    if (found) {
        syncScrollBars();
        viewport()->update();
    } else {
        platform::messages().beep();
        platform::messages().show("Informace", "Řetězec nenalezen."_cz, platform::Icon::Information);
    }
    return found;
}

bool LOGOKNO::printToView(bool whole, const std::string& operatorName) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = gui::printToView(view_, whole, operatorName);
    QApplication::restoreOverrideCursor();
    return ok;
}

DENIKOKNO::DENIKOKNO(const LOG& updLog, QWidget* parent)
    : LOGOKNO(LogKind::FullLog, inMemorySource(updLog), qs("Úplný provozní deník"_cz), parent) {}

EXTRAKTOKNO::EXTRAKTOKNO(const LOG& epdLog, QWidget* parent)
    : LOGOKNO(LogKind::Extract, inMemorySource(epdLog), qs("Extrakt provozního deníku"_cz), parent) {}

namespace {
std::unique_ptr<LogSource> auditSource() {
    auto table = std::make_unique<TABAUDIT>();
    if (!table->open(0, 0, 0)) throw AppError{10};
    return std::make_unique<PagedTableSource<TABAUDIT>>(std::move(table), auditLine, auditLine);
}
}  // namespace

AUDITOKNO::AUDITOKNO(QWidget* parent)
    : LOGOKNO(LogKind::Audit, auditSource(), QStringLiteral("Audit"), parent) {}

ARCHIVUPDOKNO::ARCHIVUPDOKNO(const std::string& directory, const std::string& name, QWidget* parent)
    : LOGOKNO(LogKind::FullLogArchive,
              std::make_unique<PagedTableSource<TABHISTOR>>(openArchive<TABHISTOR>(directory, name, 14),
                                                            archiveLine, archivePrintedLine),
              qs(archiveCaption("Archív historie od %c%c.%c%c do %c%c.%c%c."_cz, tableNameOf(name))),
              parent) {}

ARCHIVAUDITOKNO::ARCHIVAUDITOKNO(const std::string& directory, const std::string& name, QWidget* parent)
    : LOGOKNO(LogKind::AuditArchive,
              std::make_unique<PagedTableSource<TABAUDIT>>(openArchive<TABAUDIT>(directory, name, 10),
                                                           auditLine, auditLine),
              qs(archiveCaption("Archív auditu od %c%c.%c%c do %c%c.%c%c."_cz, tableNameOf(name))), parent) {}

}  // namespace vrx::gui
