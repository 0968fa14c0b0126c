// kelvor: searches a database of secondary structure elements for proteins
// whose helices and strands are arranged like those of the user's structure.
#include <memory>
#include <new>

#include "commands.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/usage.h"
#include "capacities.h"
#include "usage.h"

int main(int argc, char** argv) {
  if (zv::help_requested(argc, argv)) return zv::print_usage(kelvor::usage()) ? 0 : 1;
  try {
    zv::ZVSTART(kelvor::kProgramName, kelvor::kProgramVersion, argc, argv);
    // The tables are made at their full size once; a system that cannot give
    // that much memory ends the run with a message, not an abort.
    std::unique_ptr<kelvor::KelvorState> st;
    try {
      st = std::make_unique<kelvor::KelvorState>();
    } catch (const std::bad_alloc&) {
      zv::ERRFAT("Not enough memory for the database tables");
    }
    kelvor::startup(*st);
    kelvor::command_loop(*st);
  } catch (const zv::Stop& stop) {
    return stop.code;
  }
  return 0;
}
