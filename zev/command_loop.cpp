// PLTCMD: zev's command loop.
#include <array>
#include <string>

#include "core/dialogue.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "device.h"
#include "options.h"
#include "plotout/xps.h"
#include "plotout/xvrml.h"
#include "result_line.h"
#include "text/format.h"

namespace zev {

namespace {

[[noreturn]] void opt_quit(ZevState&) { zv::ZVSTOP(); }

void plot_naive(ZevState& st) { run_plot_option(st, PlotOption::Naive); }
void plot_line(ZevState& st) { run_plot_option(st, PlotOption::Line); }
void plot_cd(ZevState& st) { run_plot_option(st, PlotOption::CD); }
void plot_contour(ZevState& st) { run_plot_option(st, PlotOption::Contour); }
void plot_ramp(ZevState& st) { run_plot_option(st, PlotOption::Ramp); }
void plot_scatter(ZevState& st) { run_plot_option(st, PlotOption::Scatter); }
void plot_spike(ZevState& st) { run_plot_option(st, PlotOption::Spike); }
void plot_box(ZevState& st) { run_plot_option(st, PlotOption::Box); }
void plot_histogram(ZevState& st) { run_plot_option(st, PlotOption::Histogram); }
void plot_pie(ZevState& st) { run_plot_option(st, PlotOption::Pie); }
void plot_topology(ZevState& st) { run_plot_option(st, PlotOption::Topology); }

struct Option {
  const char* name;
  int min_chars;        // leading characters of the word that must match
  bool needs_graphics;
  void (*handler)(ZevState&);
};

// In the order in which the options are tested: the first match wins.
constexpr std::array<Option, 22> kOptions = {{
    {"quit", 1, false, opt_quit},
    {"open_window", 1, true, opt_open_window},
    {"integrate", 1, true, opt_integrate},
    {"close_window", 3, true, opt_close_window},
    {"clear_window", 3, true, opt_clear_window},
    {"select_window", 2, true, opt_select_window},
    {"cursor_mode", 2, true, opt_cursor_mode},
    {"cricketgraph", 2, false, opt_cricketgraph},
    {"count_1d_to_2d", 2, false, opt_count_1d_to_2d},
    {"vrml_2D", 1, false, opt_vrml_2d},
    {"naive_1D_plot", 1, false, plot_naive},
    {"1D_line_plot", 1, false, plot_line},
    {"CD_plot", 2, false, plot_cd},
    {"2D_contour", 1, false, plot_contour},
    {"ramp_2D", 1, false, plot_ramp},
    {"scatter_plot", 2, false, plot_scatter},
    {"spike_plot", 2, false, plot_spike},
    {"box_plot", 2, false, plot_box},
    {"histogram", 2, false, plot_histogram},
    {"pie_chart", 1, false, plot_pie},
    {"topology", 1, false, plot_topology},
    {"focus", 1, true, opt_focus},
}};

const Option* find_option(const std::string& word) {
  for (const Option& o : kOptions) {
    const std::string name = zv::upper(o.name);
    const std::size_t k = static_cast<std::size_t>(o.min_chars);
    if (word.size() >= k && word.compare(0, k, name, 0, k) == 0) return &o;
  }
  return nullptr;
}

constexpr std::array<const char*, 23> kListGraphics = {
    " Valid options are: ? !",
    " open_window    Dim Name Bkgr_colr Draw_colr",
    " select_window  [Nr]",
    " clear_window",
    " cursor_mode    Dx Dy",
    " naive_1D_plot  Mova_datablock_file [PostScript_file]",
    " 1D_line_plot   Plot_file [PostScript_file]",
    " scatter_plot   Plot_file [PostScript_file]",
    " spike_plot     Plot_file [PostScript_file]",
    " box_plot       Plot_file [PostScript_file]",
    " histogram      Plot_file [PostScript_file]",
    " pie_chart      Plot_file [PostScript_file]",
    " 2D_contour     Plot_file [PostScript_file]",
    " ramp_2D        Plot_file PostScript_file",
    " CD_plot        Plot_file PostScript_file",
    " topology       Plot_file [PostScript_file]",
    " focus          Data_nr",
    " integrate      Xlo Xhi [Ylo Yhi]",
    " close_window",
    " cricketgraph   Plot_file      CricketGraph_file",
    " count_1d_to_2d 1D_Plot_file   2D_Plot_file",
    " vrml_2D        Plot_file   VRML_file   line_solid",
    " quit",
};

constexpr std::array<const char*, 15> kListPlain = {
    " Valid options are: ? !",
    " naive_1D_plot   Mova_datablock_file PostScript_file",
    " 1D_line_plot    Plot_file        PostScript_file",
    " scatter_plot    Plot_file        PostScript_file",
    " spike_plot      Plot_file        PostScript_file",
    " box_plot        Plot_file        PostScript_file",
    " histogram       Plot_file        PostScript_file",
    " pie_chart       Plot_file        PostScript_file",
    " 2D_contour      Plot_file        PostScript_file",
    " ramp_2D         Plot_file        PostScript_file",
    " CD_plot         Plot_file        PostScript_file",
    " cricketgraph    Plot_file        CricketGraph_file",
    " count_1d_to_2d  1D_Plot_file     2D_Plot_file",
    " vrml_2D         Plot_file   VRML_file   line_solid",
    " quit",
};

// The default answer: the current words, each without trailing blanks,
// written with "(20(a,1x))" into the option line, blanks collapsed.
std::string default_line(const ZevState& st) {
  std::vector<zv::FmtItem> items;
  std::vector<std::string> words;
  words.reserve(static_cast<std::size_t>(st.nwords));
  for (int i = 0; i < st.nwords && i < kMaxWords; ++i) {
    words.emplace_back(zv::rtrim(st.words[static_cast<std::size_t>(i)]));
  }
  for (const std::string& w : words) items.emplace_back(w);
  std::string line(static_cast<std::size_t>(kOptionLineLen), ' ');
  (void)zv::format_internal(line, kOptionLineLen, "(20(a,1x))", items);
  zv::ONEBLANK(line);
  return std::string(zv::rtrim(line));
}

void report_cpu(ZevState& st) {
  float total = 0.0f, user = 0.0f, sys = 0.0f;
  st.cpu_clock(total, user, sys);
  if (total >= 1.0f) {
    zv::write_terminal("(a,3f10.1)", {" CPU total/user/sys :", total, user, sys});
  }
}

}  // namespace

void show_options(const ZevState& st) {
  std::vector<zv::FmtItem> items;
  if (st.graphics) {
    (void)zv::unit_write_line(zv::kUnitStdout, "");
    (void)zv::unit_write_line(zv::kUnitStdout, "... GRAPHICS ...");
    (void)zv::jvaluo(" Max number of graphics windows     :", st.max_windows);
    (void)zv::jvaluo(" Max number of viewport columns     :", st.max_cols);
    (void)zv::jvaluo(" Max number of viewport rows        :", st.max_rows);
    for (const char* s : kListGraphics) items.emplace_back(s);
  } else {
    for (const char* s : kListPlain) items.emplace_back(s);
  }
  std::string text;
  (void)zv::format_append(text, "(/99(a/:))", items);
  (void)zv::unit_write(zv::kUnitStdout, text);
}

void PLTCMD(ZevState& st) {
  float t0 = 0.0f, t1 = 0.0f, t2 = 0.0f;
  st.cpu_clock(t0, t1, t2);
  st.graphics = zv::ISINTR() && device().present();
  zv::XVRML_INIT();
  st.word(1) = st.graphics ? "open_window" : "cricketgraph";
  st.nwords = 1;
  if (st.graphics) WINSET(st);
  zv::XPS_INIT();
  show_options(st);

  std::array<std::string, kMaxWords> items;
  for (;;) {
    if (st.graphics && st.nopen > 0) device().update();
    report_cpu(st);
    std::string line = default_line(st);
    (void)zv::textii(" Option ?", line, kOptionLineLen);
    if (zv::input_exhausted()) zv::ZVSTOP();

    // The answer keeps its leading blanks: only a "!" or "?" in column 1
    // makes a comment or asks for the list.
    if (line.find_first_not_of(' ') == std::string::npos || line[0] == '!') continue;
    if (line[0] == '?') {
      show_options(st);
      continue;
    }
    int nitems = 0, ierr = 0;
    zv::EXTROP(line, nitems, kMaxWords, items, kWordLen, ierr);
    if (nitems < 1 || ierr != 0) {
      (void)zv::textuo(" ERROR - No valid option :", line);
      continue;
    }
    for (int i = 0; i < nitems; ++i) st.words[static_cast<std::size_t>(i)] = items[static_cast<std::size_t>(i)];
    st.nwords = nitems;
    zv::UPCSTR(st.word(1));

    const Option* opt = find_option(st.word(1));
    if (opt == nullptr) {
      const std::string bad = st.word(1);
      st.word(1) = "?";
      st.nwords = 1;
      (void)zv::textuo(" ERROR - Invalid or ambiguous option :", bad);
      continue;
    }
    if (opt->needs_graphics && !st.graphics) {
      zv::ERRMSG(opt->handler == opt_integrate ? "Non-interactive run; no integration"
                                               : "Non-interactive run; no on-screen graphics");
      continue;
    }
    opt->handler(st);
  }
}

}  // namespace zev
