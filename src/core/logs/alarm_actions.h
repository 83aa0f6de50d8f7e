#pragma once
// What a complete match of a filter on the full operating log sets off. The windowed program
// implements these with its main window (sounds, picture windows, raising the program window); the
// headless collector starts the programs and has nothing to show or play.
#include <string>
#include <string_view>

namespace vrx::logs {

class AlarmActions {
  public:
    virtual ~AlarmActions() = default;

    // The filter's "Alarm" flag is set: bring the program window to the front.
    virtual void bringToFront() = 0;
    // The filter's sound file (a name in the sounds-and-pictures directory, never empty), repeated
    // until silenced when `repeat`.
    virtual void playSound(const std::string& name, bool repeat) = 0;
    // The filter's picture file (never empty) with the caption made of the number and the text of
    // the record that completed the match.
    virtual void showPicture(const std::string& name, long recordNumber, std::string_view text) = 0;
    // The filter's program (never empty) with its parameters, "$$$" standing for the text of the
    // record that completed the match.
    virtual void startProgram(const std::string& program, const std::string& parameters,
                              std::string_view text) = 0;
};

// The collector without a screen: programs are started (without a shell), the rest is ignored.
class HeadlessAlarmActions : public AlarmActions {
  public:
    void bringToFront() override {}
    void playSound(const std::string&, bool) override {}
    void showPicture(const std::string&, long, std::string_view) override {}
    void startProgram(const std::string& program, const std::string& parameters,
                      std::string_view text) override;
};

}  // namespace vrx::logs
