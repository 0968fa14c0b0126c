// A batch run of the frame inside a fuzz target: unit 5 reads the given
// answers from memory, units 6 and 0 write to /dev/null, and files the target
// hands to the readers live in one scratch folder per process. On leaving,
// the units a reader may have left open (after ZVSTOP threw zv::Stop from
// inside it) are closed and the frame is reset, so every input starts alike.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <vector>
#include <string>
#include <string_view>

#include "core/frame.h"
#include "core/units.h"

namespace zvfuzz {

// The scratch folder of this process (made on first use, removed at exit;
// the name is never destroyed, so the exit handler can still use it).
inline const std::string& scratch_dir() {
  static const std::string* dir = [] {
    std::string tmpl = "/tmp/zvfuzz_" + std::to_string(::getpid()) + "_XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    return new std::string(tmpl);
  }();
  static const bool removed_at_exit = std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(*dir, ec);
  }) == 0;
  (void)removed_at_exit;
  return *dir;
}

// Writes bytes to a file of the scratch folder; returns its path.
inline std::string write_file(std::string_view name, std::string_view bytes) {
  std::string path = scratch_dir() + "/" + std::string(name);
  std::FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), fp) != bytes.size()) std::abort();
  std::fclose(fp);
  return path;
}

// The bytes of a file (none when it cannot be read).
inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Makes the scratch folder the working directory for its lifetime, so that
// relative names in the input stay inside it; the old one comes back after
// (libFuzzer reads its corpus through relative names).
class InScratch {
 public:
  InScratch() {
    if (!::getcwd(old_, sizeof old_) || ::chdir(scratch_dir().c_str()) != 0) std::abort();
  }
  ~InScratch() {
    if (::chdir(old_) != 0) std::abort();
  }
  InScratch(const InScratch&) = delete;
  InScratch& operator=(const InScratch&) = delete;

 private:
  char old_[4096];
};

// Removes every file of the scratch folder but the named ones (files a run
// wrote under names taken from its input).
inline void clean_scratch(std::initializer_list<std::string_view> keep) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(scratch_dir(), ec)) {
    const std::string name = entry.path().filename().string();
    bool kept = false;
    for (std::string_view k : keep) kept = kept || name == k;
    if (!kept) std::filesystem::remove_all(entry.path(), ec);
  }
}

class Session {
 public:
  // answers: what unit 5 reads; units: file units to close at the end;
  // mode: the run-mode argument ("-B" batch, "-I" interactive, "-S" socket).
  explicit Session(std::string answers, std::initializer_list<int> units = {},
                   const char* mode = "-B")
      : in_(std::move(answers)), units_(units), mode_(mode) {
    zv::frame_reset_for_test();
    fin_ = in_.empty() ? std::fopen("/dev/null", "r") : fmemopen(in_.data(), in_.size(), "r");
    fout_ = std::fopen("/dev/null", "w");
    if (!fin_ || !fout_) std::abort();
    zv::unit_bind_stream(zv::kUnitStdin, fin_);
    zv::unit_bind_stream(zv::kUnitStdout, fout_);
    zv::unit_bind_stream(0, fout_);
    static char prog[] = "zvfuzz";
    char* argv[] = {prog, mode_.data(), nullptr};
    zv::ZVARGS(2, argv);
    zv::RUNMODE();
  }

  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  ~Session() {
    for (int u : units_) (void)zv::unit_close(u);
    zv::unit_reset_stdio();
    zv::frame_reset_for_test();
    std::fclose(fin_);
    std::fclose(fout_);
  }

 private:
  std::string in_;
  std::vector<int> units_;
  std::string mode_;
  std::FILE* fin_ = nullptr;
  std::FILE* fout_ = nullptr;
};

}  // namespace zvfuzz
