#include "run.h"

#include <sys/stat.h>

#include <string>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "hits.h"
#include "output.h"
#include "ranking.h"
#include "text/format.h"
#include "writer.h"

namespace martuk {

void open_old_macro(MartukState& st) {
  (void)zv::textii(" Mova macro (KELVOR/VOBRIL/KREMP/TALUN/FOSKAT/FOSKAL) ?", st.old_name,
                   kFileNameLen);
  if (zv::XOPXOA(kUnitOld, st.old_name, zv::ISINTR()) != 0) zv::ERRFAT("While opening file");
  // The hits are read once and the blocks are later copied by byte range,
  // so the macro is read from the file the open routines found, which must
  // be a plain file (a pipe cannot be read twice).
  const std::string path = zv::unit_name(kUnitOld);
  (void)zv::unit_close(kUnitOld);
  struct stat sb {};
  if (::stat(path.c_str(), &sb) != 0 || !S_ISREG(sb.st_mode)) {
    zv::ERRMSG("The Mova macro is not a plain file : " + path);
    zv::ERRFAT("While opening file");
  }
  if (st.old.open(path) != 0) zv::ERRFAT("While opening file");
}

void criteria_block(MartukState& st) {
  out_empty();
  std::string rule;
  zv::list_write_append(rule, {std::string(42, '-')});
  (void)zv::unit_write(zv::kUnitStdout, rule);
  out_empty();
  (void)zv::jvalii(" Min nr of matched atoms/residues/SSEs   ?", st.min_matches);
  (void)zv::jvaluo(" Min nr of matched atoms/residues/SSEs   :", st.min_matches);
  (void)zv::fvalii(" Max RMSD of matched atoms/residues/SSEs ?", st.max_rmsd);
  (void)zv::fvaluo(" Max RMSD of matched atoms/residues/SSEs :", st.max_rmsd);
}

void sort_block(MartukState& st) {
  out_empty();
  out_line(" Sorting hits ...");
  const std::vector<int> selected = select_hits(st.hits, st.min_matches, st.max_rmsd);
  if (selected.empty()) zv::ERRFAT(" No hits left !!!");
  st.order = order_hits(st.hits, selected, st.imode);
  out_empty();
  (void)zv::jvaluo(" Nr of hits left :", static_cast<int>(selected.size()));
  out_empty();
  int position = 0;
  for (int i : st.order) {
    list_hit(++position, st.hits[static_cast<std::size_t>(i)]);
  }
}

int menu() {
  out_empty();
  zv::TXTOUT(" Select one of the following options:");
  zv::TXTOUT(" 0 = re-enter criteria and re-sort");
  zv::TXTOUT(" 1 = write new Mova macro with current hits");
  zv::TXTOUT(" 2 = quit program without writing new Mova macro");
  zv::TXTOUT(" 3 = toggle sort mode (nr matches <-> RMSD)");
  // The prompt names options 0 to 2 only, though 3 is accepted too.
  int option = 0;
  (void)zv::jvalii(" Option (0, 1, 2) ?", option);
  return option;
}

void run(MartukState& st) {
  (void)zv::jvaluo(" Maximum number of hits :", kMaxHits);
  out_empty();

  open_old_macro(st);
  out_empty();
  out_line(" Reading hits ...");
  read_hits(st);
  index_blocks(st);

  out_empty();
  (void)zv::jvaluo(" Nr of hits (> 0 atoms/residues/SSEs) :", static_cast<int>(st.hits.size()));
  if (st.hits.empty()) zv::ERRFAT(" Too few hits");

  for (;;) {
    criteria_block(st);
    for (;;) {
      sort_block(st);
      const int option = menu();
      // End of input would otherwise take the default 0 again and again.
      if (zv::input_exhausted()) zv::ZVSTOP();
      if (option == 1) {
        write_new_macro(st);
        zv::ZVSTOP();
      }
      if (option == 2) zv::ZVSTOP();
      if (option != 3) break;
      st.imode = 1 - st.imode;
      std::string line;
      zv::list_write_append(line, {"IMODE", st.imode});
      (void)zv::unit_write(zv::kUnitStdout, line);
    }
  }
}

}  // namespace martuk
