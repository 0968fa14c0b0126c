// Fixed settings of prynol: the residue limit, the VARSTO templates and
// thresholds, the element rules and the dialogue defaults.
#pragma once

#include <array>
#include <string_view>

namespace prynol {

inline constexpr std::string_view kProgram = "PRYNOL";
inline constexpr std::string_view kVersion = "041001/0.3";

// Most CA atoms read; one more is fatal.
inline constexpr int kMaxResidues = 10000;
// One unit, first for the PDB file, then for the SSE file.
inline constexpr int kUnit = 11;
// Input lines are read into a buffer of this many characters.
inline constexpr int kLineLen = 256;

// Residue types.
inline constexpr int kUnassigned = 0;
inline constexpr int kAlpha = 1;
inline constexpr int kBeta = 2;
// SSE keywords of the types 1 and 2 (six columns each).
inline constexpr std::array<std::string_view, 2> kTypeNames = {"ALPHA ", "BETA  "};
// Element name prefixes of the types 1 and 2.
inline constexpr std::array<std::string_view, 2> kTypeLetters = {"A", "B"};

// VARSTO: a window of five CA atoms is fitted on each template; a fit within
// the threshold (equality included) assigns the three central residues. The
// thresholds are single-precision reals, compared as such.
inline constexpr int kWindow = 5;
inline constexpr float kAlphaMaxRms = 0.5f;
inline constexpr float kBetaMaxRms = 0.8f;
// RMS distance of a residue whose window was not evaluated.
inline constexpr float kRmsNotDone = 999.99f;
// Shortest element written to the SSE file.
inline constexpr int kMinElementLength = 3;

// Five CA positions of an ideal helix and an ideal strand, x y z in residue
// order (Angstrom).
inline constexpr std::array<float, 3 * kWindow> kAlphaTemplate = {
    3.633f,  15.082f, 31.410f,  //
    3.847f,  16.332f, 27.802f,  //
    4.017f,  12.736f, 26.460f,  //
    0.906f,  11.724f, 28.417f,  //
    -1.006f, 14.798f, 27.217f,
};
inline constexpr std::array<float, 3 * kWindow> kBetaTemplate = {
    43.840f, 28.467f, -6.991f,  //
    45.504f, 26.414f, -4.284f,  //
    43.734f, 23.423f, -2.720f,  //
    44.607f, 21.760f, 0.604f,   //
    43.505f, 18.374f, 1.905f,
};

// Dialogue: defaults and the lengths kept of the four answers.
inline constexpr std::string_view kDefaultMolId = "USER";
inline constexpr std::string_view kDefaultNote = "...";
inline constexpr std::string_view kDefaultPdbFile = "user.pdb";
inline constexpr std::string_view kDefaultSseFile = "user.sse";
inline constexpr int kMolIdLen = 4;
inline constexpr int kNoteLen = 80;
inline constexpr int kFileLen = 256;

}  // namespace prynol
