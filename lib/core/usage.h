// The short usage every program prints for the single argument --help or -h.
#pragma once

#include <string_view>

namespace zv {

// True when the command line is exactly one argument, "--help" or "-h". Any
// other command line (those words among others included) is left to the
// frame as before.
bool help_requested(int argc, char** argv);

// Writes the usage text to standard output; false when the write fails.
bool print_usage(std::string_view text);

}  // namespace zv
