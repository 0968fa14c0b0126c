// The one-dimensional plot-file reader: keyword lines with X, Y and label
// data, plot instructions, text labels and extra objects, read one data set
// at a time (a data set ends at END, the end of the file, MORE or NEXTFN).
#pragma once

#include <string>

#include "plot_data.h"
#include "plot_file.h"
#include "state.h"

namespace zev {

struct Read1DOptions {
  // PLT2CG's reading: only the data keywords are acted on (the rest give
  // " Keyword ignored :"), data are read silently, XCOUNT and YCOUNT are
  // read, and the axis labels default to "no_X_label" and "no_Y_label".
  bool conversion = false;
  // MORE ends the data set (false: MORE is ignored like an unused keyword).
  bool more_ends_set = true;
  // REMARK lines go to the PostScript legend.
  bool ps_wanted = false;
};

// The initial state of a plot (plotting or conversion) on the points of one
// window: X(i) = i and Y(i) = i for all points, labels "Data_pt_<i>" when a
// device shows them (device_labels) and blank otherwise, n = 0.
void start_plot1d(Plot1D& p, PointStore& pts, bool device_labels, bool conversion = false);

// Reads one data set from src (the plot file on `unit`; Mova datablocks of
// XFROMO, YFROMO and LFROMO are opened on unit + 1) into p. The text labels
// start again empty; everything else carries on from the previous data set.
// Returns how the data set ended (also stored in p.end).
SetEnd read_1d_set(PlotSource& src, int unit, Plot1D& p, const Read1DOptions& opt);

// Opens a 1D plot file through the search path on unit and records it among
// the picture's files. Returns the open error (0 success).
int open_1d_file(int unit, std::string& file, Plot1D& p);

// After a data set that ended with NEXTFN: closes unit and opens
// p.next_file on it, which becomes the remembered 1D plot file
// (st.file1d). False when it cannot be opened, or when it is a file this
// picture has read already (a chain that comes back would never end): the
// picture is then finished with the data read so far.
bool open_next_1d_file(ZevState& st, int unit, Plot1D& p);

}  // namespace zev
