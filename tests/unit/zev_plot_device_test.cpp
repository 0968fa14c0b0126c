// The plotters with a graphics device present (a fake one that records the
// calls): every drawing step goes to the device beside the PostScript file,
// the contours of a ramp plot go to the screen only, and the limits and the
// grid size of a plot are stored in the window table.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "device.h"
#include "plotout/xps.h"
#include "plots.h"
#include "zev_test_util.h"
#include "zev_testing.h"

namespace zev {
namespace {

using zevtest::contains;

class FakeDevice : public GraphicsDevice {
 public:
  bool present() override { return true; }
  void set_colour(int c) override { calls.push_back("colour " + std::to_string(c)); }
  void move(float, float) override { ++moves; }
  void draw(float, float) override { ++draws; }
  void polyline(std::span<const float> x, std::span<const float>) override {
    polylines.push_back(static_cast<int>(x.size()));
  }
  void text(float, float, std::string_view t) override { calls.push_back("text " + std::string(t)); }
  void set_view(float a, float b, float c, float d) override { views.push_back({a, b, c, d}); }
  int moves = 0, draws = 0;
  std::vector<int> polylines;
  std::vector<std::string> calls;
  std::vector<std::array<float, 4>> views;
};

class DevicePlot : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = std::make_unique<zvtest::Session>("");
    zv::XPS_INIT();
    set_device(&dev_);
    st_->graphics = true;
    st_->current = 1;
    st_->windows[1].open = true;
  }
  void TearDown() override {
    set_device(nullptr);
    for (const char* f : {"l.eps", "r.eps", "c.eps"}) {
      if (!zevtest::Scratch::exists(f)) continue;
      const int rc = zvtest::check_eps(scratch_.dir() + "/" + f);
      if (rc != 2) {
        EXPECT_EQ(rc, 0) << f;
      }
    }
  }

  zevtest::Scratch scratch_;
  std::unique_ptr<zvtest::Session> session_;
  zevtest::State st_;
  FakeDevice dev_;
};

TEST_F(DevicePlot, LinePlotDrawsOnTheDeviceAndStoresTheLimits) {
  zevtest::Scratch::write("l.pl1", "NPOINT 3\nVALUES *\n0 1 1 3 2 2\nTEXT   1 2 12 'lab  '\nEND\n");
  std::string file = "l.pl1";
  int n = 0, object = 0, error = 0;
  PLT1D(*st_, 0, "LINE", 11, file, "l.eps", true, n, "1D_plot", object, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(dev_.moves, 1);
  EXPECT_EQ(dev_.draws, 3);
  EXPECT_TRUE(std::find(dev_.calls.begin(), dev_.calls.end(), "text lab") != dev_.calls.end());
  ASSERT_FALSE(dev_.views.empty());
  EXPECT_EQ(dev_.views[0], (std::array<float, 4>{0, 2, 1, 3}));
  EXPECT_EQ(st_->windows[1].limits, (std::array<float, 4>{0, 2, 1, 3}));
  // Point labels for the device: "Data_pt_" and the number.
  EXPECT_EQ(st_->points[1].label[2], "Data_pt_2");
}

TEST_F(DevicePlot, RampContoursGoToTheScreenOnly) {
  const std::string grid =
      "XPOINT 3\nYPOINT 3\nXLIMIT 0 2\nYLIMIT 0 2\nNLEVEL 1\nLEVELS\n0.5\nCOLOUR\n3\n"
      "ZVALUE *\n0 0 0 0 1 0 0 0 0\nEND\n";
  zevtest::Scratch::write("g.pl2", grid);
  std::string file = "g.pl2";
  int n = 0, object = 0, error = 0;
  PLT2D(*st_, 11, file, n, true, true, "r.eps", "ramp_2D", object, error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(dev_.polylines, (std::vector<int>{5}));  // the ring round the middle, closed
  const std::string page = zevtest::Scratch::read("r.eps");
  EXPECT_FALSE(contains(page, "\nyellow\n")) << "the screen-only contour reached the page";
  EXPECT_TRUE(contains(page, "FilledBox"));
  EXPECT_EQ(st_->last2d_window, 1);
  EXPECT_EQ(st_->last2d_nx, 3);
  EXPECT_EQ(st_->last2d_ny, 3);

  // A contour plot draws the same ring on the screen and in the page.
  dev_.polylines.clear();
  file = "g.pl2";
  PLT2D(*st_, 11, file, n, false, true, "c.eps", "2D_plot", object, error);
  EXPECT_EQ(dev_.polylines, (std::vector<int>{5}));
  EXPECT_TRUE(contains(zevtest::Scratch::read("c.eps"), "\nyellow\nS "));
}

}  // namespace
}  // namespace zev
