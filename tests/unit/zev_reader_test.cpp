// zev's plot-file readers: the 1D reader (keywords, data formats, limits,
// data sets), the Mova datablock reader, the 2D reader and what carries over
// between 2D files.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/strings.h"
#include "core/units.h"
#include "datablock.h"
#include "reader_1d.h"
#include "reader_2d.h"
#include "zev_testing.h"

namespace {

using zevtest::contains;
using zevtest::Scratch;

constexpr int kUnit = 11;

// Reads the first data set (or the first `sets`) of a 1D plot file text, or
// of a file the test wrote; the transcript goes to out.
struct Read1D {
  zev::PointStore pts;
  zev::Plot1D p;
  zev::SetEnd end = zev::SetEnd::End;
  std::string out;

  struct File {
    std::string name;
  };

  explicit Read1D(const std::string& text, bool conversion = false, int sets = 1) {
    Scratch::write("in.pl1", text);
    read("in.pl1", conversion, sets);
  }
  explicit Read1D(const File& f) { read(f.name, false, 1); }

  void read(std::string file, bool conversion, int sets) {
    zvtest::Session s("");
    zev::start_plot1d(p, pts, false, conversion);
    if (zev::open_1d_file(kUnit, file, p) != 0) std::abort();
    zev::PlotSource src(kUnit);
    zev::Read1DOptions opt;
    opt.conversion = conversion;
    for (int k = 0; k < sets; ++k) end = zev::read_1d_set(src, kUnit, p, opt);
    (void)zv::unit_close(kUnit);
    out = s.out();
  }
  std::vector<float> xs() const { return {pts.x.begin() + 1, pts.x.begin() + 1 + p.n}; }
  std::vector<float> ys() const { return {pts.y.begin() + 1, pts.y.begin() + 1 + p.n}; }
};

using Floats = std::vector<float>;

TEST(Reader1D, DataKeywordsFillThePoints) {
  Scratch dir;
  struct Case {
    const char* name;
    const char* text;
    Floats x, y;
    const char* echo;  // a line the reader must write ("" none)
  };
  const Case cases[] = {
      {"lower-case keyword, free format over several lines",
       "npoint 5\nxvalue *\n1 2\n3\n\n4,5\nEND\n", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5},
       " Free format read"},
      {"formatted read from the format in the file, two records",
       "NPOINT 3\nYVALUE (2f5.1)\n  1.5  2.5\n 10.0\n", {1, 2, 3}, {1.5f, 2.5f, 10.0f},
       " Format : ((2f5.1)) "},
      {"implied decimals of the format", "NPOINT 2\nXVALUE (2f4.2)\n 1234567\n",
       {1.23f, 45.67f}, {1, 2}, ""},
      {"pairs X1 Y1 X2 Y2", "NPOINT 2\nVALUES *\n1 10 2 20\n", {1, 2}, {10, 20}, ""},
      {"XLIMIT after NPOINT", "NPOINT 4\nXLIMIT 1 0.5\n", {1, 1.5f, 2, 2.5f}, {1, 2, 3, 4},
       ""},
      {"YLIMIT as start and step", "NPOINT 3\nYLIMIT 10, -2\n", {1, 2, 3}, {10, 8, 6}, ""},
      {"NPOINT refused above the limit keeps the count",
       "NPOINT 2\nNPOINT 100001\nXVALUE *\n7 8\n", {7, 8}, {1, 2},
       " ERROR --- Number of points must be 0 to 100000; keyword NPOINT of line 2 skipped"},
      {"NPOINT of -1 refused", "NPOINT 1\nNPOINT -1\n", {1}, {1}, "Number of points must be"},
      {"data that cannot be read leave the values", "NPOINT 2\nXVALUE *\n1 x\n", {1, 2},
       {1, 2}, "Cannot read the data of keyword XVALUE of line 2"},
      {"end of file inside the data", "NPOINT 3\nYVALUE *\n1 2\n", {1, 2, 3}, {1, 2, 3},
       "End of file in the data of keyword YVALUE of line 2"},
      {"a malformed format", "NPOINT 2\nXVALUE (2f10.3\n1 2\n", {1, 2}, {1, 2},
       "Cannot read the data of keyword XVALUE"},
      {"a format asking for a million fields", "NPOINT 2\nXVALUE (1000000f4.1)\n 1.5 2.5\n",
       {1.5f, 2.5f}, {1, 2}, ""},
      {"lone CR line ends", "NPOINT 2\rXVALUE *\r3 4\rEND\r", {3, 4}, {1, 2}, ""},
      {"CR LF line ends", "NPOINT 2\r\nYVALUE *\r\n3 4\r\n", {1, 2}, {3, 4}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Read1D r(c.text);
    EXPECT_EQ(r.xs(), c.x);
    EXPECT_EQ(r.ys(), c.y);
    if (*c.echo) {
      EXPECT_TRUE(contains(r.out, c.echo)) << r.out;
    }
  }
}

TEST(Reader1D, XlimitBeforeNpointSetsOnlyTheFirst) {
  Scratch dir;
  Read1D r("XLIMIT 5 1\nNPOINT 3\n");
  EXPECT_EQ(r.xs(), (Floats{5, 2, 3}));
}

TEST(Reader1D, LabelsAndTriples) {
  Scratch dir;
  Read1D r("NPOINT 2\nVALABS (2f5.1,1x,a)\n  1.0  2.0 first\n  3.0  4.0 second one\n"
           "LABELS (a4)\nab\ncdef\n");
  EXPECT_EQ(r.xs(), (Floats{1, 3}));
  EXPECT_EQ(r.ys(), (Floats{2, 4}));
  EXPECT_EQ(zv::rtrim(r.pts.label[1]), "ab");
  EXPECT_EQ(zv::rtrim(r.pts.label[2]), "cdef");
  Read1D free("NPOINT 1\nVALABS *\n1 2 x\n");
  EXPECT_TRUE(contains(free.out, "VALABS needs a format")) << free.out;
}

TEST(Reader1D, InstructionsAndFlags) {
  Scratch dir;
  Read1D r(
      "COLOUR 4\nGRID   0 10 1 0 5 0.5\nXYVIEW 0 1 2 3\nMRKTYP 5\nHIDE\nNODASH\nLINFIT\n"
      "XYSTAT\nCDVERT 0.3\nMRKSIZ 0.1 0.2\nBOXPAR 1 2 9\nXLABEL  X axis  \nYLABEL Y\n"
      "XCOUNT\nREMARK a remark\nTEXT   1 2 12 'hello world'\nEND\nNPOINT 7\n");
  const zev::Plot1D& p = r.p;
  EXPECT_EQ(p.colour, 4);
  EXPECT_TRUE(p.grid);
  EXPECT_EQ(p.grid_values[5], 0.5f);
  EXPECT_TRUE(p.view);
  EXPECT_EQ(p.view_limits[3], 3.0f);
  EXPECT_EQ(p.marker, 5);
  EXPECT_TRUE(p.hide);
  EXPECT_FALSE(p.dash);
  EXPECT_TRUE(p.linfit && p.xystat);
  EXPECT_EQ(p.cdvert, 0.3f);
  EXPECT_EQ(p.marker_size[1], 0.2f);
  EXPECT_EQ(p.boxpar[2], 9.0f);
  EXPECT_EQ(p.xlabel, " X axis");
  EXPECT_EQ(p.ylabel, "Y");
  ASSERT_EQ(p.texts.size(), 1u);
  EXPECT_EQ(zv::rtrim(p.texts[0].text), "hello world");
  EXPECT_EQ(p.texts[0].size, 12.0f);
  EXPECT_EQ(p.n, 0);  // END stopped the reading
  EXPECT_TRUE(contains(r.out, " Keyword ignored : (XCOUNT) "));
  EXPECT_TRUE(contains(r.out, " >a remark\n"));
}

TEST(Reader1D, BadValuesAreReportedAndSkipped) {
  Scratch dir;
  Read1D r("GRID   0 10 1\nCOLOUR red\nMRKSIZ 1 2\nFOOBAR 12\n\x01\x02\xff binary\nTEXT   1 2\n");
  EXPECT_FALSE(r.p.grid);
  EXPECT_EQ(r.p.colour, 1);
  EXPECT_EQ(r.p.marker_size[0], 1.0f);
  EXPECT_TRUE(r.p.texts.empty());
  EXPECT_TRUE(contains(r.out, "Cannot read the value of keyword GRID in line 1")) << r.out;
  EXPECT_TRUE(contains(r.out, "Cannot read the value of keyword COLOUR in line 2"));
  EXPECT_TRUE(contains(r.out, " ERROR --- Invalid keyword !\n Key   : (FOOBAR) \n Value : (12) "));
  EXPECT_TRUE(contains(r.out, "Cannot read the value of keyword TEXT in line 6"));
}

TEST(Reader1D, ExtrasAndTextLimits) {
  Scratch dir;
  std::string text = "LINE   1 2 3 4\nBOX    1 2 3 4\nCIRCLE 1 2 3\nELLIPS 1 2 3 4\n";
  for (int i = 0; i < 1000; ++i) text += "LINE   0 0 1 1\n";
  for (int i = 0; i < 101; ++i) text += "TEXT   0 0 10 'x'\n";
  Read1D r(text);
  EXPECT_EQ(r.p.extras.size(), 1000u);  // the 1001st and later dropped silently
  EXPECT_EQ(r.p.extras[1].type, 'B');
  EXPECT_EQ(r.p.extras[2].type, 'C');
  EXPECT_EQ(r.p.extras[3].v[3], 4.0f);
  EXPECT_EQ(r.p.texts.size(), 100u);
  EXPECT_TRUE(contains(r.out, " Line : (   1.000    2.000    3.000    4.000) "));
  EXPECT_TRUE(contains(r.out, " Circle : (   1.000    2.000    3.000) "));
  EXPECT_TRUE(contains(r.out, " ERROR --- Too many text labels"));
}

TEST(Reader1D, DataSetsEndAtMoreAndNextfn) {
  Scratch dir;
  Read1D more("NPOINT 1\nTEXT   0 0 1 'a'\nMORE\nNPOINT 2\nEND\n");
  EXPECT_EQ(more.end, zev::SetEnd::More);
  EXPECT_EQ(more.p.n, 1);
  Read1D two("NPOINT 1\nTEXT   0 0 1 'a'\nMORE\nNPOINT 2\nXVALUE *\n5 6\nEND\n", false, 2);
  EXPECT_EQ(two.end, zev::SetEnd::End);
  EXPECT_EQ(two.xs(), (Floats{5, 6}));
  EXPECT_TRUE(two.p.texts.empty());  // the label count starts again
  Read1D next("NPOINT 1\nNEXTFN  other.pl1 \nNPOINT 3\n");
  EXPECT_EQ(next.end, zev::SetEnd::NextFile);
  EXPECT_EQ(next.p.next_file, "other.pl1");
  EXPECT_EQ(next.p.n, 1);
}

TEST(Reader1D, NextfnChainThatComesBackEnds) {
  Scratch dir;
  zev::ZevState st;
  Scratch::write("a.pl1", "NPOINT 1\nNEXTFN b.pl1\n");
  Scratch::write("b.pl1", "NPOINT 2\nNEXTFN ./a.pl1\n");
  zvtest::Session s("");
  zev::PointStore pts;
  zev::Plot1D p;
  zev::start_plot1d(p, pts, false);
  std::string file = "a.pl1";
  ASSERT_EQ(zev::open_1d_file(kUnit, file, p), 0);
  int sets = 0;
  for (;;) {
    zev::PlotSource src(kUnit);
    ++sets;
    if (zev::read_1d_set(src, kUnit, p, {}) != zev::SetEnd::NextFile) break;
    if (!zev::open_next_1d_file(st, kUnit, p)) break;
    ASSERT_LT(sets, 10);
  }
  EXPECT_EQ(sets, 2);
  EXPECT_EQ(st.file1d, "./a.pl1");
  EXPECT_TRUE(contains(s.out(), "NEXTFN - file already read for this plot: ./a.pl1"));
  EXPECT_FALSE(zv::unit_is_open(kUnit));
}

TEST(Reader1D, ConversionReadsTheDataKeywordsOnly) {
  Scratch dir;
  Read1D r("NPOINT 2\nCOLOUR 3\nGRID   1 2 3 4 5 6\nXVALUE *\n1 2\nXCOUNT 0 1 5\nLFROMO x\n",
           true);
  EXPECT_EQ(r.p.colour, 1);
  EXPECT_FALSE(r.p.grid);
  EXPECT_EQ(r.xs(), (Floats{1, 2}));
  EXPECT_EQ(r.p.nxcount, 6);
  EXPECT_EQ(r.p.xlabel, "no_X_label");
  EXPECT_TRUE(contains(r.out, " Keyword ignored : (COLOUR) "));
  EXPECT_TRUE(contains(r.out, " Keyword ignored : (LFROMO) "));
  EXPECT_FALSE(contains(r.out, "Free format read"));
  Read1D bad("XCOUNT 0 0 5\nYCOUNT 5 1e-30 0\n", true);
  EXPECT_FALSE(bad.p.has_xcount);
  EXPECT_TRUE(contains(bad.out, "XCOUNT needs a positive bin width"));
  EXPECT_EQ(bad.p.nycount, 2147483647);
  EXPECT_EQ(bad.p.ycount[0], 0.0f);  // put in ascending order
}

TEST(Datablock, TypesFormatsAndCounts) {
  Scratch dir;
  struct Case {
    const char* name;
    const char* file;
    zev::DatablockTarget target;
    int rc;
    Floats values;  // X or Y 1..n after the read
    const char* echo;
  };
  using T = zev::DatablockTarget;
  const Case cases[] = {
      {"integers with the format", ".ca_num I 3 (3i4)\n   1   2   3\n", T::Y, 0, {1, 2, 3},
       " Type   : (I) "},
      {"reals with the format", "len f 2 (2f5.1)\n  1.5 -2.5\n", T::X, 0, {1.5f, -2.5f},
       " Number : (          2) "},
      {"other types read free format", "b R 3 (8f9.3)\n1 2\n3\n", T::Y, 0, {1, 2, 3}, ""},
      {"a wrong count", "b R 3 *\n1 2\n", T::Y, -1, {1, 2, 3},
       "end of file before all values were read"},
      {"a count above the limit", "b R 100001 *\n1 2\n", T::Y, -1, {1, 2, 3},
       "number of values must be 0 to 100000"},
      {"a header without a number", "b R\n1\n", T::Y, -1, {1, 2, 3}, "header needs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Scratch::write("db.odb", c.file);
    zvtest::Session s("");
    zev::PointStore pts;
    zev::Plot1D p;
    zev::start_plot1d(p, pts, false);
    int n = 3;
    zev::DatablockHeader hdr;
    EXPECT_EQ(zev::read_datablock_file(12, "db.odb", c.target, pts, n, hdr), c.rc);
    const auto& v = c.target == T::X ? pts.x : pts.y;
    EXPECT_EQ(Floats(v.begin() + 1, v.begin() + 1 + n), c.values);
    const std::string out = s.out();
    if (*c.echo) {
      EXPECT_TRUE(contains(out, c.echo)) << out;
    }
  }
}

TEST(Datablock, FromoKeywordsSetCountAndLabels) {
  Scratch dir;
  Scratch::write("x.odb", "Residue F 3 (3f4.0)\n  1.  2.  3.\n");
  Scratch::write("l.odb", "names R 3 (a3)\nALA\nGLY\nSER\n");
  Read1D r("YFROMO x.odb\nLFROMO l.odb\nXFROMO  missing.odb\n");
  EXPECT_EQ(r.p.n, 3);
  EXPECT_EQ(r.ys(), (Floats{1, 2, 3}));
  EXPECT_EQ(r.p.ylabel, "names");
  EXPECT_EQ(zv::rtrim(r.pts.label[2]), "GLY");
  EXPECT_TRUE(contains(r.out, "missing.odb")) << r.out;
}

// --- 2D

struct Read2D {
  std::string out;
  int rc = 0;
  Read2D(zev::ZevState& st, const std::string& text, bool ps = false) {
    Scratch::write("in.pl2", text);
    zvtest::Session s("");
    std::string file = "in.pl2";
    rc = zev::load_2d_file(st, kUnit, file, ps);
    out = s.out();
  }
};

TEST(Reader2D, KeywordsAndGrid) {
  Scratch dir;
  zevtest::State st;
  Read2D r(*st,
           "REMARK two by three\nXPOINT 2\nYPOINT 3\nXLIMIT 0 10\nYLIMIT -1 1\nXLABEL x\n"
           "YLABEL why\nLINE   0 0 1 1\nBOX    0 1 2 3\nNLEVEL 2\nLEVELS\n0.5\n1.5\nCOLOUR\n4 5\n"
           "RAMLIM 9 3\nRAMODE log\nRAMTYP grey\nRAMCOL 255 0 0 0 0 255\nMRKTYP 3\n"
           "ZVALUE (3f4.1)\n 1.0 2.0 3.0\n 4.0 5.0 6.0\nEND\n");
  EXPECT_EQ(r.rc, 0) << r.out;
  const zev::Plot2D& p = st->plot2d;
  EXPECT_EQ(p.nx, 2);
  EXPECT_EQ(p.ny, 3);
  EXPECT_EQ(p.xmax, 10.0f);  // a range, not a start and a step
  EXPECT_EQ(p.ymin, -1.0f);
  EXPECT_EQ(p.ylabel, "why");
  EXPECT_EQ(p.extras.size(), 2u);
  EXPECT_EQ(p.levels.n, 2);
  EXPECT_EQ(p.levels.value[1], 1.5f);
  EXPECT_EQ(p.levels.colour[1], 5);
  EXPECT_EQ(p.ramp_lo, 3.0f);
  EXPECT_EQ(p.ramp_hi, 9.0f);
  EXPECT_EQ(p.ramp_mode, "log");
  EXPECT_EQ(p.ramp_type, "grey");
  EXPECT_FLOAT_EQ(p.ramp_start[0], 255.0f / 256.0f);
  EXPECT_EQ(p.ramp_start[2], 0.0f);
  EXPECT_FLOAT_EQ(p.ramp_end[2], 255.0f / 256.0f);
  EXPECT_EQ(st->buf.real[0], 1.0f);
  EXPECT_EQ(st->buf.real[5], 6.0f);
  EXPECT_TRUE(contains(r.out, " Formatted read"));
  EXPECT_TRUE(contains(r.out, "Invalid keyword !\n Key   : (MRKTYP) "));
}

TEST(Reader2D, WhatCarriesOverToTheNextFile) {
  Scratch dir;
  zevtest::State st;
  Read2D first(*st, "XPOINT 2\nYPOINT 2\nXLIMIT 1 2\nNLEVEL 1\nLEVELS\n7\nRAMCOL 0 1 0 1 1 0\n"
                    "RAMLIM 1 2\nRAMODE log\nXLABEL a\nLINE   0 0 1 1\nZVALUE *\n1 2 3 4\n");
  ASSERT_EQ(first.rc, 0) << first.out;
  Read2D second(*st, "XPOINT 2\nYPOINT 2\nZVALUE *\n5 6 7 8\n");
  ASSERT_EQ(second.rc, 0) << second.out;
  const zev::Plot2D& p = st->plot2d;
  EXPECT_EQ(p.xmax, 2.0f);
  EXPECT_EQ(p.levels.n, 1);
  EXPECT_EQ(p.levels.value[0], 7.0f);
  EXPECT_EQ(p.ramp_start[1], 1.0f);
  EXPECT_EQ(p.ramp_lo, 0.0f);
  EXPECT_EQ(p.ramp_mode, "linear");
  EXPECT_EQ(p.xlabel, "no_label");
  EXPECT_TRUE(p.extras.empty());
  EXPECT_TRUE(contains(second.out, " FREE format read"));
}

TEST(Reader2D, RefusedGridsAndLevels) {
  Scratch dir;
  struct Case {
    const char* name;
    const char* text;
    const char* echo;
  };
  const Case cases[] = {
      {"1000 x 1000 in a 10000 buffer", "XPOINT 1000\nYPOINT 1000\nZVALUE *\n1\n",
       " ERROR --- Too much data for 2D plot buffer\n Nr of data points : (    1000000) \n"
       " Buffer size       : (      10000) "},
      {"100000 x 100000 without overflow", "XPOINT 100000\nYPOINT 100000\nZVALUE *\n",
       " Nr of data points : (10000000000) "},
      {"more than 50 levels", "NLEVEL 51\nXPOINT 1\nYPOINT 1\nZVALUE *\n1\n",
       "Number of levels must be 0 to 50"},
      {"no grid values", "XPOINT 2\nYPOINT 2\n", "No grid values read"},
      {"too few grid values", "XPOINT 2\nYPOINT 2\nZVALUE *\n1 2 3\n",
       "End of file in the data of keyword ZVALUE"},
      {"negative size", "XPOINT -5\nYPOINT 2\nZVALUE *\n",
       "Number of grid points must not be negative; keyword XPOINT of line 1 skipped"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    zevtest::State st;
    Read2D r(*st, c.text);
    EXPECT_TRUE(contains(r.out, c.echo)) << r.out;
  }
  zevtest::State st;
  Read2D big(*st, "XPOINT 1000\nYPOINT 1000\nZVALUE *\n1\n");
  EXPECT_EQ(big.rc, -1);
  zevtest::State st2;
  Read2D levels(*st2, "NLEVEL 3\nNLEVEL 51\nLEVELS\n1 2 3\n");
  EXPECT_EQ(st2->plot2d.levels.n, 3);
  EXPECT_EQ(st2->plot2d.levels.value[2], 3.0f);
}

}  // namespace

namespace {

// What the 1D reader writes for every keyword of a plot file, with the
// formats in the file, MORE, NEXTFN and the datablock keywords.
TEST(Reader1D, TranscriptOfEveryKeyword) {
  Scratch dir;
  Scratch::write("y.odb", "B-factor F 2 (2f6.1)\n  10.5  20.5\n");
  Scratch::write("lab.odb", "names I 2 (a4)\nALA1\nGLY2\n");
  const std::string text =
      "! comment line\n"
      "REMARK every keyword\n"
      "NPOINT 2\n"
      "COLOUR 2\n"
      "GRID   0 10 1 0 10 1\n"
      "XYVIEW 0 10 0 10\n"
      "MRKTYP 3\n"
      "HIDE\nNODASH\nDASH\nLINFIT\nXYSTAT\nNOHIDE\n"
      "CDVERT 0.2\n"
      "MRKSIZ 0.1 0.1\n"
      "BOXPAR 0 1 9\n"
      "LINE   1 2 3 4\n"
      "BOX    1 2 3 4\n"
      "CIRCLE 5 5 1\n"
      "ELLIPS 5 5 1 2\n"
      "TEXT   1 1 12 'a label'\n"
      "XLIMIT 1 1\n"
      "YLIMIT 0 2\n"
      "XFROMO y.odb\n"
      "YFROMO y.odb\n"
      "LFROMO lab.odb\n"
      "XLABEL the X\n"
      "YLABEL the Y\n"
      "LABELS (a3)\nab\ncd\n"
      "XVALUE *\n1 2\n"
      "YVALUE (2f4.1)\n 1.0 2.0\n"
      "VALUES *\n1 2 3 4\n"
      "VALABS (2f4.1,a)\n 1.0 2.0one\n 3.0 4.0two\n"
      "XCOUNT\nYCOUNT 1 2 3\n"
      "UNKNWN value\n"
      "MORE\n";
  Read1D r(text);
  EXPECT_EQ(r.out,
            " >every keyword\n"
            " Line : (   1.000    2.000    3.000    4.000) \n"
            " Box  : (   1.000    2.000    3.000    4.000) \n"
            " Circle : (   5.000    5.000    1.000) \n"
            " Ellipse : (   5.000    5.000    1.000    2.000) \n"
            " Label  : (B-factor) \n"
            " Type   : (F) \n"
            " Format : ((2f6.1)) \n"
            " Number : (          2) \n"
            " Label  : (B-factor) \n"
            " Type   : (F) \n"
            " Format : ((2f6.1)) \n"
            " Number : (          2) \n"
            " Label  : (names) \n"
            " Type   : (I) \n"
            " Format : ((a4)) \n"
            " Number : (          2) \n"
            " Format : ((a3)) \n"
            " Free format read\n"
            " Format : ((2f4.1)) \n"
            " Free format read\n"
            " Format : ((2f4.1,a)) \n"
            " Keyword ignored : (XCOUNT) \n"
            " Keyword ignored : (YCOUNT) \n"
            " ERROR --- Invalid keyword !\n"
            " Key   : (UNKNWN) \n"
            " Value : (value) \n");
  EXPECT_EQ(r.end, zev::SetEnd::More);
  EXPECT_EQ(r.xs(), (Floats{1, 3}));
  EXPECT_EQ(r.ys(), (Floats{2, 4}));
  EXPECT_EQ(r.p.xlabel, "the X");
  EXPECT_EQ(zv::rtrim(r.pts.label[2]), "two");
}

}  // namespace

namespace {

// Peak resident size of the process in KB.
long peak_kb() {
  rusage ru{};
  ::getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

}  // namespace

// Lines of 100 MB (a keyword line and a data line, gzip-compressed on disk)
// are read past, not held: the keyword line is cut to its value field, the
// data line is refused with its keyword, and the reading goes on.
TEST(Reader1D, LongLinesAreNotHeld) {
  Scratch dir;
  {
    gzFile gz = gzopen("long.pl1.gz", "wb1");
    ASSERT_NE(gz, nullptr);
    const std::string chunk(1 << 20, '7');
    gzputs(gz, "REMARK ");
    for (int i = 0; i < 100; ++i) gzwrite(gz, chunk.data(), static_cast<unsigned>(chunk.size()));
    gzputs(gz, "\nNPOINT 2\nXVALUE *\n");
    for (int i = 0; i < 100; ++i) gzwrite(gz, chunk.data(), static_cast<unsigned>(chunk.size()));
    gzputs(gz, "\nYVALUE *\n3 4\nEND\n");
    gzclose(gz);
  }
  const long before = peak_kb();
  const Read1D r(Read1D::File{"long.pl1.gz"});
  const long grown = peak_kb() - before;
  // At most one data record (16 MB) is held, not the 100 MB lines.
  EXPECT_LT(grown, 50 * 1024) << "peak KB grew";
  EXPECT_EQ(r.p.remarks.at(0), std::string(250, '7'));
  EXPECT_TRUE(contains(r.out, "Line 4 of long.pl1.gz is longer than 16777216 characters"))
      << r.out.substr(0, 2000);
  EXPECT_TRUE(contains(r.out, "keyword XVALUE of line 3")) << r.out.substr(0, 2000);
  EXPECT_EQ(r.p.n, 2);
  EXPECT_EQ(r.pts.x[1], 1.0f);
  EXPECT_EQ(r.pts.y[1], 3.0f);
  EXPECT_EQ(r.pts.y[2], 4.0f);
}

// A damaged compressed plot file: the read error is reported once and the
// data set ends with what was read before it.
TEST(Reader1D, ReadErrorIsReported) {
  Scratch dir;
  {
    gzFile gz = gzopen("cut.pl1.gz", "wb9");
    ASSERT_NE(gz, nullptr);
    gzputs(gz, "NPOINT 2\n");
    for (int i = 0; i < 20000; ++i) gzprintf(gz, "REMARK line %d of many different remarks %d\n", i, i * 7919);
    gzclose(gz);
  }
  std::filesystem::resize_file("cut.pl1.gz", std::filesystem::file_size("cut.pl1.gz") / 2);
  const Read1D r(Read1D::File{"cut.pl1.gz"});
  EXPECT_EQ(r.end, zev::SetEnd::End);
  const std::string& t = r.out;
  EXPECT_EQ(r.p.n, 2);
  const std::size_t at = t.find(" ERROR --- While reading cut.pl1.gz after line ");
  ASSERT_NE(at, std::string::npos) << t.substr(t.size() > 500 ? t.size() - 500 : 0);
  EXPECT_EQ(t.find(" ERROR --- While reading", at + 1), std::string::npos);
}

// Lines ended by a lone CR: a keyword line longer than its value field is
// cut, and the lines after it are still read.
TEST(Reader1D, LongKeywordLineWithCrLineEnds) {
  Scratch dir;
  const Read1D r("REMARK " + std::string(400, 'r') + "\rNPOINT 2\rYVALUE *\r5 6\rEND\r");
  EXPECT_EQ(r.p.remarks.at(0), std::string(250, 'r'));
  EXPECT_EQ(r.ys(), (Floats{5.0f, 6.0f}));
}
