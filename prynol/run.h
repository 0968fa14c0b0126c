// The fixed run of prynol: four questions, read the PDB file, assign, write
// the SSE file. Every failure ends the program through ERRFAT.
#pragma once

#include "molecule.h"

namespace prynol {

void run(RunState& run);

}  // namespace prynol
