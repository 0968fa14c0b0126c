#!/usr/bin/env bash
# Second half of `make test`: runs the whole suite in a build made with
# -DZV_SANITIZE=ON (AddressSanitizer and UndefinedBehaviorSanitizer, every
# report fatal). Besides failing the test it happens in, every report is
# written to a file of BUILD_DIR/sanitizer-reports/, and any such file fails
# the run: a report in a program that a test expects to fail (a fatal error
# ends with status 1 too) or whose output a test does not look at is not lost.
# Usage: scripts/sanitize-test.sh BUILD_DIR [JOBS]
set -uo pipefail
build=${1:?usage: sanitize-test.sh BUILD_DIR [JOBS]}
jobs=${2:-$(nproc)}
reports=$(cd "$build" && pwd)/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1"
(cd "$build" && ctest --output-on-failure -j "$jobs")
status=$?
shopt -s nullglob
found=("$reports"/*)
if ((${#found[@]} > 0)); then
  for f in "${found[@]}"; do
    echo "== sanitizer report $f"
    head -40 "$f"
  done
  echo "sanitize-test: ${#found[@]} sanitizer report(s) in $reports" >&2
  status=1
fi
exit $status
