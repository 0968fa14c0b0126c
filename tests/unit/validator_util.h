// Runs a validator of ../shared/tools (check-eps, check-vrml1) on a file
// written by a test, for the unit tests of the plot writers and of zev.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zvtest {

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
