// A second yardstick of bench/prynol_startup.sh: the floor program that also
// decompresses the PDB file named by its third answer line (as prynol's
// answers give it) through zlib, discarding the bytes. The difference to the
// plain floor is what reading an entry costs before any work on its atoms.
#include <zlib.h>

#include <iostream>
#include <string>

int main() {
  std::string line;
  std::string path;
  for (int n = 1; std::getline(std::cin, line); ++n) {
    if (n == 3) path = line;
  }
  if (path.empty()) return 0;
  gzFile gz = gzopen(path.c_str(), "rb");
  if (!gz) return 1;
  gzbuffer(gz, 1 << 18);
  static char buf[1 << 18];
  while (gzread(gz, buf, sizeof buf) > 0) {
  }
  return gzclose(gz) == Z_OK ? 0 : 1;
}
