#pragma once
// The program's string table: messages raised by number (AppError) and the texts of commands.

namespace vrx::app {

// The Windows-1250 text of a string-table entry; "" for an unknown number.
const char* stringTable(int number);

}  // namespace vrx::app
