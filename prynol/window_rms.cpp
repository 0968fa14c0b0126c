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
  for (const double v : xyz) sum_squares += v * v;
}

namespace {

// Determinant of the 3x3 principal submatrix of q on rows/columns i, j, k.
inline double minor3(const double q[4][4], int i, int j, int k) {
  return q[i][i] * (q[j][j] * q[k][k] - q[j][k] * q[j][k]) -
         q[i][j] * (q[i][j] * q[k][k] - q[j][k] * q[i][k]) +
         q[i][k] * (q[i][j] * q[j][k] - q[j][j] * q[i][k]);
}

}  // namespace

double window_rms(const float* window, const CentredTemplate& t, double enough) {
  double c[3] = {0, 0, 0};
  for (int i = 0; i < kWindow; ++i) {
    c[0] += window[3 * i];
    c[1] += window[3 * i + 1];
    c[2] += window[3 * i + 2];
  }
  for (double& v : c) v /= kWindow;

  // The symmetric quaternion matrix of the least-squares fit. Built from the
  // differences m = y - x and sums p = x + y of the centred points it is
  //   q00 = sum |m|^2, q11 = sum p1^2 + p2^2 + m0^2 (and so on),
  //   q01 = sum p1 m2 - m1 p2, q12 = sum m0 m1 - p0 p1 (and so on);
  // written out, every entry is a sum of the squared lengths and of the
  // correlations r[a][b] = sum x_a y_b, which are all that is summed here.
  double r00 = 0, r01 = 0, r02 = 0, r10 = 0, r11 = 0, r12 = 0, r20 = 0, r21 = 0, r22 = 0;
  double sxx = 0.0;
  for (int i = 0; i < kWindow; ++i) {
    const double x0 = window[3 * i] - c[0];
    const double x1 = window[3 * i + 1] - c[1];
    const double x2 = window[3 * i + 2] - c[2];
    if (!(std::fabs(x0) <= kMaxSpread && std::fabs(x1) <= kMaxSpread &&
          std::fabs(x2) <= kMaxSpread))
      return std::numeric_limits<double>::quiet_NaN();
    const double* y = t.xyz + 3 * i;
    sxx += x0 * x0 + x1 * x1 + x2 * x2;
    r00 += x0 * y[0];
    r01 += x0 * y[1];
    r02 += x0 * y[2];
    r10 += x1 * y[0];
    r11 += x1 * y[1];
    r12 += x1 * y[2];
    r20 += x2 * y[0];
    r21 += x2 * y[1];
    r22 += x2 * y[2];
  }
  const double s = sxx + t.sum_squares;
  double q[4][4];
  q[0][0] = s - 2.0 * (r00 + r11 + r22);
  q[1][1] = s + 2.0 * (r11 + r22 - r00);
  q[2][2] = s + 2.0 * (r00 + r22 - r11);
  q[3][3] = s + 2.0 * (r00 + r11 - r22);
  q[0][1] = 2.0 * (r12 - r21);
  q[0][2] = 2.0 * (r20 - r02);
  q[0][3] = 2.0 * (r01 - r10);
  q[1][2] = -2.0 * (r01 + r10);
  q[1][3] = -2.0 * (r02 + r20);
  q[2][3] = -2.0 * (r12 + r21);
  q[1][0] = q[0][1];
  q[2][0] = q[0][2];
  q[3][0] = q[0][3];
  q[2][1] = q[1][2];
  q[3][1] = q[1][3];
  q[3][2] = q[2][3];

  // det(Q - l I) = l^4 - c3 l^3 + c2 l^2 - c1 l + c0.
  const double c3 = q[0][0] + q[1][1] + q[2][2] + q[3][3];
  const double c2 = q[0][0] * q[1][1] - q[0][1] * q[0][1] + q[0][0] * q[2][2] - q[0][2] * q[0][2] +
                    q[0][0] * q[3][3] - q[0][3] * q[0][3] + q[1][1] * q[2][2] - q[1][2] * q[1][2] +
                    q[1][1] * q[3][3] - q[1][3] * q[1][3] + q[2][2] * q[3][3] - q[2][3] * q[2][3];
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
  // Every step stays left of the smallest eigenvalue, so a step past
  // enough_l shows the distance is above enough.
  const double enough_l = enough * enough * kWindow;
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
    if (l > enough_l) return std::sqrt(l / kWindow);
    if (step <= 1e-13 * (1.0 + l)) {
      converged = true;
      break;
    }
  }
  if (!converged) return std::numeric_limits<double>::quiet_NaN();
  return std::sqrt(std::max(l, 0.0) / kWindow);
}

}  // namespace prynol
