#include "gui/frame/qtext.h"

#include <QFontDatabase>
#include <QFontInfo>

#include "text/charset.h"

namespace vrx::gui {

QString qs(std::string_view cp1250) {
    return QString::fromStdString(text::cp1250ToUtf8(cp1250));
}

std::string cp(const QString& s) {
    return text::utf8ToCp1250(s.toStdString());
}

QFont screenFont() {
    static const QFont font = [] {
        QFont f(QStringLiteral("DejaVu Sans Mono"));
        f.setStyleHint(QFont::Monospace, QFont::PreferDefault);
        f.setFixedPitch(true);
        f.setPixelSize(13);
        f.setWeight(QFont::Normal);
        if (!QFontInfo(f).fixedPitch()) {
            QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            system.setPixelSize(13);
            return system;
        }
        return f;
    }();
    return font;
}

}  // namespace vrx::gui
