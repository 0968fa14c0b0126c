// Forming elements: one pass along the chain turns runs of like-typed
// residues into helices and strands.
#pragma once

#include <span>
#include <vector>

#include "molecule.h"

namespace prynol {

// The single pass over the residue types. An element opens at a typed
// residue; from the residue after its start on, it closes at the last residue
// or where the next residue's type differs from its kind, and the scan goes on
// after it. The type of the residue after the start is never compared, so an
// element spans at least two residues; an element opened at the last residue
// never closes. Every closed element is appended to out, short ones included.
void form_elements(std::span<const int> type, std::vector<Element>& out);

}  // namespace prynol
