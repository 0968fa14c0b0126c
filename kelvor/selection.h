// Entry codes and the selection flags of the database.
#pragma once

#include <string_view>

#include "model.h"

namespace kelvor {

// True when the first L characters of the entry name equal the code (L the
// code's length without trailing blanks). A blank code matches nothing.
bool matches_prefix(std::string_view name, std::string_view code);

// Index of the first entry at or after `start` whose name matches the code
// as a prefix, or -1.
int find_entry_by_prefix(const Database& db, std::string_view code, int start = 0);

enum class SelectMode { All, None, On, Off };

// Updates the selection flags and the selected count and reports the change
// on the terminal. ON and OFF act on the first entry that matches the code;
// a code that matches no entry is reported as an error and changes nothing.
void select_entries(Database& db, SelectMode mode, std::string_view code = {});

}  // namespace kelvor
