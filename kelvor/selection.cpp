#include "selection.h"

#include <string>

#include "core/messages.h"
#include "core/strings.h"
#include "output.h"

namespace kelvor {

bool matches_prefix(std::string_view name, std::string_view code) {
  code = zv::rtrim(code);
  if (code.empty() || code.size() > name.size()) return false;
  return name.compare(0, code.size(), code) == 0;
}

int find_entry_by_prefix(const Database& db, std::string_view code, int start) {
  for (int i = start; i < db.nentries; ++i) {
    if (matches_prefix(db.entries[i].name.view(), code)) return i;
  }
  return -1;
}

void select_entries(Database& db, SelectMode mode, std::string_view code) {
  switch (mode) {
    case SelectMode::All:
    case SelectMode::None: {
      const bool on = mode == SelectMode::All;
      for (int i = 0; i < db.nentries; ++i) db.entries[i].selected = on;
      db.nselected = on ? db.nentries : 0;
      out_list(on ? "Selected ALL entries" : "Selected NONE of the entries");
      return;
    }
    case SelectMode::On:
    case SelectMode::Off: {
      const int i = find_entry_by_prefix(db, code);
      if (i < 0) {
        zv::ERRMSG("Invalid entry code: " + std::string(zv::rtrim(code)));
        return;
      }
      const bool on = mode == SelectMode::On;
      db.entries[i].selected = on;
      db.recount_selected();
      out_list((on ? "Select ON " : "Select OFF ") + std::string(zv::rtrim(code)));
      return;
    }
  }
}

}  // namespace kelvor
