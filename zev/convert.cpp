// PLT2CG and the VRML scene of a 2D plot file.
#include "convert.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "core/utils.h"
#include "plotout/xvrml.h"
#include "reader_1d.h"
#include "reader_2d.h"
#include "result_line.h"
#include "text/format.h"

namespace zev {

namespace {

// Writes the bytes of one WRITE to the output unit. The unit remembers the
// first failed write; writing stops there and close() reports it.
class Output {
 public:
  Output(int unit, std::string file) : unit_(unit), file_(std::move(file)) {}
  bool put(std::string_view format, std::initializer_list<zv::FmtItem> items) {
    line_.clear();
    (void)zv::format_append(line_, format, items);
    return raw(line_);
  }
  // A line composed with the format, compacted like ONEBLANK, then written.
  bool put_compact(std::string_view format, std::span<const zv::FmtItem> items) {
    line_.clear();
    (void)zv::format_append(line_, format, items);
    std::string out;
    std::size_t pos = 0;
    while (pos < line_.size()) {
      std::size_t nl = line_.find('\n', pos);
      if (nl == std::string::npos) nl = line_.size();
      std::string rec = line_.substr(pos, nl - pos);
      zv::ONEBLANK(rec);
      out += std::string(zv::rtrim(rec));
      out += '\n';
      pos = nl + 1;
    }
    return raw(out);
  }
  bool raw(std::string_view bytes) {
    if (failed_) return false;
    if (zv::unit_write(unit_, bytes) != 0) failed_ = true;
    return !failed_;
  }
  bool failed() const { return failed_; }
  // Closes the unit; false (reported, and a cut file removed) when not every
  // byte reached the file.
  bool close() { return zv::close_written_file(unit_, file_) == 0; }

 private:
  int unit_;
  std::string file_;
  bool failed_ = false;
  std::string line_;
};

// The CricketGraph table of points 1..n: header of the two labels, then X
// and Y of each point with a TAB between them, blanks removed.
void write_cricket(Output& out, const Plot1D& p) {
  std::string labels = std::string(zv::rtrim(p.xlabel)) + '\t' + std::string(zv::rtrim(p.ylabel));
  out.raw(labels + '\n');
  std::string line;
  for (int i = 1; i <= p.n; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    line.clear();
    (void)zv::format_append(line, "(f15.5,a1,f15.5)", {p.pts->x[k], "\t", p.pts->y[k]});
    zv::NOBLANKS(line);
    if (!out.raw(line)) return;
  }
}

// Bin limits of one axis: lo, hi, bin width and count.
struct Axis {
  float lo = 0.0f, hi = 0.0f, bin = 0.0f;
  int count = 0;
};

Axis axis_of(const std::vector<float>& v, int n, bool given, const std::array<float, 3>& c,
             int count) {
  Axis a;
  if (given) {
    a.lo = c[0];
    a.bin = c[1];
    a.hi = c[2];
    a.count = count;
  } else {
    a.lo = v[1];
    a.hi = v[1];
    for (int i = 2; i <= n; ++i) {
      a.lo = std::min(a.lo, v[static_cast<std::size_t>(i)]);
      a.hi = std::max(a.hi, v[static_cast<std::size_t>(i)]);
    }
    a.count = 0;
  }
  if (a.count < 10) {
    a.count = 25;
    // The width in single precision: (hi - lo) * 0.04.
    const float range = a.hi - a.lo;
    a.bin = range * 0.04f;
  }
  return a;
}

void report_axis(std::string_view text, const Axis& a) {
  zv::write_terminal("(a,1p,3e12.4,i6)", {text, a.lo, a.hi, a.bin, a.count});
}

// Bin index int((v - lo) / bin), truncated toward zero (a point less than a
// bin below lo lands in bin 0); -1 for a point outside 0..count-1 or a
// quotient that is not a number.
int bin_index(float v, const Axis& a) {
  const float d = v - a.lo;
  const float q = d / a.bin;
  if (!(q > -1.0f && q < static_cast<float>(a.count))) return -1;
  return static_cast<int>(q);
}

// nint: rounding half away from zero.
long long nint(float v) { return std::llround(v); }

void write_counted(ZevState& st, Output& out, const Plot1D& p) {
  zv::TXTOUT(" Binning and counting ...");
  const Axis ax = axis_of(p.pts->x, p.n, p.has_xcount, p.xcount, p.nxcount);
  report_axis(" Xmin, Xmax, Xbin, Nxbin =", ax);
  const Axis ay = axis_of(p.pts->y, p.n, p.has_ycount, p.ycount, p.nycount);
  report_axis(" Ymin, Ymax, Ybin, Nybin =", ay);
  const std::int64_t total = static_cast<std::int64_t>(ax.count) * ay.count;
  if (total > st.buf.n) {
    zv::ERRMSG("Buffer too small for 2D array");
    (void)out.close();
    return;
  }
  float* grid = st.buf.real;
  std::fill(grid, grid + total, 0.0f);
  int binned = 0;
  for (int k = 1; k <= p.n; ++k) {
    const int i = bin_index(p.pts->x[static_cast<std::size_t>(k)], ax);
    const int j = bin_index(p.pts->y[static_cast<std::size_t>(k)], ay);
    if (i < 0 || j < 0) continue;
    grid[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * static_cast<std::size_t>(ax.count)] += 1.0f;
    ++binned;
  }
  float maxc = 0.0f;
  for (std::int64_t k = 0; k < total; ++k) maxc = std::max(maxc, grid[k]);
  const int m = static_cast<int>(nint(maxc));
  (void)zv::jvaluo(" Nr of points binned  :", binned);
  (void)zv::jvaluo(" Max count in any bin :", m);
  zv::TXTOUT(" Writing 2D plot file ...");

  out.raw("NLEVEL 10\n");
  out.raw("LEVELS\n");
  {
    std::vector<zv::FmtItem> lv;
    const float mf = static_cast<float>(m);
    for (int k = 1; k <= 10; ++k) {
      // (0.09 * k) * M in single precision, rounded half away from zero.
      const float f = 0.09f * static_cast<float>(k);
      lv.emplace_back(static_cast<int>(nint(f * mf)));
    }
    out.put_compact("(10(1x,i10))", lv);
  }
  out.raw("COLOUR\n");
  out.raw("73 123 82 146 401 230 304 221 410 1\n");
  out.raw("RAMCOL 1 0 0   0 0 1\n");
  out.raw("RAMTYP HUE\n");
  out.put("(a,1x,a)", {"XLABEL", std::string(zv::rtrim(p.xlabel))});
  out.put("(a,1x,a)", {"YLABEL", std::string(zv::rtrim(p.ylabel))});
  out.put("(a,1x,i10)", {"XPOINT", ax.count});
  out.put("(a,1x,i10)", {"YPOINT", ay.count});
  out.put("(a,2(1x,1p,e15.4))", {"XLIMIT", ax.lo, ax.hi});
  out.put("(a,2(1x,1p,e15.4))", {"YLIMIT", ay.lo, ay.hi});
  out.raw("ZVALUE *\n");
  std::vector<zv::FmtItem> row;
  for (std::int64_t k = 0; k < total && !out.failed(); k += 10) {
    row.clear();
    for (std::int64_t q = k; q < std::min(total, k + 10); ++q) {
      row.emplace_back(static_cast<int>(nint(grid[q])));
    }
    out.put_compact("(10i10)", row);
  }
  out.raw("END\n");
  if (out.close()) zv::TXTOUT(" 2D plot file written");
}

}  // namespace

void PLT2CG(ZevState& st, std::string_view mode, int unit, std::string& in, std::string& out) {
  const bool count_mode = mode.substr(0, 4) == "COUN";
  if (zv::XOPXOA(unit, in, zv::ISINTR()) != 0) return;
  const int ounit = unit + kUnitConvertOffset;
  // The output is opened before the plot file is read: opening the plot
  // file itself for writing would empty it before a line is read.
  const std::string oname(zv::rtrim(out));
  struct stat named {}, plot {};
  if (::stat(oname.c_str(), &named) == 0 && ::stat(zv::unit_name(unit).c_str(), &plot) == 0 &&
      named.st_dev == plot.st_dev && named.st_ino == plot.st_ino) {
    zv::ERRMSG("Output file would overwrite the plot file : " + oname);
    (void)zv::unit_close(unit);
    return;
  }
  if (zv::XOPXUA(ounit, out, zv::ISINTR()) != 0) {
    (void)zv::unit_close(unit);
    return;
  }
  Output o(ounit, out);
  zv::TXTOUT(" Reading 1D plot file ...");
  if (count_mode) {
    std::string stamp;
    zv::STAMP(stamp);
    o.put("(a,1x,a)", {"REMARK", std::string(zv::rtrim(stamp))});
  }
  Plot1D p;
  start_plot1d(p, st.current_points(), false, true);
  Read1DOptions opt;
  opt.conversion = true;
  opt.more_ends_set = !count_mode;
  PlotSource src(unit);
  // The REMARK lines of the 1D file follow the stamp, in the order read
  // (nothing else is written while a counted file is read).
  auto copy_remarks = [&] {
    if (!count_mode) return;
    for (const std::string& r : p.remarks) o.raw("REMARK " + std::string(zv::rtrim(r)) + "\n");
  };
  for (;;) {
    const SetEnd end = read_1d_set(src, unit, p, opt);
    if (end == SetEnd::NextFile) {
      copy_remarks();
      zv::ERRMSG("PLT2CG - Key NEXTFN not implemented");
      (void)zv::unit_close(unit);
      (void)o.close();
      return;
    }
    if (end != SetEnd::More) break;
    (void)zv::jvaluo(" Nr of data points :", p.n);
    if (p.n >= 3) {
      o.raw("*\n");
      write_cricket(o, p);
    }
  }
  (void)zv::unit_close(unit);
  copy_remarks();
  (void)zv::jvaluo(" Nr of data points :", p.n);
  if (p.n < 2) {
    (void)o.close();
    return;
  }
  if (count_mode) {
    write_counted(st, o, p);
    return;
  }
  write_cricket(o, p);
  if (o.close()) zv::TXTOUT(" CricketGraph file written");
}

void VRML_2D(ZevState& st, int unit, std::string& in, std::string& out, bool solid, int& error) {
  error = load_2d_file(st, unit, in, false);
  if (error != 0) return;
  const Plot2D& p = st.plot2d;
  if (p.nx < 2 || p.ny < 2) {
    zv::ERRMSG("A VRML scene needs a grid of at least 2 by 2 points; nothing written");
    error = -1;
    return;
  }
  const int vunit = unit + kUnitVrmlOffset;
  error = zv::XOPXUA(vunit, out, zv::ISINTR());
  if (error != 0) return;
  zv::XVRML_HEADER(vunit, 1.0f, 1.0f, 1.0f);
  zv::XVRML_MATERIAL(0.0f, 0.0f, 1.0f);
  const std::span<const float> grid(st.buf.real, static_cast<std::size_t>(p.nx) * static_cast<std::size_t>(p.ny));
  if (solid) {
    zv::XVRML_FACES(p.nx, p.ny, grid, p.xmin, p.xmax, p.ymin, p.ymax);
  } else {
    zv::XVRML_LINES(p.nx, p.ny, grid, p.xmin, p.xmax, p.ymin, p.ymax);
  }
  zv::XVRML_CLOSE();
}

}  // namespace zev
