// Box plot with bins of equal counts over the points sorted by X.
#include <algorithm>
#include <cmath>
#include <vector>

#include "boxplot.h"
#include "core/messages.h"
#include "core/utils.h"
#include "result_line.h"

namespace zv {

void BOXPLOTN(float param, int n, std::span<const float> x, std::span<const float> y,
              const BoxMarker& marker) {
  n = std::max(0, std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())}));
  // nint(-param) bins, at least 3; more bins than points could never hold
  // three each, so the count is kept within reach of an integer.
  float want = -param;
  int bins = 3;
  if (want == want) {
    want = std::min(want, static_cast<float>(n) + 1.0f);
    bins = std::max(3, static_cast<int>(std::lround(want)));
  }
  float per = static_cast<float>(n) / static_cast<float>(bins);
  if (std::lround(per) <= 2) {
    ERRMSG("Not enough points for box plot");
    return;
  }
  show_result(result_line(kBoxResultLine, "(a,i10,a,i3,a)",
                          {"Box plot of ", n, " points in ", bins, " bins"}),
              true);

  std::vector<float> xs(x.begin(), x.begin() + n);
  std::vector<float> ys(y.begin(), y.begin() + n);
  RSORT2(xs, ys);

  boxplot::Boxes boxes;
  int prev_end = 0;
  for (int i = 1; i <= bins; ++i) {
    float t = static_cast<float>(n) * static_cast<float>(i);
    t = t / static_cast<float>(bins);
    const int end = std::min(n, static_cast<int>(std::lround(t)));
    const int first = prev_end + 1;
    if (end < first) continue;
    prev_end = end;
    const int held = boxplot::held_points(end - first + 1);
    std::span<float> bx(xs.data() + first - 1, static_cast<std::size_t>(held));
    std::span<float> by(ys.data() + first - 1, static_cast<std::size_t>(held));
    const float xmin = xs[static_cast<std::size_t>(first - 1)];
    const float xmax = xs[static_cast<std::size_t>(end - 1)];
    boxplot::draw_bin(bx, by, xmin, xmax, xmax - xmin, marker, boxes);
  }
  boxplot::summarise(boxes);
}

}  // namespace zv
