// kelvor: searches a database of secondary structure elements for proteins
// whose helices and strands are arranged like those of the user's structure.
#include <memory>

#include "commands.h"
#include "core/frame.h"
#include "capacities.h"

int main(int argc, char** argv) {
  try {
    zv::ZVSTART(kelvor::kProgramName, kelvor::kProgramVersion, argc, argv);
    auto st = std::make_unique<kelvor::KelvorState>();
    kelvor::startup(*st);
    kelvor::command_loop(*st);
  } catch (const zv::Stop& stop) {
    return stop.code;
  }
  return 0;
}
