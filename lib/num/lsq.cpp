// Least-squares superposition: quaternion matrix, Jacobi eigen decomposition
// and the operator kept from the last successful fit.
#include "num/lsq.h"

#include <cmath>

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

// The cyclic Jacobi method. With N > 0 the order and the leading dimension are
// N, known at compile time (the 4x4 quaternion matrix); with N == 0 they are n
// and np. Both instances perform the same operations in the same order, so
// their results are identical bit for bit. b and z are work vectors of n.
template <int N>
int jacobi_sweeps(float* a, int n_run, int np_run, float* d, float* v, int& nrot, float* b,
                  float* z) {
  const int n = N > 0 ? N : n_run;
  const int np = N > 0 ? N : np_run;
  auto A = [a, np](int i, int j) -> float& { return a[i + j * np]; };
  auto V = [v, np](int i, int j) -> float& { return v[i + j * np]; };

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

// The quaternion fit of x onto y with the 4x4 matrix decomposed by the
// fixed-order Jacobi instance.
inline int quaternion_fit(const float* x, const float* y, int n, float& e, float* u, float* t) {
  double cx[3] = {0, 0, 0};
  double cy[3] = {0, 0, 0};
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < 3; ++k) {
      cx[k] += x[3 * i + k];
      cy[k] += y[3 * i + k];
    }
  }
  for (int k = 0; k < 3; ++k) {
    cx[k] /= n;
    cy[k] /= n;
  }

  double q11 = 0, q22 = 0, q33 = 0, q44 = 0, q12 = 0, q13 = 0, q14 = 0, q23 = 0, q24 = 0,
         q34 = 0;
  for (int i = 0; i < n; ++i) {
    const double x1 = x[3 * i] - cx[0], x2 = x[3 * i + 1] - cx[1], x3 = x[3 * i + 2] - cx[2];
    const double y1 = y[3 * i] - cy[0], y2 = y[3 * i + 1] - cy[1], y3 = y[3 * i + 2] - cy[2];
    const double m1 = y1 - x1, m2 = y2 - x2, m3 = y3 - x3;
    const double p1 = x1 + y1, p2 = x2 + y2, p3 = x3 + y3;
    q11 += m1 * m1 + m2 * m2 + m3 * m3;
    q22 += p2 * p2 + p3 * p3 + m1 * m1;
    q33 += p1 * p1 + p3 * p3 + m2 * m2;
    q44 += p1 * p1 + p2 * p2 + m3 * m3;
    q12 += p2 * m3 - m2 * p3;
    q13 += m1 * p3 - p1 * m3;
    q14 += p1 * m2 - m1 * p2;
    q23 += m1 * m2 - p1 * p2;
    q24 += m1 * m3 - p1 * p3;
    q34 += m2 * m3 - p2 * p3;
  }

  // The matrix goes to the eigen decomposition in single precision.
  float a[16] = {
      float(q11), float(q12), float(q13), float(q14),  //
      float(q12), float(q22), float(q23), float(q24),  //
      float(q13), float(q23), float(q33), float(q34),  //
      float(q14), float(q24), float(q34), float(q44)};
  float d[4], v[16], b[4], z[4];
  int nrot = 0;
  const int ierr = jacobi_sweeps<4>(a, 4, 4, d, v, nrot, b, z);
  if (ierr != 0) [[unlikely]] {
    report("In JACOBI - cannot superimpose coordinates");
    return ierr;
  }

  // Eigenvalues in descending order, eigenvectors moving with them; of equal
  // values the later one moves forward.
  for (int k = 0; k < 3; ++k) {
    int m = k;
    for (int j = k + 1; j < 4; ++j)
      if (d[j] >= d[m]) m = j;
    if (m != k) {
      const float dk = d[k];
      d[k] = d[m];
      d[m] = dk;
      for (int i = 0; i < 4; ++i) {
        const float vk = v[i + 4 * k];
        v[i + 4 * k] = v[i + 4 * m];
        v[i + 4 * m] = vk;
      }
    }
  }

  e = d[3];
  const float q0 = v[12], q1 = v[13], q2 = v[14], q3 = v[15];
  u[0] = q0 * q0 + q1 * q1 - q2 * q2 - q3 * q3;
  u[1] = 2.0f * (q1 * q2 - q0 * q3);
  u[2] = 2.0f * (q1 * q3 + q0 * q2);
  u[3] = 2.0f * (q1 * q2 + q0 * q3);
  u[4] = q0 * q0 + q2 * q2 - q1 * q1 - q3 * q3;
  u[5] = 2.0f * (q2 * q3 - q0 * q1);
  u[6] = 2.0f * (q1 * q3 - q0 * q2);
  u[7] = 2.0f * (q2 * q3 + q0 * q1);
  u[8] = q0 * q0 + q3 * q3 - q1 * q1 - q2 * q2;

  const float c1 = float(cx[0]), c2 = float(cx[1]), c3 = float(cx[2]);
  for (int i = 0; i < 3; ++i)
    t[i] = float(cy[i]) - (u[i] * c1 + u[i + 3] * c2 + u[i + 6] * c3);
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
  if (n == 4 && np == 4) return jacobi_sweeps<4>(a, n, np, d, v, nrot, b, z);
  return jacobi_sweeps<0>(a, n, np, d, v, nrot, b, z);
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
