// cursor_mode: the device's cursor loop with two pop-up menus; IC1SPC acts
// on each menu choice at the cursor position.
#include <cmath>
#include <string>

#include "core/dialogue.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/units.h"
#include "device.h"
#include "options.h"
#include "result_line.h"
#include "text/format.h"

namespace zev {

namespace {

constexpr const char* kMenuManipulate =
    "Manipulate              %t   %F |ID data point ^         %x4     |location ^              "
    "%x1  %l |reset full viewport     %x3     |next window             %x2  %l |display one "
    "label ^     %x8     |display all labels      %x9  %l |draw horizontal line ^  %x5     "
    "|draw vertical line ^    %x6     |draw cross lines ^      %x7  %l |quit cursor mode       "
    "%x10  %l |QUIT ZEV               %x11     |";
constexpr const char* kMenuAnalyse =
    "Analyse                 %t   %F  |List data  Y > cursor ^ %x12     |List data  Y < cursor "
    "^ %x13  %l |quit cursor mode        %x10  %l |QUIT ZEV                %x11     |";

// The point of the current window nearest to (x, y), X and Y measured in
// units of the window's ranges; 0 when there is none.
int nearest_point(const ZevState& st, float x, float y, float& dist) {
  const Window& w = st.windows[static_cast<std::size_t>(st.current)];
  const PointStore& pts = st.points[static_cast<std::size_t>(st.current)];
  const float rx = w.limits[1] - w.limits[0], ry = w.limits[3] - w.limits[2];
  int best = 0;
  dist = 0.0f;
  for (int i = 1; i <= std::min(w.npoints, kMaxPoints); ++i) {
    const float ddx = (pts.x[static_cast<std::size_t>(i)] - x) / (rx != 0.0f ? rx : 1.0f);
    const float ddy = (pts.y[static_cast<std::size_t>(i)] - y) / (ry != 0.0f ? ry : 1.0f);
    const float d = std::sqrt(ddx * ddx + ddy * ddy);
    if (best == 0 || d < dist) {
      best = i;
      dist = d;
    }
  }
  return best;
}

void list_points(const ZevState& st, float y, bool above) {
  const Window& w = st.windows[static_cast<std::size_t>(st.current)];
  const PointStore& pts = st.points[static_cast<std::size_t>(st.current)];
  zv::TXTOUT(above ? " Data points with Y >" : " Data points with Y <");
  for (int i = 1; i <= std::min(w.npoints, kMaxPoints); ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    if (above ? pts.y[k] > y : pts.y[k] < y) {
      zv::write_terminal("(' Point # ',I6,' X,Y,Label = ',1P,E12.4,',',E12.4,' |',A,'|')",
            {i, pts.x[k], pts.y[k], pts.label[k]});
    }
  }
}

}  // namespace

// Acts on one menu choice; false ends the cursor loop.
bool IC1SPC(ZevState& st, int value, float x, float y) {
  GraphicsDevice& dev = device();
  Window& w = st.windows[static_cast<std::size_t>(st.current)];
  const PointStore& pts = st.points[static_cast<std::size_t>(st.current)];
  const bool needs_object = value == 4 || value == 8 || value == 9 || value == 12 || value == 13;
  if (needs_object && (w.kind == kKindNone || w.npoints < 1)) {
    zv::ERRMSG("No graphics object in window yet");
    return true;
  }
  switch (value) {
    case 4:
    case 8: {
      float d = 0.0f;
      const int k = nearest_point(st, x, y, d);
      const std::size_t i = static_cast<std::size_t>(k);
      if (value == 4) {
        zv::write_terminal("(' Point # ',I6,' (D = ',1P,E12.4,')',/,' X,Y,Label = ',E12.4,',',E12.4,' |',A,'|')",
              {k, d, pts.x[i], pts.y[i], pts.label[i]});
      } else {
        dev.text(pts.x[i], pts.y[i], pts.label[i]);
      }
      return true;
    }
    case 9:
      for (int i = 1; i <= std::min(w.npoints, kMaxPoints); ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        dev.text(pts.x[k], pts.y[k], pts.label[k]);
      }
      return true;
    case 1:
      (void)zv::fvaluo(" Cursor X, Y :", std::array<float, 2>{x, y});
      return true;
    case 3:
      dev.set_view(w.limits[0], w.limits[1], w.limits[2], w.limits[3]);
      return true;
    case 2:
      for (int step = 1; step <= st.max_windows; ++step) {
        const int i = (st.current - 1 + step) % std::max(st.max_windows, 1) + 1;
        if (st.windows[static_cast<std::size_t>(i)].open) {
          st.current = i;
          dev.select_window(i);
          break;
        }
      }
      return true;
    case 5:
    case 6:
    case 7:
      if (value != 6) {
        dev.move(w.limits[0], y);
        dev.draw(w.limits[1], y);
        (void)zv::fvaluo(" Horizontal line at Y =", y);
      }
      if (value != 5) {
        dev.move(x, w.limits[2]);
        dev.draw(x, w.limits[3]);
        (void)zv::fvaluo(" Vertical   line at X =", x);
      }
      return true;
    case 12:
    case 13:
      list_points(st, y, value == 12);
      return true;
    case 10:
      return false;
    case 11:
      zv::ZVSTOP();
    default:
      zv::ERRMSG("IC1SPC - Invalid option");
      return true;
  }
}

void opt_cursor_mode(ZevState& st) {
  st.word(1) = "cursor_mode";
  if (st.nopen < 1 || st.current < 1 || !st.windows[static_cast<std::size_t>(st.current)].open) {
    zv::ERRMSG("No windows open");
    return;
  }
  float step[2] = {0.0f, 0.0f};
  const char* prompts[2] = {" Arrow key delta-X ?", " Arrow key delta-Y ?"};
  for (int k = 0; k < 2; ++k) {
    float v = 1.0f;
    if (st.nwords >= k + 2 && zv::STRREAL(st.word(k + 2), v) == 0) {
      step[k] = v;
    } else {
      (void)zv::fvalii(prompts[k], v);
      step[k] = v;
    }
    step[k] = std::max(std::fabs(step[k]), 0.0001f);
  }
  (void)zv::fvaluo(" Horizontal arrow step :", step[0]);
  (void)zv::fvaluo(" Vertical arrow step   :", step[1]);
  GraphicsDevice& dev = device();
  const int m1 = dev.define_menu(kMenuManipulate);
  const int m2 = dev.define_menu(kMenuAnalyse);
  dev.cursor_loop(step[0], step[1],
                  [&st](int value, float x, float y) { return IC1SPC(st, value, x, y); });
  dev.remove_menu(m1);
  dev.remove_menu(m2);
}

}  // namespace zev
