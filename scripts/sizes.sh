#!/usr/bin/env bash
# Prints the size table of the shipped i686 build: the two carried libraries,
# the stand-in program and the uninstaller, stripped; the forms the setup
# program carries them in (the libraries packed by pmcs as PMCS10 containers,
# the application archive made by tavzip -9 and stored plainly); the setup
# exe itself and the whole tavqbx21.exe with everything it carries, each
# against its limit.
#
#   bash scripts/sizes.sh [--report] [WIN32_TREE]     (default build/win32)
#
# The tree's build writes size-table-inputs.txt (cmake/SizeTable.cmake): the
# files measured, the archive's members, the host tools; and it prints this
# table after each build (--report). As long as the setup exe carries none of
# the files, the whole program is projected from the parts; once it carries
# them, its real size is read instead. Exit status 1 when a size is over its
# limit, 2 when an input is missing (0 with --report, which only says so).
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

members=()
while IFS='=' read -r key value; do
  case $key in
    unzdll) unzdll=$value ;;
    zipdll) zipdll=$value ;;
    quillbox) quillbox=$value ;;
    uninstall) uninstall=$value ;;
    setup) setup=$value ;;
    setup_limit) setup_limit=$value ;;
    pmcs) pmcs=$value ;;
    tavzip) tavzip=$value ;;
    member) members+=("$value") ;;
  esac
done <"$inputs"

for file in "$unzdll" "$zipdll" "$quillbox" "$uninstall" "$setup" "$pmcs" "$tavzip" "${members[@]}"; do
  [ -f "$file" ] || missing "$file"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

readonly kLibraryLimit=$((160 * 1024))
readonly kWholeLimit=$((640 * 1024))
# What a carried file costs the description beyond its bytes: the value's
# name "FileData", its type and its length (14 bytes), three times, and the
# plain archive's own length in front of it (4 bytes).
readonly kFramingBytes=$((3 * 14 + 4))

over=0

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

unzdll_bytes=$(stripped_size "$unzdll")
zipdll_bytes=$(stripped_size "$zipdll")
quillbox_bytes=$(stripped_size "$quillbox")
uninstall_bytes=$(stripped_size "$uninstall")

# The carried forms: the libraries packed, the members archived.
"$pmcs" pack "$unzdll" "$work/unzdll.pmcs" >/dev/null
"$pmcs" pack "$zipdll" "$work/zipdll.pmcs" >/dev/null
unzdll_packed=$(stat -c %s "$work/unzdll.pmcs")
zipdll_packed=$(stat -c %s "$work/zipdll.pmcs")
"$tavzip" -9 -j "$work/archive.zip" "${members[@]}" >/dev/null
archive_bytes=$(stat -c %s "$work/archive.zip")
carried=$((unzdll_packed + zipdll_packed + archive_bytes + kFramingBytes))

# The setup exe is linked without symbols; read as it is, with what it carries.
setup_bytes=$(stat -c %s "$setup")
# Does the setup exe carry the libraries already? Then their packed bytes
# stand in it as they are.
if python3 -c 'import sys; sys.exit(0 if open(sys.argv[2], "rb").read() in open(sys.argv[1], "rb").read() else 1)' \
     "$setup" "$work/unzdll.pmcs"; then
  carries=yes
else
  carries=no
fi

echo "== sizes of the i686 build, stripped (KB = 1024 bytes)"
printf '  %-46s %9s %8s %7s\n' "" bytes KB "limit KB"
row "unzdll.dll" "$unzdll_bytes" "$kLibraryLimit"
row "zipdll.dll" "$zipdll_bytes" "$kLibraryLimit"
row "TAV Quillbox.exe" "$quillbox_bytes"
row "uninstall.exe" "$uninstall_bytes"
row "unzdll.dll as carried (pmcs)" "$unzdll_packed"
row "zipdll.dll as carried (pmcs)" "$zipdll_packed"
row "application archive (tavzip -9, ${#members[@]} members)" "$archive_bytes"
if [ "$carries" = yes ]; then
  row "setup exe without carried files (estimated)" $((setup_bytes - carried)) "$setup_limit"
  row "tavqbx21.exe as built" "$setup_bytes" "$kWholeLimit"
else
  row "setup exe without carried files" "$setup_bytes" "$setup_limit"
  # The carried bytes go into the resource section, which grows in whole
  # 512-byte file-alignment steps.
  projected=$(((setup_bytes + carried + 511) / 512 * 512))
  at_limit=$(((setup_limit + carried + 511) / 512 * 512))
  row "tavqbx21.exe projected" "$projected" "$kWholeLimit"
  row "tavqbx21.exe projected, setup exe at its limit" "$at_limit" "$kWholeLimit"
fi
if [ "$over" = 1 ] && [ "$report_only" = no ]; then
  exit 1
fi
