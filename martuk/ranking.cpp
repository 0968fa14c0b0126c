#include "ranking.h"

#include <algorithm>

#include "capacities.h"

namespace martuk {
namespace {

// True when a replaces b as the best hit of a pass (both keys in single
// precision): the repeated selection therefore places the hits in the
// order of this relation, the earlier hit first among equals.
bool better(const Hit& a, int count, float rmsd, int imode) {
  if (imode == 0) return a.matches > count || (a.matches == count && a.rmsd < rmsd);
  return a.rmsd < rmsd || (a.rmsd == rmsd && a.matches > count);
}

}  // namespace

std::vector<int> select_hits(std::span<const Hit> hits, int min_matches, float max_rmsd) {
  std::vector<int> selected;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (hits[i].matches >= min_matches && hits[i].rmsd <= max_rmsd)
      selected.push_back(static_cast<int>(i));
  }
  return selected;
}

std::vector<int> order_hits(std::span<const Hit> hits, std::span<const int> selected, int imode) {
  std::vector<int> placed;
  std::vector<int> unplaced;
  for (int i : selected) {
    // A hit is placed by some pass exactly when it beats the starting best.
    if (better(hits[i], 0, kWorstRmsd, imode))
      placed.push_back(i);
    else
      unplaced.push_back(i);
  }
  std::stable_sort(placed.begin(), placed.end(), [&](int a, int b) {
    return better(hits[a], hits[b].matches, hits[b].rmsd, imode);
  });
  placed.insert(placed.end(), unplaced.begin(), unplaced.end());
  return placed;
}

}  // namespace martuk
