#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The demo spooler stops at once on each way of stopping it (SIGTERM, SIGINT, SIGHUP sent to
# it, and `demo-spooler.sh stop`), right after jobs were sent, and leaves nothing running: no
# scheduler, no back end, no other process that works in its scheduler's folder.
#
#   demo_spooler_test.sh DEMO_SCRIPT BUILD_DIR VELLMARK_CLI
set -uo pipefail

script=$1 build=$2 cli=$3
if [ "$(id -u)" != 0 ]; then
  echo "skipped: the private scheduler needs root"
  exit 77
fi
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

tmp=$(mktemp -d /tmp/vellmark-demo-test.XXXXXX)
cleanup() {
  [ -f "$tmp/demo/pid" ] && VELLMARK_BUILD=$build "$script" stop "$tmp/demo" >/dev/null 2>&1
  rm -rf "$tmp"
}
trap cleanup EXIT
"$cli" factory "$tmp/f.dat" >/dev/null || exit 1

# The processes that mention TEXT in their command line or environment (a back end gets the
# scheduler's folders in its environment).
processes_with() {
  local p
  for p in /proc/[0-9]*; do
    [ "${p#/proc/}" = $$ ] && continue
    if grep -qaF -- "$1" "$p/cmdline" "$p/environ" 2>/dev/null; then
      printf '%s: %s\n' "${p#/proc/}" "$(tr '\0' ' ' <"$p/cmdline" 2>/dev/null | cut -c1-120)"
    fi
  done
}

# Milliseconds since the epoch.
now_ms() { date +%s%3N; }

for how in TERM INT HUP script; do
  dir=$tmp/demo
  if ! VELLMARK_BUILD=$build "$script" start "$dir" >"$tmp/start.log" 2>&1; then
    fail "$how: the demo spooler did not start: $(cat "$tmp/start.log")"
    continue
  fi
  pid=$(cat "$dir/pid")
  server=$(sed -n 's/^CUPS_SERVER=//p' "$dir/env")
  folder=$(dirname "$server")
  # Jobs to both printers, and the stop right after: their back ends may still be running.
  CUPS_SERVER=$server "$cli" send "$tmp/f.dat" --printer Dotrix-Ledger-1 Dotrix-Ledger-2 \
    >"$tmp/send.log" 2>&1 || fail "$how: the send failed: $(cat "$tmp/send.log")"
  [ -n "$(processes_with "$folder")" ] || fail "$how: no process of the scheduler found before the stop"

  start=$(now_ms)
  if [ "$how" = script ]; then
    VELLMARK_BUILD=$build "$script" stop "$dir" >"$tmp/stop.log" 2>&1 ||
      fail "$how: demo-spooler.sh stop failed: $(cat "$tmp/stop.log")"
  else
    kill -"$how" "$pid"
    for _ in $(seq 400); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
  fi
  took=$(($(now_ms) - start))
  # At once: a stop that waits out a timeout of its own (5 s) is not. The limit lies below
  # that timeout with room for a busy machine.
  if kill -0 "$pid" 2>/dev/null; then
    fail "$how: the demo spooler still runs $took ms after the signal"
    kill -KILL "$pid" 2>/dev/null
  elif [ "$took" -gt 4500 ]; then
    fail "$how: the stop took $took ms"
  fi
  sleep 0.2
  left=$(processes_with "$folder")
  [ -z "$left" ] || fail "$how: still running after the stop: $left"
  [ ! -e "$folder" ] || fail "$how: the scheduler's folder $folder is left behind"
  echo "-- $how: ended $took ms after the stop"
  [ "$how" = script ] || VELLMARK_BUILD=$build "$script" stop "$dir" >/dev/null 2>&1
  rm -rf "$dir"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "demo spooler checks passed"
