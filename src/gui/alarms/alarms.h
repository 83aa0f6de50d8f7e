#pragma once
// What the operator sees and hears when a filter of the full operating log matches: the program
// window comes to the front, a sound plays once or repeats until silenced, a picture window opens
// over the workplace and stays until it is confirmed, and a program is started with the event text.
#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/aplikace.h"
#include "gui/alarms/mybmp.h"
#include "logs/alarm_actions.h"

class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QSoundEffect;
class QObject;

namespace vrx::gui {

constexpr int kConfirmButton = 102;

// Plays the wave files of the alarms. Starting a sound stops the one playing.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void play(const std::string& path, bool loop) = 0;
    virtual void stop() = 0;
};

// Qt Multimedia. Without an audio output device a sound is reduced to one beep of the system, so
// that an alarm is never silent without telling anybody.
class QtSoundPlayer : public SoundPlayer {
  public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void play(const std::string& path, bool loop) override;
    void stop() override;

  private:
    std::unique_ptr<QSoundEffect> effect_;
};

// A file of the sounds-and-pictures directory: "<directory>/<name>", and when that does not exist
// the directory's entry whose name differs only in case (names come from the filters as typed).
std::string multimediaPath(const std::string& directory, const std::string& name);

class PICTURELIST;

// One alarm picture: a window with a caption bar only (it cannot be closed from its frame), the
// picture stretched over its client area and the button "Potvrdit".
class BITMAPOKNO : public QWidget {
    Q_OBJECT
  public:
    BITMAPOKNO(PICTURELIST& list, int slot, const MYBMP& picture, const QString& caption);
    int slot() const { return slot_; }
    QSize sizeHint() const override { return clientSize_; }
    void setClientSize(QSize s) { clientSize_ = s; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

  private:
    void confirm();

    PICTURELIST& list_;
    int slot_;
    MYBMP picture_;
    QPushButton* button_;
    QSize clientSize_;
};

// The ring of five alarm picture windows over the workplace.
class PICTURELIST {
  public:
    static constexpr int kSlots = 5;
    struct Slot {
        QPointer<QMdiSubWindow> window;
        int x = 30, y = 30;
        bool shown = false;
    };

    // `alarmButton` enables or disables the toolbar button of command 20141; `lastConfirmed` runs
    // when the last open picture was confirmed (it stops the sound).
    PICTURELIST(app::APLIKACE& app, std::function<void(bool)> alarmButton,
                std::function<void()> lastConfirmed);
    ~PICTURELIST();

    void setWorkplace(QMdiArea* workplace) { workplace_ = workplace; }
    // The slots cascade by 23 pixels from the right half of the workplace.
    void layout();
    // The next slot takes the picture (the oldest one is replaced); only ".BMP" files open a window.
    void show(const std::string& name, const std::string& caption);
    // A picture window was confirmed.
    void confirmed(int slot);
    // Every shown picture to the top, in slot order.
    void bringAllToFront();
    // Closes every picture window (the end of the program).
    void closeAll();

    int count() const { return count_; }
    int next() const { return next_; }
    const Slot& slot(int i) const { return slots_[static_cast<size_t>(i)]; }

  private:
    QMdiSubWindow* open(int slot, const std::string& name, const std::string& caption);

    app::APLIKACE& app_;
    QMdiArea* workplace_ = nullptr;
    std::array<Slot, kSlots> slots_;
    int next_ = 0;
    int count_ = 0;
    std::function<void(bool)> alarmButton_;
    std::function<void()> lastConfirmed_;
};

// The filter actions of the main window, and the commands "Zobrazení alarmů" (20141) and
// "Umlčení zvukové signalizace" (20142).
class ALARMS : public logs::AlarmActions {
  public:
    ALARMS(app::APLIKACE& app, SoundPlayer& sound, std::function<void()> raiseProgram,
           std::function<void(bool)> alarmButton);

    void setWorkplace(QMdiArea* workplace) { pictures_.setWorkplace(workplace); }
    PICTURELIST& pictures() { return pictures_; }

    void bringToFront() override;
    void playSound(const std::string& name, bool repeat) override;
    void showPicture(const std::string& name, long recordNumber, std::string_view text) override;
    void startProgram(const std::string& program, const std::string& parameters,
                      std::string_view text) override;

    void showAlarms();  // 20141
    void silence();     // 20142

  private:
    app::APLIKACE& app_;
    SoundPlayer& sound_;
    std::function<void()> raiseProgram_;
    PICTURELIST pictures_;
};

}  // namespace vrx::gui
