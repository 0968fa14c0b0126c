// Reading the CA atoms of a PDB file: every ATOM or HETATM line whose atom
// name (columns 13-16) is exactly " CA " is one residue, in file order, with
// two exceptions that real entries need:
// - only the first model is read: reading stops at the first ENDMDL record
//   (a file without MODEL records is read whole);
// - of the CA lines of one residue (same columns 22-27: chain, number and
//   insertion code) that carry an alternate-location indicator (column 17
//   not blank), only the first is kept: the other conformations are the
//   same residue. CA lines with a blank indicator are all kept.
#pragma once

#include <string>
#include <string_view>

#include "molecule.h"

namespace prynol {

enum class CaLine {
  Other,           // not an ATOM/HETATM record, or not a " CA " atom
  Accepted,        // label and coordinates filled
  BadCoordinates,  // a CA line whose columns 31-54 cannot be read with (3f8.2)
};

// Classifies one line (read into a 256-column buffer: longer lines are cut,
// shorter ones blank padded). For a CA line, label receives columns 22-27
// without blanks and xyz the coordinates of columns 31-54.
CaLine parse_ca_line(std::string_view line, std::string& label, float xyz[3]);

enum class ReadStatus { Ok, TooManyResidues, ReadError, BadCoordinates };

struct ReadResult {
  ReadStatus status = ReadStatus::Ok;
  int line_number = 0;  // record of the failure (1-based), 0 on success
  int io_error = 0;     // the unit's error number after a read error
};

// Reads the file open on unit until end of file or the first ENDMDL,
// appending the residues to mol. Stops at the first failure; at most
// kMaxResidues residues are kept.
ReadResult read_pdb(int unit, Molecule& mol);

}  // namespace prynol
