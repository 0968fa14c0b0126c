// Small services: the "Created by" stamp, memory blocks, heap sorts, list
// search, angle and colour conversions, axis steps, short number texts and
// the packing of three small integers and a flag into one integer.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zv {

// Declared length of a stamp text unless the caller gives its own.
inline constexpr int kStampLen = 128;

// "Created by <program> V. <version> at <date> for <user>", blanks collapsed;
// "Created at <date>" when that does not fit in len characters.
void STAMP(std::string& text, int len = kStampLen);

// A new block of nbytes bytes, or nullptr when none is available (and for
// nbytes of 0 or less). Release it with MEMFRE (nullptr is ignored).
void* MEMALL(std::int64_t nbytes);
void MEMFRE(void* addr);

// Heap sorts, ascending. RSORT2 moves partner[i] with vals[i]; it sorts the
// first min(vals.size(), partner.size()) elements.
void ISORT(std::span<int> ivals);
void RSORT2(std::span<float> vals, std::span<float> partner);

// 1-based position of target in ivals: the first exact match; else, when
// tol > 0, the first element within tol of target; else -1. -2 for an empty
// list, -3 for a negative tol.
int IFIND(int target, int tol, std::span<const int> ivals);

// Swaps a and b when a > b.
void ORDER2(float& a, float& b);

// Brings an angle in degrees into 0 (included) to 360 (excluded).
void FIXANG(float& angle);

// HSV (hue in degrees, saturation and value 0..1) to RGB (0..1) and back. The
// hue is turned by 120 degrees against the usual circle: 0 is blue, 120 red
// and 240 green. RGBHSV gives hues in 0..360 (pure blue gives 360).
void HSVRGB(float h, float s, float v, float& r, float& g, float& b);
void RGBHSV(float r, float g, float b, float& h, float& s, float& v);

// A tick step of 1 or 5 times a power of ten (with the sign of xmax - xmin)
// giving n = int((xmax - xmin) / step) <= nmax intervals. Returns 0, -1 when
// xmin equals xmax, -2 when nmax < 1, -3 for a range that is not finite or
// too small (below about 1e-38) for a power-of-ten step in single precision.
[[nodiscard]] int NICSTP(float xmin, float xmax, int nmax, float& step, int& n);

// A short text for x: rounded to four decimals (written back into x) and
// shown with at most three decimals and no trailing zeros when 0.001 <= |x|
// <= 9999.999 or x is 0, otherwise in the layout 1.2E+05.
void REALFMT(float& x, std::string& text);

// packed = (i1 + 512) + (i2 + 512) * 1024 + (i3 + 512) * 1048576 +
// i4 * 1073741824 for i1..i3 in -512..511 and i4 0 or 1. Values outside
// their field are clamped to it (i4 to 0..3, where 2 and 3 give a negative
// packed value). UNPACK4 reads the bit fields back; i4 is the top two bits
// (0..3), so every 32-bit value unpacks without error.
void PACK4(int i1, int i2, int i3, int i4, int& packed);
void UNPACK4(int& i1, int& i2, int& i3, int& i4, int packed);

}  // namespace zv
