// The PostScript writer: exact lines of the drawing operations, the whole
// page of a small plot, the guards, and every written page handed to
// Ghostscript (check-eps).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/units.h"
#include "core_session.h"
#include "plotout/line_buffer.h"
#include "plotout/xps.h"
#include "size_limit.h"
#include "validator_util.h"

namespace zv {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr int kPsUnit = 41;

using zvtest::read_lines;
using zvtest::run_validator;

class PsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = zvtest::fresh_test_dir("zv_plotout_ps");
    session_ = std::make_unique<zvtest::Session>("");
    XPS_INIT();
    (void)session_->out();
    mark_ = session_->out().size();
  }

  void TearDown() override {
    if (xps_is_open()) XPS_CLOSE();
    session_.reset();
    if (!::testing::Test::HasFailure()) fs::remove_all(dir_);
  }

  fs::path open(const std::string& name, float x1 = 0, float x2 = 450, float y1 = 0,
                float y2 = 450) {
    const fs::path p = dir_ / name;
    XPS_OPEN(kPsUnit, p.string(), "PLOTTEST");
    EXPECT_TRUE(xps_is_open());
    XPS_WINDOW(x1, x2, y1, y2);
    (void)terminal();  // the open report
    files_.push_back(p);
    return p;
  }

  // Closes the page and returns its lines.
  Lines close() {
    XPS_CLOSE();
    EXPECT_FALSE(xps_is_open());
    return read_lines(files_.back());
  }

  // Closes the page and returns the lines written between XPS_COMMENT("<<")
  // and XPS_COMMENT(">>").
  Lines close_marked() {
    const Lines all = close();
    Lines out;
    bool in = false;
    for (const std::string& l : all) {
      if (l == "% PROGAM COMMENT: >>") break;
      if (in) out.push_back(l);
      if (l == "% PROGAM COMMENT: <<") in = true;
    }
    return out;
  }

  // Terminal output since the last call.
  std::string terminal() {
    std::string all = session_->out();
    std::string fresh = all.substr(mark_);
    mark_ = all.size();
    return fresh;
  }

  // Every page this test wrote must be accepted by Ghostscript.
  void expect_valid_pages() {
    for (const fs::path& p : files_) {
      const int rc = run_validator("check-eps", p);
      if (rc == 2) GTEST_SKIP() << "check-eps cannot run here (Ghostscript missing)";
      EXPECT_EQ(rc, 0) << p;
    }
  }

  fs::path dir_;
  std::unique_ptr<zvtest::Session> session_;
  std::vector<fs::path> files_;
  std::size_t mark_ = 0;
};

// Fortran F and I fields, digit for digit as gfortran writes them (values
// from the fortran-format oracle), and the full-width writing of values
// that gfortran would replace by asterisks.
TEST(PlotLineTest, NumberFieldsMatchFortran) {
  struct Case {
    float v;
    int w, d;
    const char* text;
  };
  const Case cases[] = {
      {0.125f, 6, 2, "0.12"},   {0.375f, 6, 2, "0.38"},    {0.625f, 6, 2, "0.62"},
      {-0.125f, 6, 2, "-0.12"}, {1.005f, 6, 2, "1.00"},    {2.5f, 4, 0, "2."},
      {3.5f, 4, 0, "4."},       {0.005f, 10, 2, "0.00"},   {-0.0f, 10, 2, "-0.00"},
      {-0.001f, 10, 2, "-0.00"}, {-0.5f, 6, 3, "-0.500"},  {-0.5f, 5, 3, "-.500"},
      {0.5f, 4, 3, ".500"},     {0.3f, 20, 10, "0.3000000119"}, {0.04f, 3, 1, "0.0"},
      {-0.04f, 4, 1, "-0.0"},   {306.25f, 10, 2, "306.25"}, {12345.0f, 8, 3, "12345.000"},
      {-999999.99f, 10, 2, "-1000000.00"}, {1e20f, 10, 2, "100000002004087734272.00"},
  };
  for (const Case& c : cases) {
    char buf[64];
    const int n = plotout::render_f(buf, c.v, c.w, c.d);
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(n)), c.text) << c.v << " F" << c.w << "."
                                                                     << c.d;
  }
  // The fast path for up to four decimals agrees with the C library's exact
  // conversion for floats of every magnitude, ties included.
  std::uint32_t seed = 12345;
  for (int k = 0; k < 200000; ++k) {
    seed = seed * 1664525u + 1013904223u;
    const int d = static_cast<int>(seed >> 30);  // 0..3
    const float v = std::ldexp(static_cast<float>(seed & 0xFFFFFF), static_cast<int>(seed % 40) - 34) *
                    ((seed & 0x100) ? -1.0f : 1.0f);
    char buf[64], want[128];
    const int n = plotout::render_f(buf, v, 60, d);
    std::snprintf(want, sizeof want, "%.*f%s", d, static_cast<double>(v), d == 0 ? "." : "");
    ASSERT_EQ(std::string(buf, static_cast<std::size_t>(n)), want) << v << " d=" << d;
  }
  // Compacted and full-width lines; overflowing values stay apart.
  plotout::LineBuffer packed(true), plain(false);
  packed.text("[ ").i(7, 3).text(" ").i(1234, 3).text(" ] ").f(NAN, 6, 2).text(" x  y ");
  EXPECT_EQ(packed.view(), "[ 7 1234 ] 0.00 x y");
  plain.f(1.0f, 8, 3).f(12345.0f, 8, 3).f(-2.0f, 8, 3);
  EXPECT_EQ(plain.view(), "   1.000 12345.000  -2.000");
}

// Escaping inside PostScript strings: only what a reader would misread.
TEST(PlotLineTest, StringEscapes) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"f(x)", "f(x)"},           {"((a)(b))", "((a)(b))"},   {"(A", "\\(A"},
      {"A)", "A\\)"},             {")(", "\\)\\("},           {"((x)", "\\((x)"},
      {"(x))", "(x)\\)"},         {"a)b(c", "a\\)b\\(c"},     {"C:\\new", "C:\\\\new"},
      {"\\(", "\\\\\\("},         {"x\ny", "x y"},           {"% 100 %", "% 100 %"},
  };
  plotout::LineBuffer line(true);
  for (const auto& c : cases) {
    line.clear();
    line.ps_string(c.in);
    EXPECT_EQ(line.view(), c.out) << c.in;
  }
  // Random texts of parentheses, backslashes and letters: the string body
  // read back as a PostScript reader does gives the text, never ends early,
  // and escapes exactly the parentheses a matching leaves without partner.
  std::uint32_t seed = 7;
  for (int k = 0; k < 20000; ++k) {
    std::string text;
    seed = seed * 1664525u + 1013904223u;
    const int len = static_cast<int>(seed >> 28);
    for (int i = 0; i < len; ++i) {
      seed = seed * 1664525u + 1013904223u;
      text.push_back("()\\a"[seed >> 30]);
    }
    int unmatched = 0, depth = 0;
    for (char c : text) {
      if (c == '(') ++depth;
      if (c == ')') {
        if (depth == 0) ++unmatched;
        else --depth;
      }
    }
    unmatched += depth;
    line.clear();
    line.ps_string(text);
    const std::string_view body = line.view();
    std::string back;
    int level = 0, escaped_parens = 0;
    for (std::size_t i = 0; i < body.size(); ++i) {
      char c = body[i];
      if (c == '\\') {
        ASSERT_LT(i + 1, body.size()) << text;
        c = body[++i];
        escaped_parens += c == '(' || c == ')';
      } else if (c == '(') {
        ++level;
      } else if (c == ')') {
        ASSERT_GT(level, 0) << text << " -> " << body;
        --level;
      }
      back.push_back(c);
    }
    EXPECT_EQ(level, 0) << text << " -> " << body;
    EXPECT_EQ(back, text);
    EXPECT_EQ(escaped_parens, unmatched) << text << " -> " << body;
  }
}

TEST_F(PsTest, WholePageOfASmallPlot) {
  open("small.eps", 0, 4, 0, 4);
  XPS_LABELS("Residue", "Count  (all)");
  XPS_MOVE(0, 0);
  XPS_DRAW(4, 2);
  const Lines got = close();
  const Lines want = {
      "%!PS-Adobe-3.0 EPSF-3.0",
      "%%Title: " + (dir_ / "small.eps").string(),
      "%%Creator: PLOTTEST",
      "%%CreationDate: <date>",
      "%%DocumentFonts: Times-Roman Times-Bold Symbol",
      "%%Pages: 1",
      "%%BoundingBox: 10.0 10.0 535.0 785.0",
      "%%EndComments",
      "/Line { moveto lineto stroke } bind def",
      "/M { moveto } bind def",
      "/L { lineto } bind def",
      "/S { stroke } bind def",
      "/C { stroke setrgbcolor } bind def",
      "/K { stroke sethsvcolor } bind def",
      "/black {0 0 0 C} bind def",
      "/red {1 0 0 C} bind def",
      "/green {0 1 0 C} bind def",
      "/yellow {1 1 0 C} bind def",
      "/blue {0 0 1 C} bind def",
      "/magenta {1 0 1 C} bind def",
      "/cyan {0 1 1 C} bind def",
      "/white {1 1 1 C} bind def",
      "/Center {",
      "dup /Times-Roman findfont exch scalefont setfont",
      "exch stringwidth pop -2 div exch -3 div rmoveto } bind def",
      "/Print { /Times-Roman findfont exch scalefont setfont show } bind def",
      "/Bold { /Times-Bold findfont exch scalefont setfont show } bind def",
      "/Greek { /Symbol findfont exch scalefont setfont show } bind def",
      "/CenterRot90 {",
      "dup /Times-Roman findfont exch scalefont setfont",
      "exch stringwidth pop -2 div exch 3 div exch rmoveto",
      "} bind def",
      "/FilledBox { gsave M L L L fill S grestore } bind def",
      "/GreyBox { gsave 0.5 setgray M L L L fill S grestore } bind def",
      "/DarkBox { gsave 0.2 setgray M L L L fill S grestore } bind def",
      "/LightBox { gsave 0.8 setgray M L L L fill S grestore } bind def",
      "%%EndProlog",
      "% change next line to move the plot on the page",
      "     0.0 0.0 translate",
      "% change next line to scale the plot",
      "     1.0 1.0 scale",
      "     1 setlinecap 1 setlinejoin",
      "     1 setlinewidth 0 setgray",
      "%%Page: 1 1",
      "% begin plot box",
      "black",
      "     50.00     250.00 M",
      "    500.00     250.00 L",
      "    500.00     700.00 L",
      "     50.00     700.00 L",
      "closepath gsave",
      "% end plot box",
      "gsave 1.0000 setgray fill grestore S",
      "% end of XPS_GRAF header stuff",
      "S 50.00 250.00 M",
      "500.00 475.00 L",
      "% start of XPS_GRAF footer stuff",
      "S [1 0] 0 setdash",
      "% label X axis and Y axis",
      "black",
      // X: step 1, ticks 0..4; labels 3 points left per character.
      "50.00 250.00 M", "50.00 243.00 L", "47.00 233.00 M", "(0) 12.00 Print",
      "162.50 250.00 M", "162.50 243.00 L", "159.50 233.00 M", "(1) 12.00 Print",
      "275.00 250.00 M", "275.00 243.00 L", "272.00 233.00 M", "(2) 12.00 Print",
      "387.50 250.00 M", "387.50 243.00 L", "384.50 233.00 M", "(3) 12.00 Print",
      "500.00 250.00 M", "500.00 243.00 L", "497.00 233.00 M", "(4) 12.00 Print",
      // Y: about 15 intervals, step 0.5.
      "500.00 250.00 M", "507.00 250.00 L", "509.00 247.00 M", "(0) 12.00 Print",
      "500.00 306.25 M", "507.00 306.25 L", "509.00 303.25 M", "(0.5) 12.00 Print",
      "500.00 362.50 M", "507.00 362.50 L", "509.00 359.50 M", "(1) 12.00 Print",
      "500.00 418.75 M", "507.00 418.75 L", "509.00 415.75 M", "(1.5) 12.00 Print",
      "500.00 475.00 M", "507.00 475.00 L", "509.00 472.00 M", "(2) 12.00 Print",
      "500.00 531.25 M", "507.00 531.25 L", "509.00 528.25 M", "(2.5) 12.00 Print",
      "500.00 587.50 M", "507.00 587.50 L", "509.00 584.50 M", "(3) 12.00 Print",
      "500.00 643.75 M", "507.00 643.75 L", "509.00 640.75 M", "(3.5) 12.00 Print",
      "500.00 700.00 M", "507.00 700.00 L", "509.00 697.00 M", "(4) 12.00 Print",
      "black",
      "black",
      "% little corners top-left and bottom-right",
      "     25.00     715.00 M",
      "     25.00     725.00 L",
      "     35.00     725.00 L S",
      "    515.00      25.00 M",
      "    525.00      25.00 L",
      "    525.00      35.00 L S",
      "% axis labels",
      "50.00 210.00 M",
      "(X = Residue) 15.00 Print S",
      "50.00 190.00 M",
      "(Y = Count (all)) 15.00 Print S",
      "% plot header",
      "50.00 720.00 M",
      "(File " + (dir_ / "small.eps").string() + ") 15.00 Bold S",
      "50.00 740.00 M",
      "(D.) 15.00 Greek S",
      "70.00 740.00 M",
      "<created>",
      "% almost done now",
      "grestore stroke",
      "showpage",
      "%%Trailer",
  };
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (want[i] == "%%CreationDate: <date>") {
      EXPECT_EQ(got[i].rfind("%%CreationDate: ", 0), 0u) << got[i];
    } else if (want[i] == "<created>") {
      EXPECT_EQ(got[i].rfind("(Created by PLOTTEST at ", 0), 0u) << got[i];
      EXPECT_NE(got[i].find(" *** XPS_GRAF 20051205/3.1.3) 9.00 Print S"), std::string::npos)
          << got[i];
      EXPECT_EQ(got[i].find("  "), std::string::npos) << got[i];
    } else {
      EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
    }
  }
  expect_valid_pages();
}

TEST_F(PsTest, LongPathIsRestartedEveryHundredSegments) {
  open("path.eps");
  XPS_COMMENT("<<");
  XPS_MOVE(0, 0);
  for (int i = 1; i <= 250; ++i) XPS_DRAW(static_cast<float>(i), static_cast<float>(i) * 0.5f);
  XPS_COMMENT(">>");
  const Lines got = close_marked();
  ASSERT_EQ(got.size(), 1u + 250u + 4u);
  EXPECT_EQ(got[0], "S 50.00 250.00 M");
  EXPECT_EQ(got[1], "51.00 250.50 L");
  EXPECT_EQ(got[100], "150.00 300.00 L");
  EXPECT_EQ(got[101], "S");
  EXPECT_EQ(got[102], "150.00 300.00 M");
  EXPECT_EQ(got[103], "151.00 300.50 L");
  EXPECT_EQ(got[202], "250.00 350.00 L");
  EXPECT_EQ(got[203], "S");
  EXPECT_EQ(got[204], "250.00 350.00 M");
  EXPECT_EQ(got.back(), "300.00 375.00 L");
  int restarts = 0;
  for (const std::string& l : got) restarts += l == "S";
  EXPECT_EQ(restarts, 2);
  expect_valid_pages();
}

TEST_F(PsTest, DashPatternsAndSolid) {
  open("dash.eps");
  XPS_COMMENT("<<");
  for (int k = 0; k < 11; ++k) XPS_DASH();
  XPS_SOLID();
  XPS_DASH();
  XPS_SOLID();
  XPS_COMMENT(">>");
  const Lines got = close_marked();
  const char* const patterns[] = {
      "[ 1 0 ] 1 setdash", "[ 2 4 ] 1 setdash", "[ 3 4 ] 1 setdash",  "[ 4 4 ] 2 setdash",
      "[ 5 4 ] 2 setdash", "[ 6 4 ] 3 setdash", "[ 7 4 ] 3 setdash",  "[ 8 4 ] 4 setdash",
      "[ 9 5 ] 4 setdash", "[ 10 5 ] 5 setdash", "[ 11 6 ] 5 setdash",
      // XPS_SOLID, the next pattern after it, XPS_SOLID again.
      "[ 1 0 ] 1 setdash", "[ 2 4 ] 1 setdash", "[ 1 0 ] 1 setdash"};
  ASSERT_EQ(got.size(), 2 * std::size(patterns));
  for (std::size_t k = 0; k < std::size(patterns); ++k) {
    EXPECT_EQ(got[2 * k], "S");
    EXPECT_EQ(got[2 * k + 1], patterns[k]) << "call " << k + 1;
  }
  expect_valid_pages();
}

TEST_F(PsTest, TextLinesSizesAndEscapes) {
  open("text.eps");
  XPS_COMMENT("<<");
  XPS_TEXT(100, 50, 0.5f, "small");
  XPS_TEXT(0, 0, 12, "   ");  // blank: nothing
  XPS_TEXT(0, 0, 12, "a   b    c  ");
  XPS_TEXT(10, 10, 14, "f(x) = (a+b)");
  XPS_TEXT(10, 20, 14, "Resolution (A");
  XPS_TEXT(10, 30, 14, "C:\\new) \\");
  XPS_TEXT(10, 40, 14, ")(");
  XPS_COMMENT(">>");
  const Lines got = close_marked();
  // Balanced parentheses are legal in a string and stay; a backslash and a
  // parenthesis without partner get a backslash.
  const Lines want = {
      "S 150.00 300.00 M", "(small) 1.00 Print",                 "S",
      "S 50.00 250.00 M",  "(a b c) 12.00 Print",                "S",
      "S 60.00 260.00 M",  "(f(x) = (a+b)) 14.00 Print",         "S",
      "S 60.00 270.00 M",  "(Resolution \\(A) 14.00 Print",      "S",
      "S 60.00 280.00 M",  "(C:\\\\new\\) \\\\) 14.00 Print",    "S",
      "S 60.00 290.00 M",  "(\\)\\() 14.00 Print",                "S",
  };
  EXPECT_EQ(got, want);
  expect_valid_pages();
}

TEST_F(PsTest, ColourNumbers) {
  open("colours.eps");
  XPS_COMMENT("<<");
  for (int c : {0, 7, 8, 12, 13, 410, 411, 412, 537395712, -1, 3, -20}) XPS_COLOUR(c);
  XPS_MOVE(0, 0);
  XPS_DRAW(100, 100);
  XPS_COMMENT(">>");
  EXPECT_EQ(terminal(), " ERROR --- sethsvcolor not yet implemented\n"
                        " ERROR --- sethsvcolor not yet implemented\n");
  const Lines got = close_marked();
  const Lines want = {
      "black",
      "white",
      "0.80 0.80 0.80 C",  // table entry 8, light grey
      "0.86 0.86 0.86 C",  // entry 12
      "1.00 0.98 0.94 C",  // entry 13, X11 FloralWhite
      "0.80 0.41 0.54 C",  // entry 410, X11 PaleVioletRed3
      "0.00 0.00 0.00 C",  // entry 411, black again
      "0.40 0.00 0.00 C",  // 412 and above: packed codes
      "0.50 0.50 0.50 C",
      // HSV is not supported: black. The prolog's K calls sethsvcolor, which
      // the page defines once before its first use.
      "/sethsvcolor { sethsbcolor } bind def",
      "0.00 0.00 0.00 K",
      "yellow",
      "0.00 0.00 0.00 K",
      "S 50.00 250.00 M",
      "150.00 350.00 L",
  };
  EXPECT_EQ(got, want);
  // The close sets the current colour -20 again after the axes, with K; the
  // definition is not repeated. A new page defines it again.
  const Lines page = read_lines(files_.back());
  EXPECT_EQ(std::count(page.begin(), page.end(), "/sethsvcolor { sethsbcolor } bind def"), 1);
  EXPECT_EQ(std::count(page.begin(), page.end(), "0.00 0.00 0.00 K"), 3);
  open("colours2.eps");
  XPS_COLOUR(-1);
  const Lines second = close();
  EXPECT_EQ(std::count(second.begin(), second.end(), "/sethsvcolor { sethsbcolor } bind def"),
            1);
  expect_valid_pages();
}

TEST_F(PsTest, BoxesMarkersAndCircles) {
  open("shapes.eps", 0, 45, 0, 45);  // 10 points per unit
  XPS_COMMENT("<<");
  XPS_BOX(0, 1, 0, 2, 0.5f, 0.25f, 1.0f);
  XPS_MARKER(5, 1, 3, 1, 3);
  XPS_MARKER(99, 1, 3, 1, 3);
  XPS_COMMENT(">>");
  const Lines got = close_marked();
  const Lines want = {
      "0.500 0.250 1.000 C 50.00 250.00 50.00 270.00 60.00 270.00 60.00 250.00 FilledBox",
      // Triangle, apex up.
      "S 60.00 260.00 M", "70.00 280.00 L", "80.00 260.00 L", "60.00 260.00 L", "S",
      // Any other shape: a rectangle.
      "S 60.00 260.00 M", "60.00 280.00 L", "80.00 280.00 L", "80.00 260.00 L",
      "60.00 260.00 L", "S",
  };
  EXPECT_EQ(got, want);

  open("circle.eps", 0, 45, 0, 45);
  XPS_COMMENT("<<");
  XPS_CIRCLE(10, 10, 2);
  XPS_COMMENT(">>");
  const Lines circle = close_marked();
  // One move, 361 points, and the path restarted after 100, 200 and 300.
  ASSERT_EQ(circle.size(), 1u + 361u + 6u);
  EXPECT_EQ(circle[0], "S 170.00 350.00 M");
  EXPECT_EQ(circle[1], "170.00 350.00 L");
  EXPECT_EQ(circle[91], "150.00 370.00 L");  // 90 degrees
  EXPECT_EQ(circle.back(), "170.00 350.00 L");
  expect_valid_pages();
}

// Every marker shape inside the rectangle 1..3 by 1..3 at 10 points per
// unit: page x 60, 70 (centre), 80; page y 260, 270, 280. "M" and "L" give
// the page point of a move or draw.
TEST_F(PsTest, NineMarkerShapesAndAnEllipse) {
  const struct {
    int shape;
    const char* path;
  } cases[] = {
      {1, "M60,270 L80,270 M70,260 L70,280"},          // plus
      {2, "M60,260 L80,280 M80,260 L60,280"},          // cross
      {3, "M60,280 L80,280 L60,260 L80,260"},          // hourglass
      {4, "M60,270 L70,280 L80,270 L70,260 L60,270"},  // diamond
      {5, "M60,260 L70,280 L80,260 L60,260"},          // apex up
      {6, "M60,280 L80,280 L70,260 L60,280"},          // apex down
      {7, "M80,260 L60,270 L80,280 L80,260"},          // apex left
      {8, "M60,280 L80,270 L60,260 L60,280"},          // apex right
      {0, "M60,260 L60,280 L80,280 L80,260 L60,260"},  // any other: rectangle
      {9, "M60,260 L60,280 L80,280 L80,260 L60,260"},
      {-3, "M60,260 L60,280 L80,280 L80,260 L60,260"},
  };
  open("markers.eps", 0, 45, 0, 45);
  XPS_COMMENT("<<");
  for (const auto& c : cases) XPS_MARKER(c.shape, 1, 3, 1, 3);
  XPS_COMMENT(">>");
  const Lines got = close_marked();
  Lines want;
  for (const auto& c : cases) {
    std::istringstream steps(c.path);
    for (std::string step; steps >> step;) {
      const std::size_t comma = step.find(',');
      const std::string point = step.substr(1, comma - 1) + ".00 " + step.substr(comma + 1) + ".00";
      want.push_back(step[0] == 'M' ? "S " + point + " M" : point + " L");
    }
    want.push_back("S");
  }
  EXPECT_EQ(got, want);

  // An ellipse: a move to (x + rx, y), then 361 draws a degree apart.
  open("ellipse.eps", 0, 45, 0, 45);
  XPS_COMMENT("<<");
  XPS_ELLIPSE(10, 10, 2, 1);
  XPS_COMMENT(">>");
  const Lines ellipse = close_marked();
  ASSERT_EQ(ellipse.size(), 1u + 361u + 6u);
  EXPECT_EQ(ellipse[0], "S 170.00 350.00 M");
  EXPECT_EQ(ellipse[1], "170.00 350.00 L");    // 0 degrees
  EXPECT_EQ(ellipse[91], "150.00 360.00 L");   // 90
  EXPECT_EQ(ellipse[183], "130.00 350.00 L");  // 180, after one restart
  EXPECT_EQ(ellipse[275], "150.00 340.00 L");  // 270, after two
  EXPECT_EQ(ellipse.back(), "170.00 350.00 L");
  expect_valid_pages();
}

TEST_F(PsTest, WhiteOutOnlyWhenAsked) {
  for (int flag : {1, 0}) {
    open("whiteout" + std::to_string(flag) + ".eps");
    XPS_WHITEOUT(flag);
    XPS_COLOUR(2);
    const Lines got = close();
    std::size_t at = 0;
    while (at < got.size() && got[at] != "S [1 0] 0 setdash") ++at;
    ASSERT_LT(at + 1, got.size());
    if (flag == 0) {
      EXPECT_EQ(got[at + 1], "% label X axis and Y axis");
      for (const std::string& l : got) EXPECT_EQ(l.find("white out"), std::string::npos) << l;
      continue;
    }
    const Lines want = {
        "white",
        "% white out everything below plot box",
        "-100.00 -100.00 1000.00 -100.00 1000.00 250.00 -100.00 250.00 FilledBox",
        "% white out everything above plot box",
        "-100.00 700.00 1000.00 700.00 1000.00 1000.00 -100.00 1000.00 FilledBox",
        "% white out everything left of box",
        "-100.00 -100.00 50.00 -100.00 50.00 1000.00 -100.00 1000.00 FilledBox",
        "% white out everything right of box",
        "500.00 -100.00 1000.00 -100.00 1000.00 1000.00 500.00 1000.00 FilledBox",
        "green",
        "% label X axis and Y axis",
    };
    ASSERT_LE(at + 1 + want.size(), got.size());
    EXPECT_EQ(Lines(got.begin() + static_cast<long>(at) + 1,
                    got.begin() + static_cast<long>(at + 1 + want.size())),
              want);
  }
  // The flag is cleared by the close.
  open("after.eps");
  const Lines again = close();
  for (const std::string& l : again) EXPECT_EQ(l.find("white out"), std::string::npos);
  expect_valid_pages();
}

TEST_F(PsTest, TicksIncludeTheUpperLimitAndSkipOthersOutside) {
  // 0..10: step 1 and a tick exactly on x max; -0.5..9.5: ticks 0..9 only.
  for (float lo : {0.0f, -0.5f}) {
    open("ticks" + std::to_string(static_cast<int>(lo * 10)) + ".eps", lo, lo + 10, 0, 10);
    const Lines got = close();
    std::vector<std::string> xlabels;
    for (std::size_t i = 0; i + 1 < got.size(); ++i)
      if (got[i].ends_with(" 233.00 M")) xlabels.push_back(got[i + 1]);
    if (lo == 0.0f) {
      ASSERT_EQ(xlabels.size(), 11u);
      EXPECT_EQ(xlabels.back(), "(10) 12.00 Print");
      const auto it = std::find(got.begin(), got.end(), "494.00 233.00 M");
      ASSERT_NE(it, got.end());
      EXPECT_EQ(*(it - 2), "500.00 250.00 M");
      EXPECT_EQ(*(it - 1), "500.00 243.00 L");
    } else {
      // k = 0 and k = 1 both give the tick 0; 10 lies outside.
      ASSERT_EQ(xlabels.size(), 11u);
      EXPECT_EQ(xlabels[0], "(0) 12.00 Print");
      EXPECT_EQ(xlabels[1], "(0) 12.00 Print");
      EXPECT_EQ(xlabels.back(), "(9) 12.00 Print");
    }
  }
  expect_valid_pages();
}

// Tick labels from REALFMT: beyond 9999.999 in E form, moved left by three
// points per character of the label.
TEST_F(PsTest, LargeTickValuesInExponentForm) {
  open("eticks.eps", 0, 100000, 0, 1);
  const Lines got = close();
  const auto at = std::find(got.begin(), got.end(), "95.00 250.00 M");
  ASSERT_NE(at, got.end());
  EXPECT_EQ(Lines(at, at + 4), (Lines{"95.00 250.00 M", "95.00 243.00 L", "74.00 233.00 M",
                                      "(1.0E+04) 12.00 Print"}));
  const auto last = std::find(got.begin(), got.end(), "479.00 233.00 M");
  ASSERT_NE(last, got.end());
  EXPECT_EQ(*(last + 1), "(1.0E+05) 12.00 Print");
  EXPECT_NE(std::find(got.begin(), got.end(), "(0.1) 12.00 Print"), got.end());
  expect_valid_pages();
}

TEST_F(PsTest, LegendKeepsTenLines) {
  open("legend.eps");
  XPS_LEGEND("   ");  // ignored
  for (int i = 1; i <= 11; ++i)
    XPS_LEGEND("Line  " + std::to_string(i) + (i == 3 ? "  (unbalanced" : ""));
  EXPECT_EQ(terminal(), " ERROR - Too many text lines for legend\n");
  const Lines got = close();
  const auto it = std::find(got.begin(), got.end(), "% remarks as legend");
  ASSERT_NE(it, got.end());
  const Lines legend(it + 1, std::find(it, got.end(), "% almost done now"));
  ASSERT_EQ(legend.size(), 20u);
  EXPECT_EQ(legend[0], "50.00 170.00 M");
  EXPECT_EQ(legend[1], "(Line 1) 12.00 Print S");
  EXPECT_EQ(legend[5], "(Line 3 \\(unbalanced) 12.00 Print S");
  EXPECT_EQ(legend[18], "50.00 35.00 M");
  EXPECT_EQ(legend[19], "(Line 10) 12.00 Print S");
  // The legend is emptied by the close.
  open("nolegend.eps");
  const Lines again = close();
  EXPECT_EQ(std::find(again.begin(), again.end(), "% remarks as legend"), again.end());
  // A line is compacted before it is cut to 100 characters: 150 characters
  // with their blanks, 99 without.
  std::string words(30, ' ');
  for (int i = 0; i < 20; ++i) words += "word  ";
  open("longlegend.eps");
  XPS_LEGEND(words);
  const Lines longer = close();
  std::string want = "word";
  for (int i = 1; i < 20; ++i) want += " word";
  EXPECT_NE(std::find(longer.begin(), longer.end(), "(" + want + ") 12.00 Print S"), longer.end());
  expect_valid_pages();
}

TEST_F(PsTest, EverythingNeedsAnOpenFile) {
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  XPS_PLOTBOX(x1, x2, y1, y2);
  XPS_WHITEOUT(1);
  XPS_LEGEND("kept for later");
  EXPECT_EQ(terminal(), "");
  EXPECT_EQ(x1, 50.0f);
  EXPECT_EQ(x2, 500.0f);
  EXPECT_EQ(y1, 250.0f);
  EXPECT_EQ(y2, 700.0f);
  const std::function<void()> ops[] = {
      [] { XPS_WINDOW(0, 1, 0, 1); },  [] { XPS_LABELS("x", "y"); },
      [] { XPS_COMMENT("c"); },         [] { XPS_COLOUR(1); },
      [] { XPS_DASH(); },               [] { XPS_SOLID(); },
      [] { XPS_MOVE(1, 1); },           [] { XPS_DRAW(1, 1); },
      [] { XPS_STROKE(); },             [] { XPS_TEXT(1, 1, 10, "t"); },
      [] { XPS_BOX(0, 1, 0, 1, 0, 0, 0); }, [] { XPS_MARKER(1, 0, 1, 0, 1); },
      [] { XPS_CIRCLE(0, 0, 1); },      [] { XPS_ELLIPSE(0, 0, 1, 2); },
      [] { XPS_CLOSE(); },
  };
  for (const auto& op : ops) {
    op();
    EXPECT_EQ(terminal(), " ERROR - No PostScript file is open\n");
  }
  // A file that cannot be opened leaves the writer closed.
  XPS_OPEN(kPsUnit, (dir_ / "no/such/dir/x.eps").string(), "");
  EXPECT_FALSE(xps_is_open());
  EXPECT_NE(terminal().find(" ERROR - Could not open output PostScript file\n"),
            std::string::npos);
  XPS_DRAW(0, 0);
  EXPECT_EQ(terminal(), " ERROR - No PostScript file is open\n");
}

TEST_F(PsTest, EqualWindowLimitsCountAsUnitRange) {
  open("flat.eps", 5, 5, 2, 2);
  XPS_COMMENT("<<");
  XPS_MOVE(5, 2);
  XPS_DRAW(6, 3);
  XPS_COMMENT(">>");
  const Lines got = close_marked();
  EXPECT_EQ(got, (Lines{"S 50.00 250.00 M", "500.00 700.00 L"}));
  expect_valid_pages();
}

TEST_F(PsTest, OpenAsksForABlankNameAndFinishesAnOpenPage) {
  const fs::path first = dir_ / "first.eps";
  session_.reset();
  session_ = std::make_unique<zvtest::Session>(first.string() + "\n");
  mark_ = 0;
  XPS_OPEN(kPsUnit, "  ", "PLOTTEST");
  ASSERT_TRUE(xps_is_open());
  files_.push_back(first);
  const std::string report = terminal();
  EXPECT_NE(report.find(" PostScript file ? (out.ps) \n => XPS_GRAF - ZQV (20051205/3.1.3) \n"),
            std::string::npos)
      << report;
  XPS_LEGEND("held at the second open");
  XPS_WHITEOUT(1);
  XPS_DASH();
  XPS_COLOUR(2);
  // A second open finishes the first page instead of cutting it off, and
  // the new page gets what was set so far, as if the old one had not been
  // there: legend, white-out, dash count, colour.
  const fs::path second = dir_ / "second.eps";
  XPS_OPEN(-1, second.string(), "   ");
  ASSERT_TRUE(xps_is_open());
  files_.push_back(second);
  const Lines one = read_lines(first);
  ASSERT_FALSE(one.empty());
  EXPECT_EQ(one.back(), "%%Trailer");
  EXPECT_EQ(std::count(one.begin(), one.end(), "showpage"), 1);
  const std::string legend_line = "(held at the second open) 12.00 Print S";
  EXPECT_NE(std::find(one.begin(), one.end(), legend_line), one.end());
  XPS_COMMENT("<<");
  XPS_DASH();
  XPS_COMMENT(">>");
  const Lines two = close();
  EXPECT_EQ(two[2], "%%Creator: UNKNOWN PROGRAM");
  EXPECT_NE(std::find(two.begin(), two.end(), legend_line), two.end());
  EXPECT_NE(std::find(two.begin(), two.end(), "% white out everything below plot box"), two.end());
  const auto dash = std::find(two.begin(), two.end(), "% PROGAM COMMENT: <<");
  ASSERT_LT(dash + 3, two.end());
  EXPECT_EQ(*(dash + 2), "[ 2 4 ] 1 setdash");
  const auto axes_end = std::find(two.begin(), two.end(), "% little corners top-left and bottom-right");
  ASSERT_NE(axes_end, two.end());
  EXPECT_EQ(*(axes_end - 2), "green");
  expect_valid_pages();
}

// Pages that cannot be written whole, on a full device and past a file-size
// limit, failing while the page is drawn (a large page) or only when its last
// lines are written out at the close (a small one): the failure is reported
// once with the system's text, a cut regular file is removed and a device is
// left and said to be incomplete. The next page is written as usual.
TEST_F(PsTest, PagesThatCannotBeWrittenWhole) {
  struct Case {
    const char* what;
    bool device;   // /dev/full; else a regular file under the size limit
    rlim_t limit;  // bytes
    int draws;     // line segments of the page
    const char* error;
    const char* file_line;
  };
  const Case cases[] = {
      {"full device, large page", true, 0, 20000, "No space left on device",
       " The file is incomplete"},
      {"full device, small page", true, 0, 10, "No space left on device",
       " The file is incomplete"},
      {"size limit, large page", false, 100000, 20000, "File too large",
       " Incomplete file removed"},
      {"size limit, small page", false, 1000, 10, "File too large", " Incomplete file removed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path p = c.device ? fs::path("/dev/full") : dir_ / "cut.eps";
    const auto page = [&] {
      XPS_OPEN(kPsUnit, p.string(), "PLOTTEST");
      (void)terminal();  // the open report
      XPS_WINDOW(0, 1, 0, 1);
      XPS_LEGEND("a legend line");
      XPS_MOVE(0, 0);
      for (int i = 0; i < c.draws; ++i) XPS_DRAW(0.5f, 0.5f);
      XPS_CLOSE();
      std::string out = xps_is_open() ? "still open\n" : "";
      out += terminal();
      out += fs::exists(p) ? "file kept\n" : "file gone\n";
      return out;
    };
    const std::string got = c.device ? page() : zvtest::with_file_size_limit(c.limit, page);
    EXPECT_EQ(got, std::string(" ERROR --- XPS_GRAF - While writing PostScript file\n") +
                       " Error : (" + c.error + ") \n" + c.file_line + "\n" +
                       (c.device ? "file kept\n" : "file gone\n"));
  }
  open("after.eps");
  EXPECT_EQ(close().back(), "%%Trailer");
  EXPECT_EQ(terminal(), "");
}

// A page with every kind of drawing; its check also renders it to
// plotout_showcase.png in the build folder for a person to look at.
TEST_F(PsTest, ShowcasePage) {
  const fs::path p = open("showcase.eps", 0, 10, -1, 1);
  XPS_LABELS("Angle (rad)", "sin(x) \\ cos(x)");
  XPS_COMMENT("filled boxes");
  XPS_BOX(0.5f, 1.5f, -1, -0.5f, 0.8f, 0.8f, 0.8f);
  XPS_BOX(2, 3, -1, 0.2f, 0.2f, 0.4f, 1.0f);
  XPS_COLOUR(1);
  XPS_MOVE(0, 0);
  for (int i = 1; i <= 200; ++i) XPS_DRAW(i * 0.05f, std::sin(i * 0.05f));
  XPS_DASH();
  XPS_DASH();
  XPS_COLOUR(4);
  XPS_MOVE(0, 1);
  for (int i = 1; i <= 200; ++i) XPS_DRAW(i * 0.05f, std::cos(i * 0.05f));
  XPS_SOLID();
  XPS_COLOUR(0);
  for (int shape = 1; shape <= 9; ++shape)
    XPS_MARKER(shape, shape - 0.2f, shape + 0.2f, 0.7f, 0.8f);
  XPS_COLOUR(2);
  XPS_CIRCLE(8, -0.5f, 0.5f);
  XPS_COLOUR(0);
  XPS_TEXT(4, -0.8f, 14, "f(x) = sin(x) (unbalanced: (A");
  XPS_LEGEND("red: sin(x)");
  XPS_LEGEND("blue, dashed: cos(x)");
  XPS_LEGEND("markers 1-9, a circle (green)");
  XPS_WHITEOUT(1);
  (void)close();
  const int rc = run_validator(
      "check-eps", p, "'" + (fs::path(ZV_BINARY_DIR) / "plotout_showcase.png").string() + "'");
  if (rc == 2) GTEST_SKIP() << "check-eps cannot run here (Ghostscript missing)";
  EXPECT_EQ(rc, 0);
}

}  // namespace
}  // namespace zv
