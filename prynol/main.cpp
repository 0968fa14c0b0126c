// prynol: assigns helices and strands to the CA atoms of a PDB file with the
// VARSTO template method and writes them as an SSE file.
#include "core/frame.h"
#include "params.h"
#include "run.h"

int main(int argc, char** argv) {
  try {
    zv::ZVSTART(prynol::kProgram, prynol::kVersion, argc, argv);
    prynol::RunState state;
    prynol::run(state);
    zv::ZVSTOP();
  } catch (const zv::Stop& stop) {
    return stop.code;
  }
}
