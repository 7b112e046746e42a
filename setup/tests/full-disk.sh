#!/usr/bin/env bash
# full-disk.sh mount DIR PREFIX DRIVE FILE... | umount DIR PREFIX DRIVE
# Mounts a small tmpfs at DIR and gives it to the Wine prefix as DRIVE (say
# q:): room for the FILEs that are named first (the two libraries) and half
# of the others (the archive's members), so an install onto it runs out of
# space part-way through the extraction. Without the rights to mount, it
# leaves the drive out and the test that needs it skips.
set -uo pipefail
action=$1 dir=$2 prefix=$3 drive=$4
shift 4
page=4096
pages() { echo $(( ($(stat -c %s "$1") + page - 1) / page )); }

case $action in
mount)
  mountpoint -q "$dir" && umount "$dir"
  mkdir -p "$dir"
  libraries=$(( $(pages "$1") + $(pages "$2") ))
  shift 2
  members=0
  for file in "$@"; do members=$(( members + $(pages "$file") )); done
  size=$(( (libraries + members / 2 + 2) * page ))
  if mount -t tmpfs -o "size=$size" tmpfs "$dir" 2>/dev/null; then
    ln -sfn "$dir" "$prefix/dosdevices/$drive"
    echo "full-disk: $size bytes at $drive"
  else
    echo "full-disk: cannot mount a tmpfs here; the full-disk story is skipped"
  fi
  ;;
umount)
  rm -f "$prefix/dosdevices/$drive"
  # Lazily: the Wine server may still hold the drive's folder for a moment.
  mountpoint -q "$dir" && umount -l "$dir"
  rmdir "$dir" 2>/dev/null
  ;;
esac
exit 0
