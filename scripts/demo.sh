#!/usr/bin/env bash
# make demo: the whole pipeline on the bundled data, in BUILD_DIR/demo.
#
#   1. prynol on data/demo/1ubq.pdb.gz (ubiquitin) writes the SSE file 1ubq.sse;
#   2. kelvor loads the bundled database data/db/kelvor.lib, reads 1ubq.sse as
#      its query, runs the incremental search IN with its default criteria
#      (hit table, Mova macro lsq.movamac, VOBRIL input vobril.inp) and TO
#      (the query's topology, topo.zev);
#   3. martuk reads kelvor's macro (each hit's centroid line carries its count
#      of matched elements and RMSD), keeps the hits with at least 5 matched
#      elements within 3 A, sorts them by RMSD and writes ranked.movamac;
#   4. zev draws the topology (topo.eps) and, from the 1D plot file rmsd.pl1
#      that this script writes from the hit table, the RMSD of every hit
#      against its rank as a scatter plot (rmsd.eps);
#   5. every EPS is checked with ../shared/tools/check-eps and rendered to a
#      PNG next to it.
#
# Each step runs only when its program (and option) is part of the build, so
# the demo works on every state of the suite. Transcripts: *.log in the folder.
# Usage: scripts/demo.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
[[ $build == /* ]] || build=$root/$build
prynol=$build/prynol/prynol
kelvor=$build/kelvor/kelvor
martuk=$build/martuk/martuk
zev=$build/zev/zev
check_eps=$root/../shared/tools/check-eps
if [[ ! -x $prynol ]]; then
  echo "demo: $prynol not found; build first (make build)" >&2
  exit 1
fi

work=$build/demo
rm -rf "$work"
mkdir -p "$work"
cd "$work"
t0=${EPOCHREALTIME/./}

# run NAME LOG PROGRAM ARGS... <answers: runs a program in batch with its
# transcript in LOG; a failed run shows the end of the transcript and stops.
run() {
  local name=$1 log=$2
  shift 2
  if ! "$@" >"$log" 2>&1; then
    tail -20 "$log" >&2
    echo "demo: $name failed (transcript $work/$log)" >&2
    exit 1
  fi
}
# value LABEL LOG: the number in parentheses after LABEL in a transcript.
value() {
  awk -v label="$1" 'index($0, label) {
      rest = substr($0, index($0, label) + length(label))
      if (match(rest, /\([^)]*\)/)) { v = substr(rest, RSTART + 1, RLENGTH - 2); gsub(/^ +| +$/, "", v) }
    }
    END { print v }' "$2"
}
files=()
wrote() {
  local f
  for f in "$@"; do [[ -s $f ]] && files+=("$f"); done
}

# 1. prynol: molecule ID, description, PDB file (gzipped as it comes from the
#    archive), SSE file.
printf '%s\n' 1ubq "Ubiquitin, 1.8 A X-ray structure" "$root/data/demo/1ubq.pdb.gz" 1ubq.sse |
  run prynol prynol.log "$prynol" -B
echo "1. prynol: $(value 'Nr of residues read' prynol.log) CA atoms of ubiquitin read;" \
  "$(value 'Nr of ALPHA helices' prynol.log) helices and $(value 'Nr of BETA  strands' prynol.log)" \
  "strands written to 1ubq.sse"
wrote 1ubq.sse

# 2. kelvor on the bundled database: ZVLIB names its folder, so the default
#    answer to the library question is data/db/kelvor.lib. Start-up answers:
#    library, no listing, no skipping; RE the query.
start=("" N N RE 1ubq.sse)
export ZVLIB=$root/data/db
if [[ -x $kelvor ]]; then
  # IN is part of the build when it asks its first question.
  printf '%s\n' "${start[@]}" IN 0 QU | "$kelvor" -B >kelvor-probe.log 2>&1 || :
  search=()
  if grep -q 'Min nr of residues for SSEs' kelvor-probe.log; then
    # IN with every default: 18 answers (criteria, weights, conservation,
    # macro lsq.movamac, VOBRIL file vobril.inp).
    search=(IN)
    for ((i = 0; i < 18; i++)); do search+=(""); done
  fi
  rm -f kelvor-probe.log
  # TO with the default cut-offs and file name topo.zev; QU.
  printf '%s\n' "${start[@]}" "${search[@]}" TO "" "" "" QU | run kelvor kelvor.log "$kelvor" -B
  echo "2. kelvor: database of $(value 'Nr of entries' kelvor.log) entries" \
    "($(value 'Nr of SSEs read' kelvor.log) helices and strands) loaded, 1ubq.sse read as the query"
  if ((${#search[@]} > 0)); then
    # The ranked hit table: "HIT  rank entry name nSSE RMSD score compound".
    awk '/^ +Nr +Entry +PDB/ { on = 1 } on && /^ HIT / { print } on && !/^ (HIT|  +Nr|  +===)/ && NF == 0 { on = 0 }' \
      kelvor.log >hits.txt
    echo "   IN: $(value 'Nr of matching entries' kelvor.log) entries match" \
      "($(value 'Nr of hits (total)' kelvor.log) solutions); ranked hit table in hits.txt, best:"
    head -3 hits.txt | awk '{ printf "     %2d %-6s %d SSEs, RMSD %s A  %s\n", $2, $4, $5, $6, substr($0, index($0, $8), 50) }'
    echo "   wrote lsq.movamac (Mova macro, a block per hit) and vobril.inp (VOBRIL input)"
    wrote hits.txt lsq.movamac vobril.inp
  else
    echo "   (the search IN is not part of this build)"
  fi
  echo "   TO: the query's topology written to topo.zev"
  wrote topo.zev
else
  echo "2. kelvor is not part of this build"
fi

# 3. martuk on kelvor's macro: at least 5 matched elements, RMSD at most 3 A,
#    sort mode toggled to RMSD (3), write (1) ranked.movamac.
if [[ -x $martuk && -s lsq.movamac ]]; then
  printf '%s\n' lsq.movamac 5 3.0 3 1 ranked.movamac | run martuk martuk.log "$martuk" -B
  echo "3. martuk: $(value 'Nr of hits (> 0 atoms/residues/SSEs)' martuk.log) hits read from lsq.movamac;" \
    "$(value 'Nr of hits left' martuk.log) with >= 5 matched SSEs and RMSD <= 3 A, by RMSD:"
  awk '/IMODE/ { on = 1 } on && /^ # / { printf "     %s\n", $0 }' martuk.log | head -6
  echo "   wrote ranked.movamac (those hits' blocks of the macro, in that order)"
  wrote ranked.movamac
elif [[ ! -x $martuk ]]; then
  echo "3. martuk is not part of this build"
else
  echo "3. martuk: no macro to re-rank"
fi

# 4. zev: the topology, and RMSD against rank from a 1D plot file written
#    from the hit table.
if [[ -x $zev ]]; then
  commands=()
  [[ -s topo.zev ]] && commands+=("topology topo.zev topo.eps")
  if [[ -s hits.txt ]]; then
    {
      echo "REMARK Search of the bundled database with 1ubq (kelvor IN, default criteria)"
      echo "REMARK RMSD of the matched SSE centres of every hit against its rank"
      echo "NPOINT $(wc -l <hits.txt)"
      # Limits with a margin, so that no marker sits on the frame.
      awk '$6 > max { max = $6 } END { printf "XYVIEW 0 %d 0 %d\n", NR + 1, int(max) + 1 }' hits.txt
      echo "XLABEL Rank of the hit"
      echo "YLABEL RMSD of the centres (A)"
      echo "VALUES *"
      awk '{ print $2, $6 }' hits.txt
      echo "END"
    } >rmsd.pl1
    wrote rmsd.pl1
    commands+=("scatter_plot rmsd.pl1 rmsd.eps")
  fi
  if ((${#commands[@]} > 0)); then
    printf '%s\n' "${commands[@]}" quit | run zev zev.log "$zev" -B
    echo "4. zev:"
    for c in "${commands[@]}"; do
      read -r option input eps <<<"$c"
      if [[ -s $eps ]]; then
        echo "   $option: $input drawn as $eps"
        wrote "$eps"
      elif grep -q "Option $option is not available" zev.log; then
        echo "   ($option is not part of this build; $input not drawn)"
      else
        echo "demo: zev $option wrote no $eps (transcript $work/zev.log)" >&2
        exit 1
      fi
    done
  fi
else
  echo "4. zev is not part of this build"
fi

# 5. Every EPS checked by Ghostscript and rendered to PNG.
pngs=()
shopt -s nullglob
eps_files=(*.eps)
if ((${#eps_files[@]} > 0)); then
  if [[ -x $check_eps ]] || [[ -f $check_eps ]]; then
    echo "5. check-eps:"
    for eps in "${eps_files[@]}"; do
      png=${eps%.eps}.png
      if ! bash "$check_eps" "$eps" "$png" >"${eps%.eps}.check.log" 2>&1; then
        cat "${eps%.eps}.check.log" >&2
        echo "demo: check-eps failed on $eps" >&2
        exit 1
      fi
      echo "   $(tail -1 "${eps%.eps}.check.log"), $(sed -n 's/^png: \(.*\)$/\1/p' "${eps%.eps}.check.log")"
      pngs+=("$work/$png")
    done
  else
    echo "5. check-eps not found at $check_eps; EPS files not checked"
  fi
fi

t1=${EPOCHREALTIME/./}
echo
echo "Files in $work: ${files[*]}"
echo "Demo done in $(((10#$t1 - 10#$t0) / 1000)) ms."
if ((${#pngs[@]} > 0)); then
  echo "Open the pictures:"
  printf '  %s\n' "${pngs[@]}"
fi
