// martuk's filter and ordering: the order must be the one the repeated
// selection (one pass over all hits per placed hit, the first best kept)
// gives, with the hits it never places appended in file order.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "capacities.h"
#include "ranking.h"

namespace {

using martuk::Hit;

Hit hit(int matches, float rmsd) {
  Hit h;
  h.id = "xxxx  ";
  h.matches = matches;
  h.rmsd = rmsd;
  return h;
}

// The repeated selection, pass by pass, and the hits left unplaced after it.
std::vector<int> reference_order(const std::vector<Hit>& hits, std::vector<int> selected, int imode) {
  std::vector<bool> sel(hits.size(), false);
  for (int i : selected) sel[static_cast<std::size_t>(i)] = true;
  std::vector<int> order;
  for (;;) {
    int best = -1;
    int bc = 0;
    float br = martuk::kWorstRmsd;
    for (std::size_t i = 0; i < hits.size(); ++i) {
      if (!sel[i]) continue;
      const Hit& h = hits[i];
      const bool replaces = imode == 0 ? (h.matches > bc || (h.matches == bc && h.rmsd < br))
                                       : (h.rmsd < br || (h.rmsd == br && h.matches > bc));
      if (replaces) {
        best = static_cast<int>(i);
        bc = h.matches;
        br = h.rmsd;
      }
    }
    if (best < 0) break;
    order.push_back(best);
    sel[static_cast<std::size_t>(best)] = false;
  }
  for (int i : selected) {
    if (sel[static_cast<std::size_t>(i)]) order.push_back(i);
  }
  return order;
}

struct OrderCase {
  std::vector<Hit> hits;
  int imode;
  std::vector<int> want;
};

TEST(MartukRanking, OrdersByEitherKeyWithTiesInFileOrder) {
  const std::vector<Hit> ties = {hit(10, 1.5f), hit(12, 1.5f), hit(10, 1.5f),
                                 hit(12, 1.0f), hit(10, 1.0f), hit(12, 1.5f)};
  const std::vector<OrderCase> cases = {
      {ties, 0, {3, 1, 5, 4, 0, 2}},
      {ties, 1, {3, 4, 1, 5, 0, 2}},
      // Never placed: mode 0 a count of 0 (or less) at 9999.999 or more;
      // mode 1 an RMSD above 9999.999, or equal to it with no count above 0.
      {{hit(0, 9999.999f), hit(5, 1.0f), hit(-2, 1.0f), hit(0, 5.0f)}, 0, {1, 3, 0, 2}},
      {{hit(5, 10000.0f), hit(5, 9999.999f), hit(0, 9999.999f), hit(1, 2.0f)}, 1, {3, 1, 0, 2}},
      {{hit(5, 10000.0f), hit(5, 9999.999f), hit(0, 9999.999f), hit(1, 2.0f)}, 0, {1, 0, 3, 2}},
      {{}, 0, {}},
  };
  for (const OrderCase& c : cases) {
    std::vector<int> all;
    for (std::size_t i = 0; i < c.hits.size(); ++i) all.push_back(static_cast<int>(i));
    EXPECT_EQ(martuk::order_hits(c.hits, all, c.imode), c.want);
    EXPECT_EQ(reference_order(c.hits, all, c.imode), c.want);
  }
}

TEST(MartukRanking, MatchesTheRepeatedSelectionOnRandomHits) {
  std::mt19937 rng(2718);
  // Few distinct values, so that ties in one or both keys are common.
  const float rmsds[] = {0.5f, 1.0f, 1.5f, 2.0f, 999.99f, 9999.999f, 12000.0f, -1.0f};
  for (int round = 0; round < 300; ++round) {
    std::vector<Hit> hits(rng() % 40);
    for (Hit& h : hits) h = hit(static_cast<int>(rng() % 6) - 1, rmsds[rng() % 8]);
    const int min_matches = static_cast<int>(rng() % 4) - 1;
    const float max_rmsd = rmsds[rng() % 8];
    const std::vector<int> selected = martuk::select_hits(hits, min_matches, max_rmsd);
    for (int imode : {0, 1}) {
      const std::vector<int> got = martuk::order_hits(hits, selected, imode);
      ASSERT_EQ(got, reference_order(hits, selected, imode)) << "round " << round;
      ASSERT_EQ(got.size(), selected.size());
    }
  }
}

TEST(MartukRanking, FilterBoundsAreInclusive) {
  const std::vector<Hit> hits = {hit(1, 2.0f), hit(0, 2.0f), hit(1, 2.0000002f), hit(3, 0.5f)};
  EXPECT_EQ(martuk::select_hits(hits, 1, 2.0f), (std::vector<int>{0, 3}));
  EXPECT_EQ(martuk::select_hits(hits, 0, 999.99f), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(martuk::select_hits(hits, 4, 999.99f), (std::vector<int>{}));
}

}  // namespace
