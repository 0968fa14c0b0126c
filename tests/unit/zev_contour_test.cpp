// The contour follower: lines on hand-worked grids (saddles, rings, exact
// levels, start edges on the far boundary), the 1024-point pieces, hostile
// grids, and a real map drawn to EPS.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "contour.h"
#include "zev_test_util.h"

namespace zv {
namespace {

using zvtest::ZevTest;

struct Pt {
  float x, y;
};
using Line = std::vector<Pt>;

class Recorder : public ContourOutput {
 public:
  void colour(int icol) override { colours.push_back(icol); }
  void polyline(const float* x, const float* y, int n) override {
    Line l;
    for (int k = 0; k < n; ++k) l.push_back({x[k], y[k]});
    lines.push_back(l);
  }
  std::vector<int> colours;
  std::vector<Line> lines;
};

// Rows of the grid from the bottom (j = 1) up.
std::vector<Line> contour(const std::vector<std::vector<float>>& rows, std::vector<float> levels) {
  const int ny = static_cast<int>(rows.size());
  const int nx = static_cast<int>(rows[0].size());
  std::vector<float> grid;
  for (const auto& r : rows) grid.insert(grid.end(), r.begin(), r.end());
  std::vector<char> marks(static_cast<std::size_t>(contour_marks_size(nx, ny)));
  std::vector<int> colours(levels.size(), 1);
  Recorder rec;
  CONTOUR(grid, marks, nx, ny, levels, colours, static_cast<int>(levels.size()), rec);
  return rec.lines;
}

std::string str(const std::vector<Line>& lines) {
  std::string s;
  char buf[64];
  for (const Line& l : lines) {
    s += "[";
    for (std::size_t k = 0; k < l.size(); ++k) {
      std::snprintf(buf, sizeof buf, "%s(%.4g,%.4g)", k ? " " : "", l[k].x, l[k].y);
      s += buf;
    }
    s += "]";
  }
  return s;
}

TEST(Contour, HandWorkedGrids) {
  struct Case {
    const char* what;
    std::vector<std::vector<float>> rows;
    float level;
    const char* lines;
  };
  const Case cases[] = {
      {"level below all values", {{1, 2}, {3, 4}}, 0.5f, ""},
      {"level above all values", {{1, 2}, {3, 4}}, 4.5f, ""},
      {"level equal to the top of a 2x2 cell", {{1, 2}, {3, 4}}, 4.0f, ""},
      {"one cell, two sides: one segment from the start edge outward", {{0, 1}, {0, 1}}, 0.5f,
       "[(0.5,0) (0.5,1)]"},
      // f00 = 1, f10 = 0, f01 = 0, f11 = 1: r3 = r4 = 0.5, the tie goes to
      // side e - 1 for both lines.
      {"saddle, tie", {{1, 0}, {0, 1}}, 0.5f, "[(0.5,0) (1,0.5)][(0.5,1) (0,0.5)]"},
      // f11 = 2: r3 = 0.25 < r4 = 0.5, the line turns to the right side.
      {"saddle, r3 < r4", {{1, 0}, {0, 2}}, 0.5f, "[(0.5,0) (1,0.25)][(0.25,1) (0,0.5)]"},
      // f11 = 0.6: r4 = 0.5 < r3 = 0.833, the line turns to the left side.
      {"saddle, r4 < r3", {{1, 0}, {0, 0.6f}}, 0.5f,
       "[(0.5,0) (0,0.5)][(0.8333,1) (1,0.8333)]"},
      // r1 = r2 = 2: straight through to the opposite side at the same x;
      // the left and right starts then run into used edges.
      {"saddle, r1 = r2", {{0.75f, 0}, {0.25f, 1}}, 0.5f,
       "[(0.3333,0) (0.3333,1)][(0,0.5) (0.3333,0)][(1,0.5) (0.3333,1)]"},
      // The only crossing of the top row: no forward cell, the backward line
      // starts at the top.
      {"start edge on the top row", {{0, 0}, {0, 1}}, 0.5f, "[(0.5,1) (1,0.5)]"},
      // Bottom-left corner at the level: the right column is the only start
      // edge and the line leaves through the level point.
      {"start edge on the right column, through a level point", {{0.5f, 0}, {1, 1}}, 0.5f,
       "[(1,0.5) (0,0)]"},
      {"a row at the level: its sides, once each", {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, 1.0f,
       "[(0,1) (1,1)][(1,1) (2,1)]"},
      {"a column at the level: its sides, once each", {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}}, 1.0f,
       "[(1,0) (1,1)][(1,1) (1,2)]"},
      {"a grid wholly at the level", {{3, 3, 3}, {3, 3, 3}}, 3.0f, ""},
      {"a plateau edge on the boundary of a flat region", {{5, 5, 5}, {5, 5, 5}, {0, 0, 0}}, 5.0f,
       "[(0,1) (1,1)][(1,1) (2,1)]"},
  };
  for (const Case& c : cases) EXPECT_EQ(str(contour(c.rows, {c.level})), c.lines) << c.what;
}

TEST(Contour, ClosedRingIsDrawnOnceAndEndsOnItsStart) {
  std::vector<std::vector<float>> rows(5, std::vector<float>(5, 0.0f));
  rows[2][2] = 1.0f;
  rows[2][3] = 1.0f;
  const auto lines = contour(rows, {0.5f});
  ASSERT_EQ(lines.size(), 1u) << str(lines);
  const Line& l = lines[0];
  EXPECT_EQ(l.size(), 7u) << str(lines);  // six crossed edges and the start again
  EXPECT_NEAR(l.front().x, l.back().x, 1e-6);
  EXPECT_NEAR(l.front().y, l.back().y, 1e-6);
}

// A cone cut at radius 170 crosses some 1360 edges: one ring in pieces of at
// most 1024 points, each starting where the one before ended.
TEST(Contour, LongContourIsDrawnInPiecesSharingEndPoints) {
  const int n = 400;
  std::vector<std::vector<float>> rows(n, std::vector<float>(n));
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i)
      rows[j][i] = std::sqrt(static_cast<float>((i - 200) * (i - 200) + (j - 200) * (j - 200)));
  const auto lines = contour(rows, {170.5f});
  ASSERT_GE(lines.size(), 2u);
  std::size_t total = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    EXPECT_LE(lines[k].size(), static_cast<std::size_t>(kContourBuffer));
    EXPECT_GE(lines[k].size(), 2u);
    total += lines[k].size();
    if (k > 0) {
      EXPECT_EQ(lines[k].front().x, lines[k - 1].back().x) << k;
      EXPECT_EQ(lines[k].front().y, lines[k - 1].back().y) << k;
    }
  }
  EXPECT_EQ(lines[0].size(), static_cast<std::size_t>(kContourBuffer));
  EXPECT_GT(total, 1100u);
  EXPECT_NEAR(lines.front().front().x, lines.back().back().x, 1e-4);
  EXPECT_NEAR(lines.front().front().y, lines.back().back().y, 1e-4);
}

TEST(Contour, EveryLevelGetsItsColourAndEqualLevelsRepeatTheLines) {
  std::vector<float> grid = {0, 1, 0, 1};
  std::vector<char> marks(8);
  std::vector<float> levels(50, 0.5f);
  std::vector<int> colours(50);
  for (int k = 0; k < 50; ++k) colours[k] = k + 8;
  Recorder rec;
  CONTOUR(grid, marks, 2, 2, levels, colours, 50, rec);
  EXPECT_EQ(rec.colours, colours);
  EXPECT_EQ(rec.lines.size(), 50u);
}

TEST(Contour, HostileGridsGiveFiniteLinesOrNone) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float big = 3.0e38f;
  struct Case {
    const char* what;
    std::vector<float> grid;
    int nx, ny;
    std::vector<float> levels;
  };
  const Case cases[] = {
      {"NaN values", {nan, 1, 0, nan, 2, 0, 1, nan, 3}, 3, 3, {0.5f, 1.5f}},
      {"infinite values", {-inf, 5, inf, 0, -inf, 2, inf, 1, 0}, 3, 3, {1.0f, 0.0f}},
      {"huge values", {-big, big, big, -big, 0, big, -big, big, -big}, 3, 3, {0.0f, 1e38f}},
      {"NaN level", {0, 1, 2, 3}, 2, 2, {nan}},
      {"1 x N", {0, 1, 2, 3, 4}, 1, 5, {1.5f}},
      {"N x 1", {0, 1, 2, 3, 4}, 5, 1, {1.5f}},
  };
  for (const Case& c : cases) {
    std::vector<char> marks(static_cast<std::size_t>(contour_marks_size(c.nx, c.ny)));
    std::vector<int> colours(c.levels.size(), 1);
    Recorder rec;
    CONTOUR(c.grid, marks, c.nx, c.ny, c.levels, colours, static_cast<int>(c.levels.size()), rec);
    for (const Line& l : rec.lines)
      for (const Pt& p : l) {
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << c.what;
        EXPECT_TRUE(p.x >= 0 && p.x <= c.nx - 1 && p.y >= 0 && p.y <= c.ny - 1) << c.what;
      }
    if (c.nx < 2 || c.ny < 2) {
      EXPECT_TRUE(rec.lines.empty()) << c.what;
    }
  }
}

TEST(Contour, BuffersTooSmallDrawNothing) {
  std::vector<float> grid = {0, 1, 0, 1};
  std::vector<char> marks(7);  // needs 8
  std::vector<float> levels = {0.5f};
  std::vector<int> colours = {1};
  Recorder rec;
  CONTOUR(grid, marks, 2, 2, levels, colours, 1, rec);
  CONTOUR(std::span<const float>(grid).first(3), std::span<char>(marks), 2, 2, levels, colours, 1,
          rec);
  EXPECT_TRUE(rec.lines.empty());
  EXPECT_TRUE(rec.colours.empty());
}

class ContourEps : public ZevTest {};

// A density-like map (a sum of Gaussians on 120 x 90) with ten levels,
// drawn in data units through the PostScript writer.
TEST_F(ContourEps, MapToEps) {
  const int nx = 120, ny = 90;
  std::vector<float> grid(static_cast<std::size_t>(nx) * ny);
  const float cx[] = {30, 80, 60, 100}, cy[] = {30, 60, 20, 75}, s[] = {12, 9, 6, 5};
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      float v = 0;
      for (int g = 0; g < 4; ++g) {
        const float dx = i - cx[g], dy = j - cy[g];
        v += std::exp(-(dx * dx + dy * dy) / (2 * s[g] * s[g]));
      }
      grid[static_cast<std::size_t>(j) * nx + i] = v;
    }
  std::vector<char> marks(static_cast<std::size_t>(contour_marks_size(nx, ny)));
  std::vector<float> levels;
  std::vector<int> colours;
  for (int k = 1; k <= 10; ++k) {
    levels.push_back(0.1f * k);
    colours.push_back(k % 7 + 1);
  }
  const auto p = eps("map.eps", -5.0f, 5.0f, 0.0f, 4.5f);
  XPS_COMMENT("Here come the contours");
  PsContourOutput out(-5.0f, 10.0f / (nx - 1), 0.0f, 4.5f / (ny - 1));
  CONTOUR(grid, marks, nx, ny, levels, colours, 10, out);
  XPS_CLOSE();
  const auto lines = zvtest::read_lines(p);
  int moves = 0;
  for (const auto& l : lines)
    if (l.rfind("S ", 0) == 0 && l.back() == 'M') ++moves;
  EXPECT_GT(moves, 10);
}

}  // namespace
}  // namespace zv
