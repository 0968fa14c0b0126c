// integrate: sums over the points of a 1D window (INTEG1) or over a part of
// the grid of the last 2D plot (INTEG2). Reals are summed in single
// precision, one operation at a time.
#include <algorithm>
#include <cmath>
#include <string>

#include "core/dialogue.h"
#include "core/messages.h"
#include "core/units.h"
#include "core/utils.h"
#include "options.h"
#include "result_line.h"
#include "text/format.h"

namespace zev {

namespace {

// A real from word i when given (an unreadable word: false), else the
// answer to the question.
bool real_word(ZevState& st, int i, std::string_view prompt, float& value) {
  if (st.nwords >= i) return zv::STRREAL(st.word(i), value) == 0;
  (void)zv::fvalii(prompt, value);
  return true;
}

// int(v) for a grid index, limited to lo..hi (a value that is not a number
// counts as lo).
int trunc_index(float v, int lo, int hi) {
  if (!(v >= static_cast<float>(lo))) return lo;
  if (v >= static_cast<float>(hi)) return hi;
  return static_cast<int>(v);
}

// nint(v), limited to lo..hi.
int round_index(float v, int lo, int hi) {
  if (!(v >= static_cast<float>(lo))) return lo;
  if (v >= static_cast<float>(hi)) return hi;
  return static_cast<int>(std::lround(v));
}

constexpr const char* kIntegralLine =
    "(' Integral      = ',1P,E12.4,' Total curve integral = ',E12.4,/,"
    "' Average value = ',E12.4,' Total curve average  = ',E12.4)";

}  // namespace

void INTEG1(const ZevState& st, float xlo, float xhi) {
  const Window& w = st.windows[static_cast<std::size_t>(st.current)];
  const PointStore& pts = st.points[static_cast<std::size_t>(st.current)];
  const int n = std::clamp(w.npoints, 0, kMaxPoints);
  float total = 0.0f, integral = 0.0f, moment = 0.0f;
  float lo = xhi, hi = xlo;
  int count = 0;
  for (int i = 1; i <= n; ++i) {
    const float x = pts.x[static_cast<std::size_t>(i)];
    const float y = pts.y[static_cast<std::size_t>(i)];
    total = total + y;
    if (x >= xlo && x <= xhi) {
      ++count;
      integral = integral + y;
      lo = std::min(lo, x);
      hi = std::max(hi, x);
      const float xy = x * y;
      moment = moment + xy;
    }
  }
  zv::write_terminal("(' Integrated ',I6,' points between ',1P,E12.4,' and ',E12.4,/,"
        "' Actual integration limits found  ',E12.4,' and ',E12.4)",
        {count, xlo, xhi, lo, hi});
  if (count == 0) return;
  const float average = integral / static_cast<float>(count);
  const float total_average = total / static_cast<float>(n);
  zv::write_terminal(kIntegralLine, {integral, total, average, total_average});
  if (total == 0.0f) return;
  zv::write_terminal("(' Fraction of total = ',F8.4,' Centre of gravity    = ',1P,E12.4)",
        {integral / total, moment / integral});
}

void INTEG2(const ZevState& st, float xlo, float xhi, float ylo, float yhi) {
  const int nx = st.last2d_nx, ny = st.last2d_ny;
  if (st.last2d_window < 1 || nx < 2 || ny < 2 ||
      static_cast<long long>(nx) * ny > st.buf.n) {
    zv::ERRMSG("No 2D plot data stored");
    return;
  }
  const auto& lim = st.windows[static_cast<std::size_t>(st.last2d_window)].limits;
  const float x0 = lim[0], x1 = lim[1], y0 = lim[2], y1 = lim[3];
  const float dx = (x1 - x0) / static_cast<float>(nx - 1);
  const float dy = (y1 - y0) / static_cast<float>(ny - 1);
  const float one = 1.0f;
  const int i1 = trunc_index((xlo - x0) / dx + one, 1, nx);
  const int i2 = std::max(round_index((xhi - x0) / dx + one, -2147483647, nx), i1);
  const int j1 = trunc_index((ylo - y0) / dy + one, 1, ny);
  const int j2 = std::max(round_index((yhi - y0) / dy + one, -2147483647, ny), j1);

  const float* grid = st.buf.real;
  float total = 0.0f, integral = 0.0f, xmom = 0.0f, ymom = 0.0f;
  const long long size = static_cast<long long>(nx) * ny;
  for (long long k = 0; k < size; ++k) total = total + grid[k];
  int count = 0;
  auto gx = [&](int i) { return x0 + dx * static_cast<float>(i - 1); };
  auto gy = [&](int j) { return y0 + dy * static_cast<float>(j - 1); };
  for (int i = i1; i <= i2; ++i) {
    for (int j = j1; j <= j2; ++j) {
      const float v = grid[static_cast<long long>(i - 1) + static_cast<long long>(j - 1) * nx];
      ++count;
      integral = integral + v;
      xmom = xmom + gx(i) * v;
      ymom = ymom + gy(j) * v;
    }
  }
  zv::write_terminal("(' Integrated ',I6,' points',/,' X range ',1P,E12.4,' to ',E12.4,' (',2E12.4,')',/,"
        "' Y range ',E12.4,' to ',E12.4,' (',2E12.4,')')",
        {count, xlo, xhi, gx(i1), gx(i2), ylo, yhi, gy(j1), gy(j2)});
  if (count < 1) return;
  zv::write_terminal(kIntegralLine, {integral, total, integral / static_cast<float>(count),
                        total / static_cast<float>(size)});
  if (total == 0.0f) return;
  zv::write_terminal("(' Fraction of total = ',F8.4,/,' Centre of gravity = ',1P,2E12.4)",
        {integral / total, xmom / integral, ymom / integral});
}

void opt_integrate(ZevState& st) {
  st.word(1) = "integrate";
  if (st.nopen < 1) {
    zv::ERRMSG("No windows open");
    return;
  }
  if (st.current < 1 || !st.windows[static_cast<std::size_t>(st.current)].open) {
    zv::ERRMSG("Window not open");
    return;
  }
  const Window& w = st.windows[static_cast<std::size_t>(st.current)];
  if (w.dim == 2 && st.current != st.last2d_window) {
    zv::ERRMSG("Only data for *last* 2D plot is stored");
    return;
  }
  float xlo = st.int_xlo, xhi = st.int_xhi;
  if (!real_word(st, 2, " Lower X ?", xlo) || !real_word(st, 3, " Upper X ?", xhi)) return;
  zv::ORDER2(xlo, xhi);
  st.int_xlo = xlo;
  st.int_xhi = xhi;
  if (w.dim == 1) {
    INTEG1(st, xlo, xhi);
    return;
  }
  float ylo = st.int_ylo, yhi = st.int_yhi;
  if (!real_word(st, 4, " Lower Y ?", ylo) || !real_word(st, 5, " Upper Y ?", yhi)) return;
  zv::ORDER2(ylo, yhi);
  st.int_ylo = ylo;
  st.int_yhi = yhi;
  INTEG2(st, xlo, xhi, ylo, yhi);
}

}  // namespace zev
