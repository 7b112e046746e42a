#!/usr/bin/env bash
# wine-prefix.sh create DIR | destroy DIR
# Makes a fresh, throw-away Wine prefix for one test run, cut off from the
# host user's folders, or ends its processes and removes it. 64-bit with the
# system's Wine, unless WINEARCH, WINELOADER and WINESERVER say otherwise
# (wine32-prefix.sh).
set -euo pipefail
action=${1:?usage: wine-prefix.sh create|destroy DIR}
dir=${2:?usage: wine-prefix.sh create|destroy DIR}
export WINEPREFIX=$dir WINEARCH=${WINEARCH:-win64} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
loader=${WINELOADER:-wine}
server=${WINESERVER:-wineserver}

case $action in
create)
  if [ -d "$dir" ]; then "$server" -k 2>/dev/null || true; rm -rf "$dir"; fi
  mkdir -p "$dir"
  "$loader" wineboot -i >/dev/null 2>&1
  "$server" -w
  # Wine links Desktop, Documents and the like to the host user's folders;
  # make them plain folders inside the prefix so nothing escapes it.
  find "$dir/drive_c/users" -maxdepth 2 -type l | while IFS= read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done
  # No window manager runs on the test display: left "managed", every window
  # that hides would wait two seconds for a window manager's answer that
  # never comes. Unmanaged, windows come and go as on a Windows desktop.
  printf '\n[Software\\\\Wine\\\\X11 Driver]\n"Managed"="N"\n' >>"$dir/user.reg"
  ;;
destroy)
  if [ -d "$dir" ]; then "$server" -k 2>/dev/null || true; rm -rf "$dir"; fi
  ;;
*)
  echo "wine-prefix: unknown action $action" >&2
  exit 2
  ;;
esac
