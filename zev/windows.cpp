// The window operations of a run with a graphics device: the window table
// (WINSET), opening, selecting, clearing and closing windows, and focus.
#include <algorithm>
#include <array>
#include <string>

#include "core/dialogue.h"
#include "core/messages.h"
#include "core/strings.h"
#include "device.h"
#include "options.h"
#include "text/format.h"

namespace zev {

namespace {

Window& win(ZevState& st, int i) { return st.windows[static_cast<std::size_t>(i)]; }

// An integer from word i when given and readable, else the answer to the
// question (default: the current value).
void int_word(ZevState& st, int i, std::string_view prompt, int& value) {
  if (st.nwords >= i) {
    int v = value;
    if (zv::STRINT(st.word(i), v) == 0) {
      value = v;
      return;
    }
  }
  (void)zv::ivalii(prompt, value);
}

}  // namespace

void WINSET(ZevState& st) {
  LevelTable& lt = st.plot2d.levels;
  lt.value.fill(1000000.0f);
  lt.colour.fill(2);
  lt.n = 1;
  GraphicsDevice& dev = device();
  dev.init();
  int nw = 0, nc = 0, nr = 0;
  dev.max_windows(nw, nc, nr);
  st.max_windows = std::clamp(nw, 0, kMaxWindows);
  st.max_cols = std::clamp(nc, 0, kMaxViewportCols);
  st.max_rows = std::clamp(nr, 0, kMaxViewportRows);
  (void)zv::jvaluo(" Max nr of graphics windows         :", st.max_windows);
  (void)zv::jvaluo(" Max nr of viewport columns         :", st.max_cols);
  (void)zv::jvaluo(" Max nr of viewport rows            :", st.max_rows);
  for (Window& w : st.windows) {
    w.open = false;
    w.limits = {0.0f, 1.0f, 0.0f, 1.0f};
  }
  st.nopen = 0;
  st.current = 0;
}

void opt_open_window(ZevState& st) {
  st.word(1) = "open_window";
  int number = 0;
  for (int i = 1; i <= st.max_windows; ++i) {
    if (!win(st, i).open) {
      number = i;
      break;
    }
  }
  if (number == 0) {
    zv::ERRMSG("No windows available");
    (void)zv::ivaluo(" Maximum :", st.max_windows);
    return;
  }
  Window& w = win(st, number);
  int dim = st.window_dim;
  int_word(st, 2, " Dimension [1,2] ?", dim);
  if (dim != 1 && dim != 2) {
    (void)zv::ivaluo(" Invalid dimension :", dim);
    return;
  }
  st.window_dim = dim;
  if (st.nwords >= 3) {
    st.window_name = std::string(zv::rtrim(st.word(3)));
  } else {
    (void)zv::textii(" Name ?", st.window_name, kWindowNameLen);
  }
  int bg = w.background, fg = w.colour;
  if (st.nwords >= 4) {
    int v = bg;
    if (zv::STRINT(st.word(4), v) == 0) bg = v;
  } else {
    (void)zv::ivalii(" Background colour ?", bg);
  }
  if (st.nwords >= 5) {
    int v = fg;
    if (zv::STRINT(st.word(5), v) == 0) fg = v;
  } else {
    (void)zv::ivalii(" Drawing colour ?", fg);
  }
  st.word(2) = std::to_string(dim);
  st.word(3) = st.window_name.empty() ? "No_name" : st.window_name;
  st.word(4) = std::to_string(bg);
  st.word(5) = std::to_string(fg);
  st.nwords = 5;

  std::string title;
  (void)zv::format_append(title, "(i3,a1,$)", {number, ":"});
  zv::NOBLANKS(title);
  title += st.window_name;
  int ierr = 0;
  GraphicsDevice& dev = device();
  dev.open_window(title, number, dim, ierr);
  if (ierr != 0) {
    zv::ERRMSG("Could not open window");
    return;
  }
  ++st.nopen;
  w.open = true;
  w.dim = dim;
  w.col = w.row = 1;
  w.background = bg;
  w.colour = fg;
  st.current = number;
  st.vp_col = st.vp_row = 1;
  dev.set_viewport(1, 1);
  dev.set_background(bg);
  dev.clear_window(number);
  dev.set_colour(fg);
  w.kind = kKindNone;
  w.npoints = 0;
  w.object = 0;
  (void)zv::ivaluo(" Opened window     :", number);
  (void)zv::textuo(" Name              :", st.window_name);
  (void)zv::ivaluo(" Graphics dim      :", dim);
  (void)zv::ivaluo(" Background colour :", bg);
  (void)zv::ivaluo(" Drawing colour    :", fg);
}

void opt_select_window(ZevState& st) {
  st.word(1) = "select_window";
  if (st.nopen < 1) {
    zv::ERRMSG("No windows open");
    return;
  }
  if (st.nwords < 2) {
    (void)zv::ivaluo(" Selected window :", st.current);
    return;
  }
  int number = st.current;
  if (zv::STRINT(st.word(2), number) != 0) (void)zv::ivalii(" Window ?", number);
  if (number < 1 || number > st.max_windows || !win(st, number).open) {
    zv::ERRMSG("Window not open");
    return;
  }
  st.current = number;
  st.vp_col = st.vp_row = 1;
  (void)zv::ivaluo(" Selected window :", number);
  device().select_window(number);
  device().set_viewport(1, 1);
}

void opt_clear_window(ZevState& st) {
  st.word(1) = "clear_window";
  if (st.current < 1 || !win(st, st.current).open) {
    zv::ERRMSG("Window not open");
    return;
  }
  Window& w = win(st, st.current);
  GraphicsDevice& dev = device();
  dev.set_background(w.background);
  dev.clear_window(st.current);
  dev.set_viewport(1, 1);
  dev.set_colour(w.colour);
  w.col = w.row = 1;
  w.kind = kKindNone;
  w.npoints = 0;
}

void opt_close_window(ZevState& st) {
  st.word(1) = "close_window";
  if (st.current < 1 || !win(st, st.current).open) {
    zv::ERRMSG("Window not open");
    return;
  }
  const int closed = st.current;
  device().close_window(closed);
  (void)zv::ivaluo(" Closed window :", closed);
  win(st, closed).open = false;
  --st.nopen;
  st.current = 0;
  if (st.nopen > 0) {
    for (int i = 1; i <= st.max_windows; ++i) {
      if (win(st, i).open) {
        st.current = i;
        device().select_window(i);
        break;
      }
    }
  }
}

void opt_focus(ZevState& st) {
  st.word(1) = "focus";
  if (st.current < 1 || !win(st, st.current).open || win(st, st.current).dim != 1) {
    zv::ERRMSG("Not a 1D window");
    return;
  }
  const Window& w = win(st, st.current);
  const int n = std::min(w.npoints, kMaxPoints);
  if (n < 1) {
    zv::ERRMSG("No points plotted");
    return;
  }
  int k = st.focus_point;
  int_word(st, 2, " Data point number ?", k);
  if (k < 1 || k > n) {
    zv::ERRMSG("Invalid data point number");
    return;
  }
  st.focus_point = k;
  st.word(2) = std::to_string(k);
  st.nwords = 2;
  const PointStore& pts = st.current_points();
  const float x = pts.x[static_cast<std::size_t>(k)], y = pts.y[static_cast<std::size_t>(k)];
  const float hx = 0.01f * (w.limits[1] - w.limits[0]);
  const float hy = 0.01f * (w.limits[3] - w.limits[2]);
  device().set_view(x - hx, x + hx, y - hy, y + hy);
}

}  // namespace zev
