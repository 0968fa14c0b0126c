// The plot options and the conversions of the command loop.
#include <array>
#include <string>

#include "convert.h"
#include "core/dialogue.h"
#include "core/messages.h"
#include "core/strings.h"
#include "device.h"
#include "options.h"
#include "plots.h"
#include "topology.h"

namespace zev {

namespace {

struct PlotSteps {
  const char* canonical;  // word 1 after the option
  bool input_2d;          // reads the remembered 2D plot file (else the 1D one)
  int dim;                // window dimension needed with graphics
  const char* title;
  const char* type;       // 1D type code ("" for the others)
  int kind;               // plot kind recorded in the window table
};

const PlotSteps& steps_of(PlotOption opt) {
  static const std::array<PlotSteps, 11> steps = {{
      {"naive", false, 1, "1D_plot", "LINE", kKindLine},
      {"1d_plot", false, 1, "1D_plot", "LINE", kKindLine},
      {"CD_plot", false, 1, "CD_plot", "CDPLOT", kKindLine},
      {"scatter_plot", false, 1, "scatter_plot", "SCAT", kKindScatter},
      {"spike_plot", false, 1, "spike_plot", "SPIKE", kKindScatter},
      {"box_plot", false, 1, "box_plot", "BOX", kKindScatter},
      {"histogram", false, 1, "histogram", "HIST", kKindHistogram},
      {"pie_chart", false, 1, "pie", "PIE", kKindPie},
      {"2d_plot", true, 2, "2D_plot", "", kKindGrid},
      {"ramp_2d", true, 2, "ramp_2D", "", kKindGrid},
      {"topology", false, 2, "topology", "", kKindTopology},
  }};
  return steps[static_cast<std::size_t>(opt)];
}

std::string trimmed(const std::string& s) { return std::string(zv::rtrim(s)); }

// Word i when given, else the answer to the question with the remembered
// file as default; the remembered file and word i take the result.
void file_word(ZevState& st, int i, std::string_view prompt, std::string& slot) {
  if (st.nwords < i) {
    (void)zv::textii(prompt, slot, kFileNameLen);
    st.word(i) = zv::fit(slot, kWordLen);
  } else {
    slot = st.word(i);
  }
  st.word(i) = trimmed(st.word(i));
  slot = trimmed(slot);
}

}  // namespace

bool check_plot_window(const ZevState& st, int dim) {
  if (st.current < 1 || st.nopen < 1 || !st.windows[static_cast<std::size_t>(st.current)].open) {
    zv::ERRMSG("No graphics window");
    return false;
  }
  if (st.windows[static_cast<std::size_t>(st.current)].dim != dim) {
    zv::ERRMSG(dim == 1 ? "Not a 1D graphics window" : "Not a 2D graphics window");
    return false;
  }
  return true;
}

void run_plot_option(ZevState& st, PlotOption opt) {
  const PlotSteps& sp = steps_of(opt);
  st.word(1) = sp.canonical;
  if (st.graphics && !check_plot_window(st, sp.dim)) return;
  std::string& slot = sp.input_2d ? st.file2d : st.file1d;
  file_word(st, 2, " Filename ?", slot);
  const bool ps_wanted = st.nwords >= 3;
  if (ps_wanted) {
    st.outfile = trimmed(st.word(3));
    st.word(3) = st.outfile;
  }
  if (st.nwords < 2) st.nwords = 2;
  if (!st.graphics && !ps_wanted) {
    zv::ERRMSG("Nothing to do");
    return;
  }
  if (st.graphics && opt == PlotOption::Ramp && !ps_wanted) {
    zv::ERRMSG("Ramp_2D only works in PostScript !");
    return;
  }

  int n = 0, object = 0, error = 0;
  std::string file = slot;
  switch (opt) {
    case PlotOption::Contour:
    case PlotOption::Ramp:
      st.ps_flag = ps_wanted ? 1 : 0;
      st.ramp_flag = opt == PlotOption::Ramp ? 1 : 0;
      st.vrml_flag = 0;
      PLT2D(st, kUnitPlot, file, n, opt == PlotOption::Ramp, ps_wanted, st.outfile, sp.title,
            object, error);
      break;
    case PlotOption::Topology:
      PLTTOP(st, kUnitPlot, file, ps_wanted, st.outfile, object, error);
      n = 0;
      break;
    default:
      PLT1D(st, opt == PlotOption::Naive ? 1 : 0, sp.type, kUnitPlot, file, st.outfile, ps_wanted,
            n, sp.title, object, error);
      break;
  }
  if (st.graphics && st.current >= 1) {
    Window& w = st.windows[static_cast<std::size_t>(st.current)];
    (void)device().finish_picture();
    w.kind = sp.kind;
    w.npoints = opt == PlotOption::Topology ? 0 : n;
    w.object = object;
  }
}

// The two conversions of a 1D plot file: the option's canonical word, the
// two file questions, then PLT2CG with the conversion's code.
void convert_1d(ZevState& st, const char* canonical, std::string_view ask_in,
                std::string_view ask_out, const char* code) {
  st.word(1) = canonical;
  file_word(st, 2, ask_in, st.file1d);
  file_word(st, 3, ask_out, st.outfile);
  st.nwords = 3;
  std::string in = st.file1d, out = st.outfile;
  PLT2CG(st, code, kUnitPlot, in, out);
}

void opt_cricketgraph(ZevState& st) {
  convert_1d(st, "cricketgraph", " Plot file ?", " CricketGraph file ?", "CRIC");
}

void opt_count_1d_to_2d(ZevState& st) {
  convert_1d(st, "count_1d_to_2d", " 1D Plot file ?", " 2D Plot file ?", "COUN");
}

void opt_vrml_2d(ZevState& st) {
  st.word(1) = "vrml_2d";
  if (st.graphics && !check_plot_window(st, 2)) return;
  file_word(st, 2, " Plot file ?", st.file2d);
  file_word(st, 3, " VRML file ?", st.vrmlfile);
  std::string mode = "L";
  if (st.nwords <= 3) {
    (void)zv::textii(" Lines or Solid faces (L/S) ?", mode, kWordLen);
  } else {
    mode = st.word(4);
  }
  zv::UPCSTR(mode);
  mode = trimmed(mode);
  st.word(4) = mode;
  st.nwords = 4;
  const bool solid = !mode.empty() && mode.find_first_not_of(' ') != std::string::npos &&
                     mode[mode.find_first_not_of(' ')] == 'S';
  st.vrml_solid = solid ? 1 : 0;
  st.vrml_flag = 1;
  std::string in = st.file2d, out = st.vrmlfile;
  int error = 0;
  VRML_2D(st, kUnitPlot, in, out, solid, error);
  if (st.graphics && st.current >= 1 && error == 0) {
    Window& w = st.windows[static_cast<std::size_t>(st.current)];
    w.kind = kKindGrid;
  }
}

}  // namespace zev
