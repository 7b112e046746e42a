#!/usr/bin/env bash
# wine32-prefix.sh create DIR | destroy DIR
# The 32-bit prefix of one test run on the private 32-bit Wine. Under
# emulation the first process of a prefix takes about 10 s to bring up the
# prefix's services (services.exe, winedevice.exe, ...); with a display, one
# idle console program keeps them up for the whole run, so that each test
# program starts in about a second. It ends with the prefix.
set -euo pipefail
here=$(dirname "$0")
. "$here/wine32-env.sh"
action=${1:?usage: wine32-prefix.sh create|destroy DIR}
dir=${2:?usage: wine32-prefix.sh create|destroy DIR}

"$here/wine-prefix.sh" "$action" "$dir"
if [ "$action" = create ] && [ -n "${DISPLAY:-}" ]; then
  # cmd's pause reads a FIFO that it holds open for writing itself: no input
  # and no end of input ever come. Without a display wine-run.sh waits for
  # the prefix's processes to end, so the keeper would never let it return.
  export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  mkfifo "$dir/keeper-input"
  setsid "$WINELOADER" cmd.exe /c pause <>"$dir/keeper-input" >/dev/null 2>&1 &
fi
