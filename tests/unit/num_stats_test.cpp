// Statistics of one list (XSTATS) and comparison of two lists (XYSTAT).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/dialogue.h"
#include "core_session.h"
#include "num/stats.h"

using zvtest::Session;

namespace {

TEST(Xstats, Values) {
  struct Case {
    std::vector<float> vals;
    int n;
    float ave, sdv, xmin, xmax, xtot;
  };
  const float sqrt_two_thirds = std::sqrt(2.0f / 3.0f);
  const Case cases[] = {
      {{5}, 1, 5, 0, 5, 5, 5},
      {{-7.5f, 99}, 1, -7.5f, 0, -7.5f, -7.5f, -7.5f},  // only the first n values count
      {{1, 3}, 2, 2, 1, 1, 3, 4},
      {{3, 1}, 2, 2, 1, 1, 3, 4},
      {{1, 2, 3}, 3, 2, sqrt_two_thirds, 1, 3, 6},
      {{3, 2, 1, 100}, 3, 2, sqrt_two_thirds, 1, 3, 6},
      {{-2, 4, 7, 1}, 4, 2.5f, std::sqrt(11.25f), -2, 7, 10},
      {{0.1f, 0.1f, 0.1f, 0.1f, 0.1f}, 5, 0.1f, 0, 0.1f, 0.1f, 0.5f},
      // Far from zero the double sums keep the spread (of the values as stored:
      // 10000.0996, 10000.2002, 10000.2998).
      {{10000.1f, 10000.2f, 10000.3f}, 3, 10000.2f, 0.0817298f, 10000.1f, 10000.3f, 30000.6f},
      {{-1e30f, 1e30f, 0}, 3, 0, 8.16497e29f, -1e30f, 1e30f, 0},
  };
  for (const Case& c : cases) {
    Session session("");
    float ave = -1, sdv = -1, xmin = -1, xmax = -1, xtot = -1;
    zv::XSTATS(c.vals, c.n, ave, sdv, xmin, xmax, xtot);
    const std::string where = "n=" + std::to_string(c.n) + " first=" + std::to_string(c.vals[0]);
    EXPECT_FLOAT_EQ(ave, c.ave) << where;
    EXPECT_NEAR(sdv, c.sdv, 1e-6 * std::fabs(c.sdv) + 1e-5) << where;
    EXPECT_EQ(xmin, c.xmin) << where;
    EXPECT_EQ(xmax, c.xmax) << where;
    EXPECT_FLOAT_EQ(xtot, c.xtot) << where;
    EXPECT_EQ(session.out(), "") << where;
  }
}

// Too few values: the error line and the count, outputs unchanged.
TEST(Xstats, TooFewValues) {
  struct Case {
    std::vector<float> vals;
    int n;
    std::string error;
  };
  const Case cases[] = {
      {{1, 2}, 0, " ERROR --- XSTATS - Not enough data points\n"},
      {{1, 2}, -3, " ERROR --- XSTATS - Not enough data points\n"},
      {{}, 0, " ERROR --- XSTATS - Not enough data points\n"},
      {{1, 2}, 3, " ERROR --- XSTATS - Fewer values than data points\n"},
  };
  for (const Case& c : cases) {
    Session session("");
    float ave = -1, sdv = -2, xmin = -3, xmax = -4, xtot = -5;
    zv::XSTATS(c.vals, c.n, ave, sdv, xmin, xmax, xtot);
    EXPECT_EQ(ave, -1);
    EXPECT_EQ(sdv, -2);
    EXPECT_EQ(xmin, -3);
    EXPECT_EQ(xmax, -4);
    EXPECT_EQ(xtot, -5);
    const std::string printed = session.out();
    (void)zv::jvaluo(" Nr of data points :", c.n);
    const std::string count_line = session.out().substr(printed.size());
    EXPECT_NE(count_line.find("Nr of data points :"), std::string::npos);
    EXPECT_EQ(printed, c.error + count_line) << c.n;
  }
}

TEST(Xystat, Values) {
  struct Case {
    const char* name;
    std::vector<float> x, y;
    float rmsd, shapecc, lincc, r1, r2, r3, r4, kx, ky;
  };
  const Case cases[] = {
      {"identical", {1, 2, 3, 4}, {1, 2, 3, 4}, 0, 1, 1, 0, 0, 0, 0, 1, 1},
      {"y = 2x", {1, 2, 3, 4}, {2, 4, 6, 8}, std::sqrt(7.5f), 1, 1, 1, 0.5f, 0, 0, 0.5f, 2},
      {"reversed", {1, 2, 3}, {3, 2, 1}, std::sqrt(8.0f / 3), 10.0f / 14, -1, 2.0f / 3, 2.0f / 3,
       2.0f / 3, 2.0f / 3, 1, 1},
      {"opposite signs", {-1, 2}, {1, -2}, std::sqrt(10.0f), -1, -1, 0, 0, 0, 0, 1, 1},
      {"all x equal", {3, 3, 3}, {1, 2, 4}, std::sqrt(2.0f), std::sqrt(21.0f / 27), 0, 4.0f / 9,
       4.0f / 7, 10.0f / 21, 10.0f / 21, 9.0f / 7, 7.0f / 9},
      {"all x zero", {0, 0, 0}, {1, 2, 3}, std::sqrt(14.0f / 3), 0, 0, 999.99f, 1, 999.99f, 1, 0, 1},
      {"all zero", {0, 0}, {0, 0}, 0, 0, 0, 999.99f, 999.99f, 999.99f, 999.99f, 1, 1},
  };
  for (const Case& c : cases) {
    Session session("");
    float out[9];
    std::fill(out, out + 9, -77.0f);
    zv::XYSTAT(c.x, c.y, int(c.x.size()), out[0], out[1], out[2], out[3], out[4], out[5], out[6],
               out[7], out[8]);
    const float want[9] = {c.rmsd, c.shapecc, c.lincc, c.r1, c.r2, c.r3, c.r4, c.kx, c.ky};
    const char* names[9] = {"rmsd", "shapecc", "lincc", "r1", "r2", "r3", "r4", "kx", "ky"};
    for (int k = 0; k < 9; ++k) {
      EXPECT_NEAR(out[k], want[k], 2e-6f * std::max(1.0f, std::fabs(want[k])))
          << c.name << " " << names[k];
    }
    EXPECT_EQ(session.out(), "") << c.name;
  }
}

TEST(Xystat, TooFewValues) {
  struct Case {
    std::vector<float> x, y;
    int n;
    std::string error;
  };
  const Case cases[] = {
      {{1, 2}, {1, 2}, 1, " ERROR --- XYSTAT - fewer than 2 data points\n"},
      {{}, {}, 0, " ERROR --- XYSTAT - fewer than 2 data points\n"},
      {{1, 2, 3}, {1, 2}, 3, " ERROR --- XYSTAT - Fewer values than data points\n"},
  };
  for (const Case& c : cases) {
    Session session("");
    float out[9];
    std::fill(out, out + 9, -77.0f);
    zv::XYSTAT(c.x, c.y, c.n, out[0], out[1], out[2], out[3], out[4], out[5], out[6], out[7],
               out[8]);
    for (float v : out) EXPECT_EQ(v, 0.0f) << c.n;
    EXPECT_EQ(session.out(), c.error) << c.n;
  }
}

}  // namespace
