// The run of martuk: start-up, the old macro, reading the hits, then the
// loop of criteria, sorting and the option menu. Ends through ZVSTOP.
#pragma once

#include "state.h"

namespace martuk {

[[noreturn]] void run(MartukState& st);

// The parts of the run, in their order.
void open_old_macro(MartukState& st);
void criteria_block(MartukState& st);
void sort_block(MartukState& st);
// Shows the menu and returns the option chosen.
int menu();

}  // namespace martuk
