// kelvor on arbitrary bytes as SSE files: the bytes are its database (with
// CHAIN lines to two more files made from the bytes), read at start-up in
// listing or skip mode as the two start-up questions choose, then RE reads
// the same file as the query and the commands that walk the loaded data run
// over it (ST, CH, LI, EX, TO, SE), as a user's session would.
//
// The bytes are split at their first two NUL bytes into db.lib, a.lib and
// b.lib in a scratch folder that is the working directory; a "/" in CHAIN
// and PDB lines is made "_", so every file opened is one of these (or
// missing). Chained files that refer to each other must not loop.
//
// Beyond "no crash": every element record that the fast path of the element
// reader accepts reads the same through the general list-directed reader,
// and every element loaded is written by EX as a line that reads back to the
// same labels and residue count.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "capacities.h"
#include "commands.h"
#include "core/frame.h"
#include "core/strings.h"
#include "core/units.h"
#include "element_record.h"
#include "fuzz_session.h"
#include "kelvor_state.h"
#include "model.h"
#include "sse_record.h"
#include "sse_writer.h"
#include "state.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.push_back(line);
    pos = nl + 1;
  }
  return out;
}

// The text with every "/" in CHAIN and PDB lines made "_": the files those
// lines name then stay inside the scratch folder.
std::string confined(std::string_view text) {
  std::string out(text);
  std::size_t pos = 0;
  while (pos < out.size()) {
    std::size_t nl = out.find('\n', pos);
    if (nl == std::string::npos) nl = out.size();
    const std::string key = zv::upper(std::string_view(out).substr(pos, std::min<std::size_t>(nl - pos, 3)));
    if (key == "CHA" || key == "PDB") {
      for (std::size_t i = pos; i < nl; ++i) {
        if (out[i] == '/') out[i] = '_';
      }
    }
    pos = nl + 1;
  }
  return out;
}

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The fast path of the element reader against the general reader.
void check_element_record(std::string_view value) {
  kelvor::ElementFields fast, general;
  if (!kelvor::read_element_record_fast(value, fast)) {
    (void)kelvor::read_element_record(value, general);
    return;
  }
  check(kelvor::read_element_record_general(value, general) == 0);
  check(fast.name == general.name && fast.from == general.from && fast.to == general.to);
  check(fast.nres == general.nres);
  for (int k = 0; k < 6; ++k) check(same_bits(fast.xyz[k], general.xyz[k]));
}

// EX's line of a loaded element reads back to it.
void check_round_trip(const kelvor::Element& e) {
  const std::string line = kelvor::element_record_line(e);
  kelvor::SseRecord rec;
  kelvor::parse_sse_record(line, rec);
  check(rec.kind == kelvor::RecordKind::Element && rec.type == e.type);
  kelvor::ElementFields f;
  const int rc = kelvor::read_element_record(rec.value, f);
  kelvor::Element back;
  kelvor::make_element(rec.type, f, back);
  if (rc != 0 || !(back.name == e.name && back.from == e.from && back.to == e.to &&
                   back.nres == e.nres)) {
    std::fprintf(stderr, "EX line does not read back (status %d):\n[%s]\n", rc, line.c_str());
    std::fprintf(stderr, "stored [%.*s] [%.*s] [%.*s] %d\n", e.name.size(), e.name.view().data(),
                 e.from.size(), e.from.view().data(), e.to.size(), e.to.view().data(), e.nres);
    std::fprintf(stderr, "read   [%.*s] [%.*s] [%.*s] %d\n", back.name.size(),
                 back.name.view().data(), back.from.size(), back.from.view().data(),
                 back.to.size(), back.to.view().data(), back.nres);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zvfuzz::InScratch in_scratch;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // db.lib, a.lib, b.lib; a file the bytes do not reach does not exist.
  std::string parts[3];
  int nparts = 0;
  {
    std::string_view rest = bytes;
    while (nparts < 2) {
      const std::size_t nul = rest.find('\0');
      if (nul == std::string_view::npos) break;
      parts[nparts++] = confined(rest.substr(0, nul));
      rest.remove_prefix(nul + 1);
    }
    parts[nparts++] = confined(rest);
  }
  const char* names[3] = {"db.lib", "a.lib", "b.lib"};
  for (int p = 0; p < 3; ++p) {
    if (p < nparts) {
      (void)zvfuzz::write_file(names[p], parts[p]);
    } else {
      std::remove(names[p]);
    }
  }
  std::remove("out.sse");
  std::remove("topo.zev");

  // Listing and skip mode from two bits of the bytes' sum.
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum += data[i];
  const std::string answers = std::string("db.lib\n") + ((sum & 1) ? "Y\n" : "N\n") +
                              ((sum & 2) ? "Y\n" : "N\n") +
                              "RE\ndb.lib\n"
                              "ST\n"
                              "CH\n"
                              "LI\nN\nY\n\n"
                              "LI\nC\nN\na\n"
                              "LI\nF\nN\nlib\n"
                              "EX\n\n\n"
                              "TO\n\n\n\n"
                              "TO\n-1\n1e30\n\n"
                              "SE\n1\n3\n\n2\n0\n"
                              "RE\nout.sse\nTO\n\n\n\n"
                              "QU\n";

  kelvor::KelvorState* st = zvfuzz::fresh_kelvor_state();
  {
    zvfuzz::Session session(answers, {kelvor::kUnitLibrary, kelvor::kUnitPdbTest,
                                      kelvor::kUnitSelect, kelvor::kUnitTopology});
    try {
      kelvor::startup(*st);
      kelvor::command_loop(*st);
    } catch (const zv::Stop&) {
    }
  }

  const kelvor::Database& db = st->db;
  check(db.nentries >= 0 && db.nentries <= kelvor::kMaxEntries);
  check(db.total_elements() <= kelvor::kMaxElements);
  for (int i = 0; i < db.nentries; ++i) {
    const kelvor::Entry& e = db.entries[i];
    check(e.count >= 0 && e.count <= kelvor::kMaxElementsPerEntry);
    check(e.first >= 0 && e.first + e.count <= db.total_elements());
  }
  check(st->query.size() <= kelvor::kMaxElementsPerEntry);
  for (const kelvor::Element& e : db.elements) check_round_trip(e);

  for (int p = 0; p < nparts; ++p) {
    for (std::string_view line : lines_of(parts[p])) {
      kelvor::SseRecord rec;
      kelvor::parse_sse_record(line, rec);
      if (rec.kind == kelvor::RecordKind::Element) check_element_record(rec.value);
    }
  }
  return 0;
}
