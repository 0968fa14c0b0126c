// Helpers of zev's unit tests: a scratch folder that is the working
// directory for the test's lifetime, files written into it, and a run state
// with small plot buffers.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core_session.h"
#include "startup.h"
#include "state.h"

namespace zevtest {

class Scratch {
 public:
  Scratch() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zevtest_XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl;
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  ~Scratch() {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  static void write(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }
  static std::string read(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }
  static bool exists(const std::string& name) { return std::filesystem::exists(name); }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
  std::filesystem::path old_;
};

// A run state with buffers of n elements.
struct State {
  std::unique_ptr<zev::ZevState> st = std::make_unique<zev::ZevState>();
  explicit State(int n = 10000) {
    if (!zev::allocate_buffers(st->buf, n)) std::abort();
  }
  ~State() { zev::free_buffers(st->buf); }
  zev::ZevState& operator*() { return *st; }
  zev::ZevState* operator->() { return st.get(); }
};

// Lines of a text.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream ss(text);
  std::string l;
  while (std::getline(ss, l)) out.push_back(l);
  return out;
}

inline bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace zevtest
