// The VRML writer: exact scenes of small grids, the colour table and the
// packed codes, write failures, and every written scene handed to Coin
// (check-vrml1).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/files.h"
#include "core/units.h"
#include "core_session.h"
#include "plotout/xvrml.h"
#include "size_limit.h"
#include "validator_util.h"

namespace zv {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr int kVrmlUnit = 42;

using zvtest::read_lines;
using zvtest::run_validator;

class VrmlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = zvtest::fresh_test_dir("zv_plotout_vrml");
    session_ = std::make_unique<zvtest::Session>("");
    XVRML_INIT();
    mark_ = session_->out().size();
  }

  void TearDown() override {
    if (xvrml_is_open()) XVRML_CLOSE();
    session_.reset();
    if (!::testing::Test::HasFailure()) fs::remove_all(dir_);
  }

  // Opens a file on the unit as the plotting program does, and starts a scene.
  fs::path start(const std::string& name) {
    std::string file = (dir_ / name).string();
    EXPECT_EQ(XOPXUA(kVrmlUnit, file, false), 0);
    XVRML_HEADER(kVrmlUnit, 1, 1, 1);
    EXPECT_TRUE(xvrml_is_open());
    files_.push_back(file);
    return file;
  }

  Lines finish() {
    XVRML_CLOSE();
    return read_lines(files_.back());
  }

  std::string terminal() {
    std::string all = session_->out();
    std::string fresh = all.substr(mark_);
    mark_ = all.size();
    return fresh;
  }

  void expect_valid_scenes() {
    for (const fs::path& p : files_) {
      const int rc = run_validator("check-vrml1", p);
      if (rc == 2) GTEST_SKIP() << "check-vrml1 cannot run here (Coin missing)";
      EXPECT_EQ(rc, 0) << p;
    }
  }

  fs::path dir_;
  std::unique_ptr<zvtest::Session> session_;
  std::vector<fs::path> files_;
  std::size_t mark_ = 0;
};

// Value (i, j) of an nx-column grid.
float& at(std::vector<float>& g, int nx, int i, int j) {
  return g[static_cast<std::size_t>(i - 1 + (j - 1) * nx)];
}

TEST_F(VrmlTest, TwoByTwoFacesWholeScene) {
  start("grid22.wrl");
  EXPECT_EQ(terminal(), " Opened VRML file\n");
  std::vector<float> g(4);
  at(g, 2, 1, 1) = 1.25f;
  at(g, 2, 1, 2) = 2.0f;
  at(g, 2, 2, 1) = 3.0f;
  at(g, 2, 2, 2) = 5.25f;
  XVRML_MATERIAL(0, 0, 1);
  XVRML_FACES(2, 2, g, 0, 2, 10, 11);
  const Lines got = finish();
  EXPECT_EQ(terminal(), " Closed VRML file\n");
  ASSERT_EQ(got.size(), 20u);
  EXPECT_EQ(got[0], "#VRML V1.0 ascii");
  EXPECT_EQ(got[1].rfind("# Created ", 0), 0u) << got[1];
  EXPECT_EQ(got[2], "DEF SceneInfo Info { string \"XVRML - 20051205/0.8\" }");
  EXPECT_EQ(got[3], "DEF Title Info { ");
  EXPECT_EQ(got[4], "string \"" + got[1].substr(2) + "\" }");
  const Lines rest(got.begin() + 5, got.end());
  const Lines want = {
      "DEF BackgroundColor Info { string \"   1.000   1.000   1.000\" }",
      "FontStyle { size 2 }",
      "Material { diffuseColor    0.000   0.000   1.000",
      "          emissiveColor    0.000   0.000   1.000 }",
      "Scale { scaleFactor 50.0000000000 100.0000000000 25.0000000000 }",
      "Separator { Coordinate3 { point [",
      "0.000 10.000 1.250 ,",
      "0.000 11.000 2.000 ,",
      "2.000 10.000 3.000 ,",
      "2.000 11.000 5.250 ,",
      " ] }",
      "  IndexedFaceSet { coordIndex [ ",
      "0, 1, 2, 0, -1,",
      "2, 1, 3, 2, -1,",
      "-1 ] } }",
  };
  EXPECT_EQ(rest, want);
  expect_valid_scenes();
}

TEST_F(VrmlTest, ThreeByTwoPointsColumnByColumn) {
  std::vector<float> g(6);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 2; ++j) at(g, 3, i, j) = static_cast<float>(10 * i + j);
  for (bool faces : {true, false}) {
    start(faces ? "grid32f.wrl" : "grid32l.wrl");
    if (faces)
      XVRML_FACES(3, 2, g, 1, 2, -1, 1);
    else
      XVRML_LINES(3, 2, g, 1, 2, -1, 1);
    const Lines got = finish();
    const auto first = std::find(got.begin(), got.end(), "Separator { Coordinate3 { point [");
    ASSERT_NE(first, got.end());
    const Lines body(first - 1, got.end());
    const Lines want = {
        "Scale { scaleFactor 100.0000000000 50.0000000000 4.7619047165 }",
        "Separator { Coordinate3 { point [",
        "1.000 -1.000 11.000 ,",
        "1.000 1.000 12.000 ,",
        "1.500 -1.000 21.000 ,",
        "1.500 1.000 22.000 ,",
        "2.000 -1.000 31.000 ,",
        "2.000 1.000 32.000 ,",
        " ] }",
        faces ? "  IndexedFaceSet { coordIndex [ " : "  IndexedLineSet { coordIndex [ ",
        "0, 1, 2, 0, -1,",
        "2, 1, 3, 2, -1,",
        "2, 3, 4, 2, -1,",
        "4, 3, 5, 4, -1,",
        "-1 ] } }",
    };
    EXPECT_EQ(body, want);
  }
  expect_valid_scenes();
}

TEST_F(VrmlTest, CellOrderOfALargerGrid) {
  // ny = 4: the first cell is 0, 1, 4 and 4, 1, 5; rows of cells are outer.
  std::vector<float> g(12, 0.0f);
  g[5] = 1.0f;
  start("grid34.wrl");
  XVRML_LINES(3, 4, g, 0, 1, 0, 1);
  const Lines got = finish();
  const auto it = std::find(got.begin(), got.end(), "  IndexedLineSet { coordIndex [ ");
  ASSERT_NE(it, got.end());
  const Lines idx(it + 1, got.end());
  const Lines want = {"0, 1, 4, 0, -1,",  "4, 1, 5, 4, -1,",   "4, 5, 8, 4, -1,",
                      "8, 5, 9, 8, -1,",  "1, 2, 5, 1, -1,",   "5, 2, 6, 5, -1,",
                      "5, 6, 9, 5, -1,",  "9, 6, 10, 9, -1,",  "2, 3, 6, 2, -1,",
                      "6, 3, 7, 6, -1,",  "6, 7, 10, 6, -1,",  "10, 7, 11, 10, -1,",
                      "-1 ] } }"};
  EXPECT_EQ(idx, want);
  expect_valid_scenes();
}

TEST_F(VrmlTest, ZeroRangesAndOddValuesKeepTheSceneValid) {
  // Equal X limits, equal Y limits and a flat grid count as unit ranges.
  std::vector<float> flat(4, 7.5f);
  start("flat.wrl");
  XVRML_FACES(2, 2, flat, 3, 3, 4, 4);
  Lines got = finish();
  EXPECT_NE(std::find(got.begin(), got.end(),
                      "Scale { scaleFactor 100.0000000000 100.0000000000 100.0000000000 }"),
            got.end());
  // Values too wide for F8.3 are written in full; non-finite values as 0.
  std::vector<float> odd = {12345.5f, NAN, -2000.25f, INFINITY};
  start("odd.wrl");
  XVRML_FACES(2, 2, odd, 0, 1, 0, 1);
  got = finish();
  for (const char* line : {"0.000 0.000 12345.500 ,", "0.000 1.000 -2000.250 ,",
                           "1.000 0.000 0.000 ,", "1.000 1.000 0.000 ,"})
    EXPECT_NE(std::find(got.begin(), got.end(), line), got.end()) << line;
  // One column: no cells, no division by nx - 1.
  std::vector<float> column = {1, 2, 3};
  start("column.wrl");
  XVRML_LINES(1, 3, column, 0, 0, 0, 2);
  got = finish();
  EXPECT_NE(std::find(got.begin(), got.end(), "0.000 2.000 3.000 ,"), got.end());
  EXPECT_EQ(got.back(), "-1 ] } }");
  // A grid shorter than nx * ny is refused.
  start("short.wrl");
  terminal();
  XVRML_FACES(3, 3, column, 0, 1, 0, 1);
  EXPECT_EQ(terminal(), " ERROR --- XVRML_FACES - Grid holds fewer values than NX * NY\n");
  // So is a grid without points, with its own reason.
  for (const auto& [nx, ny] : {std::pair{0, 3}, std::pair{3, 0}, std::pair{-2, -2}}) {
    XVRML_LINES(nx, ny, column, 0, 1, 0, 1);
    EXPECT_EQ(terminal(),
              " ERROR --- XVRML_LINES - Grid must have at least one point along X and Y\n");
  }
  got = finish();
  EXPECT_EQ(got.back(), "FontStyle { size 2 }");
  expect_valid_scenes();
}

TEST(VrmlColourTest, TableEntriesAndPackedCodes) {
  struct Case {
    int icol;
    float r, g, b;
  };
  const Case cases[] = {
      {1, 0, 0, 0},           {0, 0, 0, 0},          {-7, 0, 0, 0},
      {2, 1, 0, 0},           {3, 0, 1, 0},          {4, 0, 0, 1},
      {5, 1, 1, 0},           {6, 1, 0, 1},          {7, 0, 1, 1},
      {8, 0.8f, 0.8f, 0.8f},  {9, 0.5f, 0.5f, 0.5f}, {10, 0.2f, 0.2f, 0.2f},
      {11, 1, 1, 1},          {12, 0.862f, 0.862f, 0.862f},
      {13, 1.0f, 0.98f, 0.941f},  // X11 FloralWhite
      {410, 0.803f, 0.408f, 0.537f},  // X11 PaleVioletRed3
      {411, 0, 0, 0},
      // 412 and more are codes: 500 is red field 500 (k = -12), the rest 0.
      {412, 0.4f, 0, 0},      {500, 0.488f, 0, 0},   {537395712, 0.5f, 0.5f, 0.5f},
  };
  for (const Case& c : cases) {
    float r = -1, g = -1, b = -1;
    XVRML_RGB(c.icol, r, g, b);
    EXPECT_FLOAT_EQ(r, c.r) << c.icol;
    EXPECT_FLOAT_EQ(g, c.g) << c.icol;
    EXPECT_FLOAT_EQ(b, c.b) << c.icol;
  }
  int code = 0;
  XVRML_PACK(0.5f, 0.5f, 0.5f, code);
  EXPECT_EQ(code, 537395712);
  // Components are limited to 0..1 and truncated to three decimals.
  XVRML_PACK(2.0f, -1.0f, 0.7779f, code);
  float r = 0, g = 0, b = 0;
  XVRML_UNPACK(r, g, b, code);
  EXPECT_FLOAT_EQ(r, 1.0f);
  EXPECT_FLOAT_EQ(g, 0.0f);
  EXPECT_FLOAT_EQ(b, 0.777f);
  XVRML_PACK(NAN, 0, 1, code);
  XVRML_UNPACK(r, g, b, code);
  EXPECT_FLOAT_EQ(r, 0.5f);
}

TEST_F(VrmlTest, NotOpenWritesNothingAndWriteFailureClosesTheWriter) {
  std::vector<float> g(4, 1.0f);
  XVRML_FACES(2, 2, g, 0, 1, 0, 1);
  XVRML_MATERIAL(1, 0, 0);
  XVRML_SCALE(1, 1, 1);
  EXPECT_EQ(terminal(), "");
  XVRML_CLOSE();
  EXPECT_EQ(terminal(), " Closed VRML file\n");

  // A unit that is not open: the first write fails, and there is no file to
  // remove or to call incomplete.
  XVRML_HEADER(77, 1, 1, 1);
  EXPECT_FALSE(xvrml_is_open());
  EXPECT_EQ(terminal(), " ERROR --- While writing VRML file\n Error : (Bad file descriptor) \n");
  XVRML_FACES(2, 2, g, 0, 1, 0, 1);
  EXPECT_EQ(terminal(), "");
  // The scene was not written: it is not said to be closed.
  XVRML_CLOSE();
  EXPECT_EQ(terminal(), "");
  XVRML_CLOSE();
  EXPECT_EQ(terminal(), " Closed VRML file\n");
}

// Scenes that cannot be written whole, on a full device and past a file-size
// limit, failing while the grid is written (a large grid) or only when the
// last lines are written out at the close (a small one): the failure is
// reported once with the system's text, a cut regular file is removed and a
// device is left and said to be incomplete, and the scene is never said to
// be closed. The next scene is written as usual.
TEST_F(VrmlTest, ScenesThatCannotBeWrittenWhole) {
  struct Case {
    const char* what;
    bool device;   // /dev/full; else a regular file under the size limit
    rlim_t limit;  // bytes
    int n;         // grid of n by n points
    const char* error;
    const char* file_line;
  };
  const Case cases[] = {
      {"full device, large grid", true, 0, 100, "No space left on device",
       " The file is incomplete"},
      {"full device, small grid", true, 0, 2, "No space left on device",
       " The file is incomplete"},
      {"size limit, large grid", false, 100000, 100, "File too large",
       " Incomplete file removed"},
      {"size limit, small grid", false, 200, 2, "File too large", " Incomplete file removed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = c.device ? "/dev/full" : (dir_ / "cut.wrl").string();
    const std::vector<float> grid(static_cast<std::size_t>(c.n * c.n), 0.5f);
    const auto scene = [&] {
      std::string file = path;
      if (XOPXUA(kVrmlUnit, file, false) != 0) return std::string("not opened");
      XVRML_HEADER(kVrmlUnit, 1, 1, 1);
      XVRML_MATERIAL(0, 0, 1);
      XVRML_FACES(c.n, c.n, grid, 0, 1, 0, 1);
      XVRML_CLOSE();
      std::string out = xvrml_is_open() ? "still open\n" : "";
      out += terminal();
      out += fs::exists(path) ? "file kept\n" : "file gone\n";
      return out;
    };
    const std::string got = c.device ? scene() : zvtest::with_file_size_limit(c.limit, scene);
    EXPECT_EQ(got, std::string(" Opened VRML file\n ERROR --- While writing VRML file\n") +
                       " Error : (" + c.error + ") \n" + c.file_line + "\n" +
                       (c.device ? "file kept\n" : "file gone\n"));
  }
  (void)start("after.wrl");
  XVRML_FACES(2, 2, std::vector<float>(4, 1.0f), 0, 1, 0, 1);
  EXPECT_EQ(finish().back(), "-1 ] } }");
  EXPECT_EQ(terminal(), " Opened VRML file\n Closed VRML file\n");
}

TEST_F(VrmlTest, InitReport) {
  XVRML_INIT();
  EXPECT_EQ(terminal(),
            "\n Initialising : (XVRML - 20051205/0.8) \n Nr of predefined colours : (        "
            "411) \n\n");
}

}  // namespace
}  // namespace zv
