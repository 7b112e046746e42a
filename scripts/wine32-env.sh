# Sourced by the 32-bit Wine scripts: the environment that runs Windows
# programs on the private 32-bit Wine that scripts/wine32-prepare.sh made.
tav_wine32_cache=${TAV_WINE32_CACHE:-/var/cache/tav-wine32}
if [ ! -f "$tav_wine32_cache/stamp" ]; then
  echo "wine32: no private 32-bit Wine in $tav_wine32_cache; run scripts/wine32-prepare.sh" >&2
  exit 2
fi
# qemu-i386 (started by binfmt_misc) finds the tree's libraries and files
# first; Wine starts every process with the tree's 32-bit loader and shares the
# system's 64-bit wineserver of the same version.
export QEMU_LD_PREFIX=$tav_wine32_cache/root
export WINELOADER=$QEMU_LD_PREFIX/usr/lib/wine/wine
export WINESERVER=/usr/lib/wine/wineserver64
export WINEARCH=win32
export FONTCONFIG_FILE=$QEMU_LD_PREFIX/etc/fonts/tav-fonts.conf
