// Closing a PostScript page: white-out boxes, axes with tick labels, crop
// marks, axis titles, the plot header, the legend and the trailer.
#include <cmath>
#include <string>

#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "core/utils.h"
#include "plotout/ps_state.h"
#include "plotout/xps.h"

namespace zv {
namespace {

using plotout::ps;
using plotout::ps_point;
using plotout::ps_point_fixed;
using plotout::ps_put;
using plotout::PsState;

// A text line "(<text>) <size> <op>", the text escaped.
void ps_show(std::string_view prefix, std::string_view text, std::string_view size_op) {
  plotout::LineBuffer& line = ps().line;
  line.clear();
  line.text("(").ps_string(prefix).ps_string(text).text(") ").text(size_op);
  ps_put(line.view());
}

void white_box(std::string_view comment, float x1, float y1, float x2, float y2, float x3,
               float y3, float x4, float y4) {
  ps_put(comment);
  plotout::LineBuffer& line = ps().line;
  line.clear();
  for (float v : {x1, y1, x2, y2, x3, y3, x4, y4}) line.blanks(1).f(v, 8, 2);
  line.blanks(1).text("FilledBox");
  ps_put(line.view());
}

void white_out() {
  const PsState& s = ps();
  plotout::ps_set_colour(7);
  white_box("% white out everything below plot box", -100, -100, 1000, -100, 1000, 250, -100,
            250);
  white_box("% white out everything above plot box", -100, 700, 1000, 700, 1000, 1000, -100,
            1000);
  white_box("% white out everything left of box", -100, -100, 50, -100, 50, 1000, -100, 1000);
  white_box("% white out everything right of box", 500, -100, 1000, -100, 1000, 1000, 500,
            1000);
  plotout::ps_set_colour(s.colour);
}

// Tick values of one axis: v = step * trunc((k * step + lo) / step) for k =
// 0 .. n, those within lo..hi. Calls tick(v) for each.
template <typename Tick>
void for_each_tick(float lo, float hi, int nmax, Tick tick) {
  float step = 0.0f;
  int n = 0;
  if (NICSTP(lo, hi, nmax, step, n) != 0) return;
  for (int k = 0; k <= n; ++k) {
    // The truncation is an integer conversion: + 0 turns -0 into 0.
    const float v = step * std::trunc((static_cast<float>(k) * step + lo) / step) + 0.0f;
    if (lo <= v && v <= hi) tick(v);
  }
}

void axes() {
  const PsState& s = ps();
  ps_put("black");
  std::string text;
  for_each_tick(s.xmin, s.xmax, 10, [&](float v) {
    const float px = plotout::page_x(s, v);
    ps_point(px, 250.0f, "M");
    ps_point(px, 243.0f, "L");
    REALFMT(v, text);
    ps_point(px - 3.0f * static_cast<float>(LENSTR(text)), 233.0f, "M");
    ps_show("", text, "12.00 Print");
  });
  for_each_tick(s.ymin, s.ymax, 15, [&](float v) {
    const float py = plotout::page_y(s, v);
    ps_point(500.0f, py, "M");
    ps_point(507.0f, py, "L");
    REALFMT(v, text);
    ps_point(509.0f, py - 3.0f, "M");
    ps_show("", text, "12.00 Print");
  });
  plotout::ps_set_colour(s.colour);
}

}  // namespace

namespace plotout {

void ps_finish_page() {
  PsState& s = ps();
  ps_put("% start of XPS_GRAF footer stuff");
  ps_put("S [1 0] 0 setdash");
  if (s.whiteout) white_out();

  ps_put("% label X axis and Y axis");
  axes();
  ps_put("black");

  ps_put("% little corners top-left and bottom-right");
  ps_point_fixed(25.0f, 715.0f, "M");
  ps_point_fixed(25.0f, 725.0f, "L");
  ps_point_fixed(35.0f, 725.0f, "L S");
  ps_point_fixed(515.0f, 25.0f, "M");
  ps_point_fixed(525.0f, 25.0f, "L");
  ps_point_fixed(525.0f, 35.0f, "L S");

  ps_put("% axis labels");
  ps_point(50.0f, 210.0f, "M");
  ps_show("X = ", s.xlabel, "15.00 Print S");
  ps_point(50.0f, 190.0f, "M");
  ps_show("Y = ", s.ylabel, "15.00 Print S");

  ps_put("% plot header");
  ps_point(50.0f, 720.0f, "M");
  ps_show("File ", s.file, "15.00 Bold S");
  ps_point(50.0f, 740.0f, "M");
  ps_put("(D.) 15.00 Greek S");
  ps_point(70.0f, 740.0f, "M");
  std::string created = "Created by " + s.program + " at " + s.date + " for " + s.user +
                        " *** XPS_GRAF " + std::string(kXpsVersion);
  ps_show("", created, "9.00 Print S");

  if (!s.legend.empty()) {
    ps_put("% remarks as legend");
    for (std::size_t i = 0; i < s.legend.size(); ++i) {
      ps_point(50.0f, 170.0f - 15.0f * static_cast<float>(i), "M");
      ps_show("", s.legend[i], "12.00 Print S");
    }
  }

  ps_put("% almost done now");
  ps_put("grestore stroke");
  ps_put("showpage");
  ps_put("%%Trailer");
  plotout::ps_close_file();
}

}  // namespace plotout

void XPS_CLOSE() {
  if (!plotout::ps_check_open()) return;
  plotout::ps_finish_page();
  PsState& s = ps();
  s.legend.clear();
  s.ndash = 0;
  s.colour = 0;
  s.whiteout = false;
}

}  // namespace zv
