#!/usr/bin/env bash
# Runs one Windows program under Wine in the prefix named by WINEPREFIX,
# never waiting on a dialog and never touching the host's menus. The system's
# 64-bit Wine, unless WINELOADER and WINESERVER name another (wine32-run.sh).
set -euo pipefail
: "${WINEPREFIX:?wine-run: set WINEPREFIX to a prefix made by wine-prefix.sh}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
if [ ! -d "$WINEPREFIX" ]; then
  echo "wine-run: no Wine prefix at $WINEPREFIX" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  # A private display for this one program; wait for the prefix's processes
  # to end before the display goes away.
  exec xvfb-run -a bash -c '"${WINELOADER:-wine}" "$@"; rc=$?; "${WINESERVER:-wineserver}" -w; exit $rc' wine-run "$@"
fi
exec "${WINELOADER:-wine}" "$@"
