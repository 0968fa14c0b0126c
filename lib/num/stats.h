// Summary statistics of one list of values and comparison of two lists.
// Inputs are single precision; sums are accumulated in double precision.
#pragma once

#include <span>

namespace zv {

// Average, population standard deviation, minimum, maximum and sum of the
// first n values. With n < 1 (or fewer than n values) an error is reported
// and the outputs stay unchanged.
void XSTATS(std::span<const float> vals, int n, float& ave, float& sdv, float& xmin,
            float& xmax, float& xtot);

// Element-by-element comparison of the first n values of x and y: RMS
// difference, shape correlation Sxy / sqrt(Sxx Syy), linear correlation
// coefficient, disagreement indices r1..r4 (999.99 when undefined) and the
// scale factors kx = |sum |x| / sum |y||, ky = 1 / kx (1 when undefined).
// With n < 2 (or fewer than n values) an error is reported and every output
// is 0.
void XYSTAT(std::span<const float> x, std::span<const float> y, int n, float& rmsd,
            float& shapecc, float& lincc, float& r1, float& r2, float& r3, float& r4, float& kx,
            float& ky);

}  // namespace zv
