// SE: select the entries the searches look at, one by one, all at once, or
// from a select macro file.
#include <array>
#include <string>

#include "commands.h"
#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "output.h"
#include "selection.h"

namespace kelvor {

namespace {

void print_selected_count(const Database& db) { zv::jvaluo(" Nr of selected entries now :", db.nselected); }

std::string clean_code(std::string code) {
  zv::NOBLANKS(code);
  zv::LOWSTR(code);
  return code;
}

// Applies one line of a select macro file.
void apply_select_line(Database& db, std::string line) {
  zv::UPCSTR(line);
  zv::ONEBLANK(line);
  if (!line.empty() && line[0] == '!') return;
  std::array<std::string, kMaxSelectItems> items;
  int nitems = 0, ierr = 0;
  zv::EXTROP(line, nitems, kMaxSelectItems, items, kSelectItemLen, ierr);
  if (ierr != 0 || nitems < 1) return;
  if (zv::rtrim(items[0]) != "SELECT") {
    zv::ERRMSG("Invalid line: " + std::string(zv::rtrim(line)));
    return;
  }
  const std::string_view word = nitems >= 2 ? zv::rtrim(items[1]) : std::string_view();
  const std::string code = nitems >= 3 ? clean_code(items[2]) : std::string();
  if (word == "ALL") select_entries(db, SelectMode::All);
  else if (word == "NONE") select_entries(db, SelectMode::None);
  else if (word == "ON") select_entries(db, SelectMode::On, code);
  else if (word == "OFF") select_entries(db, SelectMode::Off, code);
  else zv::ERRMSG("Invalid select keyword: " + std::string(word));
}

void read_select_macro(KelvorState& st) {
  const bool refused =
      zv::fileii(" Select macro file ?", st.files.select, kFileNameLen) == zv::kNameTooLong;
  std::string file = st.files.select;
  if (refused || zv::XOPXOA(kUnitSelect, file, zv::ISINTR()) != 0) {
    zv::ERRMSG("While opening select macro file");
    return;
  }
  std::string line;
  while (zv::unit_read_record(kUnitSelect, line, kValueLen) == 0) {
    apply_select_line(st.db, line);
  }
  zv::unit_close(kUnitSelect);
  out_empty();
  print_selected_count(st.db);
  out_empty();
}

// Options 6 and 7: codes until an empty answer.
void select_many(Database& db, SelectMode mode) {
  for (;;) {
    std::string code;
    zv::textii(" PDB code (RETURN to end) ?", code, kMolNameLen);
    if (zv::LENSTR(code) == 0) return;
    select_entries(db, mode, clean_code(code));
    print_selected_count(db);
  }
}

}  // namespace

void cmd_select(KelvorState& st) {
  for (;;) {
    out_empty();
    for (const char* line : {"Options :", "(0) Back to main KELVOR menu", "(1) Select ALL entries",
                             "(2) Select NONE of the entries", "(3) Select ON for one entry",
                             "(4) Select OFF for one entry", "(5) Read a select macro file",
                             "(6) Select ON for multiple entries",
                             "(7) Select OFF for multiple entries"}) {
      out_list(line);
    }
    zv::ivalii(" Option (1-7) ?", st.select_option);
    if (zv::input_exhausted()) zv::ZVSTOP();
    const int option = st.select_option;
    if (option < 1 || option > 7) return;
    switch (option) {
      case 1:
        select_entries(st.db, SelectMode::All);
        break;
      case 2:
        select_entries(st.db, SelectMode::None);
        break;
      case 3:
      case 4:
        zv::textii(" PDB code ?", st.select_code, kMolNameLen);
        st.select_code = clean_code(st.select_code);
        select_entries(st.db, option == 3 ? SelectMode::On : SelectMode::Off, st.select_code);
        break;
      case 5:
        read_select_macro(st);
        continue;
      case 6:
      case 7:
        select_many(st.db, option == 6 ? SelectMode::On : SelectMode::Off);
        continue;
    }
    print_selected_count(st.db);
  }
}

}  // namespace kelvor
