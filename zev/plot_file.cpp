// Keyword lines, data formats and value reading of the plot files.
#include "plot_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "capacities.h"
#include "core/dialogue.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "text/format.h"

namespace zev {

// A read error (a damaged compressed file, a device) ends the file as its
// end does, after a message: what was read so far is used.
bool PlotSource::failed(int rc) {
  if (rc <= 0 || read_error_) return true;
  read_error_ = true;
  zv::ERRMSG("While reading " + zv::unit_name(unit_) + " after line " + std::to_string(lineno_));
  (void)zv::textuo(" Error :", std::strerror(rc));
  return true;
}

bool PlotSource::next_cut(std::string_view& rec, std::size_t max) {
  // Read as a data record, so that a CR inside a long line still ends the
  // record (files with CR line ends), then cut.
  const int rc = zv::unit_read_record(unit_, rec_, kMaxDataRecord);
  if (rc != 0) return !failed(rc);
  ++lineno_;
  if (rec_.size() > max) rec_.resize(max);
  rec = rec_;
  return true;
}

bool PlotSource::next(std::string_view& rec) {
  zv::LineCut cut;
  const int rc = zv::unit_read_record(unit_, rec_, kMaxDataRecord, &cut);
  if (rc != 0) return !failed(rc);
  ++lineno_;
  if (cut.dropped > 0 && !cut.blank) {
    zv::ERRMSG("Line " + std::to_string(lineno_) + " of " + zv::unit_name(unit_) +
               " is longer than " + std::to_string(kMaxDataRecord) + " characters");
    rec_.clear();
    return false;
  }
  rec = rec_;
  return true;
}

std::string KeyLine::name() const { return std::string(zv::rtrim(key)); }

bool next_key_line(PlotSource& src, int value_len, KeyLine& kl) {
  std::string_view rec;
  // Columns past the value field are not read ("(a6,1x,a)").
  if (!src.next_cut(rec, 7 + static_cast<std::size_t>(value_len))) return false;
  kl.line = src.line_number();
  kl.key = zv::fit(rec.substr(0, std::min<std::size_t>(rec.size(), 6)), 6);
  zv::UPCSTR(kl.key);
  kl.value.clear();
  if (rec.size() > 7) kl.value.assign(rec.substr(7, static_cast<std::size_t>(value_len)));
  return true;
}

DataFormat data_format(std::string_view value) {
  DataFormat f;
  std::string squeezed(value);
  zv::NOBLANKS(squeezed);
  f.free = !squeezed.empty() && squeezed[0] == '*';
  f.format = value_text(value, static_cast<int>(value.size()));
  return f;
}

int read_data(PlotSource& src, const DataFormat& fmt, std::span<zv::ReadItem> items) {
  if (items.empty()) return 0;
  if (fmt.free) return zv::list_read(src, items);
  if (fmt.format.empty()) return zv::kIostatBadFormat;
  return zv::format_read(fmt.format, src, items);
}

bool read_value_field(std::string_view value, std::span<zv::ReadItem> items) {
  if (items.empty()) return true;
  // Empty items and a "/" keep values, as a list-directed READ does; the
  // callers' temporaries start from the current values for that.
  return zv::list_read(value, items) == 0;
}

std::string value_text(std::string_view value, int len) {
  std::size_t b = value.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  std::string_view t = zv::rtrim(value.substr(b));
  return std::string(t.substr(0, static_cast<std::size_t>(std::max(len, 0))));
}

void report_invalid_keyword(const KeyLine& kl) {
  zv::ERRMSG("Invalid keyword !");
  (void)zv::textuo(" Key   :", kl.key);
  (void)zv::textuo(" Value :", kl.value);
}

bool read_int(const KeyLine& kl, int& dst) {
  int tmp = dst;
  zv::ReadItem it(tmp);
  if (!read_value_field(kl.value, {&it, 1})) {
    report_bad_value(kl);
    return false;
  }
  dst = tmp;
  return true;
}

bool read_reals(const KeyLine& kl, std::initializer_list<float*> dst) {
  std::vector<float> tmp;
  tmp.reserve(dst.size());
  for (float* d : dst) tmp.push_back(*d);
  std::vector<zv::ReadItem> items;
  items.reserve(dst.size());
  for (float& v : tmp) items.emplace_back(v);
  if (!read_value_field(kl.value, items)) {
    report_bad_value(kl);
    return false;
  }
  std::size_t i = 0;
  for (float* d : dst) *d = tmp[i++];
  return true;
}

std::string label_text(std::string_view value) {
  return std::string(zv::rtrim(value.substr(0, std::min<std::size_t>(value.size(), kLabelLen))));
}

void report_bad_value(const KeyLine& kl) {
  zv::ERRMSG("Cannot read the value of keyword " + kl.name() + " in line " +
             std::to_string(kl.line) + "; keyword skipped");
  (void)zv::textuo(" Value :", kl.value);
}

void report_bad_data(const KeyLine& kl, int iostat) {
  if (iostat == zv::kIostatEnd) {
    zv::ERRMSG("End of file in the data of keyword " + kl.name() + " of line " +
               std::to_string(kl.line) + "; keyword skipped");
    return;
  }
  zv::ERRMSG("Cannot read the data of keyword " + kl.name() + " of line " +
             std::to_string(kl.line) + "; keyword skipped");
  std::string_view why = zv::read_last_message();
  if (why.empty() && iostat == zv::kIostatBadFormat) why = zv::format_last_message();
  if (!why.empty()) (void)zv::textuo(" Reason :", why);
}

void report_bad_count(const KeyLine& kl, std::string_view what, std::int64_t count, int limit) {
  const std::string range =
      limit < 0 ? " must not be negative" : " must be 0 to " + std::to_string(limit);
  zv::ERRMSG(std::string(what) + range + "; keyword " + kl.name() + " of line " +
             std::to_string(kl.line) + " skipped");
  jvaluo64(" Value given :", count);
}

void jvaluo64(std::string_view text, std::int64_t value) {
  std::string line(zv::rtrim(text));
  line += " (";
  (void)zv::format_append(line, "(I11,$)", {static_cast<long long>(value)});
  line += ") ";
  (void)zv::unit_write_line(zv::kUnitStdout, line);
}

}  // namespace zev
