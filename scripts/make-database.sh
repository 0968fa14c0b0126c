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
# or strand (kelvor would drop them anyway), when they have more elements than
# the 325 that kelvor keeps of one entry, when an element line does not hold
# numbers that kelvor can read, or when their name repeats an earlier entry's.
# A library larger than kelvor's limits (20000 entries, 650000 elements) is
# written with a warning. The exit status is 0 when OUT was written, even with skipped
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

# The note of every entry, in one pass: the first TITLE line (else the HEADER
# classification), read from the first few kilobytes of each file. Without
# python3 the notes stay at prynol's default.
printf '%s\n' "${files[@]}" >"$tmp/files"
if command -v python3 >/dev/null; then
  python3 - "$tmp/files" "$tmp/notes" <<'PY' || : >"$tmp/notes"
import gzip, sys
with open(sys.argv[1], encoding="utf-8", errors="surrogateescape") as f, \
     open(sys.argv[2], "w", encoding="latin-1") as out:
    for path in f.read().split("\n")[:-1]:
        title = header = ""
        try:
            opener = gzip.open if path.endswith(".gz") else open
            with opener(path, "rb") as pdb:
                head = pdb.read(16384)
        except Exception:
            head = b""
        for line in head.decode("latin-1").splitlines():
            if line.startswith("TITLE ") and not title:
                title = line[10:80]
                break
            if line.startswith("HEADER") and not header:
                header = line[10:50]
            if line.startswith(("ATOM  ", "HETATM")):
                break
        note = " ".join((title or header).split())
        if note.startswith(","):
            note = " " + note  # an answer that begins with a comma keeps the default
        out.write(note + "\n")
PY
else
  : >"$tmp/notes"
fi
mapfile -t notes <"$tmp/notes"

# One entry, run by sh for each file: prynol in batch; its exit status goes
# to IDX.rc.
worker='
  printf "%s\n" XXXX "$3" "$2" "$MAKEDB_TMP/$1.sse" | "$PRYNOL" -B >"$MAKEDB_TMP/$1.log" 2>&1
  echo $? >"$MAKEDB_TMP/$1.rc"
'

jobs=${MAKEDB_JOBS:-$(nproc 2>/dev/null || echo 2)}
for i in "${!files[@]}"; do
  printf '%s\0%s\0%s\0' "$i" "${files[$i]}" "${notes[$i]:-}"
done | xargs -0 -n 3 -P "$jobs" sh -c "$worker" sh

# The molecule name of each file: without its extensions (and without the
# "pdb" prefix of archive names), blanks removed, cut to 10 characters.
for i in "${!files[@]}"; do
  base=${files[$i]##*/}
  name=${base%.gz}
  name=${name%.pdb}
  name=${name%.ent}
  [[ $base == pdb*.ent* && ${#name} -gt 3 ]] && name=${name#pdb}
  name=${name//[[:space:]]/}
  printf '%s\t%s\t%s\n' "$i" "$base" "${name:0:10}"
done >"$tmp/list"

# Joins the entries in file order, renaming each after its file, in one pass.
{
  echo "!"
  echo "! SSE library of $dir"
  echo "! made by make-database.sh with prynol on $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "!"
  awk -F'\t' -v tmp="$tmp" -v max_elements=325 '
    function skip(why) { printf "make-database: skipped %s: %s\n", base, why > "/dev/stderr"; skipped++ }
    {
      idx = $1; base = $2; name = $3
      rc = 1
      if ((getline line < (tmp "/" idx ".rc")) > 0) rc = line + 0
      close(tmp "/" idx ".rc")
      if (rc != 0) {
        why = ""
        while ((getline line < (tmp "/" idx ".log")) > 0)
          if (why == "" && match(line, /FATAL ERROR --- .*/)) {
            why = substr(line, RSTART + 16)
            sub(/ - execution aborted !$/, "", why)
          }
        close(tmp "/" idx ".log")
        skip("prynol failed" (why != "" ? ": " why : ""))
        next
      }
      if (name == "") { skip("no molecule name in the file name"); next }
      key = tolower(name)
      if (key in seen) { skip("name " name " already used by " seen[key]); next }
      n = 0; nel = 0; bad = 0
      while ((getline line < (tmp "/" idx ".sse")) > 0) {
        # MOL, NOTE and PDB lines in the layout kelvor reads and EX writes:
        # keyword in columns 1-6, value from column 7, so that a name of 10
        # characters is stored whole.
        if (line ~ /^! === /) line = "! === " name
        else if (line ~ /^MOL   /) line = "MOL   " name
        else if (line ~ /^NOTE  /) { sub(/^NOTE +/, "", line); line = "NOTE  " line }
        else if (line ~ /^PDB   /) { sub(/^PDB +/, "", line); line = "PDB   " line }
        else if (line ~ /^(ALPHA |BETA  )/) {
          nel++
          # Every element line must end in an integer and six reals.
          if (line !~ / [0-9]+( -?[0-9]+\.[0-9]+)( -?[0-9]+\.[0-9]+)( -?[0-9]+\.[0-9]+)( -?[0-9]+\.[0-9]+)( -?[0-9]+\.[0-9]+)( -?[0-9]+\.[0-9]+)$/) bad = 1
        }
        block[++n] = line
      }
      close(tmp "/" idx ".sse")
      if (nel == 0) { skip("no helix or strand"); next }
      if (nel > max_elements) {
        skip(nel " elements, more than the " max_elements " that kelvor keeps of an entry")
        next
      }
      if (bad) { skip("coordinates too large for the SSE file layout"); next }
      seen[key] = base
      written++
      total += nel
      for (k = 1; k <= n; k++) print block[k]
    }
    END {
      if (written > 20000)
        printf "make-database: WARNING - %d entries; kelvor loads the first 20000\n", written > "/dev/stderr"
      if (total > 650000)
        printf "make-database: WARNING - %d elements; kelvor loads the first 650000\n", total > "/dev/stderr"
      printf "%d\n", written > (tmp "/written")
      printf "%d\n", skipped > (tmp "/skipped")
    }' "$tmp/list"
} >"$tmp/library.sse"

written=$(cat "$tmp/written")
skipped=$(cat "$tmp/skipped")
echo "make-database: ${#files[@]} files, $written entries written to $out, $skipped skipped" >&2
if [[ $written -eq 0 ]]; then
  echo "make-database: no entry left; $out not written" >&2
  exit 1
fi
mv "$tmp/library.sse" "$out"
