// Colour ramps: the colour of each point for every mode and type, equal
// limits, single-colour grids, the boxes written, and the colour statistics.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/utils.h"
#include "plot_stats.h"
#include "plotout/xvrml.h"
#include "ramp2d.h"
#include "zev_test_util.h"

namespace zv {
namespace {

using zvtest::ZevTest;

int pack(float r, float g, float b) {
  int c;
  XVRML_PACK(r, g, b, c);
  return c;
}

int count_boxes(const std::vector<std::string>& lines) {
  int n = 0;
  for (const auto& l : lines)
    if (l.size() > 10 && l.compare(l.size() - 9, 9, "FilledBox") == 0) ++n;
  return n;
}

// The value written after a label on the terminal ("" when the label is not
// there).
std::string value_after(const std::string& out, const std::string& label) {
  const std::size_t p = out.find(label);
  if (p == std::string::npos) return "";
  std::size_t b = p + label.size();
  const std::size_t e = out.find('\n', b);
  std::string v = out.substr(b, e - b);
  // The value without the parentheses and blanks round it.
  while (!v.empty() && (v.front() == ' ' || v.front() == '(')) v.erase(0, 1);
  while (!v.empty() && (v.back() == ' ' || v.back() == ')')) v.pop_back();
  return v;
}

class Ramp : public ZevTest {
 protected:
  // Runs the ramp on a grid over 0..10 by 0..10 and returns the codes.
  std::vector<int> ramp(std::vector<float>& grid, int nx, int ny, const char* mode,
                        const char* type, float lo, float hi, const std::string& name,
                        const float start[3] = kBlue, const float end[3] = kRed) {
    // One page per test unless a case asks for a page of its own.
    if (!name.empty() || !xps_is_open()) {
      if (xps_is_open()) XPS_CLOSE();
      eps(name.empty() ? "ramps.eps" : name, 0, 10, 0, 10);
    }
    std::vector<int> codes(grid.size()), work(grid.size());
    RAMP2D(grid, nx, ny, start, end, mode, type, 0, 10, 0, 10, lo, hi, codes, work);
    if (!name.empty()) XPS_CLOSE();
    return codes;
  }
  static constexpr float kBlue[3] = {0, 0, 1};
  static constexpr float kRed[3] = {1, 0, 0};
};

int hsv(float h, float s, float v) {
  float r, g, b;
  HSVRGB(h, s, v, r, g, b);
  return pack(r, g, b);
}

TEST_F(Ramp, ColoursOfEveryType) {
  // Blue is hue 360 (0), red 120: the hue ramp over 0..1 runs from 360 down
  // to 120 in steps of -2.4 degrees. In single precision 240 / 2.4 is just
  // under 100, so the top of the range is step 99 (hue 122.4, cut to 122);
  // a value beyond the top is held at 120.
  struct Case {
    const char* type;
    float z;
    int code;
  };
  const Case cases[] = {
      {"HUE", 0.0f, pack(0, 0, 1)},
      {"HUE", 0.013f, hsv(357, 1, 1)},  // step 1: 357.6
      {"HUE", 0.5f, hsv(242, 1, 1)},    // step 49: 242.4
      {"HUE", 1.0f, hsv(122, 1, 1)},
      {"HUE", 2.0f, pack(1, 0, 0)},
      {"hue", -1.0f, pack(0, 0, 1)},
      // Value: the end hue is below the start hue, so the value runs 1 -> 0
      // without saturation: white to black.
      {"VAL", 0.0f, pack(1, 1, 1)},
      {"VAL", 1.0f, pack(0, 0, 0)},
      {"VALUE", 0.5f, pack(0.5f, 0.5f, 0.5f)},
      {"VAL", 0.333f, hsv(0, 0, 0.67f)},  // rounded to 0.01
      // Saturation 1 -> 0 in the start hue: blue to white.
      {"SAT", 0.0f, pack(0, 0, 1)},
      {"SAT", 1.0f, pack(1, 1, 1)},
      // White in the middle, the start colour at lo, the end colour at hi.
      {"WHI", 0.5f, pack(1, 1, 1)},
      {"WHITE", 0.0f, pack(0, 0, 1)},
      {"WHI", 1.0f, pack(1, 0, 0)},
      {"WHI", 0.25f, hsv(360, 0.5f, 1)},
  };
  for (const Case& c : cases) {
    std::vector<float> grid = {c.z, c.z, c.z, c.z};
    const auto codes =
        ramp(grid, 2, 2, "LINEAR", c.type, 0.0f, 1.0f, "");
    float r, g, b;
    XVRML_UNPACK(r, g, b, codes[0]);
    EXPECT_EQ(codes[0], c.code) << c.type << " " << c.z << ": " << r << " " << g << " " << b;
  }
  const std::string out = terminal();
  EXPECT_NE(out.find(" Ramp type : VALUE\n"), std::string::npos);
  EXPECT_NE(out.find(" Ramp type : WHITE\n"), std::string::npos);
  EXPECT_NE(out.find(" Ramp type : SATURATION\n"), std::string::npos);
  EXPECT_NE(out.find(" Ramp type : HUE\n"), std::string::npos);
  EXPECT_NE(out.find(" Ramp mode : LINEAR\n"), std::string::npos);
}

TEST_F(Ramp, EqualLimitsGiveOneColourAndOneBox) {
  // Slope 0: the hue and saturation ramps stay at the start colour; the
  // value and white ramps at zero saturation, white.
  struct Case {
    const char* type;
    int code;
  };
  const Case cases[] = {{"HUE", pack(0, 0, 1)},
                        {"SAT", pack(0, 0, 1)},
                        {"VAL", pack(1, 1, 1)},
                        {"WHITE", pack(1, 1, 1)}};
  for (const Case& c : cases) {
    std::vector<float> grid = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const auto codes = ramp(grid, 3, 3, "LINEAR", c.type, 5.0f, 5.0f, std::string(c.type) + ".eps");
    for (int code : codes) EXPECT_EQ(code, c.code) << c.type;
    EXPECT_EQ(count_boxes(zvtest::read_lines(eps_.back())), 1) << c.type;
    const std::string out = terminal();
    EXPECT_EQ(value_after(out, " Nr of colours :"), "1") << out;
  }
}

TEST_F(Ramp, OnlyPointsOffTheMostFrequentColourGetBoxesClampedToTheArea) {
  // One point at the top of the range (hue 122) in the corner of a blue
  // 3 x 3 grid: the background box and one box from (0, 0) to (2.5, 2.5),
  // cut at the area's edge.
  std::vector<float> grid = {1, 0, 0, 0, 0, 0, 0, 0, 0};
  const auto codes = ramp(grid, 3, 3, "LINEAR", "HUE", 0.0f, 1.0f, "corner.eps");
  EXPECT_EQ(codes[0], hsv(122, 1, 1));
  const auto lines = zvtest::read_lines(eps_.back());
  std::vector<std::string> boxes;
  for (const auto& l : lines)
    if (l.find("FilledBox") != std::string::npos && l.find(" C ") != std::string::npos)
      boxes.push_back(l);
  ASSERT_EQ(boxes.size(), 2u);
  // 10 user units are 450 points: the box ends at 2.5 units = 112.5 points.
  EXPECT_EQ(boxes[1],
            "1.000 0.034 0.000 C 50.00 250.00 50.00 362.50 162.50 362.50 162.50 250.00 FilledBox");
  const std::string out = terminal();
  EXPECT_EQ(value_after(out, " Nr of colours :"), "2");
  EXPECT_NE(out.find(" Writing PostScript boxes ...\n Done\n"), std::string::npos) << out;
}

TEST_F(Ramp, LogarithmicAndAbsoluteModesChangeValuesAndLimits) {
  {
    std::vector<float> grid = {0, 9, 99, -1};
    (void)ramp(grid, 2, 2, "LOG", "HUE", 0.0f, 99.0f, "log.eps");
    // The smallest of the values and lo is -1: log10(v + 2).
    EXPECT_FLOAT_EQ(grid[0], std::log10(2.0f));
    EXPECT_FLOAT_EQ(grid[1], 1.0f + std::log10(1.1f));
    EXPECT_FLOAT_EQ(grid[3], 0.0f);
    EXPECT_NE(terminal().find(" Ramp mode : LOGARITHMIC\n"), std::string::npos);
  }
  struct Case {
    float lo, hi;
    std::string lo_out, hi_out;
  };
  // lo becomes 0 when the limits have different signs or one is 0.
  const Case cases[] = {{-3, 2, "0.000", "3.000"}, {-3, -1, "1.000", "3.000"},
                        {0, -2, "0.000", "2.000"}, {2, 5, "2.000", "5.000"}};
  for (const Case& c : cases) {
    std::vector<float> grid = {-4, 1, 2, -2};
    (void)ramp(grid, 2, 2, "ABS", "HUE", c.lo, c.hi, "");
    EXPECT_EQ(grid, (std::vector<float>{4, 1, 2, 2}));
    const std::string out = terminal();
    EXPECT_NE(out.find(" Ramp mode : ABSOLUTE\n"), std::string::npos);
    const std::size_t first = out.find(" Limit     :");
    const std::size_t second = out.find(" Limit     :", first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(value_after(out.substr(first), " Limit     :"), c.lo_out) << c.lo << " " << c.hi;
    EXPECT_EQ(value_after(out.substr(second), " Limit     :"), c.hi_out) << c.lo << " " << c.hi;
  }
}

TEST_F(Ramp, HostileValuesStillGiveAValidPage) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const char* type : {"HUE", "SAT", "VAL", "WHI"})
    for (const char* mode : {"LIN", "LOG", "ABS"}) {
      std::vector<float> grid = {nan, inf, -inf, 1e38f, -1e38f, 0};
      (void)ramp(grid, 3, 2, mode, type, -1e38f, 1e38f, "");
    }
}

TEST_F(Ramp, TooSmallBuffersAreRefused) {
  std::vector<float> grid = {0, 1, 2};
  std::vector<int> codes(4), work(4);
  eps("small.eps", 0, 1, 0, 1);
  RAMP2D(grid, 2, 2, kBlue, kRed, "LIN", "HUE", 0, 1, 0, 1, 0, 1, codes, work);
  XPS_CLOSE();
  EXPECT_EQ(count_boxes(zvtest::read_lines(eps_.back())), 0);
}

class Colstat : public ZevTest {};

TEST_F(Colstat, CountsRunsAndPicksTheFirstLongest) {
  struct Case {
    std::vector<int> codes;
    int most;
    const char* ncolours;
    const char* percent;
  };
  const Case cases[] = {
      {{1, 1, 2}, 1, "2", "66.667"},
      {{2, 2, 1, 1}, 1, "2", "50.000"},
      {{5, 3, 5, 3, 3, 5, 5}, 5, "2", "57.143"},
      {{7}, 7, "1", "100.000"},
      {{}, 0, "0", "0.000"},
  };
  for (const Case& c : cases) {
    std::vector<int> codes = c.codes;
    int most = -1;
    COLSTAT(static_cast<int>(codes.size()), codes, most);
    EXPECT_EQ(most, c.most);
    EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
    const std::string out = terminal();
    EXPECT_EQ(value_after(out, " Nr of colours :"), c.ncolours) << out;
    EXPECT_EQ(value_after(out, " Most frequent :"), std::to_string(c.most)) << out;
    EXPECT_EQ(value_after(out, " Percentage    :"), c.percent) << out;
  }
}

}  // namespace
}  // namespace zv
