// The plot writers on arbitrary calls: the bytes are a program of PostScript
// and VRML writer calls, each an operation byte followed by its arguments
// (floats as raw bit patterns, so NaN, infinities and huge values come
// through, small integers, texts of up to 255 bytes, grids of up to 16 by 16
// values), as a plotting program passes on whatever its input files hold.
// The files go to a scratch folder. Beyond "no crash": the PostScript file,
// closed at the end, holds its trailer, and no line of either file outside
// the texts passed in holds "NaN", "Inf" or asterisks (other programs read
// these files).
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/files.h"
#include "core/frame.h"
#include "fuzz_session.h"
#include "plotout/xps.h"
#include "plotout/xvrml.h"

namespace {

constexpr int kPsUnit = 21;
constexpr int kVrmlUnit = 22;

void check(bool ok) {
  if (!ok) std::abort();
}

class Args {
 public:
  Args(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
  bool done() const { return p_ >= end_; }
  std::uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
  int small() { return static_cast<std::int8_t>(byte()); }
  int integer() {
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = v << 8 | byte();
    return static_cast<int>(v);
  }
  float real() {
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = v << 8 | byte();
    float f;
    std::memcpy(&f, &v, sizeof f);
    return f;
  }
  std::string text() {
    const std::size_t n = std::min<std::size_t>(byte(), static_cast<std::size_t>(end_ - p_));
    std::string s(reinterpret_cast<const char*>(p_), n);
    p_ += n;
    return s;
  }

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

// Numbers in the files are always numbers. Lines with texts from the calls
// (PostScript strings and comments, VRML strings) are not looked at.
bool not_a_number(std::string_view token) {
  while (!token.empty() && (token.front() == '+' || token.front() == '-')) token.remove_prefix(1);
  while (!token.empty() && (token.back() == ',' || token.back() == ']')) token.remove_suffix(1);
  std::string t(token);
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return t == "nan" || t == "inf" || t == "infinity" || t.find("**") != std::string::npos;
}

void check_numbers(const std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    const std::string_view line(text.data() + pos, nl - pos);
    pos = nl + 1;
    if (line.find_first_of("(%\"") != std::string_view::npos) continue;
    std::size_t i = 0;
    while (i < line.size()) {
      const std::size_t j = std::min(line.find(' ', i), line.size());
      if (not_a_number(line.substr(i, j - i))) {
        std::fprintf(stderr, "bad number in line: %.*s\n", static_cast<int>(line.size()), line.data());
        std::abort();
      }
      i = j + 1;
    }
  }
}

void run(Args& a, const std::string& ps_file, const std::string& vrml_file) {
  std::vector<float> grid;
  int steps = 0;
  static const bool trace = std::getenv("ZVFUZZ_TRACE") != nullptr;
  while (!a.done() && ++steps < 2000) {
    const int op = a.byte() % 26;
    if (trace) std::fprintf(stderr, "op %d (ps open %d, vrml open %d)\n", op, zv::xps_is_open(), zv::xvrml_is_open());
    switch (op) {
      case 0: {
        const std::string program = a.text();
        zv::XPS_OPEN(kPsUnit, ps_file, program);
        break;
      }
      case 1: {
        const float x1 = a.real(), x2 = a.real(), y1 = a.real(), y2 = a.real();
        zv::XPS_WINDOW(x1, x2, y1, y2);
        break;
      }
      case 2: {
        const std::string x = a.text();
        zv::XPS_LABELS(x, a.text());
        break;
      }
      case 3: zv::XPS_LEGEND(a.text()); break;
      case 4: zv::XPS_COMMENT(a.text()); break;
      case 5: zv::XPS_COLOUR(a.integer()); break;
      case 6: zv::XPS_DASH(); break;
      case 7: zv::XPS_SOLID(); break;
      case 8: {
        const float x = a.real();
        zv::XPS_MOVE(x, a.real());
        break;
      }
      case 9: {
        const float x = a.real();
        zv::XPS_DRAW(x, a.real());
        break;
      }
      case 10: zv::XPS_STROKE(); break;
      case 11: {
        const float x = a.real(), y = a.real(), size = a.real();
        zv::XPS_TEXT(x, y, size, a.text());
        break;
      }
      case 12: {
        float v[7];
        for (float& f : v) f = a.real();
        zv::XPS_BOX(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
        break;
      }
      case 13: {
        const int shape = a.small();
        const float x1 = a.real(), x2 = a.real(), y1 = a.real(), y2 = a.real();
        zv::XPS_MARKER(shape, x1, x2, y1, y2);
        break;
      }
      case 14: {
        const float x = a.real(), y = a.real();
        zv::XPS_CIRCLE(x, y, a.real());
        break;
      }
      case 15: {
        const float x = a.real(), y = a.real(), rx = a.real();
        zv::XPS_ELLIPSE(x, y, rx, a.real());
        break;
      }
      case 16: zv::XPS_WHITEOUT(a.small()); break;
      case 17: zv::XPS_CLOSE(); break;
      case 18: {
        std::string name = vrml_file;
        if (zv::XOPXUA(kVrmlUnit, name, false) != 0) std::abort();
        const float r = a.real(), g = a.real(), b = a.real();
        zv::XVRML_HEADER(kVrmlUnit, r, g, b);
        break;
      }
      case 19: {
        float r = 0, g = 0, b = 0;
        zv::XVRML_RGB(a.integer(), r, g, b);
        int code = 0;
        zv::XVRML_PACK(r, g, b, code);
        zv::XVRML_UNPACK(r, g, b, a.integer());
        break;
      }
      case 20: {
        const float r = a.real(), g = a.real();
        zv::XVRML_MATERIAL(r, g, a.real());
        break;
      }
      case 21: {
        const float x = a.real(), y = a.real();
        zv::XVRML_SCALE(x, y, a.real());
        break;
      }
      case 22:
      case 23: {
        const bool faces = steps % 2 == 0;
        const int nx = a.small() % 17, ny = a.small() % 17;
        grid.clear();
        const int n = nx > 0 && ny > 0 ? nx * ny : 0;
        for (int k = 0; k < n; ++k) grid.push_back(a.real());
        const float x1 = a.real(), x2 = a.real(), y1 = a.real(), y2 = a.real();
        if (faces)
          zv::XVRML_FACES(nx, ny, grid, x1, x2, y1, y2);
        else
          zv::XVRML_LINES(nx, ny, grid, x1, x2, y1, y2);
        break;
      }
      case 24: zv::XVRML_CLOSE(); break;
      default: {
        // XPS_INIT is called once at the start, as programs do: called with
        // a page open, it would drop that page by design.
        float x1, x2, y1, y2;
        zv::XPS_PLOTBOX(x1, x2, y1, y2);
        break;
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string ps_file = zvfuzz::scratch_dir() + "/out.ps";
  const std::string vrml_file = zvfuzz::scratch_dir() + "/out.wrl";
  std::remove(ps_file.c_str());
  std::remove(vrml_file.c_str());
  {
    zvfuzz::Session session("", {kPsUnit, kVrmlUnit});
    try {
      zv::XPS_INIT();
      Args a(data, size);
      run(a, ps_file, vrml_file);
      if (zv::xps_is_open()) zv::XPS_CLOSE();
      if (zv::xvrml_is_open()) zv::XVRML_CLOSE();
    } catch (const zv::Stop&) {
    }
  }
  const std::string ps = zvfuzz::read_file(ps_file);
  if (!ps.empty()) {
    check_numbers(ps);
    check(ps.find("%%Trailer") != std::string::npos);
  }
  check_numbers(zvfuzz::read_file(vrml_file));
  return 0;
}
