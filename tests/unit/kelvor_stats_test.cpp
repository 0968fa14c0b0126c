// kelvor's ST figures over small databases: residue totals (also where the
// counts of a malformed database would overflow an integer) and the length
// histogram's edges.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "commands.h"
#include "model.h"

namespace {

// One entry per inner list; each number is an element's residue count, the
// type alternating helix, strand.
std::unique_ptr<kelvor::Database> make_db(const std::vector<std::vector<int>>& entries) {
  auto db = std::make_unique<kelvor::Database>();
  for (const auto& counts : entries) {
    kelvor::Entry& e = db->entries[db->nentries++];
    e.first = db->total_elements();
    e.count = 0;
    for (int nres : counts) {
      kelvor::Element& el = db->elements.emplace_back();
      el.type = static_cast<std::uint8_t>(1 + e.count % 2);
      el.nres = nres;
      ++e.type_count[el.type - 1];
      ++e.count;
    }
  }
  return db;
}

TEST(KelvorStats, ResidueTotals) {
  struct Case {
    const char* what;
    std::vector<std::vector<int>> entries;
    int total, helix, strand, min, max;  // the minimum starts at 999
    float avg;
  } cases[] = {
      {"plain", {{8, 3, 12}, {5}}, 28, 25, 3, 3, 12, 7.0f},
      {"sum past the integer range shows the largest value",
       {{INT_MAX, INT_MAX}, {INT_MAX}}, INT_MAX, INT_MAX, INT_MAX, 999, INT_MAX,
       static_cast<float>(INT_MAX)},
      {"negative sum past the range shows the smallest value",
       {{INT_MIN, INT_MIN, 4}}, INT_MIN, INT_MIN + 4, INT_MIN, INT_MIN, 4,
       static_cast<float>(2.0 * INT_MIN + 4) / 3.0f},
      {"large counts that cancel", {{INT_MAX, INT_MIN + 1, 7}}, 7, INT_MAX, INT_MIN + 1,
       INT_MIN + 1, INT_MAX, 7.0f / 3.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto db = make_db(c.entries);
    kelvor::DatabaseStats s;
    kelvor::compute_stats(*db, s);
    EXPECT_EQ(s.total_residues, c.total);
    EXPECT_EQ(s.types[0].residues, c.helix);
    EXPECT_EQ(s.types[1].residues, c.strand);
    EXPECT_EQ(s.min_residues, c.min);
    EXPECT_EQ(s.max_residues, c.max);
    EXPECT_FLOAT_EQ(s.avg_residues, c.avg);
  }
}

TEST(KelvorStats, HistogramEdges) {
  // Helices only: each entry holds one element.
  auto db = make_db({{0}, {-5}, {1}, {24}, {25}, {INT_MAX}, {1}});
  kelvor::DatabaseStats s;
  kelvor::compute_stats(*db, s);
  const auto& h = s.types[0].histogram;
  EXPECT_EQ(h[0], 2);                          // length 1
  EXPECT_EQ(h[23], 1);                         // length 24
  EXPECT_EQ(h[kelvor::kHistogramLengths], 2);  // 25 or more
  int counted = 0;
  for (int n : h) counted += n;
  EXPECT_EQ(counted, 5);  // lengths 0 and -5 are in no bar
  EXPECT_EQ(s.types[0].total, 7);
}

}  // namespace
