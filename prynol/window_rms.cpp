#include "window_rms.h"

#include <cmath>
#include <limits>

namespace prynol {

CentredTemplate::CentredTemplate(const std::array<float, 3 * kWindow>& t) {
  double c[3] = {0, 0, 0};
  for (int i = 0; i < kWindow; ++i)
    for (int k = 0; k < 3; ++k) c[k] += t[static_cast<std::size_t>(3 * i + k)];
  for (int i = 0; i < kWindow; ++i)
    for (int k = 0; k < 3; ++k)
      xyz[3 * i + k] = t[static_cast<std::size_t>(3 * i + k)] - c[k] / kWindow;
}

namespace {

// Determinant of the 3x3 principal submatrix of q on rows/columns i, j, k.
inline double minor3(const double q[4][4], int i, int j, int k) {
  return q[i][i] * (q[j][j] * q[k][k] - q[j][k] * q[j][k]) -
         q[i][j] * (q[i][j] * q[k][k] - q[j][k] * q[i][k]) +
         q[i][k] * (q[i][j] * q[j][k] - q[j][j] * q[i][k]);
}

}  // namespace

double window_rms(const float* window, const CentredTemplate& t) {
  double c[3] = {0, 0, 0};
  for (int i = 0; i < kWindow; ++i)
    for (int k = 0; k < 3; ++k) c[k] += window[3 * i + k];
  for (double& v : c) v /= kWindow;
  for (int i = 0; i < kWindow; ++i)
    for (int k = 0; k < 3; ++k)
      if (!(std::fabs(window[3 * i + k] - c[k]) <= kMaxSpread))
        return std::numeric_limits<double>::quiet_NaN();

  // The symmetric quaternion matrix, built as the least-squares fit builds
  // it, from the differences m and sums p of the centred points.
  double q[4][4] = {};
  for (int i = 0; i < kWindow; ++i) {
    const double* y = t.xyz + 3 * i;
    double m[3], p[3];
    for (int k = 0; k < 3; ++k) {
      const double x = window[3 * i + k] - c[k];
      m[k] = y[k] - x;
      p[k] = x + y[k];
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
    for (int j = 0; j < i; ++j) q[i][j] = q[j][i];

  // det(Q - l I) = l^4 - c3 l^3 + c2 l^2 - c1 l + c0.
  const double c3 = q[0][0] + q[1][1] + q[2][2] + q[3][3];
  double c2 = 0.0;
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) c2 += q[i][i] * q[j][j] - q[i][j] * q[i][j];
  const double c1 = minor3(q, 1, 2, 3) + minor3(q, 0, 2, 3) + minor3(q, 0, 1, 3) +
                    minor3(q, 0, 1, 2);
  const double c0 = q[0][0] * minor3(q, 1, 2, 3) -
                    q[0][1] * (q[0][1] * (q[2][2] * q[3][3] - q[2][3] * q[2][3]) -
                               q[1][2] * (q[0][2] * q[3][3] - q[2][3] * q[0][3]) +
                               q[1][3] * (q[0][2] * q[2][3] - q[2][2] * q[0][3])) +
                    q[0][2] * (q[0][1] * (q[1][2] * q[3][3] - q[2][3] * q[1][3]) -
                               q[1][1] * (q[0][2] * q[3][3] - q[2][3] * q[0][3]) +
                               q[1][3] * (q[0][2] * q[1][3] - q[1][2] * q[0][3])) -
                    q[0][3] * (q[0][1] * (q[1][2] * q[2][3] - q[2][2] * q[1][3]) -
                               q[1][1] * (q[0][2] * q[2][3] - q[2][2] * q[0][3]) +
                               q[1][2] * (q[0][2] * q[1][3] - q[1][2] * q[0][3]));

  // Q is positive semi-definite, so 0 lies left of every eigenvalue, and
  // from there Newton's method on a polynomial with only real roots climbs
  // to the smallest one without overshooting it.
  double l = 0.0;
  bool converged = false;
  for (int iter = 0; iter < 200; ++iter) {
    const double pv = (((l - c3) * l + c2) * l - c1) * l + c0;
    const double dp = ((4.0 * l - 3.0 * c3) * l + 2.0 * c2) * l - c1;
    if (!(pv > 0.0) || !(dp < 0.0)) {  // at the root within rounding
      converged = pv == pv && dp == dp;
      break;
    }
    const double step = -pv / dp;
    l += step;
    if (step <= 1e-13 * (1.0 + l)) {
      converged = true;
      break;
    }
  }
  if (!converged) return std::numeric_limits<double>::quiet_NaN();
  return std::sqrt(std::max(l, 0.0) / kWindow);
}

}  // namespace prynol
