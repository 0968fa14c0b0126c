// Writing the new macro: the old macro's preamble, then the block of every
// hit in the order, copied line by line from the old macro.
#pragma once

#include "state.h"

namespace martuk {

// Asks for the new macro's name, opens it (never over the old macro),
// writes it and closes both macros. Every failure is fatal; a new macro that
// could not be written whole is removed.
void write_new_macro(MartukState& st);
// The writing itself, once the new macro is open on its unit under the
// name st.new_name.
void write_hits(MartukState& st);

// True when the name is the file open on fd (the same file under any name).
bool is_same_file(const std::string& name, int fd);

}  // namespace martuk
