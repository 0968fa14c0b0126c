// zev's readers on arbitrary bytes: the bytes are split at their first four
// NUL bytes into a 1D plot file (a.pl1), a second 1D plot file (b.pl1), a 2D
// plot file (c.pl2), a topology plot file (d.zev) and a Mova datablock file
// (e.odb) in a scratch folder that is the working directory; every "/" is
// made "_", so the files that NEXTFN, XFROMO, YFROMO and LFROMO name are
// these five (or missing). Formats inside the files reach the text engine
// as they stand.
//
// Each file goes through its reader as the options use it: the 1D files
// data set by data set with MORE and NEXTFN (a chain that comes back must
// end), the datablock as naive_1D_plot reads it, the 2D file into a small
// plot buffer and on to a VRML scene, the topology file to a PostScript
// file, and the 1D file through both conversions. Beyond "no crash": every
// count stays within its limit, and the 2D grid is only reported read when
// it fits the buffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "capacities.h"
#include "convert.h"
#include "core/units.h"
#include "datablock.h"
#include "fuzz_session.h"
#include "plotout/xps.h"
#include "reader_1d.h"
#include "reader_2d.h"
#include "startup.h"
#include "state.h"
#include "topology.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

constexpr int kUnit = 11;

zev::ZevState& state() {
  static zev::ZevState* st = [] {
    auto* s = new zev::ZevState();
    if (!zev::allocate_buffers(s->buf, zev::kMinBuffer)) std::abort();
    return s;
  }();
  return *st;
}

void check_plot(const zev::Plot1D& p) {
  check(p.n >= 0 && p.n <= zev::kMaxPoints);
  check(p.extras.size() <= static_cast<std::size_t>(zev::kMaxExtras));
  check(p.texts.size() <= static_cast<std::size_t>(zev::kMaxTextLabels));
}

void read_1d(zev::ZevState& st, const std::string& name) {
  zev::Plot1D p;
  zev::start_plot1d(p, st.points[0], false);
  std::string file = name;
  if (zev::open_1d_file(kUnit, file, p) != 0) return;
  zev::Read1DOptions opt;
  opt.ps_wanted = true;
  int sets = 0;
  for (;;) {
    zev::PlotSource src(kUnit);
    zev::SetEnd end;
    do {
      end = zev::read_1d_set(src, kUnit, p, opt);
      check_plot(p);
      // A picture of more data sets than the files hold lines would mean
      // a loop.
      check(++sets < 1000000);
    } while (end == zev::SetEnd::More);
    if (end != zev::SetEnd::NextFile || !zev::open_next_1d_file(st, kUnit, p)) break;
    // NEXTFN may chain through every file the input wrote, each once.
    check(p.files_read.size() <= 5);
  }
  (void)zv::unit_close(kUnit);
  zv::XPS_INIT();  // forget the legend lines the REMARKs left
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zvfuzz::InScratch in_scratch;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  for (char& c : bytes) {
    if (c == '/') c = '_';
  }
  const char* names[5] = {"a.pl1", "b.pl1", "c.pl2", "d.zev", "e.odb"};
  std::string_view rest = bytes;
  for (int k = 0; k < 5; ++k) {
    const std::size_t nul = k < 4 ? rest.find('\0') : std::string_view::npos;
    if (rest.empty() && k > 0) {
      std::remove(names[k]);
      continue;
    }
    (void)zvfuzz::write_file(names[k], rest.substr(0, nul));
    rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  }
  zvfuzz::clean_scratch({"a.pl1", "b.pl1", "c.pl2", "d.zev", "e.odb"});

  zev::ZevState& st = state();
  st.plot2d = zev::Plot2D{};
  zvfuzz::Session session("", {kUnit, kUnit + 1, kUnit + 29, 99});
  zv::XPS_INIT();

  read_1d(st, "a.pl1");
  read_1d(st, "b.pl1");

  {  // naive_1D_plot's datablock
    zev::Plot1D p;
    zev::start_plot1d(p, st.points[0], false);
    zev::DatablockHeader hdr;
    int n = 0;
    if (zev::read_datablock_file(kUnit, "e.odb", zev::DatablockTarget::Y, st.points[0], n, hdr) == 0) {
      check(n >= 0 && n <= zev::kMaxPoints && n == hdr.count);
    }
  }

  {  // 2D file to a VRML scene
    std::string in = "c.pl2", out = "c.wrl";
    int error = 0;
    zev::VRML_2D(st, kUnit, in, out, (size & 1) != 0, error);
    const zev::Plot2D& p = st.plot2d;
    check(p.levels.n >= 0 && p.levels.n <= zev::kMaxLevels);
    check(p.extras.size() <= static_cast<std::size_t>(zev::kMaxExtras));
    if (p.grid_read) check(static_cast<std::int64_t>(p.nx) * p.ny <= st.buf.n);
  }

  {  // topology plot
    std::string file = "d.zev";
    int object = 0, error = 0;
    zev::PLTTOP(st, kUnit, file, true, "d.eps", object, error);
  }

  {  // conversions of the first 1D file
    std::string in = "a.pl1", out = "a.cg";
    zev::PLT2CG(st, "CRIC", kUnit, in, out);
    in = "a.pl1";
    out = "a.cnt";
    zev::PLT2CG(st, "COUN", kUnit, in, out);
  }
  return 0;
}
