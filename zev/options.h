// The options of zev's command loop (PLTCMD) and the window operations
// behind them.
#pragma once

#include "state.h"

namespace zev {

// The command loop: shows the option list and carries out one option line
// after the other until quit (or the end of the input) stops the program.
// Never returns.
[[noreturn]] void PLTCMD(ZevState& st);

// The option list of the variant in use (with or without graphics).
void show_options(const ZevState& st);

// Plot options: naive_1D_plot, 1D_line_plot, CD_plot, scatter_plot,
// spike_plot, box_plot, histogram, pie_chart, 2D_contour, ramp_2D, topology.
enum class PlotOption {
  Naive, Line, CD, Scatter, Spike, Box, Histogram, Pie, Contour, Ramp, Topology
};
void run_plot_option(ZevState& st, PlotOption opt);

// The conversions.
void opt_cricketgraph(ZevState& st);
void opt_count_1d_to_2d(ZevState& st);
void opt_vrml_2d(ZevState& st);

// Graphics only.
void WINSET(ZevState& st);
void opt_open_window(ZevState& st);
void opt_select_window(ZevState& st);
void opt_clear_window(ZevState& st);
void opt_close_window(ZevState& st);
void opt_integrate(ZevState& st);
void opt_focus(ZevState& st);
void opt_cursor_mode(ZevState& st);

// Integration over the current window's points / over the grid of the last
// 2D plot (nx by ny, data limits of that window).
void INTEG1(const ZevState& st, float xlo, float xhi);
void INTEG2(const ZevState& st, float xlo, float xhi, float ylo, float yhi);

// cursor_mode's menu callback: acts on one menu choice at the cursor
// position (x, y); false ends the cursor loop (choice 10).
bool IC1SPC(ZevState& st, int value, float x, float y);

// Checks of a graphics run before a plot: an open current window of the
// given dimension. False (reported) otherwise.
bool check_plot_window(const ZevState& st, int dim);

}  // namespace zev
