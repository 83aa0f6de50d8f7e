#include "gui/logs/logview.h"

#include <algorithm>

#include "db/tables.h"
#include "platform/messages.h"
#include "text/cz.h"
#include "text/strutil.h"

namespace vrx::gui {
namespace {

// Entries searched per table read.
constexpr int kSearchChunk = 256;

struct PrintTitles {
    const char* empty;
    const char* whole;  // nullptr: one title line "<single> %s" for both ranges
    const char* page;
    const char* single;
    int hyphens;
};

PrintTitles titlesOf(LogKind k) {
    switch (k) {
        case LogKind::FullLog:
            return {"Denik je prázdný"_cz, "Úplný provozní deník"_cz, "Stránka provozního deníku"_cz, nullptr,
                    75};
        case LogKind::Extract:
            return {"Extrakt provozního deníku je prázdný"_cz, "Extrakt úplného provozního deníku"_cz,
                    "Stránka extraktu provozního deníku"_cz, nullptr, 75};
        case LogKind::Audit:
            return {"Audit je prázdný"_cz, nullptr, nullptr, "Audit - vytisknul %s", 51};
        case LogKind::FullLogArchive:
            return {"Provozní deník je prázdný"_cz, nullptr, nullptr, "Archiv - vytisknul %s", 51};
        case LogKind::AuditArchive:
            return {"Audit je prázdný"_cz, "Audit", "Stránka Auditu"_cz, nullptr, 75};
    }
    return {};
}

}  // namespace

std::string foldAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

LOGVIEW::LOGVIEW(LogKind kind, LogSource& source)
    : kind_(kind),
      source_(source),
      follow_(kind == LogKind::FullLog || kind == LogKind::Extract || kind == LogKind::Audit) {}

int LOGVIEW::lastTop() {
    return std::max(0, count() - visible_);
}

void LOGVIEW::moveToEnd() {
    const int n = count();
    if (kind_ == LogKind::FullLog || kind_ == LogKind::Extract)
        top_ = std::max(0, n + 1 - visible_);
    else
        top_ = std::max(0, n - visible_);
}

void LOGVIEW::setScrollPosition() {
    const int n = count();
    if (visible_ >= n)
        vPos_ = 0;
    else if (top_ == n - visible_)
        vPos_ = kVScrollMax;
    else
        vPos_ = static_cast<int>((top_ + visible_) * (1000.0 / n));
}

void LOGVIEW::setVisible(int lines) {
    visible_ = std::max(0, lines);
    if (!started_) {
        started_ = true;
        if (kind_ != LogKind::FullLogArchive)
            moveToEnd();
        else
            top_ = 0;
    } else if (follow_) {
        moveToEnd();
    }
    setScrollPosition();
}

bool LOGVIEW::refresh() {
    switch (kind_) {
        case LogKind::FullLog:
        case LogKind::Extract:
        case LogKind::Audit:
            if (follow_) moveToEnd();
            setScrollPosition();
            return true;
        case LogKind::FullLogArchive:
            setScrollPosition();
            return true;
        case LogKind::AuditArchive:
            return false;
    }
    return false;
}

void LOGVIEW::afterScroll() {
    const int n = count();
    const int last = std::max(0, n - visible_);
    if (kind_ != LogKind::FullLogArchive && kind_ != LogKind::AuditArchive) follow_ = top_ >= last;
    if (top_ < 1) top_ = 0;
    if (top_ >= last)
        vPos_ = kVScrollMax;
    else if (top_ == 0)
        vPos_ = 0;
    else
        vPos_ = static_cast<int>((top_ + visible_) * (1000.0 / n));
}

bool LOGVIEW::vScroll(int code, int thumb) {
    const int n = count();
    if (visible_ >= n || code < 0 || code > kBottom) return false;
    const int last = n - visible_;
    switch (code) {
        case kLineUp:
            top_ = std::max(0, top_ - 1);
            break;
        case kLineDown:
            top_ = std::min(last, top_ + 1);
            break;
        case kPageUp:
            top_ = std::max(0, top_ - visible_);
            break;
        case kPageDown:
            top_ = std::min(last, top_ + visible_);
            break;
        case kThumbPosition:
        case kThumbTrack:
            top_ = thumb >= kVScrollMax ? last : static_cast<int>(thumb * (n / 1000.0)) - visible_;
            break;
        case kTop:
            top_ = 0;
            break;
        case kBottom:
            top_ = last;
            break;
    }
    afterScroll();
    return true;
}

int LOGVIEW::hScroll(int code, int thumb) {
    int delta = 0;
    switch (code) {
        case kLineUp:
            delta = -1;
            break;
        case kLineDown:
            delta = 1;
            break;
        case kPageUp:
            delta = -10;
            break;
        case kPageDown:
            delta = 10;
            break;
        case kThumbPosition:
        case kThumbTrack:
            delta = thumb - hOffset_;
            break;
        case kTop:
            delta = -hOffset_;
            break;
        case kBottom:
            delta = kHOffsetMax - hOffset_;
            break;
        default:
            delta = 0;
    }
    delta = std::clamp(delta, -hOffset_, kHOffsetMax - hOffset_);
    hOffset_ += delta;
    return delta;
}

LOGVIEW::KeyResult LOGVIEW::keyDown(LogKey key) {
    if (paused_) return KeyResult::Beep;
    if (key == LogKey::Left) return hScroll(kLineUp, 0) ? KeyResult::Moved : KeyResult::Ignored;
    if (key == LogKey::Right) return hScroll(kLineDown, 0) ? KeyResult::Moved : KeyResult::Ignored;
    const int n = count();
    if (visible_ >= n || key == LogKey::Other) return KeyResult::Ignored;
    const int last = n - visible_;
    switch (key) {
        case LogKey::PageUp:
            top_ = std::max(0, top_ - visible_);
            break;
        case LogKey::PageDown:
            top_ = std::min(last, top_ + visible_);
            break;
        case LogKey::End:
            top_ = last;
            break;
        case LogKey::Home:
            top_ = 0;
            break;
        case LogKey::Up:
            top_ = std::max(0, top_ - 1);
            break;
        case LogKey::Down:
            top_ = std::min(last, top_ + 1);
            break;
        default:
            break;
    }
    afterScroll();
    return KeyResult::Moved;
}

LOGVIEW::ClickResult LOGVIEW::mouseDown(int line) {
    const int n = count();
    if (n == 0) return ClickResult::Ignored;
    if (paused_) return ClickResult::Beep;
    if (line < 0 || line >= visible_) return ClickResult::Ignored;
    const int index = top_ + line;
    if (index >= n) return ClickResult::Ignored;
    previous_ = selected_;
    selected_ = index;
    return ClickResult::Selected;
}

bool LOGVIEW::search(const std::string& text, bool forward, bool caseSensitive) {
    if (!forward && selected_ == 0) return false;
    const std::string needle = caseSensitive ? text : foldAscii(text);
    const int n = count();
    int found = -1;
    std::vector<LogLine> chunk;
    if (forward) {
        for (int from = selected_ + 1; found < 0 && from < n; from += kSearchChunk) {
            source_.lines(from, std::min(kSearchChunk, n - from), LineForm::Printed, chunk);
            if (chunk.empty()) break;
            for (size_t i = 0; i < chunk.size(); ++i) {
                const std::string& t = caseSensitive ? chunk[i].text : foldAscii(chunk[i].text);
                if (t.find(needle) != std::string::npos) {
                    found = from + static_cast<int>(i);
                    break;
                }
            }
        }
    } else {
        for (int to = std::min(selected_ - 1, n - 1); found < 0 && to >= 0; to -= kSearchChunk) {
            const int from = std::max(0, to - kSearchChunk + 1);
            source_.lines(from, to - from + 1, LineForm::Printed, chunk);
            for (int i = static_cast<int>(chunk.size()) - 1; i >= 0; --i) {
                const std::string& t = caseSensitive ? chunk[static_cast<size_t>(i)].text
                                                     : foldAscii(chunk[static_cast<size_t>(i)].text);
                if (t.find(needle) != std::string::npos) {
                    found = from + i;
                    break;
                }
            }
        }
    }
    if (found < 0) return false;
    previous_ = selected_;
    selected_ = top_ = found;
    if (n - top_ < visible_) top_ = n - visible_;
    if (visible_ >= n) top_ = 0;
    // The view stops following when the found line is not at the end, so the next event does not
    // scroll it away.
    if (kind_ != LogKind::FullLogArchive && kind_ != LogKind::AuditArchive) follow_ = top_ >= lastTop();
    setScrollPosition();
    return true;
}

std::vector<DrawRow> LOGVIEW::rows() {
    std::vector<DrawRow> out;
    if (paused_) return out;
    const int n = count();
    if (n == 0) {
        selected_ = 0;
        return out;
    }
    std::vector<LogLine> lines;
    source_.lines(top_, visible_, LineForm::Shown, lines);
    // The audit follows its end exactly when this drawing reached the end of the table.
    if (kind_ == LogKind::Audit) follow_ = static_cast<int>(lines.size()) < visible_ || top_ + visible_ >= n;
    out.reserve(static_cast<size_t>(visible_) + 1);
    for (int j = 0; j <= visible_; ++j) {
        DrawRow row;
        const bool has = j < visible_ && j < static_cast<int>(lines.size());
        if (has) {
            const LogLine& l = lines[static_cast<size_t>(j)];
            row.text = l.text.size() > static_cast<size_t>(hOffset_)
                           ? l.text.substr(static_cast<size_t>(hOffset_))
                           : std::string();
            row.foreground = l.foreground;
            row.background = l.background;
        }
        if (top_ + j == selected_ && j < visible_) {
            if (row.text.empty()) {
                row.foreground = row.background = kWindowBackground;
            } else {
                row.foreground = 0;
                row.background = kSelectedBackground;
            }
        }
        out.push_back(std::move(row));
    }
    return out;
}

void LOGVIEW::printRange(bool whole, int& first, int& last) {
    const int n = count();
    if (whole) {
        first = 0;
        last = n - 1;
        return;
    }
    first = top_ <= selected_ && selected_ <= top_ + visible_ ? selected_ : top_;
    last = std::min(top_ + visible_ - 1, n - 1);
}

bool printToView(LOGVIEW& view, bool whole, const std::string& operatorName) {
    const PrintTitles t = titlesOf(view.kind());
    if (view.count() == 0) {
        platform::error(t.empty);
        return false;
    }
    TABPROHL prohl;
    if (!prohl.open(1, 1, 1)) {
        platform::error("Nelze otevřít tabulku PROHL"_cz);
        return false;
    }
    prohl.empty();
    auto append = [&](const std::string& line) {
        prohl.clearRecord();
        setText(prohl.rec.Radek, line);
        prohl.save(1);
    };
    if (t.single)
        append(text::format(t.single, operatorName.c_str()));
    else
        append(text::format("%s - vytisknul: %s", whole ? t.whole : t.page, operatorName.c_str()));
    append(std::string(static_cast<size_t>(t.hyphens), '-'));
    int first = 0, last = -1;
    view.printRange(whole, first, last);
    std::vector<LogLine> lines;
    for (int from = first; from <= last; from += kSearchChunk) {
        view.source().lines(from, std::min(kSearchChunk, last - from + 1), LineForm::Printed, lines);
        if (lines.empty()) break;
        for (const auto& l : lines) append(l.text);
    }
    prohl.close();
    return true;
}

std::string archiveCaption(const char* format, const std::string& fileName) {
    std::string name = fileName;
    if (name.size() < 8) name.resize(8, ' ');
    return text::format(format, name[2], name[3], name[0], name[1], name[6], name[7], name[4], name[5]);
}

}  // namespace vrx::gui
