#include "sse_writer.h"

#include <cmath>

#include "core/strings.h"
#include "core/units.h"
#include "text/format.h"
#include "text/number_format.h"

namespace prynol {

namespace {

// A label as a quoted list-directed text item holds it: a quote inside is
// doubled, so that the reader gets the label back instead of failing.
std::string_view quote_safe(std::string_view label, std::string& buf) {
  if (label.find('\'') == std::string_view::npos) return label;
  buf.clear();
  for (char ch : label) {
    buf += ch;
    if (ch == '\'') buf += '\'';
  }
  return buf;
}

// Room for the widest line: three quoted labels of up to 12 characters
// (quotes doubled), an I11 and six F48.2 fields with their blanks.
constexpr int kRecordLen = 400;

// F editing with two decimals of a float of moderate size, without the
// general routine: a float times 100 is exact in double precision, so
// rounding that product to an integer, ties to even, rounds the float's
// exact value as the formatted write does; the sign is the float's own (so
// -0.004 gives -0.00). False for values it does not handle (not finite, or
// too large for the integer).
bool two_decimals(float v, std::string& field) {
  if (!std::isfinite(v) || std::fabs(v) >= 1.0e15f) return false;
  const double hundredths = std::nearbyint(std::fabs(static_cast<double>(v)) * 100.0);
  const auto n = static_cast<unsigned long long>(hundredths);
  char buf[32];
  char* end = buf + sizeof buf;
  char* p = end;
  *--p = static_cast<char>('0' + n % 10);
  *--p = static_cast<char>('0' + n / 10 % 10);
  *--p = '.';
  unsigned long long whole = n / 100;
  do {
    *--p = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  if (std::signbit(v)) *--p = '-';
  field.assign(p, end);
  return true;
}

}  // namespace

std::string element_line(int kind, std::string_view name, std::string_view from,
                         std::string_view to, int length, const float* head, const float* tail) {
  // Every number gets a blank before it and a field wide enough for any
  // value: in the classic layout (1X,I3,1X,6F9.2) an element longer than 999
  // residues or a coordinate beyond 999999.99 or -99999.99 turns into
  // asterisks, and one of -10000 or less or 100000 or more fills its field
  // and runs into the number before it, so the line no longer reads back.
  // Once blanks are collapsed, the line is the same as in that layout for
  // every value that layout writes readably. The record is the one the format
  // (A6,3(1X,A1,A,A1),1X,I11,6(1X,F48.2)) writes, put together field by field
  // with the formatted write's own field routines (a line per element of
  // every entry makes this worth it).
  static const zv::text::Tok kLength = [] {
    zv::text::Tok t;
    t.op = zv::text::Op::I;
    t.w = 11;
    return t;
  }();
  static const zv::text::Tok kCoordinate = [] {
    zv::text::Tok t;
    t.op = zv::text::Op::F;
    t.w = 48;
    t.d = 2;
    return t;
  }();
  std::string from_buf;
  std::string to_buf;
  std::string field;
  std::string rest;
  rest.reserve(kRecordLen);
  for (std::string_view label :
       {zv::rtrim(name), quote_safe(zv::rtrim(from), from_buf), quote_safe(zv::rtrim(to), to_buf)}) {
    rest += " '";
    rest += label;
    rest += '\'';
  }
  // A number field is right-justified, without blanks inside: its leading
  // blanks are the ones the collapse below would drop anyway.
  auto add_number = [&rest, &field] {
    const std::size_t first = field.find_first_not_of(' ');
    rest += ' ';
    if (first != std::string::npos) rest.append(field, first);
  };
  zv::text::field_integer(field, length, kLength, zv::text::SignMode::Default);
  add_number();
  for (const float v : {head[0], head[1], head[2], tail[0], tail[1], tail[2]}) {
    if (!two_decimals(v, field)) {
      (void)zv::text::field_real(field, static_cast<double>(v), true, kCoordinate, 0,
                                 zv::text::SignMode::Default);
    }
    add_number();
  }
  zv::ONEBLANK(rest);
  std::string rec = zv::fit(kTypeNames[static_cast<std::size_t>(kind - 1)], 6);
  rec += rest;
  rec.resize(static_cast<std::size_t>(zv::LENSTR(rec)));
  return rec;
}

int write_sse(int unit, const RunState& run, SseCounts& counts) {
  counts = {};
  // The ID is a field of four characters: a shorter one is blank padded on
  // the right, as A4 writes a four-character variable.
  const std::string id = zv::fit(run.mol_id, kMolIdLen);
  int err = zv::unit_write_fmt(unit, "(a1/a,1x,a4/a1/a6,1x,a4/a6,1x,a/a6,1x,a/a1)",
                               {"!", "! === ", id, "!", "MOL   ", id, "NOTE  ",
                                zv::rtrim(run.note), "PDB   ", zv::rtrim(run.pdb_file), "!"});
  const Molecule& mol = run.mol;
  for (const Element& e : run.elements) {
    if (err != 0) break;
    if (e.length() < kMinElementLength) continue;
    int& count = e.kind == kAlpha ? counts.helices : counts.strands;
    ++count;
    std::string name =
        zv::format("(a1,i5)", {kTypeLetters[static_cast<std::size_t>(e.kind - 1)], count});
    if (!name.empty() && name.back() == '\n') name.pop_back();
    zv::NOBLANKS(name);
    const std::string line = element_line(
        e.kind, name, mol.labels[static_cast<std::size_t>(e.first)],
        mol.labels[static_cast<std::size_t>(e.last)], e.length(),
        &mol.xyz[3 * static_cast<std::size_t>(e.first)],
        &mol.xyz[3 * static_cast<std::size_t>(e.last)]);
    err = zv::unit_write_line(unit, line);
  }
  if (err == 0) err = zv::unit_write_line(unit, "ENDMOL");
  return err;
}

}  // namespace prynol
