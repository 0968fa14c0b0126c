// The colour ramp. Colours are computed in HSV: the hue, the saturation or
// the value runs with the grid value (or, for the "white" ramp, the
// saturation falls towards the middle of the limits), then converted to RGB
// and packed into one colour code per point. The most frequent colour is
// painted once over the whole area; only the other points get boxes. Real
// arithmetic is single precision, one operation at a time.
#include "ramp2d.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/dialogue.h"
#include "core/utils.h"
#include "plot_stats.h"
#include "plotout/xps.h"
#include "plotout/xvrml.h"

namespace zv {
namespace {

enum class RampType { Hue, Saturation, Value, White };

// Limited to 0..1; NaN (from NaN grid values) becomes 0.
float unit_range(float v) {
  if (v != v) return 0.0f;
  return std::clamp(v, 0.0f, 1.0f);
}

// Rounded to the nearest 1/steps; values are already within 0..1.
float round_to(float v, float steps) {
  float t = v * steps;
  t = std::round(t);
  return t / steps;
}

std::string_view first3(std::string_view s) { return s.substr(0, std::min<std::size_t>(3, s.size())); }

struct Ramp {
  RampType type = RampType::Hue;
  float lo = 0, hi = 0;
  float hs = 0, ss = 0, vs = 0, he = 0, se = 0, ve = 0;
  float slope = 0, step = 0;
  float hue = 0, from = 0;  // saturation and value ramps: fixed hue, start of the run
  float middle = 0;         // white ramp

  // Per-type parameters; prints the start and end of what runs.
  void setup() {
    const float range = hi - lo;
    switch (type) {
      case RampType::Hue: {
        if (he == hs) he = hs + 180.0f;
        const float span = he - hs;
        step = span / 100.0f;
        slope = range != 0.0f ? span / range : 0.0f;
        (void)fvaluo(" HUE start :", hs);
        (void)fvaluo(" HUE end   :", he);
        break;
      }
      case RampType::Saturation:
      case RampType::Value: {
        float to;
        if (he > hs) {
          hue = he;
          from = 0.0f;
          to = 1.0f;
        } else {
          hue = hs;
          from = 1.0f;
          to = 0.0f;
        }
        FIXANG(hue);
        const float span = to - from;
        slope = range != 0.0f ? span / range : 0.0f;
        const bool sat = type == RampType::Saturation;
        (void)fvaluo(sat ? " SAT start :" : " VAL start :", from);
        (void)fvaluo(sat ? " SAT end   :" : " VAL end   :", to);
        break;
      }
      case RampType::White:
        middle = lo + hi;
        middle = middle / 2.0f;
        slope = range != 0.0f ? 2.0f / range : 0.0f;
        break;
    }
  }

  int code(float z) const {
    float h = 0.0f, s = 1.0f, v = 1.0f;
    switch (type) {
      case RampType::Hue: {
        if (step == 0.0f) {
          h = hs;
        } else {
          float q = z - lo;
          q = q * slope;
          q = q / step;
          float k = std::trunc(q);
          if (k != k) k = 0.0f;
          h = step * k;
          h = hs + h;
        }
        h = std::trunc(h);
        h = std::clamp(h, std::min(hs, he), std::max(hs, he));
        FIXANG(h);
        break;
      }
      case RampType::Saturation:
      case RampType::Value: {
        float t = z - lo;
        t = t * slope;
        t = from + t;
        t = round_to(unit_range(t), 100.0f);
        h = hue;
        if (type == RampType::Saturation) {
          s = t;
          v = 1.0f;
        } else {
          s = 0.0f;
          v = t;
        }
        break;
      }
      case RampType::White: {
        float d;
        if (z < middle) {
          h = hs;
          v = vs;
          d = middle - z;
        } else {
          h = he;
          v = ve;
          d = z - middle;
        }
        float t = d * slope;
        s = round_to(unit_range(t), 50.0f);
        break;
      }
    }
    float r, g, b;
    HSVRGB(h, s, v, r, g, b);
    int packed;
    XVRML_PACK(r, g, b, packed);
    return packed;
  }
};

// Mode: the values (and limits) as the ramp sees them.
void apply_mode(std::string_view mode, std::span<float> grid, float& lo, float& hi) {
  if (first3(mode) == "LOG") {
    TXTOUT(" Ramp mode : LOGARITHMIC");
    float s = lo;
    for (float v : grid) s = std::min(s, v);
    auto tr = [s](float v) {
      float t = v - s;
      t = t + 1.0f;
      return std::log10(t);
    };
    for (float& v : grid) v = tr(v);
    lo = tr(lo);
    hi = tr(hi);
  } else if (first3(mode) == "ABS") {
    TXTOUT(" Ramp mode : ABSOLUTE");
    for (float& v : grid) v = std::fabs(v);
    const bool across = (lo < 0.0f && hi > 0.0f) || (lo > 0.0f && hi < 0.0f) || lo == 0.0f ||
                        hi == 0.0f;
    lo = std::fabs(lo);
    hi = std::fabs(hi);
    ORDER2(lo, hi);
    if (across) lo = 0.0f;
  } else {
    TXTOUT(" Ramp mode : LINEAR");
  }
}

}  // namespace

void RAMP2D(std::span<float> grid, int nx, int ny, const float start[3], const float end[3],
            std::string_view mode, std::string_view type, float x1, float x2, float y1, float y2,
            float lo, float hi, std::span<int> codes, std::span<int> work) {
  if (nx < 2 || ny < 2) return;
  const std::int64_t npoints = static_cast<std::int64_t>(nx) * ny;
  if (static_cast<std::int64_t>(grid.size()) < npoints ||
      static_cast<std::int64_t>(codes.size()) < npoints ||
      static_cast<std::int64_t>(work.size()) < npoints)
    return;
  const std::size_t np = static_cast<std::size_t>(npoints);
  grid = grid.first(np);

  apply_mode(mode, grid, lo, hi);

  Ramp ramp;
  const std::string_view t3 = first3(type);
  if (t3 == "SAT") {
    ramp.type = RampType::Saturation;
    TXTOUT(" Ramp type : SATURATION");
  } else if (t3 == "VAL") {
    ramp.type = RampType::Value;
    TXTOUT(" Ramp type : VALUE");
  } else if (t3 == "WHI") {
    ramp.type = RampType::White;
    TXTOUT(" Ramp type : WHITE");
  } else {
    TXTOUT(" Ramp type : HUE");
  }
  RGBHSV(start[0], start[1], start[2], ramp.hs, ramp.ss, ramp.vs);
  RGBHSV(end[0], end[1], end[2], ramp.he, ramp.se, ramp.ve);
  (void)fvaluo(" Limit     :", lo);
  (void)fvaluo(" RGB start :", std::span<const float>(start, 3));
  (void)fvaluo(" Limit     :", hi);
  (void)fvaluo(" RGB end   :", std::span<const float>(end, 3));
  ramp.lo = lo;
  ramp.hi = hi;
  ramp.setup();

  TXTOUT(" Computing colours ...");
  for (std::size_t k = 0; k < np; ++k) {
    codes[k] = ramp.code(grid[k]);
    work[k] = codes[k];
  }

  int most = 0;
  COLSTAT(static_cast<int>(np), work.first(np), most);
  float r, g, b;
  XVRML_UNPACK(r, g, b, most);
  const float rgb[3] = {r, g, b};
  (void)fvaluo(" Most frequent RGB :", std::span<const float>(rgb, 3));
  XPS_BOX(x1, x2, y1, y2, r, g, b);

  TXTOUT(" Writing PostScript boxes ...");
  float dx = x2 - x1;
  dx = dx / static_cast<float>(nx - 1);
  float dy = y2 - y1;
  dy = dy / static_cast<float>(ny - 1);
  const float xlo = std::min(x1, x2), xhi = std::max(x1, x2);
  const float ylo = std::min(y1, y2), yhi = std::max(y1, y2);
  for (int j = 1; j <= ny; ++j) {
    float by1 = static_cast<float>(j - 1) * dy;
    by1 = y1 + by1;
    by1 = by1 - dy / 2.0f;
    float by2 = by1 + dy;
    by1 = std::clamp(by1, ylo, yhi);
    by2 = std::clamp(by2, ylo, yhi);
    for (int i = 1; i <= nx; ++i) {
      const int c = codes[static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(nx) +
                          static_cast<std::size_t>(i - 1)];
      if (c == most) continue;
      float bx1 = static_cast<float>(i - 1) * dx;
      bx1 = x1 + bx1;
      bx1 = bx1 - dx / 2.0f;
      float bx2 = bx1 + dx;
      bx1 = std::clamp(bx1, xlo, xhi);
      bx2 = std::clamp(bx2, xlo, xhi);
      XVRML_UNPACK(r, g, b, c);
      XPS_BOX(bx1, bx2, by1, by2, r, g, b);
    }
  }
  TXTOUT(" Done");
}

}  // namespace zv
