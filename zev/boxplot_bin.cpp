// One bin of a box plot: the percentile report and the figure, and the
// summary over all boxes. Real arithmetic is single precision, one operation
// at a time; the statistics sum in double precision.
#include <algorithm>
#include <cmath>
#include <string>

#include "boxplot.h"
#include "core/dialogue.h"
#include "core/utils.h"
#include "num/stats.h"
#include "plot_stats.h"
#include "plotout/xps.h"
#include "result_line.h"

namespace zv::boxplot {
namespace {

// The sorted value at position nint(p * count), kept within 1..count.
float percentile(std::span<const float> sorted, float p) {
  const int count = static_cast<int>(sorted.size());
  float t = p * static_cast<float>(count);
  int pos = static_cast<int>(std::lround(t));
  pos = std::clamp(pos, 1, count);
  return sorted[static_cast<std::size_t>(pos - 1)];
}

void move(float x, float y) { XPS_MOVE(x, y); }
void draw(float x, float y) { XPS_DRAW(x, y); }

void marker_at(const BoxMarker& m, float x, float y) {
  XPS_MARKER(m.type, x - m.dx, x + m.dx, y - m.dy, y + m.dy);
}

}  // namespace

int held_points(int count) {
  if (count <= kMaxBinPoints) return count;
  TXTOUT(" WARNING - Box plot bin of " + std::to_string(count) + " points: the first " +
         std::to_string(kMaxBinPoints) + " are used");
  return kMaxBinPoints;
}

void draw_bin(std::span<float> bx, std::span<float> by, float xmin, float xmax, float w,
              const BoxMarker& marker, Boxes& boxes) {
  const int count = static_cast<int>(std::min(bx.size(), by.size()));
  if (count < 1) return;
  bx = bx.first(static_cast<std::size_t>(count));
  by = by.first(static_cast<std::size_t>(count));

  const bool box = count >= kMinBoxPoints;
  if (box) RSORT2(by, bx);
  float ave = 0, sdv = 0, lo = 0, hi = 0, tot = 0;
  XSTATS(by, count, ave, sdv, lo, hi, tot);
  float mx = 0, xsdv = 0, xlo = 0, xhi = 0, xtot = 0;
  XSTATS(bx, count, mx, xsdv, xlo, xhi, xtot);
  const float twice = 2.0f * sdv;

  if (box) {
    const float p10 = percentile(by, 0.1f);
    const float p25 = percentile(by, 0.25f);
    const float p50 = percentile(by, 0.5f);
    const float p75 = percentile(by, 0.75f);
    const float p90 = percentile(by, 0.9f);
    write_terminal("(/,1X,2A12,A6,5A11)",
                   {"X-min", "X-max", "Nr", "Median", "25th %", "75th %", "10th %", "90th %"});
    write_terminal("(1X,1P,2E12.4,I6,5E11.3)", {xmin, xmax, count, p50, p25, p75, p10, p90});
    write_terminal("(1X,8X,7A11)", {"X-Average", "Average", "St.dev.", "Minimum", "Maximum",
                                    "Ave-2*Sdv", "Ave+2*Sdv"});
    write_terminal("(1X,1P,8X,7E11.3)", {mx, ave, sdv, lo, hi, ave - twice, ave + twice});

    float xl = 0.05f * w;
    xl = xmin + xl;
    float xm = 0.5f * w;
    xm = xmin + xm;
    float xr = 0.95f * w;
    xr = xmin + xr;
    move(xl, p10);
    draw(xr, p10);
    move(xm, p10);
    draw(xm, p25);
    move(xl, p25);
    draw(xr, p25);
    draw(xr, p75);
    draw(xl, p75);
    draw(xl, p25);
    move(xl, p50);
    draw(xr, p50);
    move(xm, p75);
    draw(xm, p90);
    move(xl, p90);
    draw(xr, p90);
    // The mean as a cross, its arms kept inside the box.
    const float arm = 0.2f * w;
    const float inset = 0.05f * w;
    move(std::max(mx - arm, xl + inset), ave);
    draw(std::min(mx + arm, xr - inset), ave);
    float q = p75 - p25;
    q = 0.2f * q;
    move(mx, ave - q);
    draw(mx, ave + q);
    // Points beyond the whiskers, in sorted-Y order.
    for (int k = 0; k < count; ++k)
      if (by[k] < p10 || by[k] > p90) marker_at(marker, bx[k], by[k]);
    boxes.x.push_back(mx);
    boxes.y.push_back(ave);
  } else {
    for (int k = 0; k < count; ++k) marker_at(marker, bx[k], by[k]);
    write_terminal("(/,1X,2A12,A6,5A11)", {"X-min", "X-max", "Nr"});
    write_terminal("(1X,1P,2E12.4,I6,5E11.3)", {xmin, xmax, count});
    write_terminal("(1X,8X,7A11)", {"X-Average", "Average", "St.dev.", "Minimum", "Maximum",
                                    "Ave-2*Sdv", "Ave+2*Sdv"});
    write_terminal("(1X,1P,8X,7E11.3)", {mx, ave, sdv, lo, hi, ave - twice, ave + twice});
  }
}

void summarise(const Boxes& boxes) {
  const int nbox = static_cast<int>(boxes.x.size());
  if (nbox < 2) return;
  float rmsd, shapecc, lincc, r1, r2, r3, r4, kx, ky;
  XYSTAT(boxes.x, boxes.y, nbox, rmsd, shapecc, lincc, r1, r2, r3, r4, kx, ky);
  show_result(result_line(kBoxResultLine, "(a,1p,e12.4,0p,a,f8.3,a,i6,a)",
                          {"Stats box-average X versus Y: RMSD ", rmsd, " ... CC ", lincc, " ... ",
                           nbox, " bins"}),
              true);
  float slope, intercept;
  FITLIN(nbox, boxes.x, boxes.y, slope, intercept);
}

}  // namespace zv::boxplot
