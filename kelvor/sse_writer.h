// Writing database entries as SSE files (the EX command).
#pragma once

#include <string>
#include <string_view>

#include "model.h"

namespace kelvor {

// One element record: the type keyword in columns 1-6, then the quoted
// name, from and to labels, nres and the head and tail coordinates,
// separated by single blanks.
std::string element_record_line(const Element& e);

// Writes the entry, with its header lines, to the file open on unit 11.
void write_sse_file(const Database& db, const Entry& e, std::string_view file);

}  // namespace kelvor
