#!/usr/bin/env bash
# Prepares the private 32-bit Wine that runs the shipping i686 build under
# qemu user-mode emulation, and checks that 32-bit programs start through qemu.
# Idempotent: a second run only checks the binfmt_misc registration (which does
# not survive a restart of the machine) and is silent. Must run as root.
#
# Nothing here touches the system's packages: the system's `wine` stays the
# 64-bit build and the i386 architecture is never added to dpkg. Instead:
#   qemu-i386   from the qemu-user package of bookworm-backports (bookworm's own
#               qemu reports guest faults in a way Wine's services crash on),
#               fetched with a private apt configuration and unpacked privately;
#   root/       wine32, libwine and wine32-preloader of the system's wine64
#               version with their i386 libraries, resolved by a private apt
#               configuration (architecture i386, empty dpkg status) and
#               unpacked with dpkg -x, then given what the packages' maintainer
#               scripts would have done;
#   a small preloaded library (scripts/wine32/fill-trap-number.c) that restores
#               the trap number qemu leaves out of guest faults, so Wine reports
#               access violations and divide errors with their real codes.
#
# The cache lives outside the source tree, in TAV_WINE32_CACHE (default
# /var/cache/tav-wine32), shared by every checkout on the machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TAV_WINE32_CACHE:-/var/cache/tav-wine32}
mirror=${TAV_DEBIAN_MIRROR:-http://deb.debian.org/debian}
security_mirror=${TAV_DEBIAN_SECURITY_MIRROR:-http://deb.debian.org/debian-security}
preload_source=$root/scripts/wine32/fill-trap-number.c
binfmt=/proc/sys/fs/binfmt_misc
binfmt_name=tav-qemu-i386
# The i386 ELF header (executables and shared objects), as qemu registers it.
i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

if [ "$(id -u)" -ne 0 ]; then
  echo "wine32-prepare: must run as root (binfmt_misc, $cache)" >&2
  exit 1
fi

wine_version=$(dpkg-query -W -f='${Version}' wine64)
# Bump when what this script makes of the packages changes.
layout=4
stamp="layout=$layout wine=$wine_version preload=$(sha256sum "$preload_source" | cut -c1-16)"

say() { echo "wine32-prepare: $*"; }

# Writes a private apt configuration for architecture $1 into $cache/apt-$1
# with the suites given as further arguments, and updates its lists.
private_apt() {
  local arch=$1; shift
  local dir=$cache/apt-$arch
  mkdir -p "$dir"/{lists/partial,archives/partial,sources.list.d,preferences.d}
  : > "$dir/status"
  printf '%s\n' "$@" > "$dir/sources.list"
  cat > "$dir/apt.conf" <<EOF
APT::Architecture "$arch";
APT::Architectures { "$arch"; };
APT::Install-Recommends "false";
APT::Sandbox::User "root";
Dir::State "$dir";
Dir::State::lists "$dir/lists";
Dir::State::status "$dir/status";
Dir::Cache "$dir";
Dir::Cache::archives "$dir/archives";
Dir::Etc::sourcelist "$dir/sources.list";
Dir::Etc::sourceparts "$dir/sources.list.d";
Dir::Etc::preferencesparts "$dir/preferences.d";
EOF
  APT_CONFIG=$dir/apt.conf apt-get update -qq
}

# qemu-i386 alone out of bookworm-backports' qemu-user (statically linked).
prepare_qemu() {
  private_apt amd64 "deb $mirror bookworm main" "deb $mirror bookworm-backports main"
  local dir=$cache/apt-amd64
  rm -f "$dir"/archives/*.deb
  (cd "$dir/archives" && APT_CONFIG=$dir/apt.conf apt-get download -qq qemu-user/bookworm-backports)
  local unpacked=$dir/unpacked
  rm -rf "$unpacked" && mkdir -p "$unpacked"
  dpkg-deb --fsys-tarfile "$dir"/archives/qemu-user_*.deb | tar -x -C "$unpacked" ./usr/bin/qemu-i386
  mv "$unpacked/usr/bin/qemu-i386" "$cache/qemu-i386.new"
  mv "$cache/qemu-i386.new" "$cache/qemu-i386"
  rm -rf "$unpacked" "$dir"/archives/*.deb
}

# The i386 Wine of the system's version, unpacked into $1.
unpack_wine32() {
  local tree=$1
  private_apt i386 "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
    "deb $security_mirror bookworm-security main"
  local dir=$cache/apt-i386
  rm -f "$dir"/archives/*.deb
  # fontconfig brings fc-cache, which makes the tree's font cache below.
  APT_CONFIG=$dir/apt.conf apt-get install -qq -y --download-only \
    "wine32=$wine_version" "libwine=$wine_version" "wine32-preloader=$wine_version" fontconfig >/dev/null
  local deb
  for deb in "$dir"/archives/*.deb; do dpkg -x "$deb" "$tree"; done
  say "unpacked $(ls "$dir"/archives/*.deb | wc -l) packages"
  rm -f "$dir"/archives/*.deb
}

# What the packages' maintainer scripts would have done to the tree $1.
fix_up_tree() {
  local tree=$1
  # libwine's trigger: mingw's zlib1.dll, marked as a Wine builtin DLL
  # (user32 does not load without it).
  local zlib=$tree/usr/i686-w64-mingw32/lib/zlib1.dll
  { head -c 64 "$zlib"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$zlib"; } \
    > "$tree/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
  # Absolute symlinks (fontconfig's configuration) point into the tree.
  local link
  while IFS= read -r link; do
    ln -sfnr "$tree$(readlink "$link")" "$link"
  done < <(find "$tree" -type l -lname '/*')
  # The tree's own library cache; without it the loader finds the host's
  # 32-bit libraries, if any, before the tree's.
  echo 'include /etc/ld.so.conf.d/*.conf' > "$tree/etc/ld.so.conf"
  ldconfig -r "$tree"
  # The trap-number library, preloaded into every 32-bit process.
  i686-linux-gnu-gcc -O2 -Wall -Wextra -Werror -shared -fPIC -fno-stack-protector \
    -o "$tree/usr/lib/tav-fill-trap-number.so" "$preload_source" -ldl
  echo /usr/lib/tav-fill-trap-number.so > "$tree/etc/ld.so.preload"
  # A copy of the system's 64-bit loader beside the tree's 32-bit one: 64-bit
  # Wine starts a 32-bit program with the loader of the same name less "64"
  # in its own (real) folder. It finds the system's 64-bit Wine libraries
  # relative to that folder too.
  cp /usr/lib/wine/wine64 "$tree/usr/lib/wine/wine64"
  mkdir -p "$tree/usr/lib/x86_64-linux-gnu"
  ln -sfn /usr/lib/x86_64-linux-gnu/wine "$tree/usr/lib/x86_64-linux-gnu/wine"
}

# Fontconfig's configuration and cache for the tree at $1, both named by full
# host paths: qemu finds a guest's "/usr/share/fonts" in the tree when it opens
# it but on the host when it stats it, so fontconfig would never trust a cache
# of the usual folders and would write its own outside the tree. The cache is
# made by the tree's own 32-bit fc-cache (its format depends on the word size).
make_font_cache() {
  local tree=$1
  mkdir -p "$tree/var/cache/fontconfig"
  cat > "$tree/etc/fonts/tav-fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$tree/usr/share/fonts</dir>
  <cachedir>$tree/var/cache/fontconfig</cachedir>
  <include ignore_missing="yes">$tree/etc/fonts/conf.d</include>
</fontconfig>
EOF
  QEMU_LD_PREFIX=$tree FONTCONFIG_FILE=$tree/etc/fonts/tav-fonts.conf "$tree/usr/bin/fc-cache" -s -f
}

# binfmt_misc starts every 32-bit x86 ELF through qemu-i386: P keeps the
# program's own name as argv[0], F opens the interpreter now, so it is found
# in any mount namespace.
register_binfmt() {
  if [ ! -e "$binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  local entry=$binfmt/$binfmt_name
  if [ -e "$entry" ] && grep -qx enabled "$entry" && grep -qx "interpreter $cache/qemu-i386" "$entry" &&
     grep -qx 'flags: PF' "$entry" && [ ! "$cache/qemu-i386" -nt "$entry" ]; then
    return
  fi
  [ -e "$entry" ] && echo -1 > "$entry"
  echo ":$binfmt_name:M::$i386_magic:$i386_mask:$cache/qemu-i386:PF" > "$binfmt/register"
  say "registered $cache/qemu-i386 for 32-bit x86 programs"
}

mkdir -p "$cache"
exec 9> "$cache/.lock"
flock 9

if [ "$(cat "$cache/stamp" 2>/dev/null)" = "$stamp" ] && [ -x "$cache/qemu-i386" ]; then
  register_binfmt
  exit 0
fi

start=$(date +%s)
say "preparing the private 32-bit Wine $wine_version in $cache"
bash "$root/scripts/install-deps.sh"
rm -f "$cache/stamp"
if [ ! -x "$cache/qemu-i386" ]; then prepare_qemu; fi
register_binfmt
tree=$cache/root.new
rm -rf "$tree" && mkdir -p "$tree"
unpack_wine32 "$tree"
fix_up_tree "$tree"
rm -rf "$cache/root" && mv "$tree" "$cache/root"
make_font_cache "$cache/root"
echo "$stamp" > "$cache/stamp"
say "ready in $(( $(date +%s) - start )) s, $(du -sh "$cache" | cut -f1) in $cache"
