// prynol's answer to --help and -h.
#pragma once

#include <string_view>

namespace prynol {

inline constexpr std::string_view kUsage =
    R"(Usage: prynol [-I | -B | -S]

Reads the CA atoms of a PDB file (plain or gzipped), assigns helices and
strands by fitting every five-residue window to an ideal helix and an ideal
strand, and writes the elements as an SSE file for kelvor. It asks four
questions, one answer per line; an empty answer keeps the default shown in
parentheses:
  4-Character molecule name or ID    (USER)
  Description of molecule            (...)
  Full pathname of input PDB file    (user.pdb)
  Name of output SSE file            (user.sse)

Modes (the first argument that begins with one of them):
  -I   interactive, the default: questions and answers at a terminal
  -B   batch: answers piped in on standard input, e.g.
         printf '%s\n' 1ubq Ubiquitin 1ubq.pdb.gz 1ubq.sse | prynol -B
  -S   socket: run under Mova, which reads standard output as its commands

Environment:
  ZVPATH   folders, separated by ':', searched for an input file named
           without a folder

Exit status: 0 on a normal stop, 1 after a fatal error.
Guide: docs/prynol.md in the source tree (database building: docs/database.md).
)";

}  // namespace prynol
