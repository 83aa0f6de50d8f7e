#include "gui/frame/station.h"

#include <QApplication>

namespace vrx::gui {

void Station::rebuild() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    StationLogs::rebuild();
    QApplication::restoreOverrideCursor();
}

}  // namespace vrx::gui
