// The commands of the option loop and the start-up of kelvor.
#pragma once

#include "state.h"

namespace kelvor {

// Start-up: limits, MAXHITS, type definitions, the library, listing and
// skip questions, loading, the menu box.
void startup(KelvorState& st);
// The option loop; leaves only through ZVSTOP.
[[noreturn]] void command_loop(KelvorState& st);

// The menu box, followed by the warning box when the database is incomplete.
void print_menu(const KelvorState& st);

void cmd_read(KelvorState& st);      // RE (loader.h)
void cmd_params(KelvorState& st);    // PA
void cmd_select(KelvorState& st);    // SE
void cmd_list(KelvorState& st);      // LI
void cmd_extract(KelvorState& st);   // EX
void cmd_check(KelvorState& st);     // CH
void cmd_stats(KelvorState& st);     // ST
void cmd_topology(KelvorState& st);  // TO
void cmd_incremental(KelvorState& st);  // IN
void cmd_find(KelvorState& st);         // FI

// The figures of ST.
void compute_stats(const Database& db, DatabaseStats& s);

}  // namespace kelvor
