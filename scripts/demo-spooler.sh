#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The demo spooler: a private CUPS scheduler (never the machine's own) with two simulated
# printers of the KSD Dotrix Ledger 9040 and one queue that prints to a file.
#
#   scripts/demo-spooler.sh start DIR   start it (DIR holds its state; jobs land in DIR/jobs)
#   scripts/demo-spooler.sh env DIR     print "export CUPS_SERVER=..." for a shell to eval
#   scripts/demo-spooler.sh stop DIR    stop it and wait until nothing of it is left running
#
# DIR and VELLMARK_BUILD are taken from the caller's directory when relative. The program
# comes from the build folder (VELLMARK_BUILD, default the checkout's build). Starting cupsd
# needs root.
set -euo pipefail

usage() { echo "usage: scripts/demo-spooler.sh start|stop|env DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
cmd=$1
# Made absolute before the script moves into the checkout.
dir=$(realpath -m -- "$2")
build=${VELLMARK_BUILD:+$(realpath -m -- "$VELLMARK_BUILD")}
cd "$(dirname "$0")/.."
bin=${build:-build}/tests/printer/vellmark-demo-spooler

case $cmd in
start)
  [ -x "$bin" ] || { echo "demo-spooler: $bin is missing; build first" >&2; exit 1; }
  if [ -f "$dir/pid" ] && kill -0 "$(cat "$dir/pid")" 2>/dev/null; then
    echo "demo-spooler: already running (pid $(cat "$dir/pid"))" >&2
    exit 1
  fi
  mkdir -p "$dir"
  rm -f "$dir/ready" "$dir/env"
  "$bin" "$dir" >"$dir/spooler.log" 2>&1 &
  echo $! >"$dir/pid"
  for _ in $(seq 200); do
    [ -f "$dir/ready" ] && exit 0
    kill -0 "$(cat "$dir/pid")" 2>/dev/null || break
    sleep 0.1
  done
  echo "demo-spooler: the private spooler did not start:" >&2
  cat "$dir/spooler.log" >&2
  "$0" stop "$dir" || true
  exit 1
  ;;
env)
  [ -f "$dir/env" ] || { echo "demo-spooler: not running in $dir" >&2; exit 1; }
  sed 's/^/export /' "$dir/env"
  ;;
stop)
  [ -f "$dir/pid" ] || exit 0
  pid=$(cat "$dir/pid")
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid"
    for _ in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
  fi
  # The scheduler's folder is removed by the program; after a forced end it is left behind.
  if [ -f "$dir/env" ]; then
    folder=$(dirname "$(sed -n 's/^CUPS_SERVER=//p' "$dir/env")")
    case $folder in
    */vellmark-spooler.*) rm -rf "$folder" ;;
    esac
  fi
  rm -f "$dir/pid" "$dir/ready" "$dir/env"
  ;;
*) usage ;;
esac
