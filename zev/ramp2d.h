// The colour ramp of a two-dimensional grid: every grid point painted as a
// box in a colour taken from its value.
#pragma once

#include <span>
#include <string_view>

namespace zv {

// Paints grid (nx * ny values, X index fastest, modified in place by the
// logarithmic and absolute modes) into the open PostScript file over the
// area x1..x2 by y1..y2. Colours run from start to end (RGB 0..1) over the
// values lo..hi; mode ("LOG", "ABS", else linear) and type ("SAT", "VAL",
// "WHI", else hue) count by their first three characters (upper case, no
// blanks). codes and work each hold at least nx * ny entries: the packed
// colour code of every point, and a copy sorted for the colour statistics.
// Nothing is done when a buffer is too small.
void RAMP2D(std::span<float> grid, int nx, int ny, const float start[3], const float end[3],
            std::string_view mode, std::string_view type, float x1, float x2, float y1, float y2,
            float lo, float hi, std::span<int> codes, std::span<int> work);

}  // namespace zv
