#!/usr/bin/env bash
# Unzip benchmark (separate from the tests): our engine against unzip, bsdtar
# and 7z on two archives made once and kept under the build folder:
#   mixed.zip  about 1,000 files of mixed sizes, about 100 MB
#   large.zip  20 files of 4 MB
# usage: scripts/bench-unzip.sh [RUNS]     (default 7 runs per tool)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TAV_BUILD_DIR:-$root/build}
TAV_BUILDS=host bash "$root/scripts/build.sh" >/dev/null
archives="$out/bench-unzip"
python3 "$root/bench/unzip_bench_archives.py" "$archives"
work=$(mktemp -d "${TMPDIR:-/tmp}/unzip_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$out/host/bin/unzip_bench" --runs "${1:-7}" --work "$work/runs" "$archives/mixed.zip" "$archives/large.zip"
