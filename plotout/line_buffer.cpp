#include "plotout/line_buffer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace zv::plotout {
namespace {

constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
constexpr std::uint64_t kDiv[] = {1, 10, 100, 1000, 10000};

// Digits of n, most significant first; returns the count (at least 1).
int put_uint(char* out, std::uint64_t n) {
  char tmp[24];
  int k = 0;
  do {
    tmp[k++] = static_cast<char>('0' + n % 10);
    n /= 10;
  } while (n != 0);
  for (int j = 0; j < k; ++j) out[j] = tmp[k - 1 - j];
  return k;
}

}  // namespace

int render_f(char* out, float v, int w, int d) {
  if (d < 0) d = 0;
  if (d > 17) d = 17;
  const bool neg = std::signbit(v);
  const double a = std::fabs(static_cast<double>(v));
  // Integer digits and decimals of the rounded magnitude.
  char ipart[48];
  char fpart[24];
  int ni = 0;
  if (d <= 4 && a < 1e14) {
    // A float has 24 significant bits and 10**d at most 14, so the product is
    // exact in double and nearbyint rounds the exact value, ties to even.
    const auto n = static_cast<std::uint64_t>(std::nearbyint(a * kScale[d]));
    ni = put_uint(ipart, n / kDiv[d]);
    std::uint64_t frac = n % kDiv[d];
    for (int j = d - 1; j >= 0; --j) {
      fpart[j] = static_cast<char>('0' + frac % 10);
      frac /= 10;
    }
  } else {
    // The C library converts the exact binary value the same way.
    char tmp[96];
    const int len = std::snprintf(tmp, sizeof tmp, "%.*f", d, a);
    const char* dot = static_cast<const char*>(std::memchr(tmp, '.', static_cast<std::size_t>(len)));
    ni = dot ? static_cast<int>(dot - tmp) : len;
    if (ni > 40) ni = 40;  // cannot happen for a finite float
    std::memcpy(ipart, tmp, static_cast<std::size_t>(ni));
    if (d > 0) std::memcpy(fpart, dot + 1, static_cast<std::size_t>(d));
  }
  const bool zero_int = ni == 1 && ipart[0] == '0';
  int len = (neg ? 1 : 0) + ni + 1 + d;
  const bool drop_zero = zero_int && d > 0 && len == w + 1;
  char* p = out;
  if (neg) *p++ = '-';
  if (!drop_zero) {
    std::memcpy(p, ipart, static_cast<std::size_t>(ni));
    p += ni;
  } else {
    --len;
  }
  *p++ = '.';
  std::memcpy(p, fpart, static_cast<std::size_t>(d));
  return len;
}

int render_i(char* out, long long v, int w) {
  char* p = out;
  std::uint64_t m = static_cast<std::uint64_t>(v);
  if (v < 0) {
    *p++ = '-';
    m = ~m + 1;
  }
  return static_cast<int>(p - out) + put_uint(p, m);
}

LineBuffer& LineBuffer::text(std::string_view s) {
  if (!compact_) {
    buf_.append(s);
    return *this;
  }
  for (char c : s) put(c);
  return *this;
}

LineBuffer& LineBuffer::ps_string(std::string_view s) {
  // From the right, a "(" with no ")" left over after it has no partner.
  unmatched_.assign(s.size(), 0);
  std::size_t closing = 0;
  for (std::size_t k = s.size(); k-- > 0;) {
    if (s[k] == ')') {
      ++closing;
    } else if (s[k] == '(') {
      if (closing == 0) {
        unmatched_[k] = 1;
      } else {
        --closing;
      }
    }
  }
  // From the left, a ")" with no open "(" before it has no partner.
  std::size_t depth = 0;
  for (std::size_t k = 0; k < s.size(); ++k) {
    const char c = s[k];
    bool escape = c == '\\';
    if (c == '(') {
      escape = unmatched_[k] != 0;
      if (!escape) ++depth;
    } else if (c == ')') {
      escape = depth == 0;
      if (!escape) --depth;
    }
    if (escape) {
      buf_.push_back('\\');
      buf_.push_back(c);
    } else if (c == '\n' || c == '\r') {
      put(' ');
    } else {
      put(c);
    }
  }
  return *this;
}

LineBuffer& LineBuffer::comment(std::string_view s) {
  for (char c : s) put(c == '\n' || c == '\r' ? ' ' : c);
  return *this;
}

LineBuffer& LineBuffer::vrml_string(std::string_view s) {
  for (char c : s) {
    if (c == '"' || c == '\\') {
      buf_.push_back('\\');
      buf_.push_back(c);
    } else if (c == '\n' || c == '\r') {
      put(' ');
    } else {
      put(c);
    }
  }
  return *this;
}

LineBuffer& LineBuffer::blanks(int n) {
  for (int k = 0; k < n; ++k) put(' ');
  return *this;
}

void LineBuffer::field(const char* s, int n, int w) {
  if (n < w) {
    if (compact_) {
      put(' ');
    } else {
      buf_.append(static_cast<std::size_t>(w - n), ' ');
    }
  } else if (n > w && !buf_.empty() && buf_.back() != ' ') {
    // The value is written in full; a blank keeps it apart from the last item.
    buf_.push_back(' ');
  }
  buf_.append(s, static_cast<std::size_t>(n));
}

LineBuffer& LineBuffer::f(float v, int w, int d) {
  if (!std::isfinite(v)) v = 0.0f;
  char tmp[64];
  const int n = render_f(tmp, v, w, d);
  field(tmp, n, w);
  return *this;
}

LineBuffer& LineBuffer::i(long long v, int w) {
  char tmp[32];
  const int n = render_i(tmp, v, w);
  field(tmp, n, w);
  return *this;
}

std::string_view LineBuffer::view() const {
  std::size_t n = buf_.size();
  while (n > 0 && buf_[n - 1] == ' ') --n;
  return std::string_view(buf_.data(), n);
}

}  // namespace zv::plotout
