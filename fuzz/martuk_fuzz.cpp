// martuk on arbitrary bytes: byte 0 chooses the run mode (batch,
// interactive or socket), byte 1 the length n of the answers, which are the
// last n bytes; everything between is the old macro "vobril.movamac" in the
// scratch folder (the working directory). A "/" in the answers is made "_",
// so every file named there stays in that folder. The run must end, through
// ZVSTOP, and leave the old macro as it was, whatever the answers (the new
// macro's name may be the old one's).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "capacities.h"
#include "core/frame.h"
#include "fuzz_session.h"
#include "run.h"
#include "state.h"

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const char* modes[] = {"-B", "-I", "-S"};
  const char* mode = modes[data[0] % 3];
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::size_t n = std::min<std::size_t>(data[1], rest.size());
  const std::string_view macro = rest.substr(0, rest.size() - n);
  std::string answers(rest.substr(rest.size() - n));
  for (char& c : answers) {
    if (c == '/') c = '_';
  }

  const zvfuzz::InScratch in_scratch;
  const std::string path = zvfuzz::write_file("vobril.movamac", macro);
  {
    auto st = std::make_unique<martuk::MartukState>();
    zvfuzz::Session session(answers, {martuk::kUnitOld, martuk::kUnitNew}, mode);
    try {
      martuk::run(*st);
    } catch (const zv::Stop&) {
    }
  }
  if (read_file(path) != macro) std::abort();  // the old macro must never change
  zvfuzz::clean_scratch({});
  return 0;
}
