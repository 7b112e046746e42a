#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and its tests need.
# Idempotent and quiet when all is present. Must run as root.
#
# Wine: only the 64-bit loader. wine32 and the i386 architecture are never
# added: these machines cannot execute 32-bit code, and with wine32 present
# the `wine` launcher picks the 32-bit loader and fails. The shipping i686
# build runs its tests on a private 32-bit Wine instead
# (scripts/wine32-prepare.sh); the cross compiler for i386 Linux here (an
# amd64 package) builds that Wine's small preloaded library.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev zlib1g-dev
  googletest libgtest-dev libbenchmark-dev liblz4-dev
  wine wine64 xvfb xauth
  gcc-i686-linux-gnu libc6-dev-i386-cross
  python3 unzip libarchive-tools p7zip-full
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${missing[*]}"
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
