#!/usr/bin/env bash
# photo-prefix.sh DIR: a fresh Wine prefix at DIR for photographing the
# setup program's windows on an X display: Wine's own fonts (the designed
# "MS Sans Serif" and the faces Wine maps to it) where every Wine build finds
# them (title bars and frames are Wine's own: wine-prefix.sh leaves windows
# unmanaged). Installs the few packages photographs need when they are
# missing: Wine's fonts, ImageMagick's `import` and xwininfo.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:?usage: photo-prefix.sh DIR}

need=()
for p in fonts-wine imagemagick x11-utils; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${need[@]}" >/dev/null
fi

bash "$root/scripts/wine-prefix.sh" create "$dir"
export WINEPREFIX=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cp /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf "$dir/drive_c/windows/Fonts/"
wineserver -w
