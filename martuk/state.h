// The run state of martuk: the hit table read once from the old macro, the
// marker modes, the index of the old macro's header lines, and the filter,
// sort mode and order that the menu changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capacities.h"
#include "macro_file.h"

namespace martuk {

struct Hit {
  std::string id;  // kIdLen characters, blank padded
  int matches = 0;
  float rmsd = kNoRmsd;
  // The hit's block in the old macro, [block_start, block_end), found once
  // after reading (block_found false: no header line holds the identifier).
  bool block_found = false;
  std::uint64_t block_start = 0;
  std::uint64_t block_end = 0;
};

// A line of the old macro on which one of the three header tests holds,
// with the identifier fields the writing compares.
struct HeaderLine {
  std::uint64_t start = 0;
  bool comparing = false;  // holds "print ... Comparing"
  bool hit_marker = false;  // columns 1-6 are "! HIT "
  bool foska_marker = false;  // columns 1-7 are "! FOSKA"
  char cols21[4] = {};  // columns 21-24
  char cols7[4] = {};   // columns 7-10
  char cols14[6] = {};  // columns 14-19
};

struct MartukState {
  std::vector<Hit> hits;
  // Set by the first header line of their kind; they stay set.
  bool mode_a = false;
  bool mode_b = false;
  bool limit_reported = false;

  std::vector<HeaderLine> headers;
  std::uint64_t file_size = 0;
  bool have_preamble = false;  // a header line ends the preamble
  std::uint64_t preamble_end = 0;

  int imode = 0;  // 0: by number of matches, 1: by RMSD
  int min_matches = kDefaultMinMatches;
  float max_rmsd = kDefaultMaxRmsd;
  std::vector<int> order;  // hit indices in output order

  std::string old_name = kDefaultOldMacro;
  std::string new_name = kDefaultNewMacro;
  MacroFile old;
};

}  // namespace martuk
