// Box plots: the Y values of one-dimensional data summarised in bins of X,
// either bins of a fixed width (BOXPLOT) or bins holding equal numbers of
// points (BOXPLOTN). Each bin of ten or more points is drawn as a box from
// the 25th to the 75th percentile with whiskers to the 10th and 90th, its
// median and a cross at its mean; smaller bins show their points as markers.
#pragma once

#include <span>
#include <vector>

namespace zv {

// Points of one bin that are held; the rest of a fuller bin is left out.
inline constexpr int kMaxBinPoints = 2000;
// Fewer points than this in a bin: markers, not a box.
inline constexpr int kMinBoxPoints = 10;

// Marker type and the half-sizes of a marker in X and Y.
struct BoxMarker {
  int type = 2;
  float dx = 0.0f;
  float dy = 0.0f;
};

// Fixed-width bins: bins start at `start` and advance by `width` (single
// precision, start + width again and again) while the bin start is at most
// `last`; a point is in a bin when start <= X < start + width.
void BOXPLOT(float start, float last, float width, int n, std::span<const float> x,
             std::span<const float> y, const BoxMarker& marker);

// Equal-count bins: nint(-param) bins (at least 3) over the points sorted by
// X. Refused ("Not enough points for box plot") when a bin would hold 2
// points or fewer.
void BOXPLOTN(float param, int n, std::span<const float> x, std::span<const float> y,
              const BoxMarker& marker);

namespace boxplot {

// Mean X and mean Y of every bin drawn as a box.
struct Boxes {
  std::vector<float> x, y;
};

// Reports and draws one bin: its points (modified: sorted by Y when there are
// enough for a box), its X range xmin..xmax for the report and the figure's
// position xmin + 0.05 w .. xmin + 0.95 w.
void draw_bin(std::span<float> bx, std::span<float> by, float xmin, float xmax, float w,
              const BoxMarker& marker, Boxes& boxes);
// The statistics of the boxes' means and their linear fit (two boxes or more).
void summarise(const Boxes& boxes);
// At most kMaxBinPoints of count points are held; says so when points are
// left out.
int held_points(int count);

}  // namespace boxplot
}  // namespace zv
