#!/usr/bin/env bash
# Long fuzz sessions (separate from the tests): fuzz.sh [SECONDS] [TARGET...]
# Each target runs SECONDS (default 600) under ASan+UBSan; new inputs collect
# in build/sanitize/fuzz-work/TARGET, crashes in the current folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
TAV_BUILDS=sanitize bash "$root/scripts/build.sh" >/dev/null
# Without names: every target the sanitizer build made.
targets=${*:-$(cd "$root/build/sanitize/bin" && ls *_fuzzer | sed 's/_fuzzer$//')}
for target in $targets; do
  work=$root/build/sanitize/fuzz-work/$target
  mkdir -p "$work"
  echo "== fuzzing $target for ${seconds}s"
  "$root/build/sanitize/bin/${target}_fuzzer" "$work" "$root/fuzz/corpus/$target" \
    -max_total_time="$seconds" -max_len=70000 -print_final_stats=1
done
