// List-directed READ as the gfortran runtime does it: values separated by
// blanks, tabs, commas (or ';'), empty items keep the old value, '/' ends
// the read, r*v repeats a value and r* skips r items; reals take E, D, Q or
// a bare signed exponent; text items may be quoted.
#include <cstdint>
#include <string>

#include "text/read.h"
#include "text/read_value.h"

namespace zv {
namespace {

using text::read_error;
using text::read_error_item;

constexpr int kEof = -1;  // end of the input
constexpr int kEor = -2;  // end of a record (external input): a separator

bool is_blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool is_sep(int c) { return c == ',' || c == ';'; }
// Ends an unquoted value.
bool ends_value(int c) { return c < 0 || is_blank(c) || is_sep(c) || c == '/'; }

// Characters of one line, or of the records of a sequential file.
class ListStream {
 public:
  explicit ListStream(std::string_view line) : rec_(line), loaded_(true), single_(true) {}
  explicit ListStream(RecordSource& src) : src_(&src) {}

  int peek() {
    if (!loaded_ && !load()) return kEof;
    if (pos_ < rec_.size()) return static_cast<unsigned char>(rec_[pos_]);
    return single_ ? kEof : kEor;
  }
  // Position in the current record, and the characters since such a mark:
  // an unquoted value never spans records, so it is read as a view.
  std::size_t mark() {
    if (!loaded_) load();
    return pos_;
  }
  std::string_view since(std::size_t m) const {
    return m <= pos_ ? rec_.substr(m, pos_ - m) : std::string_view();
  }
  // Skips the characters of an unquoted value (or digits only).
  void skip_value(bool digits_only) {
    if (!loaded_ && !load()) return;
    while (pos_ < rec_.size()) {
      unsigned char c = static_cast<unsigned char>(rec_[pos_]);
      if (digits_only ? !(c >= '0' && c <= '9') : ends_value(c)) break;
      ++pos_;
    }
  }

  // The character after the next one, within the current record.
  int peek2() {
    if (!loaded_ || pos_ + 1 >= rec_.size()) return kEof;
    return static_cast<unsigned char>(rec_[pos_ + 1]);
  }
  void get() {
    if (!loaded_ && !load()) return;
    if (pos_ < rec_.size()) {
      ++pos_;
    } else if (!single_) {
      loaded_ = false;  // past the record end: the next peek reads on
    }
  }

 private:
  bool load() {
    if (eof_ || src_ == nullptr) return false;
    if (!src_->next(rec_)) {
      eof_ = true;
      return false;
    }
    pos_ = 0;
    loaded_ = true;
    return true;
  }

  std::string_view rec_;
  std::size_t pos_ = 0;
  RecordSource* src_ = nullptr;
  bool loaded_ = false;
  bool single_ = false;
  bool eof_ = false;
};


std::string g_token;  // the current value's characters, reused
std::string g_rep;    // the value of a pending r*v
bool g_rep_quoted = false;
ReadItem::Kind g_rep_kind = ReadItem::Kind::Int;  // type it was read as

// The type class of an item: a repeated value keeps the type it was first
// read as, and the runtime refuses it for an item of another type.
int type_class(ReadItem::Kind k) {
  switch (k) {
    case ReadItem::Kind::Int: return 0;
    case ReadItem::Kind::Real:
    case ReadItem::Kind::Double: return 1;
    case ReadItem::Kind::Text: return 2;
    case ReadItem::Kind::Logical: return 3;
  }
  return 0;
}

const char* type_name(ReadItem::Kind k) {
  static const char* const names[] = {"INTEGER", "REAL", "CHARACTER", "LOGICAL"};
  return names[type_class(k)];
}

// Blanks and record ends before a value.
void skip_blanks(ListStream& in) {
  while (true) {
    int c = in.peek();
    if (!(is_blank(c) || c == kEor)) return;
    in.get();
  }
}

// After a value: blanks on the same record, then at most one comma.
void eat_separator(ListStream& in) {
  while (is_blank(in.peek())) in.get();
  if (is_sep(in.peek())) in.get();
}

// A quoted string (the opening quote is next). Doubled quotes stand for one;
// a record end inside is skipped; the end of input closes it. False when
// something other than a separator follows the closing quote.
bool read_quoted(ListStream& in) {
  int q = in.peek();
  in.get();
  while (true) {
    int c = in.peek();
    if (c == kEof) return true;
    in.get();
    if (c == kEor) continue;
    if (c == q) {
      if (in.peek() == q) {
        g_token.push_back(static_cast<char>(q));
        in.get();
        continue;
      }
      return ends_value(in.peek());
    }
    g_token.push_back(static_cast<char>(c));
  }
}

bool digit(char c) { return c >= '0' && c <= '9'; }

bool iequal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (x != b[i]) return false;
  }
  return true;
}

int parse_int(const ReadItem& it, std::string_view t, std::size_t index) {
  std::size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
  if (i >= t.size()) return read_error_item(kIostatBadValue, "Bad integer for item ", index, " in list input");
  std::int64_t v = 0;
  for (; i < t.size(); ++i) {
    if (!digit(t[i])) return read_error_item(kIostatBadValue, "Bad integer for item ", index, " in list input");
    v = v * 10 + (t[i] - '0');
    if (v > 2147483648LL) return read_error_item(kIostatBadValue, "Integer overflow while reading item ", index, "");
  }
  if (neg) v = -v;
  if (v > 2147483647LL) return read_error_item(kIostatBadValue, "Integer overflow while reading item ", index, "");
  text::store_int(it, static_cast<int>(v));
  return 0;
}

int parse_real(const ReadItem& it, std::string_view t, std::size_t index) {
  auto bad = [&]() { return read_error_item(kIostatBadValue, "Bad real number in item ", index, " of list input"); };
  std::size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
  std::string_view rest = t.substr(i);
  if (iequal(rest, "inf") || iequal(rest, "infinity")) {
    text::store_special(it, neg, false);
    return 0;
  }
  if (iequal(rest, "nan") || (rest.size() >= 5 && iequal(rest.substr(0, 4), "nan(") && rest.back() == ')')) {
    text::store_special(it, neg, true);
    return 0;
  }
  long long point = -1;
  std::size_t ndig = 0;
  static std::string digits;  // mantissa digits without the point, reused
  digits.clear();
  for (; i < t.size(); ++i) {
    if (digit(t[i])) {
      digits.push_back(t[i]);
      ++ndig;
    } else if (t[i] == '.' && point < 0) {
      point = static_cast<long long>(ndig);
    } else {
      break;
    }
  }
  if (ndig == 0 && point < 0) return bad();
  if (point < 0) point = static_cast<long long>(ndig);
  long long ex = 0;
  if (i < t.size()) {
    char c = t[i];
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q') {
      ++i;
    } else if (c != '+' && c != '-') {
      return bad();
    }
    bool eneg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) eneg = t[i++] == '-';
    if (i >= t.size()) return bad();
    for (; i < t.size(); ++i) {
      if (!digit(t[i])) return bad();
      if (ex < 1000000000LL) ex = ex * 10 + (t[i] - '0');
    }
    if (eneg) ex = -ex;
  }
  if (ndig == 0) {
    // A point without digits (".", "-.e5"): the runtime stores 0 and
    // reports an error.
    text::store_decimal(it, false, "", 0, 0);
    return read_error(kIostatBadValue, "Error during floating point read");
  }
  text::store_decimal(it, neg, digits, point, ex);
  return 0;
}

int parse_logical(const ReadItem& it, std::string_view t, std::size_t index) {
  std::size_t i = 0;
  if (i < t.size() && t[i] == '.') ++i;
  char c = i < t.size() ? t[i] : '\0';
  if (c == 't' || c == 'T' || c == 'f' || c == 'F') {
    *static_cast<bool*>(it.p) = c == 't' || c == 'T';
    return 0;
  }
  return read_error_item(kIostatBadValue, "Bad logical value while reading item ", index, "");
}

// Assigns a value text to one item according to its type.
int assign(const ReadItem& it, std::string_view t, bool quoted, std::size_t index) {
  switch (it.kind) {
    case ReadItem::Kind::Text:
      text::store_text(it, t);
      return 0;
    case ReadItem::Kind::Int:
      if (quoted) return read_error_item(kIostatBadValue, "Bad integer for item ", index, " in list input");
      return parse_int(it, t, index);
    case ReadItem::Kind::Logical:
      if (quoted) return read_error_item(kIostatBadValue, "Bad logical value while reading item ", index, "");
      return parse_logical(it, t, index);
    default:
      if (quoted) return read_error_item(kIostatBadValue, "Bad real number in item ", index, " of list input");
      return parse_real(it, t, index);
  }
}

int run(ListStream& in, std::span<ReadItem> items) {
  std::size_t rep_left = 0;
  bool rep_null = false;
  for (std::size_t k = 0; k < items.size(); ++k) {
    if (rep_left > 0) {
      --rep_left;
      if (rep_null) continue;
      if (type_class(items[k].kind) != type_class(g_rep_kind)) {
        std::string msg = "Read type ";
        msg += type_name(g_rep_kind);
        msg += " where ";
        msg += type_name(items[k].kind);
        msg += " was expected for item ";
        return read_error_item(kIostatBadValue, msg, k, "");
      }
      if (int rc = assign(items[k], g_rep, g_rep_quoted, k); rc != 0) return rc;
      continue;
    }
    skip_blanks(in);
    int c = in.peek();
    if (c == kEof) return read_error(kIostatEnd, "End of file");
    if (c == '/') return 0;
    if (is_sep(c)) {  // an empty item
      in.get();
      continue;
    }
    bool text_item = items[k].kind == ReadItem::Kind::Text;
    bool quoted = false;
    // A repeat count is digits followed by '*'.
    std::size_t start = in.mark();
    in.skip_value(true);
    std::string_view digits = in.since(start);
    c = in.peek();
    std::size_t repeat = 1;
    if (digits.empty() && c == '.' && in.peek2() == '*' &&
        (items[k].kind == ReadItem::Kind::Real || items[k].kind == ReadItem::Kind::Double)) {
      // The runtime reads ".*" before a real as a repeat count of one.
      in.get();
      c = in.peek();
      digits = "1";
    }
    if (!digits.empty() && c == '*') {
      long long r = 0;
      for (char d : digits) {
        r = r * 10 + (d - '0');
        if (r > 1000000000LL) r = 1000000000LL;
      }
      if (r == 0) return read_error_item(kIostatBadValue, "Zero repeat count in item ", k, " of list input");
      in.get();
      repeat = static_cast<std::size_t>(r);
      c = in.peek();
      if (ends_value(c) || c == kEor) {  // r*: r empty items
        rep_left = repeat - 1;
        rep_null = true;
        if (k + 1 < items.size()) eat_separator(in);
        continue;
      }
      start = in.mark();
    }
    std::string_view value;
    if (start == in.mark() && text_item && (c == '\'' || c == '"')) {
      quoted = true;
      g_token.clear();
      if (!read_quoted(in)) return read_error_item(kIostatBadValue, "Invalid string input in item ", k, "");
      value = g_token;
    } else {
      in.skip_value(false);
      value = in.since(start);
    }
    if (int rc = assign(items[k], value, quoted, k); rc != 0) return rc;
    if (repeat > 1) {
      rep_left = repeat - 1;
      rep_null = false;
      g_rep.assign(value);
      g_rep_quoted = quoted;
      g_rep_kind = items[k].kind;
    }
    if (k + 1 < items.size()) {
      if (items[k].kind == ReadItem::Kind::Logical && !quoted && value.size() > 1 &&
          value[0] != '.') {
        // A logical written as a word ("true", "Txyz"): the runtime takes
        // only the one character after it as the separator, so "Txyz ,5"
        // leaves an empty item before the 5.
        int s = in.peek();
        if (is_blank(s) || is_sep(s) || s == kEor) in.get();
      } else {
        eat_separator(in);
      }
    }
  }
  return 0;
}

}  // namespace

int list_read(std::string_view line, std::span<ReadItem> items) {
  ListStream in(line);
  return run(in, items);
}

int list_read(RecordSource& src, std::span<ReadItem> items) {
  ListStream in(src);
  return run(in, items);
}

}  // namespace zv
