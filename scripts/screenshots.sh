#!/usr/bin/env bash
# Photographs the setup program's windows under Wine on a private Xvfb
# display and writes docs/screenshots/{splash,main,readme}.png, then the
# splash and the main window again with the display at 144 dpi (150 %):
# docs/screenshots/{splash,main}-144dpi.png.
# Needs a built win64 tree (scripts/build.sh); photo-prefix.sh installs the
# few packages photographs need.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${TAV_BUILD_DIR:-$root/build}/win64/bin
shots=$root/docs/screenshots

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tav-shots.XXXXXX)
trap 'bash "$root/scripts/wine-prefix.sh" destroy "$WINEPREFIX"' EXIT
bash "$root/scripts/photo-prefix.sh" "$WINEPREFIX"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# shoot FILE "WINDOW TITLE" PROGRAM ARGS...: starts the program, waits for
# the window to be mapped, photographs it and ends the program.
shoot() {
  local file=$1 title=$2
  shift 2
  wine "$@" >/dev/null 2>&1 &
  local pid=$! id=""
  for _ in $(seq 1 200); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" | awk '{print $1}' | head -n1 || true)
    if [ -n "$id" ] && xwininfo -id "$id" | grep -q 'IsViewable'; then break; fi
    id=""
    sleep 0.1
  done
  [ -n "$id" ] || { echo "screenshots: no window \"$title\"" >&2; kill "$pid"; return 1; }
  sleep 1  # let it finish painting
  import -window "$id" "$shots/$file"
  kill "$pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  echo "screenshots: $shots/$file"
}

mkdir -p "$shots"
shoot splash.png "TAV Quillbox Setup" "$bin/setup_window_preview.exe" splash
shoot main.png "TAV Quillbox One Step Install" "$bin/tavqbx21.exe"
shoot readme.png "TAV Quillbox ReadMe" "$bin/setup_window_preview.exe" readme

# The same windows at 144 dots per inch, as Windows at 150 % runs a
# system-aware program.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
wineserver -w
shoot splash-144dpi.png "TAV Quillbox Setup" "$bin/setup_window_preview.exe" splash
shoot main-144dpi.png "TAV Quillbox One Step Install" "$bin/tavqbx21.exe"
