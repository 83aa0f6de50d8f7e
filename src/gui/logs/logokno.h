#pragma once
// The five log windows: a scrolling list of one-line entries in the screen font, drawn from a
// LogSource by the rules of LOGVIEW. Each lives inside a sub-window of the workplace; the main
// window opens and closes them.
#include <QAbstractScrollArea>
#include <memory>

#include "gui/logs/log_source.h"
#include "gui/logs/logview.h"

namespace vrx::gui {

constexpr int kCommandRefresh = 101;

class LOGOKNO : public QAbstractScrollArea {
    Q_OBJECT
  public:
    LOGOKNO(LogKind kind, std::unique_ptr<LogSource> source, const QString& caption,
            QWidget* parent = nullptr);
    ~LOGOKNO() override;

    LOGVIEW& view() { return view_; }
    LogKind kind() const { return view_.kind(); }
    int lineHeight() const { return lineHeight_; }

    // Command 101 (the log changed, or the pause) redraws; other commands are ignored. The
    // accelerator keys are the program's shortcuts and reach the main window from every window.
    void command(int number);
    void setPaused(bool on);
    // With the wait cursor; "Řetězec nenalezen." when nothing matches.
    bool search(const QString& text, bool forward, bool caseSensitive);
    // Fills the view table for printing.
    bool printToView(bool whole, const std::string& operatorName);

    // The lines as they are drawn now (for tests and the accessibility of the window).
    std::vector<DrawRow> drawnRows() { return view_.rows(); }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void scrollContentsBy(int, int) override {}

  private:
    void vAction(int action);
    void hAction(int action);
    void syncScrollBars();
    void takeMetrics();
    void redrawLine(int index);

    std::unique_ptr<LogSource> source_;
    LOGVIEW view_;
    int lineHeight_ = 16;
    int charWidth_ = 8;
    bool syncing_ = false;
};

// The full operating log (the UPD log with its colours).
class DENIKOKNO : public LOGOKNO {
    Q_OBJECT
  public:
    // Raises AppError 8 when HISTOR cannot be opened.
    explicit DENIKOKNO(const LOG& updLog, QWidget* parent = nullptr);
};

// The extract (the EPD log).
class EXTRAKTOKNO : public LOGOKNO {
    Q_OBJECT
  public:
    explicit EXTRAKTOKNO(const LOG& epdLog, QWidget* parent = nullptr);
};

// The audit trail, paged through AUDIT; raises AppError 10.
class AUDITOKNO : public LOGOKNO {
    Q_OBJECT
  public:
    explicit AUDITOKNO(QWidget* parent = nullptr);
};

// An archive of the full operating log; raises AppError 14 when it cannot be opened.
class ARCHIVUPDOKNO : public LOGOKNO {
    Q_OBJECT
  public:
    // The archive file "<directory>/<name>.DB"; `name` is MMDDmmdd.
    ARCHIVUPDOKNO(const std::string& directory, const std::string& name, QWidget* parent = nullptr);
};

// An archive of the audit; raises AppError 10.
class ARCHIVAUDITOKNO : public LOGOKNO {
    Q_OBJECT
  public:
    ARCHIVAUDITOKNO(const std::string& directory, const std::string& name, QWidget* parent = nullptr);
};

}  // namespace vrx::gui
