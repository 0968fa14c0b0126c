// Summary statistics of value lists, accumulated in double precision.
#include "num/stats.h"

#include <cmath>
#include <cstddef>

#include "core/dialogue.h"
#include "core/messages.h"

namespace zv {
namespace {

constexpr float kUndefinedIndex = 999.99f;

// Population variance from the sums; a rounding-negative value, or any value
// for a list whose elements are all equal, is taken as 0.
double variance_from_sums(double sum, double sumsq, double n, bool all_equal) {
  if (all_equal) return 0.0;
  const double mean = sum / n;
  const double var = sumsq / n - mean * mean;
  return var > 0.0 ? var : 0.0;
}

}  // namespace

void XSTATS(std::span<const float> vals, int n, float& ave, float& sdv, float& xmin,
            float& xmax, float& xtot) {
  if (n < 1) {
    ERRMSG("XSTATS - Not enough data points");
    (void)jvaluo(" Nr of data points :", n);
    return;
  }
  if (vals.size() < static_cast<std::size_t>(n)) {
    ERRMSG("XSTATS - Fewer values than data points");
    (void)jvaluo(" Nr of data points :", n);
    return;
  }
  ave = xmin = xmax = xtot = vals[0];
  sdv = 0.0f;
  if (n == 1) return;

  double sum = 0.0;
  double sumsq = 0.0;
  float lo = vals[0];
  float hi = vals[0];
  for (int i = 0; i < n; ++i) {
    const double v = vals[i];
    sum += v;
    sumsq += v * v;
    if (vals[i] < lo) lo = vals[i];
    if (vals[i] > hi) hi = vals[i];
  }
  const double mean = sum / n;
  ave = static_cast<float>(mean);
  xtot = static_cast<float>(sum);
  xmin = lo;
  xmax = hi;

  if (n == 2) {
    sdv = static_cast<float>(std::fabs(double(vals[1]) - double(vals[0])) / 2.0);
    return;
  }
  double var = sumsq / n - mean * mean;
  if (var < 0.0) {
    // Rounding made the one-pass variance negative: take the two-pass form.
    double dev = 0.0;
    for (int i = 0; i < n; ++i) dev += (vals[i] - mean) * (vals[i] - mean);
    var = dev / n;
    if (var < 0.0) {
      ERRMSG("XSTATS - Root of negative number");
      (void)rvaluo(" Value :", static_cast<float>(var));
      sdv = 0.0f;
      return;
    }
  }
  sdv = static_cast<float>(std::sqrt(var));
}

void XYSTAT(std::span<const float> x, std::span<const float> y, int n, float& rmsd,
            float& shapecc, float& lincc, float& r1, float& r2, float& r3, float& r4, float& kx,
            float& ky) {
  rmsd = shapecc = lincc = r1 = r2 = r3 = r4 = kx = ky = 0.0f;
  if (n < 2) {
    ERRMSG("XYSTAT - fewer than 2 data points");
    return;
  }
  if (x.size() < static_cast<std::size_t>(n) || y.size() < static_cast<std::size_t>(n)) {
    ERRMSG("XYSTAT - Fewer values than data points");
    return;
  }

  double ax = 0.0;
  double ay = 0.0;
  for (int i = 0; i < n; ++i) {
    ax += std::fabs(double(x[i]));
    ay += std::fabs(double(y[i]));
  }
  const double scale_x = ay == 0.0 ? 1.0 : std::fabs(ax / ay);
  const double scale_y = ax == 0.0 ? 1.0 : std::fabs(ay / ax);

  double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, d1 = 0, d2 = 0, d3 = 0, d4 = 0;
  bool x_equal = true;
  bool y_equal = true;
  for (int i = 0; i < n; ++i) {
    const double xi = x[i];
    const double yi = y[i];
    const double abs_x = std::fabs(xi);
    const double abs_y = std::fabs(yi);
    sx += xi;
    sy += yi;
    sxx += xi * xi;
    syy += yi * yi;
    sxy += xi * yi;
    d1 += std::fabs(abs_x - abs_y);
    d2 += std::fabs(abs_x - scale_x * abs_y);
    d3 += std::fabs(scale_y * abs_x - abs_y);
    d4 += (xi - yi) * (xi - yi);
    x_equal = x_equal && x[i] == x[0];
    y_equal = y_equal && y[i] == y[0];
  }

  const double dn = n;
  rmsd = static_cast<float>(std::sqrt(d4 / dn));
  if (sxx != 0.0 && syy != 0.0) shapecc = static_cast<float>(sxy / (std::sqrt(syy) * std::sqrt(sxx)));
  const double sdx = std::sqrt(variance_from_sums(sx, sxx, dn, x_equal));
  const double sdy = std::sqrt(variance_from_sums(sy, syy, dn, y_equal));
  if (sdx != 0.0 && sdy != 0.0)
    lincc = static_cast<float>((sxy / dn - sx * sy / (dn * dn)) / (sdx * sdy));
  r1 = ax == 0.0 ? kUndefinedIndex : static_cast<float>(d1 / ax);
  r2 = ay == 0.0 ? kUndefinedIndex : static_cast<float>(d1 / ay);
  r3 = ax == 0.0 ? kUndefinedIndex : static_cast<float>(d2 / ax);
  r4 = ay == 0.0 ? kUndefinedIndex : static_cast<float>(d3 / ay);
  kx = static_cast<float>(scale_x);
  ky = static_cast<float>(scale_y);
}

}  // namespace zv
