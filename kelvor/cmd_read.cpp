// RE: read the user's SSE file as the query.
#include <string>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/units.h"
#include "element_record.h"
#include "loader.h"
#include "output.h"
#include "sse_record.h"

namespace kelvor {

void read_query_file(Query& query) {
  out_empty();
  query.clear();
  int lines = 0;
  std::string line;
  SseRecord rec;
  ElementFields fields;
  for (;;) {
    const int rc = zv::unit_read_record(kUnitLibrary, line, kRecordLen);
    if (rc == -1) break;
    if (rc != 0) zv::ERRFAT("While reading user file");
    ++lines;
    parse_sse_record(line, rec);
    switch (rec.kind) {
      case RecordKind::Comment:
        break;
      case RecordKind::Remark:
        if (!value_text(rec.value).empty()) echo_keyword(rec.key, value_text(rec.value));
        break;
      case RecordKind::Mol:
        // A further MOL only renames the query: its elements accumulate.
        query.name.assign(mol_name_from_value(rec.value));
        query.pdb.assign("???");
        echo_keyword(rec.key, query.name.view());
        break;
      case RecordKind::Note:
        query.note.assign(note_from_value(rec.value));
        echo_keyword(rec.key, query.note.view());
        break;
      case RecordKind::Pdb:
        query.pdb.assign(pdb_name_from_value(rec.value));
        echo_keyword(rec.key, query.pdb.view());
        break;
      case RecordKind::End:
        echo_keyword("END", query.name.view());
        zv::jvaluo(" Nr of elements :", query.size());
        for (int k = 0; k < query.size(); ++k) print_element_line(k + 1, query.elements[k]);
        break;
      case RecordKind::Element:
        if (query.size() >= kMaxElementsPerEntry) {
          zv::ERRMSG("Too many elements; rest skipped");
          break;
        }
        if (read_element_record(rec.value, fields) != 0) zv::ERRFAT("While reading user file");
        query.elements.emplace_back();
        make_element(rec.type, fields, query.elements.back());
        break;
      default:
        zv::ERRMSG("Invalid keyword encountered");
        zv::textuo(" Key   :", rec.key);
        zv::textuo(" Value :", rec.value);
        break;
    }
  }
  out_empty();
  zv::unit_close(kUnitLibrary);
  zv::jvaluo(" Nr of lines read :", lines);
  zv::jvaluo(" Nr of elements   :", query.size());
  query.build_pair_tables();
}

void cmd_read(KelvorState& st) {
  const bool refused =
      zv::fileii(" User KELVOR file ?", st.files.user, kFileNameLen) == zv::kNameTooLong;
  std::string file = st.files.user;
  if (refused || zv::XOPXOA(kUnitLibrary, file, zv::ISINTR()) != 0) {
    zv::ERRMSG("While opening user KELVOR file");
    return;
  }
  st.files.user = file;
  read_query_file(st.query);
  st.find.reset();
}

}  // namespace kelvor
