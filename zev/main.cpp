// zev: draws plot files (1D, 2D and topology) as Encapsulated PostScript and
// converts them to CricketGraph text, counted 2D plot files and VRML.
#include <memory>

#include "core/frame.h"
#include "capacities.h"
#include "options.h"
#include "startup.h"

int main(int argc, char** argv) {
  if (zev::usage_asked(argc, argv)) return 0;
  try {
    zv::ZVSTART(zev::kProgramName, zev::kProgramVersion, argc, argv);
    auto st = std::make_unique<zev::ZevState>();
    if (zev::allocate_buffers(st->buf, zev::buffer_size())) {
      try {
        zev::PLTCMD(*st);
      } catch (const zv::Stop&) {
        zev::free_buffers(st->buf);
        throw;
      }
    }
    zv::ZVSTOP();
  } catch (const zv::Stop& stop) {
    return stop.code;
  }
}
