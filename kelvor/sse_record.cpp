#include "sse_record.h"

#include "core/strings.h"
#include "capacities.h"
#include "model.h"

namespace kelvor {

void parse_sse_record(std::string_view line, SseRecord& rec) {
  rec.key.assign(line.substr(0, kKeywordLen));
  rec.key.resize(kKeywordLen, ' ');
  rec.value = line.size() > static_cast<std::size_t>(kKeywordLen)
                  ? line.substr(kKeywordLen, kValueLen)
                  : std::string_view();
  rec.type = 0;
  if (rec.key[0] == '!') {
    rec.kind = RecordKind::Comment;
    return;
  }
  zv::UPCSTR(rec.key);
  const std::string_view k3 = std::string_view(rec.key).substr(0, 3);
  if (k3 == "REM") rec.kind = RecordKind::Remark;
  else if (k3 == "CHA") rec.kind = RecordKind::Chain;
  else if (k3 == "TYP") rec.kind = RecordKind::TypeMol;
  else if (k3 == "MOL") rec.kind = RecordKind::Mol;
  else if (k3 == "NOT") rec.kind = RecordKind::Note;
  else if (k3 == "PDB") rec.kind = RecordKind::Pdb;
  else if (k3 == "END") rec.kind = RecordKind::End;
  else if ((rec.type = find_sse_type(rec.key)) > 0) rec.kind = RecordKind::Element;
  else rec.kind = RecordKind::Other;
}

std::string_view value_text(std::string_view value) { return zv::rtrim(value); }

std::string mol_name_from_value(std::string_view value) {
  std::string s = zv::fit(value, kMolNameLen);
  zv::NOBLANKS(s);
  zv::LOWSTR(s);
  return std::string(zv::rtrim(s));
}

std::string note_from_value(std::string_view value) {
  std::string s = zv::fit(value, kNoteLen);
  zv::LOWSTR(s);
  zv::ONEBLANK(s);
  return std::string(zv::rtrim(s));
}

std::string pdb_name_from_value(std::string_view value) {
  std::string s = zv::fit(value, kPdbNameLen);
  zv::NOBLANKS(s);
  return std::string(zv::rtrim(s));
}

}  // namespace kelvor
