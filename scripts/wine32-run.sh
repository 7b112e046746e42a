#!/usr/bin/env bash
# Runs one Windows program on the private 32-bit Wine (under qemu-i386) in the
# prefix named by WINEPREFIX: the win32 tree's emulator, as wine-run.sh is the
# win64 tree's.
#
# Processes that the program starts and that outlive it (the prefix's
# services, the desktop) inherit its standard output and error. Through a pipe
# they would keep the caller (CTest) waiting for their end, which the prefix's
# keeper (wine32-prefix.sh) puts off until the prefix goes; so the program
# writes into files, copied to this script's output when it ends.
set -euo pipefail
here=$(dirname "$0")
. "$here/wine32-env.sh"
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
rc=0
"$here/wine-run.sh" "$@" >"$out" 2>"$err" || rc=$?
cat "$out"
cat "$err" >&2
exit $rc
