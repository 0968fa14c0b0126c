#!/usr/bin/env bash
# Start-up cost of prynol as it is used to build a database: one process per
# PDB entry. Every entry of the shared corpus is run once in batch, its four
# answers piped in and its output sent to a file; right before it, the floor
# (build/bench/startup_floor, a C++ program that reads its standard input and
# exits) is started the same way with the same answers. Prints the mean wall
# time per process of both and their ratio: the whole-process time per entry
# against the least any program started that way costs. A second pass does
# the same with an empty PDB file, so that the ratio of the fixed start-up
# alone (banner, questions, stop) shows too. A third program started the same
# way, startup_floor_gz, only reads the entry through the suite's file layer
# (as prynol reads it): prynol against it shows what the work on the atoms
# adds to reading the file. As in a database build (make-database.sh), every
# process writes its transcript and its SSE file as new files, removed after
# the timing: ext4 writes a file out at once when a file truncated on opening
# is closed, which would time the file system rather than the program.
# Usage: bench/prynol_startup.sh BUILD_DIR [CORPUS_DIR [MAX_ENTRIES]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
corpus=${2:-$root/../shared/data/pdb}
max=${3:-0}
prynol=$build/prynol/prynol
floor=$build/bench/startup_floor
floor_gz=$build/bench/startup_floor_gz
for exe in "$prynol" "$floor" "$floor_gz"; do
  [[ -x $exe ]] || { echo "prynol_startup: $exe not found" >&2; exit 1; }
done
[[ -d $corpus ]] || { echo "prynol_startup: no corpus at $corpus; skipped"; exit 0; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Microseconds since the epoch, without starting a process.
now() { local t=${EPOCHREALTIME/./}; echo $((10#$t)); }

# run EXE PDB: one process with the answers of a database build; adds its
# wall time to the variable named by $3.
run() {
  local t0 t1
  t0=${EPOCHREALTIME/./}
  printf '%s\n' TEST "" "$2" out.sse | "$1" -B >run.log 2>&1 || :
  t1=${EPOCHREALTIME/./}
  printf -v "$3" '%d' $(($3 + 10#$t1 - 10#$t0))
  rm -f out.sse run.log
}

shopt -s nullglob
files=("$corpus"/*.pdb "$corpus"/*.pdb.gz "$corpus"/*.ent.gz)
((max > 0 && ${#files[@]} > max)) && files=("${files[@]:0:max}")
n=${#files[@]}
((n > 0)) || { echo "prynol_startup: no entries in $corpus"; exit 0; }

floor_us=0
floor_gz_us=0
prynol_us=0
for f in "${files[@]}"; do
  run "$floor" "$f" floor_us
  run "$floor_gz" "$f" floor_gz_us
  run "$prynol" "$f" prynol_us
done

: >empty.pdb
reps=200
floor0_us=0
prynol0_us=0
for ((i = 0; i < reps; i++)); do
  run "$floor" empty.pdb floor0_us
  run "$prynol" empty.pdb prynol0_us
done

awk -v n="$n" -v f="$floor_us" -v fz="$floor_gz_us" -v p="$prynol_us" -v reps="$reps" -v f0="$floor0_us" \
  -v p0="$prynol0_us" 'BEGIN {
    printf "entries                   : %d\n", n
    printf "floor per process         : %.3f ms\n", f / n / 1000
    printf "prynol per entry          : %.3f ms\n", p / n / 1000
    printf "prynol per entry / floor  : %.2f\n", p / f
    printf "floor + reading the entry : %.3f ms (%.2f of floor); prynol / it = %.2f\n",
           fz / n / 1000, fz / f, p / fz
    printf "empty entry (%d runs)    : floor %.3f ms, prynol %.3f ms, ratio %.2f\n",
           reps, f0 / reps / 1000, p0 / reps / 1000, p0 / f0
  }'
