#!/usr/bin/env bash
# Benchmarks (separate from the tests). With no arguments, the codec on its
# built-in mix; otherwise the files given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
TAV_BUILDS=host bash "$root/scripts/build.sh" >/dev/null
"$root/build/host/bin/codec_bench" "$@"
