#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
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
check "show lists the paper thickness in the value column" grep -qxE 'PaperThickness {20}オート' <<<"$show"
check "show lists a stored form" grep -q '^Form3.RightMargin *136$' <<<"$show"
check "show lists a switch bit" grep -q '^CutFeedAmount *1  (TOF＋固定長)$' <<<"$show"

# Every --json output parses as JSON, odd bytes in codes in no list included, and says what
# the file holds: each name once, raw codes byte for byte.
cp "$tmp/f.dat" "$tmp/odd.dat"
for poke in '36:\x22' '38:\x5c' '40:\xff' '82:\x00' '93:\x1b' '188:\x7f\xc3'; do
  printf "${poke#*:}" | dd of="$tmp/odd.dat" bs=1 seek="${poke%%:*}" conv=notrunc status=none
done
check "show --json is JSON with odd codes" python3 -c '
import json, sys
text = sys.stdin.buffer.read().decode("utf-8")
pairs = json.loads(text, object_pairs_hook=lambda p: p)
names = [k for k, _ in pairs]
assert len(names) == len(set(names)) == 71, names
v = dict(pairs)
want = {"Font1": "\"", "Font2": "\\", "KanjiCodeTable": "\u00ff", "Reduction": "\u0000",
        "FormSelect": "\u001b", "AutoReturnTime": "\u007f\u00c3"}
for name, code in want.items():
    assert v[name] == [("code", code)], (name, v[name])
assert v["PageLength"] == 66 and v["Font1"] != v["Font2"] and v["ReceiveMode"] == 0
' < <("$cli" show "$tmp/odd.dat" --json)
check "show lists odd codes escaped" grep -qx 'Font1 *code "\\x22"' <<<"$("$cli" show "$tmp/odd.dat")"

# Argument errors of every command: exit 2, one line naming the usage, nothing written, and
# no scheduler asked (there is none at CUPS_SERVER).
export CUPS_SERVER="$tmp/no-scheduler"
mkdir "$tmp/args"
cp "$tmp/f.dat" "$tmp/args/a.dat"
snapshot() { (cd "$tmp/args" && find . -printf '%p %s %T@\n' | sort && cat ./*.dat) | md5sum; }
before=$(snapshot)
a=$tmp/args/a.dat n=$tmp/args/new.dat
while IFS= read -r row; do
  read -r -a words <<<"${row//@a/$a}"
  words=("${words[@]//@n/$n}")
  err=$("$cli" "${words[@]}" 2>&1 >/dev/null); rc=$?
  check "'$row' is a usage error" test "$rc" = 2 -a "$(wc -l <<<"$err")" = 1
  check "'$row' names the usage" grep -q "^vellmark-cli: usage: vellmark-cli ${words[0]} " <<<"$err"
  check "'$row' writes nothing" test "$(snapshot)" = "$before"
done <<'ROWS'
factory
factory @n @a
factory @n --force --force
factory --forc @n
show
show @a @a
show @a --json --json
show --jsn @a
set
set @a
diff
diff @a
diff @a @a @a
printers extra
send
send @a
send --all
send @a @a --all
send @a --all --printer Dotrix
send @a --printer
send @a --print Dotrix
send @a --all --wait
printers --timeout
printers --servers-from
printers --dry-run
ROWS
# Option values that are wrong: exit 2, one line that names the option or the file and line.
printf '# servers\nprint1.example:631\nnot a server\n' >"$tmp/servers.txt"
while IFS='|' read -r row want; do
  read -r -a words <<<"${row//@a/$a}"
  err=$("$cli" "${words[@]}" 2>&1 >/dev/null); rc=$?
  check "'$row' is refused in one line" test "$rc" = 2 -a "$(wc -l <<<"$err")" = 1
  check "'$row' says $want" grep -qF -- "$want" <<<"$err"
done <<ROWS
send @a --all --wait -1|--wait: not a number of seconds
send @a --all --wait 1e3|--wait: not a number of seconds
printers --timeout 0|--timeout: not a number of seconds from 0.1
printers --servers-from $tmp/none.txt|none.txt": cannot read the list of servers: No such file
send @a --all --servers-from $tmp/servers.txt|servers.txt", line 3: not a server address: "not a server"
printers --json --json|--json is given twice
send @a --all --all|--all is given twice
send @a --all --wait 1 --wait 1|--wait is given twice
send @a --all --dry-run --dry-run|--dry-run is given twice
send @a --all --timeout 2 --timeout 2|--timeout is given twice
ROWS
err=$("$cli" set "$n" PageLength=7 2>&1); rc=$?
check "set on a missing file says so" test "$rc" = 2 -a "$err" = "vellmark-cli: \"$n\": cannot read the settings file: no such file"
check "set creates no file" test ! -e "$n"
unset CUPS_SERVER

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

# diff is symmetric: a byte that only one file holds dirty is listed whichever comes first,
# beside the settings that differ.
cp "$tmp/f.dat" "$tmp/dirty.dat"
printf '\xf0' | dd of="$tmp/dirty.dat" bs=1 seek=24 conv=notrunc status=none
printf '72' | dd of="$tmp/dirty.dat" bs=1 seek=58 conv=notrunc status=none
for order in "dirty.dat f.dat" "f.dat dirty.dat"; do
  set -- $order
  out=$("$cli" diff "$tmp/$1" "$tmp/$2"); rc=$?
  check "diff $order exits 1" test "$rc" = 1
  check "diff $order lists PageLength" grep -q '^PageLength: ' <<<"$out"
  check "diff $order lists byte 4" grep -qx "byte 4: 0x$(od -An -tx1 -j24 -N1 "$tmp/$1" | tr -d ' ' | tr a-f A-F) -> 0x$(od -An -tx1 -j24 -N1 "$tmp/$2" | tr -d ' ' | tr a-f A-F)" <<<"$out"
done
check "diff lists the same lines both ways" test "$("$cli" diff "$tmp/f.dat" "$tmp/g.dat" | sed -E 's/^(.*: )(.*) -> (.*)$/\1\3 -> \2/' | sort)" = "$("$cli" diff "$tmp/g.dat" "$tmp/f.dat" | sort)"

# Output that cannot be written is a failure with a one-line message.
for run in "show $tmp/f.dat" "show $tmp/f.dat --json" "diff $tmp/f.dat $tmp/g.dat" "--help"; do
  for sink in full closed; do
    if [ $sink = full ]; then err=$("$cli" $run 2>&1 >/dev/full); rc=$?
    else err=$("$cli" $run 2>&1 >&-); rc=$?; fi
    check "$run to a $sink stdout fails" test "$rc" = 2 -a "$(wc -l <<<"$err")" = 1 -a -n "$err"
  done
done

# Messages: one line, the user's text quoted with control characters escaped, the reason named.
cp "$tmp/f.dat" "$tmp/before.dat"
for bad in $'PageLength=1\n2' $'Font1=\e[31mred' "CutSheetPositionCorrection=+-0" "PageLength= 5" "PageLength=0x10" $'Nope\r=1'; do
  err=$("$cli" set "$tmp/f.dat" "$bad" 2>&1); rc=$?
  check "set ${bad@Q}: one clean line" test "$rc" = 2 -a "$(wc -l <<<"$err")" = 1 -a -z "$(tr -d '\n -~' <<<"$err" | tr -d '\200-\377')"
  check "set ${bad@Q} leaves the file" cmp -s "$tmp/f.dat" "$tmp/before.dat"
done
check "a minus zero is an integer" test "$(status "$cli" set "$tmp/g.dat" CutSheetPositionCorrection=-0 PageLength=+7)" = 0
ln -s loop.dat "$tmp/loop.dat"
mkdir "$tmp/dir.dat"
for case in "none.dat:no such file" "loop.dat:too many levels of symbolic links" \
            "dir.dat:is a directory" "text.dat:not a settings file"; do
  err=$("$cli" show "$tmp/${case%%:*}" 2>&1)
  check "show ${case%%:*} says ${case#*:}" grep -q "${case#*:}" <<<"$err"
done

# factory keeps a file that is not a settings file unless --force is given.
check "factory refuses a text file" test "$(status "$cli" factory "$tmp/text.dat")" = 2
check "the text file is unchanged" cmp -s "$tmp/text.dat" "$tmp/text-before.dat"
check "factory overwrites a settings file" test "$(status "$cli" factory "$tmp/g.dat")" = 0
check "... with the factory settings" cmp -s "$tmp/g.dat" "$tmp/f.dat"
check "factory --force overwrites the text file" test "$(status "$cli" factory --force "$tmp/text.dat")" = 0
check "... keeping its tail" cmp -s <(head -c 200 "$tmp/text.dat"; tail -c +201 "$tmp/text-before.dat") "$tmp/text.dat"
check "factory --force --force is a usage error" test "$(status "$cli" factory --force --force "$tmp/x.dat")" = 2

# 50 sets at the same time, each of another setting: every edit survives.
"$cli" factory "$tmp/c.dat"
edits=$("$cli" show --json "$tmp/c.dat" | sed -nE 's/^  "(.*)": ([0-9]+),?$/\1 \2/p' |
  awk '$1 != "SheetGuideLoadTime" { print $1 "=" ($2 <= 1 ? 1 - $2 : $2 - 1) }' | head -50)
check "50 settings to change" test "$(wc -l <<<"$edits")" = 50
pids=()
while read -r e; do
  { while [ ! -e "$tmp/go" ]; do sleep 0.01; done; exec "$cli" set "$tmp/c.dat" "$e"; } & pids+=($!)
done <<<"$edits"
sleep 0.3; : >"$tmp/go" # all start at once
ok=0; for p in "${pids[@]}"; do wait "$p" && ok=$((ok + 1)); done
check "every concurrent set succeeded" test "$ok" = 50
shown=$("$cli" show "$tmp/c.dat" | awk '{ print $1 "=" $2 }')
check "every concurrent edit is in the file" test -z "$(comm -23 <(sort <<<"$edits") <(sort <<<"$shown"))"

# Places that cannot be written, as a user the system checks (root ignores permissions).
if [ "$(id -u)" = 0 ] && unshare -m true 2>/dev/null; then
  mkdir "$tmp/ro" "$tmp/full"
  chmod 755 "$tmp"; chmod 600 "$tmp/before.dat"
  out=$(unshare -m bash -c '
    mount -t tmpfs -o ro,size=64k none "$2/ro" && mount -t tmpfs -o size=4k none "$2/full" || exit 9
    head -c 65536 /dev/zero >"$2/full/filler" 2>/dev/null
    "$1" factory "$2/ro/a.dat" 2>&1; echo "rc=$?"
    "$1" factory "$2/full/a.dat" 2>&1; echo "rc=$?"; ls "$2/full"
    setpriv --reuid=65534 --regid=65534 --clear-groups "$1" show "$2/before.dat" 2>&1' _ "$cli" "$tmp")
  check "read-only file system named" grep -q 'a.dat": cannot write the settings file: read-only file system$' <<<"$out"
  check "full disk named" grep -q 'a.dat": cannot write the settings file: no space left on the device$' <<<"$out"
  check "both exit 2" test "$(grep -c '^rc=2$' <<<"$out")" = 2
  check "no empty file left on the full disk" test "$(grep -cx 'a.dat' <<<"$out")" = 0
  check "unreadable file named" grep -q 'before.dat": cannot read the settings file: permission denied$' <<<"$out"
else
  echo "skipped: the checks of unwritable places need root"
fi

# A name whose resolver never answers is given up within the bound, like every other step:
# a private network and resolver configuration, with a name server that reads and never
# answers.
if [ "$(id -u)" = 0 ] && unshare -mn true 2>/dev/null; then
  printf 'nameserver 127.0.0.1\noptions timeout:5 attempts:2\n' >"$tmp/resolv.conf"
  out=$(unshare -mn bash -c '
    ip link set lo up && ip addr add 10.9.9.9/8 dev lo || exit 9
    python3 -c "
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind((\"127.0.0.1\", 53))
open(sys.argv[1], \"w\").close()
while True: s.recvfrom(4096)
" "$2/dns-ready" & dns=$!
    for _ in $(seq 50); do [ -e "$2/dns-ready" ] && break; sleep 0.1; done
    mount --bind "$2/resolv.conf" /etc/resolv.conf || exit 9
    start=$(date +%s%N)
    "$1" printers --server printers.silent.example --timeout 1 2>&1; echo "rc=$?"
    echo "ms=$((($(date +%s%N) - start) / 1000000))"
    kill $dns' _ "$cli" "$tmp")
  check "a silent resolver is named" grep -q 'printers.silent.example was not resolved within 1 s$' <<<"$out"
  check "... within the bound" test "$(sed -n 's/^ms=//p' <<<"$out")" -lt 2500
  check "... and exits 1" grep -qx 'rc=1' <<<"$out"
else
  echo "skipped: the check of a silent resolver needs root"
fi

# A lock another program keeps is waited for (ten seconds at most): a lock let go after two
# seconds holds a reader up, it does not fail it.
cp "$tmp/f.dat" "$tmp/locked.dat"
flock -x "$tmp/locked.dat" -c "touch '$tmp/lock-taken'; sleep 2" &
holder=$!
for _ in $(seq 200); do [ -e "$tmp/lock-taken" ] && break; sleep 0.05; done
check "a lock held for 2 s is waited for" test "$(status "$cli" show "$tmp/locked.dat")" = 0
wait "$holder"

echo "cli checks: $passes ok, $failures failed"
test "$failures" = 0
