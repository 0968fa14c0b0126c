// prynol on arbitrary bytes as the contents of its PDB file: the whole run
// (the four questions answered in batch, reading the CA atoms, VARSTO,
// forming the elements, writing the SSE file) as the program does it. Bytes
// that start with the gzip magic go into a ".gz" file, so the decompressing
// reader is fuzzed as well. A fatal error ends the run through zv::Stop,
// which is a normal outcome here; anything else that escapes is a fault.
//
// Beyond "no crash": the residues kept stay within their limit, the elements
// formed lie inside the molecule, and the SSE file, when written, ends with
// ENDMOL and each of its element lines reads back, as the database reader
// reads it, to the element's labels and length.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/frame.h"
#include "core/strings.h"
#include "core/units.h"
#include "fuzz_session.h"
#include "molecule.h"
#include "params.h"
#include "pdb_reader.h"
#include "run.h"
#include "text/read.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

// Every element line of the SSE file reads as the database reader reads it
// (a list-directed READ of three texts, an integer and six reals) and gives
// back the element's labels and length.
void check_elements_read_back(const std::string& out, const prynol::RunState& state) {
  std::size_t next = 0;  // the next element of at least kMinElementLength
  std::size_t pos = 0;
  while (pos < out.size()) {
    std::size_t nl = out.find('\n', pos);
    if (nl == std::string::npos) nl = out.size();
    const std::string_view line(out.data() + pos, nl - pos);
    pos = nl + 1;
    if (line.substr(0, 6) != "ALPHA " && line.substr(0, 6) != "BETA  ") continue;
    while (next < state.elements.size() &&
           state.elements[next].length() < prynol::kMinElementLength) {
      ++next;
    }
    check(next < state.elements.size());
    const prynol::Element& e = state.elements[next++];
    std::string name, from, to;
    int nres = 0;
    float xyz[6];
    zv::ReadItem items[] = {zv::ReadItem(name, 6), zv::ReadItem(from, 6), zv::ReadItem(to, 6),
                            zv::ReadItem(nres),    zv::ReadItem(xyz[0]),  zv::ReadItem(xyz[1]),
                            zv::ReadItem(xyz[2]),  zv::ReadItem(xyz[3]),  zv::ReadItem(xyz[4]),
                            zv::ReadItem(xyz[5])};
    const int rc = zv::list_read(line.substr(6), items);
    const bool same = rc == 0 && nres == e.length() &&
                      zv::rtrim(from) == state.mol.labels[static_cast<std::size_t>(e.first)] &&
                      zv::rtrim(to) == state.mol.labels[static_cast<std::size_t>(e.last)];
    if (!same) {
      std::fprintf(stderr, "element line does not read back (status %d): %.*s\n", rc,
                   static_cast<int>(line.size()), line.data());
      std::abort();
    }
  }
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
    const std::string out = zvfuzz::read_file(sse);
    check(out.size() >= 7 && out.compare(out.size() - 7, 7, "ENDMOL\n") == 0);
    check_elements_read_back(out, state);
  }
  return 0;
}
