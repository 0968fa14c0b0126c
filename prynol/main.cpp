// prynol: assigns helices and strands to the CA atoms of a PDB file with the
// VARSTO template method and writes them as an SSE file.
#include "core/frame.h"
#include "core/usage.h"
#include "params.h"
#include "run.h"
#include "usage.h"

int main(int argc, char** argv) {
  if (zv::help_requested(argc, argv)) return zv::print_usage(prynol::kUsage) ? 0 : 1;
  try {
    zv::ZVSTART(prynol::kProgram, prynol::kVersion, argc, argv);
    prynol::RunState state;
    prynol::run(state);
    zv::ZVSTOP();
  } catch (const zv::Stop& stop) {
    return stop.code;
  }
}
