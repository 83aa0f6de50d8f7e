#pragma once
// The filter manager and the two in-memory logs as the main window's operation drives them.
#include <memory>

#include "app/operation.h"
#include "logs/operating_logs.h"

namespace vrx::gui {

class Station : public app::OperatingLogs {
  public:
    // Creates the filter manager and the logs (nothing is built yet).
    Station();
    ~Station() override;

    // The logs need FILTRY and HISTOR; when a table could not be opened at start-up (missing
    // directories) they are made anew here once the settings are corrected. False when they still
    // cannot open their tables.
    bool ensureLogs();
    bool logsValid() const;
    OperatingLogSet* logs() { return logs_.get(); }
    void setActions(logs::AlarmActions* actions);
    // The end of the program: the UPD log, the EPD log, then the filter manager.
    void releaseLogs() { logs_.reset(); }

    void rebuild() override;
    long lastProcessed() const override;
    bool update(bool actions) override;
    void clear() override;

  private:
    std::unique_ptr<OperatingLogSet> logs_;
    logs::AlarmActions* actions_ = nullptr;
};

}  // namespace vrx::gui
