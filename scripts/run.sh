#!/usr/bin/env bash
# Builds the Windows program (x86_64, which runs under this machine's 64-bit
# Wine) and runs the setup program.
#
# With a DISPLAY it starts tavqbx21.exe for you to click through, in the
# prefix build/win64/wineprefix-run.
#
# Without one it shows the main job done: on a private Xvfb display, in a
# fresh Wine prefix, it installs once with the default options, photographs
# each step (the main window, the progress bar, the closing box) into
# build/run/, and prints what was installed: the files, the registry values
# and the shortcuts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
TAV_BUILDS=${TAV_BUILDS:-win64} bash "$root/scripts/build.sh"

out=${TAV_BUILD_DIR:-$root/build}
bin=$out/win64/bin

if [ -n "${DISPLAY:-}" ] && [ -z "${TAV_RUN_DRIVEN:-}" ]; then
  export WINEPREFIX=$out/win64/wineprefix-run
  [ -d "$WINEPREFIX" ] || bash "$root/scripts/wine-prefix.sh" create "$WINEPREFIX"
  cd "$bin"
  exec "$root/scripts/wine-run.sh" tavqbx21.exe
fi

if [ -z "${DISPLAY:-}" ]; then
  # One private display for the whole run.
  exec env TAV_RUN_DRIVEN=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

shots=$out/run
handshake=$(mktemp -d /tmp/tav-run-handshake.XXXXXX)
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tav-run-prefix.XXXXXX)
trap 'bash "$root/scripts/wine-prefix.sh" destroy "$WINEPREFIX"; rm -rf "$handshake"' EXIT
echo "run: a fresh Wine prefix at $WINEPREFIX"
bash "$root/scripts/photo-prefix.sh" "$WINEPREFIX"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
rm -rf "$shots"
mkdir -p "$shots"

# The driver stops at each step until the step is photographed.
wine "$bin/setup_driver.exe" "$(winepath -w "$bin/tavqbx21.exe")" - "$(winepath -w "$handshake")" &
driver=$!
number=1
while kill -0 "$driver" 2>/dev/null; do
  for ready in "$handshake"/*.ready; do
    [ -e "$ready" ] || continue
    step=$(basename "$ready" .ready)
    shot="$shots/$number-$step.png"
    import -window root "$shot"
    echo "run: photographed the $step step: $shot"
    number=$((number + 1))
    rm "$ready"
    touch "$handshake/$step.done"
  done
  sleep 0.1
done
status=0
wait "$driver" || status=$?
wineserver -w
echo "run: the setup program ended with exit code $status; photographs in $shots"
exit "$status"
