// The run state of zev: one instance, owned by main and passed by reference
// to the command loop, the options and the plotters.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/frame.h"
#include "capacities.h"
#include "plot_data.h"

namespace zev {

// The four 2D plot buffers, allocated once at start-up (MEMALL) with n
// elements each (the byte buffer 2 * n bytes) and freed at the end.
struct Buffers {
  int n = 0;
  float* real = nullptr;            // grid values of the last 2D plot
  std::int32_t* words = nullptr;    // work space, n 4-byte words
  std::int32_t* ints = nullptr;     // work space, n integers (packed colours of a ramp)
  unsigned char* bytes = nullptr;   // work space, 2 * n bytes (contour edge marks)

  std::span<float> grid() const { return {real, static_cast<std::size_t>(n)}; }
  std::span<std::int32_t> word_span() const { return {words, static_cast<std::size_t>(n)}; }
  std::span<std::int32_t> int_span() const { return {ints, static_cast<std::size_t>(n)}; }
  std::span<unsigned char> byte_span() const { return {bytes, 2 * static_cast<std::size_t>(n)}; }
};

// Kind of the last plot drawn in a window.
enum PlotKind : int {
  kKindNone = 0,
  kKindLine = 1,       // line, naive and CD plots
  kKindGrid = 2,       // contour, ramp, VRML
  kKindScatter = 3,    // scatter, spike and box plots
  kKindHistogram = 4,
  kKindTopology = 5,
  kKindPie = 6,
};

// One window of a graphics device.
struct Window {
  bool open = false;
  int dim = 1;                  // 1: one-dimensional data, 2: two-dimensional
  int col = 1, row = 1;         // viewport
  int background = 0, colour = 1;
  int kind = kKindNone;
  int npoints = 0;              // points of the last 1D plot
  int object = 0;               // device object number of the last plot
  std::array<float, 4> limits{0.0f, 1.0f, 0.0f, 1.0f};  // xlo xhi ylo yhi
};

// Reads the CPU time used since the previous reading (CPUDIF; tests give
// their own clock).
using CpuClock = void (*)(float& total, float& user, float& sys);

struct ZevState {
  Buffers buf;

  // Command state, kept between options.
  std::array<std::string, kMaxWords> words{};  // word 1 is words[0]
  int nwords = 1;
  std::string file1d = "in.pl1";
  std::string file2d = "in.pl2";
  std::string outfile = "out.ps";
  std::string vrmlfile = "zev.wrl";
  std::string window_name = "No_name";
  int window_dim = 1;
  int focus_point = 1;
  float int_xlo = 0.0f, int_xhi = 100.0f, int_ylo = 0.0f, int_yhi = 100.0f;
  // What the 2D reader is to produce.
  int vrml_solid = 0, ramp_flag = 0, vrml_flag = 0, ps_flag = 0;
  bool graphics = false;  // interactive run with a graphics device

  // Window table (graphics only): windows[1..max_windows].
  int max_windows = 0, max_cols = 0, max_rows = 0;
  std::array<Window, kMaxWindows + 1> windows{};
  int nopen = 0;
  int current = 0;         // 0: no window open (all data of a run without graphics)
  int vp_col = 1, vp_row = 1;
  int last2d_window = -9;  // window of the last 2D plot; -9 none
  int last2d_nx = 0, last2d_ny = 0;

  // Plot data of windows 0..kMaxWindows (the 1D plotter fills the current one).
  std::array<PointStore, kMaxWindows + 1> points{};
  // Settings of the last 2D plot file; its grid is buf.real.
  Plot2D plot2d;

  CpuClock cpu_clock = zv::CPUDIF;

  std::string& word(int i) { return words[static_cast<std::size_t>(i - 1)]; }
  PointStore& current_points() { return points[static_cast<std::size_t>(current)]; }
};

}  // namespace zev
