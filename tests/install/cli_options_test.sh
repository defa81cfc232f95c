#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The manual page and the bash completion know every command and option that vellmark-cli
# accepts. What it accepts is read from the tool itself (`vellmark-cli --help`), so an option
# added to the tool fails this test until both document it:
#   - the page's SYNOPSIS shows each option on a line of its command, with its value;
#   - the page's OPTIONS has an entry for each option, with the same value form as --help;
#   - the completion offers each command, and each option of a command after "-", and nothing
#     the tool would refuse;
#   - after an option that takes a value, the completion offers no option, and no settings file
#     unless the value is a file.
#
#   cli_options_test.sh VELLMARK_CLI MANUAL_PAGE COMPLETION
set -uo pipefail

cli=$(realpath -- "$1") page=$(realpath -- "$2") completion=$(realpath -- "$3")
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

tmp=$(mktemp -d /tmp/vellmark-options.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
export LC_ALL=C.UTF-8

# ---- What the tool accepts: "COMMAND OPTION VALUE" per option ("-" for none), from --help.
# A usage line starts with "vellmark-cli"; the synopsis ends at a gap of two spaces, and an
# indented line that starts with an option or a bracket continues it.
"$cli" --help >"$tmp/help.txt" 2>&1 || fail "vellmark-cli --help failed: $(cat "$tmp/help.txt")"
awk '
  /^ +vellmark-cli / {
    sub(/^ +vellmark-cli /, "")
    command = ($1 ~ /^-/) ? "GLOBAL" : $1
    line = $0
    sub(/  .*/, "", line)
    print command "\t" line
    next
  }
  /^ +[-[(]/ && command != "" {
    line = $0
    sub(/^ +/, "", line)
    sub(/  .*/, "", line)
    print command "\t" line
  }' "$tmp/help.txt" >"$tmp/synopsis.txt"
# Each option with the word after it when that is a value (not an option, "|" or a bracket
# that closes the option's group); brackets and "..." that belong to the group are dropped.
awk -F'\t' '
  function clean(v,   nopen, nclose) {
    sub(/\.\.\.$/, "", v)
    for (;;) {
      nopen = gsub(/\[/, "[", v); nclose = gsub(/\]/, "]", v)
      if (nclose > nopen && v ~ /\]$/) { sub(/\]$/, "", v); sub(/\.\.\.$/, "", v); continue }
      if (v ~ /\)$/) { sub(/\)$/, "", v); continue }
      break
    }
    return v
  }
  {
    n = split($2, w, " ")
    for (i = 1; i <= n; i++) {
      word = w[i]
      sub(/^[[(]+/, "", word)
      if (word !~ /^--?[a-z]/) continue
      opt = clean(word)
      value = "-"
      if (i < n && w[i + 1] !~ /^[[(]*-/ && w[i + 1] != "|" && clean(w[i + 1]) != "")
        value = clean(w[i + 1])
      if (opt ~ /\|/) continue
      print $1 " " opt " " value
    }
  }' "$tmp/synopsis.txt" | sort -u >"$tmp/accepted.txt"
# --help itself is no usage line of its own.
grep -q '^GLOBAL --help ' "$tmp/accepted.txt" || echo "GLOBAL --help -" >>"$tmp/accepted.txt"
commands=$(awk -F'\t' '$1 != "GLOBAL" { print $1 }' "$tmp/synopsis.txt" | sort -u)
[ "$(echo "$commands" | wc -w)" -ge 4 ] || fail "--help lists only these commands: $commands"
[ "$(grep -vc '^GLOBAL' "$tmp/accepted.txt")" -ge 3 ] ||
  fail "--help lists only these options: $(cat "$tmp/accepted.txt")"
echo "-- vellmark-cli --help: commands $(echo $commands); options:"
sed 's/^/     /' "$tmp/accepted.txt"

# ---- The manual page, rendered as a reader sees it (no line breaks within an entry).
if ! MANWIDTH=1000 man -l "$page" >"$tmp/man.txt" 2>"$tmp/man.err"; then
  fail "man cannot render $page: $(cat "$tmp/man.err")"
fi
sed -i 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g' "$tmp/man.txt" # hyphen or minus sign as typed
section() { awk -v name="$1" '/^[A-Z]/ { on = ($0 == name) ; next } on' "$tmp/man.txt"; }
section SYNOPSIS >"$tmp/man-synopsis.txt"
section OPTIONS >"$tmp/man-options.txt"

while read -r command opt value; do
  shown=$opt
  [ "$value" = - ] || shown="$opt $value"
  # SYNOPSIS: a line of the command (of the tool itself for the global options).
  if [ "$command" = GLOBAL ]; then
    lines=$(grep -E '^ +vellmark-cli +-' "$tmp/man-synopsis.txt")
  else
    lines=$(grep -E "^ +vellmark-cli +$command( |\$)" "$tmp/man-synopsis.txt")
  fi
  grep -qF -- "$shown" <<<"$lines" ||
    fail "vellmark-cli(1) SYNOPSIS lacks '$shown' for ${command/GLOBAL/the tool}"
  # OPTIONS: an entry (a tag line) that begins with the option and shows its value.
  grep -qE -- "^ {7}(-[a-z-]+, )*$opt( |,|\$)" "$tmp/man-options.txt" ||
    fail "vellmark-cli(1) OPTIONS has no entry for $opt"
  if [ "$value" != - ]; then
    grep -E -- "^ {7}(-[a-z-]+, )*$opt( |,|\$)" "$tmp/man-options.txt" | grep -F -- "$shown" >/dev/null ||
      fail "vellmark-cli(1) OPTIONS does not show '$shown'"
  fi
done <"$tmp/accepted.txt"

# ---- The completion, called as bash calls it, in a folder with a settings file. The queue
# names it asks the tool for come from no scheduler at all.
: >"$tmp/f.dat"
export CUPS_SERVER=$tmp/no-scheduler.sock
source "$(dirname "$0")/complete.sh"
complete_words() { complete_with "$completion" "$tmp" "$@"; }
offered=$(complete_words "$cli" "")
for command in $commands; do
  grep -qx -- "$command" <<<"$offered" || fail "the completion does not offer the command $command"
done
while read -r command opt value; do
  if [ "$command" = GLOBAL ]; then
    got=$(complete_words "$cli" -)
  else
    # Before and after the command's first argument.
    got=$(complete_words "$cli" "$command" -)$'\n'$(complete_words "$cli" "$command" f.dat -)
  fi
  grep -qx -- "$opt" <<<"$(printf '%s\n' "$got" | sort -u)" ||
    fail "the completion does not offer $opt for ${command/GLOBAL/the tool}"
  if [ "$command" != GLOBAL ] && [ "$value" != - ]; then
    got=$(complete_words "$cli" "$command" f.dat "$opt" "")
    options=$(grep -E '^-' <<<"$got")
    [ -z "$options" ] || fail "after $command $opt the completion offers options for its value: $options"
    if [[ $value != *FILE* ]] && grep -qx 'f.dat' <<<"$got"; then
      fail "after $command $opt the completion offers a settings file for $value"
    fi
  fi
done <"$tmp/accepted.txt"

# Nor does it offer what the tool does not accept: a command or option it would refuse.
for command in GLOBAL $commands; do
  if [ "$command" = GLOBAL ]; then
    got=$(complete_words "$cli" -)$'\n'$(grep -E '^-' <<<"$offered")
  else
    got=$(complete_words "$cli" "$command" -)$'\n'$(complete_words "$cli" "$command" f.dat -)
  fi
  known=$(awk -v c="$command" '$1 == c || $1 == "GLOBAL" { print $2 }' "$tmp/accepted.txt")
  for word in $(grep -E '^-' <<<"$got" | sort -u); do
    grep -qx -- "$word" <<<"$known" ||
      fail "the completion offers $word for ${command/GLOBAL/the tool}, which it does not accept"
  done
done
for word in $(grep -vE '^-' <<<"$offered"); do
  grep -qx -- "$word" <<<"$commands" || fail "the completion offers $word, which is no command"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "every option of vellmark-cli is in its manual page and its completion"
