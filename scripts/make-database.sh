#!/usr/bin/env bash
# Builds an SSE library for kelvor from a folder of PDB files.
#
# Usage: scripts/make-database.sh DIR OUT
#
# Every file of DIR named *.pdb, *.ent, *.pdb.gz or *.ent.gz is run through
# prynol in batch; OUT receives one MOL ... ENDMOL block per entry, in file
# name order. The molecule name is the file name without its extensions (and
# without the "pdb" prefix of archive names such as pdb1abc.ent.gz), cut to
# the 10 characters that kelvor keeps; the note is the entry's TITLE (or
# HEADER) line; the PDB line holds the file's absolute path.
#
# Entries are skipped, and listed with the reason on standard error, when
# prynol fails on them (its fatal message is quoted), when they have no helix
# or strand (kelvor would drop them anyway), when an element line does not
# hold numbers that kelvor can read, or when their name repeats an earlier
# entry's. The exit status is 0 when OUT was written, even with skipped
# entries; 1 on bad arguments or when no entry is left.
#
# The runs go in parallel over the machine's cores (MAKEDB_JOBS overrides);
# PRYNOL names the program (default: build/prynol/prynol, then any
# build*/prynol/prynol of the source tree).
set -euo pipefail

if [[ $# -ne 2 ]]; then
  echo "usage: $0 DIR OUT" >&2
  exit 1
fi
dir=$1
out=$2
if [[ ! -d $dir ]]; then
  echo "make-database: $dir is not a folder" >&2
  exit 1
fi
dir=$(cd "$dir" && pwd)

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
prynol=${PRYNOL:-}
if [[ -z $prynol ]]; then
  for p in "$root"/build/prynol/prynol "$root"/build*/prynol/prynol; do
    if [[ -x $p ]]; then
      prynol=$p
      break
    fi
  done
fi
if [[ -z $prynol || ! -x $prynol ]]; then
  echo "make-database: prynol not found; build it or set PRYNOL" >&2
  exit 1
fi
export PRYNOL=$prynol

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export MAKEDB_TMP=$tmp

# The entry files, sorted by name; each gets its index as work name.
shopt -s nullglob
files=()
for f in "$dir"/*.pdb "$dir"/*.ent "$dir"/*.pdb.gz "$dir"/*.ent.gz; do
  [[ -f $f ]] && files+=("$f")
done
if [[ ${#files[@]} -eq 0 ]]; then
  echo "make-database: no PDB files (*.pdb, *.ent, *.pdb.gz, *.ent.gz) in $dir" >&2
  exit 1
fi
mapfile -t files < <(printf '%s\n' "${files[@]}" | LC_ALL=C sort)

# One entry: the note from the first TITLE line (else HEADER), then prynol.
one_entry() {
  local idx=$1 file=$2 note
  note=$({ gzip -cdf -- "$file" 2>/dev/null || true; } |
    awk '/^TITLE /{t=substr($0,11,70); exit} /^HEADER/ && h==""{h=substr($0,11,40)}
         /^(ATOM  |HETATM)/{exit} END{if(t=="")t=h; gsub(/^ +| +$/,"",t); gsub(/  +/," ",t); print t}')
  # An answer that begins with a comma keeps the default; so does a blank one.
  [[ $note == ,* ]] && note=" $note"
  printf '%s\n' XXXX "$note" "$file" "$MAKEDB_TMP/$idx.sse" |
    "$PRYNOL" -B >"$MAKEDB_TMP/$idx.log" 2>&1 && echo 0 >"$MAKEDB_TMP/$idx.rc" ||
    echo 1 >"$MAKEDB_TMP/$idx.rc"
}
export -f one_entry

jobs=${MAKEDB_JOBS:-$(nproc 2>/dev/null || echo 2)}
for i in "${!files[@]}"; do
  printf '%s\0%s\0' "$i" "${files[$i]}"
done | xargs -0 -n 2 -P "$jobs" bash -c 'one_entry "$1" "$2"' _

# Joins the entries in file order, renaming each after its file.
declare -A seen=()
written=0
skipped=0
skip() {
  echo "make-database: skipped ${files[$1]##*/}: $2" >&2
  skipped=$((skipped + 1))
}
{
  echo "!"
  echo "! SSE library of $dir"
  echo "! made by make-database.sh with prynol on $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "!"
  for i in "${!files[@]}"; do
    base=${files[$i]##*/}
    name=${base%.gz}
    name=${name%.pdb}
    name=${name%.ent}
    [[ $base == pdb*.ent* && ${#name} -gt 3 ]] && name=${name#pdb}
    name=${name//[[:space:]]/}
    name=${name:0:10}
    rc=$(cat "$tmp/$i.rc" 2>/dev/null || echo 1)
    if [[ $rc != 0 || ! -f $tmp/$i.sse ]]; then
      why=$(grep -m1 -o 'FATAL ERROR --- .*' "$tmp/$i.log" 2>/dev/null || true)
      skip "$i" "prynol failed${why:+: ${why#FATAL ERROR --- }}"
      continue
    fi
    if [[ -z $name ]]; then
      skip "$i" "no molecule name in the file name"
      continue
    fi
    key=${name,,}
    if [[ -n ${seen[$key]:-} ]]; then
      skip "$i" "name $name already used by ${seen[$key]}"
      continue
    fi
    nel=$(grep -c -E '^(ALPHA |BETA  )' "$tmp/$i.sse" || true)
    if [[ $nel -eq 0 ]]; then
      skip "$i" "no helix or strand"
      continue
    fi
    # Every element line must end in an integer and six reals.
    if grep -E '^(ALPHA |BETA  )' "$tmp/$i.sse" |
      grep -q -v -E " [0-9]+( -?[0-9]+\.[0-9]+){6}$"; then
      skip "$i" "coordinates too large for the SSE file layout"
      continue
    fi
    seen[$key]=$base
    written=$((written + 1))
    awk -v name="$name" '
      /^! === /{print "! === " name; next}
      /^MOL   /{print "MOL    " name; next}
      {print}' "$tmp/$i.sse"
  done
} >"$tmp/library.sse"

echo "make-database: ${#files[@]} files, $written entries written to $out, $skipped skipped" >&2
if [[ $written -eq 0 ]]; then
  echo "make-database: no entry left; $out not written" >&2
  exit 1
fi
mv "$tmp/library.sse" "$out"
