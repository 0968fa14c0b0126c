// State of the PostScript writer and the helpers its operations share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "plotout/line_buffer.h"

namespace zv::plotout {

// The plot box on the page, in points.
inline constexpr float kBoxLeft = 50.0f;
inline constexpr float kBoxRight = 500.0f;
inline constexpr float kBoxBottom = 250.0f;
inline constexpr float kBoxTop = 700.0f;

struct PsState {
  int unit = 99;
  std::string file = "out.ps";
  std::string program;
  bool open = false;
  bool write_failed = false;  // reported once per file, which is then closed
  bool hsv_defined = false;   // sethsvcolor defined on this page
  std::string xlabel = "No_label";
  std::string ylabel = "No_label";
  std::vector<std::string> legend;
  bool whiteout = false;
  float xscale = 1.0f, yscale = 1.0f;
  float xmin = 0.0f, ymin = 0.0f, xmax = 0.0f, ymax = 0.0f;
  int segments = 0;
  int ndash = 0;
  int dash_on = 1, dash_off = 0, dash_offset = 1;
  int colour = 0;
  std::string date;
  std::string user;
  LineBuffer line{true};    // compacted lines
  LineBuffer fixed{false};  // lines at full field width
};

PsState& ps();

// True when a file is open; otherwise prints the "not open" error line.
bool ps_check_open();
// What a failed write or close of the page says.
inline constexpr std::string_view kPsWriteFailure = "XPS_GRAF - While writing PostScript file";

// Writes one line to the file. The first failure is reported, and the file
// closed and (a regular file) removed; later lines of the page are dropped.
void ps_put(std::string_view line);
// Closes the page's file; a failure of its last writes or of the close is
// reported and the cut file removed as for a failed line.
void ps_close_file();
// Writes a compacted point line "px py op" (page coordinates).
void ps_point(float px, float py, std::string_view op);
// Writes a point line at full field width, as the plot box and crop marks are.
void ps_point_fixed(float px, float py, std::string_view op);
// User to page coordinates.
inline float page_x(const PsState& s, float x) { return (x - s.xmin) * s.xscale + kBoxLeft; }
inline float page_y(const PsState& s, float y) { return (y - s.ymin) * s.yscale + kBoxBottom; }
// The current colour as a drawing line, without checks.
void ps_set_colour(int icol);
// Writes the end of the open page (axes, labels, header, legend, trailer)
// and closes the file. Legend, dash count, colour and white-out flag are
// left as they are.
void ps_finish_page();

}  // namespace zv::plotout
