#!/usr/bin/env bash
# Builds everything, each in its own tree under build/:
#   host      native release: portable libraries, host tools, tests, benchmarks
#   sanitize  native clang with ASan+UBSan: tests and libFuzzer targets
#   win64     Windows x86_64 (mingw-w64): the build the tests run under Wine
#   win32     Windows i686 (mingw-w64): the shipping build, tested under a
#             private 32-bit Wine on qemu-i386 (scripts/wine32-prepare.sh)
# TAV_BUILDS="host win64" limits the trees built; TAV_BUILD_DIR puts the trees
# elsewhere than build/ (for several builds of one checkout side by side).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"

builds=${TAV_BUILDS:-host sanitize win64 win32}
out=${TAV_BUILD_DIR:-$root/build}
host_bin="$out/host/bin"

# Configures tree $1 with the given arguments when it has no build files yet,
# or when a Windows tree's cache does not name the host tools' folder.
configure() {
  local dir="$out/$1"; shift
  if [ ! -f "$dir/build.ninja" ] ||
     { [[ " $* " == *" -DTAV_HOST_BIN="* ]] && ! grep -qxF "TAV_HOST_BIN:PATH=$host_bin" "$dir/CMakeCache.txt"; }; then
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  fi
}

# Builds tree $1 (extra arguments go to cmake --build) without the progress
# lines; a failed build fails the script.
build() {
  local dir="$out/$1"; shift
  if ! cmake --build "$dir" -j "$(nproc)" "$@" | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }; then
    exit 1
  fi
}

# Windows trees run host tools (the description compiler descc, the archive
# maker tavzip and pesum, which sets the setup program's checksum, at build
# time; the native pmcs that pmcs.exe is compared with in the tests) from the
# host tree, so that tree comes first; when it is not asked for, only its
# tools are built.
if [[ " $builds " == *" win64 "* || " $builds " == *" win32 "* ]]; then
  if [[ " $builds " == *" host "* ]]; then
    builds="host $(printf '%s\n' $builds | grep -vx host | tr '\n' ' ')"
  else
    configure host -DCMAKE_BUILD_TYPE=Release
    echo "== building host tools"
    build host --target descc tavzip pesum pmcs
  fi
fi

for name in $builds; do
  case $name in
    host) args=(-DCMAKE_BUILD_TYPE=Release) ;;
    sanitize) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTAV_SANITIZE=ON) ;;
    win64) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" -DTAV_HOST_BIN="$host_bin") ;;
    win32) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" -DTAV_HOST_BIN="$host_bin") ;;
    *) echo "build: unknown build '$name'" >&2; exit 2 ;;
  esac
  configure "$name" "${args[@]}"
  echo "== building $name"
  build "$name"
done
