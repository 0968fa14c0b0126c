// What the three plot-file readers share: the records of a file open on a
// unit, keyword lines read as "(a6,1x,a)", the data formats of the data
// keywords, reading values from a value field or from the lines that follow
// it, and the messages for what cannot be read.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "text/read.h"

namespace zev {

// Longest data record that is read: a data line longer than this (values of
// a data keyword, a datablock) ends the read as an error, so that a file
// with an endless line cannot take unbounded memory. It leaves room for a
// whole grid of a million values written on one line.
inline constexpr std::size_t kMaxDataRecord = 16u << 20;

// The records of a text file open on a unit. A record ends at LF, CR LF or a
// lone CR, as every reader of the suite splits records; only its first
// characters are held (the rest of a longer line is read past).
class PlotSource : public zv::RecordSource {
 public:
  explicit PlotSource(int unit) : unit_(unit) {}
  // The next data record. One longer than kMaxDataRecord is reported and
  // ends the read like the end of the file (false).
  bool next(std::string_view& rec) override;
  // The next record cut to its first max characters without a message (a
  // keyword line, whose value field has a fixed length).
  bool next_cut(std::string_view& rec, std::size_t max);
  // Number of the last record handed out (1 for the first).
  int line_number() const { return lineno_; }

 private:
  bool failed(int rc);  // reports a read error once; always true
  int unit_;
  std::string rec_;  // the record handed out
  int lineno_ = 0;
  bool read_error_ = false;
};

// A keyword line: the keyword of columns 1-6 upper-cased and blank padded to
// six characters, the value field from column 8 cut to the file kind's
// length, and the line number.
struct KeyLine {
  std::string key;
  std::string value;
  int line = 0;
  bool comment() const { return !key.empty() && key[0] == '!'; }
  // The keyword without trailing blanks.
  std::string name() const;
};

// Reads the next line as a keyword line; false at the end of the file.
bool next_key_line(PlotSource& src, int value_len, KeyLine& kl);

// The data format of a data keyword's value: free format when the value,
// blanks removed, starts with "*"; otherwise the value is the format.
struct DataFormat {
  bool free = true;
  std::string format;  // the value without leading and trailing blanks
};
DataFormat data_format(std::string_view value);

// Reads the items from the records that follow, with the format or free
// format. Returns the iostat (0 success).
int read_data(PlotSource& src, const DataFormat& fmt, std::span<zv::ReadItem> items);

// Reads all items list-directed from a value field: true only when every
// item was read from the field (a short field, an empty one or a malformed
// item is false; items read before the failure may have changed, so callers
// read into temporaries that start from the current values).
bool read_value_field(std::string_view value, std::span<zv::ReadItem> items);

// One integer from the value field of a keyword line; a field that cannot be
// read is reported (report_bad_value) and leaves dst as it was.
bool read_int(const KeyLine& kl, int& dst);

// The value field as a text (a name or label): leading and trailing blanks
// removed, cut to len characters.
std::string value_text(std::string_view value, int len);

// Reals from the value field of a keyword line into the given variables, all
// or none; a field that cannot be read is reported (report_bad_value).
bool read_reals(const KeyLine& kl, std::initializer_list<float*> dst);

// An axis or ramp label from the value field: its first kLabelLen columns,
// trailing blanks removed (leading blanks are kept).
std::string label_text(std::string_view value);

// Messages of the readers.
// "Invalid keyword !" with " Key   :" and " Value :".
void report_invalid_keyword(const KeyLine& kl);
// A value field that cannot be read as the keyword requires.
void report_bad_value(const KeyLine& kl);
// Data after a keyword line that could not be read (iostat from read_data).
void report_bad_data(const KeyLine& kl, int iostat);
// A count outside 0..limit (a negative limit: a negative count); what names
// the count ("Number of points").
void report_bad_count(const KeyLine& kl, std::string_view what, std::int64_t count, int limit);

// jvaluo's layout for a count that may not fit an integer: text, " (",
// the count in 11 columns and ") ".
void jvaluo64(std::string_view text, std::int64_t value);

}  // namespace zev
