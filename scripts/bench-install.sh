#!/usr/bin/env bash
# Install benchmark (separate from the tests): our setup program against a
# peer installer of the same files, NSIS (Debian's makensis, x86_64 target,
# zlib, solid), side by side under the same 64-bit Wine, run by run:
#   start-up   process start to the first window (ours: the main window)
#   install    ours: process start to the "Information" box, "Install"
#              clicked as soon as the main window shows; the peer: a silent
#              install (/S /D=...) from process start to its end, and the
#              same through its windows ("Install" clicked as soon as its
#              first window shows, until it says "Completed")
#   payloads   the default one (what tavqbx21.exe carries) and a test build
#              carrying the unzip benchmark's archive of about 1,000 files and
#              100 MB, beside our unzip engine alone extracting that archive
# with each program's peak working set, then the sizes. Prints medians (min
# and max beside them) and the ratios against the peer.
#
# usage: scripts/bench-install.sh [RUNS]     (default 7)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-7}
out=${TAV_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
command -v makensis >/dev/null ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nsis >/dev/null

echo "== building"
TAV_BUILDS="host win64" bash "$root/scripts/build.sh" >/dev/null
cmake --build "$out/win64" --target install_bench tavqbx21_large unzip_cli | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }
bin=$out/win64/bin
carried=$out/win64/setup/tavqbx21-carried
large_archive=$out/win64/bench/archives/mixed.zip
work=$out/bench-install
rm -rf "$work"
mkdir -p "$work"

# The peer installs exactly the files ours does, with the same registry
# values and Start Menu shortcut.
peer() {  # peer NAME FILES_FOLDER
  local name=$1 files=$2
  cat >"$work/$name.nsi" <<NSI
Unicode true
Target amd64-unicode
SetCompressor /SOLID zlib
Name "TAV Quillbox"
OutFile "$work/$name.exe"
InstallDir "\$PROGRAMFILES64\\TAV Quillbox"
RequestExecutionLevel admin
Page directory
Page instfiles
Section
  SetOutPath "\$INSTDIR"
  File "$files/*"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox.exe" "" "\$INSTDIR\\TAV Quillbox.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TAV Quillbox.exe" "Path" "\$INSTDIR"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TAV Quillbox" "DisplayName" "TAV Quillbox"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TAV Quillbox" "UninstallString" '"\$INSTDIR\\UNINSTALL.EXE"'
  WriteRegStr HKLM "SOFTWARE\\TAV Quillbox" "InstalledVersion" "2.1.1"
  WriteRegStr HKCU "SOFTWARE\\TAV Quillbox" "InstalledVersion" "2.1.1"
  WriteRegStr HKCR ".tav" "" "TAV file"
  WriteRegStr HKCR "TAV file" "" "TAV Quillbox"
  WriteRegStr HKCR "TAV file\\Shell\\Open\\command" "" '"\$INSTDIR\\TAV Quillbox.exe" "%1"'
  WriteRegStr HKCR "TAV file\\DefaultIcon" "" "\$INSTDIR\\TAV Quillbox.exe,1"
  CreateShortcut "\$SMPROGRAMS\\TAV Quillbox.lnk" "\$INSTDIR\\TAV Quillbox.exe" "" "" 0 SW_SHOWNORMAL "" "TAV Quillbox"
SectionEnd
NSI
  makensis -V1 "$work/$name.nsi" >/dev/null
}
echo "== making the peer installers"
mkdir -p "$work/files-default" "$work/files-large"
cp "$carried/zipdll.dll" "$carried/unzdll.dll" "$out/win64/setup/quillbox.zip-members/"* "$work/files-default/"
cp "$carried/zipdll.dll" "$carried/unzdll.dll" "$work/files-large/"
unzip -q -j -o "$large_archive" -d "$work/files-large"
peer peer-default "$work/files-default"
peer peer-large "$work/files-large"

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tav-bench.XXXXXX)
trap 'bash "$root/scripts/wine-prefix.sh" destroy "$WINEPREFIX"' EXIT
bash "$root/scripts/wine-prefix.sh" create "$WINEPREFIX"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
wineserver -p  # kept running until the prefix goes: no figure pays for its start
drive=$WINEPREFIX/drive_c
mkdir -p "$drive/bench/temp"

# measure NAME ARG...: one run of the driver, its figures appended to NAME.
measure() {
  local name=$1
  shift
  local line
  line=$(wine "$bin/install_bench.exe" "$@" 2>>"$work/errors.log" | tr -d '\r' | grep '^ms=') || {
    echo "bench-install: $name failed: $(tail -n 1 "$work/errors.log")" >&2
    exit 1
  }
  echo "$line" >>"$work/$name.txt"
}
fresh() { rm -rf "$drive/bench/dest" "$drive/bench/temp" && mkdir -p "$drive/bench/temp"; }

echo "== $runs runs, interleaved"
for run in $(seq 1 "$runs"); do
  fresh; measure ours-startup startup "Z:$bin/tavqbx21.exe" "TAV Quillbox One Step Install"
  fresh; measure peer-startup startup "Z:$work/peer-default.exe"
  fresh; measure ours-install install "Z:$bin/tavqbx21.exe" 'C:\bench\dest' 'C:\bench\temp\'
  fresh; measure peer-install run "Z:$work/peer-default.exe" /S '/D=C:\bench\dest'
  fresh; measure peer-clicked click "TAV Quillbox Setup: Completed" "Z:$work/peer-default.exe" '/D=C:\bench\dest'
  fresh; measure ours-large install "Z:$bin/tavqbx21_large.exe" 'C:\bench\dest' 'C:\bench\temp\'
  fresh; mkdir -p "$drive/bench/dest"
  measure engine-large run "Z:$bin/unzip_cli.exe" --overwrite --into 'C:\bench\dest' "Z:$large_archive"
  fresh; measure peer-large run "Z:$work/peer-large.exe" /S '/D=C:\bench\dest'
  echo "  run $run of $runs done"
done
fresh

python3 - "$work" <<'PY'
import os, statistics, sys
work = sys.argv[1]

def figures(name):
    rows = [dict(kv.split("=") for kv in line.split()) for line in open(os.path.join(work, name + ".txt"))]
    return [float(r["ms"]) for r in rows], [int(r["peak_kb"]) / 1024 for r in rows]

def cell(values, unit):
    return f"{statistics.median(values):8.0f} {unit} ({min(values):.0f}-{max(values):.0f})"

print(f"\n== the whole install under Wine, median of {len(figures('ours-startup')[0])} runs (min-max)")
print(f"  {'':34} {'time':>26} {'peak working set':>24}")
rows = [("start-up, ours (main window)", "ours-startup"), ("start-up, NSIS (first window)", "peer-startup"),
        ("install, ours (to the closing box)", "ours-install"), ("install, NSIS silent", "peer-install"),
        ("install, NSIS through its windows", "peer-clicked"),
        ("100 MB install, ours", "ours-large"), ("100 MB, our unzip engine alone", "engine-large"),
        ("100 MB install, NSIS silent", "peer-large")]
for label, name in rows:
    ms, mb = figures(name)
    print(f"  {label:34} {cell(ms, 'ms'):>26} {cell(mb, 'MB'):>24}")
med = lambda name: statistics.median(figures(name)[0])
print("\n  ratios of medians")
print(f"    start-up, ours / NSIS                 {med('ours-startup') / med('peer-startup'):.2f}   (target: at most 1)")
print(f"    install, ours / NSIS silent           {med('ours-install') / med('peer-install'):.2f}   (target: at most 1)")
print(f"    install, ours / NSIS through windows  {med('ours-install') / med('peer-clicked'):.2f}")
print(f"    100 MB install, ours / engine alone   {med('ours-large') / med('engine-large'):.2f}   (target: at most 1.5)")
print(f"    100 MB install, ours / NSIS           {med('ours-large') / med('peer-large'):.2f}")
carried = os.path.getsize(os.path.join(work, "..", "win64", "bench", "archives", "mixed.zip")) / 2**20
print(f"    100 MB install, peak working set      {statistics.median(figures('ours-large')[1]):.0f} MB"
      f"   (target: under 64 MB + {carried:.0f} MB carried)")
PY

echo
echo "== sizes (bytes)"
printf '  %-44s %10d\n' "tavqbx21.exe (x86_64, as run here)" "$(stat -c %s "$bin/tavqbx21.exe")"
printf '  %-44s %10d\n' "NSIS peer of the same files (x86_64, zlib solid)" "$(stat -c %s "$work/peer-default.exe")"
if [ -f "$out/win32/size-table-inputs.txt" ]; then
  bash "$root/scripts/sizes.sh" "$out/win32" || true
else
  echo "  (the i686 size table: TAV_BUILDS=win32 bash scripts/build.sh, then bash scripts/sizes.sh)"
fi
