#!/usr/bin/env bash
# pmcs_test.sh [EMULATOR] PMCS: packs, lists and restores real files, and
# checks that failures leave no partial output and keep an existing one.
set -u
pmcs=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"   # relative names, so the same paths serve a Windows pmcs under Wine
failures=0
check() { if ! eval "$2"; then echo "FAIL: $1"; failures=$((failures + 1)); fi; }

{ for i in $(seq 1 3000); do echo "card $i of the TAV Quillbox index, filed under $((i % 17))"; done; } > in.bin
head -c 40000 /dev/urandom >> in.bin
head -c 70000 /dev/zero >> in.bin

"${pmcs[@]}" pack in.bin out.pmcs; check "pack succeeds" '[ $? -eq 0 ]'
check "the container is smaller" '[ $(stat -c %s out.pmcs) -lt $(stat -c %s in.bin) ]'
check "it starts with the magic" '[ "$(head -c 6 out.pmcs)" = PMCS10 ]'
"${pmcs[@]}" unpack out.pmcs back.bin; check "unpack succeeds" '[ $? -eq 0 ]'
check "unpack restores the input" 'cmp -s in.bin back.bin'

"${pmcs[@]}" list out.pmcs > list.txt; check "list succeeds" '[ $? -eq 0 ]'
size=$(stat -c %s in.bin)
check "list shows one line per block" '[ $(grep -cE "^ +[0-9]+ +[0-9]+ (coded|copied) " list.txt) -eq $(( (size + 32782) / 32783 )) ]'
check "list shows a copied block for the random part" 'grep -qE " copied +32783" list.txt'
check "list totals the restored bytes" 'grep -q "$size bytes restored" list.txt'

head -c 5000 out.pmcs > cut.pmcs
"${pmcs[@]}" unpack cut.pmcs partial.bin 2> err.txt; rc=$?
check "a truncated container fails" '[ $rc -ne 0 ]'
check "with the stream read error" 'grep -q "Stream read error" err.txt'
check "leaving no output" '[ ! -e partial.bin ] && [ -z "$(ls | grep partial)" ]'

printf 'PMCS11\0\0\0\0' > wrong.pmcs
cp in.bin keep.bin
"${pmcs[@]}" unpack wrong.pmcs keep.bin 2> err.txt; rc=$?
check "a wrong magic fails" '[ $rc -ne 0 ] && grep -q "Wrong file type" err.txt'
check "an existing output survives a failure" 'cmp -s in.bin keep.bin'

"${pmcs[@]}" pack missing.bin x.pmcs 2> err.txt; rc=$?
check "a missing input names the file" '[ $rc -ne 0 ] && grep -q "Cannot open file missing.bin" err.txt && [ ! -e x.pmcs ]'
"${pmcs[@]}" frobnicate 2> err.txt; rc=$?
check "an unknown command prints the usage" '[ $rc -eq 2 ] && grep -q usage err.txt'

[ $failures -eq 0 ] && echo "pmcs: all checks passed"
exit $failures
