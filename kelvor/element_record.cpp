#include "element_record.h"

#include <bit>
#include <charconv>
#include <cstdint>

#include "text/read.h"

namespace kelvor {

int read_element_record_general(std::string_view value, ElementFields& f) {
  zv::ReadItem items[] = {
      zv::ReadItem(f.name, kElementTextLen), zv::ReadItem(f.from, kElementTextLen),
      zv::ReadItem(f.to, kElementTextLen),   zv::ReadItem(f.nres),
      zv::ReadItem(f.xyz[0]),                zv::ReadItem(f.xyz[1]),
      zv::ReadItem(f.xyz[2]),                zv::ReadItem(f.xyz[3]),
      zv::ReadItem(f.xyz[4]),                zv::ReadItem(f.xyz[5]),
  };
  return zv::list_read(value, items);
}

namespace {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Characters that may stand in an unquoted label without any special
// meaning to the list-directed reader.
inline bool is_plain_label_char(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || is_digit(c) || c == '_' ||
         c == '-' || c == '.' || c == '+';
}

class Scanner {
 public:
  explicit Scanner(std::string_view v) : v_(v) {}

  // Skips blanks; false at the end of the value.
  bool skip_blanks() {
    while (p_ < v_.size() && v_[p_] == ' ') ++p_;
    return p_ < v_.size();
  }
  // The end of an item: a blank or the end of the value.
  bool at_separator() const { return p_ >= v_.size() || v_[p_] == ' '; }

  bool label(std::string& out) {
    if (!skip_blanks()) return false;
    std::string_view item;
    if (v_[p_] == '\'') {
      const std::size_t q = v_.find('\'', p_ + 1);
      if (q == std::string_view::npos) return false;
      item = v_.substr(p_ + 1, q - p_ - 1);
      p_ = q + 1;
      // A doubled quote or text glued to the closing quote: general reader.
      if (!at_separator()) return false;
    } else {
      const std::size_t start = p_;
      while (p_ < v_.size() && v_[p_] != ' ') {
        if (!is_plain_label_char(v_[p_])) return false;
        ++p_;
      }
      item = v_.substr(start, p_ - start);
    }
    if (item.size() > static_cast<std::size_t>(kElementTextLen)) item = item.substr(0, kElementTextLen);
    out.assign(item);
    out.resize(kElementTextLen, ' ');
    return true;
  }

  bool integer(int& out) {
    if (!skip_blanks()) return false;
    std::size_t p = p_;
    bool neg = false;
    if (v_[p] == '+' || v_[p] == '-') neg = v_[p++] == '-';
    const std::size_t digits_start = p;
    std::int64_t val = 0;
    while (p < v_.size() && is_digit(v_[p])) {
      val = val * 10 + (v_[p] - '0');
      if (val > 2147483647LL) return false;
      ++p;
    }
    if (p == digits_start || (p < v_.size() && v_[p] != ' ')) return false;
    out = static_cast<int>(neg ? -val : val);
    p_ = p;
    return true;
  }

  // A plain decimal real: [sign] digits [. digits] [E [sign] digits].
  bool real(float& out) {
    if (!skip_blanks()) return false;
    std::size_t p = p_;
    bool neg = false;
    if (v_[p] == '+' || v_[p] == '-') neg = v_[p++] == '-';
    std::uint64_t mant = 0;
    int ndig = 0, scale = 0;  // value = mant * 10^scale
    bool exact = true;
    auto digit = [&](char c, bool fraction) {
      ++ndig;
      if (mant < 100000000000000000ULL) {
        mant = mant * 10 + static_cast<std::uint64_t>(c - '0');
        if (fraction) --scale;
      } else {
        exact = false;
      }
    };
    while (p < v_.size() && is_digit(v_[p])) digit(v_[p++], false);
    if (p < v_.size() && v_[p] == '.') {
      ++p;
      while (p < v_.size() && is_digit(v_[p])) digit(v_[p++], true);
    }
    if (ndig == 0) return false;
    if (p < v_.size() && (v_[p] == 'e' || v_[p] == 'E')) {
      ++p;
      bool eneg = false;
      if (p < v_.size() && (v_[p] == '+' || v_[p] == '-')) eneg = v_[p++] == '-';
      const std::size_t exp_start = p;
      int e = 0;
      while (p < v_.size() && is_digit(v_[p])) {
        if (e < 100000) e = e * 10 + (v_[p] - '0');
        ++p;
      }
      if (p == exp_start) return false;
      scale += eneg ? -e : e;
    }
    if (p < v_.size() && v_[p] != ' ') return false;
    // An integer mantissa and a power of ten that are both exact in single
    // precision give the correctly rounded value with one division or
    // multiplication, as the general reader's conversion does.
    static constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    if (exact && mant <= (1u << 24) && scale >= -10 && scale <= 10) {
      const float m = static_cast<float>(mant);
      const float v = scale < 0 ? m / kPow10[-scale] : m * kPow10[scale];
      out = neg ? -v : v;
      p_ = p;
      return true;
    }
    // Otherwise the exact decimal conversion (from_chars takes no '+').
    const char* first = v_.data() + (v_[p_] == '+' ? p_ + 1 : p_);
    const char* last = v_.data() + p;
    const auto res = std::from_chars(first, last, out);
    if (res.ec != std::errc() || res.ptr != last) return false;
    p_ = p;
    return true;
  }

 private:
  std::string_view v_;
  std::size_t p_ = 0;
};

}  // namespace

bool read_element_record_fast(std::string_view value, ElementFields& f) {
  Scanner s(value);
  if (!s.label(f.name) || !s.label(f.from) || !s.label(f.to) || !s.integer(f.nres)) return false;
  for (float& x : f.xyz) {
    if (!s.real(x)) return false;
  }
  return true;
}

int read_element_record(std::string_view value, ElementFields& f) {
  if (read_element_record_fast(value, f)) return 0;
  // The general reader keeps a variable as it was for a null value ("1,,3")
  // and for every item after a slash: such an element would silently take
  // another's values. The record is read twice over two different fillings;
  // an item that differs between the two was not in the record, which is
  // then as unreadable as a record of nine items.
  ElementFields a, b;
  a.name = a.from = a.to = std::string(kElementTextLen, '\x01');
  b.name = b.from = b.to = std::string(kElementTextLen, '\x02');
  a.nres = 0;
  b.nres = 1;
  for (int k = 0; k < 6; ++k) {
    a.xyz[k] = 0.0f;
    b.xyz[k] = 1.0f;
  }
  const int rc = read_element_record_general(value, a);
  if (rc != 0) return rc;
  if (read_element_record_general(value, b) != 0) return zv::kIostatEnd;
  bool whole = a.name == b.name && a.from == b.from && a.to == b.to && a.nres == b.nres;
  // Compared bit for bit: a NaN read from the record is the same in both.
  for (int k = 0; k < 6; ++k)
    whole = whole && std::bit_cast<std::uint32_t>(a.xyz[k]) == std::bit_cast<std::uint32_t>(b.xyz[k]);
  if (!whole) return zv::kIostatEnd;
  f = a;
  return 0;
}

}  // namespace kelvor
