#pragma once
// The station registry: the shared table LOGIN lists the stations that have an operator logged in,
// one record per station, with the operator's name and the station's computer name.
//
// A station enters itself at login (replacing its old record), removes itself at logout and at its
// orderly end, and checks every minute that its record is still there; an administrator disconnects
// a station by deleting its record (the minute check itself is part of operation).
#include <string>
#include <vector>

#include "db/tables.h"

namespace vrx::stations {

// Characters of a station name that the registry keeps.
constexpr size_t kStationNameChars = 15;

// Removes every record of the station from the open registry; false when one could not be deleted.
bool removeStationRecords(TABLOGIN& registry, const std::string& station);

// Opens the registry (shared, writable, created when missing), replaces this station's record with
// one for the operator, both flags clear, and closes it. False when the registry cannot be opened or
// the record cannot be stored.
bool registerStation(const std::string& operatorName, const std::string& station);

// Opens the registry (shared, writable, created when missing), deletes this station's record if
// there is one and closes it. False only when the registry cannot be opened.
bool unregisterStation(const std::string& station);

// The list of the management dialog: the registry records in table order.
class StationList {
  public:
    // Opens the registry shared and writable (created when missing); false when it cannot be opened.
    bool open();
    bool isOpen() const { return table_.isOpen(); }
    long count();
    // One line per record, "%-20s %s" of the operator name and the station name.
    std::vector<std::string> lines();
    // Deletes the record at the 0-based line; false when it is not there or cannot be deleted.
    bool disconnect(int line);

  private:
    TABLOGIN table_;
};

}  // namespace vrx::stations
