#pragma once
// The search of the table dialogs' lists ("H"): a text looked for in the lines below the selection.
#include <string>
#include <string_view>
#include <vector>

namespace vrx {

// Looks for `text` as a substring of the lines, letters compared without case, from the line after
// `selected` (-1: from the first line) downwards. At the end of the list it asks "Nenalezeno.
// Zahájit hledání od začátku seznamu ?" (caption "Dotaz"): OK goes on from the first line, Cancel
// stops. Returns the line found, or -1. An empty list only beeps. An empty text matches every line.
int searchList(const std::vector<std::string>& lines, int selected, std::string_view text);

}  // namespace vrx
