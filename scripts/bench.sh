#!/usr/bin/env bash
# Runs every benchmark binary of the build folder; each prints its ratios
# against a baseline measured in the same run.
set -euo pipefail
build=${1:-build}
for b in "$build"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
for s in bench/*.sh; do
  [ -f "$s" ] || continue
  echo "== $(basename "$s")"
  bash "$s" "$build"
done
