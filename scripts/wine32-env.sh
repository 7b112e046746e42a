# Sourced by the 32-bit Wine scripts: the environment that runs Windows
# programs on the private 32-bit Wine that scripts/wine32-prepare.sh made.
#
# Two kinds of prefix, as the shipping build meets two kinds of Windows:
#   by default, 32-bit Windows: a win32 prefix in which every process,
#     Wine's own services too, is 32-bit and runs under qemu-i386;
#   with TAV_WINE32_WOW64=1, 64-bit Windows: a win64 prefix whose own
#     processes the system's 64-bit Wine runs natively, and which starts each
#     32-bit program with the tree's 32-bit loader under qemu-i386 (see the
#     copy of wine64 in wine32-prepare.sh), so that program sees what a 32-bit
#     program sees there: the 32-bit registry view, "Program Files (x86)",
#     SysWOW64.
tav_wine32_cache=${TAV_WINE32_CACHE:-/var/cache/tav-wine32}
if [ ! -f "$tav_wine32_cache/stamp" ]; then
  echo "wine32: no private 32-bit Wine in $tav_wine32_cache; run scripts/wine32-prepare.sh" >&2
  exit 2
fi
# qemu-i386 (started by binfmt_misc) finds the tree's libraries and files
# first; both kinds share the system's 64-bit wineserver of the same version.
export QEMU_LD_PREFIX=$tav_wine32_cache/root
export WINESERVER=/usr/lib/wine/wineserver64
export FONTCONFIG_FILE=$QEMU_LD_PREFIX/etc/fonts/tav-fonts.conf
if [ -n "${TAV_WINE32_WOW64:-}" ]; then
  export WINEARCH=win64
  export WINELOADER=$QEMU_LD_PREFIX/usr/lib/wine/wine64
else
  export WINEARCH=win32
  export WINELOADER=$QEMU_LD_PREFIX/usr/lib/wine/wine
fi
