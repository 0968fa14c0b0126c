// kelvor's answer to --help and -h.
#pragma once

#include <string>

#include "capacities.h"

namespace kelvor {

inline std::string usage() {
  return R"(Usage: kelvor [-I | -B | -S] [MAXHITS n]

Loads a database of SSE files (helices and strands of known structures), reads
your SSE file as the query and searches the database for proteins whose
elements are arranged alike; writes the hits as a Mova macro and a VOBRIL
input file, the query's topology as a plot file for zev, and selects, lists,
extracts, checks and counts database entries. After three start-up questions
(library file, list it, skip missing PDB files) it reads commands: ? lists
them, QUit ends the run. An empty answer keeps the default in parentheses.

Modes (the first argument that begins with one of them):
  -I   interactive, the default: questions and answers at a terminal
  -B   batch: answers and commands piped in on standard input, one per line
  -S   socket: run under Mova, which reads standard output as its commands

Environment (and command line):
  ZVLIB      folder of the SSE library: the default library file becomes
             $ZVLIB/kelvor.lib
  MAXHITS    most hits kept by a search (default )" +
         std::to_string(kDefaultMaxHits) + ", at least " + std::to_string(kMinMaxHits) +
         R"();
             the arguments MAXHITS n override the environment
  ZVPATH     folders, separated by ':', searched for an input file named
             without a folder

Exit status: 0 on a normal stop, 1 after a fatal error.
Guide: docs/kelvor.md in the source tree.
)";
}

}  // namespace kelvor
