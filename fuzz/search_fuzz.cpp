// kelvor's searches on arbitrary bytes: the bytes are split at their first two
// NUL bytes into the database (db.lib), the query (user.sse) and what the user
// types after reading them. The session loads db.lib, reads user.sse with RE
// and goes on with the typed commands, so IN and FI (and PA, SE, TO between
// them) run their dialogues and the solver over any database and query the
// loader accepts, writing the Mova macro and the VOBRIL file in the scratch
// folder (the working directory; a "/" in any part is made "_").
//
// Beyond "no crash": the run ends through ZVSTOP, the selection stays within
// the database, and every line of the macro and the VOBRIL file the search
// wrote ends in the blank that follows each item.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "capacities.h"
#include "commands.h"
#include "core/frame.h"
#include "fuzz_session.h"
#include "kelvor_state.h"
#include "search_files.h"
#include "state.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// Cuts `rest` at its first NUL: the part before it, and rest after it (all of
// rest, and rest empty, when there is none).
std::string_view take_part(std::string_view& rest) {
  const std::size_t nul = rest.find('\0');
  std::string_view part = rest.substr(0, nul);
  rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
  return part;
}

std::string without_slashes(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == '/') c = '_';
  }
  return out;
}

// Every non-empty line of a command file the search wrote ends in a blank.
void check_command_file(const char* name) {
  std::FILE* fp = std::fopen(name, "rb");
  if (!fp) return;  // not asked for, or not opened
  std::string line;
  int c;
  while ((c = std::fgetc(fp)) != EOF) {
    if (c != '\n') {
      line.push_back(static_cast<char>(c));
      continue;
    }
    check(line.empty() || line.back() == ' ');
    line.clear();
  }
  std::fclose(fp);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string db = without_slashes(take_part(rest));
  const std::string query = without_slashes(take_part(rest));
  const std::string typed = without_slashes(rest);

  const zvfuzz::InScratch in_scratch;
  (void)zvfuzz::write_file("db.lib", db);
  (void)zvfuzz::write_file("user.sse", query);
  // Library, no listing, no skipping, then the query.
  const std::string answers = "db.lib\nN\nN\nRE\nuser.sse\n" + typed;

  zvfuzz::run_kelvor(answers, {kelvor::kUnitLibrary, kelvor::kUnitPdbTest, kelvor::kUnitSelect,
                               kelvor::kUnitTopology, kelvor::kUnitMacro, kelvor::kUnitVobril});
  check_command_file("lsq.movamac");
  check_command_file("vobril.inp");
  zvfuzz::clean_scratch({});
  return 0;
}
