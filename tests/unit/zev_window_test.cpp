// The graphics variant of zev's option loop, run through a fake device that
// reports itself present: the window table, window options, integration
// (INTEG1, INTEG2) on hand-computed data, focus and cursor mode. Also the
// CPU line of the loop with a clock of the test's own.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/frame.h"
#include "device.h"
#include "options.h"
#include "zev_testing.h"

namespace {

using zevtest::contains;

// Records what is asked of it; offers 3 windows (or what the test says).
class FakeDevice : public zev::GraphicsDevice {
 public:
  std::vector<std::string> calls;
  int windows = 3;
  std::vector<std::pair<int, std::array<float, 2>>> choices;  // cursor loop: menu values

  bool present() override { return true; }
  void max_windows(int& nwin, int& ncols, int& nrows) override {
    nwin = windows;
    ncols = 2;  // clamped to 1 by the window table
    nrows = 1;
  }
  void open_window(std::string_view title, int number, int dim, int& ierr) override {
    calls.push_back("open " + std::string(title) + " " + std::to_string(number) + " " +
                    std::to_string(dim));
    ierr = 0;
  }
  void close_window(int n) override { calls.push_back("close " + std::to_string(n)); }
  void select_window(int n) override { calls.push_back("select " + std::to_string(n)); }
  void clear_window(int n) override { calls.push_back("clear " + std::to_string(n)); }
  void set_view(float a, float b, float c, float d) override {
    calls.push_back("view " + std::to_string(a) + " " + std::to_string(b) + " " +
                    std::to_string(c) + " " + std::to_string(d));
  }
  void move(float x, float y) override { calls.push_back("move " + std::to_string(x) + " " + std::to_string(y)); }
  void draw(float x, float y) override { calls.push_back("draw " + std::to_string(x) + " " + std::to_string(y)); }
  int define_menu(std::string_view items) override {
    calls.push_back("menu " + std::string(items.substr(0, 10)));
    return static_cast<int>(calls.size());
  }
  void cursor_loop(float dx, float dy,
                   const std::function<bool(int, float, float)>& choice) override {
    calls.push_back("cursor " + std::to_string(dx) + " " + std::to_string(dy));
    for (auto& c : choices) {
      if (!choice(c.first, c.second[0], c.second[1])) return;
    }
  }
};

struct DeviceGuard {
  explicit DeviceGuard(zev::GraphicsDevice* d) { zev::set_device(d); }
  ~DeviceGuard() { zev::set_device(nullptr); }
};

// A run state with the fake device, in a scratch folder.
class GraphicsLoop : public ::testing::Test {
 protected:
  zevtest::Scratch dir;
  FakeDevice dev;
  DeviceGuard guard{&dev};
  zevtest::State st;
};

// Runs the option loop on the answers in interactive mode; returns the
// transcript.
std::string run_loop(zevtest::State& st, const std::string& answers) {
  zvtest::Session s(answers, {"-I"});
  try {
    zev::PLTCMD(*st);
  } catch (const zv::Stop&) {
  }
  return s.out();
}

TEST_F(GraphicsLoop, WindowTableAndOptions) {
  const std::string out = run_loop(
      st, "open_window 1 first 0 1\no 2 second\n\n\nop\n\n\n\n\nop\n"
          "select_window 1\nsel\nclear_window\nclose_window\nclo\nclo\nsel 2\nclo\nq\n");
  // WINSET: the device's limits, clamped to 8, 1 and 1, and the level table.
  EXPECT_TRUE(contains(out, " Max nr of graphics windows         : (          3) \n"
                            " Max nr of viewport columns         : (          1) \n"));
  EXPECT_TRUE(contains(out, "\n... GRAPHICS ...\n Max number of graphics windows     : (          3)"));
  EXPECT_TRUE(contains(out, " open_window    Dim Name Bkgr_colr Draw_colr\n"));
  EXPECT_EQ(st->plot2d.levels.n, 1);
  EXPECT_EQ(st->plot2d.levels.value[49], 1000000.0f);
  // Windows 1 and 2 opened, a third open with the dialogue, then none left.
  EXPECT_TRUE(contains(out, " Opened window     : (       1) \n Name              : (first) \n"
                            " Graphics dim      : (       1) \n Background colour : (       0) \n"
                            " Drawing colour    : (       1) \n"));
  EXPECT_TRUE(contains(out, " Background colour ? (       0) "));
  EXPECT_TRUE(contains(out, " Dimension [1,2] ? (       2) "));
  EXPECT_TRUE(contains(out, " ERROR --- No windows available\n Maximum : (       3) "));
  EXPECT_EQ(dev.calls[0], "open 1:first 1 1");
  EXPECT_EQ(dev.calls[std::size_t(2)], "open 2:second 2 2");
  EXPECT_EQ(dev.calls[std::size_t(4)], "open 3:second 3 2");  // the dialogue's defaults
  // select, clear, close twice, then nothing open.
  EXPECT_TRUE(contains(out, " Selected window : (       1) "));
  EXPECT_TRUE(contains(out, " Closed window : (       1) "));
  EXPECT_TRUE(contains(out, " Closed window : (       2) "));
  EXPECT_TRUE(contains(out, " Closed window : (       3) "));
  EXPECT_TRUE(contains(out, " ERROR --- Window not open\n"));
  EXPECT_TRUE(contains(out, " ERROR --- No windows open\n"));
  EXPECT_EQ(st->nopen, 0);
  EXPECT_EQ(st->current, 0);
}

TEST_F(GraphicsLoop, PlotOptionsNeedAWindowOfTheirDimension) {
  const std::string out =
      run_loop(st, "sc a b\no 1 w 0 1\n2D_contour in.pl2 x.ps\nramp_2D in.pl2\nv a.pl2 b.wrl L\n"
                   "t x.zev\nintegrate 0 1\nfocus 1\no 2 map 0 1\nsc a b\nramp_2D in.pl2\n"
                   "integrate 0 1 0 1\nq\n");
  EXPECT_TRUE(contains(out, " ERROR --- No graphics window\n"));
  EXPECT_TRUE(contains(out, " ERROR --- Not a 2D graphics window\n"));
  EXPECT_FALSE(contains(out, "Nothing to do"));
  // A 1D window with no points: integration over no points, focus refused.
  EXPECT_TRUE(contains(out, " Integrated      0 points between   0.0000E+00 and   1.0000E+00\n"));
  EXPECT_TRUE(contains(out, " ERROR --- No points plotted\n"));
  // A 2D window: no 1D plots, no ramp without a PostScript file, and no
  // integration before a 2D plot was drawn in it.
  EXPECT_TRUE(contains(out, " ERROR --- Not a 1D graphics window\n"));
  EXPECT_TRUE(contains(out, " ERROR --- Ramp_2D only works in PostScript !\n"));
  EXPECT_TRUE(contains(out, " ERROR --- Only data for *last* 2D plot is stored\n"));
}

// A 1D window holding the points (1,2) (2,4) (3,6) (4,8).
void one_d_window(zevtest::State& st) {
  st->max_windows = 2;
  st->windows[1].open = true;
  st->windows[1].dim = 1;
  st->windows[1].npoints = 4;
  st->windows[1].kind = zev::kKindLine;
  st->windows[1].limits = {1, 4, 2, 8};
  st->current = 1;
  st->nopen = 1;
  zev::PointStore& p = st->points[1];
  p.ensure();
  for (int i = 1; i <= 4; ++i) {
    p.x[static_cast<std::size_t>(i)] = static_cast<float>(i);
    p.y[static_cast<std::size_t>(i)] = static_cast<float>(2 * i);
    p.label[static_cast<std::size_t>(i)] = "P" + std::to_string(i);
  }
}

TEST(Integrate, OneDimensional) {
  zevtest::State st;
  one_d_window(st);
  struct Case {
    float lo, hi;
    const char* out;
  };
  const Case cases[] = {
      {2, 3,
       " Integrated      2 points between   2.0000E+00 and   3.0000E+00\n"
       " Actual integration limits found    2.0000E+00 and   3.0000E+00\n"
       " Integral      =   1.0000E+01 Total curve integral =   2.0000E+01\n"
       " Average value =   5.0000E+00 Total curve average  =   5.0000E+00\n"
       " Fraction of total =   0.5000 Centre of gravity    =   2.6000E+00\n"},
      {1.5f, 9,
       " Integrated      3 points between   1.5000E+00 and   9.0000E+00\n"
       " Actual integration limits found    2.0000E+00 and   4.0000E+00\n"
       " Integral      =   1.8000E+01 Total curve integral =   2.0000E+01\n"
       " Average value =   6.0000E+00 Total curve average  =   5.0000E+00\n"
       " Fraction of total =   0.9000 Centre of gravity    =   3.2222E+00\n"},
      {5, 6,
       " Integrated      0 points between   5.0000E+00 and   6.0000E+00\n"
       " Actual integration limits found    6.0000E+00 and   5.0000E+00\n"},
  };
  for (const Case& c : cases) {
    zvtest::Session s("");
    zev::INTEG1(*st, c.lo, c.hi);
    EXPECT_EQ(s.out(), c.out);
  }
}

TEST(Integrate, TwoDimensional) {
  zevtest::State st;
  st->max_windows = 2;
  st->windows[2].open = true;
  st->windows[2].dim = 2;
  st->windows[2].limits = {0, 2, 0, 2};
  st->last2d_window = 2;
  st->last2d_nx = 3;
  st->last2d_ny = 3;
  for (int k = 0; k < 9; ++k) st->buf.real[k] = static_cast<float>(k + 1);
  struct Case {
    float xlo, xhi, ylo, yhi;
    const char* out;
  };
  const Case cases[] = {
      {0.5f, 2, 0, 1,
       " Integrated      6 points\n"
       " X range   5.0000E-01 to   2.0000E+00 (  0.0000E+00  2.0000E+00)\n"
       " Y range   0.0000E+00 to   1.0000E+00 (  0.0000E+00  1.0000E+00)\n"
       " Integral      =   2.1000E+01 Total curve integral =   4.5000E+01\n"
       " Average value =   3.5000E+00 Total curve average  =   5.0000E+00\n"
       " Fraction of total =   0.4667\n"
       " Centre of gravity =   1.1905E+00  7.1429E-01\n"},
      // X limits outside the grid are clamped to it; the first row is
      // truncated (int(2.2) = 2), the last rounded (nint(2.6) = 3).
      {-10, 10, 1.2f, 1.6f,
       " Integrated      6 points\n"
       " X range  -1.0000E+01 to   1.0000E+01 (  0.0000E+00  2.0000E+00)\n"
       " Y range   1.2000E+00 to   1.6000E+00 (  1.0000E+00  2.0000E+00)\n"
       " Integral      =   3.9000E+01 Total curve integral =   4.5000E+01\n"
       " Average value =   6.5000E+00 Total curve average  =   5.0000E+00\n"
       " Fraction of total =   0.8667\n"
       " Centre of gravity =   1.1026E+00  1.6154E+00\n"},
      // Nothing inside: the upper limits rise to the lower ones.
      {5, 6, 5, 6,
       " Integrated      1 points\n"
       " X range   5.0000E+00 to   6.0000E+00 (  2.0000E+00  2.0000E+00)\n"
       " Y range   5.0000E+00 to   6.0000E+00 (  2.0000E+00  2.0000E+00)\n"
       " Integral      =   9.0000E+00 Total curve integral =   4.5000E+01\n"
       " Average value =   9.0000E+00 Total curve average  =   5.0000E+00\n"
       " Fraction of total =   0.2000\n"
       " Centre of gravity =   2.0000E+00  2.0000E+00\n"},
  };
  for (const Case& c : cases) {
    zvtest::Session s("");
    zev::INTEG2(*st, c.xlo, c.xhi, c.ylo, c.yhi);
    EXPECT_EQ(s.out(), c.out);
  }
}

TEST_F(GraphicsLoop, IntegrateAndFocusThroughTheOptions) {
  // The window is set up by hand and the options are called directly (the
  // loop's WINSET would start with an empty table).
  one_d_window(st);
  st->graphics = true;
  {
    zvtest::Session s("");
    st->nwords = 3;
    st->word(2) = "3";
    st->word(3) = "2";
    zev::opt_integrate(*st);
    EXPECT_TRUE(contains(s.out(), " Integrated      2 points between   2.0000E+00 and   3.0000E+00"));
    st->nwords = 2;
    st->word(2) = "x";
    zev::opt_integrate(*st);  // an unreadable word ends the option
    st->word(2) = "3";
    zev::opt_focus(*st);
    st->word(2) = "5";
    zev::opt_focus(*st);
    const std::string out = s.out();
    EXPECT_TRUE(contains(out, " ERROR --- Invalid data point number\n"));
  }
  // Focus on point 3 (3, 6): 1 % of the X range 1..4 and of the Y range 2..8.
  bool found = false;
  for (const std::string& c : dev.calls) found = found || c == "view 2.970000 3.030000 5.940000 6.060000";
  EXPECT_TRUE(found);
  // A 2D window that is not the window of the last 2D plot.
  st->windows[2] = st->windows[1];
  st->windows[2].dim = 2;
  st->current = 2;
  zvtest::Session s("");
  zev::opt_integrate(*st);
  EXPECT_EQ(s.out(), " ERROR --- Only data for *last* 2D plot is stored\n");
}

TEST_F(GraphicsLoop, CursorMenuChoices) {
  one_d_window(st);
  st->graphics = true;
  dev.choices = {{4, {2.9f, 6.2f}}, {12, {0, 5}}, {6, {2.5f, 0}}, {99, {0, 0}}, {10, {0, 0}},
                 {4, {0, 0}}};
  zvtest::Session s("");
  st->nwords = 3;
  st->word(2) = "-0.5";
  st->word(3) = "0";
  zev::opt_cursor_mode(*st);
  const std::string out = s.out();
  EXPECT_TRUE(contains(out, " Horizontal arrow step : (   0.500) \n Vertical arrow step   : (   0.000) \n"));
  EXPECT_TRUE(contains(out, " Point #      3 (D =   4.7140E-02)\n X,Y,Label =   3.0000E+00,  6.0000E+00 |P3|\n"));
  EXPECT_TRUE(contains(out, " Data points with Y >\n Point #      3 X,Y,Label =   3.0000E+00,  6.0000E+00 |P3|\n"
                            " Point #      4 X,Y,Label =   4.0000E+00,  8.0000E+00 |P4|\n"));
  EXPECT_TRUE(contains(out, " Vertical   line at X = (   2.500) "));
  EXPECT_TRUE(contains(out, " ERROR --- IC1SPC - Invalid option\n"));
  // 10 left the loop: the last choice was never acted on.
  EXPECT_EQ(out.find(" Point #      1 (D"), std::string::npos);
  EXPECT_NE(std::find(dev.calls.begin(), dev.calls.end(), "cursor 0.500000 0.000100"),
            dev.calls.end());
}

// The words that the next default answer shows after an option line, and
// what counts as a comment or a request for the list (column 1 only).
TEST(Loop, DefaultAnswerAfterAnOption) {
  struct Case {
    const char* line;
    const char* next;  // the prompt that follows
  };
  const Case cases[] = {
      {"cr in.pl1 a.cg extra words", " Option ? (cricketgraph in.pl1 a.cg) "},
      {"CO in.pl1 a.pl2 x", " Option ? (count_1d_to_2d in.pl1 a.pl2) "},
      {"v in.pl2 a.wrl s more", " Option ? (vrml_2d in.pl2 a.wrl S) "},
      {"sc in.pl1 out.ps more", " Option ? (scatter_plot in.pl1 out.ps more) "},
      {"  ! not in column 1", " Option ? (?) "},
      {" ?", " Option ? (?) "},
      {"! a comment", " Option ? (cricketgraph) "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    zevtest::Scratch dir;
    zevtest::Scratch::write("in.pl1", "NPOINT 3\nYVALUE *\n1 2 3\n");
    zevtest::Scratch::write("in.pl2", "XPOINT 2\nYPOINT 2\nZVALUE *\n1 2 3 4\n");
    zevtest::State st;
    zvtest::Session s(std::string(c.line) + "\n");
    try {
      zev::PLTCMD(*st);
    } catch (const zv::Stop&) {
    }
    const auto lines = zevtest::lines(s.out());
    std::vector<std::string> prompts;
    for (const auto& l : lines) {
      if (l.starts_with(" Option ?")) prompts.push_back(l);
    }
    ASSERT_GE(prompts.size(), 2u) << s.out();
    EXPECT_EQ(prompts[1], c.next);
  }
}

TEST(Loop, CpuLineAfterACostlyOption) {
  zevtest::Scratch dir;
  zevtest::State st;
  static int calls;
  calls = 0;
  // The third reading (after the first option) is 1.5 s, the others 0.2 s.
  st->cpu_clock = [](float& t, float& u, float& s) {
    ++calls;
    t = calls == 3 ? 1.5f : 0.2f;
    u = t;
    s = 0.0f;
  };
  const std::string out = run_loop(st, "x\ny\nz\nq\n");
  const auto lines = zevtest::lines(out);
  int cpu = 0;
  std::size_t at = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (contains(lines[i], "CPU total/user/sys")) {
      ++cpu;
      at = i;
    }
  }
  ASSERT_EQ(cpu, 1);
  EXPECT_EQ(lines[at], " CPU total/user/sys :       1.5       1.5       0.0");
  EXPECT_TRUE(contains(lines[at - 1], "Invalid or ambiguous option : (X)"));
}

}  // namespace
