// Per-entry preparation and the two depth-first solvers of the searches.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/messages.h"
#include "search.h"

namespace kelvor {

SearchWork::SearchWork(const SearchSetup& setup, const Query& query)
    : setup_(setup), query_(query), n_(setup.n()) {
  cand_.resize(static_cast<std::size_t>(n_));
  for (auto& c : cand_) c.reserve(kMaxElementsPerEntry);
  forced_gaps_.assign(static_cast<std::size_t>(n_) + 1, 0);
  const std::size_t nn = static_cast<std::size_t>(n_);
  layers_.assign((nn + 1) * nn * kWords, 0);
  fits_index_.assign(nn * kMaxElementsPerEntry, -1);
  after_.assign(static_cast<std::size_t>(kMaxElementsPerEntry) * kWords, 0);
  for (int e = 0; e < kMaxElementsPerEntry; ++e) {
    for (int c = e + 1; c < kMaxElementsPerEntry; ++c) after_[e * kWords + c / 64] |= 1ULL << (c % 64);
  }
  qdist_.assign(nn * nn, 0.0f);
  qcos_.assign(nn * nn, 0.0f);
  for (int a = 0; a < n_; ++a) {
    for (int b = 0; b < n_; ++b) {
      qdist_[a * n_ + b] = query.distance(setup.mode, setup.qlist[a], setup.qlist[b]);
      qcos_[a * n_ + b] = query.cos(setup.qlist[a], setup.qlist[b]);
    }
  }
  slot_.assign(kMaxElementsPerEntry, -1);
  used_elements_.reserve(kMaxElementsPerEntry);
  used_.assign(kMaxElementsPerEntry, 0);
  assign_.assign(static_cast<std::size_t>(n_), 0);
  store_.assign(static_cast<std::size_t>(n_) * kMaxSolutions, 0);
  matched_.assign(kMaxSolutions, 0);
}

int SearchWork::effective_count(const Database& db, const Entry& entry) const {
  if (!setup_.avoid_multichain || entry.count == 0) return entry.count;
  // A letter first in the first element's from-label is a chain identifier:
  // only the leading run of elements of that chain takes part.
  const std::string_view first = db.element(entry, 0).from.view();
  if (first.empty() || !std::isalpha(static_cast<unsigned char>(first[0]))) return entry.count;
  int k = 1;
  while (k < entry.count) {
    const std::string_view from = db.element(entry, k).from.view();
    if (from.empty() || from[0] != first[0]) break;
    ++k;
  }
  return k;
}

bool SearchWork::make_candidates(const Database& db, const Entry& entry, int count) {
  const bool find = setup_.kind == SearchKind::Find;
  nelem_ = count;
  words_ = std::max(1, (count + 63) / 64);
  failed_position_ = -1;
  for (int p = 0; p < n_; ++p) {
    const Element& q = query_.elements[setup_.qlist[p]];
    std::vector<int>& c = cand_[p];
    c.clear();
    for (int e = 0; e < count; ++e) {
      const Element& d = db.element(entry, e);
      if (d.type != q.type) continue;
      if (!find && d.nres < setup_.min_residues) continue;
      if (q.nres - d.nres > setup_.too_short) continue;
      if (d.nres - q.nres > setup_.too_long) continue;
      // A difference exactly at the tolerance passes.
      if (!setup_.symbolic && std::fabs(q.length - d.length) > setup_.mis_length) continue;
      c.push_back(e);
    }
    if (find && c.empty() && failed_position_ < 0) failed_position_ = p;
  }
  forced_gaps_[static_cast<std::size_t>(n_)] = 0;
  for (int p = n_ - 1; p >= 0; --p) {
    forced_gaps_[p] = forced_gaps_[p + 1] + (cand_[p].empty() ? 1 : 0);
  }
  return failed_position_ < 0;
}

void SearchWork::make_pair_values(const Database& db, const Entry& entry) {
  entry_ = &entry;
  db_ = &db;
  for (int e : used_elements_) slot_[e] = -1;
  used_elements_.clear();
  for (const auto& c : cand_) {
    for (int e : c) {
      if (slot_[e] < 0) {
        slot_[e] = 0;
        used_elements_.push_back(e);
      }
    }
  }
  std::sort(used_elements_.begin(), used_elements_.end());
  m_ = static_cast<int>(used_elements_.size());
  for (int k = 0; k < m_; ++k) slot_[used_elements_[k]] = k;
  const std::size_t mm = static_cast<std::size_t>(m_) * m_;
  if (edist_.size() < mm) {
    edist_.resize(mm);
    ecos_.resize(mm);
  }
  if (setup_.symbolic) return;  // no geometry is compared
  for (int a = 0; a < m_; ++a) {
    const Element& ea = db.element(entry, used_elements_[a]);
    edist_[a * m_ + a] = 0.0f;
    ecos_[a * m_ + a] = 1.0f;
    for (int b = a + 1; b < m_; ++b) {
      const Element& eb = db.element(entry, used_elements_[b]);
      const float d = pair_distance(ea, eb, setup_.mode);
      const float c = pair_cosine(ea, eb);
      edist_[a * m_ + b] = edist_[b * m_ + a] = d;
      ecos_[a * m_ + b] = ecos_[b * m_ + a] = c;
    }
  }
}

void SearchWork::solve() {
  nsol_ = 0;
  dropped_ = 0;
  stop_ = false;
  steps_ = 0;
  best_gaps_ = n_;
  std::fill(used_.begin(), used_.begin() + std::max(nelem_, 0), 0);
  if (n_ == 0) return;
  if (setup_.kind == SearchKind::Find) {
    (void)dfs_find(0);
  } else if (lookahead_) {
    for (int key : fits_set_) fits_index_[key] = -1;
    fits_set_.clear();
    std::fill(layers_.begin(), layers_.begin() + static_cast<std::ptrdiff_t>(n_) * kWords, 0);
    for (int p = 0; p < n_; ++p) {
      for (int e : cand_[p]) layers_[p * kWords + e / 64] |= 1ULL << (e % 64);
    }
    dfs_ahead(0, 0, -1, 0, forced_gaps_[0]);
  } else {
    dfs_gaps(0, 0, -1);
  }
}

// Whether entry element e may take position p, given the last matched
// position `last` (-1 when none): order, neighbours, distances and cosines.
bool SearchWork::pair_fits(int j, int ej, int p, int e) const {
  // Differences exactly at the tolerance pass.
  if (std::fabs(qdist_[j * n_ + p] - entry_distance(ej, e)) > setup_.mis_distance) return false;
  const float cq = qcos_[j * n_ + p];
  const float cd = entry_cosine(ej, e);
  const float dc = setup_.directionality ? std::fabs(cq - cd) : std::fabs(std::fabs(cq) - std::fabs(cd));
  return dc <= setup_.mis_cosine;
}

bool SearchWork::accept(int p, int e, int last) const {
  if (used_[e]) return false;
  if (setup_.directionality && last >= 0 && e <= assign_[last] - 1) return false;
  if (setup_.neighbours && p > 0 && assign_[p - 1] != 0 &&
      setup_.qlist[p] == setup_.qlist[p - 1] + 1 && e != assign_[p - 1]) {
    return false;
  }
  if (setup_.symbolic) return true;
  const int first = setup_.absolute ? 0 : last;
  if (last < 0) return true;
  for (int j = first; j <= last; ++j) {
    if (assign_[j] != 0 && !pair_fits(j, assign_[j] - 1, p, e)) return false;
  }
  return true;
}

void SearchWork::keep_gapped(int g) {
  const int m = n_ - g;
  if (m < setup_.min_match) return;
  if (g < best_gaps_) {
    // Fewer gaps than every solution kept so far: those are worse.
    nsol_ = 0;
    best_gaps_ = g;
  }
  if (nsol_ >= kMaxSolutions) {
    zv::ERRMSG("Too many solutions; rest skipped");
    if (++dropped_ >= kMaxDropped) {
      zv::ERRMSG("Too many solutions; search of this entry stopped");
      stop_ = true;
    }
    return;
  }
  std::copy(assign_.begin(), assign_.end(), store_.begin() + static_cast<std::ptrdiff_t>(nsol_) * n_);
  matched_[nsol_] = m;
  ++nsol_;
}

// IN: positions p..n-1 still open, g gaps so far, `last` the last matched
// position. The look-ahead adds the positions ahead that have no candidate
// at all: each of them can only be a gap, so a branch that would exceed the
// bounds with them is cut here instead of at its leaves (the same
// solutions, found in the same order).
bool SearchWork::count_step(long long work) {
  if (stop_) return false;
  steps_ += work;
  if (steps_ > kMaxSearchSteps) {
    zv::ERRMSG("Too many partial solutions; search of this entry stopped");
    stop_ = true;
    return false;
  }
  return true;
}

void SearchWork::dfs_gaps(int p, int g, int last) {
  if (!count_step()) return;
  const int ahead = lookahead_ ? forced_gaps_[p] : 0;
  if (n_ - (g + ahead) < setup_.min_match || g + ahead > best_gaps_) return;
  if (p == n_) {
    keep_gapped(g);
    return;
  }
  for (int e : cand_[p]) {
    if (!accept(p, e, last)) continue;
    assign_[p] = static_cast<std::int16_t>(e + 1);
    used_[e] = 1;
    dfs_gaps(p + 1, g, p);
    used_[e] = 0;
  }
  assign_[p] = 0;
  dfs_gaps(p + 1, g + 1, last);
}

// IN with look-ahead: the same search as dfs_gaps, solution for solution in
// the same order. Each choice at p removes from the candidates of the later
// positions what it rules out for good: the element itself, with
// directionality every element not after it, and with absolute motif every
// element whose pair with it does not fit. These conditions only get
// stricter further down, so a later position left without candidates can
// only be a gap in every completion; with empty_ahead such positions among
// p..n-1, a branch is cut as soon as its leaves could not pass the gap
// bounds. The conditions that do not only get stricter (neighbours, and the
// pair with the last matched position without absolute motif) are checked
// when a candidate is tried, as in dfs_gaps.
void SearchWork::dfs_ahead(int p, int g, int last, int depth, int empty_ahead) {
  if (!count_step()) return;
  const int least_gaps = g + empty_ahead;
  if (n_ - least_gaps < setup_.min_match || least_gaps > best_gaps_) return;
  if (p == n_) {
    keep_gapped(g);
    return;
  }
  const std::size_t layer = static_cast<std::size_t>(n_) * kWords;
  const std::uint64_t* cur = &layers_[depth * layer];
  std::uint64_t* next = &layers_[(depth + 1) * layer];
  bool none = true;
  const int words = words_;
  for (int w = 0; w < words; ++w) {
    std::uint64_t bits = cur[p * kWords + w];
    if (bits != 0) none = false;
    while (bits != 0) {
      const int e = w * 64 + __builtin_ctzll(bits);
      bits &= bits - 1;
      if (setup_.neighbours && p > 0 && assign_[p - 1] != 0 &&
          setup_.qlist[p] == setup_.qlist[p - 1] + 1 && e != assign_[p - 1]) {
        continue;
      }
      if (!setup_.absolute && !setup_.symbolic && last >= 0 &&
          !pair_fits(last, assign_[last] - 1, p, e)) {
        continue;
      }
      // The later positions keep the candidates this choice leaves them.
      if (!count_step(static_cast<long long>(n_ - p) * words)) return;
      const std::uint64_t* fits = fits_mask(p, e);
      const std::uint64_t* after = &after_[e * kWords];
      int empty = 0;
      for (int q = p + 1; q < n_; ++q) {
        std::uint64_t any = 0;
        for (int v = 0; v < words; ++v) {
          std::uint64_t m = cur[q * kWords + v] & fits[q * kWords + v];
          if (setup_.directionality) m &= after[v];
          if (v == e / 64) m &= ~(1ULL << (e % 64));
          next[q * kWords + v] = m;
          any |= m;
        }
        if (any == 0) ++empty;
      }
      assign_[p] = static_cast<std::int16_t>(e + 1);
      dfs_ahead(p + 1, g, p, depth + 1, empty);
    }
  }
  assign_[p] = 0;
  // The gap branch keeps this layer: copy nothing, the positions after p
  // are read from it unchanged.
  dfs_ahead(p + 1, g + 1, last, depth, empty_ahead - (none ? 1 : 0));
}

// The candidates of every position q whose pair with element e at position
// p fits (all candidates when pairs are not filtered), as bit sets.
const std::uint64_t* SearchWork::fits_mask(int p, int e) {
  const int key = p * kMaxElementsPerEntry + e;
  if (fits_index_[key] >= 0) return &fits_[static_cast<std::size_t>(fits_index_[key])];
  const std::size_t size = static_cast<std::size_t>(n_) * kWords;
  std::size_t block = fits_set_.size() * size;
  // Past the cache's size a mask is built in a scratch block each time.
  const bool keep = block + 2 * size <= kMaxFitsWords;
  if (!keep) block = 0;
  if (fits_.size() < block + 2 * size) fits_.resize(block + 2 * size);
  if (!keep) block = fits_.size() - size;
  std::uint64_t* m = &fits_[block];
  std::fill(m, m + static_cast<std::ptrdiff_t>(n_) * kWords, 0);
  const bool filter_pairs = setup_.absolute && !setup_.symbolic;
  for (int q = p + 1; q < n_; ++q) {
    steps_ += static_cast<long long>(cand_[q].size());
    for (int c : cand_[q]) {
      if (!filter_pairs || pair_fits(p, e, q, c)) m[q * kWords + c / 64] |= 1ULL << (c % 64);
    }
  }
  if (keep) {
    fits_index_[key] = static_cast<int>(block);
    fits_set_.push_back(key);
  }
  return m;
}

// FI: every position matched; returns false once the store overflowed, which
// ends the search of the entry.
bool SearchWork::dfs_find(int p) {
  if (!count_step()) return false;
  if (p == n_) {
    if (nsol_ >= kMaxSolutions) {
      zv::ERRMSG("Too many solutions; rest skipped");
      ++dropped_;
      return false;
    }
    std::copy(assign_.begin(), assign_.end(), store_.begin() + static_cast<std::ptrdiff_t>(nsol_) * n_);
    matched_[nsol_] = n_;
    ++nsol_;
    return true;
  }
  for (int e : cand_[p]) {
    if (!accept(p, e, p - 1)) continue;
    assign_[p] = static_cast<std::int16_t>(e + 1);
    used_[e] = 1;
    const bool go_on = dfs_find(p + 1);
    used_[e] = 0;
    if (!go_on) return false;
  }
  return true;
}

}  // namespace kelvor
