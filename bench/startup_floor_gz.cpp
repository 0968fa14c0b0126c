// A second yardstick of bench/prynol_startup.sh: the floor program that also
// reads the PDB file named by its third answer line (as prynol's answers give
// it) through the suite's file layer, as prynol reads it (a gzip file
// decompressed), discarding the records. The difference to the plain floor
// is what reading an entry costs before any work on its atoms.
#include <iostream>
#include <string>

#include "core/units.h"

int main() {
  std::string line;
  std::string path;
  for (int n = 1; std::getline(std::cin, line); ++n) {
    if (n == 3) path = line;
  }
  if (path.empty()) return 0;
  constexpr int kUnit = 10;
  constexpr std::size_t kRecord = 256;
  if (zv::unit_open(kUnit, path, zv::UnitMode::Read) != 0) return 1;
  std::string record;
  int status = 0;
  while ((status = zv::unit_read_record(kUnit, record, kRecord)) == 0) {
  }
  return status == -1 ? 0 : 1;
}
