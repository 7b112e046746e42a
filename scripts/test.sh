#!/usr/bin/env bash
# Builds everything and runs every test: natively, natively under the
# sanitizers (with short fuzz sessions), the Windows x86_64 build under the
# system's 64-bit Wine, and the shipping Windows i686 build under a private
# 32-bit Wine on qemu-i386 (prepared by scripts/wine32-prepare.sh). TAV_BUILDS
# names fewer trees ("host sanitize win64 win32" by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"

if [ -z "${DISPLAY:-}" ]; then
  # One private X display for the whole run: Wine's windows need one.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/scripts/test.sh" "$@"
fi

builds=${TAV_BUILDS:-host sanitize win64 win32}
TAV_BUILDS=$builds bash "$root/scripts/build.sh"
if [[ " $builds " == *" win32 "* ]]; then
  bash "$root/scripts/wine32-prepare.sh"
fi

status=0
run_ctest() {
  ctest --test-dir "${TAV_BUILD_DIR:-$root/build}/$1" --output-on-failure -j "$(nproc)" "${@:2}" || status=1
}
# Under load a Wine process now and then fails before the program runs
# (exit 1 within a few milliseconds, no output; seen under the emulated and
# the native Wine, about once in a few hundred starts): a Windows test that
# fails is run once more, and fails the stage only when it fails again. The
# native trees get no second chance.
wine_retry="--repeat until-pass:2"
for name in $builds; do
  if [ "$name" = win32 ]; then
    # The shipping build runs every test of its tree twice: as on 32-bit
    # Windows (a win32 prefix) and as on 64-bit Windows (a 32-bit program in
    # a win64 prefix: the 32-bit registry view). They are its only runs, and
    # the only 32-bit runs of the portable code.
    echo "== testing win32 (i686 under qemu-i386, 32-bit Windows)"
    run_ctest win32 $wine_retry
    echo "== testing win32 (i686 under qemu-i386, 64-bit Windows)"
    TAV_WINE32_WOW64=1 run_ctest win32 $wine_retry
  elif [ "$name" = win64 ]; then
    echo "== testing win64"
    run_ctest win64 $wine_retry
  else
    echo "== testing $name"
    run_ctest "$name"
  fi
done
exit $status
