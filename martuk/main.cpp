// martuk: filters and re-ranks the hits of a Mova macro that a superposition
// program has extended with its results, and writes a new macro holding the
// chosen hits in the chosen order.
#include <memory>

#include "capacities.h"
#include "core/frame.h"
#include "core/usage.h"
#include "run.h"
#include "state.h"

namespace {

constexpr const char* kUsage =
    "Usage: martuk [-I | -B | -S]\n"
    "\n"
    "Reads the hits of a Mova macro extended with superposition results,\n"
    "filters them by number of matches and RMSD, re-ranks them and writes a\n"
    "new Mova macro holding the chosen hits in the chosen order. The\n"
    "questions are asked on standard output and answered on standard input.\n"
    "\n"
    "  -I   interactive (the default)\n"
    "  -B   batch: the answers are piped in, one per line\n"
    "  -S   socket mode, run by Mova\n"
    "  -h, --help   this text\n"
    "\n"
    "Environment:\n"
    "  ZVPATH   directories (separated by \":\") searched for the old macro\n"
    "           when its name holds no \"/\" and it is not in the current one\n"
    "\n"
    "User guide: docs/martuk.md\n";

}  // namespace

int main(int argc, char** argv) {
  if (zv::help_requested(argc, argv)) return zv::print_usage(kUsage) ? 0 : 1;
  try {
    zv::ZVSTART(martuk::kProgramName, martuk::kProgramVersion, argc, argv);
    auto st = std::make_unique<martuk::MartukState>();
    martuk::run(*st);
  } catch (const zv::Stop& stop) {
    return stop.code;
  }
  return 0;
}
