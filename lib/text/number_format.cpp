#include "text/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace zv::text {
namespace {

constexpr int kBadFormat = 5006;

// Scratch buffers reused by every conversion: they grow to the largest field
// seen and then stay, so steady-state output allocates nothing.
std::string g_conv;
std::string g_int;
std::string g_frac;
std::string g_digits;
std::string g_exp;

void stars(std::string& f, int w) { f.assign(static_cast<std::size_t>(w < 1 ? 1 : w), '*'); }

char sign_char(bool neg, SignMode sign) {
  if (neg) return '-';
  return sign == SignMode::Plus ? '+' : '\0';
}

// Digits of a (finite, >= 0) rounded to nsig significant digits (nsig >= 1):
// g_digits gets the nsig digits, the result is the decimal exponent E with
// a ~= d.ddd x 10^E. The rounding is of the exact binary value, ties to even.
int sci_digits(double a, int nsig) {
  std::size_t need = static_cast<std::size_t>(nsig) + 16;
  if (g_conv.size() < need) g_conv.resize(need);
  char* b = g_conv.data();
  auto r = std::to_chars(b, b + g_conv.size(), a, std::chars_format::scientific, nsig - 1);
  g_digits.clear();
  const char* p = b;
  for (; p < r.ptr && *p != 'e'; ++p) {
    if (*p != '.') g_digits.push_back(*p);
  }
  int e = 0;
  if (p < r.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), r.ptr, e);
  return e;
}

// Exact floor(log10(a)) for a finite a > 0.
int exact_exponent(double a) {
  // 40 significant digits cannot round up to the next power of ten for any
  // double: no double lies that close below a power of ten.
  return sci_digits(a, 40);
}

// g_int and g_frac get the digits of a * 10^scale rounded to d decimals
// (g_frac has exactly d digits; g_int has no leading zeros, so it is empty
// when the rounded value is below 1).
void fixed_parts(double a, int d, int scale) {
  g_int.clear();
  g_frac.clear();
  int dec = d + scale;
  if (dec >= 0) {
    std::size_t need = static_cast<std::size_t>(dec) + 340;
    if (g_conv.size() < need) g_conv.resize(need);
    char* b = g_conv.data();
    auto r = std::to_chars(b, b + g_conv.size(), a, std::chars_format::fixed, dec);
    const char* end = r.ptr;
    const char* dot = static_cast<const char*>(std::memchr(b, '.', static_cast<std::size_t>(end - b)));
    const char* iend = dot != nullptr ? dot : end;
    g_int.assign(b, static_cast<std::size_t>(iend - b));
    if (dot != nullptr) g_frac.assign(dot + 1, static_cast<std::size_t>(end - dot - 1));
  } else {
    // Rounding lands left of the decimal point (a negative scale factor with
    // few decimals): round to a multiple of 10^m, then write that integer.
    int m = -dec;
    if (a == 0.0) {
      g_int = "0";
    } else {
      int e0 = exact_exponent(a);
      int nsig = e0 + 1 - m;
      if (nsig <= 0) {
        // Rounds to 0 or to 10^m (ties, at exactly half, go to the even 0).
        double half = 0.5 * std::pow(10.0, m);
        if (nsig == 0 && a > half) {
          g_int = "1";
          g_int.append(static_cast<std::size_t>(m), '0');
        } else {
          g_int = "0";
        }
      } else {
        int e = sci_digits(a, nsig);
        g_int = g_digits;
        // e may exceed e0 by one after a carry; the digits then read 100...
        g_int.append(static_cast<std::size_t>(e - (nsig - 1)), '0');
      }
    }
  }
  // Apply the scale factor by moving the decimal point.
  if (scale > 0) {
    std::size_t k = static_cast<std::size_t>(scale);
    g_int.append(g_frac, 0, k);
    g_frac.erase(0, k);
  } else if (scale < 0) {
    std::size_t k = static_cast<std::size_t>(-scale);
    if (g_int.size() < k) g_int.insert(0, k - g_int.size(), '0');
    g_frac.insert(0, g_int, g_int.size() - k, k);
    g_int.erase(g_int.size() - k);
    g_frac.resize(static_cast<std::size_t>(d));  // drops the zeros below 10^-d
  }
  std::size_t nz = 0;
  while (nz < g_int.size() && g_int[nz] == '0') ++nz;
  g_int.erase(0, nz);
}

// Writes [sign][0].frac or [sign]int.frac into a field of width w (0:
// minimal), dropping the optional leading zero when it does not fit.
// The minimal forms (w = 0) of E and G keep the zero before the point only
// while the field stays within the width the runtime sets aside for the
// kind: 16 characters for a REAL, 25 for a DOUBLE.
int minimal_limit(bool single) { return single ? 16 : 25; }

void layout_fixed(std::string& f, bool neg, SignMode sign, int w, int d, int force0_limit = 0) {
  char s = sign_char(neg, sign);
  int slen = s != '\0' ? 1 : 0;
  bool zero_int = g_int.empty();
  int body = static_cast<int>(g_int.size()) + 1 + d;
  bool lead0 = false;
  if (zero_int) {
    if (d == 0) {
      lead0 = true;  // "0." needs its digit
    } else if (force0_limit > 0) {
      lead0 = slen + body + 1 <= force0_limit;  // G0
    } else if (w > 0 && slen + body + 1 <= w) {
      lead0 = true;
    }
  }
  int total = slen + body + (lead0 ? 1 : 0);
  if (w > 0 && total > w) return stars(f, w);
  f.clear();
  if (w > total) f.append(static_cast<std::size_t>(w - total), ' ');
  if (s != '\0') f.push_back(s);
  if (lead0) f.push_back('0');
  f += g_int;
  f.push_back('.');
  f += g_frac;
}

void field_fixed(std::string& f, double v, int w, int d, int scale, SignMode sign,
                 int force0_limit = 0) {
  fixed_parts(std::fabs(v), d, scale);
  layout_fixed(f, std::signbit(v), sign, w, d, force0_limit);
}

// Exponent text: letter, sign and digits, following the runtime: two digits
// with the letter, three without it, or e digits with Ee. False if it does
// not fit.
bool exponent_text(std::string& out, int x, char letter, bool has_e, int e, bool minimal) {
  int ax = std::abs(x);
  char sg = x < 0 ? '-' : '+';
  char dig[16];
  int nd = 0;
  do {
    dig[nd++] = static_cast<char>('0' + ax % 10);
    ax /= 10;
  } while (ax > 0);
  out.clear();
  int width;
  bool letter_on = true;
  if (has_e) {
    if (nd > e) return false;
    width = e;
  } else if (minimal) {
    width = nd;
  } else if (nd <= 2) {
    width = 2;
  } else if (nd == 3) {
    width = 3;
    letter_on = false;
  } else {
    return false;
  }
  if (letter_on) out.push_back(letter);
  out.push_back(sg);
  if (width > nd) out.append(static_cast<std::size_t>(width - nd), '0');
  while (nd > 0) out.push_back(dig[--nd]);
  return true;
}

int field_exp(std::string& f, double v, bool single, const Tok& t, int scale, SignMode sign) {
  int w = t.w;
  int d = t.d;
  bool neg = std::signbit(v);
  double a = std::fabs(v);
  char letter = t.op == Op::D ? 'D' : 'E';
  int k = (t.op == Op::E || t.op == Op::D || t.op == Op::G) ? scale : 0;
  if ((t.op == Op::E || t.op == Op::D || t.op == Op::G) && (k <= -d || k >= d + 2)) {
    f.clear();
    return kBadFormat;
  }
  if (w > 0 && t.has_e && t.e + 2 > w) {  // not even the exponent fits
    stars(f, w);
    return 0;
  }
  int x = 0;  // printed exponent
  g_int.clear();
  g_frac.clear();
  bool lead0_allowed = false;
  if (t.op == Op::ES) {
    if (a == 0.0) {
      g_digits.assign(static_cast<std::size_t>(d + 1), '0');
    } else {
      x = sci_digits(a, d + 1);
    }
    g_int.assign(1, g_digits[0]);
    g_frac.assign(g_digits, 1);
  } else if (t.op == Op::EN) {
    if (a == 0.0) {
      g_digits.assign(static_cast<std::size_t>(d + 1), '0');
      g_int = "0";
      g_frac.assign(static_cast<std::size_t>(d), '0');
    } else {
      int e0 = exact_exponent(a);
      int i = ((e0 % 3) + 3) % 3 + 1;
      int e = sci_digits(a, d + i);
      if (e > e0) {  // rounding carried to the next power of ten
        e0 = e;
        i = ((e0 % 3) + 3) % 3 + 1;
        g_digits.assign(1, '1');
        g_digits.append(static_cast<std::size_t>(d + i - 1), '0');
      }
      x = e0 - (i - 1);
      g_int.assign(g_digits, 0, static_cast<std::size_t>(i));
      g_frac.assign(g_digits, static_cast<std::size_t>(i));
    }
  } else {  // E, D (and G in its exponent form)
    int nsig = k > 0 ? d + 1 : d + k;
    if (a == 0.0) {
      g_digits.assign(static_cast<std::size_t>(nsig), '0');
    } else {
      x = sci_digits(a, nsig) + 1 - k;
    }
    if (k > 0) {
      g_int.assign(g_digits, 0, static_cast<std::size_t>(k));
      g_frac.assign(g_digits, static_cast<std::size_t>(k));
    } else {
      g_frac.assign(static_cast<std::size_t>(-k), '0');
      g_frac += g_digits;
      lead0_allowed = true;
    }
  }
  std::string& ex = g_exp;
  ex.clear();
  if (w == 0 && x == 0 && !t.has_e) {
    // The minimal form leaves out an exponent of zero, as the runtime does.
  } else if (!exponent_text(ex, x, letter, t.has_e, t.e, w == 0)) {
    stars(f, w);
    return 0;
  }
  char s = sign_char(neg, sign);
  int slen = s != '\0' ? 1 : 0;
  int exn = static_cast<int>(ex.size());
  int body = static_cast<int>(g_int.size() + 1 + g_frac.size()) + exn;
  bool lead0 = lead0_allowed && slen + body + 1 <= (w == 0 ? minimal_limit(single) : w);
  int total = slen + body + (lead0 ? 1 : 0);
  if (w > 0 && total > w) {
    stars(f, w);
    return 0;
  }
  f.clear();
  if (w > total) f.append(static_cast<std::size_t>(w - total), ' ');
  if (s != '\0') f.push_back(s);
  if (lead0) f.push_back('0');
  f += g_int;
  f.push_back('.');
  f += g_frac;
  f += ex;
  return 0;
}

// 10**d computed as the runtime does, in the precision of the kind.
template <class T>
T power_of_ten(int d) {
  T r = 1;
  for (int i = 0; i < (d >= 0 ? d : -d); ++i) r *= 10;
  if (d < 0) r = static_cast<T>(1.0 / r);
  return r;
}

// The runtime's choice between the F and E forms of Gw.d, made with
// floating-point thresholds in the precision of the kind (so a DOUBLE just
// below 9.9995 may still take the form of 10.00, as it does there). Returns
// false for the E form, else true with the F decimals in dprime.
template <class T>
bool g_fixed_form(T m, int d, int& dprime) {
  const T r = 0.5;
  const T exp_d = power_of_ten<T>(d);
  const T r_sc = static_cast<T>(1 - r / exp_d);
  volatile T temp = static_cast<T>(0.1 * r_sc);
  if ((m > 0 && (m < temp || r >= static_cast<T>(exp_d - m))) || d == 0) return false;
  int mid = 0;
  int low = 0;
  int high = d + 1;
  int lbound = 0;
  int ubound = d + 1;
  while (low <= high) {
    mid = (low + high) / 2;
    temp = static_cast<T>(power_of_ten<T>(mid - 1) * r_sc);
    if (m < temp) {
      ubound = mid;
      if (ubound == lbound + 1) break;
      high = mid - 1;
    } else if (m > temp) {
      lbound = mid;
      if (ubound == lbound + 1) {
        ++mid;
        break;
      }
      low = mid + 1;
    } else {
      ++mid;
      break;
    }
  }
  dprime = m == 0 ? d - 1 : -(mid - d - 1);
  return true;
}

int field_general(std::string& f, double v, bool single, const Tok& t, int scale, SignMode sign) {
  int w = t.w;
  int d = t.d;
  if (d < 0) d = single ? 9 : 17;  // G0: the digits of the kind
  double a = std::fabs(v);
  int dprime = 0;
  bool fixed = single ? g_fixed_form<float>(static_cast<float>(a), d, dprime)
                      : g_fixed_form<double>(a, d, dprime);
  if (!fixed) {
    Tok e = t;
    e.op = Op::G;
    e.d = d;
    return field_exp(f, v, single, e, scale, sign);
  }
  int npad = t.has_e ? t.e + 2 : 4;
  if (npad >= w) npad = w - 1;
  if (w == 0) npad = 0;
  int fw = w == 0 ? 0 : w - npad;
  field_fixed(f, v, fw, dprime, 0, sign, w == 0 ? minimal_limit(single) : 0);
  if (w > 0 && f[0] == '*') {
    stars(f, w);
    return 0;
  }
  f.append(static_cast<std::size_t>(npad), ' ');
  return 0;
}

}  // namespace

void field_infnan(std::string& f, double v, int w, SignMode sign) {
  bool nan = std::isnan(v);
  bool neg = std::signbit(v);
  SignMode s = neg ? SignMode::Plus : (sign == SignMode::Plus ? SignMode::Plus : SignMode::Default);
  bool signed_out = !nan && s == SignMode::Plus;
  int nb = w;
  if (nb == 0) nb = nan ? 3 : (signed_out ? 4 : 3);
  if (nb < 3) return stars(f, nb);
  f.assign(static_cast<std::size_t>(nb), ' ');
  if (nan) {
    std::memcpy(f.data() + nb - 3, "NaN", 3);
    return;
  }
  if (neg && nb == 3) return stars(f, nb);
  int mark = signed_out ? 8 : 7;
  if (nb > mark) {
    std::memcpy(f.data() + nb - 8, "Infinity", 8);
  } else {
    std::memcpy(f.data() + nb - 3, "Inf", 3);
  }
  if (signed_out) {
    char c = neg ? '-' : '+';
    if (nb < 9 && nb > 3) {
      f[static_cast<std::size_t>(nb - 4)] = c;
    } else if (nb > 8) {
      f[static_cast<std::size_t>(nb - 9)] = c;
    }
  }
}

void field_integer(std::string& f, std::int64_t v, const Tok& t, SignMode sign) {
  char dig[72];
  int nd = 0;
  bool neg = false;
  if (t.op == Op::I || t.op == Op::G) {
    neg = v < 0;
    std::uint64_t u = neg ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    while (u > 0) {
      dig[nd++] = static_cast<char>('0' + u % 10);
      u /= 10;
    }
  } else {
    // B, O, Z show the bits: a default INTEGER is 32 bits wide.
    std::uint64_t u = static_cast<std::uint64_t>(v);
    if (v >= INT32_MIN && v <= INT32_MAX) u &= 0xffffffffULL;
    unsigned base = t.op == Op::B ? 2 : (t.op == Op::O ? 8 : 16);
    while (u > 0) {
      dig[nd++] = "0123456789ABCDEF"[u % base];
      u /= base;
    }
  }
  int m = t.has_m ? t.d : 1;
  int ndig = nd > m ? nd : m;  // m = 0 and v = 0 gives no digits at all
  // No digits at all (Iw.0 of zero): no sign either, only blanks.
  char s = (t.op == Op::I || t.op == Op::G) && ndig > 0 ? sign_char(neg, sign) : '\0';
  int total = ndig + (s != '\0' ? 1 : 0);
  int w = t.w;
  if (w == 0) {
    w = total > 0 ? total : 1;
  }
  if (total > w) return stars(f, w);
  f.assign(static_cast<std::size_t>(w - total), ' ');
  if (s != '\0') f.push_back(s);
  for (int i = ndig; i > nd; --i) f.push_back('0');
  while (nd > 0) f.push_back(dig[--nd]);
}

int field_real(std::string& f, double v, bool single, const Tok& t, int scale, SignMode sign) {
  if (std::isfinite(v) && t.w > 0 && t.d >= t.w && (t.op != Op::G || t.d > 1000)) {
    // d decimals and a point cannot fit in w columns (nothing to convert).
    if ((t.op == Op::E || t.op == Op::D) && (scale <= -t.d || scale >= t.d + 2)) {
      f.clear();
      return kBadFormat;
    }
    stars(f, t.w);
    return 0;
  }
  if (!std::isfinite(v)) {
    if ((t.op == Op::E || t.op == Op::D) && (scale <= -t.d || scale >= t.d + 2)) {
      f.clear();
      return kBadFormat;
    }
    field_infnan(f, v, t.w, sign);
    return 0;
  }
  switch (t.op) {
    case Op::F:
      field_fixed(f, v, t.w, t.d, scale, sign);
      return 0;
    case Op::G:
      return field_general(f, v, single, t, scale, sign);
    default:
      return field_exp(f, v, single, t, scale, sign);
  }
}

void field_logical(std::string& f, bool v, int w) {
  if (w < 1) w = 1;
  f.assign(static_cast<std::size_t>(w - 1), ' ');
  f.push_back(v ? 'T' : 'F');
}

void list_integer(std::string& f, std::int64_t v) {
  Tok t;
  t.op = Op::I;
  t.w = 0;
  field_integer(f, v, t, SignMode::Default);
  if (f.size() < 11) f.insert(0, 11 - f.size(), ' ');
}

void list_real(std::string& f, double v, bool single) {
  int width = single ? 16 : 25;
  int nsig = single ? 9 : 17;
  int ew = single ? 4 : 5;  // room of the exponent part in the fixed form
  if (!std::isfinite(v)) {
    field_infnan(f, v, width, SignMode::Default);
    return;
  }
  double a = std::fabs(v);
  int x = a == 0.0 ? 1 : sci_digits(a, nsig) + 1;
  if (a == 0.0 || (x >= 0 && x <= nsig)) {
    // 0.1 <= |v| < 10**nsig after rounding: fixed form, nsig digits.
    field_fixed(f, v, width - ew, a == 0.0 ? nsig - 1 : nsig - x, 0, SignMode::Default);
    f.append(static_cast<std::size_t>(ew), ' ');
    return;
  }
  Tok t;
  t.op = Op::ES;
  t.w = width;
  t.d = nsig - 1;
  t.has_e = true;
  t.e = single ? 2 : 3;
  field_exp(f, v, single, t, 0, SignMode::Default);
}

}  // namespace zv::text
