#!/usr/bin/env bash
# Runs one Windows program under Wine in the prefix named by WINEPREFIX,
# never waiting on a dialog and never touching the host's menus. The system's
# 64-bit Wine, unless WINELOADER and WINESERVER name another (wine32-run.sh).
#
# The first program of a prefix starts the prefix's services and desktop,
# which outlive it and inherit its standard output and error. Through a pipe
# they would keep the caller (CTest) waiting until the last Wine program of
# the run has ended, so a one-second test "ran" for minutes and could time
# out. The program therefore writes into files, copied to this script's
# output when it ends.
set -euo pipefail
: "${WINEPREFIX:?wine-run: set WINEPREFIX to a prefix made by wine-prefix.sh}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
if [ ! -d "$WINEPREFIX" ]; then
  echo "wine-run: no Wine prefix at $WINEPREFIX" >&2
  exit 2
fi
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
rc=0
if [ -z "${DISPLAY:-}" ]; then
  # A private display for this one program; wait for the prefix's processes
  # to end before the display goes away.
  xvfb-run -a bash -c '"${WINELOADER:-wine}" "$@"; rc=$?; "${WINESERVER:-wineserver}" -w; exit $rc' wine-run "$@" \
    >"$out" 2>"$err" || rc=$?
else
  "${WINELOADER:-wine}" "$@" >"$out" 2>"$err" || rc=$?
fi
cat "$out"
cat "$err" >&2
exit $rc
