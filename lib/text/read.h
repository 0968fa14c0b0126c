// Fortran-style input: formatted READ (Iw, Fw.d with implied decimals, Ew.d,
// Aw, nX, Tn, /, reversion across records, short records padded with blanks,
// all-blank fields read as 0) and list-directed READ (blanks or commas, empty
// items keep values, '/', r*v, r*, E and D exponents), both as gfortran reads.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace zv {

// One input item of a READ. A Text item receives its value blank padded to
// exactly `len` characters, as a CHARACTER*len variable would hold it.
struct ReadItem {
  enum class Kind : std::uint8_t { Int, Real, Double, Text };
  Kind kind;
  void* p;
  int len = 0;

  ReadItem(int& v) : kind(Kind::Int), p(&v) {}
  ReadItem(float& v) : kind(Kind::Real), p(&v) {}
  ReadItem(double& v) : kind(Kind::Double), p(&v) {}
  ReadItem(std::string& v, int n) : kind(Kind::Text), p(&v), len(n) {}
};

// Status codes, as gfortran's IOSTAT.
inline constexpr int kIostatEnd = -1;        // end of file
inline constexpr int kIostatEor = -2;        // end of record (PAD='NO')
inline constexpr int kIostatBadValue = 5010; // malformed value
inline constexpr int kIostatOverflow = 5011; // integer overflow

// Supplies the records of a formatted READ one after the other.
class RecordSource {
 public:
  virtual ~RecordSource() = default;
  // Next record (without its line end); false at end of file.
  virtual bool next(std::string_view& rec) = 0;
};

struct ReadOptions {
  bool internal = false;    // internal file: commas are data errors, CR is data
  bool blank_zero = false;  // BLANK='ZERO'
  bool pad = true;          // PAD='YES'
};

// Formatted READ of items from the records of src. Returns the iostat; on an
// error the items read before it keep their new values.
int format_read(std::string_view format, RecordSource& src, std::span<ReadItem> items,
                const ReadOptions& opt = {});

// Formatted READ from one record already in memory (an internal file of one
// record, as READ(line, format) does).
int format_read_line(std::string_view format, std::string_view line, std::span<ReadItem> items);

inline int format_read_line(std::string_view format, std::string_view line,
                            std::initializer_list<ReadItem> items) {
  return format_read_line(format, line,
                          std::span<ReadItem>(const_cast<ReadItem*>(items.begin()), items.size()));
}

// List-directed READ(line, *) of items from one line. Returns gfortran's
// iostat: 0, -1 when the line ends before all items are read (the values read
// so far are kept), or a positive number for a malformed item.
int list_read(std::string_view line, std::span<ReadItem> items);

}  // namespace zv
