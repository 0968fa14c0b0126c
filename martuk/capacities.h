// Capacities and fixed settings of martuk. The limit printed at start-up is
// printed from the constant here.
#pragma once

#include <cstddef>

namespace martuk {

inline constexpr const char* kProgramName = "MARTUK";
inline constexpr const char* kProgramVersion = "020218/1.7";

// Most hits held.
inline constexpr int kMaxHits = 25000;

// Units of the old and the new macro.
inline constexpr int kUnitOld = 10;
inline constexpr int kUnitNew = 11;

// The line buffer: markers and numbers are looked for in the first
// kLineLen characters of a line, the rest blank padded. Longer lines are
// still copied whole into the new macro.
inline constexpr std::size_t kLineLen = 256;

// Width of the file name answers and of a hit identifier.
inline constexpr int kFileNameLen = 80;
inline constexpr std::size_t kIdLen = 6;

// Starting values of a hit and of the filter.
inline constexpr float kNoRmsd = 999.99f;
inline constexpr int kDefaultMinMatches = 1;
inline constexpr float kDefaultMaxRmsd = 999.99f;
// The ordering starts from this RMSD as its "best so far".
inline constexpr float kWorstRmsd = 9999.999f;

inline constexpr const char* kDefaultOldMacro = "vobril.movamac";
inline constexpr const char* kDefaultNewMacro = "martuk.movamac";

}  // namespace martuk
