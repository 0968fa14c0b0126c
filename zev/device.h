// The graphics-device layer: every on-screen operation of zev goes through
// it. The layer shipped with the program has no device behind it: present()
// is false, every operation does nothing and every query gives zero, so the
// command loop runs its variant without windows. Unit tests install a device
// of their own with set_device() to run the window operations.
#pragma once

#include <functional>
#include <span>
#include <string_view>

namespace zev {

class GraphicsDevice {
 public:
  virtual ~GraphicsDevice() = default;

  virtual bool present() { return false; }
  virtual void init() {}
  virtual void max_windows(int& nwin, int& ncols, int& nrows) { nwin = ncols = nrows = 0; }
  // ierr 0 when the window could be opened.
  virtual void open_window(std::string_view title, int number, int dim, int& ierr) { ierr = 0; }
  virtual void close_window(int number) {}
  virtual void select_window(int number) {}
  virtual void clear_window(int number) {}
  virtual void set_viewport(int col, int row) {}
  virtual void set_background(int colour) {}
  virtual void set_colour(int colour) {}
  virtual void set_view(float xmin, float xmax, float ymin, float ymax) {}
  virtual void move(float x, float y) {}
  virtual void draw(float x, float y) {}
  virtual void polyline(std::span<const float> x, std::span<const float> y) {}
  virtual void rectangle(float x1, float x2, float y1, float y2) {}
  virtual void circle(float x, float y, float r) {}
  virtual void ellipse(float x, float y, float rx, float ry) {}
  virtual void text(float x, float y, std::string_view text) {}
  // Brings the screen up to date.
  virtual void update() {}
  // Ends the picture being drawn; gives the device's number for it.
  virtual int finish_picture() { return 0; }
  // Pop-up menus in the device's menu syntax; define gives a menu number.
  virtual int define_menu(std::string_view items) { return 0; }
  virtual void remove_menu(int menu) {}
  // Runs the cursor loop: the device reports each menu choice with the
  // cursor position through `choice` until it returns false.
  virtual void cursor_loop(float dx, float dy,
                           const std::function<bool(int value, float x, float y)>& choice) {}
};

// The device in use: the shipped no-device layer unless a test installed one.
GraphicsDevice& device();
// Installs a device (nullptr: back to the shipped layer). The caller keeps
// ownership.
void set_device(GraphicsDevice* dev);

}  // namespace zev
