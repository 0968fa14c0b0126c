// The numbers reported with the plots: colour statistics of a ramp, the
// linear fit and the X/Y statistics of one-dimensional data.
#pragma once

#include <span>

namespace zv {

// Sorts the first n codes in place and reports how many distinct codes
// there are, the most frequent one (the first of the longest run in sorted
// order) and its share in percent. most is 0 for n < 1.
void COLSTAT(int n, std::span<int> codes, int& most);

// Least-squares line Y = slope * X + intercept through the first n points,
// sums in double precision; reported and added to the PostScript legend.
void FITLIN(int n, std::span<const float> x, std::span<const float> y, float& slope,
            float& intercept);

// Reports the statistics of the X and of the Y values and the RMS difference
// and linear correlation of the pairs (the latter also in the legend).
void STATXY(int n, std::span<const float> x, std::span<const float> y);

}  // namespace zv
