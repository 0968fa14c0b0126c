// The table of predefined colours shared by the PostScript and VRML writers.
#pragma once

namespace zv::plotout {

// Packed colour code of table entry 1..411 (entries outside are limited to
// that range).
int predefined_colour_code(int entry);

}  // namespace zv::plotout
