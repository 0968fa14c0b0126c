// The searches IN and FI: the settings a search dialogue fixes, the
// per-entry preparation (effective element count, candidates, pair values),
// the depth-first solvers and the scoring of a solution.
//
// Memory: one SearchWork is made per search and reused for every entry; once
// its buffers have grown to the largest entry nothing is allocated per entry.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model.h"

namespace kelvor {

// Most solutions kept per entry.
inline constexpr int kMaxSolutions = 1000;
// Assignments dropped over the store's limit after which the search of an
// entry stops: degenerate entries (hundreds of coincident elements) have
// more equivalent assignments than could ever be enumerated.
inline constexpr int kMaxDropped = 1000000;
// Work of the depth-first search in one entry (nodes, candidate filters and
// pair tests) after which its search stops, for the same reason: a few
// seconds at most.
inline constexpr long long kMaxSearchSteps = 300000000LL;
// Words of fit masks kept per entry (64 MB); past it masks are recomputed.
inline constexpr std::size_t kMaxFitsWords = std::size_t{8} << 20;
// Best score before the first solution of an entry is scored.
inline constexpr float kInitialBestScore = 1.0E11f;
// Per-entry RMSD (or gaps mismatch) before a solution is kept.
inline constexpr float kInitialRmsd = 999.999f;
// RMSD of a solution whose centroid superposition failed.
inline constexpr float kFailedRmsd = 999.99f;
// Loop-length difference of a pair of labels that gives no residue numbers.
inline constexpr int kBadGapMismatch = 999;
// Normalised weights at or below this leave their score term out.
inline constexpr float kMinTermWeight = 0.01f;

enum class SearchKind { Incremental, Find };

// Everything one search runs with, fixed by its dialogue.
struct SearchSetup {
  SearchKind kind = SearchKind::Incremental;
  std::vector<int> qlist;            // query element indices (0-based), in search order
  int min_residues = 3;              // IN: database elements below this are no candidates
  int min_match = 3;                 // IN: fewest matched positions
  int too_short = 2;
  int too_long = 4;
  float mis_length = 10.0f;
  float mis_distance = 8.0f;
  float mis_cosine = 0.4f;
  std::array<float, 5> weights{};    // normalised: residues, length, distance, cosine, RMSD
  bool directionality = true;
  bool absolute = true;
  bool neighbours = false;
  bool skeldo = false;
  bool symbolic = false;
  bool explicit_lsq = false;
  DistanceMode mode = DistanceMode::C;
  bool extensive = false;
  bool avoid_multichain = true;
  bool avoid_identical = false;
  bool vobril_save = false;
  std::vector<std::string> find_names;  // FI: the names typed (for the file preambles)

  int n() const { return static_cast<int>(qlist.size()); }
};

// The figures of one scored solution.
struct SolutionScore {
  int matched = 0;
  int mismatched_residues = 0;
  int gaps_mismatch = 0;
  float score = 0.0f;
  float rmsd = kFailedRmsd;   // symbolic: the gaps mismatch
};

// The per-entry working data and the solution store.
class SearchWork {
 public:
  SearchWork(const SearchSetup& setup, const Query& query);

  // Effective element count of an entry (multi-chain rule applied when on).
  int effective_count(const Database& db, const Entry& entry) const;

  // Fills the candidate lists for the entry's first `count` elements.
  // Returns false (and sets failed_position for FI) when, for FI, some
  // position has no candidate at all.
  bool make_candidates(const Database& db, const Entry& entry, int count);
  int failed_position() const { return failed_position_; }
  int ncandidates(int p) const { return static_cast<int>(cand_[p].size()); }
  int candidate(int p, int k) const { return cand_[p][k]; }

  // Pair values of the candidate elements for the current distance mode.
  void make_pair_values(const Database& db, const Entry& entry);

  // Runs the solver of the search kind; fills the store.
  void solve();
  // Off: the plain solver, without the look-ahead (equivalence test).
  void set_lookahead(bool on) { lookahead_ = on; }

  int nsolutions() const { return nsol_; }
  // Entry element numbers (1-based; 0 for a gap) of solution s at each position.
  const std::int16_t* solution(int s) const { return &store_[static_cast<std::size_t>(s) * n_]; }
  int solution_matched(int s) const { return matched_[s]; }
  int dropped() const { return dropped_; }
  bool stopped() const { return stop_; }

  // Entry pair values by entry element number (0-based).
  float entry_distance(int a, int b) const { return edist_[slot_[a] * m_ + slot_[b]]; }
  float entry_cosine(int a, int b) const { return ecos_[slot_[a] * m_ + slot_[b]]; }
  float query_distance(int p, int j) const { return query_.distance(setup_.mode, setup_.qlist[p], setup_.qlist[j]); }
  float query_cosine(int p, int j) const { return query_.cos(setup_.qlist[p], setup_.qlist[j]); }

  const SearchSetup& setup() const { return setup_; }

 private:
  void dfs_gaps(int p, int g, int last);
  void dfs_ahead(int p, int g, int last, int depth, int empty_ahead);
  const std::uint64_t* fits_mask(int p, int e);
  bool pair_fits(int j, int ej, int p, int e) const;
  bool dfs_find(int p);
  bool accept(int p, int e, int last) const;
  void keep_gapped(int g);

  const SearchSetup& setup_;
  const Query& query_;
  int n_ = 0;
  std::vector<std::vector<int>> cand_;
  std::vector<int> forced_gaps_;       // positions p..n-1 without any candidate
  // Look-ahead: the live candidates of every position as bit sets over the
  // entry's elements (kWords words each), one layer per matched depth; and,
  // per tried (position, element), the candidates of every position whose
  // pair with it fits, computed when first needed.
  static constexpr int kWords = (kMaxElementsPerEntry + 63) / 64;
  int words_ = kWords;                 // words in use for the current entry
  std::vector<std::uint64_t> layers_;
  std::vector<std::uint64_t> fits_;
  std::vector<int> fits_index_;        // (position, element) -> block in fits_, or -1
  std::vector<int> fits_set_;          // the (position, element) keys filled
  std::vector<std::uint64_t> after_;   // per element: the bits of the elements after it
  std::vector<float> qdist_, qcos_;    // the query's pair values by list position
  std::vector<int> slot_;              // entry element -> row of the pair tables
  std::vector<int> used_elements_;
  std::vector<float> edist_, ecos_;
  int m_ = 0;
  std::vector<char> used_;
  std::vector<std::int16_t> assign_;
  std::vector<std::int16_t> store_;
  std::vector<int> matched_;
  int nsol_ = 0;
  int best_gaps_ = 0;
  int dropped_ = 0;
  bool stop_ = false;
  long long steps_ = 0;
  bool count_step(long long work = 1);
  bool lookahead_ = true;
  int failed_position_ = -1;
  int nelem_ = 0;
  const Entry* entry_ = nullptr;
  const Database* db_ = nullptr;
};

// Residue number of a label: its digits only; false when there are none.
bool label_number(std::string_view label, long& number);

// Scores solution s of the work's store. With `report` (extensive output)
// the per-solution lines are written.
SolutionScore score_solution(const SearchWork& work, const Query& query, const Database& db,
                             const Entry& entry, int s, bool report);

// The centroid superposition of a solution's matched centres: the query's
// centres moved onto the entry's (rt maps the query onto the hit). Returns the number of centres; ok is false,
// rms kFailedRmsd and rt the identity when it fails.
int centroid_fit(const SearchWork& work, const Query& query, const Database& db,
                 const Entry& entry, int s, float& rms, std::array<float, 12>& rt, bool& ok);

}  // namespace kelvor
