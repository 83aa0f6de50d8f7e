#pragma once
// The station's logs in the windowed program: rebuilding them shows the wait cursor.
#include "app/station_logs.h"

namespace vrx::gui {

class Station : public app::StationLogs {
  public:
    void rebuild() override;
};

}  // namespace vrx::gui
