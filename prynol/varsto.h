// VARSTO assignment: every five-residue window is fitted on an ideal helix and
// an ideal strand; a close fit types the three central residues.
#pragma once

#include <span>

#include "molecule.h"

namespace prynol {

// Type that a window with these RMS distances gives its three central
// residues: kAlpha when the helix fit is within its threshold, else kBeta when
// the strand fit is, else kUnassigned. Equality counts as a match.
int window_type(float rms_alpha, float rms_beta);

// Fits the window centred on each residue c = 2 .. n-3 (0-based) on both
// templates and stores the RMS distances at c; other residues are untouched.
// xyz holds 3 n coordinates; nothing is done when n < 5. The distances are
// computed in double precision (window_rms); where one lies within
// kExactMargin of its threshold, LSQZQV's single-precision value is stored
// instead, so window_type() of the stored values is always the type that
// LSQZQV's values give. A distance well past its threshold is stored as a
// value past it (not necessarily the distance itself), and the strand
// distance of a window that matches the helix is not computed (it keeps
// kRmsNotDone): neither can change a type.
void fit_windows(std::span<const float> xyz, std::span<float> rms_alpha,
                 std::span<float> rms_beta);

// Visits the windows in ascending order and sets the types of residues
// c-1, c, c+1 of each matching window, so later matches overwrite earlier
// ones. Residues with no evaluated window are left as they are.
void assign_types(std::span<const float> rms_alpha, std::span<const float> rms_beta,
                  std::span<int> type);

// Both steps on the molecule.
void varsto(Molecule& mol);

// Number of residues of the given type.
int count_type(std::span<const int> type, int kind);

}  // namespace prynol
