// martuk on arbitrary bytes: byte 0 chooses the run mode (batch,
// interactive or socket), byte 1 the length n of the answers, which are the
// last n bytes; everything between is the old macro "vobril.movamac" in the
// scratch folder (the working directory). A "/" in the answers is made "_",
// so every file named there stays in that folder. The run must end, through
// ZVSTOP, and leave the old macro as it was, whatever the answers (the new
// macro's name may be the old one's); a new macro left in the folder holds
// only lines of the old one (blank-trimmed), never a line cut short.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "capacities.h"
#include "core/frame.h"
#include "fuzz_session.h"
#include "run.h"
#include "state.h"

namespace {

// The records of a text (LF, CR LF or lone CR end one), each up to its last
// blank and at least one character, as the new macro writes them.
std::unordered_set<std::string> trimmed_records(std::string_view text) {
  std::unordered_set<std::string> out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i;
    while (j < text.size() && text[j] != '\n' && text[j] != '\r') ++j;
    std::string rec(text.substr(i, j - i));
    while (!rec.empty() && rec.back() == ' ') rec.pop_back();
    out.insert(rec.empty() ? " " : rec);
    if (j < text.size() && text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ++j;
    i = j + 1;
  }
  return out;
}

void check(bool ok) {
  if (!ok) std::abort();
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
  check(zvfuzz::read_file(path) == macro);  // the old macro must never change
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(zvfuzz::scratch_dir(), ec)) {
    if (entry.path().filename() == "vobril.movamac" || !entry.is_regular_file()) continue;
    const std::unordered_set<std::string> old_lines = trimmed_records(macro);
    const std::string written = zvfuzz::read_file(entry.path().string());
    check(written.empty() || written.back() == '\n');
    std::size_t i = 0;
    while (i < written.size()) {
      const std::size_t j = written.find('\n', i);
      check(old_lines.count(written.substr(i, j - i)) == 1);
      i = j + 1;
    }
  }
  zvfuzz::clean_scratch({});
  return 0;
}
