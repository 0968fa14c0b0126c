#!/usr/bin/env bash
# make demo: runs prynol in batch on the bundled entry data/demo/1ubq.pdb.gz
# (ubiquitin, 76 residues: one main helix and a five-stranded sheet) and prints
# the SSE file it writes. The run happens in BUILD_DIR/demo, where the
# transcript (prynol.log) and the SSE file (1ubq.sse) stay for a look.
# Usage: scripts/demo.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
prynol=$build/prynol/prynol
if [[ ! -x $prynol ]]; then
  echo "demo: $prynol not found; build first (make build)" >&2
  exit 1
fi

work=$build/demo
mkdir -p "$work"
cd "$work"
rm -f 1ubq.sse

# The four answers: molecule ID, description, PDB file (read gzipped as it
# comes from the archive), SSE file.
printf '%s\n' 1ubq "Ubiquitin, 1.8 A X-ray structure" "$root/data/demo/1ubq.pdb.gz" 1ubq.sse |
  "$prynol" -B >prynol.log 2>&1 || {
  cat prynol.log
  echo "demo: prynol failed" >&2
  exit 1
}

sed -n '/Reading PDB file/,/Nr of BETA  strands/p' prynol.log
echo
echo "== $work/1ubq.sse"
cat 1ubq.sse
