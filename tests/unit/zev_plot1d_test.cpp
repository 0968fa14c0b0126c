// PLT1D and PLT2D on plot files: the lines each plot type puts into the EPS
// page, the data sets of one picture, the limits reported, the inputs that
// draw nothing, and every page handed to Ghostscript.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plotout/xps.h"
#include "plots.h"
#include "zev_test_util.h"
#include "zev_testing.h"

namespace zev {
namespace {

using zevtest::contains;

struct PlotRun {
  std::string term;   // terminal output
  std::string page;   // the EPS file ("" when none was written)
  int n = -1;
  int error = -1;
};

class Plot : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<zvtest::Session>("");
    zv::XPS_INIT();
  }
  void TearDown() override {
    for (const std::string& p : pages_) {
      const int rc = zvtest::check_eps(scratch_.dir() + "/" + p);
      if (rc != 2) {
        EXPECT_EQ(rc, 0) << p;
      }
    }
  }

  // psfile "" names the page after the plot file.
  PlotRun plot1d(const std::string& type, const std::string& text, int mode = 0,
                 const std::string& psfile = "") {
    const std::string name = "p" + std::to_string(++count_);
    zevtest::Scratch::write(name + ".pl1", text);
    const std::size_t mark = session_->out().size();
    PlotRun r;
    int object = 0;
    std::string file = name + ".pl1";
    PLT1D(*st_, mode, type, 11, file, psfile.empty() ? name + ".eps" : psfile, true, r.n,
          "1D_plot", object, r.error);
    r.term = session_->out().substr(mark);
    if (zevtest::Scratch::exists(name + ".eps")) {
      r.page = zevtest::Scratch::read(name + ".eps");
      pages_.push_back(name + ".eps");
    }
    return r;
  }

  PlotRun plot2d(bool ramp, const std::string& text, const std::string& psfile = "") {
    const std::string name = "g" + std::to_string(++count_);
    zevtest::Scratch::write(name + ".pl2", text);
    const std::size_t mark = session_->out().size();
    PlotRun r;
    int object = 0;
    std::string file = name + ".pl2";
    PLT2D(*st_, 11, file, r.n, ramp, true, psfile.empty() ? name + ".eps" : psfile, "2D_plot",
          object, r.error);
    r.term = session_->out().substr(mark);
    if (zevtest::Scratch::exists(name + ".eps")) {
      r.page = zevtest::Scratch::read(name + ".eps");
      pages_.push_back(name + ".eps");
    }
    return r;
  }

  zevtest::Scratch scratch_;
  std::unique_ptr<zvtest::Session> session_;
  zevtest::State st_;
  std::vector<std::string> pages_;
  int count_ = 0;
};

// The lines of a page between a program comment and the next comment.
std::string section(const std::string& page, const std::string& comment) {
  const std::string mark = "% PROGAM COMMENT: " + comment + "\n";
  std::size_t b = page.find(mark);
  if (b == std::string::npos) return "<none>";
  b += mark.size();
  std::size_t e = page.find("% ", b);
  return page.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

TEST_F(Plot, EachTypeDrawsItsLines) {
  // X 0..450 and Y 0..450 map one to one onto the plot box (50.., 250..).
  const std::string two = "NPOINT 2\nVALUES *\n0 0 450 450\nEND\n";
  struct Case {
    const char* type;
    const char* comment;
    const char* lines;
  };
  const Case cases[] = {
      {"LINE", "Here comes the line plot",
       "S 50.00 250.00 M\n50.00 250.00 L\n500.00 700.00 L\n"},
      {"SPIKE", "Here comes the spike plot",
       "S 50.00 250.00 M\n50.00 250.00 L\nS 500.00 250.00 M\n500.00 700.00 L\n"},
      // Half-sizes 1 % of the ranges: 4.5 each way; marker 2 is a cross.
      {"SCAT", "Here comes the scatter plot",
       "S 45.50 245.50 M\n54.50 254.50 L\nS 54.50 245.50 M\n45.50 254.50 L\nS\n"
       "S 495.50 695.50 M\n504.50 704.50 L\nS 504.50 695.50 M\n495.50 704.50 L\nS\n"},
      {"HIST", "Here comes the histogram",
       "S 50.00 250.00 M\n50.00 250.00 L\n500.00 250.00 L\n500.00 250.00 L\n"},
  };
  for (const Case& c : cases) {
    const PlotRun r = plot1d(c.type, two);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(section(r.page, c.comment), c.lines) << c.type;
  }
}

TEST_F(Plot, LimitsAndReport) {
  struct Case {
    const char* text;
    const char* low_y;
    const char* high_y;
  };
  const Case cases[] = {
      {"NPOINT 3\nYVALUE *\n5 5 5\nEND\n", "(  4.950E+00)", "(  5.050E+00)"},
      {"NPOINT 3\nYVALUE *\n0 0 0\nEND\n", "( -1.000E-02)", "(  1.000E-02)"},
      {"NPOINT 3\nYVALUE *\n-5 -5 -5\nEND\n", "( -4.950E+00)", "( -5.050E+00)"},
      // XYVIEW gives the limits reported, whatever the data.
      {"NPOINT 3\nYVALUE *\n1 2 3\nXYVIEW 0 10 -4 4\nEND\n", "( -4.000E+00)", "(  4.000E+00)"},
  };
  for (const Case& c : cases) {
    const PlotRun r = plot1d("LINE", c.text);
    EXPECT_TRUE(contains(r.term, std::string(" Lowest Y-value        : ") + c.low_y)) << r.term;
    EXPECT_TRUE(contains(r.term, std::string(" Highest Y-value       : ") + c.high_y)) << r.term;
  }
}

TEST_F(Plot, HistogramAndPieReportOnePointLess) {
  PlotRun r = plot1d("HIST", "NPOINT 4\nYVALUE *\n1 2 3 4\nEND\n");
  EXPECT_EQ(r.n, 3);
  EXPECT_TRUE(contains(r.term, " Number of data points : (          3) "));
  r = plot1d("PIE", "NPOINT 4\nVALUES *\n0 1 10 1 20 2 30 0\nEND\n");
  EXPECT_EQ(r.n, 3);
  // No limit lines for a pie; one legend line per slice.
  EXPECT_FALSE(contains(r.term, "Lowest X-value"));
  EXPECT_TRUE(contains(r.term, " A 1.00000000 between 0.00000000 and 10.0000000\n")) << r.term;
  EXPECT_TRUE(contains(r.term, " C 2.00000000 between 20.0000000 and 30.0000000\n")) << r.term;
  // Slices of 90, 90 and 180 degrees: radii to 90, 180 and 360 degrees and
  // the letters at 45, 135 and 270 degrees, radius 60 (window -70..70).
  for (const char* line : {"S 275.00 475.00 M\n275.00 635.71 L\n",   // radius to 90
                           "S 275.00 475.00 M\n114.29 475.00 L\n",   // radius to 180
                           "S 411.37 611.37 M\n(A) 10.00 Print\n",   // A at 45
                           "S 275.00 282.14 M\n(C) 10.00 Print\n"})  // C at 270
    EXPECT_TRUE(contains(r.page, line)) << line;
}

TEST_F(Plot, PieSlicesOfOddTotals) {
  struct Case {
    const char* values;
    const char* letter_a;  // where A is written
  };
  const Case cases[] = {
      // Total -2: A's share is nint(1 * 360 / -2) = -180 degrees, so its
      // radius goes to -180 and its letter to the middle angle -90.
      {"1 -5 2", "S 275.00 282.14 M\n(A) 10.00 Print\n"},
      // Total 0: no share to give; A adds no angle and sits at 0 degrees.
      {"1 -1 0", "S 467.86 475.00 M\n(A) 10.00 Print\n"},
  };
  for (const Case& c : cases) {
    const PlotRun r = plot1d("PIE", std::string("NPOINT 3\nYVALUE *\n") + c.values + "\nEND\n");
    EXPECT_EQ(r.n, 2);
    EXPECT_TRUE(contains(r.page, c.letter_a)) << c.values << "\n" << r.page;
  }
}

TEST_F(Plot, GridLines) {
  // Data 0..10 both ways: 45 points per unit from (50, 250).
  struct Case {
    const char* grid;
    const char* lines;
  };
  const Case cases[] = {
      {"0 10 5 0 10 10",
       "S 50.00 250.00 M\n50.00 700.00 L\nS 275.00 250.00 M\n275.00 700.00 L\n"
       "S 500.00 250.00 M\n500.00 700.00 L\n"
       "S 50.00 250.00 M\n500.00 250.00 L\nS 50.00 700.00 M\n500.00 700.00 L\n"},
      // A negative step runs from the higher start down to the lower end.
      {"10 0 -5 10 0 -10",
       "S 500.00 700.00 M\n500.00 250.00 L\nS 275.00 700.00 M\n275.00 250.00 L\n"
       "S 50.00 700.00 M\n50.00 250.00 L\n"
       "S 500.00 700.00 M\n50.00 700.00 L\nS 500.00 250.00 M\n50.00 250.00 L\n"},
      // No step, or a step leading away from the end: no lines.
      {"0 10 0 0 10 -1", ""},
  };
  for (const Case& c : cases) {
    const PlotRun r =
        plot1d("SPIKE", std::string("NPOINT 2\nGRID   ") + c.grid + "\nVALUES *\n0 0 10 10\nEND\n");
    EXPECT_EQ(section(r.page, "Here comes your grid"), std::string(c.lines) + "red\n") << c.grid;
  }
}

// A PostScript file that cannot be opened: the writer reports the failure,
// then every later step of the picture reports that no file is open; the
// report of the plot follows as usual.
TEST_F(Plot, PageThatCannotBeOpened) {
  const std::string bad = "no_such_folder/out.eps";
  PlotRun r = plot1d("LINE", "NPOINT 2\nVALUES *\n0 0 1 1\nEND\n", 0, bad);
  EXPECT_EQ(r.error, 0);
  EXPECT_TRUE(contains(r.term, " ERROR - Could not open output PostScript file\n")) << r.term;
  auto count = [](const std::string& t) {
    int k = 0;
    for (std::size_t p = 0; (p = t.find(" ERROR - No PostScript file is open\n", p)) !=
                            std::string::npos;
         ++p)
      ++k;
    return k;
  };
  // DASH, WINDOW, LABELS, COLOUR, the comment, MOVE and two DRAWs, the labels
  // comment, COLOUR again and CLOSE.
  EXPECT_EQ(count(r.term), 11) << r.term;
  EXPECT_TRUE(contains(r.term, " Highest Y-value       : (  1.000E+00) "));

  // 2D: WINDOW, LABELS, DASH, the comment, the level's colour, two polylines
  // of MOVE, DRAW and STROKE, the extras' colour, their MOVE and DRAW, CLOSE.
  r = plot2d(false,
             "XPOINT 2\nYPOINT 2\nXLIMIT 0 1\nYLIMIT 0 1\nNLEVEL 1\nLEVELS\n0.5\nCOLOUR\n2\n"
             "LINE   0 0 1 1\nZVALUE *\n1 0 0 1\nEND\n",
             bad);
  EXPECT_EQ(count(r.term), 15) << r.term;
  EXPECT_TRUE(contains(r.term, " Level colour indices  : (       2) "));
}

TEST_F(Plot, DataSetsOfOnePicture) {
  const std::string sets =
      "NPOINT 2\nVALUES *\n0 0 1 1\nTEXT   0.5 0.5 12 'one'\nMORE\n"
      "NPOINT 2\nVALUES *\n0 1 1 0\nCOLOUR 3\nEND\n";
  PlotRun r = plot1d("LINE", sets);
  // Own dash pattern per data set; the labels comment and the colour line
  // for each; one picture.
  EXPECT_TRUE(contains(r.page, "S\n[ 1 0 ] 1 setdash\n"));
  EXPECT_TRUE(contains(r.page, "S\n[ 2 4 ] 1 setdash\n"));
  EXPECT_EQ(section(r.page, "Here come the labels"),
            "S 275.00 475.00 M\n(one) 12.00 Print\nS\nred\nS\n[ 2 4 ] 1 setdash\nyellow\n");
  int labels = 0;
  for (std::size_t p = 0; (p = r.page.find("Here come the labels", p)) != std::string::npos; ++p)
    ++labels;
  EXPECT_EQ(labels, 2);
  EXPECT_TRUE(contains(r.page, "% PROGAM COMMENT: Here come the labels\nyellow\n"));
  int opens = 0;
  for (std::size_t p = 0; (p = r.page.find("%!PS-Adobe", p)) != std::string::npos; ++p) ++opens;
  EXPECT_EQ(opens, 1);

  r = plot1d("LINE", "NODASH\n" + sets);
  EXPECT_FALSE(contains(r.page, "] 1 setdash"));
}

TEST_F(Plot, ExtrasInTheLastColour) {
  const PlotRun r = plot1d(
      "LINE", "NPOINT 2\nVALUES *\n0 0 450 450\nCOLOUR 2\nBOX    0 450 0 450\nLINE   0 450 450 0\nEND\n");
  EXPECT_TRUE(contains(r.term, " Nr of extras : (       2) "));
  EXPECT_EQ(section(r.page, "Here come the extras"),
            "S 50.00 250.00 M\n50.00 700.00 L\n500.00 700.00 L\n500.00 250.00 L\n50.00 250.00 L\n"
            "S 50.00 700.00 M\n500.00 250.00 L\n");
  EXPECT_TRUE(contains(r.page, "S\n[ 1 0 ] 1 setdash\ngreen\n% PROGAM COMMENT: Here come the extras"))
      << r.page;
}

TEST_F(Plot, CdPlotStripAndKey) {
  const PlotRun r = plot1d("CDPLOT", "NPOINT 3\nCDVERT 5\nVALUES *\n0 0 1 10 2 5\nEND\n");
  // The fraction is clamped to 1: the strip is the whole Y range.
  EXPECT_TRUE(contains(r.term, " CDVERT : (   1.000) \n CDYMAX : (  10.000) "));
  const std::string cd = section(r.page, "Here comes the CD plot");
  EXPECT_TRUE(contains(cd, "1.000 1.000 1.000 C 50.00 250.00 50.00 700.00 275.00 700.00 275.00 250.00 FilledBox"));
  // X(4) = 3: the last box runs past the data.
  EXPECT_TRUE(contains(cd, "0.500 0.500 0.500 C 500.00 250.00 500.00 700.00 725.00 700.00 725.00 250.00 FilledBox"));
  EXPECT_TRUE(contains(cd, "black\nS 350.00 50.00 M\n500.00 50.00 L\n500.00 75.00 L\n350.00 75.00 L\n350.00 50.00 L\n"));
  EXPECT_TRUE(contains(cd, "(0.000) 12.00 Print"));
  EXPECT_TRUE(contains(cd, "(10.000) 12.00 Print"));
}

TEST_F(Plot, NothingToDrawAndBadTypes) {
  PlotRun r = plot1d("LINE", "NPOINT 1\nYVALUE *\n7\nEND\n");
  EXPECT_EQ(r.error, 0);
  EXPECT_TRUE(r.page.empty());
  EXPECT_FALSE(contains(r.term, "Number of data points"));

  r = plot1d("WAVE", "NPOINT 2\nYVALUE *\n1 2\nEND\n");
  EXPECT_TRUE(contains(r.term, " ERROR --- Not a valid plot type ? Tell Obrek !\n Type : (WAVE) \n"))
      << r.term;
  EXPECT_FALSE(r.page.empty());

  // A later data set without points ends the picture with what was drawn.
  r = plot1d("LINE", "NPOINT 2\nYVALUE *\n1 2\nMORE\nNPOINT 0\nEND\n");
  EXPECT_TRUE(contains(r.page, "showpage"));
  EXPECT_EQ(r.n, 2);

  // A missing file: the open error, nothing else.
  std::string file = "missing.pl1";
  int n = 0, object = 0, error = 0;
  PLT1D(*st_, 0, "LINE", 11, file, "missing.eps", true, n, "1D_plot", object, error);
  EXPECT_NE(error, 0);
  EXPECT_FALSE(zevtest::Scratch::exists("missing.eps"));
}

TEST_F(Plot, DatablockMode) {
  PlotRun r = plot1d("LINE", "B_factors F 3 (3f6.1)\n  10.0  30.0  20.0\n", 1);
  EXPECT_EQ(r.n, 3);
  EXPECT_TRUE(contains(r.page, "(Y = B_factors) 15.00 Print")) << r.page;
  r = plot1d("LINE", "B_factors F 4 (3f6.1)\n  10.0  30.0  20.0\n", 1);
  EXPECT_TRUE(r.page.empty());
}

TEST_F(Plot, ContourAndRampPages) {
  const std::string saddle =
      "XPOINT 2\nYPOINT 2\nXLIMIT 0 450\nYLIMIT 0 450\nNLEVEL 1\nLEVELS\n0.5\nCOLOUR\n2\n"
      "LINE   0 0 450 450\nZVALUE *\n1 0 0 1\nEND\n";
  PlotRun r = plot2d(false, saddle);
  EXPECT_EQ(r.n, 4);
  EXPECT_EQ(section(r.page, "Here come the contours"),
            "green\nS 275.00 250.00 M\n500.00 475.00 L\nS\nS 275.00 700.00 M\n50.00 475.00 L\nS\n"
            "black\nS 50.00 250.00 M\n500.00 700.00 L\n");
  EXPECT_TRUE(contains(r.term, " Number of levels      : (       1) "));
  EXPECT_TRUE(contains(r.term, " Nr of extras : (       1) "));

  // A ramp over the same grid: the background box in the most frequent
  // colour, then one box per point of another colour.
  r = plot2d(true, "XPOINT 2\nYPOINT 2\nZVALUE *\n1 1 1 0\nEND\n");
  const std::string boxes = section(r.page, "Here come the ramped boxes");
  int n = 0;
  for (std::size_t p = 0; (p = boxes.find("FilledBox", p)) != std::string::npos; ++p) ++n;
  EXPECT_EQ(n, 2);
  EXPECT_TRUE(contains(r.term, " Ramp mode : LINEAR\n Ramp type : HUE\n"));

  // 1 x N: nothing drawn, no page.
  r = plot2d(false, "XPOINT 1\nYPOINT 3\nZVALUE *\n1 2 3\nEND\n");
  EXPECT_TRUE(r.page.empty());
}

}  // namespace
}  // namespace zev
