// Least-squares superposition: quaternion matrix, Jacobi eigen decomposition
// and the operator kept from the last successful fit.
#include "num/lsq.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "core/dialogue.h"
#include "core/messages.h"

namespace zv {
namespace {

// The operator of the last successful LSQZQV fit.
struct StoredOperator {
  float u[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  float t[3] = {0, 0, 0};
};
StoredOperator g_operator;

constexpr float kNoFit = 10000000.0f;
constexpr int kMaxSweeps = 100;

// Error paths are kept out of line so that the hot paths stay small.
[[gnu::cold, gnu::noinline]] void report(const char* text) { ERRMSG(text); }

[[gnu::cold, gnu::noinline]] void report_negative_rms(float rms) {
  (void)rvaluo(" WARNING - Reset negative RMSD in LSQZQV :", rms);
}

// One Jacobi rotation of the pair (g, h).
inline void rotate(float& g_ref, float& h_ref, float s, float tau) {
  const float g = g_ref;
  const float h = h_ref;
  g_ref = g - s * (h + g * tau);
  h_ref = h + s * (g - h * tau);
}

// The cyclic Jacobi method for any order n (leading dimension np); b and z are
// work vectors of n.
int jacobi_sweeps(float* a, int n, int np, float* d, float* v, int& nrot, float* b, float* z) {
  const std::ptrdiff_t ld = np;
  auto A = [a, ld](int i, int j) -> float& { return a[i + j * ld]; };
  auto V = [v, ld](int i, int j) -> float& { return v[i + j * ld]; };

  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) V(i, j) = i == j ? 1.0f : 0.0f;
    b[j] = d[j] = A(j, j);
    z[j] = 0.0f;
  }
  nrot = 0;

  for (int sweep = 1; sweep <= kMaxSweeps; ++sweep) {
    float sm = 0.0f;
    for (int p = 0; p < n - 1; ++p)
      for (int q = p + 1; q < n; ++q) sm += std::fabs(A(p, q));
    if (sm == 0.0f) return 0;

    const float tresh = sweep < 4 ? 0.2f * sm / static_cast<float>(n * n) : 0.0f;
    for (int p = 0; p < n - 1; ++p) {
      for (int q = p + 1; q < n; ++q) {
        const float g = 100.0f * std::fabs(A(p, q));
        if (sweep > 4 && std::fabs(d[p]) + g == std::fabs(d[p]) &&
            std::fabs(d[q]) + g == std::fabs(d[q])) {
          A(p, q) = 0.0f;
        } else if (std::fabs(A(p, q)) > tresh) {
          float h = d[q] - d[p];
          float t;
          if (std::fabs(h) + g == std::fabs(h)) {
            t = A(p, q) / h;
          } else {
            const float theta = 0.5f * h / A(p, q);
            t = 1.0f / (std::fabs(theta) + std::sqrt(1.0f + theta * theta));
            if (theta < 0.0f) t = -t;
          }
          const float c = 1.0f / std::sqrt(1.0f + t * t);
          const float s = t * c;
          const float tau = s / (1.0f + c);
          h = t * A(p, q);
          z[p] -= h;
          z[q] += h;
          d[p] -= h;
          d[q] += h;
          A(p, q) = 0.0f;
          for (int j = 0; j < p; ++j) rotate(A(j, p), A(j, q), s, tau);
          for (int j = p + 1; j < q; ++j) rotate(A(p, j), A(j, q), s, tau);
          for (int j = q + 1; j < n; ++j) rotate(A(p, j), A(q, j), s, tau);
          for (int j = 0; j < n; ++j) rotate(V(j, p), V(j, q), s, tau);
          ++nrot;
        }
      }
    }
    for (int p = 0; p < n; ++p) {
      b[p] += z[p];
      d[p] = b[p];
      z[p] = 0.0f;
    }
  }
  report("Too many iterations in JACOBI");
  return -1;
}

// The same method for the 4x4 quaternion matrix, unrolled so that the matrix
// and the work vectors stay in registers and the eigenvector columns are
// rotated four rows at a time, with separate code for sweeps 1-3, sweep 4 and
// the later sweeps. It performs the operations of jacobi_sweeps in the same
// order, with exact shortcuts that give the same bits:
// - when theta^2 is at least 2^25 (and finite), 1 + theta^2 rounds to theta^2,
//   and the square root of that rounded square is |theta| again (checked for
//   every such float);
// - when 1 + t^2 rounds to 1, c = 1/sqrt(1) = 1, s = t and tau = t/2;
// - the sign of t is applied without a branch.
typedef float Float4 __attribute__((vector_size(16)));

struct Jacobi4 {
  float a[4][4];  // a[p][q], upper triangle used
  float d[4], b[4], z[4];
  Float4 v[4];    // the columns of v, each in one SIMD register
  int nrot;
};

enum class Sweeps { kFirst, kFourth, kLater };

template <Sweeps kind, int P, int Q>
[[gnu::always_inline]] inline void jacobi4_pair(Jacobi4& s, float tresh) {
  float& apq = s.a[P][Q];
  const float g = 100.0f * std::fabs(apq);
  if constexpr (kind == Sweeps::kLater) {
    if (std::fabs(s.d[P]) + g == std::fabs(s.d[P]) &&
        std::fabs(s.d[Q]) + g == std::fabs(s.d[Q])) {
      apq = 0.0f;
      return;
    }
  }
  if (!(std::fabs(apq) > tresh)) return;
  float h = s.d[Q] - s.d[P];
  float t;
  if (std::fabs(h) + g == std::fabs(h)) {
    t = apq / h;
  } else {
    const float theta = 0.5f * h / apq;
    const float theta2 = theta * theta;
    const float root = theta2 >= 0x1p25f && theta2 <= std::numeric_limits<float>::max()
                           ? std::fabs(theta)
                           : std::sqrt(1.0f + theta2);
    t = 1.0f / (std::fabs(theta) + root);
    const std::uint32_t negative = std::uint32_t(theta < 0.0f) << 31;
    t = std::bit_cast<float>(std::bit_cast<std::uint32_t>(t) ^ negative);
  }
  float sn, tau;
  const float tt1 = 1.0f + t * t;
  if (tt1 == 1.0f) {
    sn = t;
    tau = t * 0.5f;
  } else {
    const float c = 1.0f / std::sqrt(tt1);
    sn = t * c;
    tau = sn / (1.0f + c);
  }
  h = t * apq;
  s.z[P] -= h;
  s.z[Q] += h;
  s.d[P] -= h;
  s.d[Q] += h;
  apq = 0.0f;
#pragma GCC unroll 4
  for (int j = 0; j < P; ++j) rotate(s.a[j][P], s.a[j][Q], sn, tau);
#pragma GCC unroll 4
  for (int j = P + 1; j < Q; ++j) rotate(s.a[P][j], s.a[j][Q], sn, tau);
#pragma GCC unroll 4
  for (int j = Q + 1; j < 4; ++j) rotate(s.a[P][j], s.a[Q][j], sn, tau);
  {
    // The same rotation on the four rows of columns P and Q at once.
    const Float4 vp = s.v[P], vq = s.v[Q];
    const Float4 s4 = {sn, sn, sn, sn}, tau4 = {tau, tau, tau, tau};
    s.v[P] = vp - s4 * (vq + vp * tau4);
    s.v[Q] = vq + s4 * (vp - vq * tau4);
  }
  ++s.nrot;
}

// One sweep; true when the matrix is already diagonal.
template <Sweeps kind>
[[gnu::always_inline]] inline bool jacobi4_sweep(Jacobi4& s) {
  float sm = 0.0f;
  sm += std::fabs(s.a[0][1]);
  sm += std::fabs(s.a[0][2]);
  sm += std::fabs(s.a[0][3]);
  sm += std::fabs(s.a[1][2]);
  sm += std::fabs(s.a[1][3]);
  sm += std::fabs(s.a[2][3]);
  if (sm == 0.0f) return true;
  const float tresh = kind == Sweeps::kFirst ? 0.2f * sm / 16.0f : 0.0f;
  jacobi4_pair<kind, 0, 1>(s, tresh);
  jacobi4_pair<kind, 0, 2>(s, tresh);
  jacobi4_pair<kind, 0, 3>(s, tresh);
  jacobi4_pair<kind, 1, 2>(s, tresh);
  jacobi4_pair<kind, 1, 3>(s, tresh);
  jacobi4_pair<kind, 2, 3>(s, tresh);
#pragma GCC unroll 4
  for (int p = 0; p < 4; ++p) {
    s.b[p] += s.z[p];
    s.d[p] = s.b[p];
    s.z[p] = 0.0f;
  }
  return false;
}

// Eigen decomposition of the 4x4 matrix a (column by column); same results
// and status as jacobi_sweeps. a_out, if given, receives the matrix with
// its upper triangle destroyed.
inline int jacobi4(const float* a, float* d, float* v, float* a_out, int& nrot) {
  Jacobi4 s;
#pragma GCC unroll 4
  for (int j = 0; j < 4; ++j) {
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
      s.a[i][j] = a[i + 4 * j];
    }
    s.b[j] = s.d[j] = a[5 * j];
    s.z[j] = 0.0f;
  }
  s.v[0] = Float4{1, 0, 0, 0};
  s.v[1] = Float4{0, 1, 0, 0};
  s.v[2] = Float4{0, 0, 1, 0};
  s.v[3] = Float4{0, 0, 0, 1};
  s.nrot = 0;
  bool converged = jacobi4_sweep<Sweeps::kFirst>(s) || jacobi4_sweep<Sweeps::kFirst>(s) ||
                   jacobi4_sweep<Sweeps::kFirst>(s) || jacobi4_sweep<Sweeps::kFourth>(s);
  for (int sweep = 5; !converged && sweep <= kMaxSweeps; ++sweep)
    converged = jacobi4_sweep<Sweeps::kLater>(s);
#pragma GCC unroll 4
  for (int j = 0; j < 4; ++j) {
    d[j] = s.d[j];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) v[i + 4 * j] = s.v[j][i];
  }
  if (a_out != nullptr) {
#pragma GCC unroll 4
    for (int j = 0; j < 4; ++j)
#pragma GCC unroll 4
      for (int i = 0; i < 4; ++i) a_out[i + 4 * j] = s.a[i][j];
  }
  nrot = s.nrot;
  if (!converged) [[unlikely]] {
    report("Too many iterations in JACOBI");
    return -1;
  }
  return 0;
}

// Pairs of doubles, one SIMD register: the sums below run two lanes at a time,
// each lane doing exactly the scalar operations of its element.
typedef double Double2 __attribute__((vector_size(16)));

[[gnu::always_inline]] inline Double2 pair_of(double a, double b) { return Double2{a, b}; }

// The 4x4 matrix of the centred sets, accumulated in double precision. For
// every point, with x' and y' the centred points, m = y' - x', p = x' + y':
//   Q11 += m1^2 + m2^2 + m3^2     Q12 += p2 m3 - m2 p3    Q23 += m1 m2 - p1 p2
//   Q22 += p2^2 + p3^2 + m1^2     Q13 += m1 p3 - p1 m3    Q24 += m1 m3 - p1 p3
//   Q33 += p1^2 + p3^2 + m2^2     Q14 += p1 m2 - m1 p2    Q34 += m2 m3 - p2 p3
//   Q44 += p1^2 + p2^2 + m3^2
// The lanes hold (Q11, Q22), (Q33, Q44), (Q12, Q13), (Q14, Q23), (Q24, Q34).
struct QuaternionMatrix {
  double cx[3], cy[3];  // centroids
  float a[16];          // the matrix, column by column, in single precision
};

inline void quaternion_matrix(const float* x, const float* y, int n, QuaternionMatrix& q) {
  Double2 sx12 = {0, 0}, sy12 = {0, 0}, s3 = {0, 0};  // s3 = (x3 sum, y3 sum)
  for (int i = 0; i < n; ++i) {
    const float* xi = x + 3 * i;
    const float* yi = y + 3 * i;
    sx12 += pair_of(xi[0], xi[1]);
    sy12 += pair_of(yi[0], yi[1]);
    s3 += pair_of(xi[2], yi[2]);
  }
  const Double2 count = {double(n), double(n)};
  const Double2 cx12 = sx12 / count, cy12 = sy12 / count, c3 = s3 / count;
  q.cx[0] = cx12[0];
  q.cx[1] = cx12[1];
  q.cx[2] = c3[0];
  q.cy[0] = cy12[0];
  q.cy[1] = cy12[1];
  q.cy[2] = c3[1];
  const Double2 cx3 = {c3[0], c3[0]}, cy3 = {c3[1], c3[1]};

  Double2 q11_22 = {0, 0}, q33_44 = {0, 0}, q12_13 = {0, 0}, q14_23 = {0, 0}, q24_34 = {0, 0};
  for (int i = 0; i < n; ++i) {
    const float* xi = x + 3 * i;
    const float* yi = y + 3 * i;
    const Double2 x12 = pair_of(xi[0], xi[1]) - cx12;
    const Double2 y12 = pair_of(yi[0], yi[1]) - cy12;
    const Double2 x3 = pair_of(xi[2], xi[2]) - cx3;
    const Double2 y3 = pair_of(yi[2], yi[2]) - cy3;
    const Double2 m12 = y12 - x12, p12 = x12 + y12;  // (m1, m2), (p1, p2)
    const Double2 m3 = y3 - x3, p3 = x3 + y3;        // (m3, m3), (p3, p3)

    const Double2 m1_p2 = __builtin_shufflevector(m12, p12, 0, 3);
    const Double2 m2_p3 = __builtin_shufflevector(m12, p3, 1, 2);
    const Double2 m3_m1 = __builtin_shufflevector(m3, m12, 0, 2);
    q11_22 += m1_p2 * m1_p2 + m2_p3 * m2_p3 + m3_m1 * m3_m1;

    const Double2 p1_p1 = __builtin_shufflevector(p12, p12, 0, 0);
    const Double2 p3_p2 = __builtin_shufflevector(p3, p12, 0, 3);
    const Double2 m2_m3 = __builtin_shufflevector(m12, m3, 1, 2);
    q33_44 += p1_p1 * p1_p1 + p3_p2 * p3_p2 + m2_m3 * m2_m3;

    const Double2 p2_m1 = __builtin_shufflevector(p12, m12, 1, 2);
    const Double2 m3_p3 = __builtin_shufflevector(m3, p3, 0, 2);
    const Double2 m2_p1 = __builtin_shufflevector(m12, p12, 1, 2);
    const Double2 p3_m3 = __builtin_shufflevector(p3, m3, 0, 2);
    q12_13 += p2_m1 * m3_p3 - m2_p1 * p3_m3;

    const Double2 p1_m1 = __builtin_shufflevector(p12, m12, 0, 2);
    const Double2 m2_m2 = __builtin_shufflevector(m12, m12, 1, 1);
    const Double2 m1_p1 = __builtin_shufflevector(m12, p12, 0, 2);
    const Double2 p2_p2 = __builtin_shufflevector(p12, p12, 1, 1);
    q14_23 += p1_m1 * m2_m2 - m1_p1 * p2_p2;

    q24_34 += m12 * m3 - p12 * p3;
  }

  const float q11 = float(q11_22[0]), q22 = float(q11_22[1]);
  const float q33 = float(q33_44[0]), q44 = float(q33_44[1]);
  const float q12 = float(q12_13[0]), q13 = float(q12_13[1]);
  const float q14 = float(q14_23[0]), q23 = float(q14_23[1]);
  const float q24 = float(q24_34[0]), q34 = float(q24_34[1]);
  const float a[16] = {q11, q12, q13, q14, q12, q22, q23, q24,
                       q13, q23, q33, q34, q14, q24, q34, q44};
  for (int k = 0; k < 16; ++k) q.a[k] = a[k];
}

// The quaternion fit of x onto y.
inline int quaternion_fit(const float* x, const float* y, int n, float& e, float* u, float* t) {
  QuaternionMatrix qm;
  quaternion_matrix(x, y, n, qm);
  const float* a = qm.a;
  const double cx1 = qm.cx[0], cx2 = qm.cx[1], cx3 = qm.cx[2];
  const double cy1 = qm.cy[0], cy2 = qm.cy[1], cy3 = qm.cy[2];

  // The matrix goes to the eigen decomposition in single precision.
  float d[4], v[16];
  int nrot = 0;
  const int ierr = jacobi4(a, d, v, nullptr, nrot);
  if (ierr != 0) [[unlikely]] {
    report("In JACOBI - cannot superimpose coordinates");
    return ierr;
  }

  // Eigenvalues in descending order, eigenvectors moving with them: for
  // positions 1 to 3 the largest of the rest moves forward, of equal values
  // the later one. Only the order is tracked; the smallest value and its
  // eigenvector end in position 4.
  int order[4] = {0, 1, 2, 3};
#pragma GCC unroll 3
  for (int k = 0; k < 3; ++k) {
    int m = k;
    float best = d[k];
#pragma GCC unroll 3
    for (int j = k + 1; j < 4; ++j) {
      const bool later = d[j] >= best;
      best = later ? d[j] : best;
      m = later ? j : m;
    }
    d[m] = d[k];
    d[k] = best;
    const int ok = order[k];
    order[k] = order[m];
    order[m] = ok;
  }

  e = d[3];
  const float* qv = v + 4 * order[3];
  const float q0 = qv[0], q1 = qv[1], q2 = qv[2], q3 = qv[3];
  u[0] = q0 * q0 + q1 * q1 - q2 * q2 - q3 * q3;
  u[1] = 2.0f * (q1 * q2 - q0 * q3);
  u[2] = 2.0f * (q1 * q3 + q0 * q2);
  u[3] = 2.0f * (q1 * q2 + q0 * q3);
  u[4] = q0 * q0 + q2 * q2 - q1 * q1 - q3 * q3;
  u[5] = 2.0f * (q2 * q3 - q0 * q1);
  u[6] = 2.0f * (q1 * q3 - q0 * q2);
  u[7] = 2.0f * (q2 * q3 + q0 * q1);
  u[8] = q0 * q0 + q3 * q3 - q1 * q1 - q2 * q2;

  const float c1 = float(cx1), c2 = float(cx2), c3 = float(cx3);
  t[0] = float(cy1) - (u[0] * c1 + u[3] * c2 + u[6] * c3);
  t[1] = float(cy2) - (u[1] * c1 + u[4] * c2 + u[7] * c3);
  t[2] = float(cy3) - (u[2] * c1 + u[5] * c2 + u[8] * c3);
  return 0;
}

}  // namespace

int JACOBI(float* a, int n, int np, float* d, float* v, int& nrot) {
  if (n > kJacobiMaxOrder) {
    report("Increase dimensioning in routine JACOBI");
    return -1;
  }
  if (n < 0 || np < n) {
    report("JACOBI - Leading dimension smaller than matrix order");
    return -1;
  }
  float b[kJacobiMaxOrder];
  float z[kJacobiMaxOrder];
  if (n == 4 && np == 4) return jacobi4(a, d, v, a, nrot);
  return jacobi_sweeps(a, n, np, d, v, nrot, b, z);
}

int U3QION(const float* x, const float* y, int n, int mode, float& e, float* u, float* t) {
  if (mode != 1) {
    report("U3QION - MODE = 0 not implemented");
    return -1;
  }
  if (n < 1) {
    report("U3QION - No points to superimpose");
    return -1;
  }
  return quaternion_fit(x, y, n, e, u, t);
}

int LSQZQV(const float* xyz1, const float* xyz2, int n, float& rms, float* rt) {
  rms = kNoFit;
  int ierr = 0;
  if (n < 3) [[unlikely]] {
    report("LSQZQV - Not enough atoms for least squares fit");
    ierr = -1;
  } else if (quaternion_fit(xyz2, xyz1, n, rms, g_operator.u, g_operator.t) != 0) [[unlikely]] {
    report("In LSQZQV/U3QION");
    ierr = -2;
  } else if (rms >= 0.0f) {
    rms = std::sqrt(rms / static_cast<float>(n));
  } else {
    report_negative_rms(rms);
    rms = 0.0f;
  }
  for (int i = 0; i < 9; ++i) rt[i] = g_operator.u[i];
  for (int i = 0; i < 3; ++i) rt[9 + i] = g_operator.t[i];
  return ierr;
}

int LSQZQV(std::span<const float> xyz1, std::span<const float> xyz2, int n, float& rms,
           std::span<float, 12> rt) {
  if (n >= 3 && (xyz1.size() < std::size_t(3) * n || xyz2.size() < std::size_t(3) * n)) {
    report("LSQZQV - Fewer coordinates than atoms");
    rms = kNoFit;
    for (int i = 0; i < 9; ++i) rt[i] = g_operator.u[i];
    for (int i = 0; i < 3; ++i) rt[9 + i] = g_operator.t[i];
    return -1;
  }
  return LSQZQV(xyz1.data(), xyz2.data(), n, rms, rt.data());
}

void lsq_reset_operator() { g_operator = StoredOperator{}; }

}  // namespace zv
