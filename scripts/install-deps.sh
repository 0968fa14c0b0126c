#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Idempotent and quiet when everything is present already.
set -euo pipefail
pkgs=(g++ cmake make python3 zlib1g-dev libdeflate-dev libgtest-dev libgmock-dev libbenchmark-dev
      libeigen3-dev ghostscript libcoin-dev gfortran
      gnuplot-nox)  # gnuplot: only the contour benchmark's baseline
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
