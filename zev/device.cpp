// The shipped graphics-device layer: no device.
#include "device.h"

namespace zev {

namespace {

GraphicsDevice& no_device() {
  static GraphicsDevice dev;
  return dev;
}

GraphicsDevice* g_device = nullptr;

}  // namespace

GraphicsDevice& device() { return g_device ? *g_device : no_device(); }

void set_device(GraphicsDevice* dev) { g_device = dev; }

}  // namespace zev
