// prynol's VARSTO assignment against the assignment done the plain way: for
// every window, in ascending order, LSQZQV on the helix template and then on
// the strand template, with everything those calls print on unit 6. The
// program computes most distances another way, so this checks that it prints
// the same lines in the same order and gives every residue the same type, on
// real entries and on windows made to be awkward: exact and moved copies of
// the templates, fits right at the thresholds, coincident and collinear
// points, huge and non-finite coordinates.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/units.h"
#include "core_session.h"
#include "num/lsq.h"
#include "pdb_reader.h"
#include "varsto.h"

namespace prynol {
namespace {

struct Outcome {
  std::string printed;
  std::vector<int> window_types;  // type each window gives (0 when none)
  std::vector<int> type;
};

// The assignment as described: two LSQZQV calls per window, alpha first.
Outcome plain_assignment(const std::vector<float>& xyz) {
  zvtest::Session session("");
  const int n = static_cast<int>(xyz.size() / 3);
  Outcome out;
  out.type.assign(static_cast<std::size_t>(n), kUnassigned);
  for (int c = 2; c < n - 2; ++c) {
    const float* window = &xyz[3 * static_cast<std::size_t>(c - 2)];
    float rms_a = 0, rms_b = 0, rt[12];
    (void)zv::LSQZQV(kAlphaTemplate.data(), window, 5, rms_a, rt);
    (void)zv::LSQZQV(kBetaTemplate.data(), window, 5, rms_b, rt);
    int t = kUnassigned;
    if (rms_a <= 0.5f) {
      t = kAlpha;
    } else if (rms_b <= 0.8f) {
      t = kBeta;
    }
    out.window_types.push_back(t);
    if (t != kUnassigned)
      for (int i = c - 1; i <= c + 1; ++i) out.type[static_cast<std::size_t>(i)] = t;
  }
  out.printed = session.out();
  return out;
}

Outcome program_assignment(const std::vector<float>& xyz) {
  zvtest::Session session("");
  Molecule mol;
  for (std::size_t i = 0; i + 2 < xyz.size(); i += 3) mol.add("X", &xyz[i]);
  varsto(mol);
  Outcome out;
  for (int c = 2; c < mol.size() - 2; ++c) {
    const auto at = static_cast<std::size_t>(c);
    out.window_types.push_back(window_type(mol.rms_alpha[at], mol.rms_beta[at]));
  }
  out.type = mol.type;
  out.printed = session.out();
  return out;
}

// Runs both on the chain and compares; returns the plain outcome.
Outcome expect_same(const std::vector<float>& xyz, const std::string& what) {
  const Outcome want = plain_assignment(xyz);
  const Outcome got = program_assignment(xyz);
  EXPECT_EQ(got.printed, want.printed) << what;
  EXPECT_EQ(got.type, want.type) << what;
  EXPECT_EQ(got.window_types.size(), want.window_types.size()) << what;
  for (std::size_t w = 0; w < want.window_types.size() && w < got.window_types.size(); ++w) {
    if (got.window_types[w] != want.window_types[w]) {
      ADD_FAILURE() << what << ": window centred on residue " << w + 3 << " gives "
                    << got.window_types[w] << " instead of " << want.window_types[w];
      break;
    }
  }
  return want;
}

using Window = std::array<float, 15>;

std::vector<float> chain_of(std::initializer_list<Window> windows) {
  std::vector<float> xyz;
  for (const Window& w : windows) xyz.insert(xyz.end(), w.begin(), w.end());
  return xyz;
}

// The template turned by the unit quaternion (q0, q1, q2, q3) about its first
// atom and moved by t, computed in double and stored as single precision.
Window moved(const Window& tmpl, const double q[4], const double t[3]) {
  const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  const double a = q[0] / n, b = q[1] / n, c = q[2] / n, d = q[3] / n;
  const double r[3][3] = {
      {a * a + b * b - c * c - d * d, 2 * (b * c - a * d), 2 * (b * d + a * c)},
      {2 * (b * c + a * d), a * a - b * b + c * c - d * d, 2 * (c * d - a * b)},
      {2 * (b * d - a * c), 2 * (c * d + a * b), a * a - b * b - c * c + d * d}};
  Window w{};
  for (int i = 0; i < 5; ++i) {
    double p[3];
    for (int k = 0; k < 3; ++k) p[k] = double(tmpl[3 * i + k]) - double(tmpl[k]);
    for (int k = 0; k < 3; ++k)
      w[3 * i + k] = static_cast<float>(r[k][0] * p[0] + r[k][1] * p[1] + r[k][2] * p[2] + t[k]);
  }
  return w;
}

// The template scaled by s about its centroid.
Window scaled(const Window& tmpl, double s) {
  double c[3] = {0, 0, 0};
  for (int i = 0; i < 5; ++i)
    for (int k = 0; k < 3; ++k) c[k] += tmpl[3 * i + k] / 5.0;
  Window w{};
  for (int i = 0; i < 5; ++i)
    for (int k = 0; k < 3; ++k)
      w[3 * i + k] = static_cast<float>(c[k] + s * (double(tmpl[3 * i + k]) - c[k]));
  return w;
}

float plain_rms(const float* tmpl, const Window& w) {
  zvtest::Session quiet("");
  float rms = 0, rt[12];
  (void)zv::LSQZQV(tmpl, w.data(), 5, rms, rt);
  return rms;
}

TEST(PrynolPlainAssignment, RealEntries) {
  // Multi-chain, NMR models, alternate locations, insertion codes, HETATM
  // CA atoms, calcium, no header, and the largest entries of the corpus.
  const char* entries[] = {"1ubq", "1bus", "1eph", "1lcd", "1a52", "1atg", "1aye", "1bju",
                           "1am7", "1av2", "1b2v", "1a4z", "2ex3", "3rwr", "1kyo", "107l"};
  std::size_t windows = 0;
  int read = 0;
  for (const char* id : entries) {
    const std::string path = std::string(ZV_SHARED_DIR) + "/data/pdb/" + id + ".pdb.gz";
    if (zv::unit_open(kUnit, path, zv::UnitMode::Read) != 0) continue;
    Molecule mol;
    (void)read_pdb(kUnit, mol);
    (void)zv::unit_close(kUnit);
    ++read;
    windows += expect_same(mol.xyz, id).window_types.size();
  }
  if (read == 0) GTEST_SKIP() << "shared PDB entries not found";
  EXPECT_GT(windows, 15000u);
}

TEST(PrynolPlainAssignment, CopiesOfTheTemplates) {
  const double quats[][4] = {{1, 0, 0, 0},   {0, 1, 0, 0},     {0.5, 0.5, 0.5, 0.5},
                             {0.3, -0.2, 0.9, 0.1}, {0.01, 0.7, -0.7, 0.1}, {0.7, 0, 0, 0.7}};
  const double shifts[][3] = {{0, 0, 0},           {3.633, 15.082, 31.41}, {-12.5, 40.25, 7},
                              {1000, -2000, 500},  {9999.99, 9999.99, 9999.99},
                              {-9999.99, 5000, -9999.99}, {0.004, -0.003, 0.002}};
  int warnings = 0;
  auto count = [&](const Outcome& o) {
    for (std::size_t at = 0; (at = o.printed.find("Reset negative RMSD", at)) != std::string::npos;
         ++at)
      ++warnings;
  };
  for (const Window* tmpl : {&kAlphaTemplate, &kBetaTemplate}) {
    // The template itself, alone and followed by the other one.
    count(expect_same(chain_of({*tmpl}), "template"));
    count(expect_same(chain_of({kAlphaTemplate, kBetaTemplate, kAlphaTemplate}), "both"));
    for (const auto& q : quats)
      for (const auto& t : shifts) {
        const Window w = moved(*tmpl, q, t);
        count(expect_same(chain_of({w}), "moved template"));
        count(expect_same(chain_of({w, w}), "moved template twice"));
      }
  }
  // Near-perfect fits do come out negative in single precision now and then.
  EXPECT_GT(warnings, 0);
}

// Windows whose plain fit lies at the thresholds: the scale of the template
// is found where LSQZQV's value passes 0.5 (helix) or 0.8 (strand), and the
// windows around it differ from each other by a few units of the last place.
TEST(PrynolPlainAssignment, FitsAtTheThresholds) {
  struct Target {
    const Window* tmpl;
    const float* fit_on;
    float threshold;
  } targets[] = {
      {&kAlphaTemplate, kAlphaTemplate.data(), 0.5f},
      {&kBetaTemplate, kBetaTemplate.data(), 0.8f},
      // The strand shrunk until its strand fit reaches 0.8 while its helix fit
      // is worse than 0.5, and the helix stretched to the strand threshold.
      {&kAlphaTemplate, kBetaTemplate.data(), 0.8f},
  };
  int searched = 0;
  for (const Target& t : targets) {
    for (double dir : {1.0, -1.0}) {
      double lo = 1.0, hi = 1.0 + dir * 0.5;  // rms(lo) below, rms(hi) above
      if (plain_rms(t.fit_on, scaled(*t.tmpl, hi)) <= t.threshold) continue;
      if (plain_rms(t.fit_on, scaled(*t.tmpl, lo)) > t.threshold) {
        lo = 0.0;
        hi = dir > 0 ? 1.0 : 3.0;
        if (plain_rms(t.fit_on, scaled(*t.tmpl, lo)) > t.threshold) continue;
      }
      for (int k = 0; k < 60; ++k) {
        const double mid = 0.5 * (lo + hi);
        (plain_rms(t.fit_on, scaled(*t.tmpl, mid)) <= t.threshold ? lo : hi) = mid;
      }
      std::vector<float> chain;
      int within = 0, beyond = 0;
      for (int k = -40; k <= 40; ++k) {
        const Window w = scaled(*t.tmpl, lo + k * 2e-8);
        (plain_rms(t.fit_on, w) <= t.threshold ? within : beyond) += 1;
        chain.insert(chain.end(), w.begin(), w.end());
        expect_same(chain_of({w}), "window at the threshold");
      }
      expect_same(chain, "windows at the threshold in a row");
      // The windows lie on both sides of the threshold.
      EXPECT_GT(within, 0) << t.threshold;
      EXPECT_GT(beyond, 0) << t.threshold;
      ++searched;
    }
  }
  EXPECT_GE(searched, 4);
}

TEST(PrynolPlainAssignment, DegenerateWindows) {
  auto same_point = [](float x, float y, float z) {
    return Window{x, y, z, x, y, z, x, y, z, x, y, z, x, y, z};
  };
  auto line = [](float x, float y, float z, float dx, float dy, float dz) {
    Window w{};
    for (int i = 0; i < 5; ++i) {
      w[3 * i] = x + i * dx;
      w[3 * i + 1] = y + i * dy;
      w[3 * i + 2] = z + i * dz;
    }
    return w;
  };
  Window two_equal = kAlphaTemplate;
  for (int k = 0; k < 3; ++k) two_equal[6 + k] = two_equal[3 + k];
  Window strand_two_equal = kBetaTemplate;
  for (int k = 0; k < 3; ++k) strand_two_equal[12 + k] = strand_two_equal[9 + k];
  Window planar = kAlphaTemplate;
  for (int i = 0; i < 5; ++i) planar[3 * i + 2] = 0.0f;
  const std::pair<const char*, Window> cases[] = {
      {"five points at the origin", same_point(0, 0, 0)},
      {"five equal points", same_point(3.633f, 15.082f, 31.41f)},
      {"five equal points far out", same_point(9999.99f, -9999.99f, 9999.99f)},
      {"five equal points, largest readable", same_point(999999.99f, 999999.99f, -99999.99f)},
      {"collinear along x, 3.8 apart", line(0, 0, 0, 3.8f, 0, 0)},
      {"collinear on a diagonal", line(1, 2, 3, 2.2f, 2.2f, 2.2f)},
      {"collinear, 1.5 apart (helix rise)", line(0, 0, 0, 0, 0, 1.5f)},
      {"collinear, 3.3 apart (strand rise)", line(-5, 7, 2, 0, 3.3f, 0)},
      {"collinear far out", line(9999.99f, 9999.99f, 9999.99f, -3.8f, 0, 0)},
      {"collinear, huge steps", line(-9999.99f, -9999.99f, -9999.99f, 4999.99f, 4999.99f, 0)},
      {"two equal points in a helix", two_equal},
      {"two equal points in a strand", strand_two_equal},
      {"helix flattened", planar},
      {"corners of the coordinate range",
       {9999.99f, 9999.99f, 9999.99f, -9999.99f, -9999.99f, -9999.99f, 9999.99f, -9999.99f,
        9999.99f, -9999.99f, 9999.99f, -9999.99f, 9999.99f, 9999.99f, -9999.99f}},
      {"tiny values", {1e-30f, 0, 0, 0, 1e-30f, 0, 0, 0, 1e-30f, 1e-38f, 1e-40f, 0, 0, 0, 0}},
  };
  for (const auto& [what, w] : cases) {
    expect_same(chain_of({w}), what);
    expect_same(chain_of({kAlphaTemplate, w, kBetaTemplate}), std::string(what) + " in a chain");
  }
}

TEST(PrynolPlainAssignment, HugeAndNonFiniteCoordinates) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float values[] = {nan, inf, -inf, 3.0e38f, -3.4e38f, 1.0e38f, 1.0e30f, 1.0e20f,
                          1.0e19f, 1.0e18f, 1.0e15f, 1.0e12f, 1.0e9f, 1.0e8f, 99999999.0f,
                          999999.99f, 9999.99f, -9999.99f, 1.0e-40f, -0.0f};
  for (const Window* tmpl : {&kAlphaTemplate, &kBetaTemplate}) {
    for (float v : values) {
      for (int at : {0, 7, 14}) {
        Window w = *tmpl;
        w[static_cast<std::size_t>(at)] = v;
        const std::string what = "coordinate " + std::to_string(at) + " = " + std::to_string(v);
        expect_same(chain_of({w}), what);
        expect_same(chain_of({*tmpl, w, *tmpl}), what + " in a chain");
      }
      Window all;
      all.fill(v);
      expect_same(chain_of({all}), "every coordinate = " + std::to_string(v));
    }
  }
  // Random windows over the whole range F8.2 columns can hold.
  unsigned seed = 4711;
  auto rnd = [&] { return (seed = seed * 1103515245u + 12345u) / 4294967296.0; };
  std::vector<float> chain;
  for (int i = 0; i < 3000; ++i) {
    const double scale = i % 3 == 0 ? 9999.99 : i % 3 == 1 ? 99.99 : 999999.99;
    chain.push_back(static_cast<float>(std::round((2 * rnd() - 1) * scale * 100) / 100));
  }
  expect_same(chain, "random coordinates");
}


// The templates with noise of every size from a thousandth of an Angstrom to
// two, moved about: near-perfect fits, fits at both thresholds and misses.
TEST(PrynolPlainAssignment, NoisyTemplates) {
  unsigned seed = 2024;
  auto rnd = [&] { return (seed = seed * 1103515245u + 12345u) / 4294967296.0 - 0.5; };
  std::vector<float> chain;
  for (int k = 0; k < 6000; ++k) {
    const Window& tmpl = k % 2 ? kBetaTemplate : kAlphaTemplate;
    const double noise = 0.001 * std::pow(2000.0, (k % 100) / 99.0);
    const double q[4] = {rnd(), rnd(), rnd(), rnd()};
    const double t[3] = {200 * rnd(), 200 * rnd(), 200 * rnd()};
    Window w = moved(tmpl, q, t);
    for (float& v : w) v += static_cast<float>(noise * rnd());
    chain.insert(chain.end(), w.begin(), w.end());
  }
  const Outcome plain = expect_same(chain, "noisy templates");
  int counts[3] = {0, 0, 0};
  for (int t : plain.window_types) ++counts[t];
  EXPECT_GT(counts[kAlpha], 1000);
  EXPECT_GT(counts[kBeta], 1000);
  EXPECT_GT(counts[kUnassigned], 1000);
}

}  // namespace
}  // namespace prynol
