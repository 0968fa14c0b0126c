#include "text/read_value.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <locale.h>

namespace zv::text {
namespace {

std::string g_number;  // decimal string handed to strtof/strtod, reused

// The "C" locale for the conversions, so that a program that sets another
// locale (a decimal comma) reads numbers the same way.
locale_t c_locale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace

std::string g_message;  // last read error

void store_decimal(const ReadItem& it, bool negative, std::string_view digits, long long point,
                   long long exp10) {
  // Leading zeros only move the point; dropping them keeps the string short.
  std::size_t lead = 0;
  while (lead < digits.size() && digits[lead] == '0') ++lead;
  digits.remove_prefix(lead);
  point -= static_cast<long long>(lead);
  double d = 0.0;
  float f = 0.0f;
  if (digits.empty()) {
    d = 0.0;
    f = 0.0f;
  } else {
    // value = 0.digits x 10^(point + exp10)
    long long e = point + exp10;
    constexpr long long kClamp = 100000;  // far beyond any finite double
    if (e > kClamp) e = kClamp;
    if (e < -kClamp) e = -kClamp;
    g_number.clear();
    g_number += "0.";
    g_number += digits;
    g_number += 'e';
    g_number += std::to_string(e);
    if (it.kind == ReadItem::Kind::Real) {
      f = c_locale() != nullptr ? strtof_l(g_number.c_str(), nullptr, c_locale())
                                : std::strtof(g_number.c_str(), nullptr);
    } else {
      d = c_locale() != nullptr ? strtod_l(g_number.c_str(), nullptr, c_locale())
                                : std::strtod(g_number.c_str(), nullptr);
    }
  }
  if (it.kind == ReadItem::Kind::Real) {
    *static_cast<float*>(it.p) = negative ? -f : f;
  } else if (it.kind == ReadItem::Kind::Double) {
    *static_cast<double*>(it.p) = negative ? -d : d;
  }
}

void store_special(const ReadItem& it, bool negative, bool nan) {
  double v = nan ? std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::infinity();
  if (negative) v = -v;
  if (it.kind == ReadItem::Kind::Real) {
    *static_cast<float*>(it.p) = static_cast<float>(v);
  } else if (it.kind == ReadItem::Kind::Double) {
    *static_cast<double*>(it.p) = v;
  }
}

void store_text(const ReadItem& it, std::string_view s) {
  auto& out = *static_cast<std::string*>(it.p);
  std::size_t len = it.len > 0 ? static_cast<std::size_t>(it.len) : 0;
  if (s.size() > len) s = s.substr(0, len);
  out.assign(s);
  out.resize(len, ' ');
}

int read_error(int code, std::string_view msg) {
  g_message.assign(msg);
  return code;
}

int read_error_item(int code, std::string_view before, std::size_t index, std::string_view after) {
  g_message.assign(before);
  g_message += std::to_string(index + 1);
  g_message += after;
  return code;
}

}  // namespace zv::text

namespace zv {
std::string_view read_last_message() { return text::g_message; }
}  // namespace zv
