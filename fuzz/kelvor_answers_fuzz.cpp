// kelvor on arbitrary bytes as its answers: byte 0 chooses the run mode
// (batch, interactive or socket), the rest is what the user types, over a
// small database, a user file and a select macro in the scratch folder (the
// working directory). A "/" in the answers is made "_", so every file the
// run opens or writes is in that folder; files written there under typed
// names are removed after each input. The run must end through ZVSTOP (a
// command loop meeting end of input stops) with the database untouched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "capacities.h"
#include "commands.h"
#include "core/frame.h"
#include "fuzz_session.h"
#include "kelvor_state.h"
#include "state.h"

namespace {

constexpr std::string_view kLibrary =
    "! kelvor test database\n"
    "REMARK three small entries\n"
    "MOL    1abc\n"
    "NOTE   Lysozyme  from   Hen\n"
    "PDB    1abc.pdb\n"
    "ALPHA  'A1' 'A5' 'A16' 12 1.230 -4.560 7.890 10.110 12.130 14.150\n"
    "BETA   'B1' 'A20' 'A24' 5 1.000 2.000 3.000 4.000 5.000 6.000\n"
    "BETA   'B2' 'A27' 'A31' 5 5.800 5.000 6.000 4.800 2.000 3.000\n"
    "ENDMOL\n"
    "MOL    1abd\n"
    "NOTE   Lysozyme mutant\n"
    "PDB    1ABD.pdb\n"
    "ALPHA  'A1' '5' '20' 16 0.000 0.000 0.000 0.000 0.000 24.000\n"
    "ENDMOL\n"
    "MOL    2xyz\n"
    "NOTE   Retinol binding protein\n"
    "PDB    2XYZ.pdb\n"
    "BETA   'B1' 'A1' 'A7' 7 0.000 0.000 0.000 0.000 20.000 0.000\n"
    "BETA   'B2' 'A10' 'A16' 7 4.800 20.000 0.000 4.800 0.000 0.000\n"
    "ALPHA  'H1' 'A20' 'A40' 21 10.000 10.000 10.000 10.000 10.000 40.000\n"
    "ENDMOL\n";

constexpr std::string_view kUser =
    "MOL    myprot\n"
    "NOTE   My  Model\n"
    "PDB    mine.pdb\n"
    "BETA   'B1' 'A0' 'A6' 7 0.000 0.000 0.000 0.000 10.000 0.000\n"
    "BETA   'B2' 'A4' 'A10' 7 4.800 10.000 0.000 4.800 0.000 0.000\n"
    "ALPHA  'H1' 'A30' 'A45' 16 0.000 5.000 12.000 15.000 5.000 12.000\n"
    "ENDMOL\n";

constexpr std::string_view kSelect = "SELECT NONE\nSELECT ON 1ab\nselect off \"2xyz\"\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char* modes[] = {"-B", "-I", "-S"};
  const char* mode = modes[data[0] % 3];
  std::string answers(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (char& c : answers) {
    if (c == '/') c = '_';
  }

  const zvfuzz::InScratch in_scratch;
  (void)zvfuzz::write_file("kelvor.lib", kLibrary);
  (void)zvfuzz::write_file("user.sse", kUser);
  (void)zvfuzz::write_file("user.sel", kSelect);
  (void)zvfuzz::write_file("1abc.pdb", "ATOM\n");

  zvfuzz::run_kelvor(answers,
                     {kelvor::kUnitLibrary, kelvor::kUnitPdbTest, kelvor::kUnitSelect,
                      kelvor::kUnitTopology},
                     mode);
  zvfuzz::clean_scratch({});
  return 0;
}
