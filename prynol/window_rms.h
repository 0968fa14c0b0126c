// The RMS distance after the best superposition of a five-residue window on
// a template, computed in double precision: the smallest eigenvalue of the
// quaternion matrix of the centred sets, found by Newton's method on its
// characteristic polynomial. It agrees with LSQZQV (which works in single
// precision) to far better than kExactMargin; the assignment asks LSQZQV
// itself only when a value lies that close to a threshold.
#pragma once

#include <array>
#include <limits>

#include "params.h"

namespace prynol {

// Values further than this from a threshold decide a match on their own.
inline constexpr double kExactMargin = 1.0e-3;
// Below this RMS distance (Angstrom) LSQZQV's own value is used as well: a
// single-precision residual that close to zero may be negative, which LSQZQV
// reports with its reset warning.
inline constexpr double kNearExactRms = 0.05;
// Windows with a point further than this from their centroid (Angstrom), or
// with a coordinate that is not finite, are left to LSQZQV as well: there its
// single-precision matrix can overflow and the fit fail with error lines
// that the double-precision value would not show.
inline constexpr double kMaxSpread = 1000.0;

// A template with its coordinates centred once.
struct CentredTemplate {
  double xyz[3 * kWindow];
  double sum_squares = 0.0;  // of the centred coordinates
  explicit CentredTemplate(const std::array<float, 3 * kWindow>& t);
};

// RMS distance of the best fit of the five points of window (x y z each) on
// the template. NaN when a point lies further than kMaxSpread from the
// window's centroid (non-finite coordinates included) or when the eigenvalue
// search does not converge; callers then fall back to LSQZQV. A caller that
// only needs to know whether the distance is above `enough` gets, as soon as
// the search shows it is, a value above `enough` (a lower bound of the
// distance) without the search going on to the distance itself.
double window_rms(const float* window, const CentredTemplate& t,
                  double enough = std::numeric_limits<double>::infinity());

}  // namespace prynol
