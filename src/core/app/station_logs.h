#pragma once
// The filter manager and the two logs as operation drives them. The logs need FILTRY and HISTOR;
// when those cannot be opened yet (directories not set at start-up) the set is made anew once the
// settings are corrected.
#include <memory>

#include "app/operation.h"
#include "logs/operating_logs.h"

namespace vrx::app {

class StationLogs : public OperatingLogs {
public:
    // Creates the filter manager and the logs (nothing is built yet).
    explicit StationLogs(logs::AlarmActions* actions = nullptr);
    ~StationLogs() override;

    // True when the logs have their tables, making them anew first if they had not.
    bool ensureLogs();
    bool logsValid() const { return logs_ && logs_->valid(); }
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

}  // namespace vrx::app
