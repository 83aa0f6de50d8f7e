#pragma once
// Between the program's Windows-1250 texts and Qt's strings, colours and the screen font.
#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <string_view>

namespace vrx::gui {

// Windows-1250 bytes → QString.
QString qs(std::string_view cp1250);
// QString → Windows-1250 bytes (characters the code page lacks become '?').
std::string cp(const QString& s);

// A Windows colour value 0x00BBGGRR.
inline QColor winColor(int c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The screen font of the log windows: fixed pitch, with the Central European letters.
QFont screenFont();

}  // namespace vrx::gui
