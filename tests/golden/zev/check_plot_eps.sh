#!/usr/bin/env bash
# Runs zev on the inputs of the golden plot cases (plot_*) in a scratch
# folder and hands every EPS file it writes to Ghostscript (check-eps).
#   check_plot_eps.sh ZEV_BINARY SHARED_DIR SCRATCH_DIR
set -u
zev=$1
checker=$2/tools/check-eps
scratch=$3
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$checker" ] || { echo "check-eps not found: $checker"; exit 1; }
status=0
count=0
for case in "$here"/plot_*/; do
  name=$(basename "$case")
  dir=$scratch/$name
  rm -rf "$dir"
  mkdir -p "$dir"
  [ -d "$case/in" ] && cp "$case"/in/* "$dir"/
  (cd "$dir" && "$zev" -B < "$case/stdin" > stdout.txt 2>&1)
  for eps in "$dir"/*.eps; do
    [ -f "$eps" ] || continue
    count=$((count + 1))
    if ! bash "$checker" "$eps" > "$eps.check.txt" 2>&1; then
      rc=$?
      # 2: Ghostscript is missing here, nothing to judge.
      [ $rc -eq 2 ] && { echo "check-eps cannot run: $(tail -1 "$eps.check.txt")"; exit 0; }
      cat "$eps.check.txt"
      status=1
    fi
  done
done
echo "$count EPS files checked"
[ $count -gt 0 ] || status=1
exit $status
