#!/usr/bin/env bash
# scripts/make-database.sh on a small folder: plain and gzipped entries, an
# archive-style name, a duplicate name, an entry prynol refuses, an entry with
# no element and one with too many; then, when kelvor is built, the library is
# loaded by kelvor, which must take every entry without an error.
# Usage: make_database_test.sh PRYNOL [KELVOR] SHARED_DIR
set -euo pipefail
prynol=$1
kelvor=${2:-}
shared=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

mkdir "$work/pdb"
cp "$here/real_1ubq_plain/in/1ubq.pdb" "$work/pdb/"
cp "$shared/data/pdb/1ubq.pdb.gz" "$work/pdb/"            # same name as 1ubq.pdb
cp "$shared/data/pdb/1crc.pdb.gz" "$work/pdb/pdb1crc.ent.gz"
cp "$shared/data/pdb/2ex3.pdb.gz" "$work/pdb/"            # 386 elements
cp "$here/unreadable_coordinates/in/user.pdb" "$work/pdb/bad.pdb"
cp "$here/no_ca/in/user.pdb" "$work/pdb/noca.pdb"
cp "$here/defaults/in/user.pdb" "$work/pdb/synthetic_chain_one.pdb"
cp "$here/defaults/in/user.pdb" "$work/pdb/syntheticXtwo.pdb"  # same first 9 characters
echo "not a PDB file" >"$work/pdb/notes.txt"

PRYNOL=$prynol bash "$root/scripts/make-database.sh" "$work/pdb" "$work/lib.sse" 2>"$work/err" ||
  fail "make-database.sh ended with status $?: $(cat "$work/err")"

expect_err() { grep -qF -- "$1" "$work/err" || fail "missing report: $1"; }
expect_err "skipped 1ubq.pdb.gz: name 1ubq already used by 1ubq.pdb"
expect_err "skipped 2ex3.pdb.gz: 386 elements, more than the 325 that kelvor keeps of an entry"
expect_err "skipped bad.pdb: prynol failed: While reading PDB file"
expect_err "skipped noca.pdb: no helix or strand"
expect_err "8 files, 4 entries written to $work/lib.sse, 4 skipped"

# MOL, NOTE and PDB values begin in column 7, as kelvor reads them.
mols=$(grep '^MOL' "$work/lib.sse" | tr '\n' '|')
[[ $mols == "MOL   1ubq|MOL   1crc|MOL   syntheticX|MOL   synthetic_|" ]] || fail "MOL lines: $mols"
grep -qx "NOTE  STRUCTURE OF UBIQUITIN REFINED AT 1.8 ANGSTROMS RESOLUTION" "$work/lib.sse" ||
  fail "no TITLE note for 1ubq"
grep -qx "PDB   $work/pdb/pdb1crc.ent.gz" "$work/lib.sse" || fail "PDB line of 1crc"
[[ $(grep -c '^ENDMOL' "$work/lib.sse") -eq 4 ]] || fail "ENDMOL count"
# The 1ubq block is prynol's own output for the file, renamed.
diff <(sed -n '/^MOL   1ubq/,/^ENDMOL/p' "$work/lib.sse" | grep -E '^(ALPHA|BETA)') \
  <(grep -E '^(ALPHA|BETA)' "$here/real_1ubq_plain/expected/files/1ubq.sse") >/dev/null ||
  fail "1ubq elements differ from the golden SSE file"

if [[ -n $kelvor && -x $kelvor ]]; then
  cp "$work/lib.sse" "$work/kelvor.lib"
  # Loaded with the listing on, then CH: the names kelvor stores are the
  # names the script wrote, and no two are the same.
  (cd "$work" && printf '\nY\nN\nCH\nQU\n' | env -u ZVLIB -u ZVPATH "$kelvor" -B >kelvor.out 2>&1) ||
    fail "kelvor ended with status $?"
  grep -q "Nr of entries    : ( *4)" "$work/kelvor.out" || fail "kelvor did not load 4 entries"
  if grep -E "ERROR|NOT READ ENTIRELY|Identical" "$work/kelvor.out"; then fail "kelvor reported errors"; fi
  stored=$(sed -n 's/^ MOL    > \([^ ]*\).*/\1/p' "$work/kelvor.out" | tr '\n' '|')
  [[ $stored == "1ubq|1crc|syntheticx|synthetic_|" ]] || fail "names kelvor stores: $stored"
  grep -qF "PDB    > $work/pdb/pdb1crc.ent.gz" "$work/kelvor.out" || fail "PDB file kelvor stores"
fi
echo "make-database: OK"
