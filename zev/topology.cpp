// PLTTOP: the topology plot.
#include "topology.h"

#include <array>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "device.h"
#include "plot_file.h"
#include "plotout/xps.h"

namespace zev {

namespace {

// An element line: x1 y1 x2 y2 width and a quoted name. kelvor writes the
// reals in fixed columns ("(5f6.2,1x,a1,a6,a1)" after the keyword), where
// large values run into each other; such a line is read by those columns.
struct Element {
  float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f, w = 0.0f;
  std::string name;
};

bool read_element(const KeyLine& kl, Element& e) {
  std::string name(6, ' ');
  std::array<zv::ReadItem, 6> items{zv::ReadItem(e.x1), zv::ReadItem(e.y1), zv::ReadItem(e.x2),
                                    zv::ReadItem(e.y2), zv::ReadItem(e.w),
                                    zv::ReadItem(name, 6)};
  if (!read_value_field(kl.value, items)) {
    std::string q1(1, ' '), q2(1, ' ');
    name.assign(6, ' ');
    std::array<zv::ReadItem, 8> fixed{zv::ReadItem(e.x1), zv::ReadItem(e.y1),
                                      zv::ReadItem(e.x2), zv::ReadItem(e.y2),
                                      zv::ReadItem(e.w),  zv::ReadItem(q1, 1),
                                      zv::ReadItem(name, 6), zv::ReadItem(q2, 1)};
    if (zv::format_read_line("(5f6.2,1x,a1,a6,a1)", kl.value, fixed) != 0 || q1 != "'") {
      report_bad_value(kl);
      return false;
    }
  }
  e.name = std::string(zv::rtrim(name));
  return true;
}

// Draws a path on the device and, with a PostScript file, in it.
template <std::size_t N>
void draw_path(bool ps, const std::array<std::array<float, 2>, N>& pts) {
  GraphicsDevice& dev = device();
  if (dev.present()) {
    dev.move(pts[0][0], pts[0][1]);
    for (std::size_t i = 1; i < N; ++i) dev.draw(pts[i][0], pts[i][1]);
  }
  if (ps) {
    zv::XPS_MOVE(pts[0][0], pts[0][1]);
    for (std::size_t i = 1; i < N; ++i) zv::XPS_DRAW(pts[i][0], pts[i][1]);
  }
}

void draw_name(bool ps, float x, float y, const std::string& name) {
  GraphicsDevice& dev = device();
  if (dev.present()) dev.text(x, y, name);
  if (ps) zv::XPS_TEXT(x, y, 10.0f, name);
}

// Single-precision steps, one operation at a time.
float part(float y1, float y2, float f) {
  const float d = y2 - y1;
  const float fd = f * d;
  return y1 + fd;
}

void draw_helix(bool ps, const Element& e) {
  if (ps) zv::XPS_COMMENT("Here comes a helix");
  const float half = e.w / 2.0f;
  const float xl = e.x1 - half, xr = e.x1 + half;
  const float ym = part(e.y1, e.y2, 0.7f);
  draw_path<5>(ps, {{{xl, e.y1}, {xr, e.y1}, {xr, e.y2}, {xl, e.y2}, {xl, e.y1}}});
  draw_path<3>(ps, {{{xr, ym}, {e.x1, e.y2}, {xl, ym}}});
  draw_name(ps, xl, part(e.y1, e.y2, 1.1f), e.name);
}

void draw_strand(bool ps, const Element& e) {
  if (ps) zv::XPS_COMMENT("Here comes a strand");
  const float w3 = 0.3f * e.w, w5 = 0.5f * e.w;
  const float ym = part(e.y1, e.y2, 0.7f);
  draw_path<8>(ps, {{{e.x1 - w3, e.y1},
                     {e.x1 + w3, e.y1},
                     {e.x1 + w3, ym},
                     {e.x1 + w5, ym},
                     {e.x1, e.y2},
                     {e.x1 - w5, ym},
                     {e.x1 - w3, ym},
                     {e.x1 - w3, e.y1}}});
  draw_name(ps, e.x1 - w5, part(e.y1, e.y2, 1.1f), e.name);
}

}  // namespace

void PLTTOP(ZevState& st, int unit, std::string& file, bool ps_wanted, const std::string& psfile,
            int& object, int& error) {
  object = 0;
  error = zv::XOPXOA(unit, file, zv::ISINTR());
  if (error != 0) return;
  GraphicsDevice& dev = device();
  PlotSource src(unit);
  KeyLine kl;
  while (next_key_line(src, kValueLenTopology, kl)) {
    if (kl.comment()) continue;
    if (kl.key == "REMARK") {
      zv::TXTOUT(" >" + std::string(zv::rtrim(kl.value)));
    } else if (kl.key == "XYVIEW") {
      std::array<float, 4> v{};
      if (!read_reals(kl, {&v[0], &v[1], &v[2], &v[3]})) continue;
      if (dev.present()) {
        dev.set_view(v[0], v[1], v[2], v[3]);
        dev.rectangle(v[0], v[1], v[2], v[3]);
      }
      if (st.current >= 0 && st.current <= kMaxWindows) {
        st.windows[static_cast<std::size_t>(st.current)].limits = v;
      }
      if (ps_wanted) {
        zv::XPS_OPEN(-1, psfile, "ZEV");
        zv::XPS_WINDOW(v[0], v[1], v[2], v[3]);
        zv::XPS_LABELS("topo", "topo");
        zv::XPS_DASH();
      }
    } else if (kl.key == "ALPHA " || kl.key == "BETA  ") {
      Element e;
      if (!read_element(kl, e)) continue;
      if (kl.key == "ALPHA ") {
        draw_helix(ps_wanted, e);
      } else {
        draw_strand(ps_wanted, e);
      }
    } else if (kl.key == "END   ") {
      break;
    } else {
      report_invalid_keyword(kl);
    }
  }
  (void)zv::unit_close(unit);
  object = dev.finish_picture();
  if (ps_wanted) zv::XPS_CLOSE();
}

}  // namespace zev
