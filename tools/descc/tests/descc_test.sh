#!/usr/bin/env bash
# descc end to end: compile with file references and a depfile, print, compile
# the printed text again to the same bytes, and fail cleanly on bad input.
set -euo pipefail
descc=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "descc_test: $*" >&2; exit 1; }

mkdir -p "$work/src/data dir"
printf 'BM\x00\x01\xff' > "$work/src/data dir/side.bmp"
printf 'first\r\nsecond\r\n' > "$work/src/data dir/ReadMe.txt"
cat > "$work/src/Form.txt" <<'TEXT'
object Form1: TForm1
  Caption = 'TAV Quillbox Setup'
  object Image1: TImage
    Picture.Data = @file 'data dir/side.bmp'
  end
  object Memo1: TMemo
    Lines.Strings = @lines 'data dir/ReadMe.txt'
  end
end
TEXT

"$descc" compile "$work/src/Form.txt" "$work/Form.bin" --depfile "$work/Form.d"
[ "$(head -c 4 "$work/Form.bin")" = TQD1 ] || fail "no signature"
grep -q 'data\\ dir/side.bmp' "$work/Form.d" || fail "depfile lacks the picture: $(cat "$work/Form.d")"
grep -q 'data\\ dir/ReadMe.txt' "$work/Form.d" || fail "depfile lacks the ReadMe"
grep -q "^$work/Form.bin: $work/src/Form.txt" "$work/Form.d" || fail "depfile rule: $(cat "$work/Form.d")"

"$descc" print "$work/Form.bin" > "$work/printed.txt"
grep -q "^    Picture.Data = {$" "$work/printed.txt" || fail "picture not printed as hex"
grep -q "^      424D0001FF}$" "$work/printed.txt" || fail "picture bytes: $(cat "$work/printed.txt")"
grep -q "^      'second')$" "$work/printed.txt" || fail "ReadMe lines: $(cat "$work/printed.txt")"
"$descc" compile "$work/printed.txt" "$work/again.bin"
cmp "$work/Form.bin" "$work/again.bin" || fail "printed text compiles to other bytes"

# Packed: one PMCS10 container, smaller, printed as the same text.
"$descc" compile "$work/src/Form.txt" "$work/packed.bin" --pack
[ "$(head -c 6 "$work/packed.bin")" = PMCS10 ] || fail "packed description has no container magic"
"$descc" print "$work/packed.bin" | cmp - "$work/printed.txt" || fail "packed description prints other text"
printf 'X' >> "$work/packed.bin"
if "$descc" print "$work/packed.bin" 2> "$work/err"; then fail "bytes after the container accepted"; fi
grep -q "Wrong file type" "$work/err" || fail "error: $(cat "$work/err")"

# A syntax error names the line, fails, and leaves an existing output alone.
printf 'object F: T\n  A = (\nend\n' > "$work/bad.txt"
if "$descc" compile "$work/bad.txt" "$work/Form.bin" 2> "$work/err"; then fail "bad text accepted"; fi
grep -q "line 3: expected a string or ')' in a list" "$work/err" || fail "error: $(cat "$work/err")"
cmp "$work/Form.bin" "$work/again.bin" || fail "failed compile touched the output"
[ ! -e "$work/Form.bin.partial" ] || fail "partial output left behind"

# A missing referenced file and a damaged binary are errors, not crashes.
printf 'object F: T\n  P = @file '"'"'nope.bmp'"'"'\nend\n' > "$work/src/missing.txt"
if "$descc" compile "$work/src/missing.txt" "$work/m.bin" 2> "$work/err"; then fail "missing file accepted"; fi
grep -q "line 2: Cannot open file $work/src/nope.bmp" "$work/err" || fail "error: $(cat "$work/err")"
head -c 20 "$work/again.bin" > "$work/short.bin"
if "$descc" print "$work/short.bin" 2> "$work/err"; then fail "truncated binary printed"; fi
grep -q "Invalid window description: truncated" "$work/err" || fail "error: $(cat "$work/err")"
if "$descc" 2> /dev/null; then fail "no arguments accepted"; fi
# File sources: the files their FileName names (relative to --files) are
# stored in the description, compressed or plain, and the paths are not.
mkdir -p "$work/carried"
head -c 70000 /dev/urandom > "$work/carried/lib.dll"
printf 'PK plain archive bytes' > "$work/carried/app.zip"
cat > "$work/src/Carry.txt" <<'TEXT'
object Form1: TForm1
  object fs_lib: TFileSource
    Compress = True
    DisplayLabel = 'lib'
    Extension = '.dll'
    FileName = 'lib.dll'
    Store = True
  end
  object fs_zip: TFileSource
    Compress = False
    DisplayLabel = 'zip'
    FileName = 'app.zip'
    Store = True
  end
  object fs_outside: TFileSource
    FileName = 'app.zip'
  end
end
TEXT
"$descc" compile "$work/src/Carry.txt" "$work/Carry.bin" --files "$work/carried" --depfile "$work/Carry.d"
grep -q "$work/carried/lib.dll" "$work/Carry.d" || fail "depfile lacks a carried file: $(cat "$work/Carry.d")"
"$descc" print "$work/Carry.bin" > "$work/carry.txt"
grep -q "FileData = {" "$work/carry.txt" || fail "no FileData: $(cat "$work/carry.txt")"
grep -q "^    Extension = '.zip'$" "$work/carry.txt" || fail "FileName sets Extension: $(cat "$work/carry.txt")"
[ "$(grep -c "FileData = {" "$work/carry.txt")" = 2 ] || fail "FileData where Store is false"
grep -q "FileName = '$work/carried/app.zip'" "$work/carry.txt" || fail "a source with Store false keeps its path"
[ "$(grep -c "FileName" "$work/carry.txt")" = 1 ] || fail "stored sources keep their paths: $(cat "$work/carry.txt")"
grep -q "16000000504B20706C61696E" "$work/carry.txt" || fail "plain value: length, then the bytes"
grep -q "504D43533130" "$work/carry.txt" || fail "compressed value: a PMCS10 container"
# The same inputs give the same bytes: nothing of the time goes in.
sleep 1
touch "$work/carried/lib.dll"
"$descc" compile "$work/src/Carry.txt" "$work/Carry2.bin" --files "$work/carried"
cmp "$work/Carry.bin" "$work/Carry2.bin" || fail "a rebuild gives other bytes"
# A missing carried file is an error naming the component and the file.
rm "$work/carried/lib.dll"
if "$descc" compile "$work/src/Carry.txt" "$work/Carry3.bin" --files "$work/carried" 2> "$work/err"; then
  fail "missing carried file accepted"
fi
grep -qF "fs_lib cannot store file: $work/carried/lib.dll (file is missing)" "$work/err" || fail "error: $(cat "$work/err")"
[ ! -e "$work/Carry3.bin" ] || fail "output written despite a missing file"
echo "descc_test: ok"
