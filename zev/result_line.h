// Result lines of the plot statistics: composed in a fixed-width buffer with a
// Fortran format, compacted (leading blanks removed, runs of blanks reduced to
// one), added to the PostScript legend where asked, and printed after one
// blank.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "text/format.h"

namespace zv {

// Buffer widths: 128 for fits and statistics, 256 for the box plots.
inline constexpr int kResultLine = 128;
inline constexpr int kBoxResultLine = 256;

// The compacted line (without the leading blank).
std::string result_line(int width, std::string_view format, std::initializer_list<FmtItem> items);
// Prints " " + line; with legend, also adds it to the PostScript legend.
void show_result(const std::string& line, bool legend);
// Writes the bytes of one formatted WRITE to the terminal, uncompacted.
void write_terminal(std::string_view format, std::initializer_list<FmtItem> items);

}  // namespace zv
