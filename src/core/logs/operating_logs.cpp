#include "logs/operating_logs.h"

#include "settings/inisoubor.h"

namespace vrx {

void applyEpdSettings(QUIETLOG& epd, const INISOUBOR& ini) {
    epd.SetOptions(ini.readLong("EPD", "PouzeFiltrovane", 1) != 0,
                   ini.readLong("EPD", "PouzitCasoveOkno", 0) != 0,
                   static_cast<int>(ini.readLong("EPD", "OdData", 0)),
                   static_cast<int>(ini.readLong("EPD", "DoData", 0)));
}

OperatingLogSet::OperatingLogSet(logs::AlarmActions* actions)
    : filters_(std::make_unique<FILTERMANAGER>()),
      upd_(std::make_unique<ALARMLOG>(*filters_, kScopeUpd)),
      epd_(std::make_unique<QUIETLOG>(*filters_, kScopeEpd)) {
    upd_->setActions(actions);
    upd_->SetOptions(false, false, 0, 0);
    applyEpdSettings(*epd_, settings());
}

OperatingLogSet::~OperatingLogSet() {
    // The UPD log first, then the EPD log, then the filter manager.
    upd_.reset();
    epd_.reset();
    filters_.reset();
}

bool OperatingLogSet::valid() const {
    return filters_->isOpen() && upd_->tableOpen() && epd_->tableOpen();
}

void OperatingLogSet::rebuildUpd() {
    upd_->Reset();
    upd_->Update(false);
}

void OperatingLogSet::rebuildEpd() {
    epd_->Reset();
    epd_->Update();
}

void OperatingLogSet::rebuild() {
    rebuildUpd();
    rebuildEpd();
}

void OperatingLogSet::filtersChanged(bool updChanged, bool epdChanged) {
    filters_->Load();
    if (epdChanged) rebuildEpd();
    if (updChanged) rebuildUpd();
}

bool OperatingLogSet::update(bool withActions) {
    upd_->Update(withActions);
    return epd_->Update();
}

void OperatingLogSet::clear() {
    upd_->Reset();
    epd_->Reset();
}

}  // namespace vrx
