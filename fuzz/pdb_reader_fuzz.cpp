// prynol on arbitrary bytes as the contents of its PDB file: the whole run
// (the four questions answered in batch, reading the CA atoms, VARSTO,
// forming the elements, writing the SSE file) as the program does it. Bytes
// that start with the gzip magic go into a ".gz" file, so the decompressing
// reader is fuzzed as well. A fatal error ends the run through zv::Stop,
// which is a normal outcome here; anything else that escapes is a fault.
//
// Beyond "no crash": every CA line the reader accepted has finite or
// non-finite coordinates as read, the elements formed lie inside the
// molecule, and the SSE file, when written, ends with ENDMOL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "core/frame.h"
#include "core/units.h"
#include "fuzz_session.h"
#include "molecule.h"
#include "params.h"
#include "pdb_reader.h"
#include "run.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool gz = bytes.size() >= 2 && bytes[0] == '\x1f' && bytes[1] == '\x8b';
  const std::string pdb = zvfuzz::write_file(gz ? "in.pdb.gz" : "in.pdb", bytes);
  const std::string sse = zvfuzz::scratch_dir() + "/out.sse";
  std::remove(sse.c_str());

  prynol::RunState state;
  bool stopped = false;
  {
    zvfuzz::Session session("FUZZ\nfuzzed entry\n" + pdb + "\n" + sse + "\n", {prynol::kUnit});
    try {
      prynol::run(state);
    } catch (const zv::Stop&) {
      stopped = true;
    }
  }

  const prynol::Molecule& mol = state.mol;
  check(mol.size() <= prynol::kMaxResidues);
  check(mol.xyz.size() == 3 * static_cast<std::size_t>(mol.size()));
  check(mol.type.size() == static_cast<std::size_t>(mol.size()));
  for (const prynol::Element& e : state.elements) {
    check(e.first >= 0 && e.first < e.last && e.last < mol.size());
    check(e.kind == prynol::kAlpha || e.kind == prynol::kBeta);
  }
  if (!stopped) {
    const std::string out = slurp(sse);
    check(out.size() >= 7 && out.compare(out.size() - 7, 7, "ENDMOL\n") == 0);
  }
  return 0;
}
