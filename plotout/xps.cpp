// The PostScript writer: opening with header and prolog, the user window,
// and the drawing operations. Closing (axes, labels, trailer) is in
// xps_close.cpp.
#include "plotout/xps.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "plotout/ps_state.h"
#include "plotout/xvrml.h"

namespace zv {
namespace plotout {

PsState& ps() {
  static PsState s;
  return s;
}

bool ps_check_open() {
  if (ps().open) return true;
  (void)unit_write_line(kUnitStdout, " ERROR - No PostScript file is open");
  return false;
}

void ps_put(std::string_view line) {
  PsState& s = ps();
  if (s.write_failed) return;
  const int err = unit_write_line(s.unit, line);
  if (err != 0) {
    // The page can no longer be whole: the file is closed and, when it is a
    // regular file, removed at once; the page stays open for the caller's
    // remaining calls, which write nothing.
    s.write_failed = true;
    (void)close_written_unit(s.unit, kPsWriteFailure, err);
  }
}

void ps_close_file() {
  PsState& s = ps();
  if (!s.write_failed) (void)close_written_unit(s.unit, kPsWriteFailure);
  s.open = false;
  s.write_failed = false;
}

void ps_point(float px, float py, std::string_view op) {
  LineBuffer& line = ps().line;
  line.clear();
  line.f(px, 10, 2).blanks(1).f(py, 10, 2).blanks(1).text(op);
  ps_put(line.view());
}

void ps_point_fixed(float px, float py, std::string_view op) {
  LineBuffer& line = ps().fixed;
  line.clear();
  line.f(px, 10, 2).blanks(1).f(py, 10, 2).blanks(1).text(op);
  ps_put(line.view());
}

void ps_set_colour(int icol) {
  static constexpr std::string_view kNames[] = {"black", "red",     "green", "yellow",
                                                "blue",  "magenta", "cyan",  "white"};
  if (icol >= 0 && icol <= 7) {
    ps_put(kNames[icol]);
    return;
  }
  float r = 0.0f, g = 0.0f, b = 0.0f;
  const char* op = "C";
  if (icol < 0) {
    ERRMSG("sethsvcolor not yet implemented");
    op = "K";
    // "K" of the prolog names sethsvcolor, which no PostScript reader knows;
    // without this definition the page would stop with an error at the
    // first "K". HSB is the same colour model, and 0 0 0 is black.
    PsState& s = ps();
    if (!s.hsv_defined) {
      ps_put("/sethsvcolor { sethsbcolor } bind def");
      s.hsv_defined = true;
    }
  } else {
    XVRML_RGB(icol, r, g, b);
  }
  LineBuffer& line = ps().line;
  line.clear();
  line.f(r, 10, 2).blanks(1).f(g, 10, 2).blanks(1).f(b, 10, 2).blanks(1).text(op);
  ps_put(line.view());
}

}  // namespace plotout

using plotout::ps;
using plotout::ps_check_open;
using plotout::ps_put;

namespace {

std::string cut(std::string_view text, int len) {
  std::string s(rtrim(text));
  if (s.size() > static_cast<std::size_t>(len)) s.resize(static_cast<std::size_t>(len));
  return std::string(rtrim(s));
}

// The fixed part of the file up to the plot box. "K" calls sethsvcolor,
// which PostScript does not define: a page that uses "K" defines it first
// (see ps_set_colour).
constexpr std::string_view kProlog[] = {
    "%%DocumentFonts: Times-Roman Times-Bold Symbol",
    "%%Pages: 1",
    "%%BoundingBox: 10.0 10.0 535.0 785.0",
    "%%EndComments",
    "/Line { moveto lineto stroke } bind def",
    "/M { moveto } bind def",
    "/L { lineto } bind def",
    "/S { stroke } bind def",
    "/C { stroke setrgbcolor } bind def",
    "/K { stroke sethsvcolor } bind def",
    "/black {0 0 0 C} bind def",
    "/red {1 0 0 C} bind def",
    "/green {0 1 0 C} bind def",
    "/yellow {1 1 0 C} bind def",
    "/blue {0 0 1 C} bind def",
    "/magenta {1 0 1 C} bind def",
    "/cyan {0 1 1 C} bind def",
    "/white {1 1 1 C} bind def",
    "/Center {",
    "dup /Times-Roman findfont exch scalefont setfont",
    "exch stringwidth pop -2 div exch -3 div rmoveto } bind def",
    "/Print { /Times-Roman findfont exch scalefont setfont show } bind def",
    "/Bold { /Times-Bold findfont exch scalefont setfont show } bind def",
    "/Greek { /Symbol findfont exch scalefont setfont show } bind def",
    "/CenterRot90 {",
    "dup /Times-Roman findfont exch scalefont setfont",
    "exch stringwidth pop -2 div exch 3 div exch rmoveto",
    "} bind def",
    "/FilledBox { gsave M L L L fill S grestore } bind def",
    "/GreyBox { gsave 0.5 setgray M L L L fill S grestore } bind def",
    "/DarkBox { gsave 0.2 setgray M L L L fill S grestore } bind def",
    "/LightBox { gsave 0.8 setgray M L L L fill S grestore } bind def",
    "%%EndProlog",
    "% change next line to move the plot on the page",
    "     0.0 0.0 translate",
    "% change next line to scale the plot",
    "     1.0 1.0 scale",
    "     1 setlinecap 1 setlinejoin",
    "     1 setlinewidth 0 setgray",
    "%%Page: 1 1",
    "% begin plot box",
    "black",
};

void write_header() {
  auto& s = ps();
  plotout::LineBuffer& line = s.fixed;
  ps_put("%!PS-Adobe-3.0 EPSF-3.0");
  line.clear();
  line.text("%%Title: ").comment(s.file);
  ps_put(line.view());
  line.clear();
  line.text("%%Creator: ").comment(s.program);
  ps_put(line.view());
  line.clear();
  line.text("%%CreationDate: ").comment(s.date);
  ps_put(line.view());
  for (std::string_view l : kProlog) ps_put(l);
  using plotout::kBoxBottom, plotout::kBoxLeft, plotout::kBoxRight, plotout::kBoxTop;
  plotout::ps_point_fixed(kBoxLeft, kBoxBottom, "M");
  plotout::ps_point_fixed(kBoxRight, kBoxBottom, "L");
  plotout::ps_point_fixed(kBoxRight, kBoxTop, "L");
  plotout::ps_point_fixed(kBoxLeft, kBoxTop, "L");
  ps_put("closepath gsave");
  ps_put("% end plot box");
  ps_put("gsave 1.0000 setgray fill grestore S");
  ps_put("% end of XPS_GRAF header stuff");
}

}  // namespace

void XPS_INIT() {
  auto& s = ps();
  s.unit = 99;
  s.file = "out.ps";
  s.program.clear();
  s.open = false;
  s.write_failed = false;
  s.xlabel = "No_label";
  s.ylabel = "No_label";
  s.legend.clear();
  s.whiteout = false;
  s.xscale = s.yscale = 1.0f;
  s.xmin = s.ymin = s.xmax = s.ymax = 0.0f;
  s.segments = 0;
  s.ndash = 0;
  s.colour = 0;
  XVRML_INIT();
}

void XPS_OPEN(int unit, std::string_view file, std::string_view program) {
  auto& s = ps();
  // Reopening the unit would cut off the page that is still open: it is
  // finished first. The legend lines, white-out flag, dash count and colour
  // set so far stay for the new page, as they would without the old one.
  if (s.open) plotout::ps_finish_page();
  if (unit > 0) s.unit = unit;
  std::string name = cut(file, kXpsTextLen);
  if (name.empty()) {
    name = "out.ps";
    (void)textii(" PostScript file ?", name, kXpsTextLen);
    name = cut(name, kXpsTextLen);
  }
  s.file = name;
  s.program = cut(program, kXpsTextLen);
  if (s.program.empty()) s.program = "UNKNOWN PROGRAM";
  if (XOPXUA(s.unit, name, ISINTR()) != 0) {
    (void)unit_write_line(kUnitStdout, " ERROR - Could not open output PostScript file");
    return;
  }
  s.file = cut(name, kXpsTextLen);
  s.open = true;
  s.write_failed = false;
  s.hsv_defined = false;
  s.date = DATETM();
  s.user = cut(USERNM(), 40);
  if (s.user.empty()) s.user = "an UNKNOWN user";
  (void)textuo(" => XPS_GRAF - ZQV  ", kXpsVersion);
  (void)textuo(" Opened PostScript file :", s.file);
  (void)textuo(" Date    :", s.date);
  (void)textuo(" User    :", s.user);
  (void)textuo(" Program :", s.program);
  write_header();
}

void XPS_WINDOW(float xmin, float xmax, float ymin, float ymax) {
  if (!ps_check_open()) return;
  auto& s = ps();
  // Equal limits would divide by zero: they count as a range of 1.
  float dx = xmax - xmin;
  if (dx == 0.0f || !std::isfinite(dx)) {
    xmax = xmin + 1.0f;
    dx = 1.0f;
  }
  float dy = ymax - ymin;
  if (dy == 0.0f || !std::isfinite(dy)) {
    ymax = ymin + 1.0f;
    dy = 1.0f;
  }
  s.xmin = xmin;
  s.xmax = xmax;
  s.ymin = ymin;
  s.ymax = ymax;
  s.xscale = 450.0f / dx;
  s.yscale = 450.0f / dy;
}

void XPS_PLOTBOX(float& x1, float& x2, float& y1, float& y2) {
  x1 = plotout::kBoxLeft;
  x2 = plotout::kBoxRight;
  y1 = plotout::kBoxBottom;
  y2 = plotout::kBoxTop;
}

void XPS_LABELS(std::string_view xlabel, std::string_view ylabel) {
  if (!ps_check_open()) return;
  auto& s = ps();
  s.xlabel = cut(xlabel, kXpsTextLen);
  s.ylabel = cut(ylabel, kXpsTextLen);
}

void XPS_LEGEND(std::string_view text) {
  if (LENSTR(text) == 0) return;
  auto& s = ps();
  if (static_cast<int>(s.legend.size()) >= kMaxLegendLines) {
    (void)unit_write_line(kUnitStdout, " ERROR - Too many text lines for legend");
    return;
  }
  std::string line(text);
  ONEBLANK(line);
  s.legend.push_back(cut(line, kLegendLineLen));
}

void XPS_COMMENT(std::string_view text) {
  if (!ps_check_open()) return;
  if (LENSTR(text) == 0) return;
  plotout::LineBuffer& line = ps().line;
  line.clear();
  line.text("% PROGAM COMMENT: ").comment(text);
  ps_put(line.view());
}

void XPS_COLOUR(int icol) {
  if (!ps_check_open()) return;
  ps().colour = icol;
  plotout::ps_set_colour(icol);
}

void XPS_DASH() {
  if (!ps_check_open()) return;
  auto& s = ps();
  if (s.ndash == 0) {
    s.dash_on = 1;
    s.dash_off = 0;
    s.dash_offset = 1;
  } else {
    ++s.dash_on;
    if (2 * s.dash_off < s.dash_on) ++s.dash_off;
    s.dash_off = std::max(s.dash_off, 4);
    s.dash_offset = s.dash_on > 1 ? s.dash_on / 2 : 1;
  }
  ++s.ndash;
  ps_put("S");
  plotout::LineBuffer& line = s.line;
  line.clear();
  line.text("[ ").i(s.dash_on, 3).text(" ").i(s.dash_off, 3).text(" ] ");
  line.i(s.dash_offset, 3).text(" setdash");
  ps_put(line.view());
}

void XPS_SOLID() {
  if (!ps_check_open()) return;
  ps().ndash = 0;
  XPS_DASH();
}

void XPS_MOVE(float x, float y) {
  if (!ps_check_open()) return;
  auto& s = ps();
  plotout::LineBuffer& line = s.line;
  line.clear();
  line.text("S ").f(plotout::page_x(s, x), 10, 2).blanks(1);
  line.f(plotout::page_y(s, y), 10, 2).blanks(1).text("M");
  ps_put(line.view());
  s.segments = 0;
}

void XPS_DRAW(float x, float y) {
  if (!ps_check_open()) return;
  auto& s = ps();
  const float px = plotout::page_x(s, x);
  const float py = plotout::page_y(s, y);
  plotout::ps_point(px, py, "L");
  if (++s.segments >= kMaxPathSegments) {
    // Keep paths short: stroke and go on from the same point.
    ps_put("S");
    plotout::ps_point(px, py, "M");
    s.segments = 0;
  }
}

void XPS_STROKE() {
  if (!ps_check_open()) return;
  ps_put("S");
}

void XPS_TEXT(float x, float y, float size, std::string_view text) {
  if (!ps_check_open()) return;
  if (LENSTR(text) == 0) return;
  XPS_MOVE(x, y);
  plotout::LineBuffer& line = ps().line;
  line.clear();
  line.text("(").ps_string(rtrim(text)).text(") ").f(std::max(size, 1.0f), 10, 2);
  line.text(" Print");
  ps_put(line.view());
  ps_put("S");
}

void XPS_BOX(float x1, float x2, float y1, float y2, float red, float green, float blue) {
  if (!ps_check_open()) return;
  auto& s = ps();
  const float px1 = plotout::page_x(s, x1), px2 = plotout::page_x(s, x2);
  const float py1 = plotout::page_y(s, y1), py2 = plotout::page_y(s, y2);
  plotout::LineBuffer& line = s.line;
  line.clear();
  line.blanks(1).f(red, 6, 3).blanks(1).f(green, 6, 3).blanks(1).f(blue, 6, 3);
  line.blanks(1).text("C");
  for (float v : {px1, py1, px1, py2, px2, py2, px2, py1}) line.blanks(1).f(v, 8, 2);
  line.blanks(1).text("FilledBox");
  ps_put(line.view());
}

void XPS_MARKER(int shape, float x1, float x2, float y1, float y2) {
  if (!ps_check_open()) return;
  const float xc = (x1 + x2) / 2.0f;
  const float yc = (y1 + y2) / 2.0f;
  switch (shape) {
    case 1:  // plus
      XPS_MOVE(x1, yc);
      XPS_DRAW(x2, yc);
      XPS_MOVE(xc, y1);
      XPS_DRAW(xc, y2);
      break;
    case 2:  // cross
      XPS_MOVE(x1, y1);
      XPS_DRAW(x2, y2);
      XPS_MOVE(x2, y1);
      XPS_DRAW(x1, y2);
      break;
    case 3:  // hourglass
      XPS_MOVE(x1, y2);
      XPS_DRAW(x2, y2);
      XPS_DRAW(x1, y1);
      XPS_DRAW(x2, y1);
      break;
    case 4:  // diamond
      XPS_MOVE(x1, yc);
      XPS_DRAW(xc, y2);
      XPS_DRAW(x2, yc);
      XPS_DRAW(xc, y1);
      XPS_DRAW(x1, yc);
      break;
    case 5:  // triangle, apex up
      XPS_MOVE(x1, y1);
      XPS_DRAW(xc, y2);
      XPS_DRAW(x2, y1);
      XPS_DRAW(x1, y1);
      break;
    case 6:  // triangle, apex down
      XPS_MOVE(x1, y2);
      XPS_DRAW(x2, y2);
      XPS_DRAW(xc, y1);
      XPS_DRAW(x1, y2);
      break;
    case 7:  // triangle, apex left
      XPS_MOVE(x2, y1);
      XPS_DRAW(x1, yc);
      XPS_DRAW(x2, y2);
      XPS_DRAW(x2, y1);
      break;
    case 8:  // triangle, apex right
      XPS_MOVE(x1, y2);
      XPS_DRAW(x2, yc);
      XPS_DRAW(x1, y1);
      XPS_DRAW(x1, y2);
      break;
    default:  // rectangle
      XPS_MOVE(x1, y1);
      XPS_DRAW(x1, y2);
      XPS_DRAW(x2, y2);
      XPS_DRAW(x2, y1);
      XPS_DRAW(x1, y1);
      break;
  }
  XPS_STROKE();
}

void XPS_CIRCLE(float x, float y, float radius) {
  if (!ps_check_open()) return;
  XPS_ELLIPSE(x, y, radius, radius);
}

void XPS_ELLIPSE(float x, float y, float xradius, float yradius) {
  if (!ps_check_open()) return;
  constexpr float kDegree = 3.14159265f / 180.0f;
  XPS_MOVE(x + xradius, y);
  for (int a = 0; a <= 360; ++a) {
    const float t = static_cast<float>(a) * kDegree;
    XPS_DRAW(x + xradius * std::cos(t), y + yradius * std::sin(t));
  }
}

void XPS_WHITEOUT(int flag) { ps().whiteout = flag != 0; }

bool xps_is_open() { return ps().open; }

}  // namespace zv
