// ST: statistics of the database, computed on the first use and kept.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>

#include "commands.h"
#include "core/dialogue.h"
#include "output.h"

namespace kelvor {

namespace {

// A residue total held in an int: a sum past its range (a database may give
// an element any residue count an integer holds) is shown as the largest
// value, or the smallest for negative counts, instead of wrapping round.
int clamp_total(std::int64_t n) {
  return static_cast<int>(std::clamp<std::int64_t>(n, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max()));
}

}  // namespace

void compute_stats(const Database& db, DatabaseStats& s) {
  s = DatabaseStats{};
  s.nentries = db.nentries;
  // Residue sums in 64 bits: 650000 counts of up to 2**31 each fit.
  std::int64_t total_residues = 0;
  std::array<std::int64_t, kMaxTypes> type_residues{};
  for (int i = 0; i < db.nentries; ++i) {
    const Entry& e = db.entries[i];
    s.total_elements += e.count;
    if (e.count < s.min_elements) s.min_elements = e.count;
    if (e.count > s.max_elements) s.max_elements = e.count;
    for (int t = 0; t < kMaxTypes; ++t) {
      DatabaseStats::PerType& pt = s.types[t];
      const int n = e.type_count[t];
      pt.total += n;
      if (n < pt.min_per_entry) pt.min_per_entry = n;
      if (n > pt.max_per_entry) pt.max_per_entry = n;
    }
    for (int k = 0; k < e.count; ++k) {
      const Element& el = db.element(e, k);
      total_residues += el.nres;
      if (el.nres < s.min_residues) s.min_residues = el.nres;
      if (el.nres > s.max_residues) s.max_residues = el.nres;
      DatabaseStats::PerType& pt = s.types[el.type - 1];
      type_residues[el.type - 1] += el.nres;
      if (el.nres >= 1 && el.nres <= kHistogramLengths) ++pt.histogram[el.nres - 1];
      else if (el.nres > kHistogramLengths) ++pt.histogram[kHistogramLengths];
    }
  }
  s.total_residues = clamp_total(total_residues);
  for (int t = 0; t < kMaxTypes; ++t) s.types[t].residues = clamp_total(type_residues[t]);
  if (s.nentries > 0) {
    s.avg_elements = static_cast<float>(s.total_elements) / static_cast<float>(s.nentries);
    for (auto& pt : s.types) pt.avg_per_entry = static_cast<float>(pt.total) / static_cast<float>(s.nentries);
  }
  if (s.total_elements > 0) {
    s.avg_residues = static_cast<float>(total_residues) / static_cast<float>(s.total_elements);
  }
  s.computed = true;
}

namespace {

float percentage(int count, int total) {
  return total > 0 ? 100.0f * static_cast<float>(count) / static_cast<float>(total) : 0.0f;
}

}  // namespace

void cmd_stats(KelvorState& st) {
  DatabaseStats& s = st.stats;
  if (!s.computed) {
    out_line(" Counting ...");
    compute_stats(st.db, s);
  }
  zv::jvaluo(" Nr of entries in the database :", s.nentries);
  out_empty();
  zv::jvaluo(" Nr of sec structure elements  :", s.total_elements);
  zv::jvaluo(" Minimum                       :", s.min_elements);
  zv::jvaluo(" Maximum                       :", s.max_elements);
  zv::fvaluo(" Average per entry                :", s.avg_elements);
  out_empty();
  zv::jvaluo(" Nr of residues in sec str el  :", s.total_residues);
  zv::jvaluo(" Minimum                       :", s.min_residues);
  zv::jvaluo(" Maximum                       :", s.max_residues);
  zv::fvaluo(" Average per element              :", s.avg_residues);

  for (int t = 0; t < kMaxTypes; ++t) {
    const DatabaseStats::PerType& pt = s.types[t];
    const std::string_view key = type_keyword(t + 1);
    out_empty();
    zv::textuo(" Statistics for SSE type :", key);
    zv::jvaluo(" Total nr of SSEs        :", pt.total);
    zv::jvaluo(" Min nr per entry        :", pt.min_per_entry);
    zv::jvaluo(" Max nr per entry        :", pt.max_per_entry);
    zv::fvaluo(" Average nr per entry       :", pt.avg_per_entry);
    zv::jvaluo(" Total residues in them  :", pt.residues);
    out_empty();
    zv::textuo(" Histogram for SSE type  :", key);
    for (int n = 1; n <= kHistogramLengths; ++n) {
      const int count = pt.histogram[n - 1];
      if (count == 0) continue;
      out_fmt("(a,i3,a,i8,a,f6.2,a)",
              {" Nr of length ", n, " = ", count, " = ", percentage(count, pt.total), " %"});
    }
    const int count = pt.histogram[kHistogramLengths];
    out_fmt("(a,i3,a,i8,a,f6.2,a)", {" Nr of length ", kHistogramLengths + 1, " or more = ", count,
                                    " = ", percentage(count, pt.total), " %"});
  }
}

}  // namespace kelvor
