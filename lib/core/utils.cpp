#include "core/utils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "core/frame.h"
#include "core/strings.h"
#include "text/format.h"

namespace zv {

void STAMP(std::string& text, int len) {
  const std::string date = DATETM();
  // A free-format write puts one blank before the items and nothing between
  // consecutive texts; it fails when the record is too short.
  std::string line = " Created by ";
  line += rtrim(program_name());
  line += " V. ";
  line += rtrim(program_version());
  line += " at ";
  line += rtrim(date);
  line += " for ";
  line += rtrim(program_user());
  if (len < 0) len = 0;
  if (line.size() > static_cast<std::size_t>(len)) line = "Created at " + date;
  ONEBLANK(line);
  if (line.size() > static_cast<std::size_t>(len)) line.resize(static_cast<std::size_t>(len));
  text = std::string(rtrim(line));
}

void* MEMALL(std::int64_t nbytes) {
  if (nbytes <= 0) return nullptr;
  if (static_cast<std::uint64_t>(nbytes) > SIZE_MAX) return nullptr;
  return std::malloc(static_cast<std::size_t>(nbytes));
}

void MEMFRE(void* addr) { std::free(addr); }

void ISORT(std::span<int> ivals) {
  const std::size_t n = ivals.size();
  if (n < 2) return;
  std::size_t l = n / 2;
  std::size_t ir = n - 1;
  for (;;) {
    int held;
    if (l > 0) {
      held = ivals[--l];
    } else {
      held = ivals[ir];
      ivals[ir] = ivals[0];
      if (--ir == 0) {
        ivals[0] = held;
        return;
      }
    }
    std::size_t i = l;
    std::size_t j = 2 * l + 1;
    while (j <= ir) {
      if (j < ir && ivals[j] < ivals[j + 1]) ++j;
      if (held < ivals[j]) {
        ivals[i] = ivals[j];
        i = j;
        j = 2 * j + 1;
      } else {
        break;
      }
    }
    ivals[i] = held;
  }
}

void RSORT2(std::span<float> vals, std::span<float> partner) {
  const std::size_t n = std::min(vals.size(), partner.size());
  if (n < 2) return;
  std::size_t l = n / 2;
  std::size_t ir = n - 1;
  for (;;) {
    float held;
    float held_partner;
    if (l > 0) {
      --l;
      held = vals[l];
      held_partner = partner[l];
    } else {
      held = vals[ir];
      held_partner = partner[ir];
      vals[ir] = vals[0];
      partner[ir] = partner[0];
      if (--ir == 0) {
        vals[0] = held;
        partner[0] = held_partner;
        return;
      }
    }
    std::size_t i = l;
    std::size_t j = 2 * l + 1;
    while (j <= ir) {
      if (j < ir && vals[j] < vals[j + 1]) ++j;
      if (held < vals[j]) {
        vals[i] = vals[j];
        partner[i] = partner[j];
        i = j;
        j = 2 * j + 1;
      } else {
        break;
      }
    }
    vals[i] = held;
    partner[i] = held_partner;
  }
}

int IFIND(int target, int tol, std::span<const int> ivals) {
  if (ivals.empty()) return -2;
  if (tol < 0) return -3;
  for (std::size_t i = 0; i < ivals.size(); ++i)
    if (ivals[i] == target) return static_cast<int>(i) + 1;
  if (tol > 0) {
    for (std::size_t i = 0; i < ivals.size(); ++i) {
      // In 64 bits, so that distances near the integer limits do not overflow.
      const std::int64_t d = static_cast<std::int64_t>(ivals[i]) - target;
      if ((d < 0 ? -d : d) <= tol) return static_cast<int>(i) + 1;
    }
  }
  return -1;
}

void ORDER2(float& a, float& b) {
  if (a > b) std::swap(a, b);
}

void FIXANG(float& angle) {
  if (!std::isfinite(angle)) return;
  float a = std::fmod(angle, 360.0f);
  if (a < 0.0f) a += 360.0f;
  // A tiny negative angle plus 360 rounds to 360 itself.
  if (a >= 360.0f) a -= 360.0f;
  angle = a;
}

void HSVRGB(float h, float s, float v, float& r, float& g, float& b) {
  if (s == 0.0f) {
    r = g = b = v;
    return;
  }
  // Turn the hue so that 0 is blue, 120 red and 240 green. Hues more than one
  // turn away are brought into range as a whole, never left outside the six
  // sectors.
  float hh = h - 120.0f;
  if (hh < 0.0f) hh += 360.0f;
  if (hh >= 360.0f) hh -= 360.0f;
  if (!(hh >= 0.0f && hh < 360.0f)) FIXANG(hh);
  if (!std::isfinite(hh)) hh = 0.0f;
  hh /= 60.0f;
  int i = static_cast<int>(hh);
  if (i > 5) i = 5;
  if (i < 0) i = 0;
  const float f = hh - static_cast<float>(i);
  const float p = v * (1.0f - s);
  const float q = v * (1.0f - f * s);
  const float t = v * (1.0f - (1.0f - f) * s);
  switch (i) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
}

void RGBHSV(float r, float g, float b, float& h, float& s, float& v) {
  const float mx = std::max(r, std::max(g, b));
  const float mn = std::min(r, std::min(g, b));
  v = mx;
  s = mx != 0.0f ? (mx - mn) / mx : 0.0f;
  if (s == 0.0f) {
    h = 0.0f;
    return;
  }
  const float d = mx - mn;
  const float rc = (mx - r) / d;
  const float gc = (mx - g) / d;
  const float bc = (mx - b) / d;
  float hh;
  if (r == mx)
    hh = bc - gc;
  else if (g == mx)
    hh = 2.0f + rc - bc;
  else
    hh = 4.0f + gc - rc;
  hh = 60.0f * hh + 120.0f;
  if (hh < 0.0f) hh += 360.0f;
  if (hh > 360.0f) hh -= 360.0f;
  h = hh;
}

int NICSTP(float xmin, float xmax, int nmax, float& step, int& n) {
  if (nmax < 1) return -2;
  const float range = xmax - xmin;
  if (!std::isfinite(range)) return -3;
  const float s = range / static_cast<float>(nmax);
  if (s == 0.0f) return -1;
  // nint(log10(|s|)) and 10.0**k in single precision, as the run-time
  // computes them: the logarithm of the float, the power by repeated
  // squaring and its inverse for a negative k.
  const long k = std::lround(std::log10(std::fabs(s)));
  unsigned long m = static_cast<unsigned long>(k < 0 ? -k : k);
  float x = 10.0f;
  float p = (m & 1u) ? x : 1.0f;
  while (m >>= 1) {
    x *= x;
    if (m & 1u) p *= x;
  }
  step = k < 0 ? 1.0f / p : p;
  // A range so small that 10**|k| overflows gives a step of 0, with which
  // the search below would never end.
  if (step == 0.0f || !std::isfinite(step)) return -3;
  if (s < 0.0f) step = -step;
  bool five = true;
  for (;;) {
    const float q = range / step;
    if (static_cast<double>(q) < static_cast<double>(nmax) + 1.0) {
      n = static_cast<int>(q);
      return 0;
    }
    step *= five ? 5.0f : 2.0f;
    five = !five;
  }
}

void REALFMT(float& x, std::string& text) {
  const float ax = std::fabs(x);
  std::string rec;
  if (x == 0.0f || (ax >= 0.001f && ax <= 9999.999f)) {
    const float t = 10000.0f * x;
    x = static_cast<float>(std::lround(t)) / 10000.0f;
    const FmtItem item(x);
    (void)format_internal(rec, 10, "(f10.3)", std::span<const FmtItem>(&item, 1));
    rec.resize(10, ' ');
    if (rec[9] == '0') {
      rec[9] = ' ';
      if (rec[8] == '0') {
        rec[8] = ' ';
        if (rec[7] == '0') rec[6] = rec[7] = ' ';
      }
    }
  } else {
    const FmtItem item(x);
    (void)format_internal(rec, 8, "(1pe8.1)", std::span<const FmtItem>(&item, 1));
  }
  NOBLANKS(rec);
  text = rec;
}

void PACK4(int i1, int i2, int i3, int i4, int& packed) {
  const auto field = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, -512, 511) + 512); };
  const std::uint32_t top = static_cast<std::uint32_t>(std::clamp(i4, 0, 3));
  const std::uint32_t u = field(i1) | (field(i2) << 10) | (field(i3) << 20) | (top << 30);
  packed = static_cast<int>(u);
}

void UNPACK4(int& i1, int& i2, int& i3, int& i4, int packed) {
  const auto u = static_cast<std::uint32_t>(packed);
  i1 = static_cast<int>(u & 1023u) - 512;
  i2 = static_cast<int>((u >> 10) & 1023u) - 512;
  i3 = static_cast<int>((u >> 20) & 1023u) - 512;
  i4 = static_cast<int>(u >> 30);
}

}  // namespace zv
