#include "stations/registry.h"

#include "text/strutil.h"

namespace vrx::stations {

bool removeStationRecords(TABLOGIN& registry, const std::string& station) {
    // Stations that ended abnormally or raced at login may have left more than one record.
    bool ok = true;
    int guard = 0;
    while (registry.findStation(station.c_str()) && guard++ < 1000) {
        if (!registry.deleteCurrent()) {
            ok = false;
            break;
        }
    }
    return ok;
}

bool registerStation(const std::string& operatorName, const std::string& station) {
    TABLOGIN registry;
    if (!registry.open(0, 1, 1)) return false;
    removeStationRecords(registry, station);
    registry.clearRecord();
    setText(registry.rec.P1, operatorName);
    setText(registry.rec.P2, station);
    registry.rec.flag1 = false;
    registry.rec.flag2 = false;
    const bool stored = registry.save(1);
    registry.flush();
    registry.close();
    return stored;
}

bool unregisterStation(const std::string& station) {
    TABLOGIN registry;
    if (!registry.open(0, 1, 1)) return false;
    removeStationRecords(registry, station);
    registry.flush();
    registry.close();
    return true;
}

bool StationList::open() {
    return table_.open(0, 1, 1);
}

long StationList::count() {
    return table_.recordCount();
}

std::vector<std::string> StationList::lines() {
    std::vector<std::string> out;
    if (!table_.first()) return out;
    while (!table_.eof()) {
        out.push_back(text::format("%-20s %s", table_.rec.P1, table_.rec.P2));
        if (!table_.next()) break;
    }
    return out;
}

bool StationList::disconnect(int line) {
    if (line < 0 || !table_.readAt(line + 1)) return false;
    const bool ok = table_.deleteCurrent();
    table_.flush();
    return ok;
}

}  // namespace vrx::stations
