// Loading the SSE database at start-up, and reading the user's SSE file
// (the query) for the RE command.
#pragma once

#include "state.h"

namespace kelvor {

struct LoadOptions {
  bool list = false;          // echo the library while loading
  bool skip_missing = false;  // drop entries whose PDB file does not exist
};

// Reads the database from the file open on unit 11 (following CHAIN lines
// to further files), fills db and prints the summary. Fatal errors stop the
// program through ERRFAT.
void load_database(Database& db, const LoadOptions& opt);

// The RE command: asks for the user file and reads it into the query.
void cmd_read(KelvorState& st);

// Reads the query from the file open on unit 11 (used by RE after opening).
void read_query_file(Query& query);

}  // namespace kelvor
