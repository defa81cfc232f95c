#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs Vellmark into a staging folder (DESTDIR) and checks it as a user's machine would see
# it: every file in place with sane permissions, the installed vellmark-cli working, the desktop
# entry, AppStream data and manual pages valid, the shell completion answering, the PPD found by
# a private scheduler's driver listing and usable for a queue, the installed help found by the
# installed window. (The Debian packages are checked by tests/debian.)
#
#   install_test.sh SOURCE_DIR BUILD_DIR VERSION HAS_WINDOW CMAKE
set -uo pipefail

src=$1 build=$2 version=$3 has_window=$4 cmake=$5
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
note() { echo "-- $*"; }

tmp=$(mktemp -d /tmp/vellmark-install.XXXXXX)
chmod 755 "$tmp"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill -TERM "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$tmp"
}
trap cleanup EXIT

export LANG=C.UTF-8 LC_ALL=C.UTF-8
stage=$tmp/stage
usr=$stage/usr
cli=$usr/bin/vellmark-cli

# ---- The install into the staging folder.
if ! DESTDIR=$stage "$cmake" --install "$build" --prefix /usr >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  fail "cmake --install failed"
  exit 1
fi

# Each file that must be installed, with its mode.
expected=(
  "bin/vellmark-cli 755"
  "share/man/man1/vellmark-cli.1.gz 644"
  "share/bash-completion/completions/vellmark-cli 644"
  "share/ppd/vellmark/ksd-dotrix-ledger-9040.ppd 644"
)
if [ "$has_window" = 1 ]; then
  expected+=(
    "bin/vellmark 755"
    "share/man/man1/vellmark.1.gz 644"
    "share/applications/vellmark.desktop 644"
    "share/metainfo/org.vellmark.Vellmark.metainfo.xml 644"
  )
  [ -f "$src/res/art/vellmark.svg" ] &&
    expected+=("share/icons/hicolor/scalable/apps/vellmark.svg 644")
  for size in 16 32 48; do
    [ -f "$src/res/art/vellmark-$size.xpm" ] &&
      expected+=("share/icons/hicolor/${size}x$size/apps/vellmark.png 644")
  done
  [ -f "$src/res/help/vlmk90.html" ] && expected+=("share/vellmark/vlmk90.html 644")
fi
for entry in "${expected[@]}"; do
  path=${entry% *} mode=${entry#* }
  if [ ! -f "$usr/$path" ]; then
    fail "not installed: /usr/$path"
  elif [ "$(stat -c %a "$usr/$path")" != "$mode" ]; then
    fail "/usr/$path has mode $(stat -c %a "$usr/$path"), expected $mode"
  fi
done
# Nothing outside /usr, nothing writable by others, every folder searchable, no developer tool.
outside=$(cd "$stage" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "installed outside /usr: $outside"
writable=$(find "$stage" -perm /022 ! -type l)
[ -z "$writable" ] || fail "writable by group or others: $writable"
closed=$(find "$stage" -type d ! -perm 755)
[ -z "$closed" ] || fail "folders without mode 755: $closed"
for tool in vellmark-render-pages vellmark-icon-png vellmark-man-page vellmark-demo-spooler; do
  [ ! -e "$usr/bin/$tool" ] || fail "developer tool installed: $tool"
done
if [ "$has_window" = 1 ] && [ -f "$src/res/help/vlmk90.html" ]; then
  # The help's own files (its images) come along; the build files of its folder do not.
  for f in "$src"/res/help/*; do
    name=$(basename "$f")
    case $name in
    CMakeLists.txt | *.cmake) [ ! -e "$usr/share/vellmark/$name" ] || fail "build file in help: $name" ;;
    *) [ -e "$usr/share/vellmark/$name" ] || fail "help file not installed: $name" ;;
    esac
  done
fi

note "installed $(find "$stage" -type f | wc -l) files; checked ${#expected[@]} of them by name and mode"

# Every file the installed help refers to (its pictures) is installed beside it.
if [ -f "$usr/share/vellmark/vlmk90.html" ]; then
  refs=$(grep -oE '(src|href)="[^"#:]+"' "$usr/share/vellmark/vlmk90.html" | sed -E 's/^[a-z]+="(.*)"$/\1/' | sort -u)
  for ref in $refs; do
    [ -f "$usr/share/vellmark/$ref" ] || fail "the installed help refers to $ref, which is not installed"
  done
  note "the installed help refers to $(printf '%s\n' $refs | grep -c .) files, all installed"
fi

# ---- The installed vellmark-cli runs from there.
out=$("$cli" --version 2>&1)
[ "$out" = "vellmark-cli $version" ] || fail "--version printed '$out', expected 'vellmark-cli $version'"
if "$cli" factory "$tmp/factory.dat"; then
  [ "$(stat -c %s "$tmp/factory.dat")" = 200 ] || fail "factory file is not 200 bytes"
  "$cli" show "$tmp/factory.dat" >"$tmp/show.txt" 2>&1 || fail "show failed: $(cat "$tmp/show.txt")"
  grep -Eq '^PageLength +66$' "$tmp/show.txt" || fail "show lacks the factory PageLength 66"
  "$build/cli/vellmark-cli" factory "$tmp/factory-build.dat" &&
    cmp -s "$tmp/factory.dat" "$tmp/factory-build.dat" ||
    fail "the installed tool's factory file differs from the build's"
else
  fail "the installed vellmark-cli cannot write the factory settings"
fi
awk '{print $1}' "$tmp/show.txt" >"$tmp/names.txt"
[ "$(wc -l <"$tmp/names.txt")" -gt 50 ] || fail "show listed too few settings"

# ---- Desktop entry and AppStream data: the installed ones, or the sources without the window.
if [ "$has_window" = 1 ]; then
  desktop=$usr/share/applications/vellmark.desktop
  metainfo=$usr/share/metainfo/org.vellmark.Vellmark.metainfo.xml
else
  desktop=$src/dist/vellmark.desktop
  metainfo=$tmp/org.vellmark.Vellmark.metainfo.xml
  sed "s/@PROJECT_VERSION@/$version/" "$src/dist/org.vellmark.Vellmark.metainfo.xml.in" >"$metainfo"
fi
desktop-file-validate "$desktop" >"$tmp/dfv.txt" 2>&1 || fail "desktop-file-validate: $(cat "$tmp/dfv.txt")"
[ ! -s "$tmp/dfv.txt" ] || fail "desktop-file-validate reports: $(cat "$tmp/dfv.txt")"
appstreamcli validate --no-net "$metainfo" >"$tmp/as.txt" 2>&1 ||
  fail "appstreamcli validate: $(cat "$tmp/as.txt")"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo names another version"
for key in 'Name=Vellmark' 'Name\[ja\]=.+' 'Comment=.+' 'Comment\[ja\]=.+' 'Exec=vellmark' \
  'Icon=vellmark' 'Categories=Settings;HardwareSettings;Printing;'; do
  grep -Eqx "$key" "$desktop" || fail "desktop entry lacks $key"
done
if [ "$has_window" = 1 ]; then
  # Desktops find the icon by name in hicolor; each fixed size must really be that size.
  ls "$usr"/share/icons/hicolor/*/apps/vellmark.* >/dev/null 2>&1 || fail "no icon named vellmark"
  for png in "$usr"/share/icons/hicolor/*x*/apps/vellmark.png; do
    [ -f "$png" ] || continue
    size=$(basename "$(dirname "$(dirname "$png")")")
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
      awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "${w}x$h" = "$size" ] || fail "$png is ${w}x$h"
  done
fi

# ---- Manual pages: rendered without a warning, found by name, complete.
pages=("$usr/share/man/man1/vellmark-cli.1.gz")
[ "$has_window" = 1 ] && pages+=("$usr/share/man/man1/vellmark.1.gz")
for page in "${pages[@]}"; do
  for locale in C.UTF-8 C; do
    LC_ALL=$locale MANWIDTH=200 man --warnings -l "$page" >"$tmp/man.txt" 2>"$tmp/man.err"
    [ ! -s "$tmp/man.err" ] || fail "$(basename "$page") in $locale warns: $(head -3 "$tmp/man.err")"
    [ -s "$tmp/man.txt" ] || fail "$(basename "$page") renders nothing"
  done
done
MANWIDTH=200 man -M "$usr/share/man" vellmark-cli >"$tmp/cli-man.txt" 2>&1 ||
  fail "man vellmark-cli finds nothing in the staged manual path"
for word in factory show set diff printers send --json --printer --all --help --version \
  'EXIT STATUS' EXAMPLES ENVIRONMENT CUPS_SERVER; do
  grep -qF -- "$word" "$tmp/cli-man.txt" || fail "vellmark-cli(1) does not mention $word"
done
while read -r name; do
  grep -qE -- "(^|[ ,])$name([ ,]|\$)" "$tmp/cli-man.txt" || fail "vellmark-cli(1) lacks the setting $name"
done <"$tmp/names.txt"

# ---- The PPD.
ppd=$usr/share/ppd/vellmark/ksd-dotrix-ledger-9040.ppd
cupstestppd "$ppd" >"$tmp/ppd.txt" 2>&1 || fail "cupstestppd: $(cat "$tmp/ppd.txt")"
grep -qx '\*NickName: "KSD Dotrix Ledger 9040"' "$ppd" || fail "the PPD's NickName is not the model's"

# ---- A private scheduler (never the machine's own) whose driver folder holds the installed PPD.
# cups-driverd reads the PPDs below DataDir/model and the fixed /usr/share/ppd; a scheduler can
# only be pointed at a staging folder through DataDir, where the model's name loses the
# /usr/share/ppd prefix ("lsb/usr/").
spool=
if [ "$(id -u)" != 0 ]; then
  note "skipped the scheduler checks: starting cupsd needs root"
elif [ ! -x /usr/lib/cups/daemon/cups-driverd ]; then
  fail "cups-driverd is missing (package cups): the driver listing cannot be checked"
else
  spool=$tmp/spool
  mkdir -p "$spool"/{conf,spool/tmp,cache,state,log,data/model/vellmark}
  ln -s /usr/lib/cups "$spool/bin"
  for entry in /usr/share/cups/*; do
    [ "$(basename "$entry")" = model ] || ln -s "$entry" "$spool/data/$(basename "$entry")"
  done
  # A copy: the scheduler's helpers run as lp, which may not reach the build folder.
  cp "$ppd" "$spool/data/model/vellmark/"
  chmod -R a+rX "$spool"
  cat >"$spool/conf/cupsd.conf" <<EOF
Listen $spool/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  cat >"$spool/conf/cups-files.conf" <<EOF
User lp
Group lp
SystemGroup root
ServerRoot $spool/conf
RequestRoot $spool/spool
TempDir $spool/spool/tmp
CacheDir $spool/cache
StateDir $spool/state
ServerBin $spool/bin
DataDir $spool/data
AccessLog $spool/log/access_log
ErrorLog $spool/log/error_log
PageLog $spool/log/page_log
Printcap $spool/printcap
FileDevice Yes
EOF
  /usr/sbin/cupsd -f -c "$spool/conf/cupsd.conf" -s "$spool/conf/cups-files.conf" \
    >"$spool/log/cupsd.out" 2>&1 &
  pids+=($!)
  export CUPS_SERVER=$spool/cups.sock
  # lpstat -r exits 0 whether or not a scheduler answers: its words tell.
  for _ in $(seq 200); do
    [ "$(LC_ALL=C lpstat -r 2>/dev/null)" = "scheduler is running" ] && break
    sleep 0.1
  done
  model=vellmark/ksd-dotrix-ledger-9040.ppd
  timeout 30 lpinfo -m >"$tmp/models.txt" 2>&1 || fail "lpinfo -m failed: $(cat "$tmp/models.txt")"
  grep -qx "$model KSD Dotrix Ledger 9040" "$tmp/models.txt" ||
    fail "lpinfo -m does not list the model: $(grep -i dotrix "$tmp/models.txt")"
  timeout 30 lpadmin -p Ledger -E -v socket://127.0.0.1:9100 -m "$model" 2>"$tmp/lpadmin.txt" ||
    fail "lpadmin -m $model: $(cat "$tmp/lpadmin.txt")"
  timeout 30 lpadmin -p Ledger-File -E -v file:///dev/null -m "$model" 2>>"$tmp/lpadmin.txt" ||
    fail "lpadmin -m $model (file queue): $(cat "$tmp/lpadmin.txt")"
  "$cli" printers >"$tmp/printers.txt" 2>&1 || fail "vellmark-cli printers: $(cat "$tmp/printers.txt")"
  grep -Eq '^Ledger +socket://127\.0\.0\.1:9100$' "$tmp/printers.txt" ||
    fail "vellmark-cli printers does not list the queue made with lpadmin -m: $(cat "$tmp/printers.txt")"
  grep -Eq '^Ledger-File +FILE:$' "$tmp/printers.txt" || fail "the file queue is not listed as FILE:"
  note "private scheduler: $(grep -i dotrix "$tmp/models.txt"); queues: $(tr -s ' \n' ' ' <"$tmp/printers.txt")"
fi

# ---- Shell completion, as bash calls it.
source "$(dirname "$0")/complete.sh"
complete_line() { complete_with "$usr/share/bash-completion/completions/vellmark-cli" "${complete_dir:-.}" "$@"; }
expect_completion() { # expected words (space-separated) -- command line
  local want=$1
  shift 2
  local got
  got=$(complete_line "$@" | sort | tr '\n' ' ')
  [ "$got" = "$want " ] || fail "completing '$*' gave '$got', expected '$want'"
}
bash -c 'source "$1" && complete -p vellmark-cli' _ "$usr/share/bash-completion/completions/vellmark-cli" \
  >/dev/null 2>&1 || fail "the completion file does not register vellmark-cli"
expect_completion "send set show" -- "$cli" s
expect_completion "--version" -- "$cli" --v
expect_completion "--json" -- "$cli" show "$tmp/factory.dat" --
expect_completion "--all --dry-run --json --printer --server --servers-from --timeout --wait" -- \
  "$cli" send "$tmp/factory.dat" --
expect_completion "Form1.LeftMargin=" -- "$cli" set "$tmp/factory.dat" Form1.L
expect_completion "MSW2-4=" -- "$cli" set "$tmp/factory.dat" PageLength=3 MSW2
[ "$(complete_line "$cli" set "$tmp/factory.dat" "" | wc -l)" = "$(wc -l <"$tmp/names.txt")" ] ||
  fail "set does not offer every setting name"
complete_dir=$tmp expect_completion "factory-build.dat factory.dat" -- "$cli" diff fac
if [ -n "$spool" ]; then
  expect_completion "Ledger Ledger-File" -- "$cli" send "$tmp/factory.dat" --printer L
  expect_completion "Ledger-File" -- "$cli" send "$tmp/factory.dat" --printer Ledger L
fi

# Starts Xvfb on a display it chooses itself (it writes the number to the pipe once it accepts
# clients) and sets `display` to it (":N"); empty when it did not start within 20 s. -noreset:
# a server that resets when its last client leaves (each poll below is one) refuses whoever
# connects meanwhile, the program among them.
start_xvfb() {
  local fifo=$tmp/xvfb.fifo number=
  mkfifo "$fifo"
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >"$tmp/xvfb.log" 2>&1 &
  pids+=($!)
  read -r -t 20 number <"$fifo"
  display=${number:+:$number}
}

# ---- The installed window finds the installed help: F1 opens it (a grayed item would not).
if [ "$has_window" = 1 ] && [ -f "$src/res/help/vlmk90.html" ] && [ -n "$spool" ]; then
  if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    fail "Xvfb and xdotool are needed to drive the installed window"
  else
    lpadmin -x Ledger-File
    # A display of Xvfb's choice: another X server (a second test run, another program's
    # tests) never gets in the way.
    start_xvfb
    if [ -z "$display" ]; then
      fail "Xvfb did not start: $(cat "$tmp/xvfb.log")"
    else
      # The desktop's opener, replaced by one that records what it was asked to open.
      mkdir -p "$tmp/fakebin"
      printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$tmp/opened.txt" >"$tmp/fakebin/xdg-open"
      chmod 755 "$tmp/fakebin/xdg-open"
      mkdir -m 700 "$tmp/runtime"
      (cd "$tmp" && exec env -u QT_QPA_PLATFORM DISPLAY=$display PATH="$tmp/fakebin:$PATH" \
        HOME="$tmp" TMPDIR="$tmp" XDG_RUNTIME_DIR="$tmp/runtime" "$usr/bin/vellmark" \
        >"$tmp/window.log" 2>&1) &
      pids+=($!)
      window=
      for _ in $(seq 200); do
        window=$(DISPLAY=$display xdotool search --name "KSD Dotrix Ledger 9040" 2>/dev/null | head -1)
        [ -n "$window" ] && break
        sleep 0.1
      done
      if [ -z "$window" ]; then
        fail "the installed window did not come up: $(cat "$tmp/window.log")"
      else
        DISPLAY=$display xdotool windowfocus --sync "$window" key F1
        for _ in $(seq 200); do
          [ -s "$tmp/opened.txt" ] && break
          sleep 0.1
        done
        if grep -Eq "$usr/(bin/\.\./)?share/vellmark/vlmk90\.html" "$tmp/opened.txt" 2>/dev/null; then
          note "F1 in the installed window opened $(cat "$tmp/opened.txt")"
        else
          fail "F1 in the installed window did not open the installed help: $(cat "$tmp/opened.txt" 2>/dev/null)"
        fi
      fi
    fi
  fi
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "install checks passed"
