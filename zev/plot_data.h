// What the plot-file readers produce: the points of a window, the state of a
// one-dimensional plot (filled one data set at a time), the two-dimensional
// plot settings (some of which carry over from one 2D file to the next) and
// the extra objects and text labels that both kinds of file may add.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "capacities.h"

namespace zev {

// An extra object of a plot file: type 'L' line (x1 y1 x2 y2), 'B' box
// (x1 x2 y1 y2), 'C' circle (x y r, v[3] unused) or 'E' ellipse (4 values).
struct Extra {
  char type = 'L';
  std::array<float, 4> v{};
};

// A TEXT label: text at (x, y) in the given size.
struct TextLabel {
  float x = 0.0f, y = 0.0f, size = 0.0f;
  std::string text;  // up to kLabelLen characters, trailing blanks kept as read
};

// The plot data of one window (window 0 in a run without graphics): X, Y and
// label of each point, 1-based as the plot files count them (element 0 is
// unused), with room for kMaxPoints points plus one (the CD plot's X(n+1)).
// integrate and focus read the points of the last 1D plot from here.
struct PointStore {
  std::vector<float> x, y;
  std::vector<std::string> label;
  int n = 0;  // points of the last 1D plot drawn in the window
  // Labels 1..labelled may hold text; whoever stores labels raises it, so
  // that a new plot clears only those.
  int labelled = kMaxPoints + 1;
  // Allocates the full size on first use.
  void ensure();
};

// How a data set of a 1D plot file ended.
enum class SetEnd {
  End,       // END or end of file
  More,      // MORE: a further data set follows in the same file
  NextFile,  // NEXTFN: a further data set follows in Plot1D::next_file
};

// The state of one PLT1D call. start_plot1d() gives the initial values;
// read_1d_set() reads one data set into it. Everything but the text labels
// (and the data-set end) persists from one data set to the next.
struct Plot1D {
  PointStore* pts = nullptr;  // the current window's points: X(1..n), Y(1..n)
  int n = 0;                  // number of points of the data set
  int colour = 1;
  std::string xlabel = "no_label";
  std::string ylabel = "no_label";
  bool linfit = false;   // LINFIT
  bool xystat = false;   // XYSTAT
  bool hide = false;     // HIDE / NOHIDE
  bool dash = true;      // DASH / NODASH
  bool grid = false;     // GRID given
  bool view = false;     // XYVIEW given
  std::array<float, 6> grid_values{};   // xlo xhi xstep ylo yhi ystep
  std::array<float, 4> view_limits{};   // xmin xmax ymin ymax
  int marker = 2;                        // MRKTYP
  std::array<float, 2> marker_size{};    // MRKSIZ
  std::array<float, 3> boxpar{0.0f, -1.0f, 0.0f};  // BOXPAR start, width, last start
  float cdvert = 0.1f;                   // CDVERT
  std::vector<TextLabel> texts;          // this data set's TEXT labels (<= kMaxTextLabels)
  std::vector<Extra> extras;             // the whole picture's extras (<= kMaxExtras)
  bool first_set = true;                 // the caller clears it after drawing a data set

  // Set by read_1d_set.
  SetEnd end = SetEnd::End;
  std::string next_file;                 // NEXTFN's file name
  std::vector<std::string> remarks;      // REMARK texts of the whole read, in order

  // Used by the conversions only (XCOUNT / YCOUNT: lo, bin, hi and the count).
  bool has_xcount = false, has_ycount = false;
  std::array<float, 3> xcount{}, ycount{};
  int nxcount = 0, nycount = 0;

  // Files of the picture read so far (their full names), so that a NEXTFN
  // chain that comes back to one of them ends instead of looping for ever.
  std::vector<std::string> files_read;
};

// The contour level table: values and colour numbers of up to kMaxLevels
// levels and the number in use.
struct LevelTable {
  int n = 0;
  std::array<float, kMaxLevels> value{};
  std::array<int, kMaxLevels> colour{};
};

// The settings of the last 2D plot file. reset_for_file() is called at the
// start of each 2D file: the grid size, axis labels, ramp limits, mode and
// type and the extras start again, while the X and Y ranges, the level table
// and the ramp colours keep the values of the previous 2D file of the run.
struct Plot2D {
  int nx = 0, ny = 0;
  float xmin = 0.0f, xmax = 0.0f, ymin = 0.0f, ymax = 0.0f;
  std::string xlabel = "no_label";
  std::string ylabel = "no_label";
  LevelTable levels;
  float ramp_lo = 0.0f, ramp_hi = 0.0f;
  std::string ramp_mode = "linear";
  std::string ramp_type = "hue";
  std::array<float, 3> ramp_start{0.0f, 0.0f, 1.0f};
  std::array<float, 3> ramp_end{1.0f, 0.0f, 0.0f};
  std::vector<Extra> extras;
  bool grid_read = false;  // ZVALUE filled all nx * ny values of the buffer

  void reset_for_file() {
    nx = ny = 0;
    xlabel = ylabel = "no_label";
    ramp_lo = ramp_hi = 0.0f;
    ramp_mode = "linear";
    ramp_type = "hue";
    extras.clear();
    grid_read = false;
  }
};

}  // namespace zev
