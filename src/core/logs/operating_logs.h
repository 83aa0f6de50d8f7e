#pragma once
// The filter manager and the two in-memory logs as the station runs them: created at start-up,
// rebuilt from the table, brought up to date after every batch of new records.
#include <memory>

#include "logs/alarm_actions.h"
#include "logs/deniky.h"
#include "logs/filtermgr.h"

namespace vrx {

class INISOUBOR;

// The EPD options from section "EPD" of the settings file as start-up reads them: onlyMatching =
// "PouzeFiltrovane" (default 1) != 0, useWindow = "PouzitCasoveOkno" (default 0) != 0, days
// "OdData" and "DoData" (default 0).
void applyEpdSettings(QUIETLOG& epd, const INISOUBOR& ini);

class OperatingLogSet {
  public:
    // Creates, in this order, the filter manager (FILTRY of "VRXPRIV"), the UPD log and the EPD log
    // (each with its own cursor on HISTOR of "VRXSPOL"); the EPD log takes its options from the
    // program's settings file, the UPD log keeps all options off. Builds nothing yet.
    explicit OperatingLogSet(logs::AlarmActions* actions = nullptr);
    ~OperatingLogSet();

    // False when a table could not be opened; start-up then shows "Nelze aktivovat správce
    // filtrů." and ends.
    bool valid() const;

    FILTERMANAGER& filters() { return *filters_; }
    ALARMLOG& upd() { return *upd_; }
    QUIETLOG& epd() { return *epd_; }
    void setActions(logs::AlarmActions* actions) { upd_->setActions(actions); }

    // Start of operation and after records were deleted: both logs anew from the table, without
    // actions.
    void rebuild();
    // A log anew after its filter selection or its options changed (reload the filters first).
    void rebuildUpd();
    void rebuildEpd();
    // The filter table changed: reload the filters and rebuild the logs whose filters changed.
    void filtersChanged(bool updChanged, bool epdChanged);

    // After a batch of new records: the UPD pass (with the filters' actions when asked), then the
    // EPD pass. True when the EPD pass completed a match (the extract window needs redrawing);
    // the full log window is redrawn after every refresh.
    bool update(bool withActions);

    // Record number of the last record the UPD log has processed.
    int lastProcessed() const { return upd_->LastProcessed(); }
    // The table was emptied: both logs empty.
    void clear();

  private:
    std::unique_ptr<FILTERMANAGER> filters_;
    std::unique_ptr<ALARMLOG> upd_;
    std::unique_ptr<QUIETLOG> epd_;
};

}  // namespace vrx
