// Files written by the unit tests of the plot writers and of zev: a scratch
// folder per test, the lines of a file, and a validator of ../shared/tools
// (check-eps, check-vrml1) run on a file.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zvtest {

// An empty folder <tmp>/<prefix>_<pid>_<test name> for the running test.
inline std::filesystem::path fresh_test_dir(const std::string& prefix) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() /
                       (prefix + "_" + std::to_string(::getpid()) + "_" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

inline std::vector<std::string> read_lines(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// 0 valid, 1 invalid, 2 the tool or a program it needs is missing. The
// validator's output goes to <file>.check.txt and is printed when the file
// is not valid. extra is added to the command line as it is (quoted by the
// caller), e.g. the PNG that check-eps renders the page into.
inline int run_validator(const char* tool, const std::filesystem::path& file,
                         const std::string& extra = "") {
  namespace fs = std::filesystem;
  const fs::path script = fs::path(ZV_SHARED_DIR) / "tools" / tool;
  if (!fs::exists(script)) return 2;
  const fs::path log = file.string() + ".check.txt";
  std::string cmd = "bash '" + script.string() + "' '" + file.string() + "'";
  if (!extra.empty()) cmd += " " + extra;
  cmd += " > '" + log.string() + "' 2>&1 < /dev/null";
  const int rc = std::system(cmd.c_str());
  const int code = WIFEXITED(rc) ? WEXITSTATUS(rc) : 1;
  if (code != 0) {
    std::ifstream in(log);
    std::stringstream s;
    s << in.rdbuf();
    std::printf("%s", s.str().c_str());
  }
  return code;
}

}  // namespace zvtest
