#pragma once
// The PC 6010 panel: continued lines joined whole, card users' names after "IVATEL ", and the
// event text rearranged so that it starts with the time.
#include "devices/card_users.h"
#include "devices/continuation.h"
#include "devices/device.h"

namespace vrx {

class PC_6010 : public DEVICE {
  public:
    // Throws AppError{kErrorCardUserTable} when the card-user table cannot be opened.
    PC_6010(long date, long reserved, std::unique_ptr<LINE_READER> reader,
            std::unique_ptr<CardUserTable> cardUsers);
    bool decode(char* line, int length) override;
    bool continuationPending() const { return continuation_.pending(); }

  private:
    void insertCardUser(std::string& line);

    std::unique_ptr<CardUserTable> cardUsers_;
    devices::Continuation continuation_{0};
};

}  // namespace vrx
