#include "core/usage.h"

#include <cstdio>

namespace zv {

bool help_requested(int argc, char** argv) {
  if (argc != 2 || argv[1] == nullptr) return false;
  const std::string_view arg = argv[1];
  return arg == "--help" || arg == "-h";
}

bool print_usage(std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && written;
}

}  // namespace zv
