#include "operators/rights.h"

#include <cstring>

#include "text/cz.h"

namespace vrx::operators {
namespace {

// The kind of each right, in index order (commands 20101 to 20152).
constexpr unsigned char kKinds[kRightCount] = {
    1, 1, 2, 3, 1, 3, 3, 3, 2, 2,  // 20101 - 20110
    3, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 20111 - 20120
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 20121 - 20130
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 20131 - 20140
    2, 2, 2, 3, 2, 1, 1, 2, 2, 2,  // 20141 - 20150
    2, 2,                          // 20151 - 20152
};

Rights fill(bool highest) {
    Rights r{};
    for (int i = 0; i < kRightCount; ++i)
        r[static_cast<size_t>(i)] = highest ? highestRight(i) : lowestRight(i);
    return r;
}

}  // namespace

int rightKind(int index) {
    return index >= 0 && index < kRightCount ? kKinds[index] : 0;
}

const char* rightValueText(unsigned char value) {
    switch (value) {
        case kRightNone:
            return "Žádné"_cz;
        case kRightRead:
            return "Čtení"_cz;
        case kRightWrite:
            return "Zápis"_cz;
        case kRightAlways:
            return "     ";
        case kRightYes:
            return "Ano  ";
        case kRightNo:
            return "Ne   ";
        default:
            return "?????";
    }
}

unsigned char highestRight(int index) {
    switch (rightKind(index)) {
        case 2:
            return kRightYes;
        case 3:
            return kRightWrite;
        default:
            return kRightAlways;
    }
}

unsigned char lowestRight(int index) {
    switch (rightKind(index)) {
        case 2:
            return kRightNo;
        case 3:
            return kRightNone;
        default:
            return kRightAlways;
    }
}

unsigned char cycledRight(int index, unsigned char value) {
    switch (rightKind(index)) {
        case 2:
            return value == kRightYes ? kRightNo : kRightYes;
        case 3:
            if (value == kRightNone) return kRightRead;
            if (value == kRightRead) return kRightWrite;
            return kRightNone;
        default:
            return kRightAlways;
    }
}

Rights fullRights() {
    return fill(true);
}
Rights loggedOutRights() {
    return fill(false);
}
Rights defaultRights() {
    return fill(false);
}

Rights rightsFromBytes(const unsigned char* bytes) {
    Rights r{};
    std::memcpy(r.data(), bytes, r.size());
    return r;
}

void rightsToBytes(const Rights& rights, unsigned char* bytes) {
    std::memcpy(bytes, rights.data(), rights.size());
}

}  // namespace vrx::operators
