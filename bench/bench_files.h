// Files and terminal of the benchmarks: scratch names, input files written
// once and kept between runs, and a terminal silenced while writers run.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "core/units.h"

namespace zvbench {

// A scratch file of this process in the temporary folder: the benchmark's
// prefix, the process id and the name.
inline std::string scratch_path(const std::string& prefix, const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          (prefix + "_" + std::to_string(::getpid()) + "_" + name))
      .string();
}

// An input file of the build's bench folder, written by write(out) on the
// first run and kept for later ones. It is written under a temporary name
// and renamed only once every write and the close succeeded, so a cut file
// is never kept for a whole one; a failure ends the benchmark.
template <class Write>
std::string cached_input(const std::string& name, Write write) {
  namespace fs = std::filesystem;
  const fs::path p = fs::path(ZV_BINARY_DIR) / "bench" / name;
  if (fs::exists(p)) return p.string();  // written by an earlier run
  fs::create_directories(p.parent_path());
  const fs::path tmp = p.string() + ".part";
  std::ofstream out(tmp, std::ios::binary);
  write(out);
  out.close();
  std::error_code ec;
  if (!out || (fs::rename(tmp, p, ec), ec)) {
    std::fprintf(stderr, "cannot write %s\n", p.c_str());
    fs::remove(tmp, ec);
    std::exit(1);
  }
  return p.string();
}

// Sends the terminal reports of the writers to /dev/null while it lives.
struct QuietTerminal {
  std::FILE* null = std::fopen("/dev/null", "w");
  QuietTerminal() { zv::unit_bind_stream(zv::kUnitStdout, null); }
  ~QuietTerminal() {
    zv::unit_reset_stdio();
    std::fclose(null);
  }
  QuietTerminal(const QuietTerminal&) = delete;
  QuietTerminal& operator=(const QuietTerminal&) = delete;
};

}  // namespace zvbench
