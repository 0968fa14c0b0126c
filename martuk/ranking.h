// Filtering and ordering of the hits.
#pragma once

#include <span>
#include <vector>

#include "state.h"

namespace martuk {

// Indices, in file order, of the hits with at least min_matches matches and
// an RMSD of at most max_rmsd.
std::vector<int> select_hits(std::span<const Hit> hits, int min_matches, float max_rmsd);

// The output order of the selected hits. Sort mode 0: more matches first,
// then the smaller RMSD; mode 1: the smaller RMSD first, then more matches;
// hits equal in both keys keep their file order. A hit that does not beat
// the starting best of the ordering (no matches above 0 and an RMSD of
// 9999.999 or more in mode 0, an RMSD above 9999.999 or equal to it with no
// matches above 0 in mode 1) comes after all others, in file order.
std::vector<int> order_hits(std::span<const Hit> hits, std::span<const int> selected, int imode);

}  // namespace martuk
