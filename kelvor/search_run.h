// A search's walk over the database and its summary with the ranked hit
// table.
#pragma once

#include <cstdint>
#include <vector>

#include "model.h"
#include "search.h"

namespace kelvor {

class SearchOutputs;

// The results of one entry that is a hit.
struct SearchHit {
  int entry = 0;       // 0-based entry index
  int matched = 0;     // matched SSEs of the best solution
  float rmsd = 0.0f;   // symbolic: gaps mismatch
  float score = 0.0f;
};

struct SearchResult {
  int matching = 0;             // matching entries
  long long total_solutions = 0;  // solutions kept, summed over the hits
  std::vector<SearchHit> hits;  // in entry order
  bool aborted = false;         // MAXHITS reached
};

// Every entry's solution list (position by position; 0 for a gap) and the
// number of solutions dropped over the store's limit, by entry index.
struct SolutionLists {
  std::vector<std::vector<std::vector<std::int16_t>>> solutions;
  std::vector<int> dropped;
};

// Walks the selected entries. outputs may be null (no files); collect, when
// given, receives every entry's solutions; lookahead off runs the plain
// solver.
SearchResult run_search(const SearchSetup& setup, const Query& query, const Database& db,
                        int max_hits, SearchOutputs* outputs, SolutionLists* collect = nullptr,
                        bool lookahead = true);

// The ranking of the hit table: most matched SSEs, then lower RMSD
// (symbolic: gaps mismatch), then lower score; ties keep entry order.
std::vector<SearchHit> rank_hits(std::vector<SearchHit> hits);

// The summary lines and the hit table.
void print_summary(const Database& db, const SearchResult& res, bool symbolic);

}  // namespace kelvor
