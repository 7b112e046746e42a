#!/usr/bin/env bash
# Runs one Windows program on the private 32-bit Wine (under qemu-i386) in the
# prefix named by WINEPREFIX: the win32 tree's emulator, as wine-run.sh is the
# win64 tree's.
set -euo pipefail
here=$(dirname "$0")
. "$here/wine32-env.sh"
exec "$here/wine-run.sh" "$@"
