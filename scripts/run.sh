#!/usr/bin/env bash
# Builds everything and runs the newest Windows program under Wine. Until the
# setup program exists that is pmcs.exe, packing and listing a file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"

export WINEPREFIX=$root/build/win64/wineprefix-run
[ -d "$WINEPREFIX" ] || bash "$root/scripts/wine-prefix.sh" create "$WINEPREFIX"
cd "$root/build/win64/bin"
cp "$root/README.md" readme.txt
"$root/scripts/wine-run.sh" pmcs.exe pack readme.txt readme.pmcs
"$root/scripts/wine-run.sh" pmcs.exe list readme.pmcs
