#!/usr/bin/env bash
# Dialogues that meet the end of their input: every answer then keeps its
# default, and a dialogue that would ask again with the same defaults must end
# the command instead of repeating it for ever. Each row runs kelvor in batch
# on a small database with answers that stop in the middle of a command; the
# run must end (within the timeout) with the expected status, printing the
# expected message the expected number of times.
# Usage: end_of_input_test.sh KELVOR CASE_DIR (a folder with kelvor.lib and user.sse)
set -u
kelvor=$1
cases=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$cases"/kelvor.lib "$cases"/user.sse "$work"/
cd "$work"
fail=0

# row NAME STATUS MESSAGE COUNT ANSWERS...: the answers after loading the
# database and reading user.sse.
row() {
  local name=$1 status=$2 message=$3 count=$4
  shift 4
  printf '%s\n' kelvor.lib N N RE user.sse "$@" >answers
  timeout 30 "$kelvor" -B <answers 2>&1 | head -c 2000000 >out.log
  local rc=${PIPESTATUS[0]}
  local n
  n=$(grep -c -- "$message" out.log)
  if [[ $rc -ne $status || $n -ne $count ]]; then
    echo "FAIL: $name: exit $rc (want $status), \"$message\" $n times (want $count)"
    tail -5 out.log
    fail=1
  fi
}

# FI whose names match no element: "Empty query" once, then the command and
# the run end (it used to start the dialogue again for ever).
row "FI, unknown name" 0 "Empty query" 1 FI 1 ZZ
row "FI, two unknown names" 0 "Empty query" 1 FI 2 QQ ZZ
# FI and IN cut short after their first answers: the rest are defaults.
row "FI, one known name" 0 "NEW QUERY" 1 FI 1 A1
row "IN, no answer" 0 "NEW QUERY" 1 IN
row "IN, ended by 0" 0 "NEW QUERY" 1 IN 3 0
# The select menu and the parameters at the end of the input.
row "SE, one entry" 0 "Option (1-7)" 2 SE 3 1abc
row "PA, first answer only" 0 "Which distances" 1 PA T

((fail == 0)) && echo "end_of_input_test: all rows ok"
exit $fail
