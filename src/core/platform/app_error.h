#pragma once
// A failure that stops a command or a construction. It carries the number of a message of the
// program's string table; the start-up code and the main window's dispatcher catch it and show the
// string of that number (caption "Chyba", warning icon).

namespace vrx {

struct AppError {
    int message = 0;
};

}  // namespace vrx
