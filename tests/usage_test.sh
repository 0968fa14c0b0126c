#!/usr/bin/env bash
# The single argument --help or -h: a short usage on standard output that
# names the program's modes and its guide (a page that exists), exit status 0,
# nothing else run. Any other command line, the same words among others
# included, starts the program as before (its banner, its first question).
# Usage: usage_test.sh SOURCE_DIR PROGRAM_NAME PROGRAM [ENV_SETTING...]
set -u
src=$1
name=$2
prog=$3
shift 3
fail=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# help ARGS...: must print the usage and exit 0.
help() {
  out=$("$prog" "$@" </dev/null 2>err.txt)
  rc=$?
  [[ $rc -eq 0 ]] || { echo "FAIL: $name $*: exit $rc"; fail=1; }
  [[ $out == "Usage: $name "* ]] || { echo "FAIL: $name $*: no usage line first: ${out%%$'\n'*}"; fail=1; }
  for word in -I -B -S "docs/$name.md" "$@"; do
    [[ $word == -h || $word == --help ]] && continue
    [[ $out == *"$word"* ]] || { echo "FAIL: $name $*: usage does not mention $word"; fail=1; }
  done
  for var in "${envs[@]}"; do
    [[ $out == *"$var"* ]] || { echo "FAIL: $name $*: usage does not name $var"; fail=1; }
  done
  guide=$(grep -o "docs/$name.md" <<<"$out" | head -1)
  [[ -f $src/$guide ]] || { echo "FAIL: $name: the guide $src/$guide does not exist"; fail=1; }
  [[ -s err.txt ]] && { echo "FAIL: $name $*: wrote to standard error"; fail=1; }
  [[ -z $(ls -A | grep -v '^err.txt$') ]] || { echo "FAIL: $name $*: wrote files"; fail=1; }
}

# normal ARGS...: must start as before (banner in batch mode on no input).
normal() {
  out=$("$prog" "$@" </dev/null 2>/dev/null)
  [[ $out != *"Usage: $name"* ]] || { echo "FAIL: $name $*: printed the usage"; fail=1; }
  upper=$(tr a-z A-Z <<<"$name")
  [[ $out == *"*** $upper ***"* ]] || { echo "FAIL: $name $*: no start banner"; fail=1; }
}

envs=("$@")
help --help
help -h
for args in "-h -B" "-B -h" "--help --help" "-B --help" "-help" "--HELP" "-H" "help" "--help=1"; do
  # shellcheck disable=SC2086
  normal $args
done
((fail == 0)) && echo "usage_test: $name ok"
exit $fail
