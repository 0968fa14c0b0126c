// Mova datablock files: a header line of four words (label, type, number of
// values, format) and the values. naive_1D_plot reads one as its data; the
// 1D keywords XFROMO, YFROMO and LFROMO take X values, Y values or point
// labels from one.
#pragma once

#include <string>

#include "plot_data.h"
#include "plot_file.h"

namespace zev {

enum class DatablockTarget { X, Y, Labels };

struct DatablockHeader {
  std::string label;
  std::string type;
  std::string format;
  int count = 0;
};

// Reads a datablock from the records of src: the header is echoed
// (" Label  :", " Type   :", " Format :", " Number :"); a type starting
// with I (upper-cased) reads integers with the format, F reals with the
// format, any other type reals in free format; labels are read as texts
// with the format whatever the type. On success the values are stored in
// pts at 1..count, n becomes count, hdr holds the header, and 0 is returned;
// a header that cannot be read, a count outside 0..kMaxPoints or data that
// cannot be read are reported and give -1 with pts and n unchanged.
int read_datablock(PlotSource& src, DatablockTarget target, PointStore& pts, int& n,
                   DatablockHeader& hdr);

// The same from the file `file`, opened through the search path on unit
// and closed after. A file that cannot be opened gives its open error.
int read_datablock_file(int unit, std::string file, DatablockTarget target, PointStore& pts,
                        int& n, DatablockHeader& hdr);

}  // namespace zev
