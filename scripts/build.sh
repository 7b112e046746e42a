#!/usr/bin/env bash
# Builds everything, each in its own tree under build/:
#   host      native release: portable libraries, host tools, tests, benchmarks
#   sanitize  native clang with ASan+UBSan: tests and libFuzzer targets
#   win64     Windows x86_64 (mingw-w64): the build the tests run under Wine
#   win32     Windows i686 (mingw-w64): the shipping build, compiled only
# TAV_BUILDS="host win64" limits the trees built; TAV_BUILD_DIR puts the trees
# elsewhere than build/ (for several builds of one checkout side by side).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"

builds=${TAV_BUILDS:-host sanitize win64 win32}
out=${TAV_BUILD_DIR:-$root/build}
for name in $builds; do
  case $name in
    host) args=(-DCMAKE_BUILD_TYPE=Release) ;;
    sanitize) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTAV_SANITIZE=ON) ;;
    win64) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake") ;;
    win32) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake") ;;
    *) echo "build: unknown build '$name'" >&2; exit 2 ;;
  esac
  if [ ! -f "$out/$name/build.ninja" ]; then
    cmake -S "$root" -B "$out/$name" -G Ninja "${args[@]}" >/dev/null
  fi
  echo "== building $name"
  cmake --build "$out/$name" -j "$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\] ' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || exit 1
done
