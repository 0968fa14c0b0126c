#include "pdb_reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_set>

#include "core/strings.h"
#include "core/units.h"
#include "text/read.h"

namespace prynol {

namespace {

// Copies columns first..last (1-based, inclusive) of the record into out: the
// record is cut to kLineLen columns and blank padded past its end, as a line
// read with (A) into a fixed buffer holds it.
void copy_columns(std::string_view rec, int first, int last, char* out) {
  const int len = std::min(static_cast<int>(rec.size()), kLineLen);
  if (last <= len) {
    std::memcpy(out, rec.data() + first - 1, static_cast<std::size_t>(last - first + 1));
    return;
  }
  for (int c = first; c <= last; ++c) {
    *out++ = c <= len ? rec[static_cast<std::size_t>(c - 1)] : ' ';
  }
}

bool columns_equal(std::string_view rec, int first, std::string_view want) {
  const auto from = static_cast<std::size_t>(first - 1);
  if (from + want.size() <= rec.size()) return rec.substr(from, want.size()) == want;
  char buf[8];
  copy_columns(rec, first, first + static_cast<int>(want.size()) - 1, buf);
  return std::string_view(buf, want.size()) == want;
}

bool is_end_of_model(std::string_view line) { return line.starts_with("ENDMDL"); }

char alternate_location(std::string_view line) {
  char c;
  copy_columns(line, 17, 17, &c);
  return c;
}

// Columns 22-27 as written: chain, residue number and insertion code.
std::string residue_key(std::string_view line) {
  char buf[6];
  copy_columns(line, 22, 27, buf);
  return std::string(buf, 6);
}

// Columns 31-54 as "%8.3f" writes coordinates: in each 8-column field
// blanks, an optional sign, digits, a point and digits, to its end. F editing
// reads such a field as the decimal number it spells rounded to the nearest
// float, and so does from_chars, much faster than the general formatted read.
// False for any other field: blanks inside or after the number, no point, an
// exponent, and the rest, which the formatted read takes.
bool read_plain_coordinates(const char* f, float xyz[3]) {
  constexpr int kWidth = 8;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (int k = 0; k < 3; ++k, f += kWidth) {
    int i = 0;
    while (i < kWidth && f[i] == ' ') ++i;
    bool negative = false;
    if (i < kWidth && (f[i] == '-' || f[i] == '+')) negative = f[i++] == '-';
    const int number = i;
    while (i < kWidth && digit(f[i])) ++i;
    if (i == number || i == kWidth || f[i] != '.') return false;
    for (++i; i < kWidth; ++i)
      if (!digit(f[i])) return false;
    float v = 0.0f;
    const auto [end, ec] = std::from_chars(f + number, f + kWidth, v);
    if (ec != std::errc() || end != f + kWidth) return false;
    xyz[k] = negative ? -v : v;
  }
  return true;
}

}  // namespace

CaLine parse_ca_line(std::string_view line, std::string& label, float xyz[3]) {
  // Most records are atoms other than CA: columns 13-16 tell them apart first.
  if (line.size() >= 16 && std::memcmp(line.data() + 12, " CA ", 4) != 0) return CaLine::Other;
  if (!columns_equal(line, 1, "ATOM  ") && !columns_equal(line, 1, "HETATM")) {
    return CaLine::Other;
  }
  if (!columns_equal(line, 13, " CA ")) return CaLine::Other;

  char buf[24];
  copy_columns(line, 22, 27, buf);
  label.assign(buf, 6);
  zv::NOBLANKS(label);
  label.resize(static_cast<std::size_t>(zv::LENSTR(label)));

  // Columns 31-54 as one record of 24 characters, read as gfortran reads an
  // internal file: blank fields give 0, anything else the F editing rejects
  // makes the line unreadable.
  copy_columns(line, 31, 54, buf);
  if (read_plain_coordinates(buf, xyz)) return CaLine::Accepted;
  float x = 0.0f, y = 0.0f, z = 0.0f;
  if (zv::format_read_line("(3f8.2)", std::string_view(buf, 24), {x, y, z}) != 0) {
    return CaLine::BadCoordinates;
  }
  xyz[0] = x;
  xyz[1] = y;
  xyz[2] = z;
  return CaLine::Accepted;
}

ReadResult read_pdb(int unit, Molecule& mol) {
  ReadResult result;
  std::string label;
  float xyz[3];
  int record_number = 0;
  // Residues (chain, number and insertion code, as written) whose CA came in
  // a line with an alternate-location indicator: the further conformations
  // of such a residue are not new residues.
  std::unordered_set<std::string> with_alternates;
  // One record: false when reading stops at it.
  auto take = [&](std::string_view rec) {
    ++record_number;
    // Only the first model of an ensemble is read.
    if (is_end_of_model(rec)) return false;
    const CaLine kind = parse_ca_line(rec, label, xyz);
    if (kind == CaLine::Other) return true;
    if (alternate_location(rec) != ' ' && !with_alternates.insert(residue_key(rec)).second) {
      return true;
    }
    // The limit is tested before the coordinates: the first CA line past it
    // is refused whatever its columns 31-54 hold.
    if (mol.size() >= kMaxResidues) {
      result.status = ReadStatus::TooManyResidues;
    } else if (kind == CaLine::BadCoordinates) {
      result.status = ReadStatus::BadCoordinates;
    } else {
      mol.add(label, xyz);
      return true;
    }
    result.line_number = record_number;
    return false;
  };
  for (;;) {
    // A record as a formatted read of kLineLen columns sees it: a lone CR
    // among those columns ends it too, and the rest of a longer line is read
    // past without being held.
    std::string_view line;
    const int status = zv::unit_read_record_view(unit, line, static_cast<std::size_t>(kLineLen));
    if (status == -1) break;
    if (status != 0) {
      result.status = ReadStatus::ReadError;
      result.line_number = record_number + 1;
      result.io_error = status;
      return result;
    }
    if (!take(line)) return result;
  }
  return result;
}

}  // namespace prynol
