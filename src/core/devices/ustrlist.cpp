#include "devices/ustrlist.h"

#include "settings/inisoubor.h"
#include "text/cz.h"

namespace vrx {
namespace {

constexpr POPIS_USTREDNY panel(const char* name, int type, int capacity) {
    POPIS_USTREDNY p{{}, type, capacity};
    for (int i = 0; i + 1 < static_cast<int>(sizeof p.name) && name[i]; ++i) p.name[i] = name[i];
    return p;
}

constexpr POPIS_USTREDNY kPanels[USTRLIST::kCount] = {
    panel("APLEX", kPanelAplex, 0),
    panel("CONCEPT", kPanelConcept, 0),
    panel("DIGIPLEX", kPanelDigiplex, 0),
    panel("ESSER", kPanelEsser, 0),
    panel("GALAXY 18", kPanelGalaxy, 120),
    panel("GALAXY 60", kPanelGalaxy, 230),
    panel("GALAXY 128", kPanelGalaxy, 250),
    panel("GALAXY 500", kPanelGalaxy, 400),
    panel("GALAXY 504", kPanelGalaxy, 500),
    panel("GALAXY 512", kPanelGalaxy, 500),
    panel("GALAXY 504 v.3.0", kPanelGalaxy, 800),
    panel("GALAXY 512 v.3.0", kPanelGalaxy, 800),
    panel("GALAXY 18 v.4.0", kPanelGalaxy, 100),
    panel("GALAXY 60 v.4.0", kPanelGalaxy, 200),
    panel("GALAXY 128 v.4.0", kPanelGalaxy, 250),
    panel("GALAXY 500 v.4.0", kPanelGalaxy, 500),
    panel("GALAXY 504 v.4.0", kPanelGalaxy, 999),
    panel("GALAXY 512 v.4.0", kPanelGalaxy, 999),
    panel("LOOP 500", kPanelLoop500, 0),
    panel("MHU 109", kPanelUnspecified, 0),
    panel("Obecné zařízení"_cz, kPanelCommon, 0),
    panel("ORBIT PRO", kPanelOrbit, 0),
    panel("PC 1565", kPanelUnspecified, 0),
    panel("PC 1580", kPanelUnspecified, 0),
    panel("PC 4020 V3.0", kPanelPc4020V30, 1500),
    panel("PC 4020 V3.3", kPanelPc4020V33, 1500),
    panel("PC 5010", kPanelUnspecified, 0),
    panel("PC 585", kPanelUnspecified, 0),
    panel("PC 5020", kPanelUnspecified, 0),
    panel("PC 6010", kPanelPc6010, 1000),
};

}  // namespace

USTRLIST::USTRLIST() {
    setChosen(settings().readNumber("USTREDNA", "Ustredna", kDefaultChosen));
}

const POPIS_USTREDNY* USTRLIST::at(int index) const {
    return index >= 0 && index < kCount ? &kPanels[index] : nullptr;
}

bool USTRLIST::entry(int index, int& type, const char*& name, int& capacity) const {
    const POPIS_USTREDNY* p = at(index);
    if (!p) return false;
    type = p->type;
    name = p->name;
    capacity = p->capacity;
    return true;
}

int USTRLIST::chosenType() const {
    return chosen_ < 0 ? 0 : kPanels[chosen_].type;
}

const char* USTRLIST::chosenName() const {
    return chosen_ < 0 ? "???" : kPanels[chosen_].name;
}

int USTRLIST::chosenCapacity() const {
    return chosen_ < 0 ? 0 : kPanels[chosen_].capacity;
}

void USTRLIST::setChosen(int index) {
    chosen_ = at(index) ? index : -1;
}

USTRLIST& panelList() {
    static USTRLIST list;
    return list;
}

}  // namespace vrx
