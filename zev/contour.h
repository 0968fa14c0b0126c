// Contouring of a two-dimensional grid: for every level of the level table,
// the lines along which the bilinear interpolation of the grid equals the
// level, found by a contour follower and handed out as polylines in grid
// units (the first grid point is (0, 0), point (i, j) is (i - 1, j - 1)).
#pragma once

#include <cstdint>
#include <span>

namespace zv {

// Points held before a polyline is handed out; a longer contour goes out in
// pieces that share their end points.
inline constexpr int kContourBuffer = 1024;

// Where the contour lines go. The program maps grid units to the plot's data
// units and draws on the screen device and in the PostScript file (DUALCL /
// DUALPL); tests record the calls.
class ContourOutput {
 public:
  virtual ~ContourOutput() = default;
  // The colour of the next level's lines.
  virtual void colour(int icol) = 0;
  // One polyline of n >= 2 points in grid units.
  virtual void polyline(const float* x, const float* y, int n) = 0;
};

// Edge marks CONTOUR needs as its work buffer: two planes of nx * ny.
inline std::int64_t contour_marks_size(int nx, int ny) {
  return 2 * static_cast<std::int64_t>(nx > 0 ? nx : 0) * (ny > 0 ? ny : 0);
}

// Draws the contours of grid (nx * ny values, X index fastest: value (i, j)
// at grid[(j - 1) * nx + i - 1]) for the first nlevel levels, each in its
// colour. marks is the edge-mark work buffer (contour_marks_size). Nothing is
// drawn when a buffer is too small for the grid or the grid is smaller than
// 2 by 2. Nothing is allocated; one level costs time proportional to nx * ny.
void CONTOUR(std::span<const float> grid, std::span<char> marks, int nx, int ny,
             std::span<const float> levels, std::span<const int> colours, int nlevel,
             ContourOutput& out);

// A ContourOutput that maps grid units to data units, X = x * dx + xmin and
// Y = y * dy + ymin (each operation in single precision), and draws into the
// open PostScript file: XPS_COLOUR per level; XPS_MOVE, XPS_DRAW and
// XPS_STROKE per polyline.
class PsContourOutput : public ContourOutput {
 public:
  PsContourOutput(float xmin, float dx, float ymin, float dy)
      : xmin_(xmin), dx_(dx), ymin_(ymin), dy_(dy) {}
  void colour(int icol) override;
  void polyline(const float* x, const float* y, int n) override;

 private:
  float xmin_, dx_, ymin_, dy_;
};

}  // namespace zv
