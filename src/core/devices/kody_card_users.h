#pragma once
// The card users of the codes table "KODY" of the shared tables.
#include <memory>

#include "devices/card_users.h"

namespace vrx {

std::unique_ptr<CardUserTable> makeKodyCardUsers();

}  // namespace vrx
