// Small utilities: list search, angles, colours, axis steps, number texts,
// packing, heap sorts, memory blocks and the creation stamp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "core/frame.h"
#include "core/units.h"
#include "core/utils.h"

namespace zv {
namespace {

TEST(Ifind, Table) {
  struct Case {
    int target, tol;
    std::vector<int> list;
    int want;
  };
  const Case cases[] = {
      {10, 0, {4, 11, 9}, -1},        // tolerance 0: exact matches only
      {10, 2, {4, 11, 9}, 2},         // first element within 2
      {10, 2, {4, 9, 11, 10}, 4},     // an exact match wins over a near one
      {10, 1, {4, 12, 8}, -1},        // nothing within 1
      {10, 0, {10, 10}, 1},           // the first of equal elements
      {-5, 3, {0, -7, -3}, 2},        // negative values
      {10, 0, {}, -2},                // empty list
      {10, -1, {10}, -3},             // negative tolerance
      {2147483647, 1, {-2147483647 - 1, 2147483646}, 2},  // no overflow at the limits
      {-2147483647 - 1, 5, {2147483647}, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IFIND(c.target, c.tol, c.list), c.want) << "target " << c.target << " tol " << c.tol;
}

TEST(Fixang, Table) {
  const std::pair<float, float> cases[] = {
      {-30.0f, 330.0f}, {360.0f, 0.0f},   {725.0f, 5.0f},    {0.0f, 0.0f},     {359.5f, 359.5f},
      {-720.0f, 0.0f},  {-360.5f, 359.5f}, {1e6f, 280.0f},   {-1e-6f, 0.0f},   {90.25f, 90.25f},
  };
  for (auto [in, want] : cases) {
    float a = in;
    FIXANG(a);
    EXPECT_FLOAT_EQ(a, want) << "angle " << in;
    EXPECT_GE(a, 0.0f);
    EXPECT_LT(a, 360.0f);
  }
}

TEST(Order2, SwapsOnlyWhenGreater) {
  float a = 3, b = 1;
  ORDER2(a, b);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 3);
  ORDER2(a, b);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 3);
}

TEST(Hsvrgb, TurnedHues) {
  struct Case {
    float h, s, v, r, g, b;
  };
  const Case cases[] = {
      {0, 1, 1, 0, 0, 1},        // blue
      {120, 1, 1, 1, 0, 0},      // red
      {240, 1, 1, 0, 1, 0},      // green
      {60, 1, 1, 1, 0, 1},       // magenta between blue and red
      {180, 1, 1, 1, 1, 0},      // yellow between red and green
      {300, 1, 1, 0, 1, 1},      // cyan between green and blue
      {360, 1, 1, 0, 0, 1},      // a full turn is blue again
      {-120, 1, 1, 0, 1, 0},     // negative hue
      {1080, 1, 1, 0, 0, 1},     // several turns
      {77, 0, 0.4f, 0.4f, 0.4f, 0.4f},  // no saturation: grey of the value
      {120, 0.5f, 0.8f, 0.8f, 0.4f, 0.4f},
  };
  for (const Case& c : cases) {
    float r = -1, g = -1, b = -1;
    HSVRGB(c.h, c.s, c.v, r, g, b);
    EXPECT_NEAR(r, c.r, 1e-6) << "hue " << c.h;
    EXPECT_NEAR(g, c.g, 1e-6) << "hue " << c.h;
    EXPECT_NEAR(b, c.b, 1e-6) << "hue " << c.h;
  }
}

TEST(Rgbhsv, PrimariesAndRoundTrips) {
  struct Case {
    float r, g, b, h, s, v;
  };
  const Case cases[] = {
      {1, 0, 0, 120, 1, 1},
      {0, 1, 0, 240, 1, 1},
      {0, 0, 1, 360, 1, 1},  // the turn is undone only when the hue passes 360
      {0, 0, 0, 0, 0, 0},
      {0.5f, 0.5f, 0.5f, 0, 0, 0.5f},
  };
  for (const Case& c : cases) {
    float h, s, v;
    RGBHSV(c.r, c.g, c.b, h, s, v);
    EXPECT_NEAR(h, c.h, 1e-4);
    EXPECT_NEAR(s, c.s, 1e-6);
    EXPECT_NEAR(v, c.v, 1e-6);
  }
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int i = 0; i < 2000; ++i) {
    const float r = unit(rng), g = unit(rng), b = unit(rng);
    float h, s, v, r2, g2, b2;
    RGBHSV(r, g, b, h, s, v);
    ASSERT_GE(h, 0.0f);
    ASSERT_LE(h, 360.0f);
    HSVRGB(h, s, v, r2, g2, b2);
    ASSERT_NEAR(r2, r, 1e-5);
    ASSERT_NEAR(g2, g, 1e-5);
    ASSERT_NEAR(b2, b, 1e-5);
  }
}

TEST(Nicstp, Table) {
  struct Case {
    float xmin, xmax;
    int nmax;
    int ierr;
    float step;
    int n;
  };
  const Case cases[] = {
      {0, 7, 5, 0, 5, 1},         // step 1 gives 7 intervals, too many
      {0, 10, 10, 0, 1, 10},
      {0, 100, 10, 0, 10, 10},
      {0, 1, 10, 0, 0.1f, 10},
      {0, 0.7f, 5, 0, 0.5f, 1},
      {0, 35, 3, 0, 10, 3},
      {0, 1000, 3, 0, 1000, 1},
      {-3, 3, 5, 0, 5, 1},
      {0, 7e6f, 5, 0, 5e6f, 1},
      {0, 99, 10, 0, 10, 9},
      {0, 300, 5, 0, 100, 3},
      {0, 800, 5, 0, 500, 1},     // 100 gives 8, then 500
      {0, 2000, 3, 0, 1000, 2},
      {10, 0, 5, 0, -5, 2},       // a falling range gets a negative step
      {5, 5, 3, -1, 0, 0},        // no range
      {0, 7, 0, -2, 0, 0},        // no intervals allowed
  };
  for (const Case& c : cases) {
    float step = 0;
    int n = 0;
    const int ierr = NICSTP(c.xmin, c.xmax, c.nmax, step, n);
    EXPECT_EQ(ierr, c.ierr) << c.xmin << ".." << c.xmax << " nmax " << c.nmax;
    if (ierr != 0 || c.ierr != 0) continue;
    EXPECT_FLOAT_EQ(step, c.step) << c.xmin << ".." << c.xmax << " nmax " << c.nmax;
    EXPECT_EQ(n, c.n) << c.xmin << ".." << c.xmax << " nmax " << c.nmax;
  }
  float step = 0;
  int n = 0;
  EXPECT_EQ(NICSTP(0.0f, std::numeric_limits<float>::infinity(), 5, step, n), -3);
  EXPECT_EQ(NICSTP(std::numeric_limits<float>::quiet_NaN(), 1.0f, 5, step, n), -3);
  // Near the largest float the step search still ends.
  EXPECT_EQ(NICSTP(-3e38f, 3e38f, 1, step, n), -3);  // the range itself overflows
  EXPECT_EQ(NICSTP(0.0f, 3e38f, 1, step, n), 0);
  EXPECT_LE(n, 1);
  // Ranges whose power of ten underflows: refused instead of a search with a
  // step of 0 that never ends.
  EXPECT_EQ(NICSTP(0.0f, 1e-40f, 5, step, n), -3);
  EXPECT_EQ(NICSTP(1e-41f, 0.0f, 5, step, n), -3);
  EXPECT_EQ(NICSTP(0.0f, 1e-37f, 5, step, n), 0);
  EXPECT_LE(n, 5);
  // k comes from the single-precision logarithm: log10 of the float
  // 31.622776 is 1.5 in single precision (k = 2, step 100) but 1.49999... in
  // double (k = 1, which would end at step 50).
  EXPECT_EQ(NICSTP(0.0f, 31.622776f, 1, step, n), 0);
  EXPECT_EQ(step, 100.0f);
  EXPECT_EQ(n, 0);
  // Powers of ten beyond the exact range of a float, made as the run-time
  // makes them (repeated squaring).
  EXPECT_EQ(NICSTP(0.0f, 3e12f, 3, step, n), 0);
  EXPECT_EQ(step, 1e12f);
  EXPECT_EQ(n, 3);
}

TEST(Realfmt, Table) {
  const std::pair<float, const char*> cases[] = {
      {1.0f, "1"},          {1.5f, "1.5"},         {123456.0f, "1.2E+05"}, {0.0001f, "1.0E-04"},
      {0.0f, "0"},          {-1.5f, "-1.5"},       {-123456.0f, "-1.2E+05"}, {9999.999f, "9999.999"},
      {10000.0f, "1.0E+04"}, {0.001f, "0.001"},    {1.05f, "1.05"},       {1.205f, "1.205"},
      {100.0f, "100"},      {0.5f, "0.5"},         {-0.5f, "-0.5"},       {2.50004f, "2.5"},
      {-0.0001f, "-1.0E-04"}, {20.0f, "20"},       {-9999.999f, "-9999.999"}, {1e-30f, "1.0E-30"},
  };
  for (auto [in, want] : cases) {
    float x = in;
    std::string text = "junk";
    REALFMT(x, text);
    EXPECT_EQ(text, want) << "x " << in;
  }
  // The rounded value is written back; values shown in E layout are kept.
  float x = 1.23456f;
  std::string text;
  REALFMT(x, text);
  EXPECT_EQ(x, 12346.0f / 10000.0f);
  EXPECT_EQ(text, "1.235");
  x = 123456.7f;
  REALFMT(x, text);
  EXPECT_EQ(x, 123456.7f);
}

TEST(Pack4, RoundTripsAndLimits) {
  int packed = -1;
  PACK4(-512, -512, -512, 0, packed);
  EXPECT_EQ(packed, 0);
  PACK4(511, 511, 511, 1, packed);
  EXPECT_EQ(packed, 2147483647);
  PACK4(0, 0, 0, 0, packed);
  EXPECT_EQ(packed, 537395712);
  PACK4(1, 2, 3, 1, packed);
  EXPECT_EQ(packed, 513 + 514 * 1024 + 515 * 1048576 + 1073741824);

  const int values[] = {-512, -511, -1, 0, 1, 255, 510, 511};
  for (int a : values)
    for (int b : values)
      for (int c : values)
        for (int f = 0; f <= 1; ++f) {
          PACK4(a, b, c, f, packed);
          ASSERT_EQ(packed, (a + 512) + (b + 512) * 1024 + (c + 512) * 1048576 + f * 1073741824);
          int i1, i2, i3, i4;
          UNPACK4(i1, i2, i3, i4, packed);
          ASSERT_EQ(i1, a);
          ASSERT_EQ(i2, b);
          ASSERT_EQ(i3, c);
          ASSERT_EQ(i4, f);
        }

  // Out of range values are clamped to their field, never spill into the next.
  struct Clamp {
    int in[4];
    int out[4];
  };
  const Clamp clamps[] = {
      {{600, 0, 0, 0}, {511, 0, 0, 0}},
      {{0, -1000, 0, 0}, {0, -512, 0, 0}},
      {{0, 0, 5000, 1}, {0, 0, 511, 1}},
      {{0, 0, 0, 2}, {0, 0, 0, 2}},   // a 2-bit flag: the packed value is negative
      {{0, 0, 0, 9}, {0, 0, 0, 3}},
      {{0, 0, 0, -1}, {0, 0, 0, 0}},
  };
  for (const Clamp& c : clamps) {
    PACK4(c.in[0], c.in[1], c.in[2], c.in[3], packed);
    int o[4];
    UNPACK4(o[0], o[1], o[2], o[3], packed);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(o[k], c.out[k]) << "field " << k;
  }
  int o[4];
  UNPACK4(o[0], o[1], o[2], o[3], -1);
  EXPECT_EQ(o[0], 511);
  EXPECT_EQ(o[1], 511);
  EXPECT_EQ(o[2], 511);
  EXPECT_EQ(o[3], 3);
}

TEST(Sorts, MatchStdSortOnRandomData) {
  std::mt19937 rng(11);
  for (int n : {0, 1, 2, 3, 4, 5, 7, 16, 17, 100, 1001}) {
    for (int range : {3, 1000000}) {
      std::uniform_int_distribution<int> dist(-range, range);
      std::vector<int> iv(static_cast<std::size_t>(n));
      for (int& v : iv) v = dist(rng);
      std::vector<int> want = iv;
      std::sort(want.begin(), want.end());
      ISORT(iv);
      ASSERT_EQ(iv, want) << "n " << n;

      std::vector<float> vals(static_cast<std::size_t>(n)), partner(static_cast<std::size_t>(n));
      std::vector<std::pair<float, float>> pairs;
      for (int i = 0; i < n; ++i) {
        vals[static_cast<std::size_t>(i)] = static_cast<float>(dist(rng)) * 0.5f;
        partner[static_cast<std::size_t>(i)] = static_cast<float>(i);
        pairs.emplace_back(vals[static_cast<std::size_t>(i)], static_cast<float>(i));
      }
      RSORT2(vals, partner);
      ASSERT_TRUE(std::is_sorted(vals.begin(), vals.end())) << "n " << n;
      // Every partner still stands beside its own value.
      std::vector<std::pair<float, float>> got;
      for (int i = 0; i < n; ++i)
        got.emplace_back(vals[static_cast<std::size_t>(i)], partner[static_cast<std::size_t>(i)]);
      std::sort(got.begin(), got.end());
      std::sort(pairs.begin(), pairs.end());
      ASSERT_EQ(got, pairs) << "n " << n;
    }
  }
  // A shorter partner array limits the sort to its length.
  std::vector<float> vals = {3, 2, 1, 0};
  std::vector<float> partner = {30, 20};
  RSORT2(vals, partner);
  EXPECT_EQ(vals, (std::vector<float>{2, 3, 1, 0}));
  EXPECT_EQ(partner, (std::vector<float>{20, 30}));
}

TEST(Memall, BlocksAndRefusals) {
  void* p = MEMALL(4096);
  ASSERT_NE(p, nullptr);
  static_cast<char*>(p)[4095] = 1;
  MEMFRE(p);
  MEMFRE(nullptr);
  EXPECT_EQ(MEMALL(0), nullptr);
  EXPECT_EQ(MEMALL(-8), nullptr);
  EXPECT_EQ(MEMALL(std::int64_t{1} << 62), nullptr);
}

class StampTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = std::tmpfile();
    ASSERT_NE(out_, nullptr);
    unit_bind_stream(kUnitStdout, out_);
    frame_reset_for_test();
    char a0[] = "x", a1[] = "-B";
    char* argv[] = {a0, a1, nullptr};
    ZVSTART("STAMPER", "1.2.3", 2, argv);
  }
  void TearDown() override {
    unit_reset_stdio();
    frame_reset_for_test();
    std::fclose(out_);
  }
  std::FILE* out_ = nullptr;
};

TEST_F(StampTest, LayoutAndShortBufferFallback) {
  // The clock may tick between two stamps: dates are compared as a pattern.
  const std::regex date(R"([A-Z][a-z]{2} [A-Z][a-z]{2} \d{1,2} \d\d:\d\d:\d\d \d{4})");
  const auto masked = [&](const std::string& t) { return std::regex_replace(t, date, "<DATE>"); };
  std::string text;
  STAMP(text);
  EXPECT_EQ(masked(text), "Created by STAMPER V. 1.2.3 at <DATE> for " + std::string(program_user()))
      << text;

  // The free-format write needs one column more than the stamp (its leading
  // blank, and the second blank before a one-digit day that is collapsed
  // afterwards); with less the stamp falls back to the date alone.
  const std::string full = text;
  const int needed = static_cast<int>(full.size()) + 1 +
                     (DATETM().find("  ") != std::string::npos ? 1 : 0);
  STAMP(text, needed);
  EXPECT_EQ(masked(text), masked(full));
  STAMP(text, needed - 1);
  EXPECT_EQ(masked(text), "Created at <DATE>") << text;
  STAMP(text, 7);
  EXPECT_EQ(text, "Created");
}

}  // namespace
}  // namespace zv
