// In-process test session for the frame, dialogue and message routines: unit 5
// reads the given answers from memory, units 6 and 0 write into memory, and the
// run mode comes from the given command-line arguments.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/frame.h"
#include "core/units.h"

namespace zvtest {

class Session {
 public:
  explicit Session(std::string answers, std::vector<std::string> args = {"-B"})
      : in_(std::move(answers)) {
    zv::frame_reset_for_test();
    fin_ = in_.empty() ? std::fopen("/dev/null", "r") : fmemopen(in_.data(), in_.size(), "r");
    fout_ = open_memstream(&obuf_, &osize_);
    ferr_ = open_memstream(&ebuf_, &esize_);
    zv::unit_bind_stream(zv::kUnitStdin, fin_);
    zv::unit_bind_stream(zv::kUnitStdout, fout_);
    zv::unit_bind_stream(0, ferr_);
    set_args(std::move(args));
  }

  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  ~Session() {
    zv::unit_reset_stdio();
    zv::frame_reset_for_test();
    std::fclose(fin_);
    std::fclose(fout_);
    std::fclose(ferr_);
    if (full_) std::fclose(full_);
    std::free(obuf_);
    std::free(ebuf_);
  }

  // Stores the arguments as the command line and decides the run mode.
  void set_args(std::vector<std::string> args) {
    args_ = std::move(args);
    argv_.clear();
    argv_.push_back(const_cast<char*>("zvtest"));
    for (std::string& a : args_) argv_.push_back(a.data());
    argv_.push_back(nullptr);
    zv::ZVARGS(static_cast<int>(argv_.size()) - 1, argv_.data());
    zv::RUNMODE();
  }

  int argc() const { return static_cast<int>(argv_.size()) - 1; }
  char** argv() { return argv_.data(); }

  // Everything written to unit 6 / unit 0 so far.
  std::string out() {
    (void)zv::unit_flush(zv::kUnitStdout);
    std::fflush(fout_);
    return std::string(obuf_, osize_);
  }
  std::string err() {
    (void)zv::unit_flush(0);
    std::fflush(ferr_);
    return std::string(ebuf_, esize_);
  }

  // Routes unit 6 to a stream whose writes fail (a link that is gone).
  void break_stdout() {
    (void)zv::unit_flush(zv::kUnitStdout);
    full_ = std::fopen("/dev/full", "w");
    zv::unit_bind_stream(zv::kUnitStdout, full_);
  }

 private:
  std::string in_;
  std::vector<std::string> args_;
  std::vector<char*> argv_;
  std::FILE* fin_ = nullptr;
  std::FILE* fout_ = nullptr;
  std::FILE* ferr_ = nullptr;
  std::FILE* full_ = nullptr;
  char* obuf_ = nullptr;
  std::size_t osize_ = 0;
  char* ebuf_ = nullptr;
  std::size_t esize_ = 0;
};

}  // namespace zvtest
