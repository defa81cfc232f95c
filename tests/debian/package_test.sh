#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian packages as a distribution does (dpkg-buildpackage -b in a clean copy of the
# checkout: Debian's compiler flags with hardening=+all; without the tests, which this suite
# runs itself) and checks them: the build gave no warning, lintian reports no error and no
# warning, each package holds its own files and no other's, vellmark-cli needs no Qt, the
# dependencies are the intended ones, every program is hardened, and the packaged tool runs.
#
#   package_test.sh SOURCE_DIR BUILD_DIR VERSION
#
# With VELLMARK_DEB_DIR set, the packages are not built: that folder holds those of an earlier
# build (the .changes, the .deb files and the build's output as build.log), which are checked.
set -uo pipefail

src=$1 build=$2 version=$3
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
note() { echo "-- $*"; }

for tool in dpkg-buildpackage dh lintian readelf; do
  command -v "$tool" >/dev/null || {
    echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)"
    exit 1
  }
done

tmp=$(mktemp -d /tmp/vellmark-deb.XXXXXX)
trap 'rm -rf "$tmp"' EXIT

if [ -n "${VELLMARK_DEB_DIR:-}" ]; then
  out=$(realpath -- "$VELLMARK_DEB_DIR")
  note "checking the packages in $out"
else
  out=$tmp
  copy=$tmp/vellmark-$version
  mkdir "$copy"
  # The checkout's files as a fresh clone has them, with changes not yet committed: what git
  # tracks plus new files it does not ignore. Without git, everything but the build folder.
  if git -C "$src" rev-parse --show-toplevel >/dev/null 2>&1; then
    (cd "$src" && git ls-files -z --cached --others --exclude-standard) |
      while IFS= read -r -d '' f; do [ -e "$src/$f" ] && printf '%s\0' "$f"; done |
      tar -C "$src" --null -T - -cf - | tar -C "$copy" -xf -
  else
    tar -C "$src" --exclude-vcs --exclude="./$(realpath --relative-to="$src" "$build")" \
      --exclude='./obj-*' -cf - . | tar -C "$copy" -xf -
  fi
  [ -f "$copy/debian/rules" ] || {
    echo "FAIL: no debian/rules in the copy of $src"
    exit 1
  }

  start=$SECONDS
  if ! (cd "$copy" && DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -us -uc -b) \
    >"$out/build.log" 2>&1; then
    tail -40 "$out/build.log"
    echo "FAIL: dpkg-buildpackage failed"
    exit 1
  fi
  note "dpkg-buildpackage -b took $((SECONDS - start)) s"
fi

# Debian's flags reached every compiler and linker call; nothing warned (the compiler, the
# linker, dpkg-shlibdeps about a needless library).
compiles=$(grep -cE '(c\+\+|g\+\+|clang\+\+) .* -c [^ ]+\.cpp' "$out/build.log")
[ "$compiles" -gt 20 ] || fail "the build log shows only $compiles compiler calls"
for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Werror=format-security -O2; do
  missing=$(grep -E '(c\+\+|g\+\+|clang\+\+) .* -c [^ ]+\.cpp' "$out/build.log" | grep -cvF -- " $flag ")
  [ "$missing" = 0 ] || fail "$missing compiler calls lack $flag"
done
links=$(grep -E '(c\+\+|g\+\+|clang\+\+) .* -o [^ ]+ ' "$out/build.log" | grep -v ' -c ')
[ -n "$links" ] || fail "the build log shows no link"
for flag in -Wl,-z,relro -Wl,-z,now; do
  missing=$(printf '%s\n' "$links" | grep -cvF -- "$flag")
  [ "$missing" = 0 ] || fail "$missing link calls lack $flag"
done
warnings=$(grep -iE '(^|: )warning: ' "$out/build.log")
[ -z "$warnings" ] || fail "the package build warns: $warnings"

changes=$(ls "$out"/vellmark_"$version"_*.changes 2>/dev/null | head -1)
cli_deb=$(ls "$out"/vellmark-cli_"$version"_*.deb 2>/dev/null | head -1)
win_deb=$(ls "$out"/vellmark_"$version"_*.deb 2>/dev/null | head -1)
if [ -z "$changes" ] || [ -z "$cli_deb" ] || [ -z "$win_deb" ]; then
  echo "FAIL: the build made: $(ls "$out")"
  exit 1
fi

# ---- lintian: no error and no warning (the overrides say why where one is accepted).
lintian --fail-on none --tag-display-limit 0 "$changes" >"$tmp/lintian.txt" 2>"$tmp/lintian.err"
grep -vE 'running with root privileges|^$' "$tmp/lintian.err" >"$tmp/lintian.err2"
[ ! -s "$tmp/lintian.err2" ] || fail "lintian failed: $(cat "$tmp/lintian.err2")"
bad=$(grep -E '^[EW]: ' "$tmp/lintian.txt")
[ -z "$bad" ] || fail "lintian reports: $bad"
note "lintian: $(grep -c . "$tmp/lintian.txt") lines, none an error or a warning"

# ---- Each package's files, modes and owners: exactly these, apart from the documentation.
contents() { # deb -> "MODE PATH" per regular file or link, owners checked on the way
  dpkg-deb -c "$1" | awk -v deb="$(basename "$1")" '
    $2 != "root/root" { print "OWNER " $2 " " $6 }
    $1 !~ /^d/ { sub(/^\./, "", $6); print $1 " " $6 }'
}
# deb expected... ("MODE /path"). Besides these: the package's own /usr/share/doc, and the help's
# pictures (checked below against what the help refers to).
check_files() {
  local deb=$1 name
  shift
  name=$(dpkg-deb -f "$deb" Package)
  contents "$deb" | grep -v " /usr/share/doc/$name/" | grep -v " /usr/share/vellmark/vlmk90/" |
    sort >"$tmp/$name.files"
  printf '%s\n' "$@" | sort >"$tmp/$name.expected"
  diff "$tmp/$name.expected" "$tmp/$name.files" >"$tmp/$name.diff" ||
    fail "$name holds other files than expected (< expected, > found): $(cat "$tmp/$name.diff")"
  contents "$deb" | grep " /usr/share/doc/$name/copyright$" >/dev/null || fail "$name has no copyright file"
}
check_files "$cli_deb" \
  "-rwxr-xr-x /usr/bin/vellmark-cli" \
  "-rw-r--r-- /usr/share/bash-completion/completions/vellmark-cli" \
  "-rw-r--r-- /usr/share/man/man1/vellmark-cli.1.gz" \
  "-rw-r--r-- /usr/share/ppd/vellmark/ksd-dotrix-ledger-9040.ppd"
window_files=(
  "-rwxr-xr-x /usr/bin/vellmark"
  "-rw-r--r-- /usr/share/applications/vellmark.desktop"
  "-rw-r--r-- /usr/share/man/man1/vellmark.1.gz"
  "-rw-r--r-- /usr/share/metainfo/org.vellmark.Vellmark.metainfo.xml"
  "-rw-r--r-- /usr/share/icons/hicolor/scalable/apps/vellmark.svg"
)
for size in 16 32 48; do
  window_files+=("-rw-r--r-- /usr/share/icons/hicolor/${size}x$size/apps/vellmark.png")
done
window_files+=("-rw-r--r-- /usr/share/vellmark/vlmk90.html")
check_files "$win_deb" "${window_files[@]}"

# Every file the packaged help refers to is in the package, and nothing else is beside it.
mkdir "$tmp/cli" "$tmp/win"
dpkg-deb -x "$cli_deb" "$tmp/cli"
dpkg-deb -x "$win_deb" "$tmp/win"
help=$tmp/win/usr/share/vellmark
refs=$(grep -oE '(src|href)="[^"#:]+"' "$help/vlmk90.html" 2>/dev/null | sed -E 's/^[a-z]+="(.*)"$/\1/' | sort -u)
for ref in $refs; do
  [ -f "$help/$ref" ] || fail "the packaged help refers to $ref, which is not in the package"
done
extra=$(cd "$help" && find . -type f ! -name vlmk90.html | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' $refs | sort))
[ -z "$extra" ] || fail "the help folder holds files the help does not use: $extra"

# ---- Dependencies: the tool needs CUPS and no Qt; the window needs Qt and a Japanese font.
field() { dpkg-deb -f "$1" "$2"; }
cli_depends=$(field "$cli_deb" Depends)
win_depends=$(field "$win_deb" Depends)
win_recommends=$(field "$win_deb" Recommends)
[[ $cli_depends == *libcups2* ]] || fail "vellmark-cli does not depend on libcups2: $cli_depends"
[[ $cli_depends != *qt* && $cli_depends != *libx* && $cli_depends != *libgl* ]] ||
  fail "vellmark-cli depends on graphical libraries: $cli_depends"
[[ $win_depends == *libqt6widgets6* && $win_depends == *libcups2* ]] ||
  fail "vellmark does not depend on Qt 6 Widgets and libcups2: $win_depends"
[[ $win_depends == *"fonts-ipafont-gothic | fonts-japanese-gothic"* ]] ||
  fail "vellmark does not depend on a Japanese font: $win_depends"
for p in vellmark-cli cups; do
  [[ ", $win_recommends," == *", $p,"* ]] || fail "vellmark does not recommend $p: $win_recommends"
done
for deb in "$cli_deb" "$win_deb"; do
  description=$(field "$deb" Description)
  [ "$(printf '%s\n' "$description" | wc -l)" -gt 3 ] ||
    fail "$(basename "$deb") has no long description: $description"
  long=$(printf '%s\n' "$description" | awk 'length > 80')
  [ -z "$long" ] || fail "$(basename "$deb"): description lines longer than 80: $long"
done
note "vellmark-cli Depends: $cli_depends"
note "vellmark Depends: $win_depends"
note "vellmark Recommends: $win_recommends"

# ---- Hardening of every program: position independent, read-only relocations bound at start,
# a stack protector; and no Qt in the tool, whatever the package metadata says.
for program in "$tmp/cli/usr/bin/vellmark-cli" "$tmp/win/usr/bin/vellmark"; do
  name=$(basename "$program")
  readelf -hW "$program" | grep -E 'Type: +DYN' >/dev/null || fail "$name is not position independent"
  readelf -lW "$program" | grep -E GNU_RELRO >/dev/null || fail "$name has no read-only relocations"
  readelf -dW "$program" | grep -E 'BIND_NOW|FLAGS_1.*NOW' >/dev/null || fail "$name is not bound at start"
  readelf --dyn-syms -W "$program" | grep -E __stack_chk_fail >/dev/null || fail "$name has no stack protector"
done
needed=$(readelf -dW "$tmp/cli/usr/bin/vellmark-cli" | grep NEEDED)
[[ $needed != *Qt* ]] || fail "vellmark-cli links Qt: $needed"

# ---- The packaged tool runs.
out=$("$tmp/cli/usr/bin/vellmark-cli" --version 2>&1)
[ "$out" = "vellmark-cli $version" ] || fail "the packaged vellmark-cli --version printed '$out'"
"$tmp/cli/usr/bin/vellmark-cli" factory "$tmp/f.dat" &&
  "$tmp/cli/usr/bin/vellmark-cli" show "$tmp/f.dat" | grep -E '^PageLength +66$' >/dev/null ||
  fail "the packaged vellmark-cli does not write and show the factory settings"

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "package checks passed"
