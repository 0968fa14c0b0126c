// Files and terminal of the benchmarks: scratch names, and a terminal
// silenced while writers run.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/units.h"

namespace zvbench {

// A scratch file of this process in the temporary folder: the benchmark's
// prefix, the process id and the name.
inline std::string scratch_path(const std::string& prefix, const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          (prefix + "_" + std::to_string(::getpid()) + "_" + name))
      .string();
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
