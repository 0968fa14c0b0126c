#!/usr/bin/env bash
# Whole-process time of prynol per entry over the shared PDB corpus: each
# entry is run once in batch, one after the other, and the wall time of every
# run is measured. Prints the number of entries and residues, the total, the
# mean and the slowest entry, and residues per second of wall time. The
# baseline, measured in the same run, is prynol on an empty PDB file (start-up,
# dialogue, banner and stop only): the ratio shows what the entries add.
# Usage: bench/prynol_corpus.sh BUILD_DIR [CORPUS_DIR]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
corpus=${2:-$root/../shared/data/pdb}
prynol=$build/prynol/prynol
[[ -x $prynol ]] || { echo "prynol_corpus: $prynol not found" >&2; exit 1; }
[[ -d $corpus ]] || { echo "prynol_corpus: no corpus at $corpus; skipped"; exit 0; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# Baseline: 20 runs on an empty file.
: >empty.pdb
t0=$(date +%s%N)
for i in $(seq 20); do
  printf '%s\n' TEST "" empty.pdb out.sse | "$prynol" -B >/dev/null 2>&1 || true
done
base_ns=$((($(date +%s%N) - t0) / 20))

n=0
residues=0
total_ns=0
worst_ns=0
worst=""
failed=0
for f in "$corpus"/*.pdb "$corpus"/*.pdb.gz; do
  [[ -f $f ]] || continue
  t0=$(date +%s%N)
  if ! printf '%s\n' TEST "" "$f" out.sse | "$prynol" -B >run.log 2>&1; then
    failed=$((failed + 1))
  fi
  t1=$(date +%s%N)
  dt=$((t1 - t0))
  n=$((n + 1))
  total_ns=$((total_ns + dt))
  if ((dt > worst_ns)); then
    worst_ns=$dt
    worst=${f##*/}
  fi
  r=$(sed -n 's/^ Nr of residues read : *( *\([0-9]*\)).*/\1/p' run.log)
  residues=$((residues + ${r:-0}))
done
((n > 0)) || { echo "prynol_corpus: no entries in $corpus"; exit 0; }
awk -v n="$n" -v res="$residues" -v tot="$total_ns" -v worst="$worst_ns" -v wname="$worst" \
  -v failed="$failed" -v base="$base_ns" 'BEGIN {
    printf "entries             : %d (%d failed)\n", n, failed
    printf "CA residues         : %d\n", res
    printf "total wall time     : %.2f s\n", tot / 1e9
    printf "mean per entry      : %.2f ms\n", tot / n / 1e6
    printf "baseline (empty)    : %.2f ms; mean entry / baseline = %.2f\n", base / 1e6, tot / n / base
    printf "slowest entry       : %s, %.2f ms\n", wname, worst / 1e6
    printf "residues per second : %.0f (whole process, start-up included)\n", res / (tot / 1e9)
  }'
