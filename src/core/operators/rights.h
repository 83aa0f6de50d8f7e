#pragma once
// The operators' rights: one value for each of the 52 commands 20101 to 20152 of the main window.
//
// Each right has a kind. Kind 1 rights are always allowed and take only the blank value; kind 2
// rights are "Ano"/"Ne"; kind 3 rights (the table dialogs) are "Žádné"/"Čtení"/"Zápis". For the
// menu and toolbar, values 0 and 5 disable a command and 1 to 4 enable it.
#include <array>
#include <cstddef>

namespace vrx::operators {

constexpr int kRightCount = 52;
// Bytes of rights stored with an operator; the bytes after the 52 rights keep their stored values.
constexpr int kRightsBytes = 100;
constexpr int kFirstRightCommand = 20101;

enum RightValue : unsigned char {
    kRightNone = 0,    // "Žádné"
    kRightRead = 1,    // "Čtení"
    kRightWrite = 2,   // "Zápis"
    kRightAlways = 3,  // five blanks: no setting, always available
    kRightYes = 4,     // "Ano  "
    kRightNo = 5,      // "Ne   "
};

using Rights = std::array<unsigned char, kRightCount>;

// Right indexes of the commands that the operator and station dialogs look at.
constexpr int kRightOperators = 3;    // 20104 "Tabulka operátorů programu"
constexpr int kRightFullLog = 26;     // 20127 "Zobrazení úplného provozního deníku"
constexpr int kRightStations = 43;    // 20144 "Správa připojených stanic"
constexpr int kRightShowAlarms = 40;  // 20141 "Zobrazení nepotvrzených alarmů"

// 1, 2 or 3; 0 for an index outside 0 to 51.
int rightKind(int index);
constexpr int rightCommand(int index) {
    return kFirstRightCommand + index;
}
// The index of a command's right, -1 for a command without one.
constexpr int rightIndex(int command) {
    return command >= kFirstRightCommand && command < kFirstRightCommand + kRightCount
               ? command - kFirstRightCommand
               : -1;
}
// The five-character Windows-1250 text of a value ("Žádné", "Čtení", "Zápis", five blanks,
// "Ano  ", "Ne   "); "?????" for a value outside 0 to 5.
const char* rightValueText(unsigned char value);
// Values 1 to 4 enable a menu command, 0 and 5 disable it.
constexpr bool enablesCommand(unsigned char value) {
    return value >= 1 && value <= 4;
}

// Highest and lowest value of a right's kind: "Zápis"/"Žádné", "Ano"/"Ne", blank for kind 1.
unsigned char highestRight(int index);
unsigned char lowestRight(int index);
// The next value when the operator switches a right: "Žádné" -> "Čtení" -> "Zápis" -> "Žádné",
// "Ano" <-> "Ne"; a kind 1 right keeps the blank value. A value that does not belong to the kind
// starts the kind's cycle anew.
unsigned char cycledRight(int index, unsigned char value);

// The standard sets: every right at its highest value (login with a built-in name), every right at
// its lowest value (nobody logged in), and the rights a new operator starts with (the same as
// nobody logged in).
Rights fullRights();
Rights loggedOutRights();
Rights defaultRights();

// The 52 rights of an operator's stored bytes.
Rights rightsFromBytes(const unsigned char* bytes);
// Writes the 52 rights into an operator's stored bytes, leaving the bytes after them as they are.
void rightsToBytes(const Rights& rights, unsigned char* bytes);

}  // namespace vrx::operators
