#pragma once
// The filter manager and the two logs as operation drives them.
#include "app/operation.h"
#include "logs/operating_logs.h"

namespace vrx::app {

class StationLogs : public OperatingLogs {
public:
    explicit StationLogs(OperatingLogSet& set) : set_(set) {}
    void rebuild() override { set_.rebuild(); }
    long lastProcessed() const override { return set_.lastProcessed(); }
    bool update(bool actions) override { return set_.update(actions); }
    void clear() override { set_.clear(); }

private:
    OperatingLogSet& set_;
};

}  // namespace vrx::app
