#!/usr/bin/env bash
# Prints the size table of the shipped i686 build: the two carried libraries,
# the stand-in program and the uninstaller, stripped; what each carried file
# costs the setup program (its stored "FileData" value: the libraries as
# PMCS10 containers, the application archive plainly); the setup exe without
# those values and the whole tavqbx21.exe, each against its limit.
#
#   bash scripts/sizes.sh [--report] [WIN32_TREE]     (default build/win32)
#
# The tree's build writes size-table-inputs.txt (cmake/SizeTable.cmake) and
# prints this table after each build (--report). Exit status 1 when a size
# is over its limit, 2 when an input is missing (0 with --report, which only
# says so).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
report_only=no
if [ "${1:-}" = --report ]; then
  report_only=yes
  shift
fi
tree=${1:-$root/build/win32}
inputs=$tree/size-table-inputs.txt

# missing WHAT: no table without it.
missing() {
  echo "sizes: no table: $1 is missing (TAV_BUILDS=win32 bash scripts/build.sh builds everything it needs)" >&2
  [ "$report_only" = yes ] && exit 0
  exit 2
}

[ -f "$inputs" ] || missing "$inputs"
while IFS='=' read -r key value; do
  case $key in
    unzdll) unzdll=$value ;;
    zipdll) zipdll=$value ;;
    quillbox) quillbox=$value ;;
    uninstall) uninstall=$value ;;
    setup) setup=$value ;;
    setup_limit) setup_limit=$value ;;
    carried_list) carried_list=$value ;;
  esac
done <"$inputs"
for file in "$unzdll" "$zipdll" "$quillbox" "$uninstall" "$setup" "$carried_list"; do
  [ -f "$file" ] || missing "$file"
done

readonly kLibraryLimit=$((160 * 1024))
readonly kWholeLimit=$((640 * 1024))
over=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The size of a file stripped, whether or not it is (the build links the
# shipped files without symbols, and carries them as they are).
stripped_size() {
  i686-w64-mingw32-strip -o "$work/stripped" "$1"
  stat -c %s "$work/stripped"
}

# row LABEL BYTES [LIMIT]
row() {
  local verdict=""
  if [ -n "${3:-}" ]; then
    if [ "$2" -le "$3" ]; then
      verdict=$(printf '%7d  ok' $(($3 / 1024)))
    else
      verdict=$(printf '%7d  OVER by %d bytes' $(($3 / 1024)) $(($2 - $3)))
      over=1
    fi
  fi
  printf '  %-46s %9d %8.1f %s\n' "$1" "$2" "$(awk "BEGIN { print $2 / 1024 }")" "$verdict"
}

echo "== sizes of the i686 build, stripped (KB = 1024 bytes)"
printf '  %-46s %9s %8s %7s\n' "" bytes KB "limit KB"
row "unzdll.dll" "$(stripped_size "$unzdll")" "$kLibraryLimit"
row "zipdll.dll" "$(stripped_size "$zipdll")" "$kLibraryLimit"
row "TAV Quillbox.exe" "$(stripped_size "$quillbox")"
row "uninstall.exe" "$(stripped_size "$uninstall")"
# The description compiler lists each file source's stored value as
# "component bytes file".
stored=0
while read -r component bytes file; do
  row "$(basename "$file") as carried ($component)" "$bytes"
  stored=$((stored + bytes))
done <"$carried_list"
setup_bytes=$(stat -c %s "$setup")
# To within the resource section's 512-byte file alignment.
row "setup exe without its carried values" $((setup_bytes - stored)) "$setup_limit"
row "tavqbx21.exe, carrying them" "$setup_bytes" "$kWholeLimit"
if [ "$over" = 1 ] && [ "$report_only" = no ]; then
  exit 1
fi
