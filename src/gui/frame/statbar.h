#pragma once
// The status bar: the menu hint, "Příjem" with the receive indicator, and the clock. The indicator
// lights red for 50 ms after received bytes (the serial line reader reports every byte).
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "serial/line_reader.h"

namespace vrx::gui {

constexpr int kStatusBarId = 301;
constexpr int kReceiveFlashMs = 50;

// The small box that shows received bytes.
class ReceiveIndicator : public QWidget {
    Q_OBJECT
  public:
    explicit ReceiveIndicator(QWidget* parent = nullptr);
    bool lit() const { return lit_; }
    void setLit(bool on);
    QSize sizeHint() const override { return {70, 20}; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    bool lit_ = false;
};

class STATBAR : public QStatusBar, public ReceiveActivity {
    Q_OBJECT
  public:
    explicit STATBAR(QWidget* parent = nullptr);
    ~STATBAR() override;

    // Part 0: the hint of the menu item under the mouse (Windows-1250), empty when none.
    void setHint(const std::string& text);
    QString hint() const { return hint_->text(); }
    // Part 2: "%2d:%02d:%02d" of the local time.
    void updateClock();
    QString clock() const { return clock_->text(); }
    bool receiveLit() const { return indicator_->lit(); }

    // Called for every received byte: lights the indicator and (re)starts its 50 ms.
    void byteReceived() override;

  private:
    QLabel* hint_;
    ReceiveIndicator* indicator_;
    QLabel* clock_;
    QTimer flash_;
};

}  // namespace vrx::gui
