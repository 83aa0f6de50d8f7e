#pragma once
// The PC 4020 panels (V3.0 and V3.3): continued lines, card users' names after the user code, and
// the event text rearranged so that it starts with the time and date.
#include <cstddef>

#include "devices/card_users.h"
#include "devices/continuation.h"
#include "devices/device.h"

namespace vrx {

class PC4020 : public DEVICE {
  public:
    bool decode(char* line, int length) override;
    bool continuationPending() const { return continuation_.pending(); }

  protected:
    // Throws AppError{kErrorCardUserTable} when the card-user table cannot be opened. The card-user
    // code is read at `codeColumn`, the text kept behind the name from `keptColumn`.
    PC4020(long date, long reserved, std::unique_ptr<LINE_READER> reader,
           std::unique_ptr<CardUserTable> cardUsers, size_t codeColumn, size_t keptColumn);

  private:
    void insertCardUser(std::string& line);

    std::unique_ptr<CardUserTable> cardUsers_;
    devices::Continuation continuation_{14};
    size_t codeColumn_;
    size_t keptColumn_;
};

class PC4020V30 : public PC4020 {
  public:
    PC4020V30(long date, long reserved, std::unique_ptr<LINE_READER> reader,
              std::unique_ptr<CardUserTable> cardUsers);
};

class PC4020V33 : public PC4020 {
  public:
    PC4020V33(long date, long reserved, std::unique_ptr<LINE_READER> reader,
              std::unique_ptr<CardUserTable> cardUsers);
};

}  // namespace vrx
