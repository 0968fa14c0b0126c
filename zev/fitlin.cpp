// Linear fit of Y on X, the line a plot may draw through its data.
#include <algorithm>

#include "plot_stats.h"
#include "result_line.h"

namespace zv {

void FITLIN(int n, std::span<const float> x, std::span<const float> y, float& slope,
            float& intercept) {
  n = std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())});
  slope = 0.0f;
  intercept = 0.0f;
  if (n > 0) {
    double sx = 0.0, sy = 0.0;
    for (int i = 0; i < n; ++i) {
      sx += x[i];
      sy += y[i];
    }
    const double xm = sx / n;
    double sxy = 0.0, sxx = 0.0;
    for (int i = 0; i < n; ++i) {
      const double d = x[i] - xm;
      sxy += d * y[i];
      sxx += d * d;
    }
    // All X equal: there is no slope to fit; the horizontal line through the
    // mean Y is reported instead of a division by zero.
    const double b = sxx != 0.0 ? sxy / sxx : 0.0;
    slope = static_cast<float>(b);
    intercept = static_cast<float>((sy - b * sx) / n);
  }
  show_result(result_line(kResultLine, "(a,1p,e12.4,a,e12.4)",
                          {"Linear fit: slope ", slope, " ... intercept ", intercept}),
              true);
}

}  // namespace zv
