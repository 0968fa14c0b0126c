// prynol: window typing at and around the thresholds, type assignment with
// injected RMS distances, the single pass that forms elements, and the SSE
// element line.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/strings.h"
#include "core/units.h"
#include "elements.h"
#include "pdb_reader.h"
#include "num/lsq.h"
#include "sse_writer.h"
#include "varsto.h"
#include "text/format.h"
#include "window_rms.h"

namespace prynol {
namespace {

const float kAbove05 = std::nextafter(0.5f, 1.0f);
const float kAbove08 = std::nextafter(0.8f, 1.0f);

TEST(PrynolWindowType, ThresholdsIncludeEquality) {
  struct Case {
    float alpha, beta;
    int want;
  } cases[] = {
      {0.0f, 0.0f, kAlpha},
      {0.5f, 0.0f, kAlpha},           // exactly the helix threshold
      {0.5f, 999.99f, kAlpha},
      {kAbove05, 0.8f, kBeta},        // helix just missed, strand exactly at threshold
      {kAbove05, 0.0f, kBeta},
      {kAbove05, kAbove08, kUnassigned},
      {0.8f, 0.8f, kBeta},            // 0.8 is no helix
      {0.49f, 0.1f, kAlpha},          // helix wins when both match
      {1.0e7f, 1.0e7f, kUnassigned},  // a failed fit
      {999.99f, 999.99f, kUnassigned},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(window_type(c.alpha, c.beta), c.want) << c.alpha << " " << c.beta;
  }
}

constexpr float kNo = 5.0f;  // an RMS distance that matches neither template

struct AssignCase {
  const char* what;
  std::vector<float> alpha, beta;
  std::vector<int> want;
};

TEST(PrynolAssignTypes, LaterWindowsOverwrite) {
  const float A = 0.5f, B = 0.8f, N = kNo, X = kRmsNotDone;
  const AssignCase cases[] = {
      {"fewer than five residues: nothing assigned",
       {X, A, A, X}, {X, B, B, X}, {0, 0, 0, 0}},
      {"five residues, one helix window",
       {X, X, A, X, X}, {X, X, N, X, X}, {0, 1, 1, 1, 0}},
      {"every window matches: first and last residue stay unassigned",
       {X, X, A, A, A, X, X}, {X, X, N, N, N, X, X}, {0, 1, 1, 1, 1, 1, 0}},
      {"helix at c, strand only at c+1: c-1 stays helix, c..c+2 become strand",
       {X, X, A, kAbove05, kAbove05, X, X}, {X, X, N, B, B, X, X}, {0, 1, 2, 2, 2, 2, 0}},
      {"strand at c, helix at c+1 overwrites c..c+1",
       {X, X, N, A, N, X, X}, {X, X, B, N, N, X, X}, {0, 2, 1, 1, 1, 0, 0}},
      {"a window that matches nothing changes nothing",
       {X, X, A, N, N, N, A, X, X}, {X, X, N, N, N, N, N, X, X}, {0, 1, 1, 1, 0, 1, 1, 1, 0}},
      {"helix at c, strand at c+2: a helix run of two residues",
       {X, X, A, N, kAbove05, X, X}, {X, X, N, N, B, X, X}, {0, 1, 1, 2, 2, 2, 0}},
  };
  for (const AssignCase& c : cases) {
    std::vector<int> type(c.want.size(), kUnassigned);
    assign_types(c.alpha, c.beta, type);
    EXPECT_EQ(type, c.want) << c.what;
  }
}

struct FormCase {
  const char* what;
  std::vector<int> type;
  std::vector<Element> want;
};

[[maybe_unused]] void PrintTo(const Element& e, std::ostream* os) {
  *os << "{" << e.kind << "," << e.first << "," << e.last << "}";
}

TEST(PrynolFormElements, SinglePass) {
  const FormCase cases[] = {
      {"no residues", {}, {}},
      {"nothing typed", {0, 0, 0, 0, 0}, {}},
      {"one helix", {0, 1, 1, 1, 0}, {{kAlpha, 1, 3}}},
      {"helix then strand, interleaved in chain order",
       {0, 1, 1, 1, 2, 2, 2, 2, 0}, {{kAlpha, 1, 3}, {kBeta, 4, 7}}},
      {"an element runs to the last residue", {1, 1, 1}, {{kAlpha, 0, 2}}},
      {"an element opened at the last residue never closes", {0, 0, 2}, {}},
      {"a lone helix residue before a strand takes the strand's first residue",
       {0, 1, 2, 2, 2, 2, 0}, {{kAlpha, 1, 2}, {kBeta, 3, 5}}},
      {"the residue after the start is never compared", {0, 1, 0, 0, 0}, {{kAlpha, 1, 2}}},
      {"two residues then unassigned", {0, 2, 2, 0}, {{kBeta, 1, 2}}},
      {"two runs of one kind separated by a gap",
       {0, 1, 1, 1, 0, 1, 1, 1, 0}, {{kAlpha, 1, 3}, {kAlpha, 5, 7}}},
  };
  for (const FormCase& c : cases) {
    std::vector<Element> got;
    form_elements(c.type, got);
    EXPECT_EQ(got, c.want) << c.what;
  }
}

TEST(PrynolElementLine, Layout) {
  struct Case {
    int kind;
    const char* name;
    const char* from;
    const char* to;
    int length;
    float head[3], tail[3];
    const char* want;
  } cases[] = {
      {kAlpha, "A1", "A5", "A16", 12, {3.633f, 15.082f, 31.41f}, {-1.006f, 14.798f, 27.217f},
       "ALPHA 'A1' 'A5' 'A16' 12 3.63 15.08 31.41 -1.01 14.80 27.22"},
      {kBeta, "B1", "A20", "A24", 5, {1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f},
       "BETA  'B1' 'A20' 'A24' 5 1.00 2.00 3.00 4.00 5.00 6.00"},
      {kBeta, "B12", "1001", "1003A", 3, {-999.5f, 0.0f, -0.004f}, {9999.99f, 0.5f, 0.006f},
       "BETA  'B12' '1001' '1003A' 3 -999.50 0.00 -0.00 9999.99 0.50 0.01"},
      // A residue without label, a label holding a quote, an element longer
      // than three digits.
      {kAlpha, "A2", "", "X'1", 1234, {0, 0, 0}, {0, 0, 0},
       "ALPHA 'A2' '' 'X''1' 1234 0.00 0.00 0.00 0.00 0.00 0.00"},
      // Rounding, negative zero, the widest values of the classic fields.
      {kBeta, "B4", "A1", "A3", 3, {0.005f, -0.005f, 2.675f}, {-0.0f, 0.125f, -0.125f},
       "BETA  'B4' 'A1' 'A3' 3 0.00 -0.00 2.67 -0.00 0.12 -0.12"},
      {kBeta, "B5", "A1", "A3", 3, {99999.99f, -9999.99f, 0.015f}, {-0.015f, 9999.994f, 0.995f},
       "BETA  'B5' 'A1' 'A3' 3 99999.99 -9999.99 0.01 -0.01 9999.99 1.00"},
      // Coordinates that would fill their nine columns (and run into the
      // number before them) or overflow them are written in full.
      {kAlpha, "A3", "1", "2", 3, {1.0e6f, -12345.67f, 123456.78f}, {-99999.99f, -100000.0f, 0},
       "ALPHA 'A3' '1' '2' 3 1000000.00 -12345.67 123456.78 -99999.99 -100000.00 0.00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(element_line(c.kind, c.name, c.from, c.to, c.length, c.head, c.tail), c.want);
  }
}

// Element lines are put together field by field; they must be the record
// the format (A6,3(1X,A1,A,A1),1X,I11,6(1X,F48.2)) writes, blanks collapsed,
// for any coordinates: rounding ties, huge, tiny, negative zero, not finite.
TEST(PrynolElementLine, SameAsTheFormattedRecord) {
  auto formatted = [](int kind, std::string_view name, std::string_view from,
                      std::string_view to, int length, const float* h, const float* t) {
    const zv::FmtItem list[] = {kTypeNames[static_cast<std::size_t>(kind - 1)], "'", name, "'", "'", from, "'",
                                "'", to, "'", length, h[0], h[1], h[2], t[0], t[1], t[2]};
    std::string rec;
    EXPECT_EQ(zv::format_internal(rec, 400, "(A6,3(1X,A1,A,A1),1X,I11,6(1X,F48.2))", list), 0);
    std::string rest = rec.substr(6);
    zv::ONEBLANK(rest);
    rec.resize(6);
    rec += rest;
    rec.resize(static_cast<std::size_t>(zv::LENSTR(rec)));
    return rec;
  };
  std::vector<float> values = {0.0f, -0.0f, 0.005f, -0.005f, 0.015f, 2.675f, 0.125f, -0.125f,
                               99999.99f, -99999.99f, 1.0e6f, 3.0e38f, -3.0e38f, 1.0e-30f,
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(), 1234.5678f};
  unsigned seed = 99;
  auto rnd = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  for (int i = 0; i < 600; ++i)
    values.push_back((static_cast<float>(rnd() % 2000000) - 1000000.0f) / 100.0f);
  // Near the ties of the second decimal, and exact ties (k/8).
  for (int k = -2000; k <= 2000; ++k) {
    values.push_back(static_cast<float>(k) * 0.005f);
    values.push_back(static_cast<float>(k) / 8.0f + 1000.0f);
  }
  const char* labels[] = {"A1", "", "X'1", "1003A", "Z9999Q"};
  for (std::size_t i = 0; i + 6 <= values.size(); i += 3) {
    const float* h = &values[i];
    const float* t = &values[values.size() - 6 - i % (values.size() - 6)];
    const int kind = i % 2 ? kAlpha : kBeta;
    const int length = static_cast<int>(i * 37 % 20000);
    const char* from = labels[i % 5];
    const char* to = labels[(i / 5) % 5];
    std::string from_q, to_q;  // quotes doubled, as the writer doubles them
    for (char ch : std::string_view(from)) from_q += ch == '\'' ? "''" : std::string(1, ch);
    for (char ch : std::string_view(to)) to_q += ch == '\'' ? "''" : std::string(1, ch);
    ASSERT_EQ(element_line(kind, "B12", from, to, length, h, t),
              formatted(kind, "B12", from_q, to_q, length, h, t))
        << i;
  }
}

// The fit itself: a window that is exactly a template fits it with RMS 0,
// and does not fit the other one.
TEST(PrynolFitWindows, TemplatesFitThemselves) {
  for (const auto* tmpl : {&kAlphaTemplate, &kBetaTemplate}) {
    std::vector<float> xyz(tmpl->begin(), tmpl->end());
    std::vector<float> ra(5, kRmsNotDone), rb(5, kRmsNotDone);
    fit_windows(xyz, ra, rb);
    const bool alpha = tmpl == &kAlphaTemplate;
    EXPECT_NEAR(alpha ? ra[2] : rb[2], 0.0f, 1e-3f);
    EXPECT_GT(alpha ? rb[2] : ra[2], kBetaMaxRms);
    // Only the central residue has a window.
    for (int i : {0, 1, 3, 4}) {
      EXPECT_EQ(ra[static_cast<std::size_t>(i)], kRmsNotDone);
      EXPECT_EQ(rb[static_cast<std::size_t>(i)], kRmsNotDone);
    }
    std::vector<int> type(5, 0);
    assign_types(ra, rb, type);
    EXPECT_EQ(type, (std::vector<int>{0, alpha ? 1 : 2, alpha ? 1 : 2, alpha ? 1 : 2, 0}));
  }
}

// Every window's distances from fit_windows (double precision, LSQZQV near
// the thresholds) against LSQZQV on both templates, as the assignment is
// defined: the types must be the same, the values within 1e-4. Windows: the
// templates scaled about their centroids in small steps through both
// thresholds, a helix running into a strand, random walks, and the largest
// entry of the shared corpus when it is there.
TEST(PrynolFitWindows, TypesAreThoseOfTheSuperposition) {
  std::vector<float> xyz;
  auto scaled = [&](const std::array<float, 15>& t, float s) {
    float c[3] = {0, 0, 0};
    for (int i = 0; i < 5; ++i)
      for (int k = 0; k < 3; ++k) c[k] += t[3 * i + k] / 5.0f;
    for (int i = 0; i < 5; ++i)
      for (int k = 0; k < 3; ++k) xyz.push_back(c[k] + s * (t[3 * i + k] - c[k]));
  };
  for (int k = 0; k <= 400; ++k) {
    scaled(kAlphaTemplate, 0.8f + 0.001f * k);
    scaled(kBetaTemplate, 0.8f + 0.001f * k);
  }
  for (int i = 0; i < 40; ++i) {  // helix, then strand
    const float a = 1.745f * i;
    xyz.insert(xyz.end(), {2.3f * std::cos(a), 2.3f * std::sin(a), 1.5f * i});
  }
  for (int i = 0; i < 40; ++i) xyz.insert(xyz.end(), {3.3f * i, i % 2 ? 0.9f : -0.9f, 60.0f});
  unsigned seed = 12345;
  auto rnd = [&] { return (seed = seed * 1103515245u + 12345u) / 4294967296.0f - 0.5f; };
  float p[3] = {0, 0, 0};
  for (int i = 0; i < 3000; ++i) {
    for (float& v : p) v += 4.0f * rnd();
    xyz.insert(xyz.end(), p, p + 3);
  }
  const std::string entry = std::string(ZV_SHARED_DIR) + "/data/pdb/2ex3.pdb.gz";
  if (zv::unit_open(kUnit, entry, zv::UnitMode::Read) == 0) {
    Molecule mol;
    (void)read_pdb(kUnit, mol);
    (void)zv::unit_close(kUnit);
    xyz.insert(xyz.end(), mol.xyz.begin(), mol.xyz.end());
  }
  const std::size_t n = xyz.size() / 3;
  std::vector<float> ra(n, kRmsNotDone), rb(n, kRmsNotDone);
  fit_windows(xyz, ra, rb);
  int outcomes[3] = {0, 0, 0};
  for (std::size_t c = 2; c + 2 < n; ++c) {
    float full_a = 0, full_b = 0, rt[12];
    (void)zv::LSQZQV(kAlphaTemplate.data(), &xyz[3 * (c - 2)], 5, full_a, rt);
    (void)zv::LSQZQV(kBetaTemplate.data(), &xyz[3 * (c - 2)], 5, full_b, rt);
    const int want = window_type(full_a, full_b);
    ++outcomes[want];
    ASSERT_EQ(window_type(ra[c], rb[c]), want) << "window " << c << ": " << full_a << " "
                                              << full_b << " / " << ra[c] << " " << rb[c];
    // A distance well past its threshold need only be stored past it.
    auto expect_fit = [c](float stored, float full, float threshold) {
      if (full > threshold + 3 * kExactMargin)
        EXPECT_GT(stored, threshold + kExactMargin) << "window " << c;
      else
        EXPECT_NEAR(stored, full, 1e-4f * (1.0f + full)) << "window " << c;
    };
    expect_fit(ra[c], full_a, kAlphaMaxRms);
    if (want == kAlpha) {
      // The strand fit of a helical window is left undone: it could not
      // have mattered, the window being far from the strand.
      EXPECT_EQ(rb[c], kRmsNotDone) << "window " << c;
      EXPECT_GT(full_b, kBetaMaxRms + 1.0f) << "window " << c;
    } else {
      expect_fit(rb[c], full_b, kBetaMaxRms);
    }
  }
  EXPECT_GT(outcomes[kUnassigned], 100);
  EXPECT_GT(outcomes[kAlpha], 100);
  EXPECT_GT(outcomes[kBeta], 100);
}

// Windows that no superposition can fit: the fit falls back to LSQZQV, whose
// failure or huge value matches nothing.
TEST(PrynolFitWindows, NonFiniteCoordinatesMatchNothing) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float bad : {inf, -inf, nan, 3.0e38f}) {
    std::vector<float> xyz(kAlphaTemplate.begin(), kAlphaTemplate.end());
    xyz[7] = bad;
    std::vector<float> ra(5, kRmsNotDone), rb(5, kRmsNotDone);
    fit_windows(xyz, ra, rb);
    EXPECT_EQ(window_type(ra[2], rb[2]), kUnassigned) << bad;
  }
}

// A rigid motion of the window does not change its RMS distances.
TEST(PrynolFitWindows, RigidMotionInvariant) {
  std::vector<float> xyz(kBetaTemplate.begin(), kBetaTemplate.end());
  std::vector<float> moved(15);
  const float c = std::cos(1.0f), s = std::sin(1.0f);
  for (int i = 0; i < 5; ++i) {
    const float x = xyz[3 * i], y = xyz[3 * i + 1], z = xyz[3 * i + 2];
    moved[3 * i] = c * x - s * y + 10.0f;
    moved[3 * i + 1] = s * x + c * y - 7.0f;
    moved[3 * i + 2] = z + 3.0f;
  }
  std::vector<float> ra1(5), rb1(5), ra2(5), rb2(5);
  fit_windows(xyz, ra1, rb1);
  fit_windows(moved, ra2, rb2);
  EXPECT_NEAR(ra1[2], ra2[2], 1e-3f);
  EXPECT_NEAR(rb1[2], rb2[2], 1e-3f);
}

}  // namespace
}  // namespace prynol
