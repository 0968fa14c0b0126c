// The one-dimensional plot types. Real arithmetic is single precision, one
// operation at a time.
#include <algorithm>
#include <cmath>
#include <span>
#include <string>

#include "boxplot.h"
#include "core/dialogue.h"
#include "core/strings.h"
#include "plot_1d_draw.h"
#include "text/format.h"

namespace zev {

namespace {

constexpr float kPi = 3.14159265f;

std::span<const float> first_n(const std::vector<float>& v, int n) {
  return std::span<const float>(v.data() + 1, static_cast<std::size_t>(n));
}

float radians(float degrees) {
  float a = degrees * kPi;
  return a / 180.0f;
}

}  // namespace

void marker_halves(const Plot1D& p, const Limits& lim, float& dx, float& dy) {
  dx = p.marker_size[0];
  if (!(dx > 0.0f)) {
    dx = lim.xmax - lim.xmin;
    dx = 0.01f * dx;
  }
  dy = p.marker_size[1];
  if (!(dy > 0.0f)) {
    dy = lim.ymax - lim.ymin;
    dy = 0.01f * dy;
  }
}

void draw_scatter(PlotOut& out, const Plot1D& p, const Limits& lim) {
  float dx, dy;
  marker_halves(p, lim, dx, dy);
  out.comment("Here comes the scatter plot");
  const auto& x = p.pts->x;
  const auto& y = p.pts->y;
  for (int i = 1; i <= p.n; ++i)
    out.marker(p.marker, x[i] - dx, x[i] + dx, y[i] - dy, y[i] + dy);
}

void draw_spike(PlotOut& out, const Plot1D& p, const Limits& lim) {
  float dx, dy;
  marker_halves(p, lim, dx, dy);  // worked out as for a scatter plot, not used
  out.comment("Here comes the spike plot");
  for (int i = 1; i <= p.n; ++i) {
    out.move(p.pts->x[i], 0.0f);
    out.draw(p.pts->x[i], p.pts->y[i]);
  }
}

void draw_line(PlotOut& out, const Plot1D& p) {
  out.comment("Here comes the line plot");
  out.move(p.pts->x[1], p.pts->y[1]);
  for (int i = 1; i <= p.n; ++i) out.draw(p.pts->x[i], p.pts->y[i]);
}

// A strip of grey boxes, one per point from X(i) to X(i + 1), darker for
// higher Y, then a grey key under the plot box.
void draw_cd(PlotOut& out, Plot1D& p, const Limits& lim) {
  out.comment("Here comes the CD plot");
  auto& x = p.pts->x;
  const auto& y = p.pts->y;
  const int n = p.n;
  const float fraction = std::clamp(p.cdvert, 0.01f, 1.0f);
  float top = lim.ymax - lim.ymin;
  top = top * fraction;
  top = lim.ymin + top;
  float step = x[n] - x[1];
  step = step / static_cast<float>(n - 1);
  x[n + 1] = x[n] + step;
  (void)zv::fvaluo(" CDVERT :", fraction);
  (void)zv::fvaluo(" CDYMAX :", top);
  const float range = lim.ymax - lim.ymin;
  for (int i = 1; i <= n; ++i) {
    float g = y[i] - lim.ymin;
    g = g / range;
    g = 1.0f - g;
    out.box(x[i], x[i + 1], lim.ymin, top, g);
  }

  // The key, in page coordinates: 30 boxes from white to black.
  float bx1, bx2, by1, by2;
  zv::XPS_PLOTBOX(bx1, bx2, by1, by2);
  out.window(bx1, bx2, by1, by2);
  for (int k = 1; k <= 30; ++k) {
    const float x1 = 350.0f + 5.0f * static_cast<float>(k - 1);
    float g = static_cast<float>(k - 1) / 30.0f;
    g = 1.0f - g;
    out.box(x1, x1 + 5.0f, 50.0f, 75.0f, g);
  }
  out.colour(0);
  out.move(350.0f, 50.0f);
  out.draw(500.0f, 50.0f);
  out.draw(500.0f, 75.0f);
  out.draw(350.0f, 75.0f);
  out.draw(350.0f, 50.0f);
  for (const auto& [value, xpos] : {std::pair{lim.ymin, 350.0f}, std::pair{lim.ymax, 475.0f}}) {
    std::string t = zv::format("(f10.3)", {value});
    while (!t.empty() && t.back() == '\n') t.pop_back();
    zv::ONEBLANK(t);
    out.text(xpos, 30.0f, 12.0f, zv::rtrim(t));
  }
  out.window(lim.xmin, lim.xmax, lim.ymin, lim.ymax);
}

void draw_boxplot(const Plot1D& p) {
  const zv::BoxMarker marker{p.marker, p.marker_size[0], p.marker_size[1]};
  const auto x = first_n(p.pts->x, p.n);
  const auto y = first_n(p.pts->y, p.n);
  // BOXPAR: start, width, last start.
  if (p.boxpar[1] > 0.0f)
    zv::BOXPLOT(p.boxpar[0], p.boxpar[2], p.boxpar[1], p.n, x, y, marker);
  else
    zv::BOXPLOTN(p.boxpar[1], p.n, x, y, marker);
}

void draw_histogram(PlotOut& out, Plot1D& p) {
  out.comment("Here comes the histogram");
  const auto& x = p.pts->x;
  const auto& y = p.pts->y;
  for (int i = 1; i < p.n; ++i) {
    out.move(x[i], 0.0f);
    out.draw(x[i], y[i]);
    out.draw(x[i + 1], y[i]);
    out.draw(x[i + 1], 0.0f);
  }
  p.n = p.n - 1;
}

// Slices of a circle of radius 50 round the origin, one per point but the
// last, each the share of its Y in the total of all Y values, lettered A, B,
// ... at radius 60.
void draw_pie(PlotOut& out, Plot1D& p) {
  const auto& x = p.pts->x;
  const auto& y = p.pts->y;
  out.circle(0.0f, 0.0f, 50.0f);
  out.move(0.0f, 0.0f);
  out.draw(50.0f, 0.0f);
  float total = 0.0f;
  for (int i = 1; i <= p.n; ++i) total = total + y[i];
  long long end_angle = 0;
  for (int i = 1; i < p.n; ++i) {
    if (!(y[i] > 0.0f)) continue;
    // Letters A..Z, then A again: a slice letter is always a letter.
    const std::string letter(1, static_cast<char>('A' + (i - 1) % 26));
    if (out.ps()) {
      std::string line;
      zv::list_write_append(line, {letter, y[i], " between ", x[i], " and ", x[i + 1]});
      while (!line.empty() && line.back() == '\n') line.pop_back();
      zv::ONEBLANK(line);
      line = std::string(zv::rtrim(line));
      zv::XPS_LEGEND(line);
      zv::TXTOUT(" " + line);
    }
    // The slice's share in whole degrees. A zero total (or one that is not
    // a number) has no share to give: such a slice adds no angle rather than
    // an undefined one. A negative total turns the slices backwards; shares
    // are held within what whole turns of n slices can use.
    float share = y[i] * 360.0f;
    share = share / total;
    if (!std::isfinite(share)) share = 0.0f;
    share = std::clamp(share, -1.0e9f, 1.0e9f);
    const long long start_angle = end_angle;
    end_angle = std::min(360LL, end_angle + std::llround(share));
    const float a = radians(static_cast<float>(end_angle));
    out.move(0.0f, 0.0f);
    out.draw(50.0f * std::cos(a), 50.0f * std::sin(a));
    float middle = static_cast<float>(start_angle + end_angle);
    middle = middle / 2.0f;
    const float m = radians(middle);
    out.text(60.0f * std::cos(m), 60.0f * std::sin(m), 10.0f, letter);
  }
  p.n = p.n - 1;
}

}  // namespace zev
