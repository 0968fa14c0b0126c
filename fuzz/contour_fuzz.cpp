// The contour follower on any grid of floats: the bytes give the grid size
// (1..48 by 1..48), up to 50 levels and the grid values, all floats as raw
// bit patterns (NaN, infinities, huge values and exact level hits come
// through). Beyond "no crash": every polyline holds 2..1024 points, every
// point is finite and inside the grid, a contour's pieces are bounded by the
// edges it can cross, and the colour of each level is set once, in order.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "contour.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

class Checker : public zv::ContourOutput {
 public:
  Checker(int nx, int ny) : nx_(nx), ny_(ny) {}
  void colour(int icol) override {
    check(icol == ncolours_ + 1);
    ++ncolours_;
  }
  void polyline(const float* x, const float* y, int n) override {
    check(n >= 2 && n <= zv::kContourBuffer);
    for (int k = 0; k < n; ++k) {
      check(std::isfinite(x[k]) && std::isfinite(y[k]));
      check(x[k] >= 0.0f && x[k] <= static_cast<float>(nx_ - 1));
      check(y[k] >= 0.0f && y[k] <= static_cast<float>(ny_ - 1));
    }
    points_ += n;
  }
  int ncolours_ = 0;
  long points_ = 0;

 private:
  int nx_, ny_;
};

float real_at(const std::uint8_t* data, std::size_t size, std::size_t& pos) {
  std::uint32_t v = 0;
  for (int k = 0; k < 4; ++k) v = v << 8 | (pos < size ? data[pos++] : 0);
  float f;
  std::memcpy(&f, &v, sizeof f);
  return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int nx = data[0] % 48 + 1;
  const int ny = data[1] % 48 + 1;
  const int nlevel = data[2] % 51;
  std::size_t pos = 3;
  std::vector<float> levels(static_cast<std::size_t>(nlevel));
  std::vector<int> colours(static_cast<std::size_t>(nlevel));
  for (int k = 0; k < nlevel; ++k) {
    levels[static_cast<std::size_t>(k)] = real_at(data, size, pos);
    colours[static_cast<std::size_t>(k)] = k + 1;
  }
  // Grid values: a byte picks a small value (so levels and values often
  // meet exactly) or, with its top bit set, a raw float follows.
  std::vector<float> grid(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
  for (float& v : grid) {
    const std::uint8_t b = pos < size ? data[pos++] : 0;
    v = (b & 0x80) ? real_at(data, size, pos) : static_cast<float>(b % 8);
  }
  std::vector<char> marks(static_cast<std::size_t>(zv::contour_marks_size(nx, ny)));
  Checker out(nx, ny);
  zv::CONTOUR(grid, marks, nx, ny, levels, colours, nlevel, out);
  check(out.ncolours_ == ((nx >= 2 && ny >= 2) ? nlevel : 0));
  // Each edge starts at most two lines and is crossed at most once; each
  // piece repeats one point of the piece before it.
  const long edges = 2L * nx * ny;
  check(out.points_ <= static_cast<long>(nlevel) * (6 * edges + 4));
  return 0;
}
