// One line of an SSE file, read as "(A6,A)": the keyword in columns 1-6 and
// the value in the rest of the line (up to 1024 characters).
#pragma once

#include <string>
#include <string_view>

namespace kelvor {

enum class RecordKind {
  Comment,  // "!" in column 1
  Remark,   // REM...
  Chain,    // CHA...
  TypeMol,  // TYP...
  Mol,      // MOL...
  Note,     // NOT...
  Pdb,      // PDB...
  End,      // END...
  Element,  // one of the SSE type keywords (all six columns)
  Other,
};

struct SseRecord {
  RecordKind kind = RecordKind::Other;
  std::string key;         // columns 1-6, blank padded, upper-cased
  std::string_view value;  // columns 7-1030 (a view into the line)
  int type = 0;            // for Element: the type number
};

// Splits and classifies a line; rec.value points into line.
void parse_sse_record(std::string_view line, SseRecord& rec);

// The value without trailing blanks.
std::string_view value_text(std::string_view value);

// The stored forms of the MOL, NOTE and PDB values: the value cut to the
// field width, then the name lower-cased without blanks, the note
// lower-cased with runs of blanks reduced to one, the file name without
// blanks.
std::string mol_name_from_value(std::string_view value);
std::string note_from_value(std::string_view value);
std::string pdb_name_from_value(std::string_view value);

}  // namespace kelvor
