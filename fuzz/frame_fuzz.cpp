// The frame's readers of the outside world on arbitrary bytes: the bytes,
// split at NUL bytes, are the values of ZVPATH, ZVLIB and MAXHITS and then
// the command-line arguments. A program's start (ZVSTART: arguments, run
// mode, search path, banner) and stop (ZVSTOP) run around the look-ups the
// programs make (ENVINT, LIBFILE, ARGGET). Beyond "no crash": every search
// path entry ends in "/" and fits its length, at most kMaxPath are kept, no
// argument is kept longer than kArgLen, and LIBFILE never makes a name
// longer than the length it is given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/frame.h"
#include "fuzz_session.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void set_env(const char* name, const std::string* value) {
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields;
  {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (;;) {
      const std::size_t nul = rest.find('\0');
      fields.emplace_back(rest.substr(0, nul));
      if (nul == std::string_view::npos) break;
      rest.remove_prefix(nul + 1);
    }
  }
  auto field = [&](std::size_t i) { return i < fields.size() ? &fields[i] : nullptr; };
  set_env("ZVPATH", field(0));
  set_env("ZVLIB", field(1));
  set_env("MAXHITS", field(2));

  std::vector<char*> argv;
  static char prog[] = "zvfuzz";
  argv.push_back(prog);
  for (std::size_t i = 3; i < fields.size(); ++i) argv.push_back(fields[i].data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(argv.size()) - 1;

  {
    zvfuzz::Session session("");
    try {
      zv::ZVSTART("FUZZ", "1.0", argc, argv.data());
      for (const std::string& e : zv::zvpath()) {
        check(!e.empty() && e.back() == '/' && e.size() <= zv::kPathLen + 1);
      }
      check(zv::zvpath().size() <= static_cast<std::size_t>(zv::kMaxPath));
      check(zv::ARGNUM() >= 0 && zv::ARGNUM() <= zv::kMaxArgs);
      for (int i = 0; i <= zv::ARGNUM() + 1; ++i) {
        std::string text;
        if (zv::ARGGET(i, text) == 0) check(text.size() <= static_cast<std::size_t>(zv::kArgLen));
      }
      int maxhits = 1000;
      zv::ENVINT("MAXHITS", maxhits);
      zv::ENVINT("maxhits", maxhits);
      for (int len : {0, 1, 10, 256}) {
        std::string file = "kelvor.lib";
        zv::LIBFILE(file, len);
        check(file == "kelvor.lib" || file.size() <= static_cast<std::size_t>(len));
      }
      std::string file = "x";
      zv::LIBFILE(file);
      (void)zv::ISINTR();
      (void)zv::ISSOCK();
      zv::ZVSTOP();
    } catch (const zv::Stop&) {
    }
  }
  return 0;
}
