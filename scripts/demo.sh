#!/usr/bin/env bash
# make demo: runs prynol in batch on the bundled entry data/demo/1ubq.pdb.gz
# (ubiquitin, 76 residues: one main helix and a five-stranded sheet) and prints
# the SSE file it writes; then loads the bundled database data/db/kelvor.lib
# (928 entries) into kelvor, reads the new SSE file as the query, lists the
# database's own ubiquitin entry and writes the query's topology plot file.
# The runs happen in BUILD_DIR/demo, where the transcripts (prynol.log,
# kelvor.log), the SSE file (1ubq.sse) and the topology file (topo.zev) stay
# for a look.
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

# kelvor on the bundled database: ZVLIB names its folder, so the default
# answer to the library question is data/db/kelvor.lib. Answers: library,
# listing, skipping; RE the query; LI on name, no elements, entry 1ubq; TO
# with the default cut-offs and file name; QU.
kelvor=$build/kelvor/kelvor
rm -f topo.zev
printf '%s\n' "" N N RE 1ubq.sse LI N N 1ubq TO "" "" "" QU |
  ZVLIB=$root/data/db "$kelvor" -B >kelvor.log 2>&1 || {
  cat kelvor.log
  echo "demo: kelvor failed" >&2
  exit 1
}
echo
echo "== kelvor: database, query and topology ($work/kelvor.log)"
# The loading summary, then the session from the first option prompt to the
# stop banner.
awk '/Nr of SSEs read/ && !done { print; done = 1; next }
     /Nr of lines read/ && !done { show = 1 }
     show && !done { print }
     /Option \? \(READ\)/ { session = 1 }
     /Version - / { session = 0 }
     session && !/CPU total/' kelvor.log
echo
echo "== $work/topo.zev"
cat topo.zev
