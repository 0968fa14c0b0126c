// EX: write database entries to SSE files that RE reads back.
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
#include "sse_writer.h"
#include "text/format.h"

namespace kelvor {

namespace {

void write_line(std::string_view label, std::string_view value) {
  std::string line(label);
  line += value;
  (void)zv::unit_write_line(kUnitLibrary, line);
}

// A text for a quoted item: a quote inside it is doubled, as the
// list-directed reader of RE expects.
std::string quote_safe(std::string_view text) {
  std::string s;
  for (char c : text) {
    s += c;
    if (c == '\'') s += c;
  }
  return s;
}

}  // namespace

// The element record as EX writes it: keyword in columns 1-6, then the
// quoted labels, nres and the coordinates separated by single blanks.
std::string element_record_line(const Element& e) {
  // Every number gets a blank before it and a field wide enough for any
  // value: in the classic layout (I3 and 2(1X,3F8.3)) a coordinate of -100 or
  // less fills its field and runs into the one before it, and a wider number
  // turns into asterisks, so the line no longer reads back. Once blanks are
  // collapsed, the line is the same as in that layout for every value that
  // layout writes readably.
  const zv::FmtItem numbers[] = {e.nres,      e.head[0], e.head[1], e.head[2],
                                 e.tail[0], e.tail[1], e.tail[2]};
  std::string rest;
  (void)zv::format_internal(rest, kValueLen, "(1X,I11,6(1X,F48.3))", numbers);
  zv::ONEBLANK(rest);
  // The quoted labels are taken whole: blanks inside a label are part of it
  // and are not collapsed, so that the label reads back as it was.
  std::string rec(type_keyword(e.type));
  for (const auto* text : {&e.name, &e.from, &e.to}) {
    rec += '\'';
    rec += quote_safe(text->view());
    rec += "' ";
  }
  rec += zv::rtrim(rest);
  return rec;
}

// Writes one entry to the SSE file open on unit 11.
void write_sse_file(const Database& db, const Entry& e, std::string_view file) {
  write_line("! File ", file);
  write_line("! Date ", zv::DATETM());
  write_line("! Mol  ", e.name.view());
  write_line("!", "");
  write_line("MOL   ", e.name.view());
  write_line("NOTE  ", e.note.view());
  write_line("PDB   ", e.pdb.view());
  write_line("!", "");
  for (int k = 0; k < e.count; ++k) write_line(element_record_line(db.element(e, k)), "");
  write_line("ENDMOL", "");
}

void cmd_extract(KelvorState& st) {
  zv::textii(" Molecule name ?", st.mol_name, kMolNameLen);
  zv::NOBLANKS(st.mol_name);
  if (st.mol_name.empty()) return;
  zv::LOWSTR(st.mol_name);

  const Database& db = st.db;
  bool any = false;
  for (int i = 0; i < db.nentries; ++i) {
    const Entry& e = db.entries[i];
    if (!matches_prefix(e.name.view(), st.mol_name)) continue;
    any = true;
    out_empty();
    print_entry_header(e.name.view(), e.note.view(), e.pdb.view());
    zv::jvaluo(" Nr of elements :", e.count);
    const bool refused =
        zv::fileii(" Filename ?", st.files.out_sse, kFileNameLen) == zv::kNameTooLong;
    if (refused) continue;  // said; no file of another name is opened
    std::string file = st.files.out_sse;
    if (zv::XOPXNA(kUnitLibrary, file, zv::ISINTR()) != 0) {
      zv::ERRMSG("Unable to open file " + file);
      continue;
    }
    write_sse_file(db, e, file);
    // A file that could not be written whole is removed and the command
    // ends: the next file would most likely fail the same way.
    if (zv::close_written_file(kUnitLibrary, file) != 0) return;
  }
  // Said, so that a batch user sees why the next answer is taken as an option.
  if (!any) zv::ERRMSG("No entry matches " + st.mol_name);
}

}  // namespace kelvor
