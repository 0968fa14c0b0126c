// Colour statistics of a colour ramp: the most frequent colour is painted
// once as the background, so only the other points need boxes of their own.
#include <algorithm>

#include "core/dialogue.h"
#include "core/utils.h"
#include "plot_stats.h"

namespace zv {

void COLSTAT(int n, std::span<int> codes, int& most) {
  n = std::min(n, static_cast<int>(codes.size()));
  most = 0;
  int ncolours = 0;
  int longest = 0;
  if (n > 0) {
    ISORT(codes.first(static_cast<std::size_t>(n)));
    int run = 0;
    for (int k = 0; k < n; ++k) {
      if (k == 0 || codes[k] != codes[k - 1]) {
        ++ncolours;
        run = 0;
      }
      ++run;
      // Only a strictly longer run replaces the first longest one.
      if (run > longest) {
        longest = run;
        most = codes[k];
      }
    }
  }
  (void)ivaluo(" Nr of colours :", ncolours);
  // A packed colour code needs ten digits.
  (void)jvaluo(" Most frequent :", most);
  float percent = 0.0f;
  if (n > 0) {
    percent = 100.0f * static_cast<float>(longest);
    percent = percent / static_cast<float>(n);
  }
  (void)fvaluo(" Percentage    :", percent);
}

}  // namespace zv
