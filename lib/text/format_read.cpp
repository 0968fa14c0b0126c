// Formatted READ as the gfortran runtime does it: fields are cut from the
// record by width, numeric fields follow BLANK= (blanks dropped, or zeros
// after the first digit), reals without a point get the implied decimals of
// the descriptor, short records read as blanks (PAD='YES'), '/' and
// reversion go on to the next record.
#include <cstdint>
#include <string>

#include "text/format.h"
#include "text/format_program.h"
#include "text/read.h"
#include "text/read_value.h"

namespace zv {
namespace {

using text::Op;
using text::read_error;
using text::Tok;

std::string g_digits;  // mantissa digits, reused

const char* kind_name(ReadItem::Kind k) {
  switch (k) {
    case ReadItem::Kind::Int: return "INTEGER";
    case ReadItem::Kind::Real:
    case ReadItem::Kind::Double: return "REAL";
    case ReadItem::Kind::Text: return "CHARACTER";
    case ReadItem::Kind::Logical: return "LOGICAL";
  }
  return "?";
}

int type_error(const char* expected, std::size_t index, ReadItem::Kind got) {
  std::string msg = "Expected ";
  msg += expected;
  msg += " for item ";
  msg += std::to_string(index + 1);
  msg += " in formatted transfer, got ";
  msg += kind_name(got);
  return read_error(kIostatBadFormat, msg);
}

// The current record and the position in it.
class Input {
 public:
  Input(RecordSource& src, const ReadOptions& opt, bool scalar, bool keep_blanks)
      : src_(src), opt_(opt), scalar_(scalar), keep_blanks_(keep_blanks) {}

  // Reads the first record; -1 when there is none.
  int start() {
    if (!src_.next(rec_)) {
      if (!opt_.internal) return read_error(kIostatEnd, "End of file");
      eof_pending_ = true;
      return 0;
    }
    trim();
    return 0;
  }

  // '/' or reversion. On a file or an internal array a missing record is
  // end of file at once; past the one record of a scalar internal file only
  // when a later field needs a record, and reversion on a scalar that is
  // all blank stays on it (both as the runtime does).
  int next_record(bool reversion) {
    if (opt_.internal && scalar_ && reversion && rec_.empty() && !eof_pending_) {
      pos = 0;
      return 0;
    }
    pos = 0;
    seen_eor_ = false;
    if (eof_pending_ || !src_.next(rec_)) {
      rec_ = {};
      if (!opt_.internal || !scalar_) return read_error(kIostatEnd, "End of file");
      eof_pending_ = true;
      return 0;
    }
    trim();
    return 0;
  }

  int need_record() const { return eof_pending_ ? read_error(kIostatEnd, "End of file") : 0; }

  // X, TR and T stop at the record end (which counts as having met it:
  // later fields of a file read blanks, even with PAD='NO'); TL stops at
  // column 1.
  void skip(long long n) {
    std::size_t len = rec_.size();
    std::size_t p = pos + static_cast<std::size_t>(n);
    if (p > len) {
      seen_eor_ = true;
      p = std::max(len, pos);
    }
    pos = p;
  }
  void tab_to(long long col) {
    pos = static_cast<std::size_t>(col < 0 ? 0 : col);
    if (pos > rec_.size()) {
      seen_eor_ = true;
      pos = rec_.size();
    }
  }
  void tab_left(long long n) { pos = pos > static_cast<std::size_t>(n) ? pos - static_cast<std::size_t>(n) : 0; }

  // The characters of a field of width w, as far as the record has them
  // (the position moves over those only). With PAD='NO' on a file, a field
  // running past the record end is end of record. On a file a comma ends a
  // numeric field early (the next field starts after it).
  int field(int w, bool numeric, std::string_view& out) {
    std::size_t len = rec_.size();
    std::size_t uw = static_cast<std::size_t>(w);
    if (!opt_.internal && seen_eor_) {
      out = {};
      return 0;
    }
    if (!opt_.internal && !opt_.pad && pos <= len && pos + uw > len) {
      return read_error(kIostatEor, "End of record");
    }
    std::size_t avail = pos < len ? std::min(uw, len - pos) : 0;
    out = rec_.substr(pos < len ? pos : len, avail);
    if (numeric && !opt_.internal) {
      std::size_t comma = out.find(',');
      if (comma != std::string_view::npos) {
        out = out.substr(0, comma);
        pos += comma + 1;
        return 0;
      }
    }
    pos += avail;
    return 0;
  }

  std::size_t pos = 0;

 private:
  // A one-record internal file loses its trailing blanks before the READ
  // (unless BLANK= is given, or the format has '/' or BZ), as the runtime
  // does: this decides what an A field wider than its variable takes.
  void trim() {
    if (scalar_ && !keep_blanks_) {
      while (!rec_.empty() && rec_.back() == ' ') rec_.remove_suffix(1);
    }
  }

  RecordSource& src_;
  const ReadOptions& opt_;
  bool scalar_;
  bool keep_blanks_;
  std::string_view rec_;
  bool seen_eor_ = false;
  bool eof_pending_ = false;
};

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

int bad_int() { return read_error(kIostatBadValue, "Bad value during integer read"); }

// I (B, O, Z) input. Blanks: dropped, or zeros under BLANK='ZERO'; a sign
// must be followed by something in the field (a sign that is the field's
// last character is an error, a sign followed by blanks reads 0).
int read_int(const ReadItem& it, std::string_view f, bool zero, unsigned base) {
  std::size_t i = 0;
  const std::size_t n = f.size();
  while (i < n && f[i] == ' ') ++i;
  if (i == n) {
    text::store_int(it, 0);
    return 0;
  }
  bool neg = false;
  if (base == 10 && (f[i] == '+' || f[i] == '-')) {
    neg = f[i] == '-';
    if (++i == n) return bad_int();
  }
  std::uint64_t v = 0;
  for (; i < n; ++i) {
    char c = f[i];
    unsigned dv;
    if (c == ' ') {
      if (!zero) continue;
      dv = 0;
    } else if (digit(c)) {
      dv = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      dv = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      dv = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return bad_int();
    }
    if (dv >= base) return bad_int();
    v = v * base + dv;
    if (v > 0xffffffffULL) return read_error(kIostatOverflow, "Value overflowed during integer read");
  }
  if (base != 10) {
    text::store_int(it, static_cast<int>(static_cast<std::uint32_t>(v)));
    return 0;
  }
  if (v > (neg ? 2147483648ULL : 2147483647ULL)) {
    return read_error(kIostatOverflow, "Value overflowed during integer read");
  }
  long long sv = neg ? -static_cast<long long>(v) : static_cast<long long>(v);
  text::store_int(it, static_cast<int>(sv));
  return 0;
}

int bad_real() { return read_error(kIostatBadValue, "Bad value during floating point read"); }

// Infinity or NaN: the whole word (trailing blanks aside) must be there.
bool special_word(std::string_view w, bool& nan) {
  while (!w.empty() && w.back() == ' ') w.remove_suffix(1);
  if (iequal(w, "inf") || iequal(w, "infinity")) {
    nan = false;
    return true;
  }
  if (iequal(w, "nan") || (w.size() >= 5 && iequal(w.substr(0, 4), "nan(") && w.back() == ')')) {
    nan = true;
    return true;
  }
  return false;
}

// F, E, D, G (and EN, ES) input: d implied decimals when the field has no
// point; the scale factor divides a value without exponent by 10**k.
// Exponents: a letter (E, D, Q) with optional sign, or a sign alone; blanks
// right after the letter are skipped; the letter must be followed by
// something, a sign too. The exponent, after the implied decimals, must be
// below 10000 in size.
int read_real(const ReadItem& it, std::string_view f, bool zero, int d, int scale) {
  std::size_t i = 0;
  const std::size_t n = f.size();
  while (i < n && f[i] == ' ') ++i;
  bool neg = false;
  if (i < n && (f[i] == '+' || f[i] == '-')) {
    neg = f[i] == '-';
    ++i;
  }
  std::size_t rest = i;
  while (rest < n && f[rest] == ' ') ++rest;
  if (rest == n) {  // blank, or a sign alone: +0
    text::store_decimal(it, false, "", 0, 0);
    return 0;
  }
  bool nan = false;
  if (special_word(f.substr(i), nan)) {
    text::store_special(it, neg, nan);
    return 0;
  }
  g_digits.clear();
  long long point = -1;
  bool has_exp = false;
  long long ex = 0;
  for (; i < n; ++i) {
    char c = f[i];
    if (digit(c)) {
      g_digits.push_back(c);
    } else if (c == ' ') {
      if (zero) g_digits.push_back('0');
    } else if (c == '.') {
      if (point >= 0) return bad_real();
      point = static_cast<long long>(g_digits.size());
    } else if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q' || c == '+' ||
               c == '-') {
      has_exp = true;
      break;
    } else {
      return bad_real();
    }
  }
  if (has_exp) {
    bool eneg = false;
    if (f[i] != '+' && f[i] != '-') {
      ++i;
      while (i < n && f[i] == ' ') ++i;
      if (i == n) return bad_real();
    }
    if (f[i] == '+' || f[i] == '-') {
      eneg = f[i] == '-';
      if (++i == n) return bad_real();
    }
    for (; i < n; ++i) {
      char c = f[i];
      int dv;
      if (digit(c)) {
        dv = c - '0';
      } else if (c == ' ') {
        if (!zero) continue;
        dv = 0;
      } else {
        return bad_real();
      }
      if (ex < 100000000LL) ex = ex * 10 + dv;
    }
    if (eneg) ex = -ex;
    long long adjusted = ex - (point < 0 ? d : 0);
    if (adjusted >= 10000 || adjusted <= -10000) return bad_real();
  }
  long long nd = static_cast<long long>(g_digits.size());
  if (point < 0) point = nd - d;  // implied decimals
  if (!has_exp) point -= scale;
  text::store_decimal(it, neg, g_digits, point, ex);
  return 0;
}

int read_logical(const ReadItem& it, std::string_view f) {
  std::size_t i = 0;
  while (i < f.size() && f[i] == ' ') ++i;
  if (i < f.size() && f[i] == '.') ++i;
  char c = i < f.size() ? f[i] : '\0';
  if (c == 't' || c == 'T' || c == 'f' || c == 'F') {
    *static_cast<bool*>(it.p) = c == 't' || c == 'T';
    return 0;
  }
  return read_error(kIostatBadValue, "Bad value on logical read");
}

// Aw into CHARACTER*len: the characters the record has (at most w); more
// than len of them: the rightmost len; fewer: left-justified, blank padded.
void read_text(const ReadItem& it, std::string_view f) {
  std::size_t len = it.len > 0 ? static_cast<std::size_t>(it.len) : 0;
  if (f.size() > len) f = f.substr(f.size() - len);
  text::store_text(it, f);
}

int read_item(Input& in, const Tok& t, const ReadItem& it, std::size_t index, bool zero, int scale) {
  using K = ReadItem::Kind;
  Op op = t.op;
  if (op == Op::G) {  // G reads as the item's own type
    switch (it.kind) {
      case K::Int: op = Op::I; break;
      case K::Text: op = Op::A; break;
      case K::Logical: op = Op::L; break;
      default: op = Op::F; break;
    }
  }
  std::string_view f;
  switch (op) {
    case Op::I: case Op::B: case Op::O: case Op::Z: {
      if (it.kind != K::Int) return type_error("INTEGER", index, it.kind);
      if (int rc = in.field(t.w, true, f); rc != 0) return rc;
      unsigned base = op == Op::I ? 10 : (op == Op::B ? 2 : (op == Op::O ? 8 : 16));
      return read_int(it, f, zero, base);
    }
    case Op::F: case Op::E: case Op::EN: case Op::ES: case Op::D:
      if (it.kind != K::Real && it.kind != K::Double) return type_error("REAL", index, it.kind);
      if (int rc = in.field(t.w, true, f); rc != 0) return rc;
      return read_real(it, f, zero, t.d < 0 ? 0 : t.d, scale);
    case Op::L:
      if (it.kind != K::Logical) return type_error("LOGICAL", index, it.kind);
      if (int rc = in.field(t.w, false, f); rc != 0) return rc;
      return read_logical(it, f);
    case Op::A: {
      if (it.kind != K::Text) return type_error("CHARACTER", index, it.kind);
      int w = t.has_w && t.w > 0 ? t.w : it.len;
      if (int rc = in.field(w, false, f); rc != 0) return rc;
      read_text(it, f);
      return 0;
    }
    default:
      return 0;
  }
}

int run(const text::Program& prog, Input& in, std::span<ReadItem> items, const ReadOptions& opt) {
  if (int rc = in.start(); rc != 0) return rc;
  text::FormatCursor cur(prog);
  std::size_t next = 0;
  bool zero = opt.blank_zero;
  int scale = 0;
  bool reverted = false;
  bool data_in_pass = false;
  bool colon_in_pass = false;
  while (true) {
    const Tok& t = cur.next();
    if (t.op == Op::End) {
      if (cur.overrun()) return read_error(kIostatBadFormat, "Format goes on without reaching a data item");
      if (next >= items.size()) return 0;
      if (!data_in_pass && (reverted || colon_in_pass)) {
        // As in output: a format without data descriptors is gone through
        // twice, or once when it has a ':', before the error.
        return read_error(kIostatBadFormat, "Insufficient data descriptors in format after reversion");
      }
      if (data_in_pass) {
        if (int rc = in.next_record(true); rc != 0) return rc;
        cur.revert();
      } else {
        cur.restart();
      }
      reverted = true;
      data_in_pass = false;
      colon_in_pass = false;
      continue;
    }
    if (text::is_data(t.op)) {
      if (next >= items.size()) return 0;
      data_in_pass = true;
      if (int rc = in.need_record(); rc != 0) return rc;
      if (int rc = read_item(in, t, items[next], next, zero, scale); rc != 0) return rc;
      ++next;
      cur.item_done();
      continue;
    }
    switch (t.op) {
      case Op::Colon:
        if (next >= items.size()) return 0;
        colon_in_pass = true;
        break;
      case Op::Slash:
        if (int rc = in.next_record(false); rc != 0) return rc;
        break;
      case Op::X:
      case Op::TR:
        in.skip(t.w);
        break;
      case Op::T:
        in.tab_to(t.w - 1);
        break;
      case Op::TL:
        in.tab_left(t.w);
        break;
      case Op::Lit:
        return read_error(kIostatBadFormat, "Constant string in input format");
      case Op::Scale:
        scale = t.w;
        break;
      case Op::BlankNull:
        zero = false;
        break;
      case Op::BlankZero:
        zero = true;
        break;
      default:
        break;
    }
  }
}

// One in-memory record as a source.
class OneRecord : public RecordSource {
 public:
  explicit OneRecord(std::string_view r) : r_(r) {}
  bool next(std::string_view& rec) override {
    if (done_) return false;
    done_ = true;
    rec = r_;
    return true;
  }

 private:
  std::string_view r_;
  bool done_ = false;
};

int read_checked(std::string_view format, RecordSource& src, std::span<ReadItem> items,
                 const ReadOptions& opt, bool scalar) {
  const text::Program& prog = text::cached_format(format);
  if (prog.error != 0) return read_error(prog.error, prog.message);
  if (prog.list_directed) return list_read(src, items);
  bool keep_blanks = opt.blank_given || prog.has_slash || prog.has_bz;
  Input in(src, opt, scalar, keep_blanks);
  return run(prog, in, items, opt);
}

}  // namespace

int format_read(std::string_view format, RecordSource& src, std::span<ReadItem> items,
                const ReadOptions& opt) {
  return read_checked(format, src, items, opt, false);
}

int format_read_line(std::string_view format, std::string_view line, std::span<ReadItem> items,
                     const ReadOptions& opt) {
  ReadOptions o = opt;
  o.internal = true;
  OneRecord src(line);
  return read_checked(format, src, items, o, true);
}

int format_read_line(std::string_view format, std::string_view line, std::span<ReadItem> items) {
  return format_read_line(format, line, items, ReadOptions{});
}

}  // namespace zv
