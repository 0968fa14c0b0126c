// CH: look for entries that share a molecule name or a PDB file name.
#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "commands.h"
#include "core/dialogue.h"
#include "core/messages.h"
#include "output.h"

namespace kelvor {

namespace {

using Groups = std::unordered_map<std::string_view, std::vector<int>>;

// Entries after i in the same group as i (ascending).
void later_in_group(const std::vector<int>& group, int i, std::vector<int>& out) {
  auto it = std::upper_bound(group.begin(), group.end(), i);
  out.assign(it, group.end());
}

void print_entry(const Entry& e, int index) {
  zv::jvaluo(" ENTRY :", index + 1);
  print_entry_header(e.name.view(), e.note.view(), e.pdb.view());
}

}  // namespace

void cmd_check(KelvorState& st) {
  const Database& db = st.db;
  out_line(" Checking ...");

  // One pass builds the groups of equal names and equal PDB file names, so
  // that the clashing pairs come out in the order of a pairwise comparison
  // (i ascending, then j ascending) without comparing every pair.
  Groups by_name, by_pdb;
  for (int i = 0; i < db.nentries; ++i) {
    by_name[db.entries[i].name.view()].push_back(i);
    by_pdb[db.entries[i].pdb.view()].push_back(i);
  }

  int clashes = 0;
  std::vector<int> same_name, same_pdb;
  for (int i = 0; i < db.nentries; ++i) {
    const Entry& a = db.entries[i];
    later_in_group(by_name[a.name.view()], i, same_name);
    later_in_group(by_pdb[a.pdb.view()], i, same_pdb);
    std::size_t n = 0, p = 0;
    while (n < same_name.size() || p < same_pdb.size()) {
      int j;
      bool name_clash;
      if (p >= same_pdb.size() || (n < same_name.size() && same_name[n] <= same_pdb[p])) {
        j = same_name[n++];
        name_clash = true;
        if (p < same_pdb.size() && same_pdb[p] == j) ++p;  // the name clash covers it
      } else {
        j = same_pdb[p++];
        name_clash = false;
      }
      zv::ERRMSG(name_clash ? "Identical molecule names !!!" : "Identical PDB file names !!!");
      out_empty();
      print_entry(a, i);
      print_entry(db.entries[j], j);
      ++clashes;
    }
  }
  out_empty();
  zv::jvaluo(" Nr of clashes :", clashes);
}

}  // namespace kelvor
