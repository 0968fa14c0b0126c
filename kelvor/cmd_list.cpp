// LI: find entries by name, note or PDB file name and list them.
#include <string>

#include "commands.h"
#include "core/dialogue.h"
#include "core/strings.h"
#include "output.h"

namespace kelvor {

void cmd_list(KelvorState& st) {
  zv::textii(" Search on Name, Comment or Filename ?", st.list_field, 1);
  zv::UPCSTR(st.list_field);
  const std::string field = st.list_field;
  if (field != "N" && field != "C" && field != "F") return;

  zv::textii(" List secondary structure elements   ?", st.list_elements, 1);
  zv::UPCSTR(st.list_elements);
  const bool with_elements = st.list_elements == "Y";

  zv::textii(" Search string ?", st.mol_name, kMolNameLen);
  zv::NOBLANKS(st.mol_name);
  if (st.mol_name.empty()) return;
  // Names and notes are stored in lower case; file names keep their case.
  if (field != "F") zv::LOWSTR(st.mol_name);
  const std::string& text = st.mol_name;

  const Database& db = st.db;
  for (int i = 0; i < db.nentries; ++i) {
    const Entry& e = db.entries[i];
    const std::string_view where = field == "N" ? e.name.view() : field == "C" ? e.note.view() : e.pdb.view();
    if (where.find(text) == std::string_view::npos) continue;
    out_empty();
    print_entry_header(e.name.view(), e.note.view(), e.pdb.view());
    zv::jvaluo(" Nr of elements :", e.count);
    if (with_elements && e.count > 0) {
      print_element_header();
      for (int k = 0; k < e.count; ++k) print_element_line(k + 1, db.element(e, k));
    }
  }
}

}  // namespace kelvor
