// PLT2D: two-dimensional plots of a 2D plot file, as contours or as a
// colour ramp, with the file's extra lines and boxes and a report.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <string>

#include "contour.h"
#include "core/dialogue.h"
#include "core/strings.h"
#include "device.h"
#include "dual.h"
#include "plotout/xps.h"
#include "plots.h"
#include "ramp2d.h"
#include "reader_2d.h"

namespace zev {

namespace {

// Contour lines go through the dual output, which maps grid units to the
// plot's data units and draws on the device and in the PostScript file.
class DualContour : public zv::ContourOutput {
 public:
  void colour(int icol) override { DUALCL(icol); }
  void polyline(const float* x, const float* y, int n) override {
    const std::size_t m = static_cast<std::size_t>(n);
    DUALPL(std::span<const float>(x, m), std::span<const float>(y, m), n);
  }
};

void contour(ZevState& st) {
  const Plot2D& p = st.plot2d;
  DualContour out;
  std::span<char> marks(reinterpret_cast<char*>(st.buf.bytes), 2 * static_cast<std::size_t>(st.buf.n));
  zv::CONTOUR(st.buf.grid(), marks, p.nx, p.ny, p.levels.value, p.levels.colour, p.levels.n, out);
}

std::string ramp_word(std::string s) {
  zv::NOBLANKS(s);
  zv::UPCSTR(s);
  return s;
}

void ramp(ZevState& st, bool ps_wanted) {
  Plot2D& p = st.plot2d;
  // The contours of a ramp plot go to the screen only.
  if (device().present()) {
    dual_set_postscript(false);
    contour(st);
  }
  dual_set_postscript(true);
  const std::string mode = ramp_word(p.ramp_mode);
  const std::string type = ramp_word(p.ramp_type);
  if (ps_wanted) zv::XPS_COMMENT("Here come the ramped boxes");
  const std::size_t np = static_cast<std::size_t>(p.nx) * static_cast<std::size_t>(p.ny);
  std::span<float> grid = st.buf.grid().first(np);
  float lo = p.ramp_lo, hi = p.ramp_hi;
  if (lo == 0.0f && hi == 0.0f) {
    // No limits given: the smallest and largest grid value (numbers only).
    lo = std::numeric_limits<float>::infinity();
    hi = -lo;
    for (float v : grid) {
      if (v < lo) lo = v;
      if (v > hi) hi = v;
    }
    if (lo > hi) lo = hi = 0.0f;
  }
  zv::RAMP2D(grid, p.nx, p.ny, p.ramp_start.data(), p.ramp_end.data(), mode, type, p.xmin, p.xmax,
             p.ymin, p.ymax, lo, hi, st.buf.int_span(), st.buf.word_span());
}

}  // namespace

void PLT2D(ZevState& st, int unit, std::string& file, int& n, bool ramp_plot, bool ps_wanted,
           const std::string& psfile, std::string_view title, int& object, int& error) {
  n = 0;
  object = 0;
  error = load_2d_file(st, unit, file, ps_wanted);
  if (error != 0) return;
  Plot2D& p = st.plot2d;
  if (p.nx < 2 || p.ny < 2) return;
  n = p.nx * p.ny;

  float dx = p.xmax - p.xmin;
  dx = dx / static_cast<float>(p.nx - 1);
  float dy = p.ymax - p.ymin;
  dy = dy / static_cast<float>(p.ny - 1);
  dual_set_mapping(dx, dy, p.xmin, p.ymin);

  if (ps_wanted) {
    zv::XPS_OPEN(-1, psfile, "ZEV");
    zv::XPS_WINDOW(p.xmin, p.xmax, p.ymin, p.ymax);
    zv::XPS_LABELS(p.xlabel, p.ylabel);
    zv::XPS_DASH();
  }
  // With a PostScript file named, every step goes to the writer, which
  // reports each one when the file could not be opened.
  const bool ps = ps_wanted;
  if (device().present()) device().set_view(p.xmin, p.xmax, p.ymin, p.ymax);

  if (ramp_plot) {
    if (ps) ramp(st, ps);
  } else {
    if (ps) zv::XPS_COMMENT("Here come the contours");
    // Without a PostScript file only the screen sees the contours.
    dual_set_postscript(ps);
    contour(st);
    dual_set_postscript(true);
  }

  const int nextras = static_cast<int>(p.extras.size());
  (void)zv::ivaluo(" Nr of extras :", nextras);
  if (nextras > 0) {
    // Colour 0 for the extras, in the PostScript file only when one is named.
    dual_set_postscript(ps);
    DUALCL(0);
    dual_set_postscript(true);
    for (const Extra& e : p.extras) {
      const auto& v = e.v;
      if (e.type == 'L') {
        if (ps) zv::XPS_MOVE(v[0], v[1]);
        if (ps) zv::XPS_DRAW(v[2], v[3]);
      } else if (e.type == 'B') {  // x1 x2 y1 y2
        if (ps) {
          zv::XPS_MOVE(v[0], v[2]);
          zv::XPS_DRAW(v[0], v[3]);
          zv::XPS_DRAW(v[1], v[3]);
          zv::XPS_DRAW(v[1], v[2]);
          zv::XPS_DRAW(v[0], v[2]);
        }
      }
      if (device().present()) {
        if (e.type == 'L') {
          device().move(v[0], v[1]);
          device().draw(v[2], v[3]);
        } else if (e.type == 'B') {
          device().rectangle(v[0], v[1], v[2], v[3]);
        }
      }
    }
  }

  (void)zv::jvaluo(" Number of data points :", n);
  (void)zv::rvaluo(" Lowest X-value        :", p.xmin);
  (void)zv::rvaluo(" Highest X-value       :", p.xmax);
  (void)zv::rvaluo(" Lowest Y-value        :", p.ymin);
  (void)zv::rvaluo(" Highest Y-value       :", p.ymax);
  const std::size_t nl = static_cast<std::size_t>(std::clamp(p.levels.n, 0, kMaxLevels));
  (void)zv::ivaluo(" Number of levels      :", p.levels.n);
  if (nl > 0) {
    (void)zv::rvaluo(" Level intensities     :", std::span<const float>(p.levels.value.data(), nl));
    (void)zv::ivaluo(" Level colour indices  :", std::span<const int>(p.levels.colour.data(), nl));
  }
  if (ps) zv::XPS_CLOSE();
  if (st.graphics && st.current >= 1) {
    Window& w = st.windows[static_cast<std::size_t>(st.current)];
    w.limits = {p.xmin, p.xmax, p.ymin, p.ymax};
    st.last2d_window = st.current;
    st.last2d_nx = p.nx;
    st.last2d_ny = p.ny;
  }
}

}  // namespace zev
