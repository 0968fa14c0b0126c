#include "loader.h"

#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/units.h"
#include "element_record.h"
#include "output.h"
#include "sse_record.h"

namespace kelvor {

namespace {

class DatabaseLoader {
 public:
  DatabaseLoader(Database& db, const LoadOptions& opt) : db_(db), opt_(opt) {}

  void run() {
    remember_file();
    std::string line;
    SseRecord rec;
    for (;;) {
      const int rc = zv::unit_read_record(kUnitLibrary, line, kRecordLen);
      if (rc == -1) break;
      if (rc != 0) zv::ERRFAT("While reading database file");
      ++lines_;
      parse_sse_record(line, rec);
      if (!handle(rec)) break;
    }
    finish();
  }

 private:
  Entry* current() { return cur_ < 0 ? nullptr : &db_.entries[cur_]; }
  std::string_view current_name() { return cur_ < 0 ? std::string_view() : db_.entries[cur_].name.view(); }
  void last_structure() { zv::textuo(" Last structure read :", current_name()); }

  // One record; false ends the reading.
  bool handle(const SseRecord& rec) {
    switch (rec.kind) {
      case RecordKind::Comment:
      case RecordKind::TypeMol:
        return true;
      case RecordKind::Remark:
        if (opt_.list && !value_text(rec.value).empty()) echo_keyword(rec.key, value_text(rec.value));
        return true;
      case RecordKind::Chain:
        return chain(rec);
      case RecordKind::Mol:
        return mol(rec);
      case RecordKind::Note:
        note(rec);
        return true;
      case RecordKind::Pdb:
        pdb(rec);
        return true;
      case RecordKind::End:
        end(rec);
        return true;
      case RecordKind::Element:
        if (cur_ >= 0) return element(rec);
        invalid(rec);
        return true;
      case RecordKind::Other:
        invalid(rec);
        return true;
    }
    return true;
  }

  // Remembers the file open on unit 11; false when it was read before in
  // this load (files that chain to each other would be read for ever).
  bool remember_file() {
    struct stat sb {};
    if (::stat(zv::unit_name(kUnitLibrary).c_str(), &sb) != 0) return true;
    const std::pair<dev_t, ino_t> id{sb.st_dev, sb.st_ino};
    for (const auto& f : files_) {
      if (f == id) return false;
    }
    files_.push_back(id);
    return true;
  }

  // False when the named file was read before: reading then stops.
  bool chain(const SseRecord& rec) {
    zv::jvaluo(" Nr of lines read  :", lines_);
    zv::jvaluo(" Nr of entries now :", db_.nentries);
    // The file name is the value without its surrounding blanks.
    std::string_view v = value_text(rec.value);
    while (!v.empty() && v.front() == ' ') v.remove_prefix(1);
    std::string file(v);
    echo_keyword(rec.key, file);
    zv::unit_close(kUnitLibrary);
    if (zv::XOPXOA(kUnitLibrary, file, zv::ISINTR()) != 0) {
      zv::ERRFAT("While opening KELVOR database file");
    }
    if (!remember_file()) {
      zv::ERRMSG("CHAIN to a file read before; rest skipped");
      zv::textuo(" File >", file);
      db_.incomplete = true;
      return false;
    }
    lines_ = 0;
    return true;
  }

  bool mol(const SseRecord& rec) {
    // The current slot is taken again when its entry holds no elements, or
    // when its PDB file was found missing in skip mode.
    const bool reuse = cur_ >= 0 && (db_.entries[cur_].count == 0 ||
                                     (opt_.skip_missing && !db_.entries[cur_].pdb_exists));
    // The elements of a dropped entry stay in the element table: they were
    // read, count in the total (and its limit) and in " Nr of SSEs read".
    if (!reuse) {
      if (db_.nentries >= kMaxEntries) {
        zv::ERRMSG("Too many entries; rest skipped");
        last_structure();
        db_.incomplete = true;
        return false;
      }
      cur_ = db_.nentries++;
    }
    Entry& e = db_.entries[cur_];
    e.first = db_.total_elements();
    e.count = 0;
    e.type_count.fill(0);
    e.name.assign(mol_name_from_value(rec.value));
    e.note.clear();
    e.pdb.assign("???");
    e.pdb_exists = true;
    e.selected = true;
    if (opt_.list) echo_keyword(rec.key, e.name.view());
    return true;
  }

  void note(const SseRecord& rec) {
    if (cur_ < 0) {
      zv::ERRMSG("Missing MOL statement; NOTE ignored");
      last_structure();
      return;
    }
    Entry& e = db_.entries[cur_];
    e.note.assign(note_from_value(rec.value));
    if (opt_.list && !e.note.empty()) echo_keyword(rec.key, e.note.view());
  }

  void pdb(const SseRecord& rec) {
    if (cur_ < 0) {
      zv::ERRMSG("Missing MOL statement; PDB ignored");
      last_structure();
      return;
    }
    Entry& e = db_.entries[cur_];
    e.pdb.assign(pdb_name_from_value(rec.value));
    if (opt_.list && !e.pdb.empty()) echo_keyword(rec.key, e.pdb.view());
    if (!opt_.skip_missing) return;
    std::string file = e.pdb.str();
    const int ierr = zv::XOPENR(kUnitPdbTest, file, "OLD", "FORMATTED", true, false);
    zv::unit_close(kUnitPdbTest);
    e.pdb_exists = ierr == 0;
    if (!e.pdb_exists) {
      zv::ERRMSG("PDB file does not exist; SKIP");
      zv::textuo(" File >", e.pdb.view());
    }
  }

  void end(const SseRecord&) {
    if (cur_ < 0) {
      zv::ERRMSG("Invalid ENDMOL statement");
      last_structure();
      return;
    }
    if (!opt_.list) return;
    const Entry& e = db_.entries[cur_];
    echo_keyword("END", e.name.view());
    zv::jvaluo(" Nr of elements :", e.count);
    for (int k = 0; k < e.count; ++k) print_element_line(k + 1, db_.element(e, k));
  }

  bool element(const SseRecord& rec) {
    Entry& e = db_.entries[cur_];
    if (e.count >= kMaxElementsPerEntry) {
      zv::ERRMSG("Too many elements; rest skipped");
      last_structure();
      db_.incomplete = true;
      return true;
    }
    if (db_.total_elements() >= kMaxElements) {
      zv::ERRMSG("Too many SSEs in total; rest skipped");
      zv::jvaluo(" Maximum allowed :", kMaxElements);
      db_.incomplete = true;
      return false;
    }
    if (read_element_record(rec.value, fields_) != 0) zv::ERRFAT("While reading database file");
    ++e.count;
    ++e.type_count[rec.type - 1];
    db_.elements.emplace_back();
    make_element(rec.type, fields_, db_.elements.back());
    return true;
  }

  void invalid(const SseRecord& rec) {
    zv::ERRMSG("Invalid keyword encountered");
    zv::textuo(" Key   :", rec.key);
    zv::textuo(" Value :", rec.value);
    last_structure();
  }

  void finish() {
    out_empty();
    zv::unit_close(kUnitLibrary);
    if (cur_ >= 0 && db_.entries[cur_].count == 0) --db_.nentries;
    db_.recount_selected();
    zv::jvaluo(" Nr of lines read :", lines_);
    zv::jvaluo(" Nr of entries    :", db_.nentries);
    zv::jvaluo(" Nr of SSEs read  :", db_.total_elements());
  }

  Database& db_;
  const LoadOptions& opt_;
  int cur_ = -1;
  int lines_ = 0;
  ElementFields fields_;
  std::vector<std::pair<dev_t, ino_t>> files_;  // files read so far
};

}  // namespace

void load_database(Database& db, const LoadOptions& opt) {
  DatabaseLoader loader(db, opt);
  loader.run();
}

}  // namespace kelvor
