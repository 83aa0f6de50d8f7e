#pragma once
// The panel descriptions from which the operator chooses the panel type.
namespace vrx {

// Panel types; each selects one decoder.
enum PanelType : int {
    kPanelUnspecified = 0,
    kPanelGalaxy = 1,
    kPanelAplex = 2,
    kPanelCommon = 3,
    kPanelPc4020V30 = 4,
    kPanelPc4020V33 = 5,
    kPanelOrbit = 6,
    kPanelLoop500 = 7,
    kPanelConcept = 8,
    kPanelPc6010 = 9,
    kPanelDigiplex = 10,
    kPanelEsser = 11,
};

struct POPIS_USTREDNY {
    char name[30];
    int type;
    int capacity;  // most card-user codes the panel supports; 0 for panels without attendance
};

class USTRLIST {
  public:
    static constexpr int kCount = 30;
    static constexpr int kDefaultChosen = 8;  // "GALAXY 504"

    // The fixed list, with the chosen index read from "Ustredna" (section "USTREDNA").
    USTRLIST();

    int count() const { return kCount; }
    // False for an index outside the list.
    bool entry(int index, int& type, const char*& name, int& capacity) const;
    const POPIS_USTREDNY* at(int index) const;

    int chosenIndex() const { return chosen_; }
    int chosenType() const;          // 0 when none is chosen
    const char* chosenName() const;  // "???" when none is chosen
    int chosenCapacity() const;      // 0 when none is chosen
    // An index outside the list chooses none.
    void setChosen(int index);

  private:
    int chosen_ = -1;
};

// The program's list, built on first use.
USTRLIST& panelList();

}  // namespace vrx
