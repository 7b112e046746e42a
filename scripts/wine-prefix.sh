#!/usr/bin/env bash
# wine-prefix.sh create DIR | destroy DIR
# Makes a fresh, throw-away 64-bit Wine prefix for one test run, cut off from
# the host user's folders, or ends its processes and removes it.
set -euo pipefail
action=${1:?usage: wine-prefix.sh create|destroy DIR}
dir=${2:?usage: wine-prefix.sh create|destroy DIR}
export WINEPREFIX=$dir WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

case $action in
create)
  if [ -d "$dir" ]; then wineserver -k 2>/dev/null || true; rm -rf "$dir"; fi
  mkdir -p "$dir"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # Wine links Desktop, Documents and the like to the host user's folders;
  # make them plain folders inside the prefix so nothing escapes it.
  find "$dir/drive_c/users" -maxdepth 2 -type l | while IFS= read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done
  ;;
destroy)
  if [ -d "$dir" ]; then wineserver -k 2>/dev/null || true; rm -rf "$dir"; fi
  ;;
*)
  echo "wine-prefix: unknown action $action" >&2
  exit 2
  ;;
esac
