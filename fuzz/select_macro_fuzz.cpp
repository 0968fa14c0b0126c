// kelvor's SE command on arbitrary bytes: the bytes up to the first NUL are
// a select macro file read with option 5, the rest are further answers to
// the SE dialogue (options, codes), over a small database that stays loaded
// between runs; the scratch folder is the working directory. Beyond "no crash": the selected count always equals the
// number of selected entries, and no entry outside the database changes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "capacities.h"
#include "commands.h"
#include "core/frame.h"
#include "fuzz_session.h"
#include "model.h"
#include "state.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

constexpr int kEntries = 6;
const char* const kNames[kEntries] = {"1cbs", "1cbsa", "2abc", "9xyz", "1cb", "z"};

kelvor::KelvorState& state() {
  static const std::unique_ptr<kelvor::KelvorState> st = [] {
    auto s = std::make_unique<kelvor::KelvorState>();
    for (int i = 0; i < kEntries; ++i) {
      kelvor::Entry& e = s->db.entries[i];
      e.name.assign(kNames[i]);
      e.pdb.assign("???");
      e.first = 0;
      e.count = 0;
    }
    s->db.nentries = kEntries;
    // The slot after the last entry is marked, to see that nothing touches it.
    s->db.entries[kEntries].name.assign("unused");
    s->db.entries[kEntries].selected = false;
    return s;
  }();
  return *st;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = bytes.find('\0');
  const std::string_view macro = bytes.substr(0, nul);
  const std::string_view more =
      nul == std::string_view::npos ? std::string_view() : bytes.substr(nul + 1);
  // A "/" in the answers is made "_": files they name stay in the scratch folder.
  std::string answers(more);
  for (char& c : answers) {
    if (c == '/') c = '_';
  }
  const zvfuzz::InScratch in_scratch;
  const std::string file = zvfuzz::write_file("user.sel", macro);

  kelvor::KelvorState& st = state();
  for (int i = 0; i < kEntries; ++i) st.db.entries[i].selected = true;
  st.db.nselected = kEntries;
  st.select_option = 1;
  st.select_code = "1cbs";
  st.files.select = "user.sel";

  {
    zvfuzz::Session session("5\n" + file + "\n" + answers + "\n0\n",
                            {kelvor::kUnitSelect});
    try {
      kelvor::cmd_select(st);
    } catch (const zv::Stop&) {
    }
  }

  int n = 0;
  for (int i = 0; i < kEntries; ++i) n += st.db.entries[i].selected ? 1 : 0;
  check(st.db.nselected == n);
  check(!st.db.entries[kEntries].selected && st.db.entries[kEntries].name.view() == "unused");
  check(st.db.nentries == kEntries);
  return 0;
}
