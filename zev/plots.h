// The plotters that the option loop calls: PLT1D (line, scatter, spike, CD,
// box, histogram and pie plots, and the Mova-datablock mode) and PLT2D
// (contour and colour-ramp plots of a 2D plot file). The topology plot is
// PLTTOP (topology.h); the VRML scene of vrml_2D is written by convert.h.
#pragma once

#include <string>
#include <string_view>

#include "state.h"

namespace zev {

// One 1D plot: mode 0 reads the plot file `file` (data sets through MORE
// and NEXTFN into one picture), mode 1 reads `file` as a Mova datablock.
// type is the type code ("LINE", "SCAT", "SPIKE", "CDPLOT", "BOX", "HIST",
// "PIE"); with ps_wanted the picture goes to the PostScript file psfile.
// The points go to the current window's store (st.current_points()).
// Returns in n the number of points plotted (one less for histogram and
// pie), in object the device's number for the picture, and in error 0 on
// success. `file` may change: NEXTFN's files become the remembered 1D plot
// file (st.file1d).
void PLT1D(ZevState& st, int mode, std::string_view type, int unit, std::string& file,
           const std::string& psfile, bool ps_wanted, int& n, std::string_view title,
           int& object, int& error);

// One 2D plot of the 2D plot file `file`: a colour ramp when ramp is true,
// contours otherwise. The grid goes to st.buf.real and the file's settings
// to st.plot2d (load_2d_file in reader_2d.h). n receives nx * ny, object the
// device's number, error 0 on success.
void PLT2D(ZevState& st, int unit, std::string& file, int& n, bool ramp, bool ps_wanted,
           const std::string& psfile, std::string_view title, int& object, int& error);

}  // namespace zev
