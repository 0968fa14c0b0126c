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
// exactly `len` characters, as a CHARACTER*len variable would hold it. A
// Logical item is a bool (LOGICAL).
struct ReadItem {
  enum class Kind : std::uint8_t { Int, Real, Double, Text, Logical };
  Kind kind;
  void* p;
  int len = 0;

  ReadItem(int& v) : kind(Kind::Int), p(&v) {}
  ReadItem(float& v) : kind(Kind::Real), p(&v) {}
  ReadItem(double& v) : kind(Kind::Double), p(&v) {}
  ReadItem(std::string& v, int n) : kind(Kind::Text), p(&v), len(n) {}
  ReadItem(bool& v) : kind(Kind::Logical), p(&v) {}
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
  // BLANK= given on the READ of a one-record internal file: its trailing
  // blanks then count as data for A fields, as in the runtime (without it
  // they are dropped before the READ).
  bool blank_given = false;
};

// Records of a text held in memory, split the way a formatted sequential
// file is read: at LF, CR LF, and at a lone CR. A last record without a line
// end is a record; the text "" has none.
class TextRecordSource : public RecordSource {
 public:
  explicit TextRecordSource(std::string_view text) : text_(text) {}
  bool next(std::string_view& rec) override;
  // What has not been read yet (from the start of the next record).
  std::string_view rest() const { return text_.substr(pos_); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Records of an internal file that is an array of CHARACTER elements.
class ArrayRecordSource : public RecordSource {
 public:
  explicit ArrayRecordSource(std::span<const std::string_view> recs) : recs_(recs) {}
  bool next(std::string_view& rec) override {
    if (i_ >= recs_.size()) return false;
    rec = recs_[i_++];
    return true;
  }

 private:
  std::span<const std::string_view> recs_;
  std::size_t i_ = 0;
};

// Formatted READ of items from the records of src. Returns the iostat; on an
// error the items read before it keep their new values.
int format_read(std::string_view format, RecordSource& src, std::span<ReadItem> items,
                const ReadOptions& opt = {});

// Formatted READ from one record already in memory (an internal file of one
// record, as READ(line, format) does).
int format_read_line(std::string_view format, std::string_view line, std::span<ReadItem> items);

// The same with BLANK= and PAD= given on the READ (opt.internal is implied).
int format_read_line(std::string_view format, std::string_view line, std::span<ReadItem> items,
                     const ReadOptions& opt);

inline int format_read_line(std::string_view format, std::string_view line,
                            std::initializer_list<ReadItem> items) {
  return format_read_line(format, line,
                          std::span<ReadItem>(const_cast<ReadItem*>(items.begin()), items.size()));
}

// List-directed READ(line, *) of items from one line. Returns gfortran's
// iostat: 0, -1 when the line ends before all items are read (the values read
// so far are kept), or a positive number for a malformed item. An empty or
// blank line is -1 with every value kept; callers whose rules make that (or
// a line with too few values) a success test for -1 themselves.
int list_read(std::string_view line, std::span<ReadItem> items);

inline int list_read(std::string_view line, std::initializer_list<ReadItem> items) {
  return list_read(line, std::span<ReadItem>(const_cast<ReadItem*>(items.begin()), items.size()));
}

// List-directed READ(unit, *) from a sequential file: blank records are
// skipped and the values may run over several records (a quoted string too).
// The source is left after the last record used.
int list_read(RecordSource& src, std::span<ReadItem> items);

// gfortran's message for the last non-zero iostat of a READ above (e.g.
// "Bad integer for item 2 in list input").
std::string_view read_last_message();

}  // namespace zv
