// zev's conversions and the topology plot: the counted 2D plot file and the
// VRML scene compared line by line with files worked out here, and the
// scenes and pictures handed to their real readers (check-vrml1, check-eps).
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "convert.h"
#include "dual.h"
#include "plotout/xps.h"
#include "startup.h"
#include "topology.h"
#include "zev_testing.h"

namespace {

namespace fs = std::filesystem;
using zevtest::contains;
using zevtest::Scratch;

// 0 valid, 1 invalid, 2 the tool cannot run here.
int run_validator(const char* tool, const std::string& file) {
  const fs::path script = fs::path(ZV_SHARED_DIR) / "tools" / tool;
  if (!fs::exists(script)) return 2;
  const std::string cmd = "bash '" + script.string() + "' '" + file + "' > '" + file +
                          ".check.txt' 2>&1";
  const int rc = std::system(cmd.c_str());
  const int code = WIFEXITED(rc) ? WEXITSTATUS(rc) : 1;
  if (code == 1) std::printf("%s", Scratch::read(file + ".check.txt").c_str());
  return code;
}

// Compares the lines of a file with the expected ones; lines given as "*"
// are not compared (creation stamps).
void expect_lines(const std::string& file, const std::vector<std::string>& want) {
  const auto got = zevtest::lines(Scratch::read(file));
  ASSERT_EQ(got.size(), want.size()) << Scratch::read(file);
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (want[i] == "*") continue;
    EXPECT_EQ(got[i], want[i]) << file << " line " << i + 1;
  }
}

TEST(Count1dTo2d, BinsAndFileLayout) {
  Scratch dir;
  zevtest::State st;
  // Bins of width 1 over 0..9 in X and Y. -0.5 truncates to bin 0; 10 is
  // outside; M = 4 gives the levels nint(0.09 k 4).
  Scratch::write("in.pl1",
                 "REMARK one  two   \nNPOINT 7\nVALUES *\n0.5 0.5 0.5 0.5 0.5 0.5 9.5 9.5 "
                 "-0.5 0 10 0 3 2\nXLABEL resid\nYLABEL count\nXCOUNT 0 1 9\nYCOUNT 9 1 0\n"
                 "COLOUR 3\nMORE\nEND\n");
  zvtest::Session s("");
  std::string in = "in.pl1", out = "out.pl2";
  zev::PLT2CG(*st, "COUN", 11, in, out);
  std::vector<std::string> want = {
      "*",
      "REMARK one  two",
      "NLEVEL 10",
      "LEVELS",
      "0 1 1 1 2 2 3 3 3 4",
      "COLOUR",
      "73 123 82 146 401 230 304 221 410 1",
      "RAMCOL 1 0 0   0 0 1",
      "RAMTYP HUE",
      "XLABEL resid",
      "YLABEL count",
      "XPOINT         10",
      "YPOINT         10",
      "XLIMIT      0.0000E+00      9.0000E+00",
      "YLIMIT      0.0000E+00      9.0000E+00",
      "ZVALUE *",
      "4 0 0 0 0 0 0 0 0 0",
      "0 0 0 0 0 0 0 0 0 0",
      "0 0 0 1 0 0 0 0 0 0",
  };
  for (int j = 3; j < 9; ++j) want.push_back("0 0 0 0 0 0 0 0 0 0");
  want.push_back("0 0 0 0 0 0 0 0 0 1");
  want.push_back("END");
  expect_lines("out.pl2", want);
  EXPECT_TRUE(Scratch::read("out.pl2").starts_with("REMARK Created by "));
  const std::string t = s.out();
  EXPECT_TRUE(contains(t, " Keyword ignored : (COLOUR) \n Keyword ignored : (MORE) \n"));
  EXPECT_TRUE(contains(t, " Xmin, Xmax, Xbin, Nxbin =  0.0000E+00  9.0000E+00  1.0000E+00    10\n"));
  EXPECT_TRUE(contains(t, " Nr of points binned  : (          6) \n Max count in any bin : (          4) \n"));
  EXPECT_TRUE(contains(t, " 2D plot file written\n"));
}

TEST(Count1dTo2d, DefaultBinsAndRefusals) {
  Scratch dir;
  zevtest::State st;  // 10000 elements
  // 25 x 25 bins over the data: 625 counts, the last line holding 5.
  Scratch::write("a.pl1", "NPOINT 3\nVALUES *\n0 0 1 1 0.5 0.5\n");
  Scratch::write("big.pl1", "NPOINT 2\nVALUES *\n0 0 1 1\nXCOUNT 0 0.001 1\n");
  Scratch::write("one.pl1", "NPOINT 1\nVALUES *\n0 0\n");
  zvtest::Session s("");
  std::string in = "a.pl1", out = "a.pl2";
  zev::PLT2CG(*st, "COUN", 11, in, out);
  const auto lines = zevtest::lines(Scratch::read("a.pl2"));
  ASSERT_EQ(lines.size(), 15u + 63u + 1u);
  EXPECT_EQ(lines[15], "1 0 0 0 0 0 0 0 0 0");
  EXPECT_EQ(lines[77], "0 0 0 0 0");
  EXPECT_EQ(lines[78], "END");
  // The point at the largest X and Y falls outside (index 25): 2 binned.
  in = "big.pl1", out = "big.pl2";
  zev::PLT2CG(*st, "COUN", 11, in, out);
  in = "one.pl1", out = "one.pl2";
  zev::PLT2CG(*st, "COUN", 11, in, out);
  const std::string t = s.out();
  EXPECT_TRUE(contains(t, " Nr of points binned  : (          2) "));
  EXPECT_TRUE(contains(t, " ERROR --- Buffer too small for 2D array\n"));
  EXPECT_FALSE(contains(t.substr(t.find("Buffer too small")), "2D plot file written"));
  EXPECT_EQ(Scratch::read("one.pl2").find("ZVALUE"), std::string::npos);
  // REMARK lines read before a NEXTFN are copied as they were read.
  Scratch::write("next.pl1", "REMARK before\nNEXTFN a.pl1\nREMARK after\n");
  in = "next.pl1", out = "next.pl2";
  zev::PLT2CG(*st, "COUN", 11, in, out);
  const auto next = zevtest::lines(Scratch::read("next.pl2"));
  ASSERT_EQ(next.size(), 2u);
  EXPECT_EQ(next[1], "REMARK before");
  EXPECT_TRUE(contains(s.out(), " ERROR --- PLT2CG - Key NEXTFN not implemented\n"));
}

// Converted files that cannot be written whole: a device that is full is
// left and said to be incomplete, a regular file cut by the file-size limit
// (in a child process) is removed; neither is reported as written.
TEST(Convert, FilesThatCannotBeWrittenAreNotReportedWritten) {
  Scratch dir;
  std::string text = "NPOINT 3000\nXLIMIT 1 1\nYLIMIT 5 0.5\n";
  Scratch::write("in.pl1", text);
  struct Case {
    const char* mode;
    const char* written;
  };
  for (const Case& c : {Case{"CRIC", "CricketGraph file written"},
                        Case{"COUN", "2D plot file written"}}) {
    SCOPED_TRACE(c.mode);
    {
      zevtest::State st;
      zvtest::Session s("");
      std::string in = "in.pl1", out = "/dev/full";
      zev::PLT2CG(*st, c.mode, 11, in, out);
      const std::string t = s.out();
      EXPECT_TRUE(contains(t, " ERROR --- While writing file /dev/full\n")) << t;
      EXPECT_TRUE(contains(t, " The file is incomplete\n")) << t;
      EXPECT_FALSE(contains(t, c.written)) << t;
    }
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      rlimit lim{600, 600};
      (void)::setrlimit(RLIMIT_FSIZE, &lim);
      int code = 0;
      {
        zevtest::State st;
        zvtest::Session s("");
        std::string in = "in.pl1", out = "cut.out";
        zev::PLT2CG(*st, c.mode, 11, in, out);
        const std::string t = s.out();
        if (!contains(t, " ERROR --- While writing file cut.out\n")) code |= 1;
        if (!contains(t, " Incomplete file removed\n")) code |= 2;
        if (contains(t, c.written)) code |= 4;
        if (Scratch::exists("cut.out")) code |= 8;
      }
      ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1 no message, 2 not removed, 4 said written, 8 file left";
  }
  // A conversion that stops early still checks what it wrote before stopping.
  Scratch::write("next.pl1", "REMARK before\nNEXTFN in.pl1\n");
  zevtest::State st;
  zvtest::Session s("");
  std::string in = "next.pl1", out = "/dev/full";
  zev::PLT2CG(*st, "COUN", 11, in, out);
  EXPECT_TRUE(contains(s.out(), "PLT2CG - Key NEXTFN not implemented")) << s.out();
  EXPECT_TRUE(contains(s.out(), " ERROR --- While writing file /dev/full\n")) << s.out();
}

// An output named as the plot file (directly or by another path): refused
// before anything is opened for writing, and the plot file is kept whole.
TEST(Count1dTo2d, OutputThatIsThePlotFile) {
  Scratch dir;
  zevtest::State st;
  const std::string plot = "NPOINT 3\nVALUES *\n0 0 1 1 0.5 0.5\nEND\n";
  Scratch::write("p.pl1", plot);
  for (const char* mode : {"COUN", "CRIC"}) {
    for (const char* name : {"p.pl1", "./p.pl1"}) {
      zvtest::Session s("");
      std::string in = "p.pl1", out = name;
      zev::PLT2CG(*st, mode, 11, in, out);
      EXPECT_TRUE(contains(s.out(), std::string(" ERROR --- Output file would overwrite the plot file : ") + name))
          << s.out();
      EXPECT_FALSE(contains(s.out(), "file written"));
      EXPECT_EQ(Scratch::read("p.pl1"), plot) << mode << " " << name;
    }
  }
}

TEST(Vrml2D, ScenesLineByLine) {
  Scratch dir;
  zevtest::State st;
  Scratch::write("g.pl2", "XPOINT 2\nYPOINT 2\nXLIMIT 0 1\nYLIMIT 0 2\nZVALUE *\n1 2 3 5\n");
  const std::vector<std::string> head = {
      "#VRML V1.0 ascii",
      "*",
      "DEF SceneInfo Info { string \"XVRML - 20051205/0.8\" }",
      "DEF Title Info { ",
      "*",
      "DEF BackgroundColor Info { string \"   1.000   1.000   1.000\" }",
      "FontStyle { size 2 }",
      "Material { diffuseColor    0.000   0.000   1.000",
      "          emissiveColor    0.000   0.000   1.000 }",
      "Scale { scaleFactor 100.0000000000 50.0000000000 25.0000000000 }",
      "Separator { Coordinate3 { point [",
      "0.000 0.000 1.000 ,",
      "0.000 2.000 3.000 ,",
      "1.000 0.000 2.000 ,",
      "1.000 2.000 5.000 ,",
      " ] }",
  };
  for (bool solid : {false, true}) {
    zvtest::Session s("");
    std::string in = "g.pl2", out = solid ? "faces.wrl" : "lines.wrl";
    int error = 1;
    zev::VRML_2D(*st, 11, in, out, solid, error);
    EXPECT_EQ(error, 0) << s.out();
    std::vector<std::string> want = head;
    want.push_back(solid ? "  IndexedFaceSet { coordIndex [ " : "  IndexedLineSet { coordIndex [ ");
    want.push_back("0, 1, 2, 0, -1,");
    want.push_back("2, 1, 3, 2, -1,");
    want.push_back("-1 ] } }");
    expect_lines(out, want);
    const int rc = run_validator("check-vrml1", out);
    if (rc == 2) GTEST_SKIP() << "check-vrml1 cannot run here";
    EXPECT_EQ(rc, 0);
  }
}

TEST(Vrml2D, NoFileThatCannotBeWritten) {
  Scratch dir;
  zevtest::State st;
  Scratch::write("g.pl2", "XPOINT 2\nYPOINT 2\nZVALUE *\n1 2 3 5\n");
  zvtest::Session s("");
  std::string in = "g.pl2", out = "no/such/dir.wrl";
  int error = 0;
  zev::VRML_2D(*st, 11, in, out, false, error);
  EXPECT_NE(error, 0);
  EXPECT_FALSE(contains(s.out(), "Opened VRML file"));
}

TEST(Topology, KelvorFileDrawnAndAcceptedByGhostscript) {
  Scratch dir;
  zevtest::State st;
  // As kelvor's TO writes it, with a helix and elements pointing down.
  Scratch::write("topo.zev",
                 "XYVIEW      -1.00      4.00     -0.50      1.50\n"
                 "ALPHA    0.00  0.00  0.00  1.00  0.80 'A1    '\n"
                 "BETA     1.00  1.00  1.00  0.00  0.80 'B2    '\n"
                 "BETA     3.00  0.00  3.00  1.00  0.80 'B3    '\n");
  zvtest::Session s("");
  std::string file = "topo.zev";
  int object = 0, error = 1;
  zev::PLTTOP(*st, 11, file, true, "topo.eps", object, error);
  EXPECT_EQ(error, 0);
  const std::string eps = Scratch::read("topo.eps");
  EXPECT_TRUE(contains(eps, "% PROGAM COMMENT: Here comes a helix\n"));
  EXPECT_TRUE(contains(eps, "% PROGAM COMMENT: Here comes a strand\n"));
  // The strand pointing down: tip at y = 0 (page 250 + 0.5 * 225), name at
  // y1 + 1.1 (y2 - y1) = -0.1.
  EXPECT_TRUE(contains(eps, "(B2) 10.00 Print"));
  EXPECT_TRUE(contains(eps, "(A1) 10.00 Print"));
  const int rc = run_validator("check-eps", "topo.eps");
  if (rc == 2) GTEST_SKIP() << "check-eps cannot run here";
  EXPECT_EQ(rc, 0);
}

TEST(Topology, ThousandElementsAndNone) {
  Scratch dir;
  zevtest::State st;
  std::string text = "XYVIEW 0 1001 -0.5 1.5\n";
  for (int i = 1; i <= 1000; ++i) {
    text += (i % 2 ? "ALPHA " : "BETA  ") + std::string(" ") + std::to_string(i) + " 0 " +
            std::to_string(i) + " 1 0.8 'E" + std::to_string(i) + "'\n";
  }
  Scratch::write("many.zev", text);
  Scratch::write("none.zev", "XYVIEW 0 1 0 1\nEND\n");
  zvtest::Session s("");
  for (const char* name : {"many", "none"}) {
    std::string file = std::string(name) + ".zev";
    int object = 0, error = 1;
    zev::PLTTOP(*st, 11, file, true, std::string(name) + ".eps", object, error);
    EXPECT_EQ(error, 0);
    const int rc = run_validator("check-eps", std::string(name) + ".eps");
    if (rc == 2) GTEST_SKIP() << "check-eps cannot run here";
    EXPECT_EQ(rc, 0) << name;
  }
  EXPECT_TRUE(contains(Scratch::read("many.eps"), "(E1000) 10.00 Print"));
  EXPECT_FALSE(contains(s.out(), "ERROR"));
}

TEST(Dual, PolylineInDataUnitsAndTheSwitch) {
  Scratch dir;
  zvtest::Session s("");
  zv::XPS_INIT();
  zv::XPS_OPEN(-1, "dual.ps", "ZEV");
  zv::XPS_WINDOW(0.0f, 450.0f, 0.0f, 450.0f);  // one point per data unit
  zev::dual_set_mapping(2.0f, 3.0f, 10.0f, 20.0f);
  const float x[3] = {0.0f, 1.0f, 0.5f}, y[3] = {0.0f, 1.0f, 2.0f};
  zev::DUALCL(4);
  zev::DUALPL(x, y, 3);
  zev::dual_set_postscript(false);
  zev::DUALCL(1);
  zev::DUALPL(x, y, 3);
  zev::dual_set_postscript(true);
  zev::DUALPL(x, y, 0);
  zv::XPS_CLOSE();
  EXPECT_EQ(x[1], 1.0f);  // the caller's arrays stay as they were
  const std::string ps = Scratch::read("dual.ps");
  EXPECT_TRUE(contains(ps, "blue\nS 60.00 270.00 M\n62.00 273.00 L\n61.00 276.00 L\nS\n% start of XPS_GRAF footer"))
      << ps;
  EXPECT_FALSE(contains(ps, "\nred\n"));  // DUALCL(1) with PostScript off
}

// A system that cannot give the buffers: the message, and nothing allocated.
TEST(Startup, BuffersThatCannotBeAllocated) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit set here";
#endif
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    zvtest::Session s("");
    rlimit lim{300L << 20, 300L << 20};
    setrlimit(RLIMIT_AS, &lim);
    zev::Buffers buf;
    const bool ok = zev::allocate_buffers(buf, 200000000);  // 2.8 GB
    const bool said = contains(s.out(), " ERROR --- Could not allocate sufficient memory\n");
    _exit(!ok && said && buf.real == nullptr && buf.n == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
