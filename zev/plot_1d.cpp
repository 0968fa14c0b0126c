// PLT1D: one-dimensional plots. The data sets of a picture (one file, or
// several joined by MORE and NEXTFN) are read and drawn one after the other
// into the same picture; the axes, the window and the PostScript file are set
// up by the first, each data set gets its own dash pattern while the dash
// flag is on, and the extras and the report come at the end.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <span>
#include <string>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "datablock.h"
#include "plot_1d_draw.h"
#include "plot_stats.h"
#include "plots.h"
#include "reader_1d.h"

namespace zev {

namespace {

std::span<const float> first_n(const std::vector<float>& v, int n) {
  return std::span<const float>(v.data() + 1, static_cast<std::size_t>(n));
}

// Smallest and largest of values 1..n; values that are not numbers are left
// out (none at all gives 0 and 0).
void extent(const std::vector<float>& v, int n, float& lo, float& hi) {
  lo = std::numeric_limits<float>::infinity();
  hi = -lo;
  for (int i = 1; i <= n; ++i) {
    if (v[i] < lo) lo = v[i];
    if (v[i] > hi) hi = v[i];
  }
  if (lo > hi) lo = hi = 0.0f;
}

// Equal limits are widened by 1 % each way, and to -0.01..0.01 round zero.
void widen(float& lo, float& hi) {
  if (lo != hi) return;
  lo = lo * 0.99f;
  hi = hi * 1.01f;
  if (lo == hi) {
    lo = -0.01f;
    hi = 0.01f;
  }
}

Limits limits_of(const Plot1D& p, bool pie) {
  Limits lim;
  if (pie) {
    lim = {-70.0f, 70.0f, -70.0f, 70.0f};
  } else if (p.view) {
    lim = {p.view_limits[0], p.view_limits[1], p.view_limits[2], p.view_limits[3]};
  } else {
    extent(p.pts->x, p.n, lim.xmin, lim.xmax);
    extent(p.pts->y, p.n, lim.ymin, lim.ymax);
  }
  widen(lim.xmin, lim.xmax);
  widen(lim.ymin, lim.ymax);
  return lim;
}

// GRID: vertical lines at xlo, xlo + xstep, ... and horizontal lines at ylo,
// ylo + ystep, ...; int((hi - lo + step) / step) lines each way.
void draw_grid(PlotOut& out, const Plot1D& p) {
  out.comment("Here comes your grid");
  const auto& g = p.grid_values;  // xlo xhi xstep ylo yhi ystep
  // A negative step runs from a higher xlo down to a lower xhi. A zero step
  // (no number of lines), or a count beyond any page, draws no lines.
  auto count = [](float lo, float hi, float step) -> long {
    float t = hi - lo;
    t = t + step;
    t = t / step;
    if (!(t >= 1.0f) || t > 100000.0f) return 0;
    return static_cast<long>(t);
  };
  const long nxl = count(g[0], g[1], g[2]);
  for (long k = 0; k < nxl; ++k) {
    float x = static_cast<float>(k) * g[2];
    x = g[0] + x;
    out.move(x, g[3]);
    out.draw(x, g[4]);
  }
  const long nyl = count(g[3], g[4], g[5]);
  for (long k = 0; k < nyl; ++k) {
    float y = static_cast<float>(k) * g[5];
    y = g[3] + y;
    out.move(g[0], y);
    out.draw(g[1], y);
  }
}

bool starts(std::string_view type, std::string_view code) {
  return type.starts_with(code);
}

// Steps 6 to 10 for one data set: statistics, limits, set-up of the picture,
// the drawing by type and the text labels.
void draw_set(Plot1D& p, std::string_view type, bool pie, const std::string& psfile,
              bool ps_wanted, Limits& lim) {
  float slope = 0.0f, intercept = 0.0f;
  if (p.linfit) zv::FITLIN(p.n, first_n(p.pts->x, p.n), first_n(p.pts->y, p.n), slope, intercept);
  if (p.xystat) zv::STATXY(p.n, first_n(p.pts->x, p.n), first_n(p.pts->y, p.n));

  lim = limits_of(p, pie);

  if (ps_wanted && p.first_set) {
    zv::XPS_OPEN(-1, psfile, "ZEV");
    float x1, x2, y1, y2;
    zv::XPS_PLOTBOX(x1, x2, y1, y2);
  }
  // With a PostScript file named, every step goes to the writer, which
  // reports each one when the file could not be opened.
  PlotOut out(ps_wanted);
  if (out.ps()) {
    // Each data set of a picture gets the writer's next dash pattern.
    if (p.dash) zv::XPS_DASH();
    if (p.first_set) zv::XPS_WINDOW(lim.xmin, lim.xmax, lim.ymin, lim.ymax);
    zv::XPS_LABELS(p.xlabel, p.ylabel);
    zv::XPS_WHITEOUT(p.hide ? 1 : 0);
  }
  if (p.first_set && device().present()) device().set_view(lim.xmin, lim.xmax, lim.ymin, lim.ymax);
  if (p.grid) draw_grid(out, p);
  if (p.linfit && (starts(type, "SCAT") || starts(type, "LINE") || starts(type, "SPIK"))) {
    float y1 = slope * lim.xmin;
    y1 = y1 + intercept;
    float y2 = slope * lim.xmax;
    y2 = y2 + intercept;
    out.move(lim.xmin, y1);
    out.draw(lim.xmax, y2);
  }
  out.colour(p.colour);

  if (starts(type, "SCAT")) {
    draw_scatter(out, p, lim);
  } else if (starts(type, "SPIK")) {
    draw_spike(out, p, lim);
  } else if (starts(type, "LINE")) {
    draw_line(out, p);
  } else if (starts(type, "CDPLOT")) {
    draw_cd(out, p, lim);
  } else if (starts(type, "BOX")) {
    out.comment("Here comes the box plot");
    draw_boxplot(p);
  } else if (starts(type, "HIST")) {
    draw_histogram(out, p);
  } else if (starts(type, "PIE")) {
    draw_pie(out, p);
  } else {
    zv::ERRMSG("Not a valid plot type ? Tell Obrek !");
    (void)zv::textuo(" Type :", type);
  }

  // The labels of this data set; the comment and the colour are written for
  // every data set, with or without labels.
  out.comment("Here come the labels");
  for (const TextLabel& t : p.texts) out.text(t.x, t.y, t.size, zv::rtrim(t.text));
  out.colour(p.colour);
  p.texts.clear();
}

// Step 12: the extras, the end of the PostScript file and the report.
void finish(ZevState& st, const Plot1D& p, bool pie, bool ps_wanted, const Limits& lim, int n) {
  const int nextras = static_cast<int>(p.extras.size());
  (void)zv::ivaluo(" Nr of extras :", nextras);
  PlotOut out(ps_wanted);
  if (nextras > 0) {
    if (out.ps()) zv::XPS_SOLID();
    out.colour(p.colour);
    out.comment("Here come the extras");
    for (const Extra& e : p.extras) {
      const auto& v = e.v;
      switch (e.type) {
        case 'L':
          out.move(v[0], v[1]);
          out.draw(v[2], v[3]);
          break;
        case 'B':  // x1 x2 y1 y2
          out.move(v[0], v[2]);
          out.draw(v[0], v[3]);
          out.draw(v[1], v[3]);
          out.draw(v[1], v[2]);
          out.draw(v[0], v[2]);
          break;
        case 'C':
          out.circle(v[0], v[1], v[2]);
          break;
        default:
          out.ellipse(v[0], v[1], v[2], v[3]);
          break;
      }
    }
  }
  if (out.ps()) zv::XPS_CLOSE();
  (void)zv::jvaluo(" Number of data points :", n);
  if (!pie) {
    (void)zv::rvaluo(" Lowest X-value        :", lim.xmin);
    (void)zv::rvaluo(" Highest X-value       :", lim.xmax);
    (void)zv::rvaluo(" Lowest Y-value        :", lim.ymin);
    (void)zv::rvaluo(" Highest Y-value       :", lim.ymax);
  }
  if (st.graphics && st.current >= 1)
    st.windows[static_cast<std::size_t>(st.current)].limits = {lim.xmin, lim.xmax, lim.ymin,
                                                                lim.ymax};
}

}  // namespace

void PLT1D(ZevState& st, int mode, std::string_view type, int unit, std::string& file,
           const std::string& psfile, bool ps_wanted, int& n, std::string_view title,
           int& object, int& error) {
  n = 0;
  object = 0;
  error = 0;
  const std::string code(zv::rtrim(type));
  (void)zv::textuo(" Plot type :", code);
  zv::TXTOUT(" Initialising ...");

  Plot1D p;
  start_plot1d(p, st.current_points(), st.graphics);
  error = open_1d_file(unit, file, p);
  if (error != 0) return;
  zv::TXTOUT(" Reading ...");
  const bool pie = !code.empty() && code[0] == 'P';

  Read1DOptions opt;
  opt.ps_wanted = ps_wanted;
  auto src = std::make_unique<PlotSource>(unit);
  Limits lim;
  bool drawn = false;
  for (;;) {
    if (mode == 1) {
      // A Mova datablock: its values are the Y values, its label the Y axis.
      DatablockHeader hdr;
      if (read_datablock(*src, DatablockTarget::Y, *p.pts, p.n, hdr) == 0) p.ylabel = hdr.label;
      p.end = SetEnd::End;
    } else {
      (void)read_1d_set(*src, unit, p, opt);
    }
    zv::TXTOUT(" Plotting ...");
    if (p.end != SetEnd::More) (void)zv::unit_close(unit);
    if (p.n < 2) {
      // Nothing to draw: a first data set ends the plot without a picture;
      // a later one ends the picture with what was drawn before it.
      if (p.first_set) return;
      break;
    }
    draw_set(p, code, pie, psfile, ps_wanted, lim);
    drawn = true;
    n = p.n;
    p.first_set = false;
    if (p.end == SetEnd::More) continue;
    if (p.end == SetEnd::NextFile && open_next_1d_file(st, unit, p)) {
      src = std::make_unique<PlotSource>(unit);
      continue;
    }
    break;
  }
  if (p.end == SetEnd::More) (void)zv::unit_close(unit);
  if (drawn) finish(st, p, pie, ps_wanted, lim, n);
  st.current_points().n = n;
}

}  // namespace zev
