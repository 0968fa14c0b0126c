#include "run.h"

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/units.h"
#include "elements.h"
#include "pdb_reader.h"
#include "sse_writer.h"
#include "varsto.h"

namespace prynol {

namespace {

void empty_line() { (void)zv::unit_write_line(zv::kUnitStdout, ""); }

void ask(std::string_view prompt, std::string& value, int len) {
  empty_line();
  (void)zv::textii(prompt, value, len);
}

// A file name question: false when the answer was refused as too long.
bool ask_file(std::string_view prompt, std::string& file, int len) {
  empty_line();
  return zv::fileii(prompt, file, len) != zv::kNameTooLong;
}

void read_ca_atoms(RunState& run) {
  zv::TXTOUT("0Reading PDB file ...");
  if (run.pdb_file_refused || zv::XOPXOA(kUnit, run.pdb_file, zv::ISINTR()) != 0)
    zv::ERRFAT("While opening PDB file");
  const ReadResult result = read_pdb(kUnit, run.mol);
  switch (result.status) {
    case ReadStatus::Ok:
      break;
    case ReadStatus::TooManyResidues:
      empty_line();
      (void)zv::jvaluo(" Max nr of residues :", kMaxResidues);
      zv::ERRFAT("Too many residues");
    case ReadStatus::BadCoordinates:
      // A CA line whose coordinates cannot be read is a read error of the
      // file: stopping here keeps a wrong or partial SSE file from being
      // written.
    case ReadStatus::ReadError:
      zv::ERRFAT("While reading PDB file");
  }
  (void)zv::unit_close(kUnit);
  empty_line();
  (void)zv::jvaluo(" Nr of residues read :", run.mol.size());
}

void write_elements(RunState& run) {
  zv::TXTOUT("0Writing SSE file ...");
  if (run.sse_file_refused || zv::XOPXUA(kUnit, run.sse_file, zv::ISINTR()) != 0)
    zv::ERRFAT("While opening SSE file");
  SseCounts counts;
  int err = write_sse(kUnit, run, counts);
  // Closing flushes the file: a full disk shows up here at the latest.
  const int close_err = zv::unit_close(kUnit);
  if (err == 0) err = close_err;
  if (err != 0) zv::ERRFAT("While writing SSE file");
  (void)zv::jvaluo(" Nr of ALPHA helices :", counts.helices);
  (void)zv::jvaluo(" Nr of BETA  strands :", counts.strands);
}

}  // namespace

void run(RunState& run) {
  ask(" 4-Character molecule name or ID ?", run.mol_id, kMolIdLen);
  ask(" Description of molecule         ?", run.note, kNoteLen);
  run.pdb_file_refused = !ask_file(" Full pathname of input PDB file ?", run.pdb_file, kFileLen);
  run.sse_file_refused = !ask_file(" Name of output SSE file         ?", run.sse_file, kFileLen);

  read_ca_atoms(run);

  zv::TXTOUT("0Doing VARSTO ...");
  varsto(run.mol);
  (void)zv::jvaluo(" Nr of ALPHA residues :", count_type(run.mol.type, kAlpha));
  (void)zv::jvaluo(" Nr of BETA  residues :", count_type(run.mol.type, kBeta));
  form_elements(run.mol.type, run.elements);

  write_elements(run);
}

}  // namespace prynol
