// Writing the SSE file: the seven header lines, one line per element of at
// least three residues, and ENDMOL.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "molecule.h"

namespace prynol {

struct SseCounts {
  int helices = 0;
  int strands = 0;
};

// One element line: keyword, quoted name and first and last residue labels,
// length, head and tail CA coordinates, with the blanks after the keyword
// collapsed, e.g. ALPHA 'A1' 'A5' 'A16' 12 3.63 15.08 31.41 -1.01 14.80 27.22
std::string element_line(int kind, std::string_view name, std::string_view from,
                         std::string_view to, int length, const float* head, const float* tail);

// Writes the whole file to unit; counts receives the numbers of helices and
// strands written. Returns 0 or the first write error number.
int write_sse(int unit, const RunState& run, SseCounts& counts);

}  // namespace prynol
