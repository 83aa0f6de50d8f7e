#pragma once
// The Galaxy family: GALAXY follows the panel's date lines and writes card users' names after user
// numbers; ATIS follows the date lines of a differently worded print-out and inserts no names.
#include "devices/card_users.h"
#include "devices/device.h"

namespace vrx {

class GALAXY : public DEVICE {
  public:
    // Throws AppError{kErrorCardUserTable} when the card-user table cannot be opened.
    GALAXY(long date, long reserved, std::unique_ptr<LINE_READER> reader,
           std::unique_ptr<CardUserTable> cardUsers);
    bool decode(char* line, int length) override;

  private:
    // False when the line carries no user number marker " UZ. ".
    bool insertCardUser(std::string& line);

    std::unique_ptr<CardUserTable> cardUsers_;
};

class ATIS : public DEVICE {
  public:
    ATIS(long date, long reserved, std::unique_ptr<LINE_READER> reader);
    bool decode(char* line, int length) override;
};

}  // namespace vrx
