#!/usr/bin/env bash
# Rebuilds the bundled kelvor database data/db/kelvor.lib from a folder of PDB
# files (default: the shared test entries) with scripts/make-database.sh,
# which runs prynol on every file and leaves out the entries kelvor could not
# hold whole.
#
# Usage: data/db/build.sh [PDB_DIR]     (PRYNOL may name the prynol binary)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
dir=${1:-$root/../shared/data/pdb}
bash "$root/scripts/make-database.sh" "$dir" "$here/kelvor.lib"
