// Fortran-style formatted output: one engine renders edit-descriptor formats
// exactly as the gfortran runtime does (A, Aw, Iw, Iw.m, Fw.d, Ew.d, Ew.dEe,
// kP, nX, Tn, TLn, TRn, /, $, :, quoted literals, repeat counts, nested groups,
// format reversion, asterisks on overflow).
//
// Formats are parsed once and cached by their text; rendering appends into a
// caller-owned std::string, so a line written again and again allocates
// nothing once the string has grown.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace zv {

// One output item of a WRITE: an INTEGER, a REAL (float), a DOUBLE PRECISION,
// a CHARACTER or a LOGICAL value (FmtItem::logical(b): a bool constructor
// would catch pointers and other conversions by accident).
struct FmtItem {
  enum class Kind : std::uint8_t { Int, Real, Double, Text, Logical };
  Kind kind;
  std::int64_t i = 0;
  float f = 0.0f;
  double d = 0.0;
  std::string_view s;

  FmtItem(int v) : kind(Kind::Int), i(v) {}
  FmtItem(long v) : kind(Kind::Int), i(v) {}
  FmtItem(long long v) : kind(Kind::Int), i(v) {}
  FmtItem(float v) : kind(Kind::Real), f(v) {}
  FmtItem(double v) : kind(Kind::Double), d(v) {}
  FmtItem(std::string_view v) : kind(Kind::Text), s(v) {}
  FmtItem(const char* v) : kind(Kind::Text), s(v) {}
  FmtItem(const std::string& v) : kind(Kind::Text), s(v) {}

  static FmtItem logical(bool v) {
    FmtItem it(0);
    it.kind = Kind::Logical;
    it.i = v ? 1 : 0;
    return it;
  }
};

// Error codes returned like gfortran's IOSTAT (0 on success).
inline constexpr int kIostatBadFormat = 5006;  // format text rejected
inline constexpr int kIostatEndOfRecord = -2;   // internal write: record too short

// WRITE(unit, format) items to a sequential unit: the bytes are appended to
// out; every completed record ends with '\n', a record left open by '$' has
// none. Returns 0, or an iostat: 5006 for a format the runtime rejects when
// it parses it (nothing is appended then) or meets it (a descriptor that
// does not suit its item: what was written before stays, without a record
// end), -2 for a record longer than 1 MiB (a limit of this engine).
int format_append(std::string& out, std::string_view format, std::span<const FmtItem> items);

inline int format_append(std::string& out, std::string_view format,
                         std::initializer_list<FmtItem> items) {
  return format_append(out, format, std::span<const FmtItem>(items.begin(), items.size()));
}

// Convenience: the bytes of one WRITE as a new string.
std::string format(std::string_view format, std::initializer_list<FmtItem> items);

// WRITE into an internal file of one record of `width` characters that starts
// as `rec` (padded or cut to width): the record is blank padded after the
// write, as gfortran does. Returns the iostat (-2 when a field runs past the
// record end, the record keeping what was written before that point).
int format_internal(std::string& rec, int width, std::string_view format,
                    std::span<const FmtItem> items);

inline int format_internal(std::string& rec, int width, std::string_view format,
                           std::initializer_list<FmtItem> items) {
  return format_internal(rec, width, format, std::span<const FmtItem>(items.begin(), items.size()));
}

// The same into an internal file that is an array of records, each `width`
// characters (records padded or cut to width first): '/' and reversion move
// to the next record; past the last one the iostat is -1.
int format_internal(std::span<std::string> recs, int width, std::string_view format,
                    std::span<const FmtItem> items);

// List-directed output, WRITE(6,*) items: one record with its '\n'. The
// format "*" in the functions above means the same.
void list_write_append(std::string& out, std::span<const FmtItem> items);

inline void list_write_append(std::string& out, std::initializer_list<FmtItem> items) {
  list_write_append(out, std::span<const FmtItem>(items.begin(), items.size()));
}

// gfortran's message for the last non-zero iostat returned by the functions
// above (e.g. "Period required in format").
std::string_view format_last_message();

}  // namespace zv
