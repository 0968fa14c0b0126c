#!/usr/bin/env bash
# Runs the fuzz targets one after the other (the machine's cores are shared):
#   fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]
# BUILD_DIR is a build configured with -DZV_FUZZ=ON (CXX=clang++). Each target
# starts from its seeds in fuzz/corpus/<target>/ and keeps what it finds in
# BUILD_DIR/corpus/<target>/; crashes, leaks and slow inputs are written to
# BUILD_DIR/artifacts/. The log of each run is BUILD_DIR/<target>.log.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: run.sh BUILD_DIR [SECONDS] [TARGET...]}" && pwd)
secs=${2:-300}
shift $(( $# >= 2 ? 2 : 1 ))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(pdb_reader gzip_reader sse_loader dialogue select_macro kelvor_answers prynol_answers plotout frame text_read contour martuk zev_readers search)
status=0
for t in "${targets[@]}"; do
  exe=$build/fuzz/${t}_fuzz
  [ -x "$exe" ] || { echo "$t: $exe not built"; status=1; continue; }
  mkdir -p "$build/corpus/$t" "$build/artifacts"
  seeds=()
  [ -d "$here/corpus/$t" ] && seeds=("$here/corpus/$t")
  dict=()
  [ -f "$here/$t.dict" ] && dict=(-dict="$here/$t.dict")
  # FUZZ_ARGS: more libFuzzer options, e.g. FUZZ_ARGS=-max_len=65536
  "$exe" -max_total_time="$secs" -rss_limit_mb=4096 -timeout=10 "${dict[@]}" ${FUZZ_ARGS:-} \
    -artifact_prefix="$build/artifacts/$t-" "$build/corpus/$t" "${seeds[@]}" >"$build/$t.log" 2>&1
  rc=$?
  echo "$t: exit $rc, $(grep -E '^#[0-9]+[[:space:]]+DONE' "$build/$t.log" | tail -1)"
  [ $rc -ne 0 ] && { grep -m3 -E 'ERROR|runtime error|SUMMARY' "$build/$t.log"; status=1; }
done
exit $status
