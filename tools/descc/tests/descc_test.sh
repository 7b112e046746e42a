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
echo "descc_test: ok"
