// X/Y statistics of one-dimensional data.
#include "num/stats.h"
#include "plot_stats.h"
#include "result_line.h"

namespace zv {

void STATXY(int n, std::span<const float> x, std::span<const float> y) {
  float ave = 0.0f, sdv = 0.0f, lo = 0.0f, hi = 0.0f, tot = 0.0f;
  XSTATS(x, n, ave, sdv, lo, hi, tot);
  show_result(result_line(kResultLine, "(a,1p,5e12.4)",
                          {"Stats X-values: ave, sdv, min, max, sum:", ave, sdv, lo, hi, tot}),
              false);
  ave = sdv = lo = hi = tot = 0.0f;
  XSTATS(y, n, ave, sdv, lo, hi, tot);
  show_result(result_line(kResultLine, "(a,1p,5e12.4)",
                          {"Stats Y-values: ave, sdv, min, max, sum:", ave, sdv, lo, hi, tot}),
              false);
  float rmsd, shapecc, lincc, r1, r2, r3, r4, kx, ky;
  XYSTAT(x, y, n, rmsd, shapecc, lincc, r1, r2, r3, r4, kx, ky);
  show_result(result_line(kResultLine, "(a,1p,e12.4,0p,a,f8.3)",
                          {"Stats X versus Y: RMSD ", rmsd, " ... CC ", lincc}),
              true);
}

}  // namespace zv
