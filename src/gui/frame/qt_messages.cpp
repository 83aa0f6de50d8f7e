#include "gui/frame/qt_messages.h"

#include <QApplication>
#include <QMessageBox>

#include "gui/frame/qtext.h"

namespace vrx::gui {
namespace {

QMessageBox::Icon iconOf(platform::Icon i) {
    switch (i) {
        case platform::Icon::Information:
            return QMessageBox::Information;
        case platform::Icon::Warning:
            return QMessageBox::Warning;
        case platform::Icon::Error:
            return QMessageBox::Critical;
        case platform::Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtMessages::show(std::string_view caption, std::string_view text, platform::Icon icon) {
    QMessageBox box(iconOf(icon), qs(caption), qs(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool QtMessages::ask(std::string_view caption, std::string_view text) {
    QMessageBox box(QMessageBox::Question, qs(caption), qs(text), QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Ok;
}

void QtMessages::beep() {
    QApplication::beep();
}

}  // namespace vrx::gui
