#!/usr/bin/env bash
# pmcs_native_test.sh NATIVE_PMCS EMULATOR... PMCS_EXE: the Windows pmcs.exe
# writes the same containers as the native pmcs, byte for byte, and each
# restores the other's.
set -u
native=$1; shift
windows=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"   # relative names, so the same paths serve the Windows pmcs under Wine
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Inputs around the block size (32,783 bytes) and of every kind the codec
# treats differently: text, runs, incompressible bytes, a mix.
{ for i in $(seq 1 4000); do echo "card $i of the TAV Quillbox index, filed under $((i % 23))"; done; } > text.bin
head -c 100000 /dev/zero > zeros.bin
head -c 70000 /dev/urandom > random.bin
cat text.bin random.bin zeros.bin text.bin > mix.bin
: > empty.bin
head -c 1 text.bin > one.bin
for n in 32782 32783 32784 65566 65567; do head -c $n mix.bin > "cut$n.bin"; done

for input in *.bin; do
  name=${input%.bin}
  "$native" pack "$input" "$name.native" >/dev/null || fail "native pack of $input"
  "${windows[@]}" pack "$input" "$name.windows" >/dev/null || fail "Windows pack of $input"
  cmp -s "$name.native" "$name.windows" || fail "$input: the containers differ"
  "${windows[@]}" unpack "$name.native" "$name.from-native" >/dev/null || fail "Windows unpack of $input's container"
  cmp -s "$input" "$name.from-native" || fail "$input: the Windows pmcs restored the native container wrongly"
  "$native" unpack "$name.windows" "$name.from-windows" >/dev/null || fail "native unpack of $input's container"
  cmp -s "$input" "$name.from-windows" || fail "$input: the native pmcs restored the Windows container wrongly"
done
"$native" list mix.native > native.txt; "${windows[@]}" list mix.native | tr -d '\r' > windows.txt
cmp -s native.txt windows.txt || fail "the block lists differ"

[ $failures -eq 0 ] && echo "pmcs: the Windows and native tools agree on $(ls *.bin | wc -l) inputs"
exit $failures
