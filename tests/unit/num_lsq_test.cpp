// Least-squares superposition: LSQZQV against an independent SVD fit (Kabsch,
// in double precision with Eigen), the failure rules, and the Jacobi solver.
#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <Eigen/SVD>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/dialogue.h"
#include "core_session.h"
#include "num/lsq.h"

using zvtest::Session;

namespace {

using Points = std::vector<float>;

Eigen::Vector3d point(const Points& xyz, int i) {
  return {double(xyz[3 * i]), double(xyz[3 * i + 1]), double(xyz[3 * i + 2])};
}

// The reference fit: moves `moving` onto `target` by the SVD of the
// covariance of the centred sets, with the reflection case turned into a
// proper rotation. Its RMSD is measured by applying the fit.
struct ReferenceFit {
  Eigen::Matrix3d r;
  Eigen::Vector3d t;
  double rms = 0;
};

ReferenceFit kabsch(const Points& target, const Points& moving, int n) {
  Eigen::Vector3d ct = Eigen::Vector3d::Zero(), cm = Eigen::Vector3d::Zero();
  for (int i = 0; i < n; ++i) {
    ct += point(target, i);
    cm += point(moving, i);
  }
  ct /= n;
  cm /= n;
  Eigen::Matrix3d h = Eigen::Matrix3d::Zero();
  for (int i = 0; i < n; ++i) h += (point(moving, i) - cm) * (point(target, i) - ct).transpose();
  Eigen::JacobiSVD<Eigen::Matrix3d> svd(h, Eigen::ComputeFullU | Eigen::ComputeFullV);
  Eigen::Matrix3d fix = Eigen::Matrix3d::Identity();
  fix(2, 2) = (svd.matrixV() * svd.matrixU().transpose()).determinant() < 0 ? -1.0 : 1.0;
  ReferenceFit fit;
  fit.r = svd.matrixV() * fix * svd.matrixU().transpose();
  fit.t = ct - fit.r * cm;
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += (fit.r * point(moving, i) + fit.t - point(target, i)).squaredNorm();
  fit.rms = std::sqrt(sum / n);
  return fit;
}

Eigen::Matrix3d rotation_of(const float* rt) {
  Eigen::Matrix3d u;
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i) u(i, j) = rt[i + 3 * j];
  return u;
}

// RMSD between target and the operator rt applied (in double) to moving.
double applied_rms(const float* rt, const Points& target, const Points& moving, int n) {
  const Eigen::Matrix3d u = rotation_of(rt);
  const Eigen::Vector3d t(rt[9], rt[10], rt[11]);
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += (u * point(moving, i) + t - point(target, i)).squaredNorm();
  return std::sqrt(sum / n);
}

// Random point-set pairs of the shapes that stress a superposition.
enum class Shape { kCloud, kPlanar, kNearlyCollinear, kUnrelated };

struct Pair {
  Points xyz1, xyz2;  // xyz2 is xyz1 moved (and perturbed), or unrelated
  double extent = 0;  // largest absolute coordinate
};

Pair make_pair(std::mt19937& rng, Shape shape, int n, double spread, double offset, double noise) {
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::normal_distribution<double> gauss(0.0, 1.0);
  const Eigen::Matrix3d r = Eigen::Quaterniond(Eigen::Vector4d::Random().normalized()).toRotationMatrix();
  const Eigen::Vector3d centre1(offset * unit(rng), offset * unit(rng), offset * unit(rng));
  const Eigen::Vector3d centre2(offset * unit(rng), offset * unit(rng), offset * unit(rng));
  const Eigen::Matrix3d orient = Eigen::Quaterniond(Eigen::Vector4d::Random().normalized()).toRotationMatrix();
  Pair p;
  for (int i = 0; i < n; ++i) {
    Eigen::Vector3d local(spread * unit(rng), spread * unit(rng), spread * unit(rng));
    if (shape == Shape::kPlanar) local.z() = 0;
    if (shape == Shape::kNearlyCollinear) local = Eigen::Vector3d(local.x(), 1e-3 * unit(rng), 1e-3 * unit(rng));
    const Eigen::Vector3d a = centre1 + orient * local;
    Eigen::Vector3d b = centre2 + r * (orient * local) +
                        noise * Eigen::Vector3d(gauss(rng), gauss(rng), gauss(rng));
    if (shape == Shape::kUnrelated)
      b = centre2 + Eigen::Vector3d(spread * unit(rng), spread * unit(rng), spread * unit(rng));
    for (int k = 0; k < 3; ++k) {
      p.xyz1.push_back(float(a[k]));
      p.xyz2.push_back(float(b[k]));
      p.extent = std::max({p.extent, std::fabs(a[k]), std::fabs(b[k])});
    }
  }
  return p;
}

// Mean squared distance of the points of both sets from their centroids: the
// scale of the 4x4 matrix (its trace is 4 n S), and so of the rounding error
// of its single-precision eigenvalues.
double spread_scale(const Points& xyz1, const Points& xyz2, int n) {
  Eigen::Vector3d c1 = Eigen::Vector3d::Zero(), c2 = Eigen::Vector3d::Zero();
  for (int i = 0; i < n; ++i) {
    c1 += point(xyz1, i);
    c2 += point(xyz2, i);
  }
  c1 /= n;
  c2 /= n;
  double s = 0;
  for (int i = 0; i < n; ++i) s += (point(xyz1, i) - c1).squaredNorm() + (point(xyz2, i) - c2).squaredNorm();
  return s / n;
}

constexpr double kFloatEps = 0x1p-24;  // unit round-off of single precision

// Thousands of random pairs, n = 3 to 1000, of every shape, near the origin
// and far out in the coordinate range (up to +-9999), exact and noisy.
//
// The eigenvalue (the residual) comes from a single-precision matrix, so the
// squared RMSD carries an error of a few units of round-off times S (the mean
// squared distance from the centroids): measured up to 3.7 u S over these
// sets, and allowed 8 u S. For a protein-sized set (+-25 A) anywhere in the
// coordinate range that is 6e-4 A^2, i.e. at most 0.025 A on a perfect fit;
// for sets spanning +-9999 A it is several Angstrom. Where the RMSD is large
// against that error (at least 130 sqrt(u S)), the RMSDs agree within 1e-4
// relative or 1e-4 A absolute.
TEST(Lsqzqv, AgreesWithSvdFit) {
  Session session("");
  std::mt19937 rng(20240611u);
  const int sizes[] = {3, 4, 5, 6, 7, 10, 13, 20, 50, 100, 333, 1000};
  const Shape shapes[] = {Shape::kCloud, Shape::kPlanar, Shape::kNearlyCollinear, Shape::kUnrelated};
  const double noises[] = {0.0, 0.01, 0.3, 2.0};
  struct Placement {
    double spread, offset;
  };
  const Placement placements[] = {{20, 0}, {25, 9950}, {9999, 0}};
  int cases = 0;
  int close_cases = 0;
  for (int rep = 0; rep < 6; ++rep) {
    for (int n : sizes) {
      for (Shape shape : shapes) {
        for (double noise : noises) {
          for (const Placement& pl : placements) {
            if (n >= 333 && rep > 0) continue;  // the large sets once
            const Pair p = make_pair(rng, shape, n, pl.spread, pl.offset, noise);
            const std::string where = "n=" + std::to_string(n) + " shape=" + std::to_string(int(shape)) +
                                      " noise=" + std::to_string(noise) + " spread=" + std::to_string(pl.spread) +
                                      " offset=" + std::to_string(pl.offset);
            float rms = -1;
            float rt[12];
            ASSERT_EQ(zv::LSQZQV(p.xyz1.data(), p.xyz2.data(), n, rms, rt), 0) << where;
            const ReferenceFit ref = kabsch(p.xyz1, p.xyz2, n);
            const double err2 = 8 * kFloatEps * spread_scale(p.xyz1, p.xyz2, n);
            EXPECT_LE(std::fabs(double(rms) * rms - ref.rms * ref.rms), err2)
                << where << " ref " << ref.rms << " got " << rms;
            if (ref.rms >= 130 * std::sqrt(err2 / 8)) {
              EXPECT_LE(std::fabs(rms - ref.rms), std::max(1e-4 * ref.rms, 1e-4))
                  << where << " ref " << ref.rms << " got " << rms;
              ++close_cases;
            }

            const Eigen::Matrix3d u = rotation_of(rt);
            EXPECT_NEAR(u.determinant(), 1.0, 1e-5) << where;
            EXPECT_LE((u.transpose() * u - Eigen::Matrix3d::Identity()).cwiseAbs().maxCoeff(), 1e-5)
                << where;
            const double applied = applied_rms(rt, p.xyz1, p.xyz2, n);
            EXPECT_LE(applied * applied, ref.rms * ref.rms + err2) << where << " ref " << ref.rms;
            ++cases;
          }
        }
      }
    }
  }
  EXPECT_GE(cases, 2000);
  EXPECT_GE(close_cases, 1000);
}

// A fixed set of five points and the same set turned by 90 degrees about z
// and shifted by (1, 2, 3).
struct TurnedSet {
  Points xyz2 = {0, 0, 0, 1, 0, 0, 0, 2, 0, 1, 1, 5, -3, 4, 2};
  Points xyz1;
  TurnedSet() {
    for (std::size_t i = 0; i < xyz2.size(); i += 3) {
      xyz1.push_back(-xyz2[i + 1] + 1);
      xyz1.push_back(xyz2[i] + 2);
      xyz1.push_back(xyz2[i + 2] + 3);
    }
  }
  int n() const { return int(xyz2.size() / 3); }
};

TEST(Lsqzqv, IdenticalSetsGiveIdentity) {
  std::mt19937 rng(7u);
  struct Case {
    const char* name;
    int n;
    double spread, offset;
    bool planar;
  };
  const Case cases[] = {
      {"three points", 3, 10, 0, false},
      {"planar", 4, 10, 0, true},
      {"cloud", 12, 20, 0, false},
      {"far out", 40, 25, 9950, false},
  };
  for (const Case& c : cases) {
    Session session("");
    const Pair p = make_pair(rng, c.planar ? Shape::kPlanar : Shape::kCloud, c.n, c.spread, c.offset, 0);
    float rms = -1;
    float rt[12];
    ASSERT_EQ(zv::LSQZQV(p.xyz1.data(), p.xyz1.data(), c.n, rms, rt), 0) << c.name;
    EXPECT_EQ(rms, 0.0f) << c.name;
    const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(rt[i], identity[i]) << c.name << " element " << i;
    EXPECT_EQ(session.out(), "") << c.name;
  }
}

TEST(Lsqzqv, QuarterTurnPlusShift) {
  Session session("");
  const TurnedSet s;
  float rms = -1;
  float rt[12];
  ASSERT_EQ(zv::LSQZQV(s.xyz1.data(), s.xyz2.data(), s.n(), rms, rt), 0);
  EXPECT_LE(rms, 1e-3f);
  const float expected[12] = {0, 1, 0, -1, 0, 0, 0, 0, 1, 1, 2, 3};
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(rt[i], expected[i], 1e-5) << "element " << i;
  EXPECT_LE(applied_rms(rt, s.xyz1, s.xyz2, s.n()), 1e-5);
}

// On any failure rms is 10000000.0 and rt repeats the last successful fit (or
// the identity before the first one); the message names the cause.
TEST(Lsqzqv, FailuresKeepTheLastOperator) {
  const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  const std::string not_enough = " ERROR --- LSQZQV - Not enough atoms for least squares fit\n";
  const std::string no_fit =
      " ERROR --- Too many iterations in JACOBI\n"
      " ERROR --- In JACOBI - cannot superimpose coordinates\n"
      " ERROR --- In LSQZQV/U3QION\n";
  const TurnedSet turned;
  Points with_nan = turned.xyz1;
  with_nan[4] = std::nanf("");
  Points with_inf = turned.xyz2;
  with_inf[0] = INFINITY;

  zv::lsq_reset_operator();
  float rms = 0;
  float rt[12];
  {
    Session session("");
    EXPECT_EQ(zv::LSQZQV(turned.xyz1.data(), turned.xyz2.data(), 2, rms, rt), -1);
    EXPECT_EQ(rms, 10000000.0f);
    EXPECT_EQ(std::memcmp(rt, identity, sizeof rt), 0);
    EXPECT_EQ(session.out(), not_enough);
  }
  float good[12];
  {
    Session session("");
    ASSERT_EQ(zv::LSQZQV(turned.xyz1.data(), turned.xyz2.data(), turned.n(), rms, good), 0);
  }
  struct Case {
    const char* name;
    const Points* xyz1;
    const Points* xyz2;
    int n;
    int ierr;
    std::string out;
  };
  const Case cases[] = {
      {"two points", &turned.xyz1, &turned.xyz2, 2, -1, not_enough},
      {"no points", &turned.xyz1, &turned.xyz2, 0, -1, not_enough},
      {"negative count", &turned.xyz1, &turned.xyz2, -4, -1, not_enough},
      {"NaN coordinate", &with_nan, &turned.xyz2, turned.n(), -2, no_fit},
      {"infinite coordinate", &turned.xyz1, &with_inf, turned.n(), -2, no_fit},
  };
  for (const Case& c : cases) {
    Session session("");
    rms = 0;
    std::fill(rt, rt + 12, -1.0f);
    EXPECT_EQ(zv::LSQZQV(c.xyz1->data(), c.xyz2->data(), c.n, rms, rt), c.ierr) << c.name;
    EXPECT_EQ(rms, 10000000.0f) << c.name;
    EXPECT_EQ(std::memcmp(rt, good, sizeof rt), 0) << c.name;
    EXPECT_EQ(session.out(), c.out) << c.name;
  }

  // The span form refuses counts beyond the coordinates given.
  Session session("");
  std::array<float, 12> rts;
  EXPECT_EQ(zv::LSQZQV(std::span<const float>(turned.xyz1).first(9), turned.xyz2, 4, rms, rts), -1);
  EXPECT_EQ(rms, 10000000.0f);
  EXPECT_EQ(std::memcmp(rts.data(), good, sizeof good), 0);
  EXPECT_EQ(session.out(), " ERROR --- LSQZQV - Fewer coordinates than atoms\n");
  EXPECT_EQ(zv::LSQZQV(turned.xyz1, turned.xyz2, turned.n(), rms, rts), 0);
}

// A perfect fit whose residual rounds slightly negative: the warning shows the
// value, and rms is 0.
TEST(Lsqzqv, NegativeResidualIsReset) {
  const Points xyz2 = {0, 0, 0, 1, 0, 0, 0, 2, 0, 1, 1, 5};
  Points xyz1;
  for (std::size_t i = 0; i < xyz2.size(); i += 3)
    xyz1.insert(xyz1.end(), {-xyz2[i + 1] + 1, xyz2[i] + 2, xyz2[i + 2] + 3});
  float e = 0, u[9], t[3];
  Session session("");
  ASSERT_EQ(zv::U3QION(xyz2.data(), xyz1.data(), 4, 1, e, u, t), 0);
  ASSERT_LT(e, 0.0f);
  EXPECT_EQ(session.out(), "");
  (void)zv::rvaluo(" WARNING - Reset negative RMSD in LSQZQV :", e);
  const std::string warning = session.out();
  ASSERT_NE(warning.find("WARNING - Reset negative RMSD in LSQZQV :"), std::string::npos);

  float rms = -1, rt[12];
  EXPECT_EQ(zv::LSQZQV(xyz1.data(), xyz2.data(), 4, rms, rt), 0);
  EXPECT_EQ(rms, 0.0f);
  EXPECT_EQ(session.out(), warning + warning);
}

// e is the residual sum of squared distances between y and u x + t.
TEST(U3qion, ResidualIsSumOfSquaredDistances) {
  Session session("");
  std::mt19937 rng(99u);
  const int sizes[] = {3, 5, 8, 30, 200};
  const double noises[] = {0.05, 0.5, 3.0};
  for (int n : sizes) {
    for (double noise : noises) {
      const Pair p = make_pair(rng, Shape::kCloud, n, 20, 100, noise);
      float e = 0, u[9], t[3];
      ASSERT_EQ(zv::U3QION(p.xyz2.data(), p.xyz1.data(), n, 1, e, u, t), 0);
      double sum = 0;
      for (int i = 0; i < n; ++i) {
        for (int r = 0; r < 3; ++r) {
          double yi = t[r];
          for (int c = 0; c < 3; ++c) yi += double(u[r + 3 * c]) * p.xyz2[3 * i + c];
          sum += (yi - p.xyz1[3 * i + r]) * (yi - p.xyz1[3 * i + r]);
        }
      }
      EXPECT_NEAR(e, sum, 8 * kFloatEps * n * spread_scale(p.xyz1, p.xyz2, n)) << n << " " << noise;
      EXPECT_NEAR(e, n * std::pow(kabsch(p.xyz1, p.xyz2, n).rms, 2),
                  8 * kFloatEps * n * spread_scale(p.xyz1, p.xyz2, n));
    }
  }
}

// Refusals leave e, u and t as they were.
TEST(U3qion, Refusals) {
  const TurnedSet s;
  struct Case {
    int mode, n;
    std::string out;
  };
  const Case cases[] = {
      {0, s.n(), " ERROR --- U3QION - MODE = 0 not implemented\n"},
      {2, s.n(), " ERROR --- U3QION - MODE = 0 not implemented\n"},
      {-1, s.n(), " ERROR --- U3QION - MODE = 0 not implemented\n"},
      {1, 0, " ERROR --- U3QION - No points to superimpose\n"},
  };
  for (const Case& c : cases) {
    Session session("");
    float e = 42, u[9], t[3];
    std::fill(u, u + 9, 7.0f);
    std::fill(t, t + 3, 8.0f);
    EXPECT_EQ(zv::U3QION(s.xyz2.data(), s.xyz1.data(), c.n, c.mode, e, u, t), -1) << c.mode;
    EXPECT_EQ(e, 42.0f);
    EXPECT_EQ(u[0], 7.0f);
    EXPECT_EQ(t[2], 8.0f);
    EXPECT_EQ(session.out(), c.out) << c.mode << " " << c.n;
  }
}

// Identical sets on one axis give a matrix that is already diagonal with
// tied eigenvalues, so the descending sort alone decides which eigenvector
// becomes the rotation: of equal values the later one moves forward.
TEST(U3qion, TieRuleOfTheEigenvalueOrder) {
  struct Case {
    const char* axis;
    int k;
    float diagonal[3];
  };
  const Case cases[] = {
      {"x", 0, {1, -1, -1}},  // eigenvalues 0 0 A A: quaternion (0,1,0,0)
      {"y", 1, {-1, 1, -1}},  // 0 B 0 B: (0,0,1,0); an earlier-first rule gives the identity
      {"z", 2, {1, 1, 1}},    // 0 C C 0: (1,0,0,0); an earlier-first rule gives (0,0,0,1)
  };
  for (const Case& c : cases) {
    Points xyz(12, 0.0f);
    const float along[4] = {1, 2, 4, 7};
    for (int i = 0; i < 4; ++i) xyz[3 * i + c.k] = along[i];
    float rms = -1, rt[12];
    ASSERT_EQ(zv::LSQZQV(xyz.data(), xyz.data(), 4, rms, rt), 0) << c.axis;
    EXPECT_EQ(rms, 0.0f) << c.axis;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        EXPECT_EQ(rt[i + 3 * j], i == j ? c.diagonal[i] : 0.0f) << c.axis << " U" << i + 1 << j + 1;
    EXPECT_LE(applied_rms(rt, xyz, xyz, 4), 1e-6) << c.axis;
  }
}

// The fit written out plainly, operation by operation as documented, with the
// general-order Jacobi path (leading dimension 5): the reference for the bits
// of the optimised code.
void plain_quaternion_matrix(const float* x, const float* y, int n, double cx[3], double cy[3],
                             float* a) {
  for (int j = 0; j < 3; ++j) {
    cx[j] = cy[j] = 0;
    for (int i = 0; i < n; ++i) {
      cx[j] += x[3 * i + j];
      cy[j] += y[3 * i + j];
    }
    cx[j] /= n;
    cy[j] /= n;
  }
  double q[4][4] = {};
  for (int i = 0; i < n; ++i) {
    double m[3], p[3];
    for (int j = 0; j < 3; ++j) {
      const double xc = x[3 * i + j] - cx[j], yc = y[3 * i + j] - cy[j];
      m[j] = yc - xc;
      p[j] = xc + yc;
    }
    q[0][0] += m[0] * m[0] + m[1] * m[1] + m[2] * m[2];
    q[1][1] += p[1] * p[1] + p[2] * p[2] + m[0] * m[0];
    q[2][2] += p[0] * p[0] + p[2] * p[2] + m[1] * m[1];
    q[3][3] += p[0] * p[0] + p[1] * p[1] + m[2] * m[2];
    q[0][1] += p[1] * m[2] - m[1] * p[2];
    q[0][2] += m[0] * p[2] - p[0] * m[2];
    q[0][3] += p[0] * m[1] - m[0] * p[1];
    q[1][2] += m[0] * m[1] - p[0] * p[1];
    q[1][3] += m[0] * m[2] - p[0] * p[2];
    q[2][3] += m[1] * m[2] - p[1] * p[2];
  }
  for (int i = 0; i < 4; ++i)
    for (int j = i; j < 4; ++j) a[i + 4 * j] = a[j + 4 * i] = float(q[i][j]);
}

int plain_u3qion(const float* x, const float* y, int n, float& e, float* u, float* t) {
  double cx[3], cy[3];
  float q[16];
  plain_quaternion_matrix(x, y, n, cx, cy, q);
  float a[25] = {}, d[4], v[25];
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) a[i + 5 * j] = q[i + 4 * j];
  int nrot = 0;
  if (const int ierr = zv::JACOBI(a, 4, 5, d, v, nrot); ierr != 0) return ierr;
  for (int k = 0; k < 3; ++k) {
    int m = k;
    for (int j = k + 1; j < 4; ++j)
      if (d[j] >= d[m]) m = j;
    std::swap(d[k], d[m]);
    for (int i = 0; i < 4; ++i) std::swap(v[i + 5 * k], v[i + 5 * m]);
  }
  e = d[3];
  const float q0 = v[15], q1 = v[16], q2 = v[17], q3 = v[18];
  const float rot[9] = {q0 * q0 + q1 * q1 - q2 * q2 - q3 * q3, 2 * (q1 * q2 - q0 * q3),
                        2 * (q1 * q3 + q0 * q2),               2 * (q1 * q2 + q0 * q3),
                        q0 * q0 + q2 * q2 - q1 * q1 - q3 * q3, 2 * (q2 * q3 - q0 * q1),
                        2 * (q1 * q3 - q0 * q2),               2 * (q2 * q3 + q0 * q1),
                        q0 * q0 + q3 * q3 - q1 * q1 - q2 * q2};
  std::copy(rot, rot + 9, u);
  for (int i = 0; i < 3; ++i)
    t[i] = float(cy[i]) - (u[i] * float(cx[0]) + u[i + 3] * float(cx[1]) + u[i + 6] * float(cx[2]));
  return 0;
}

TEST(U3qion, GivesTheBitsOfThePlainArithmetic) {
  std::mt19937 rng(31337u);
  const Shape shapes[] = {Shape::kCloud, Shape::kPlanar, Shape::kNearlyCollinear, Shape::kUnrelated};
  int compared = 0, mismatches = 0;
  for (int k = 0; k < 2000; ++k) {
    const int n = k % 10 == 0 ? 3 + k % 400 : 3 + k % 12;
    const Pair p = make_pair(rng, shapes[k % 4], n, k % 3 == 0 ? 9999 : 20, k % 3 == 1 ? 9950 : 0,
                             (k / 4) % 3 == 0 ? 0.0 : 0.4);
    float e1 = 0, u1[9], t1[3], e2 = 0, u2[9], t2[3];
    ASSERT_EQ(zv::U3QION(p.xyz2.data(), p.xyz1.data(), n, 1, e1, u1, t1), 0);
    ASSERT_EQ(plain_u3qion(p.xyz2.data(), p.xyz1.data(), n, e2, u2, t2), 0);
    mismatches += std::memcmp(&e1, &e2, sizeof e1) != 0 || std::memcmp(u1, u2, sizeof u1) != 0 ||
                  std::memcmp(t1, t2, sizeof t1) != 0;
    ++compared;
  }
  EXPECT_EQ(mismatches, 0) << "of " << compared;
}

// Column-major access to a matrix with leading dimension np.
struct Matrix {
  int n, np;
  std::vector<float> a;
  Matrix(int order, int lead) : n(order), np(lead), a(std::size_t(lead) * lead, 0.0f) {}
  float& operator()(int i, int j) { return a[i + std::size_t(j) * np]; }
  void set_symmetric(int i, int j, float value) { (*this)(i, j) = (*this)(j, i) = value; }
};

// Known matrices: eigenvalues (in any order), orthonormal eigenvectors with
// A v = lambda v, the lower triangle and diagonal kept.
TEST(Jacobi, KnownMatrices) {
  struct Case {
    const char* name;
    int n, np;
    std::vector<float> upper;  // row by row, diagonal included
    std::vector<double> eigenvalues;
  };
  const double pi = std::acos(-1.0);
  auto tridiagonal = [&](int n) {
    std::vector<double> ev;
    for (int k = 1; k <= n; ++k) ev.push_back(2 - 2 * std::cos(k * pi / (n + 1)));
    return ev;
  };
  const Case cases[] = {
      {"1x1", 1, 1, {5}, {5}},
      {"diagonal", 3, 3, {3, 0, 0, -1, 0, 2}, {3, -1, 2}},
      {"2x2", 2, 2, {2, 1, 2}, {1, 3}},
      {"2x2 in a 4x4 array", 2, 4, {2, 1, 2}, {1, 3}},
      {"3x3", 3, 3, {2, -1, 0, 2, -1, 2}, tridiagonal(3)},
      {"4x4 tridiagonal", 4, 4, {2, -1, 0, 0, 2, -1, 0, 2, -1, 2}, tridiagonal(4)},
      {"4x4 with a triple eigenvalue", 4, 4, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 0, 0, 4}},
      {"4x4 all zero", 4, 4, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0}},
      {"10x10 tridiagonal", 10, 12, {}, tridiagonal(10)},
  };
  for (const Case& c : cases) {
    Matrix m(c.n, c.np);
    std::size_t next = 0;
    for (int i = 0; i < c.n; ++i)
      for (int j = i; j < c.n; ++j) {
        float value = 0;
        if (!c.upper.empty())
          value = c.upper[next++];
        else
          value = i == j ? 2.0f : j == i + 1 ? -1.0f : 0.0f;
        m.set_symmetric(i, j, value);
      }
    const Matrix original = m;
    std::vector<float> d(c.n), v(std::size_t(c.np) * c.np, -9.0f);
    int nrot = -1;
    ASSERT_EQ(zv::JACOBI(m.a.data(), c.n, c.np, d.data(), v.data(), nrot), 0) << c.name;
    EXPECT_GE(nrot, 0) << c.name;

    std::vector<double> got(d.begin(), d.end()), want = c.eigenvalues;
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    for (int k = 0; k < c.n; ++k) EXPECT_NEAR(got[k], want[k], 1e-5) << c.name << " eigenvalue " << k;

    Matrix a0 = original;
    for (int k = 0; k < c.n; ++k) {
      for (int i = 0; i < c.n; ++i) {
        double av = 0;
        for (int j = 0; j < c.n; ++j) av += double(a0(i, j)) * v[j + std::size_t(k) * c.np];
        EXPECT_NEAR(av, d[k] * v[i + std::size_t(k) * c.np], 1e-5) << c.name << " vector " << k;
      }
      for (int l = 0; l < c.n; ++l) {
        double dot = 0;
        for (int i = 0; i < c.n; ++i) dot += double(v[i + std::size_t(k) * c.np]) * v[i + std::size_t(l) * c.np];
        EXPECT_NEAR(dot, k == l ? 1.0 : 0.0, 1e-6) << c.name << " columns " << k << " " << l;
      }
    }
    for (int j = 0; j < c.n; ++j)
      for (int i = j; i < c.n; ++i) EXPECT_EQ(m(i, j), a0(i, j)) << c.name << " lower " << i << j;
    if (c.name == std::string("diagonal")) {
      EXPECT_EQ(nrot, 0);
    }
  }
}

TEST(Jacobi, Refusals) {
  struct Case {
    const char* name;
    int n, np;
    bool nan;
    std::string out;
  };
  const Case cases[] = {
      {"order above 1000", 1001, 1001, false, " ERROR --- Increase dimensioning in routine JACOBI\n"},
      {"leading dimension too small", 4, 3, false,
       " ERROR --- JACOBI - Leading dimension smaller than matrix order\n"},
      {"NaN element", 4, 4, true, " ERROR --- Too many iterations in JACOBI\n"},
      {"NaN element, general order", 5, 5, true, " ERROR --- Too many iterations in JACOBI\n"},
  };
  for (const Case& c : cases) {
    Session session("");
    const int np = std::max(c.np, 1);
    std::vector<float> a(std::size_t(np) * std::max(c.n, np), 1.0f), d(std::max(c.n, 1)),
        v(a.size());
    if (c.nan) a[1 * np] = a[1] = std::nanf("");
    int nrot = 0;
    EXPECT_EQ(zv::JACOBI(a.data(), c.n, c.np, d.data(), v.data(), nrot), -1) << c.name;
    EXPECT_EQ(session.out(), c.out) << c.name;
  }
}

// The 4x4 solver used by the fit is a separate, unrolled code path; it must
// give the bits of the general one (reached here through a leading dimension
// of 5) on every kind of matrix: quaternion matrices of random fits, random
// symmetric matrices over many scales, nearly diagonal ones and ones with
// repeated eigenvalues.
TEST(Jacobi, FourByFourMatchesGeneralOrderBitForBit) {
  std::mt19937 rng(4242u);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  std::uniform_int_distribution<int> exponent(-20, 20);
  std::vector<std::array<float, 16>> matrices;
  for (int k = 0; k < 3000; ++k) {
    std::array<float, 16> m{};
    const int kind = k % 5;
    if (kind == 0 || kind == 1) {
      // The fit's own matrix.
      const int n = 3 + k % 17;
      const Pair p = make_pair(rng, kind == 0 ? Shape::kCloud : Shape::kNearlyCollinear, n, 20,
                               kind == 0 ? 0 : 9950, k % 3 == 0 ? 0.0 : 0.5);
      double cx[3], cy[3];
      plain_quaternion_matrix(p.xyz2.data(), p.xyz1.data(), n, cx, cy, m.data());
    } else {
      const float scale = std::ldexp(1.0f, exponent(rng));
      for (int i = 0; i < 4; ++i)
        for (int j = i; j < 4; ++j) {
          float value = scale * unit(rng);
          if (kind == 3 && i != j) value *= 1e-4f;                  // nearly diagonal
          if (kind == 4) value = i == j ? scale : (j == i + 1 ? value : 0.0f);  // equal diagonal
          m[i + 4 * j] = m[j + 4 * i] = value;
        }
    }
    matrices.push_back(m);
  }
  int mismatches = 0;
  for (const auto& m : matrices) {
    float a4[16], d4[4], v4[16];
    std::copy(m.begin(), m.end(), a4);
    int nrot4 = 0;
    float a5[25] = {}, d5[4], v5[25];
    for (int j = 0; j < 4; ++j)
      for (int i = 0; i < 4; ++i) a5[i + 5 * j] = m[i + 4 * j];
    int nrot5 = 0;
    ASSERT_EQ(zv::JACOBI(a4, 4, 4, d4, v4, nrot4), 0);
    ASSERT_EQ(zv::JACOBI(a5, 4, 5, d5, v5, nrot5), 0);
    bool same = nrot4 == nrot5 && std::memcmp(d4, d5, sizeof d4) == 0;
    for (int j = 0; j < 4; ++j)
      for (int i = 0; i < 4; ++i)
        same = same && std::memcmp(&v4[i + 4 * j], &v5[i + 5 * j], sizeof(float)) == 0 &&
               std::memcmp(&a4[i + 4 * j], &a5[i + 5 * j], sizeof(float)) == 0;
    mismatches += !same;
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

// Every allocation of the test binary is counted, so that the fit can be shown
// to allocate nothing.
namespace {
std::size_t g_allocations = 0;
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

TEST(Lsqzqv, AllocatesNothing) {
  const TurnedSet s;
  std::mt19937 rng(5u);
  const Pair big = make_pair(rng, Shape::kCloud, 1000, 20, 0, 0.5);
  float rms, rt[12], e, u[9], t[3];
  float a[100], d[10], v[100];
  for (int i = 0; i < 100; ++i) a[i] = float(i % 11 + i / 10);
  int nrot;
  const std::size_t before = g_allocations;
  EXPECT_EQ(zv::LSQZQV(s.xyz1.data(), s.xyz2.data(), s.n(), rms, rt), 0);
  EXPECT_EQ(zv::LSQZQV(big.xyz1.data(), big.xyz2.data(), 1000, rms, rt), 0);
  EXPECT_EQ(zv::U3QION(s.xyz2.data(), s.xyz1.data(), s.n(), 1, e, u, t), 0);
  EXPECT_EQ(zv::JACOBI(a, 10, 10, d, v, nrot), 0);
  EXPECT_EQ(g_allocations, before);
}

}  // namespace
