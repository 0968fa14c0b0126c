// The two-dimensional plot-file reader.
#include "reader_2d.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "core/utils.h"
#include "plotout/xps.h"
#include "text/format.h"

namespace zev {

namespace {

struct Ctx {
  ZevState& st;
  PlotSource& src;
  bool ps_wanted;
  Plot2D& p;
};

using Handler = bool (*)(Ctx&, const KeyLine&);  // true: end of the file

bool k_end(Ctx&, const KeyLine&) { return true; }

bool k_remark(Ctx& c, const KeyLine& kl) {
  const std::string text(zv::rtrim(kl.value));
  zv::TXTOUT(" >" + text);
  if (c.ps_wanted) zv::XPS_LEGEND(text);
  return false;
}

bool read_size(const KeyLine& kl, int& n) {
  int v = n;
  if (!read_int(kl, v)) return false;
  if (v < 0) {
    report_bad_count(kl, "Number of grid points", v, -1);
    return false;
  }
  n = v;
  return false;
}

bool k_xpoint(Ctx& c, const KeyLine& kl) { return read_size(kl, c.p.nx); }
bool k_ypoint(Ctx& c, const KeyLine& kl) { return read_size(kl, c.p.ny); }

bool k_xlimit(Ctx& c, const KeyLine& kl) {
  (void)read_reals(kl, {&c.p.xmin, &c.p.xmax});
  return false;
}

bool k_ylimit(Ctx& c, const KeyLine& kl) {
  (void)read_reals(kl, {&c.p.ymin, &c.p.ymax});
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

void add_extra(Ctx& c, const KeyLine& kl, char type, std::string_view echo) {
  Extra e;
  e.type = type;
  auto& v = e.v;
  if (!read_reals(kl, {&v[0], &v[1], &v[2], &v[3]})) return;
  (void)zv::fvaluo(echo, std::span<const float>(e.v.data(), 4));
  if (static_cast<int>(c.p.extras.size()) < kMaxExtras) c.p.extras.push_back(e);
}

bool k_line(Ctx& c, const KeyLine& kl) {
  add_extra(c, kl, 'L', " Line :");
  return false;
}
bool k_box(Ctx& c, const KeyLine& kl) {
  add_extra(c, kl, 'B', " Box  :");
  return false;
}

bool k_nlevel(Ctx& c, const KeyLine& kl) {
  int n = c.p.levels.n;
  if (!read_int(kl, n)) return false;
  if (n < 0 || n > kMaxLevels) {
    report_bad_count(kl, "Number of levels", n, kMaxLevels);
    return false;
  }
  c.p.levels.n = n;
  return false;
}

// One value per level from the data lines after the keyword, free format,
// into a column of the level table: all of them or, on a read error (which
// is reported), none.
template <typename T>
bool read_level_column(Ctx& c, const KeyLine& kl, std::array<T, kMaxLevels>& column) {
  std::array<T, kMaxLevels> v = column;
  std::vector<zv::ReadItem> items;
  for (int i = 0; i < c.p.levels.n; ++i) items.emplace_back(v[static_cast<std::size_t>(i)]);
  const int iostat = read_data(c.src, DataFormat{}, items);
  if (iostat != 0) {
    report_bad_data(kl, iostat);
    return false;
  }
  column = v;
  return true;
}

bool k_levels(Ctx& c, const KeyLine& kl) {
  LevelTable& lt = c.p.levels;
  if (!read_level_column(c, kl, lt.value)) return false;
  const auto& v = lt.value;
  if (c.ps_wanted) {
    std::vector<zv::FmtItem> out;
    out.emplace_back("Levels: ");
    for (int i = 0; i < lt.n; ++i) out.emplace_back(v[static_cast<std::size_t>(i)]);
    std::string line;
    (void)zv::format_append(line, "(a,1p,50(1x,e10.1))", out);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    zv::XPS_LEGEND(line);
  }
  return false;
}

bool k_colour(Ctx& c, const KeyLine& kl) {
  (void)read_level_column(c, kl, c.p.levels.colour);
  return false;
}

bool k_ramlim(Ctx& c, const KeyLine& kl) {
  if (read_reals(kl, {&c.p.ramp_lo, &c.p.ramp_hi})) zv::ORDER2(c.p.ramp_lo, c.p.ramp_hi);
  return false;
}

bool k_ramode(Ctx& c, const KeyLine& kl) {
  c.p.ramp_mode = label_text(kl.value);
  return false;
}
bool k_ramtyp(Ctx& c, const KeyLine& kl) {
  c.p.ramp_type = label_text(kl.value);
  return false;
}

bool k_ramcol(Ctx& c, const KeyLine& kl) {
  auto& s = c.p.ramp_start;
  auto& e = c.p.ramp_end;
  if (!read_reals(kl, {&s[0], &s[1], &s[2], &e[0], &e[1], &e[2]})) return false;
  for (auto* rgb : {&s, &e}) {
    for (float& x : *rgb) {
      if (x > 1.0f) x = x / 256.0f;
      x = std::clamp(x, 0.0f, 1.0f);
    }
  }
  return false;
}

bool k_zvalue(Ctx& c, const KeyLine& kl) {
  c.p.grid_read = false;
  const DataFormat fmt = data_format(kl.value);
  if (fmt.free) {
    zv::TXTOUT(" FREE format read");
  } else {
    zv::TXTOUT(" Formatted read");
  }
  // nx * ny in 64 bits: two sizes of any value never overflow here.
  const std::int64_t total = static_cast<std::int64_t>(c.p.nx) * c.p.ny;
  if (total > c.st.buf.n) {
    zv::ERRMSG("Too much data for 2D plot buffer");
    jvaluo64(" Nr of data points :", total);
    jvaluo64(" Buffer size       :", c.st.buf.n);
    return true;  // the plot is abandoned
  }
  std::vector<zv::ReadItem> items;
  items.reserve(static_cast<std::size_t>(total));
  float* grid = c.st.buf.real;
  for (std::int64_t k = 0; k < total; ++k) items.emplace_back(grid[k]);
  const int iostat = read_data(c.src, fmt, items);
  if (iostat != 0) {
    report_bad_data(kl, iostat);
    return false;
  }
  c.p.grid_read = true;
  return false;
}

struct Keyword {
  const char* key;
  Handler handler;
};

// In the order in which the keywords are tested.
constexpr std::array<Keyword, 18> kKeywords = {{
    {"END   ", k_end},    {"REMARK", k_remark}, {"XPOINT", k_xpoint}, {"YPOINT", k_ypoint},
    {"XLIMIT", k_xlimit}, {"YLIMIT", k_ylimit}, {"XLABEL", k_xlabel}, {"YLABEL", k_ylabel},
    {"LINE  ", k_line},   {"BOX   ", k_box},    {"NLEVEL", k_nlevel}, {"LEVELS", k_levels},
    {"COLOUR", k_colour}, {"RAMLIM", k_ramlim}, {"RAMODE", k_ramode}, {"RAMTYP", k_ramtyp},
    {"RAMCOL", k_ramcol}, {"ZVALUE", k_zvalue},
}};

}  // namespace

int read_2d_plot(ZevState& st, PlotSource& src, bool ps_wanted) {
  Plot2D& p = st.plot2d;
  p.reset_for_file();
  Ctx c{st, src, ps_wanted, p};
  KeyLine kl;
  bool too_big = false;
  while (next_key_line(src, kValueLen2D, kl)) {
    if (kl.comment()) continue;
    const auto k = std::find_if(kKeywords.begin(), kKeywords.end(),
                                [&](const Keyword& kw) { return kl.key == kw.key; });
    if (k == kKeywords.end()) {
      report_invalid_keyword(kl);
      continue;
    }
    if (k->handler(c, kl)) {
      too_big = k->handler == k_zvalue;
      break;
    }
  }
  if (too_big) return -1;
  if (!p.grid_read) {
    if (static_cast<std::int64_t>(p.nx) * p.ny > 0) {
      zv::ERRMSG("No grid values read from the 2D plot file");
    }
    return -1;
  }
  return 0;
}

int load_2d_file(ZevState& st, int unit, std::string& file, bool ps_wanted) {
  const int ierr = zv::XOPXOA(unit, file, zv::ISINTR());
  if (ierr != 0) return ierr;
  zv::TXTOUT(" Reading ...");
  PlotSource src(unit);
  const int rc = read_2d_plot(st, src, ps_wanted);
  (void)zv::unit_close(unit);
  return rc;
}

}  // namespace zev
