// Helpers of zev's unit tests: a scratch folder, an in-process session whose
// terminal output can be read back, and Ghostscript's verdict on every EPS
// file a test writes.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core_session.h"
#include "plotout/xps.h"
#include "validator_util.h"

namespace zvtest {

namespace fs = std::filesystem;

// check-eps of ../shared/tools on a file: 0 valid, 1 invalid, 2 the tool or
// Ghostscript is missing. With png, the page is also rendered there.
inline int check_eps(const fs::path& file, const std::string& png = "") {
  return run_validator("check-eps", file, png.empty() ? "" : "'" + png + "'");
}

// A test with a scratch folder, a batch session and the PostScript writer
// reset; every EPS file opened through eps() must pass check-eps.
class ZevTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fresh_test_dir("zv_zev");
    session_ = std::make_unique<Session>("");
    zv::XPS_INIT();
    mark_ = session_->out().size();
  }

  void TearDown() override {
    if (zv::xps_is_open()) zv::XPS_CLOSE();
    for (const fs::path& p : eps_) {
      if (!fs::exists(p)) continue;
      const int rc = check_eps(p);
      if (rc == 2) continue;  // Ghostscript missing here: nothing to say
      EXPECT_EQ(rc, 0) << p;
    }
    session_.reset();
    if (!::testing::Test::HasFailure()) fs::remove_all(dir_);
  }

  // Opens a PostScript page in the scratch folder with the given window.
  fs::path eps(const std::string& name, float x1, float x2, float y1, float y2) {
    const fs::path p = dir_ / name;
    zv::XPS_OPEN(43, p.string(), "ZEV");
    zv::XPS_WINDOW(x1, x2, y1, y2);
    eps_.push_back(p);
    return p;
  }

  // Terminal output since the last call.
  std::string terminal() {
    const std::string all = session_->out();
    std::string fresh = all.substr(mark_);
    mark_ = all.size();
    return fresh;
  }

  fs::path dir_;
  std::unique_ptr<Session> session_;
  std::vector<fs::path> eps_;
  std::size_t mark_ = 0;
};

}  // namespace zvtest
