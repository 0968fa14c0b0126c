// The contour follower. For each level the edges of the grid are searched
// for crossings (horizontal edges first, then vertical ones); from each
// unused crossing the line is followed forward from cell to cell, and, when
// it did not close on itself, backward from the same start point as a new
// polyline. Every edge a line crosses is marked, so each line is drawn once
// and one level costs time proportional to nx * ny.
//
// Cell (i, j) has the corners 1 = (i + 1, j), 2 = (i, j), 3 = (i, j + 1),
// 4 = (i + 1, j + 1) and the sides 1 = bottom, 2 = left, 3 = top, 4 = right;
// side k runs from corner k to corner k + 1 (4 to 1 for side 4). All real
// arithmetic is single precision, one operation at a time.
#include "contour.h"

#include <algorithm>
#include <cstring>

#include "plotout/xps.h"

namespace zv {
namespace {

constexpr char kFree = 'f';
constexpr char kUsed = 't';

constexpr int wrap(int side) { return (side - 1) % 4 + 1; }

// Strictly opposite signs; an end exactly at the level is no crossing.
inline bool crosses(float a, float b) { return (a < 0.0f && b > 0.0f) || (a > 0.0f && b < 0.0f); }

// A fraction along a side: NaN (from infinite grid values) becomes the
// fallback, anything else is kept on the side.
inline float on_side(float f, float fallback) {
  if (f != f) return fallback;
  return std::clamp(f, 0.0f, 1.0f);
}

class Tracer {
 public:
  Tracer(const float* grid, char* marks, int nx, int ny, ContourOutput& out)
      : g_(grid), hmarks_(marks), vmarks_(marks + static_cast<std::int64_t>(nx) * ny), nx_(nx),
        ny_(ny), out_(out) {}

  void level(float c) {
    c_ = c;
    std::memset(hmarks_, kFree, static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_));
    std::memset(vmarks_, kFree, static_cast<std::size_t>(nx_) * static_cast<std::size_t>(ny_));
    first_pass();
    second_pass();
  }

 private:
  std::int64_t at(int i, int j) const { return static_cast<std::int64_t>(j - 1) * nx_ + (i - 1); }
  float v(int i, int j) const { return g_[at(i, j)]; }
  char& hmark(int i, int j) { return hmarks_[at(i, j)]; }
  char& vmark(int i, int j) { return vmarks_[at(i, j)]; }

  bool cell_at_level(int i, int j) const {
    return v(i, j) - c_ == 0.0f && v(i + 1, j) - c_ == 0.0f && v(i, j + 1) - c_ == 0.0f &&
           v(i + 1, j + 1) - c_ == 0.0f;
  }

  void add(float x, float y) {
    px_[n_] = x;
    py_[n_] = y;
    ++n_;
    if (n_ == kContourBuffer) {
      // A full buffer goes out; its last point starts the next piece.
      out_.polyline(px_, py_, n_);
      px_[0] = px_[n_ - 1];
      py_[0] = py_[n_ - 1];
      n_ = 1;
    }
  }

  void finish() {
    if (n_ >= 2) out_.polyline(px_, py_, n_);
    n_ = 0;
  }

  // A side whose two ends lie at the level, drawn as its own line.
  void exact_side(float x1, float y1, float x2, float y2) {
    const float x[2] = {x1, x2};
    const float y[2] = {y1, y2};
    out_.polyline(x, y, 2);
  }

  // Horizontal edges (i, j)-(i + 1, j). An edge whose first value equals the
  // level is no start edge; when its second value does too, it is a side at
  // the level, drawn unless every cell it bounds lies wholly at the level.
  void first_pass() {
    for (int j = 1; j <= ny_; ++j) {
      for (int i = 1; i < nx_; ++i) {
        const float a = v(i, j) - c_;
        const float b = v(i + 1, j) - c_;
        if (a == 0.0f) {
          if (b == 0.0f && ((j < ny_ && !cell_at_level(i, j)) || (j > 1 && !cell_at_level(i, j - 1))))
            exact_side(static_cast<float>(i - 1), static_cast<float>(j - 1), static_cast<float>(i),
                       static_cast<float>(j - 1));
          continue;
        }
        if (!crosses(a, b) || hmark(i, j) == kUsed) continue;
        hmark(i, j) = kUsed;
        const float fx = on_side((c_ - v(i, j)) / (v(i + 1, j) - v(i, j)), 0.5f);
        const float x0 = static_cast<float>(i - 1) + fx;
        const float y0 = static_cast<float>(j - 1);
        // Forward into the cell above through its bottom side; a start edge
        // on the top row has no cell there and its one-point line is dropped.
        add(x0, y0);
        const bool closed = j < ny_ && follow(i, j, 1);
        finish();
        if (!closed) {
          add(x0, y0);
          if (j > 1) (void)follow(i, j - 1, 3);
          finish();
        }
      }
    }
  }

  // Vertical edges (i, j)-(i, j + 1), the same way: forward into the cell to
  // the right through its left side, backward into the cell to the left.
  void second_pass() {
    for (int j = 1; j < ny_; ++j) {
      for (int i = 1; i <= nx_; ++i) {
        const float a = v(i, j) - c_;
        const float b = v(i, j + 1) - c_;
        if (a == 0.0f) {
          if (b == 0.0f && ((i < nx_ && !cell_at_level(i, j)) || (i > 1 && !cell_at_level(i - 1, j))))
            exact_side(static_cast<float>(i - 1), static_cast<float>(j - 1),
                       static_cast<float>(i - 1), static_cast<float>(j));
          continue;
        }
        if (!crosses(a, b) || vmark(i, j) == kUsed) continue;
        vmark(i, j) = kUsed;
        const float fy = on_side((c_ - v(i, j)) / (v(i, j + 1) - v(i, j)), 0.5f);
        const float x0 = static_cast<float>(i - 1);
        const float y0 = static_cast<float>(j - 1) + fy;
        add(x0, y0);
        const bool closed = i < nx_ && follow(i, j, 2);
        finish();
        if (!closed) {
          add(x0, y0);
          if (i > 1) (void)follow(i - 1, j, 4);
          finish();
        }
      }
    }
  }

  // The exit side of a saddle cell (all four sides crossed) entered through
  // side e. When the two crossings opposite each other pair up exactly (r1 =
  // r2) the line runs straight through: the far corners take the values of
  // the near ones for this cell. Otherwise the line turns to the adjacent
  // side whose crossing lies nearer the entry side (a tie goes to side e - 1).
  // Ratios with a zero divisor are IEEE infinities.
  int saddle_exit(float cv[5], int e) const {
    const float e1 = cv[e];
    const float e2 = cv[wrap(e + 1)];
    const float o1 = cv[wrap(e + 2)];
    const float o2 = cv[wrap(e + 3)];
    const float r1 = (e1 - c_) / (e1 - o1);
    const float r2 = (o2 - c_) / (o2 - e2);
    if (r1 == r2) {
      cv[wrap(e + 2)] = e2;
      cv[wrap(e + 3)] = e1;
      return wrap(e + 2);
    }
    const float r3 = (e1 - c_) / (e1 - o2);
    const float r4 = (e2 - c_) / (e2 - o1);
    return r4 < r3 ? wrap(e + 1) : wrap(e + 3);
  }

  // Follows the line from cell (i, j), entered through side e, adding one
  // exit point per cell. Returns true when the line closed (its exit edge was
  // already used), false when it left the grid or ended inside a cell.
  bool follow(int i, int j, int e) {
    for (;;) {
      float cv[5];
      cv[1] = v(i + 1, j);
      cv[2] = v(i, j);
      cv[3] = v(i, j + 1);
      cv[4] = v(i + 1, j + 1);
      int ncross = 0, cross_side = 0, nzero = 0, zero_side = 0;
      for (int k = 1; k <= 3; ++k) {
        const int s = wrap(e + k);
        const float a = cv[s] - c_;
        const float b = cv[wrap(s + 1)] - c_;
        if (crosses(a, b)) {
          ++ncross;
          cross_side = s;
        } else if (a == 0.0f) {
          ++nzero;
          zero_side = s;
        }
      }
      int exit;
      if (ncross == 1) {
        exit = cross_side;
      } else if (ncross == 3) {
        exit = saddle_exit(cv, e);
      } else if (ncross == 0 && nzero == 1) {
        exit = zero_side;  // through the grid point at the level
      } else {
        return false;
      }

      // The exit point on the bilinear surface; a degenerate quotient falls
      // back to the side's first corner.
      const float f00 = cv[2], f10 = cv[1], f01 = cv[3], f11 = cv[4];
      float fx = 0.0f, fy = 0.0f;
      switch (exit) {
        case 1: fx = on_side((c_ - f00) / (f10 - f00), 1.0f); break;
        case 2: fy = on_side((c_ - f00) / (f01 - f00), 0.0f); break;
        case 3:
          fx = on_side(((c_ - f00) - (f01 - f00)) / ((f10 - f00) + (f00 - f10 + f11 - f01)), 0.0f);
          fy = 1.0f;
          break;
        default:
          fx = 1.0f;
          fy = on_side(((c_ - f00) - (f10 - f00)) / ((f01 - f00) + (f00 - f10 + f11 - f01)), 1.0f);
          break;
      }
      add(static_cast<float>(i - 1) + fx, static_cast<float>(j - 1) + fy);

      // The exit edge: already used means the line has closed.
      char* mark;
      bool boundary;
      int ni = i, nj = j;
      switch (exit) {
        case 1: mark = &hmark(i, j); boundary = j == 1; nj = j - 1; break;
        case 2: mark = &vmark(i, j); boundary = i == 1; ni = i - 1; break;
        case 3: mark = &hmark(i, j + 1); boundary = j + 1 == ny_; nj = j + 1; break;
        default: mark = &vmark(i + 1, j); boundary = i + 1 == nx_; ni = i + 1; break;
      }
      if (*mark == kUsed) return true;
      *mark = kUsed;
      if (boundary) return false;
      i = ni;
      j = nj;
      e = wrap(exit + 2);
    }
  }

  const float* g_;
  char* hmarks_;
  char* vmarks_;
  int nx_, ny_;
  ContourOutput& out_;
  float c_ = 0.0f;
  float px_[kContourBuffer];
  float py_[kContourBuffer];
  int n_ = 0;
};

}  // namespace

void CONTOUR(std::span<const float> grid, std::span<char> marks, int nx, int ny,
             std::span<const float> levels, std::span<const int> colours, int nlevel,
             ContourOutput& out) {
  if (nx < 2 || ny < 2) return;
  const std::int64_t npoints = static_cast<std::int64_t>(nx) * ny;
  if (static_cast<std::int64_t>(grid.size()) < npoints ||
      static_cast<std::int64_t>(marks.size()) < 2 * npoints)
    return;
  nlevel = std::min({nlevel, static_cast<int>(levels.size()), static_cast<int>(colours.size())});
  Tracer tracer(grid.data(), marks.data(), nx, ny, out);
  for (int k = 0; k < nlevel; ++k) {
    out.colour(colours[static_cast<std::size_t>(k)]);
    tracer.level(levels[static_cast<std::size_t>(k)]);
  }
}

void PsContourOutput::colour(int icol) { XPS_COLOUR(icol); }

void PsContourOutput::polyline(const float* x, const float* y, int n) {
  for (int k = 0; k < n; ++k) {
    float px = x[k] * dx_;
    px = px + xmin_;
    float py = y[k] * dy_;
    py = py + ymin_;
    if (k == 0)
      XPS_MOVE(px, py);
    else
      XPS_DRAW(px, py);
  }
  XPS_STROKE();
}

}  // namespace zv
