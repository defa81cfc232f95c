#!/usr/bin/env bash
# End-to-end runs of vellmark-cli on real files.
set -u
cli=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
passes=0
check() { # description, then a command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
status() { "$@" >/dev/null 2>&1; echo $?; }

"$cli" factory "$tmp/f.dat"
check "factory writes 200 bytes" test "$(stat -c %s "$tmp/f.dat")" = 200
check "factory header" test "$(head -c 19 "$tmp/f.dat")" = "Dotrix Ledger 9040"
check "factory block" cmp -s <(tail -c 180 "$tmp/f.dat" | od -An -tx1) \
  <(printf '\x1c\x6f0,\x00\x00,\x02\x00,\x00\x00,\x0c\x00,0,0,0,0,0,0,40,36,000,66,120,000,046,054,00,0,0,00,00,00,0,66,000,136,120,000,046,054,00,66,000,136,120,000,046,054,00,66,000,136,120,000,046,054,00,00,15,02.\x00\x00\x00\x00\x00\x00' | od -An -tx1)

show=$("$cli" show "$tmp/f.dat")
check "show lists the paper thickness" grep -q '^PaperThickness *オート$' <<<"$show"
check "show lists a stored form" grep -q '^Form3.RightMargin *136$' <<<"$show"
check "show lists a switch bit" grep -q '^CutFeedAmount *1  (TOF＋固定長)$' <<<"$show"
json=$("$cli" show "$tmp/f.dat" --json)
check "json is an object" grep -q '"Font1": "標準"' <<<"$json"
check "json integers" grep -q '"PageLength": 66' <<<"$json"

cp "$tmp/f.dat" "$tmp/g.dat"
check "set exits 0" test "$(status "$cli" set "$tmp/g.dat" PageLength=72 Font2=OCR-B MSW3-5=1 Form2.LeftMargin=10)" = 0
check "set changed PageLength" grep -q '^PageLength *72$' <<<"$("$cli" show "$tmp/g.dat")"
check "set wrote the carried bit" test "$(od -An -tx1 -j31 -N1 "$tmp/g.dat" | tr -d ' ')" = 01
check "diff finds differences" test "$(status "$cli" diff "$tmp/f.dat" "$tmp/g.dat")" = 1
check "diff names them" grep -q '^Font2: 標準 -> OCR-B$' <<<"$("$cli" diff "$tmp/f.dat" "$tmp/g.dat")"
check "diff of equal files" test "$(status "$cli" diff "$tmp/f.dat" "$tmp/f.dat")" = 0

# Bad arguments: exit 2, a one-line message, the file byte for byte unchanged.
cp "$tmp/g.dat" "$tmp/before.dat"
for bad in "PageLength=100" "Nope=1" "Font1=Arial" "QuietPrint=2" "PageLength" \
           "Form1.LeftMargin=136" "Form1.RightMargin=0" "SheetGuideLoadTime=x"; do
  err=$("$cli" set "$tmp/g.dat" Font1=ゴシック "$bad" 2>&1 >/dev/null); rc=$?
  check "set $bad is refused" test "$rc" = 2
  check "set $bad says why in one line" test "$(wc -l <<<"$err")" = 1 -a -n "$err"
  check "set $bad leaves the file" cmp -s "$tmp/g.dat" "$tmp/before.dat"
done
check "margin rule" test "$(status "$cli" set "$tmp/g.dat" Form1.LeftMargin=135 Form1.RightMargin=100)" = 2
check "margin rule leaves the file" cmp -s "$tmp/g.dat" "$tmp/before.dat"

printf 'not a settings file at all, just some text that is long enough to pass two hundred bytes %0200d' 0 >"$tmp/text.dat"
cp "$tmp/text.dat" "$tmp/text-before.dat"
check "set on a non-settings file" test "$(status "$cli" set "$tmp/text.dat" PageLength=70)" = 2
check "non-settings file unchanged" cmp -s "$tmp/text.dat" "$tmp/text-before.dat"
check "show on a missing file" test "$(status "$cli" show "$tmp/none.dat")" = 2
check "unknown command" test "$(status "$cli" frobnicate)" = 2

echo "cli checks: $passes ok, $failures failed"
test "$failures" = 0
