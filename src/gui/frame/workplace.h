#pragma once
// The workplace (WORKPLACEOKNO): the silver area under the toolbar that holds the log windows, the
// alarm pictures and the about window; and the about window itself.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

namespace vrx::gui {

class WORKPLACEOKNO : public QMdiArea {
    Q_OBJECT
  public:
    explicit WORKPLACEOKNO(QWidget* parent = nullptr);
    // Adds a window of the workplace in a frame with the given flags.
    QMdiSubWindow* addWindow(QWidget* w, Qt::WindowFlags flags = Qt::SubWindow);

  Q_SIGNALS:
    // The area for the windows changed size (the main window was resized or laid out).
    void resized();

  protected:
    void resizeEvent(QResizeEvent* e) override;
};

// The about window, 350 by 320 pixels. As the start-up splash it has no button; opened by "O
// aplikaci" it has "Zpět" (101) and stays above the other windows of the workplace.
class ABOUTOKNO : public QWidget {
    Q_OBJECT
  public:
    explicit ABOUTOKNO(bool withButton, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {350, 320}; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
};

// Opens the about window in the workplace (centred on the desktop as its position in the
// workplace); the frame is returned.
QMdiSubWindow* openAbout(WORKPLACEOKNO& workplace, bool withButton);

}  // namespace vrx::gui
