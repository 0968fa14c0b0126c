// Dual output to the graphics device and the PostScript writer.
#include "dual.h"

#include <algorithm>
#include <vector>

#include "device.h"
#include "plotout/xps.h"

namespace zev {

namespace {

// One mapping and one switch for the process, as there is one PostScript
// file and one device.
struct DualState {
  float dx = 1.0f, dy = 1.0f, xmin = 0.0f, ymin = 0.0f;
  bool postscript = true;
  std::vector<float> xs, ys;  // mapped points (kept to avoid allocation per line)
};

DualState& dual() {
  static DualState s;
  return s;
}

}  // namespace

void dual_set_mapping(float dx, float dy, float xmin, float ymin) {
  DualState& s = dual();
  s.dx = dx;
  s.dy = dy;
  s.xmin = xmin;
  s.ymin = ymin;
}

void dual_set_postscript(bool on) { dual().postscript = on; }

bool dual_postscript() { return dual().postscript; }

void DUALPL(std::span<const float> x, std::span<const float> y, int n) {
  DualState& s = dual();
  const std::size_t m =
      std::min({static_cast<std::size_t>(std::max(n, 0)), x.size(), y.size()});
  if (m == 0) return;
  s.xs.resize(m);
  s.ys.resize(m);
  for (std::size_t i = 0; i < m; ++i) {
    // Two single-precision operations each, no fused multiply-add.
    const float px = x[i] * s.dx;
    const float py = y[i] * s.dy;
    s.xs[i] = px + s.xmin;
    s.ys[i] = py + s.ymin;
  }
  GraphicsDevice& dev = device();
  if (dev.present()) dev.polyline(s.xs, s.ys);
  if (s.postscript) {
    zv::XPS_MOVE(s.xs[0], s.ys[0]);
    for (std::size_t i = 1; i < m; ++i) zv::XPS_DRAW(s.xs[i], s.ys[i]);
    zv::XPS_STROKE();
  }
}

void DUALCL(int colour) {
  GraphicsDevice& dev = device();
  if (dev.present()) dev.set_colour(colour);
  if (dual().postscript) zv::XPS_COLOUR(colour);
}

}  // namespace zev
