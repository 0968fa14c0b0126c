// Box plot with bins of a fixed width.
#include <algorithm>
#include <numeric>
#include <vector>

#include "boxplot.h"
#include "core/messages.h"
#include "result_line.h"

namespace zv {

void BOXPLOT(float start, float last, float width, int n, std::span<const float> x,
             std::span<const float> y, const BoxMarker& marker) {
  n = std::max(0, std::min({n, static_cast<int>(x.size()), static_cast<int>(y.size())}));
  show_result(result_line(kBoxResultLine, "(a,i10,a,1p,e12.4)",
                          {"Box plot of ", n, " points with bin size ", width}),
              true);
  if (!(width > 0.0f)) return;

  // The points in increasing X (a point whose X is not a number is in no
  // bin), so each bin is one stretch of this order.
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    if (x[i] == x[i]) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return x[a] < x[b]; });

  boxplot::Boxes boxes;
  std::vector<int> members;
  std::vector<float> bx, by;
  std::size_t p = 0;
  float s = start;
  while (s <= last) {
    const float end = s + width;
    if (end == s) {
      // The width is lost against the bin start: the bins would never move on.
      ERRMSG("Box plot bin width too small for its bin start");
      break;
    }
    while (p < order.size() && x[order[p]] < s) ++p;
    std::size_t q = p;
    while (q < order.size() && x[order[q]] < end) ++q;
    if (q > p) {
      // The bin's points in their order in the data.
      members.assign(order.begin() + static_cast<std::ptrdiff_t>(p),
                     order.begin() + static_cast<std::ptrdiff_t>(q));
      std::sort(members.begin(), members.end());
      members.resize(static_cast<std::size_t>(boxplot::held_points(static_cast<int>(members.size()))));
      bx.clear();
      by.clear();
      for (int i : members) {
        bx.push_back(x[i]);
        by.push_back(y[i]);
      }
      boxplot::draw_bin(bx, by, s, end, width, marker, boxes);
    }
    p = q;
    s = end;
  }
  boxplot::summarise(boxes);
}

}  // namespace zv
