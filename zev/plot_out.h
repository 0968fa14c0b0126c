// Every drawing step of the plotters goes to two outputs side by side: the
// graphics device (when one is present) and, when a PostScript file was
// named, the PostScript writer.
#pragma once

#include <string_view>

#include "device.h"
#include "plotout/xps.h"

namespace zev {

class PlotOut {
 public:
  explicit PlotOut(bool ps) : ps_(ps), dev_(device()), screen_(dev_.present()) {}

  bool ps() const { return ps_; }

  void move(float x, float y) {
    if (screen_) dev_.move(x, y);
    if (ps_) zv::XPS_MOVE(x, y);
  }
  void draw(float x, float y) {
    if (screen_) dev_.draw(x, y);
    if (ps_) zv::XPS_DRAW(x, y);
  }
  void colour(int icol) {
    if (screen_) dev_.set_colour(icol);
    if (ps_) zv::XPS_COLOUR(icol);
  }
  void comment(std::string_view text) {
    if (ps_) zv::XPS_COMMENT(text);
  }
  void text(float x, float y, float size, std::string_view t) {
    if (screen_) dev_.text(x, y, t);
    if (ps_) zv::XPS_TEXT(x, y, size, t);
  }
  void marker(int type, float x1, float x2, float y1, float y2) {
    if (screen_) dev_.rectangle(x1, x2, y1, y2);
    if (ps_) zv::XPS_MARKER(type, x1, x2, y1, y2);
  }
  void box(float x1, float x2, float y1, float y2, float grey) {
    if (screen_) dev_.rectangle(x1, x2, y1, y2);
    if (ps_) zv::XPS_BOX(x1, x2, y1, y2, grey, grey, grey);
  }
  void circle(float x, float y, float r) {
    if (screen_) dev_.circle(x, y, r);
    if (ps_) zv::XPS_CIRCLE(x, y, r);
  }
  void ellipse(float x, float y, float rx, float ry) {
    if (screen_) dev_.ellipse(x, y, rx, ry);
    if (ps_) zv::XPS_ELLIPSE(x, y, rx, ry);
  }
  void window(float xmin, float xmax, float ymin, float ymax) {
    if (screen_) dev_.set_view(xmin, xmax, ymin, ymax);
    if (ps_) zv::XPS_WINDOW(xmin, xmax, ymin, ymax);
  }

 private:
  bool ps_;
  GraphicsDevice& dev_;
  bool screen_;
};

}  // namespace zev
