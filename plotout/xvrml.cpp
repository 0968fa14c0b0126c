#include "plotout/xvrml.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/messages.h"
#include "core/units.h"
#include "core/utils.h"
#include "plotout/colour_table.h"
#include "plotout/line_buffer.h"

namespace zv {
namespace {

constexpr std::string_view kVrmlWriteFailure = "While writing VRML file";

struct VrmlState {
  int unit = 99;
  bool open = false;
  bool failed = false;  // the scene was cut: XVRML_CLOSE does not say it was closed
  float red = 0.0f, green = 0.0f, blue = 0.0f;  // last material colour
  plotout::LineBuffer plain{false};
  plotout::LineBuffer packed{true};
};

VrmlState& state() {
  static VrmlState s;
  return s;
}

// The first failed write: reported, the unit closed and a cut regular file
// removed, so that no partial scene is left to be taken for a whole one.
void write_failed(int err) {
  VrmlState& st = state();
  st.open = false;
  st.failed = true;
  (void)close_written_unit(st.unit, kVrmlWriteFailure, err);
}

// Writes one line while the scene is open; false once it is not.
bool put(std::string_view line) {
  VrmlState& st = state();
  if (!st.open) return false;
  const int err = unit_write_line(st.unit, line);
  if (err != 0) {
    write_failed(err);
    return false;
  }
  return true;
}

// A difference used as a divisor: a zero (or not finite) range counts as a
// unit range, so that a flat grid or equal limits still give a valid scene.
float safe_range(float d) { return (d == 0.0f || !std::isfinite(d)) ? 1.0f : d; }

void write_grid(int nx, int ny, std::span<const float> grid, float x1, float x2, float y1,
                float y2, bool faces) {
  VrmlState& st = state();
  if (!st.open) return;
  const char* name = faces ? "XVRML_FACES" : "XVRML_LINES";
  if (nx < 1 || ny < 1) {
    ERRMSG(std::string(name) + " - Grid must have at least one point along X and Y");
    return;
  }
  if (static_cast<std::uint64_t>(nx) * static_cast<std::uint64_t>(ny) > grid.size()) {
    ERRMSG(std::string(name) + " - Grid holds fewer values than NX * NY");
    return;
  }
  const std::size_t npts = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);

  // Values that are not finite are written as 0 and do not count for the
  // value range.
  float vmin = 0.0f, vmax = 0.0f;
  bool any = false;
  for (std::size_t k = 0; k < npts; ++k) {
    const float v = grid[k];
    if (!std::isfinite(v)) continue;
    if (!any || v < vmin) vmin = v;
    if (!any || v > vmax) vmax = v;
    any = true;
  }
  XVRML_SCALE(100.0f / safe_range(x2 - x1), 100.0f / safe_range(y2 - y1),
              100.0f / safe_range(vmax - vmin));

  const float dx = nx > 1 ? (x2 - x1) / static_cast<float>(nx - 1) : 0.0f;
  const float dy = ny > 1 ? (y2 - y1) / static_cast<float>(ny - 1) : 0.0f;
  if (!put("Separator { Coordinate3 { point [")) return;
  plotout::LineBuffer& line = st.packed;
  for (int i = 1; i <= nx; ++i) {
    const float x = x1 + static_cast<float>(i - 1) * dx;
    for (int j = 1; j <= ny; ++j) {
      const float y = y1 + static_cast<float>(j - 1) * dy;
      const float v = grid[static_cast<std::size_t>(i - 1) +
                           static_cast<std::size_t>(j - 1) * static_cast<std::size_t>(nx)];
      line.clear();
      line.blanks(1).f(x, 8, 3).blanks(1).f(y, 8, 3).blanks(1).f(v, 8, 3).blanks(1).text(",");
      if (!put(line.view())) return;
    }
  }
  if (!put(" ] }")) return;
  if (!put(faces ? "  IndexedFaceSet { coordIndex [ " : "  IndexedLineSet { coordIndex [ "))
    return;
  // Point (i, j) has the index (i - 1) * ny + (j - 1).
  const auto index = [ny](long long i, long long j) { return (i - 1) * ny + (j - 1); };
  for (int j = 1; j < ny; ++j) {
    for (int i = 1; i < nx; ++i) {
      const long long a = index(i, j), b = index(i, j + 1);
      const long long c = index(i + 1, j), d = index(i + 1, j + 1);
      line.clear();
      line.i(a, 8).text(",").i(b, 8).text(",").i(c, 8).text(",").i(a, 8).text(",");
      line.i(-1, 8).text(",");
      if (!put(line.view())) return;
      line.clear();
      line.i(c, 8).text(",").i(b, 8).text(",").i(d, 8).text(",").i(c, 8).text(",");
      line.i(-1, 8).text(",");
      if (!put(line.view())) return;
    }
  }
  (void)put("-1 ] } }");
}

}  // namespace

void XVRML_INIT() {
  (void)unit_write_line(kUnitStdout, "");
  (void)textuo(" Initialising :", kXvrmlVersion);
  (void)jvaluo(" Nr of predefined colours :", kNrPredefinedColours);
  (void)unit_write_line(kUnitStdout, "");
  VrmlState& st = state();
  st.unit = 99;
  st.open = false;
  st.failed = false;
}

void XVRML_HEADER(int unit, float red, float green, float blue) {
  VrmlState& st = state();
  if (unit > 0) st.unit = unit;
  st.open = true;
  st.failed = false;
  std::string stamp;
  STAMP(stamp);
  plotout::LineBuffer& line = st.plain;
  if (!put("#VRML V1.0 ascii")) return;
  line.clear();
  line.text("# ").text(stamp);
  if (!put(line.view())) return;
  line.clear();
  line.text("DEF SceneInfo Info { string \"").text(kXvrmlVersion).text("\" }");
  if (!put(line.view())) return;
  if (!put("DEF Title Info { ")) return;
  line.clear();
  line.text("string \"").vrml_string(stamp).text("\" }");
  if (!put(line.view())) return;
  line.clear();
  line.text("DEF BackgroundColor Info { string \"");
  line.f(red, 8, 3).f(green, 8, 3).f(blue, 8, 3).text("\" }");
  if (!put(line.view())) return;
  if (!put("FontStyle { size 2 }")) return;
  TXTOUT(" Opened VRML file");
}

void XVRML_RGB(int icol, float& red, float& green, float& blue) {
  const int code = icol < kFirstPackedColour ? plotout::predefined_colour_code(icol) : icol;
  XVRML_UNPACK(red, green, blue, code);
}

void XVRML_PACK(float red, float green, float blue, int& code) {
  const auto field = [](float c) {
    const float t = (c - 0.5f) * 1000.0f;
    const int k = std::isnan(t) ? 0 : static_cast<int>(std::clamp(t, -500.0f, 500.0f));
    return static_cast<std::uint32_t>(k + 512);
  };
  code = static_cast<int>(field(red) + field(green) * 1024u + field(blue) * 1048576u);
}

void XVRML_UNPACK(float& red, float& green, float& blue, int code) {
  const auto u = static_cast<std::uint32_t>(code);
  const auto comp = [](std::uint32_t fieldval) {
    const int k = static_cast<int>(fieldval & 1023u) - 512;
    return std::clamp(static_cast<float>(k + 500) / 1000.0f, 0.0f, 1.0f);
  };
  red = comp(u);
  green = comp(u >> 10);
  blue = comp(u >> 20);
}

void XVRML_MATERIAL(float red, float green, float blue) {
  VrmlState& st = state();
  st.red = red;
  st.green = green;
  st.blue = blue;
  if (!st.open) return;
  plotout::LineBuffer& line = st.plain;
  line.clear();
  line.text("Material { diffuseColor ").f(red, 8, 3).f(green, 8, 3).f(blue, 8, 3);
  if (!put(line.view())) return;
  line.clear();
  line.text("          emissiveColor ").f(red, 8, 3).f(green, 8, 3).f(blue, 8, 3).text(" }");
  (void)put(line.view());
}

void XVRML_SCALE(float sx, float sy, float sz) {
  VrmlState& st = state();
  if (!st.open) return;
  plotout::LineBuffer& line = st.packed;
  line.clear();
  line.text("Scale { scaleFactor ").f(sx, 20, 10).f(sy, 20, 10).f(sz, 20, 10).text(" }");
  (void)put(line.view());
}

void XVRML_FACES(int nx, int ny, std::span<const float> grid, float x1, float x2, float y1,
                 float y2) {
  write_grid(nx, ny, grid, x1, x2, y1, y2, true);
}

void XVRML_LINES(int nx, int ny, std::span<const float> grid, float x1, float x2, float y1,
                 float y2) {
  write_grid(nx, ny, grid, x1, x2, y1, y2, false);
}

void XVRML_CLOSE() {
  VrmlState& st = state();
  if (st.open) {
    st.open = false;
    // The last lines reach the file only now: their failure cuts the scene.
    if (close_written_unit(st.unit, kVrmlWriteFailure) != 0) st.failed = true;
  }
  // A scene that was cut has been reported as such, not as closed.
  if (st.failed) {
    st.failed = false;
    return;
  }
  TXTOUT(" Closed VRML file");
}

bool xvrml_is_open() { return state().open; }

}  // namespace zv
