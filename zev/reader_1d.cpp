// The one-dimensional plot-file reader.
#include "reader_1d.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "core/utils.h"
#include "datablock.h"
#include "plotout/xps.h"

namespace zev {

void PointStore::ensure() {
  const std::size_t size = static_cast<std::size_t>(kMaxPoints) + 2;
  if (x.size() < size) {
    x.resize(size, 0.0f);
    y.resize(size, 0.0f);
    label.resize(size);
  }
}

namespace {

struct Ctx {
  PlotSource& src;
  int unit;
  Plot1D& p;
  const Read1DOptions& opt;
};

using Handler = bool (*)(Ctx&, const KeyLine&);  // true: the data set ends

// The data format of a data keyword, echoed when plotting.
DataFormat echo_format(Ctx& c, const KeyLine& kl) {
  DataFormat f = data_format(kl.value);
  if (!c.opt.conversion) {
    if (f.free) {
      zv::TXTOUT(" Free format read");
    } else {
      (void)zv::textuo(" Format :", f.format);
    }
  }
  return f;
}

std::size_t npts(const Ctx& c) { return static_cast<std::size_t>(c.p.n); }

// --- keywords

bool k_end(Ctx& c, const KeyLine&) {
  c.p.end = SetEnd::End;
  return true;
}

bool k_remark(Ctx& c, const KeyLine& kl) {
  const std::string text(zv::rtrim(kl.value));
  zv::TXTOUT(" >" + text);
  if (c.opt.ps_wanted && !c.opt.conversion) zv::XPS_LEGEND(text);
  c.p.remarks.push_back(text);
  return false;
}

bool k_npoint(Ctx& c, const KeyLine& kl) {
  int n = c.p.n;
  if (!read_int(kl, n)) return false;
  if (n < 0 || n > kMaxPoints) {
    report_bad_count(kl, "Number of points", n, kMaxPoints);
    return false;
  }
  c.p.n = n;
  return false;
}

bool k_colour(Ctx& c, const KeyLine& kl) {
  (void)read_int(kl, c.p.colour);
  return false;
}

bool k_grid(Ctx& c, const KeyLine& kl) {
  auto& g = c.p.grid_values;
  if (read_reals(kl, {&g[0], &g[1], &g[2], &g[3], &g[4], &g[5]})) c.p.grid = true;
  return false;
}

bool k_xyview(Ctx& c, const KeyLine& kl) {
  auto& v = c.p.view_limits;
  if (read_reals(kl, {&v[0], &v[1], &v[2], &v[3]})) c.p.view = true;
  return false;
}

bool k_mrktyp(Ctx& c, const KeyLine& kl) {
  (void)read_int(kl, c.p.marker);
  return false;
}

bool k_hide(Ctx& c, const KeyLine&) {
  c.p.hide = true;
  return false;
}
bool k_nohide(Ctx& c, const KeyLine&) {
  c.p.hide = false;
  return false;
}
bool k_dash(Ctx& c, const KeyLine&) {
  c.p.dash = true;
  return false;
}
bool k_nodash(Ctx& c, const KeyLine&) {
  c.p.dash = false;
  return false;
}
bool k_linfit(Ctx& c, const KeyLine&) {
  c.p.linfit = true;
  return false;
}
bool k_xystat(Ctx& c, const KeyLine&) {
  c.p.xystat = true;
  return false;
}

bool k_cdvert(Ctx& c, const KeyLine& kl) {
  (void)read_reals(kl, {&c.p.cdvert});
  return false;
}

bool k_mrksiz(Ctx& c, const KeyLine& kl) {
  auto& m = c.p.marker_size;
  (void)read_reals(kl, {&m[0], &m[1]});
  return false;
}

bool k_boxpar(Ctx& c, const KeyLine& kl) {
  auto& b = c.p.boxpar;
  (void)read_reals(kl, {&b[0], &b[1], &b[2]});
  return false;
}

// An extra object: nv values, echoed; kept while the table has room.
void add_extra(Ctx& c, const KeyLine& kl, char type, int nv, std::string_view echo) {
  Extra e;
  e.type = type;
  auto& v = e.v;
  bool ok = nv == 3 ? read_reals(kl, {&v[0], &v[1], &v[2]})
                    : read_reals(kl, {&v[0], &v[1], &v[2], &v[3]});
  if (!ok) return;
  (void)zv::fvaluo(echo, std::span<const float>(v.data(), static_cast<std::size_t>(nv)));
  if (static_cast<int>(c.p.extras.size()) < kMaxExtras) c.p.extras.push_back(e);
}

bool k_line(Ctx& c, const KeyLine& kl) {
  add_extra(c, kl, 'L', 4, " Line :");
  return false;
}
bool k_box(Ctx& c, const KeyLine& kl) {
  add_extra(c, kl, 'B', 4, " Box  :");
  return false;
}
bool k_circle(Ctx& c, const KeyLine& kl) {
  add_extra(c, kl, 'C', 3, " Circle :");
  return false;
}
bool k_ellips(Ctx& c, const KeyLine& kl) {
  add_extra(c, kl, 'E', 4, " Ellipse :");
  return false;
}

bool k_text(Ctx& c, const KeyLine& kl) {
  if (static_cast<int>(c.p.texts.size()) >= kMaxTextLabels) {
    zv::ERRMSG("Too many text labels");
    return false;
  }
  TextLabel t;
  std::string text(kLabelLen, ' ');
  std::array<zv::ReadItem, 4> items{zv::ReadItem(t.x), zv::ReadItem(t.y), zv::ReadItem(t.size),
                                    zv::ReadItem(text, kLabelLen)};
  if (!read_value_field(kl.value, items)) {
    report_bad_value(kl);
    return false;
  }
  t.text = std::move(text);
  c.p.texts.push_back(std::move(t));
  return false;
}

// X(1) = x0 and X(i) = X(i-1) + dx for i = 2..n, summed in single precision.
void fill_limits(std::vector<float>& v, int n, float x0, float dx) {
  v[1] = x0;
  for (int i = 2; i <= n; ++i) v[static_cast<std::size_t>(i)] = v[static_cast<std::size_t>(i - 1)] + dx;
}

bool k_xlimit(Ctx& c, const KeyLine& kl) {
  float x0 = 0.0f, dx = 0.0f;
  if (read_reals(kl, {&x0, &dx})) fill_limits(c.p.pts->x, c.p.n, x0, dx);
  return false;
}

bool k_ylimit(Ctx& c, const KeyLine& kl) {
  float y0 = 0.0f, dy = 0.0f;
  if (read_reals(kl, {&y0, &dy})) fill_limits(c.p.pts->y, c.p.n, y0, dy);
  return false;
}

void from_datablock(Ctx& c, const KeyLine& kl, DatablockTarget target) {
  const std::string file = value_text(kl.value, kFileNameLen);
  DatablockHeader hdr;
  int n = c.p.n;
  if (read_datablock_file(c.unit + kUnitDatablockOffset, file, target, *c.p.pts, n, hdr) != 0)
    return;
  c.p.n = n;
  if (target == DatablockTarget::X) {
    c.p.xlabel = hdr.label;
  } else {
    c.p.ylabel = hdr.label;
  }
}

bool k_xfromo(Ctx& c, const KeyLine& kl) {
  from_datablock(c, kl, DatablockTarget::X);
  return false;
}
bool k_yfromo(Ctx& c, const KeyLine& kl) {
  from_datablock(c, kl, DatablockTarget::Y);
  return false;
}
bool k_lfromo(Ctx& c, const KeyLine& kl) {
  from_datablock(c, kl, DatablockTarget::Labels);
  return false;
}

bool k_xlabel(Ctx& c, const KeyLine& kl) {
  c.p.xlabel = label_text(kl.value);
  return false;
}
bool k_ylabel(Ctx& c, const KeyLine& kl) {
  c.p.ylabel = label_text(kl.value);
  return false;
}

// n values per point from the lines after the keyword: fields of point i
// are taken in the order given by `what` ('x', 'y', 'l'), all or none.
void read_points(Ctx& c, const KeyLine& kl, std::string_view what, bool formatted_only) {
  const DataFormat fmt = echo_format(c, kl);
  if (formatted_only && fmt.free) {
    zv::ERRMSG("Keyword " + kl.name() + " needs a format, not free format; keyword skipped");
    return;
  }
  const std::size_t n = npts(c);
  std::vector<float> xs(n), ys(n);
  std::vector<std::string> labels;
  if (what.find('l') != std::string_view::npos) labels.assign(n, std::string());
  PointStore& pts = *c.p.pts;
  std::vector<zv::ReadItem> items;
  items.reserve(n * what.size());
  for (std::size_t i = 0; i < n; ++i) {
    xs[i] = pts.x[i + 1];
    ys[i] = pts.y[i + 1];
    for (char w : what) {
      if (w == 'x') items.emplace_back(xs[i]);
      if (w == 'y') items.emplace_back(ys[i]);
      if (w == 'l') items.emplace_back(labels[i], kLabelLen);
    }
  }
  const int iostat = read_data(c.src, fmt, items);
  if (iostat != 0) {
    report_bad_data(kl, iostat);
    return;
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (what.find('x') != std::string_view::npos) pts.x[i + 1] = xs[i];
    if (what.find('y') != std::string_view::npos) pts.y[i + 1] = ys[i];
    if (!labels.empty()) pts.label[i + 1] = std::move(labels[i]);
  }
  if (!labels.empty()) pts.labelled = std::max(pts.labelled, c.p.n);
}

bool k_labels(Ctx& c, const KeyLine& kl) {
  read_points(c, kl, "l", false);
  return false;
}
bool k_xvalue(Ctx& c, const KeyLine& kl) {
  read_points(c, kl, "x", false);
  return false;
}
bool k_yvalue(Ctx& c, const KeyLine& kl) {
  read_points(c, kl, "y", false);
  return false;
}
bool k_values(Ctx& c, const KeyLine& kl) {
  read_points(c, kl, "xy", false);
  return false;
}
bool k_valabs(Ctx& c, const KeyLine& kl) {
  read_points(c, kl, "xyl", true);
  return false;
}

bool k_nextfn(Ctx& c, const KeyLine& kl) {
  c.p.next_file = value_text(kl.value, kFileNameLen);
  c.p.end = SetEnd::NextFile;
  return true;
}

bool k_more(Ctx& c, const KeyLine& kl) {
  if (!c.opt.more_ends_set) {
    (void)zv::textuo(" Keyword ignored :", kl.key);
    return false;
  }
  c.p.end = SetEnd::More;
  return true;
}

// XCOUNT / YCOUNT: lo, bin, hi (lo and hi in ascending order) and the bin
// count int((hi - lo) / bin) + 1. Only the conversions use them.
void read_count(Ctx& c, const KeyLine& kl, bool is_x) {
  if (!c.opt.conversion) {
    (void)zv::textuo(" Keyword ignored :", kl.key);
    return;
  }
  std::array<float, 3> v = is_x ? c.p.xcount : c.p.ycount;
  if (!read_reals(kl, {&v[0], &v[1], &v[2]})) return;
  zv::ORDER2(v[0], v[2]);
  const float q = (v[2] - v[0]) / v[1];
  // A bin that is not positive, or a quotient beyond the integers, has no
  // bin count (the conversion reports "Buffer too small" for a huge one).
  if (!(v[1] > 0.0f) || !(q == q)) {
    zv::ERRMSG("Keyword " + kl.name() + " needs a positive bin width; keyword skipped");
    return;
  }
  const int count = q >= 2147483646.0f ? 2147483647 : static_cast<int>(q) + 1;
  if (is_x) {
    c.p.xcount = v;
    c.p.nxcount = count;
    c.p.has_xcount = true;
  } else {
    c.p.ycount = v;
    c.p.nycount = count;
    c.p.has_ycount = true;
  }
}

bool k_xcount(Ctx& c, const KeyLine& kl) {
  read_count(c, kl, true);
  return false;
}
bool k_ycount(Ctx& c, const KeyLine& kl) {
  read_count(c, kl, false);
  return false;
}

struct Keyword {
  const char* key;   // six columns, blank padded
  bool conversion;   // acted on by the conversions too
  Handler handler;
};

// In the order in which the keywords are tested.
constexpr std::array<Keyword, 37> kKeywords = {{
    {"END   ", true, k_end},       {"REMARK", true, k_remark},   {"NPOINT", true, k_npoint},
    {"COLOUR", false, k_colour},   {"GRID  ", false, k_grid},    {"XYVIEW", false, k_xyview},
    {"MRKTYP", false, k_mrktyp},   {"HIDE  ", false, k_hide},    {"NODASH", false, k_nodash},
    {"DASH  ", false, k_dash},     {"LINFIT", false, k_linfit},  {"XYSTAT", false, k_xystat},
    {"NOHIDE", false, k_nohide},   {"CDVERT", false, k_cdvert},  {"MRKSIZ", false, k_mrksiz},
    {"BOXPAR", false, k_boxpar},   {"LINE  ", false, k_line},    {"BOX   ", false, k_box},
    {"CIRCLE", false, k_circle},   {"ELLIPS", false, k_ellips},  {"TEXT  ", false, k_text},
    {"XLIMIT", true, k_xlimit},    {"YLIMIT", true, k_ylimit},   {"XFROMO", true, k_xfromo},
    {"YFROMO", true, k_yfromo},    {"LFROMO", false, k_lfromo},  {"XLABEL", true, k_xlabel},
    {"YLABEL", true, k_ylabel},    {"LABELS", true, k_labels},   {"XVALUE", true, k_xvalue},
    {"YVALUE", true, k_yvalue},    {"VALUES", true, k_values},   {"VALABS", true, k_valabs},
    {"NEXTFN", true, k_nextfn},    {"MORE  ", true, k_more},     {"XCOUNT", true, k_xcount},
    {"YCOUNT", true, k_ycount},
}};

const Keyword* find_keyword(const std::string& key) {
  for (const Keyword& k : kKeywords) {
    if (key == k.key) return &k;
  }
  return nullptr;
}

}  // namespace

void start_plot1d(Plot1D& p, PointStore& pts, bool device_labels, bool conversion) {
  p = Plot1D{};
  pts.ensure();
  p.pts = &pts;
  // X(i) = i and Y(i) = i, copied from a table made once.
  static const std::vector<float> identity = [] {
    std::vector<float> v(static_cast<std::size_t>(kMaxPoints) + 2);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<float>(i);
    return v;
  }();
  std::memcpy(pts.x.data(), identity.data(), identity.size() * sizeof(float));
  std::memcpy(pts.y.data(), identity.data(), identity.size() * sizeof(float));
  if (device_labels) {
    for (int i = 0; i <= kMaxPoints + 1; ++i) {
      pts.label[static_cast<std::size_t>(i)] = "Data_pt_" + std::to_string(i);
    }
    pts.labelled = kMaxPoints + 1;
  } else {
    for (int i = 0; i <= std::min(pts.labelled, kMaxPoints + 1); ++i) {
      pts.label[static_cast<std::size_t>(i)].clear();
    }
    pts.labelled = 0;
  }
  if (conversion) {
    p.xlabel = "no_X_label";
    p.ylabel = "no_Y_label";
  }
}

SetEnd read_1d_set(PlotSource& src, int unit, Plot1D& p, const Read1DOptions& opt) {
  Ctx c{src, unit, p, opt};
  p.texts.clear();
  p.end = SetEnd::End;
  p.next_file.clear();
  KeyLine kl;
  while (next_key_line(src, kValueLen1D, kl)) {
    if (kl.comment()) continue;
    const Keyword* k = find_keyword(kl.key);
    if (opt.conversion && (k == nullptr || !k->conversion)) {
      (void)zv::textuo(" Keyword ignored :", kl.key);
      continue;
    }
    if (k == nullptr) {
      report_invalid_keyword(kl);
      continue;
    }
    if (k->handler(c, kl)) return p.end;
  }
  p.end = SetEnd::End;
  return p.end;
}

namespace {

// The full name of the file open on a unit, to recognise a file read before.
std::string file_identity(int unit) {
  const std::string name = zv::unit_name(unit);
  std::error_code ec;
  const std::filesystem::path canon = std::filesystem::weakly_canonical(name, ec);
  return ec ? name : canon.string();
}

bool note_file(int unit, Plot1D& p) {
  const std::string id = file_identity(unit);
  if (std::find(p.files_read.begin(), p.files_read.end(), id) != p.files_read.end()) return false;
  p.files_read.push_back(id);
  return true;
}

}  // namespace

int open_1d_file(int unit, std::string& file, Plot1D& p) {
  const int ierr = zv::XOPXOA(unit, file, zv::ISINTR());
  if (ierr == 0) (void)note_file(unit, p);
  return ierr;
}

bool open_next_1d_file(ZevState& st, int unit, Plot1D& p) {
  (void)zv::unit_close(unit);
  std::string file = p.next_file;
  if (zv::XOPXOA(unit, file, zv::ISINTR()) != 0) return false;
  st.file1d = zv::fit(file, kFileNameLen);
  st.file1d = std::string(zv::rtrim(st.file1d));
  if (!note_file(unit, p)) {
    zv::ERRMSG("NEXTFN - file already read for this plot: " + file);
    (void)zv::unit_close(unit);
    return false;
  }
  return true;
}

}  // namespace zev
