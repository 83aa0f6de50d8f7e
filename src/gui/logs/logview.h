#pragma once
// The state and rules of a log window without the window: which line is at the top, which is
// selected, how far the lines are scrolled to the left, whether the view follows the newest line,
// how the scroll bar, the keys and the mouse move it, search, and printing into the view table.
//
// The vertical scroll bar runs from 0 to 1000 whatever the length of the log; its position stands
// for the bottom of the view. The horizontal offset runs from 0 to 250 characters.
#include <string>
#include <vector>

#include "gui/logs/log_source.h"

namespace vrx::gui {

// The five members of the family.
enum class LogKind { FullLog, Extract, Audit, FullLogArchive, AuditArchive };

// Scroll bar request codes (the order of the platform's scroll messages).
enum ScrollCode : int {
    kLineUp = 0,  // line left for the horizontal bar
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kTop = 6,
    kBottom = 7,
    kEndScroll = 8,
};

enum class LogKey { PageUp, PageDown, End, Home, Up, Down, Left, Right, Other };

constexpr int kVScrollMax = 1000;
constexpr int kHOffsetMax = 250;
constexpr int kSelectedBackground = 0xC0C0C0;  // light grey
constexpr int kWindowBackground = 0xFFFFFF;

// One row for drawing: the text from the horizontal offset on, with its colours.
struct DrawRow {
    std::string text;
    int foreground = 0;
    int background = kWindowBackground;
};

class LOGVIEW {
  public:
    LOGVIEW(LogKind kind, LogSource& source);

    LogKind kind() const { return kind_; }
    LogSource& source() { return source_; }

    // The window's size changed: `lines` whole lines fit. The first call puts the view at the
    // member's start position; later ones keep the end in view while following.
    void setVisible(int lines);

    // The pause (blank) mode of the main window.
    void setPaused(bool on) { paused_ = on; }
    bool paused() const { return paused_; }

    // The view at the end: one empty line below the newest entry (full log, extract), the last
    // page (audit, audit archive).
    void moveToEnd();

    // Command 101: the log changed. True when the window should redraw (the audit archive ignores it).
    bool refresh();

    // Scroll bar requests. True when the view moved.
    bool vScroll(int code, int thumb);
    // Returns the applied change of the horizontal offset (0: nothing to do).
    int hScroll(int code, int thumb);
    enum class KeyResult { Ignored, Moved, Beep };
    KeyResult keyDown(LogKey key);
    // A click on the line `line` of the window (y / line height). Beep in pause mode; true in
    // `changed` when the selection moved (previous() and selected() are the two lines to redraw).
    enum class ClickResult { Ignored, Selected, Beep };
    ClickResult mouseDown(int line);

    // Searches the line texts (see LineForm) from the line after (forward) or before the selected
    // one. Case-insensitive search folds a–z only. On success the found line is selected and shown.
    bool search(const std::string& text, bool forward, bool caseSensitive);

    // The rows to draw: lines top to top + visible (the last one partly visible). Empty in pause
    // mode and for an empty log (the window is filled with light grey or white).
    std::vector<DrawRow> rows();

    int count() { return source_.count(); }
    int top() const { return top_; }
    int visible() const { return visible_; }
    int selected() const { return selected_; }
    int previous() const { return previous_; }
    int hOffset() const { return hOffset_; }
    bool follow() const { return follow_; }
    // The vertical scroll bar's position as last set (0 to 1000; a view at the end of a log that
    // leaves an empty line below the newest entry may compute above 1000, which the bar clamps).
    int vPosition() const { return vPos_; }

    // The range of entries printing takes: all, or the page from the selected line (when it is in
    // view) or from the top.
    void printRange(bool whole, int& first, int& last);

  private:
    int lastTop();
    // The scroll bar position after a change of top or size.
    void setScrollPosition();
    // After a scroll request: follow rule, top clamped, position.
    void afterScroll();

    LogKind kind_;
    LogSource& source_;
    bool paused_ = false;
    int hOffset_ = 0;
    int top_ = 0;
    int visible_ = 0;
    int previous_ = 0;
    int selected_ = 0;
    bool follow_;
    bool started_ = false;
    int vPos_ = 0;
};

// Upper-cases the letters a–z only, as the log search compares.
std::string foldAscii(std::string s);

// Fills the view table PROHL ("VRXPRIV", exclusive, writable, created when missing) with the
// window's title line, its hyphen line and the lines of the range; false (message shown) for an
// empty log or when PROHL cannot be opened.
bool printToView(LOGVIEW& view, bool whole, const std::string& operatorName);

// Caption of an archive window from its file name MMDDmmdd: "... od DD.MM do dd.mm.".
std::string archiveCaption(const char* format, const std::string& fileName);

}  // namespace vrx::gui
