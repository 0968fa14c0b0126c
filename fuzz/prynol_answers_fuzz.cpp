// prynol on arbitrary bytes as its answers: byte 0 chooses the run mode
// (batch, interactive or socket), the rest is what the user types to the
// four questions and to the questions after a failed open, with a small PDB
// file in the scratch folder (the working directory). A "/" in the answers
// is made "_", so every file opened or written is in that folder; files
// written there are removed after each input. The run must end, through
// ZVSTOP or by returning.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/frame.h"
#include "fuzz_session.h"
#include "molecule.h"
#include "params.h"
#include "run.h"

namespace {

// Eight residues of a helix, with one line that is no CA atom.
constexpr std::string_view kPdb =
    "HEADER    FUZZ\n"
    "ATOM      1  N   ALA A   1      -0.422   1.402  -1.155  1.00  0.00           N  \n"
    "ATOM      2  CA  ALA A   1       2.300   0.000   0.000  1.00  0.00           C  \n"
    "ATOM      3  CA  ALA A   2       0.700   2.200   1.500  1.00  0.00           C  \n"
    "ATOM      4  CA  ALA A   3      -1.900   1.400   3.000  1.00  0.00           C  \n"
    "ATOM      5  CA  ALA A   4      -1.900  -1.400   4.500  1.00  0.00           C  \n"
    "ATOM      6  CA  ALA A   5       0.700  -2.200   6.000  1.00  0.00           C  \n"
    "ATOM      7  CA  ALA A   6       2.300   0.000   7.500  1.00  0.00           C  \n"
    "ATOM      8  CA  ALA A   7       0.700   2.200   9.000  1.00  0.00           C  \n"
    "ATOM      9  CA  ALA A   8      -1.900   1.400  10.500  1.00  0.00           C  \n"
    "END\n";

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
  (void)zvfuzz::write_file("user.pdb", kPdb);
  {
    prynol::RunState state;
    zvfuzz::Session session(answers, {prynol::kUnit}, mode);
    try {
      prynol::run(state);
      zv::ZVSTOP();
    } catch (const zv::Stop&) {
    }
  }
  zvfuzz::clean_scratch({});
  return 0;
}
