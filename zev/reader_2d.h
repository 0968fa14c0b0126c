// The two-dimensional plot-file reader: grid size and ranges, labels, extra
// lines and boxes, the contour level table, the colour-ramp settings and the
// grid of values (ZVALUE), which goes to the real plot buffer.
#pragma once

#include <string>

#include "plot_file.h"
#include "state.h"

namespace zev {

// Reads a 2D plot file from src into st.plot2d (reset_for_file() first) and
// the grid into st.buf.real, value (i, j) at (i - 1) + (j - 1) * nx. With
// ps_wanted the LEVELS line goes to the PostScript legend too. Returns 0
// when the grid was read whole, -1 otherwise (no ZVALUE, data that cannot
// be read, or a grid larger than the buffer: each reported).
int read_2d_plot(ZevState& st, PlotSource& src, bool ps_wanted);

// Opens `file` through the search path on unit, writes " Reading ...",
// reads it (read_2d_plot) and closes it. Returns the open error, -1 when
// the grid could not be read, 0 on success.
int load_2d_file(ZevState& st, int unit, std::string& file, bool ps_wanted);

}  // namespace zev
