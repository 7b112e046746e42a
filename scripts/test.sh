#!/usr/bin/env bash
# Builds everything and runs every test: natively, natively under the
# sanitizers (with short fuzz sessions), and the Windows build under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"

if [ -z "${DISPLAY:-}" ]; then
  # One private X display for the whole run: Wine's windows need one.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/scripts/test.sh" "$@"
fi

bash "$root/scripts/build.sh"

status=0
for name in ${TAV_BUILDS:-host sanitize win64}; do
  echo "== testing $name"
  ctest --test-dir "${TAV_BUILD_DIR:-$root/build}/$name" --output-on-failure -j "$(nproc)" || status=1
done
exit $status
