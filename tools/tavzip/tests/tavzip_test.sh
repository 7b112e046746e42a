#!/usr/bin/env bash
# tavzip_test.sh VERIFY_ZIP [EMULATOR] TAVZIP: makes archives with tavzip and
# has Python's zipfile and Info-ZIP's unzip check them; checks the exit
# statuses and that a failed run leaves an existing archive as it was.
set -u
verify=$1
shift
tavzip=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"   # relative names, so the same paths serve a Windows tavzip under Wine
failures=0
check() { if ! eval "$2"; then echo "FAIL: $1"; failures=$((failures + 1)); fi; }

mkdir -p src/docs
{ for i in $(seq 1 2000); do echo "card $i of the TAV Quillbox index"; done; } > src/cards.txt
head -c 30000 /dev/urandom > src/noise.bin
printf 'read me\r\n' > "src/docs/Read Me.txt"
: > src/empty.txt

"${tavzip[@]}" -9 -j flat.zip src/cards.txt src/noise.bin "src/docs/Read Me.txt" src/empty.txt; rc=$?
check "a flat archive is made" '[ $rc -eq 0 ]'
check "both readers agree with it" \
  'python3 "$verify" flat.zip cards.txt=src/cards.txt noise.bin=src/noise.bin "Read Me.txt=src/docs/Read Me.txt" empty.txt=src/empty.txt'

"${tavzip[@]}" -0 -r tree.zip "src/*.txt"; rc=$?
check "a recursive stored archive is made" '[ $rc -eq 0 ]'
check "with folder names, stored" \
  'python3 "$verify" tree.zip --method stored src/cards.txt=src/cards.txt "src/docs/Read Me.txt=src/docs/Read Me.txt" src/empty.txt=src/empty.txt'

cp flat.zip keep.zip
"${tavzip[@]}" keep.zip src/missing.txt 2> err.txt; rc=$?
check "a missing file fails" '[ $rc -eq 1 ] && grep -q "No file matches" err.txt'
check "and leaves the archive as it was" 'cmp -s flat.zip keep.zip'

printf 'not a zip' > text.zip
"${tavzip[@]}" text.zip src/cards.txt 2> err.txt; rc=$?
check "a file that is no archive is not added to" \
  '[ $rc -eq 1 ] && grep -q "Cannot add to" err.txt && [ "$(cat text.zip)" = "not a zip" ]'

"${tavzip[@]}" -x a.zip b 2> err.txt; rc=$?
check "an unknown option prints the usage" '[ $rc -eq 2 ] && grep -q usage err.txt'
check "no temporary file is left behind" '[ -z "$(ls | grep "~zt")" ]'

[ $failures -eq 0 ] && echo "tavzip: all checks passed"
exit $failures
