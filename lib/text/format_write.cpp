// Formatted and list-directed WRITE: walks the cached format program and
// places each field in the current record like the gfortran runtime.
//
// A record is built in place: for a sequential unit it is the tail of the
// caller's string, for an internal file the caller's record(s). The column
// `pos` where the next field goes may lie beyond the characters written so
// far (`len`): X, TR and T only move it, and the gap is filled with blanks
// when something is written there, so skips at the end of a record write
// nothing, exactly as the runtime does.
#include <cmath>
#include <string>

#include "text/format.h"
#include "text/format_program.h"
#include "text/number_format.h"

namespace zv {
namespace {

using text::Op;
using text::SignMode;
using text::Tok;

constexpr int kIostatEndOfFile = -1;

std::string g_message;  // message of the last error
std::string g_field;    // one formatted field, reused

int set_error(int code, std::string_view msg) {
  g_message.assign(msg);
  return code;
}

const char* kind_name(FmtItem::Kind k) {
  switch (k) {
    case FmtItem::Kind::Int: return "INTEGER";
    case FmtItem::Kind::Real:
    case FmtItem::Kind::Double: return "REAL";
    case FmtItem::Kind::Text: return "CHARACTER";
    case FmtItem::Kind::Logical: return "LOGICAL";
  }
  return "?";
}

int type_error(const char* expected, std::size_t item, FmtItem::Kind got) {
  std::string msg = "Expected ";
  msg += expected;
  msg += " for item ";
  msg += std::to_string(item + 1);
  msg += " in formatted transfer, got ";
  msg += kind_name(got);
  return set_error(kIostatBadFormat, msg);
}

// Where the records go: the tail of a string (a sequential unit) or
// fixed-width internal records.
class Writer {
 public:
  // Sequential unit: records are appended to out.
  explicit Writer(std::string& out) : out_(&out), start_(out.size()) {}
  // Internal file of n records of `width` characters.
  Writer(std::string* recs, int n, int width, bool scalar)
      : recs_(recs), nrec_(n), width_(width), scalar_(scalar) {}

  long long pos = 0;  // column of the next field (0-based, from this WRITE's start)
  bool seen_dollar = false;

  bool internal() const { return recs_ != nullptr; }

  // Writes n characters at pos; 0 or -2 (internal record too short).
  int put(const char* s, int n) {
    if (pos + n > text::kMaxRecordLength) return set_error(kIostatEndOfRecord, "End of record");
    if (internal()) {
      std::string& r = recs_[cur_];
      if (pos + n > width_) {
        // The runtime fills the gap up to the field, then fails.
        int fill = pos < width_ ? static_cast<int>(pos) : width_;
        for (int i = len_; i < fill; ++i) r[static_cast<std::size_t>(i)] = ' ';
        if (fill > len_) len_ = fill;
        return set_error(kIostatEndOfRecord, "End of record");
      }
      for (long long i = len_; i < pos; ++i) r[static_cast<std::size_t>(i)] = ' ';
      r.replace(static_cast<std::size_t>(pos), static_cast<std::size_t>(n), s,
                static_cast<std::size_t>(n));
    } else {
      std::string& o = *out_;
      if (pos > len_) o.append(static_cast<std::size_t>(pos - len_), ' ');
      std::size_t at = start_ + static_cast<std::size_t>(pos);
      std::size_t over = pos < len_ ? static_cast<std::size_t>(len_ - pos) : 0;
      if (over > static_cast<std::size_t>(n)) over = static_cast<std::size_t>(n);
      o.replace(at, over, s, over);
      o.append(s + over, static_cast<std::size_t>(n) - over);
    }
    pos += n;
    if (pos > len_) len_ = static_cast<int>(pos);
    return 0;
  }

  // Ends the current record ('/' or format reversion).
  int end_record() {
    if (seen_dollar && !internal()) {
      // After '$' no record ends, but positions count from here on, as
      // for a new WRITE that continues the line.
      start_ = out_->size();
      pos = len_ = 0;
      return 0;
    }
    if (!internal()) {
      out_->push_back('\n');
      start_ = out_->size();
      pos = len_ = 0;
      return 0;
    }
    if (scalar_) {
      // A scalar internal file has no next record: the runtime writes one
      // blank where the record mark would go and reports end of file at
      // the end of the statement.
      if (len_ >= width_) return set_error(kIostatEndOfRecord, "End of record");
      recs_[cur_][static_cast<std::size_t>(len_)] = ' ';
      pos = ++len_;
      deferred_ = kIostatEndOfFile;
      return 0;
    }
    pad();
    if (cur_ + 1 >= nrec_) return set_error(kIostatEndOfFile, "End of file");
    ++cur_;
    pos = len_ = 0;
    return 0;
  }

  // Completes the statement: the record ends unless '$' was seen; internal
  // records are blank padded.
  int finish() {
    if (internal()) {
      if (deferred_ != 0) return set_error(deferred_, "End of file");
      pad();
      return 0;
    }
    if (!seen_dollar) out_->push_back('\n');
    return 0;
  }

  // Moves to a column; kept within reach of the record limit so that the
  // arithmetic cannot overflow (a field there is then an error).
  void tab_to(long long col) {
    if (col < 0) col = 0;
    if (col > text::kMaxRecordLength) col = text::kMaxRecordLength + 1;
    pos = col;
  }

 private:
  void pad() {
    std::string& r = recs_[cur_];
    for (int i = len_; i < width_; ++i) r[static_cast<std::size_t>(i)] = ' ';
    len_ = width_;
  }

  std::string* out_ = nullptr;
  std::size_t start_ = 0;
  std::string* recs_ = nullptr;
  int nrec_ = 0;
  int cur_ = 0;
  int width_ = 0;
  bool scalar_ = false;
  int len_ = 0;
  int deferred_ = 0;
};

int put_field(Writer& wr) { return wr.put(g_field.data(), static_cast<int>(g_field.size())); }

// One data item under a data edit descriptor.
int write_item(Writer& wr, const Tok& t, const FmtItem& it, std::size_t index, int scale,
               SignMode sign) {
  using K = FmtItem::Kind;
  if (t.w > text::kMaxRecordLength ||
      (t.w == 0 && (t.d > text::kMaxRecordLength || t.e > text::kMaxRecordLength))) {
    return set_error(kIostatEndOfRecord, "End of record");
  }
  switch (t.op) {
    case Op::I: case Op::B: case Op::O: case Op::Z:
      if (it.kind != K::Int) return type_error("INTEGER", index, it.kind);
      text::field_integer(g_field, it.i, t, sign);
      return put_field(wr);
    case Op::F: case Op::E: case Op::EN: case Op::ES: case Op::D: {
      if (it.kind != K::Real && it.kind != K::Double) return type_error("REAL", index, it.kind);
      if (t.op == Op::F && (scale > text::kMaxRecordLength || scale < -text::kMaxRecordLength)) {
        // kP scales F output by 10**k: more digits than a record can hold.
        return set_error(kIostatEndOfRecord, "End of record");
      }
      double v = it.kind == K::Real ? static_cast<double>(it.f) : it.d;
      int rc = text::field_real(g_field, v, it.kind == K::Real, t, scale, sign);
      if (rc != 0) return set_error(rc, "Scale factor out of range in format specifier 'E' or 'D'");
      return put_field(wr);
    }
    case Op::G:
      switch (it.kind) {
        case K::Int: {
          Tok i = t;
          i.op = Op::I;
          i.has_m = false;
          text::field_integer(g_field, it.i, i, sign);
          return put_field(wr);
        }
        case K::Logical:
          text::field_logical(g_field, it.i != 0, t.w);
          return put_field(wr);
        case K::Text: {
          Tok a = t;
          a.op = Op::A;
          a.has_w = t.w > 0;
          return write_item(wr, a, it, index, scale, sign);
        }
        default: {
          double v = it.kind == K::Real ? static_cast<double>(it.f) : it.d;
          int rc = text::field_real(g_field, v, it.kind == K::Real, t, scale, sign);
          if (rc != 0) return set_error(rc, "Scale factor out of range in format specifier 'E' or 'D'");
          return put_field(wr);
        }
      }
    case Op::L:
      if (it.kind != K::Logical && it.kind != K::Int) return type_error("LOGICAL", index, it.kind);
      text::field_logical(g_field, it.i != 0, t.w);
      return put_field(wr);
    case Op::A: {
      if (it.kind != K::Text) return type_error("CHARACTER", index, it.kind);
      int n = static_cast<int>(it.s.size());
      int w = t.has_w ? t.w : n;
      if (w > n) {
        g_field.assign(static_cast<std::size_t>(w - n), ' ');
        g_field.append(it.s);
        return put_field(wr);
      }
      return wr.put(it.s.data(), w);
    }
    default:
      return 0;
  }
}

// List-directed WRITE of all items into one record.
int run_list(Writer& wr, std::span<const FmtItem> items) {
  using K = FmtItem::Kind;
  bool prev_text = false;
  for (std::size_t n = 0; n < items.size(); ++n) {
    const FmtItem& it = items[n];
    // The record starts with a blank; items are separated by one blank,
    // except two character items in a row.
    if (n == 0 || !(prev_text && it.kind == K::Text)) {
      if (int rc = wr.put(" ", 1); rc != 0) return rc;
    }
    prev_text = it.kind == K::Text;
    switch (it.kind) {
      case K::Int:
        text::list_integer(g_field, it.i);
        break;
      case K::Real:
        text::list_real(g_field, static_cast<double>(it.f), true);
        break;
      case K::Double:
        text::list_real(g_field, it.d, false);
        break;
      case K::Logical:
        g_field.assign(1, it.i != 0 ? 'T' : 'F');
        break;
      case K::Text:
        if (int rc = wr.put(it.s.data(), static_cast<int>(it.s.size())); rc != 0) return rc;
        continue;
    }
    if (int rc = put_field(wr); rc != 0) return rc;
  }
  return 0;
}

// Formatted WRITE: the runtime's loop over format items and data items.
int run_format(Writer& wr, const text::Program& prog, std::span<const FmtItem> items) {
  text::FormatCursor cur(prog);
  std::size_t next = 0;
  bool reverted = false;
  bool data_in_pass = false;
  bool colon_in_pass = false;
  int scale = 0;
  SignMode sign = SignMode::Default;
  while (true) {
    const Tok& t = cur.next();
    if (t.op == Op::End) {
      if (cur.overrun()) return set_error(kIostatBadFormat, "Format goes on without reaching a data item");
      if (next >= items.size()) break;
      // Items are left: format reversion. A new record starts at once, so
      // that X and literals before the next item land in it. A format
      // without data descriptors is an error on its second pass (what the
      // runtime writes before noticing is kept).
      if (data_in_pass) {
        if (int rc = wr.end_record(); rc != 0) return rc;
      } else if (reverted || colon_in_pass) {
        // The runtime goes through such a format twice, or once when it
        // has a ':', before it reports the error.
        return set_error(kIostatBadFormat, "Insufficient data descriptors in format after reversion");
      }
      if (data_in_pass) {
        cur.revert();
      } else {
        cur.restart();  // the runtime's second pass of a format without data
      }
      reverted = true;
      data_in_pass = false;
      colon_in_pass = false;
      continue;
    }
    if (text::is_data(t.op)) {
      if (next >= items.size()) break;
      data_in_pass = true;
      // Pending X and T moves become blanks before the item is looked at,
      // so they are written even when the item is refused.
      if (int rc = wr.put("", 0); rc != 0) return rc;
      if (int rc = write_item(wr, t, items[next], next, scale, sign); rc != 0) return rc;
      ++next;
      cur.item_done();
      continue;
    }
    int rc = 0;
    switch (t.op) {
      case Op::Colon:
        if (next >= items.size()) return wr.finish();
        colon_in_pass = true;
        break;
      case Op::Slash:
        rc = wr.end_record();
        break;
      case Op::X:
      case Op::TR:
        wr.tab_to(wr.pos + t.w);
        break;
      case Op::T:
        wr.tab_to(t.w - 1);
        break;
      case Op::TL:
        wr.tab_to(wr.pos - t.w);
        break;
      case Op::Lit:
        rc = wr.put(prog.text.data() + t.lit, t.lit_len);
        break;
      case Op::Scale:
        scale = t.w;
        break;
      case Op::SignPlus:
        sign = SignMode::Plus;
        break;
      case Op::SignSuppress:
        sign = SignMode::Suppress;
        break;
      case Op::SignDefault:
        sign = SignMode::Default;
        break;
      case Op::Dollar:
        wr.seen_dollar = true;
        break;
      default:
        break;
    }
    if (rc != 0) return rc;
  }
  return wr.finish();
}

int run(Writer& wr, std::string_view format, std::span<const FmtItem> items) {
  const text::Program& prog = text::cached_format(format);
  if (prog.error != 0) return set_error(prog.error, prog.message);
  if (prog.list_directed) {
    if (int rc = run_list(wr, items); rc != 0) return rc;
    return wr.finish();
  }
  return run_format(wr, prog, items);
}

}  // namespace

int format_append(std::string& out, std::string_view format, std::span<const FmtItem> items) {
  Writer wr(out);
  return run(wr, format, items);
}

std::string format(std::string_view format, std::initializer_list<FmtItem> items) {
  std::string out;
  (void)format_append(out, format, std::span<const FmtItem>(items.begin(), items.size()));
  return out;
}

int format_internal(std::string& rec, int width, std::string_view format,
                    std::span<const FmtItem> items) {
  if (width < 0) width = 0;
  rec.resize(static_cast<std::size_t>(width), ' ');
  Writer wr(&rec, 1, width, true);
  return run(wr, format, items);
}

int format_internal(std::span<std::string> recs, int width, std::string_view format,
                    std::span<const FmtItem> items) {
  if (width < 0) width = 0;
  if (recs.empty()) return set_error(kIostatEndOfFile, "End of file");
  for (std::string& r : recs) r.resize(static_cast<std::size_t>(width), ' ');
  Writer wr(recs.data(), static_cast<int>(recs.size()), width, false);
  return run(wr, format, items);
}

void list_write_append(std::string& out, std::span<const FmtItem> items) {
  Writer wr(out);
  (void)run_list(wr, items);
  (void)wr.finish();
}

std::string_view format_last_message() { return g_message; }

}  // namespace zv
