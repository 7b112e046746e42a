#!/usr/bin/env bash
# Measures the setup program's start-up under Wine: from starting the process
# to its main window being shown (mapped on the X display), over several runs
# (TAV_RUNS, default 7), and prints each and the median. The Wine server is
# kept running between runs, so the figure is the program's start-up and
# Wine's per-process loading, not the server's boot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${TAV_BUILD_DIR:-$root/build}/win64/bin/tavqbx21.exe

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
command -v xwininfo >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y x11-utils >/dev/null

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tav-time.XXXXXX)
trap 'bash "$root/scripts/wine-prefix.sh" destroy "$WINEPREFIX"' EXIT
bash "$root/scripts/wine-prefix.sh" create "$WINEPREFIX"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wineserver -p  # persistent until killed below
title="TAV Quillbox One Step Install"

times=()
for run in $(seq 1 "${TAV_RUNS:-7}"); do
  start=$(date +%s%N)
  wine "$exe" >/dev/null 2>&1 &
  pid=$!
  shown=""
  for _ in $(seq 1 2000); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" | awk '{print $1}' | head -n1 || true)
    if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then
      shown=$(date +%s%N)
      break
    fi
    sleep 0.005
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [ -n "$shown" ] || { echo "startup-time: the main window did not appear" >&2; exit 1; }
  ms=$(( (shown - start) / 1000000 ))
  echo "run $run: ${ms} ms"
  times+=("$ms")
done
wineserver -k || true
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "start-up to main window shown under Wine, median of ${#times[@]} runs: ${median} ms"
