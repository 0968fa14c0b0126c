// Fits, statistics and box plots: the report lines, the percentile
// positions, the bins of both box plots, their refusals and limits.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "boxplot.h"
#include "plot_stats.h"
#include "zev_test_util.h"
#include "zev_testing.h"

namespace zv {
namespace {

using zvtest::ZevTest;

using zevtest::lines;

class Fit : public ZevTest {};

TEST_F(Fit, LinearFitLines) {
  struct Case {
    std::vector<float> x, y;
    float slope, intercept;
    const char* line;
  };
  const Case cases[] = {
      {{1, 2, 3, 4}, {3, 5, 7, 9}, 2, 1, " Linear fit: slope 2.0000E+00 ... intercept 1.0000E+00"},
      {{0, 1, 2}, {1, -1, -3}, -2, 1, " Linear fit: slope -2.0000E+00 ... intercept 1.0000E+00"},
      // No slope when all X are equal: the horizontal line through the mean.
      {{5, 5, 5}, {1, 2, 6}, 0, 3, " Linear fit: slope 0.0000E+00 ... intercept 3.0000E+00"},
  };
  for (const Case& c : cases) {
    float slope = -99, intercept = -99;
    FITLIN(static_cast<int>(c.x.size()), c.x, c.y, slope, intercept);
    EXPECT_FLOAT_EQ(slope, c.slope);
    EXPECT_FLOAT_EQ(intercept, c.intercept);
    EXPECT_EQ(terminal(), std::string(c.line) + "\n");
  }
}

TEST_F(Fit, StatisticsLinesAndTheLegend) {
  const std::vector<float> x = {1, 2, 3}, y = {2, 4, 6};
  const auto p = eps("stats.eps", 0, 4, 0, 7);
  (void)terminal();
  STATXY(3, x, y);
  EXPECT_EQ(terminal(),
            " Stats X-values: ave, sdv, min, max, sum: 2.0000E+00 8.1650E-01 1.0000E+00 3.0000E+00 "
            "6.0000E+00\n"
            " Stats Y-values: ave, sdv, min, max, sum: 4.0000E+00 1.6330E+00 2.0000E+00 6.0000E+00 "
            "1.2000E+01\n"
            " Stats X versus Y: RMSD 2.1602E+00 ... CC 1.000\n");
  XPS_CLOSE();
  // Only the RMSD line goes into the legend.
  int legend = 0;
  for (const auto& l : zvtest::read_lines(p)) {
    if (l.find("Stats X versus Y: RMSD 2.1602E+00 ... CC 1.000") != std::string::npos) ++legend;
    EXPECT_EQ(l.find("Stats X-values"), std::string::npos);
  }
  EXPECT_EQ(legend, 1);
}

class Box : public ZevTest {};

// A bin of ten points takes positions 1, 3, 5, 8 and 9 of the sorted Y for
// the 10th, 25th, 50th, 75th and 90th percentiles.
TEST_F(Box, PercentilePositionsOfTenPoints) {
  std::vector<float> x, y;
  const float ys[] = {7, 3, 10, 1, 5, 9, 2, 8, 4, 6};
  for (int i = 0; i < 10; ++i) {
    x.push_back(static_cast<float>(i));
    y.push_back(ys[i]);
  }
  eps("ten.eps", 0, 10, 0, 11);
  BOXPLOT(0.0f, 0.0f, 10.0f, 10, x, y, BoxMarker{2, 0.1f, 0.1f});
  XPS_CLOSE();
  const auto out = lines(terminal());
  const std::vector<std::string> expect = {
      " Box plot of 10 points with bin size 1.0000E+01",
      "",
      "        X-min       X-max    Nr     Median     25th %     75th %     10th %     90th %",
      "   0.0000E+00  1.0000E+01    10  5.000E+00  3.000E+00  8.000E+00  1.000E+00  9.000E+00",
      "           X-Average    Average    St.dev.    Minimum    Maximum  Ave-2*Sdv  Ave+2*Sdv",
      "           4.500E+00  5.500E+00  2.872E+00  1.000E+00  1.000E+01 -2.446E-01  1.124E+01",
  };
  // After the open report of the page.
  ASSERT_GE(out.size(), expect.size());
  EXPECT_EQ(std::vector<std::string>(out.end() - static_cast<long>(expect.size()), out.end()),
            expect);
  // The figure: whiskers, box, median, mean cross, and the one point above
  // the 90th percentile as a cross marker (two strokes).
  const auto page = zvtest::read_lines(eps_.back());
  int moves = 0;
  for (const auto& l : page)
    if (l.rfind("S ", 0) == 0 && l.back() == 'M') ++moves;
  EXPECT_EQ(moves, 8 + 2);
}

TEST_F(Box, FixedBinsAdvanceAndHoldTheirPoints) {
  // Bins of width 2 from 0 while the start is at most 5: [0,2) [2,4) [4,6).
  // X = 6 lies past the last bin; bins of 1..9 points show markers only.
  const std::vector<float> x = {0, 1.999f, 2, 3, 5.5f, 6, -0.5f};
  const std::vector<float> y = {1, 2, 3, 4, 5, 6, 7};
  eps("fixed.eps", -1, 7, 0, 8);
  BOXPLOT(0.0f, 5.0f, 2.0f, 7, x, y, BoxMarker{1, 0.1f, 0.1f});
  XPS_CLOSE();
  std::vector<std::string> counts;
  for (const auto& l : lines(terminal()))
    if (l.size() == 31 && l.find("X-m") == std::string::npos) counts.push_back(l);
  EXPECT_EQ(counts, (std::vector<std::string>{"   0.0000E+00  2.0000E+00     2",
                                             "   2.0000E+00  4.0000E+00     2",
                                             "   4.0000E+00  6.0000E+00     1"}));
}

TEST_F(Box, TwoBoxesGiveTheirStatisticsAndFit) {
  std::vector<float> x, y;
  for (int i = 0; i < 20; ++i) {
    x.push_back(i * 0.5f);         // 0 .. 9.5
    y.push_back(i < 10 ? 1.0f : 3.0f);
  }
  eps("two.eps", 0, 10, 0, 4);
  BOXPLOT(0.0f, 5.0f, 5.0f, 20, x, y, BoxMarker{});
  XPS_CLOSE();
  const auto out = lines(terminal());
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out[out.size() - 2], " Stats box-average X versus Y: RMSD 3.1325E+00 ... CC 1.000 ... 2 bins");
  EXPECT_EQ(out.back(), " Linear fit: slope 4.0000E-01 ... intercept 1.0000E-01");
}

TEST_F(Box, EqualCountBinsAndRefusals) {
  struct Case {
    float param;
    int n;
    const char* first;
    std::vector<std::string> counts;
  };
  const Case cases[] = {
      {-3, 6, " ERROR --- Not enough points for box plot", {}},
      {-3, 8, " Box plot of 8 points in 3 bins", {"3", "2", "3"}},
      {0, 8, " Box plot of 8 points in 3 bins", {"3", "2", "3"}},  // at least 3 bins
      {-2.4f, 9, " Box plot of 9 points in 3 bins", {"3", "3", "3"}},
      {-4, 12, " Box plot of 12 points in 4 bins", {"3", "3", "3", "3"}},
      {-4, 10, " Box plot of 10 points in 4 bins", {"3", "2", "3", "2"}},  // nint(2.5) = 3
      {-1e30f, 50, " ERROR --- Not enough points for box plot", {}},
      {std::numeric_limits<float>::quiet_NaN(), 9, " Box plot of 9 points in 3 bins",
       {"3", "3", "3"}},
      {-3, 0, " ERROR --- Not enough points for box plot", {}},
  };
  for (const Case& c : cases) {
    std::vector<float> x, y;
    for (int i = 0; i < c.n; ++i) {
      x.push_back(static_cast<float>(c.n - i));  // given in decreasing X
      y.push_back(static_cast<float>(i % 4));
    }
    if (!xps_is_open()) eps("n.eps", 0, 20, 0, 4);
    BOXPLOTN(c.param, c.n, x, y, BoxMarker{});
    const auto out = lines(terminal());
    std::vector<std::string> rest;
    bool seen = false;
    for (const auto& l : out) {
      if (l == c.first) seen = true;
      if (seen && l.size() == 31 && l.find("E+") != std::string::npos) rest.push_back(l.substr(l.size() - 6));
    }
    EXPECT_TRUE(seen) << c.param << " " << c.n;
    std::vector<std::string> counts;
    for (auto& r : rest) {
      while (!r.empty() && r.front() == ' ') r.erase(0, 1);
      counts.push_back(r);
    }
    EXPECT_EQ(counts, c.counts) << c.param << " " << c.n;
  }
}

TEST_F(Box, LimitsAreReportedAndNeverLoop) {
  // A bin of 2500 points keeps 2000; a width lost against the bin start
  // stops the bins instead of running for ever.
  std::vector<float> x(2500), y(2500);
  for (int i = 0; i < 2500; ++i) {
    x[i] = 0.5f;
    y[i] = static_cast<float>(i);
  }
  eps("big.eps", 0, 1, 0, 2500);
  BOXPLOT(0.0f, 1.0f, 1.0f, 2500, x, y, BoxMarker{});
  std::string out = terminal();
  EXPECT_NE(out.find(" WARNING - Box plot bin of 2500 points: the first 2000 are used\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  0.0000E+00  1.0000E+00  2000"), std::string::npos) << out;
  BOXPLOT(1.0e8f, 1.0e9f, 1.0f, 2500, x, y, BoxMarker{});
  out = terminal();
  EXPECT_NE(out.find(" ERROR --- Box plot bin width too small for its bin start"),
            std::string::npos)
      << out;
  XPS_CLOSE();
}

}  // namespace
}  // namespace zv
