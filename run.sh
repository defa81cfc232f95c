#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs what is missing, builds everything, and opens the program:
#   ./run.sh            the window on a private spooler (never the machine's own) with two
#                       simulated KSD Dotrix Ledger 9040 printers and one queue that prints to a
#                       file; when the window closes, shows what each simulated printer received
#                       (hex dump) and stops the spooler.
#   ./run.sh --system   the window on the machine's own spooler.
# Without a display (no DISPLAY or WAYLAND_DISPLAY) it says so and runs the command-line demo
# instead: the same private spooler, the printers listed, the factory settings sent to the first
# one and the bytes it received shown (--system: the machine's printers of the model listed).
set -euo pipefail
cd "$(dirname "$0")"

mode=demo
case ${1:-} in
"") ;;
--system) mode=system ;;
*) echo "usage: ./run.sh [--system]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j2
cli=./build/cli/vellmark-cli
program=./build/app/vellmark

window=yes
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running the command-line demo instead of the window."
  window=no
fi

if [ "$window" = yes ] && [ "$mode" = system ]; then
  exec "$program"
fi

tmp=$(mktemp -d)
cleanup() {
  ./scripts/demo-spooler.sh stop "$tmp/spooler" || true
  rm -rf "$tmp"
}
trap cleanup EXIT

if [ "$window" = yes ]; then
  echo "== Starting the private spooler with simulated printers"
  ./scripts/demo-spooler.sh start "$tmp/spooler"
  eval "$(./scripts/demo-spooler.sh env "$tmp/spooler")"
  echo "== The window is open; choose a printer, edit, send (Ctrl+W), then close it"
  status=0
  "$program" || status=$?
  # Jobs still on their way to a simulated printer arrive within moments.
  for _ in $(seq 100); do
    [ -z "$(lpstat -o 2>/dev/null)" ] && break
    sleep 0.1
  done
  for queue in $("$cli" printers | awk '$NF != "FILE:" { print $1 }'); do
    shopt -s nullglob
    dumps=("$tmp/spooler/jobs/$queue"-*.hex)
    shopt -u nullglob
    if [ ${#dumps[@]} -eq 0 ]; then
      echo "== $queue received nothing"
      continue
    fi
    for dump in "${dumps[@]}"; do
      job=${dump%.hex}
      echo "== What $queue received, job ${job##*-} ($(stat -c %s "$job.bin") bytes)"
      cat "$dump"
    done
  done
  exit "$status"
fi

"$cli" factory "$tmp/factory.dat"
echo "== Factory settings"
"$cli" show "$tmp/factory.dat"

if [ "$mode" = system ]; then
  echo "== Printers of the model on this machine's spooler"
  status=0
  "$cli" printers || status=$?
  if [ "$status" -eq 0 ]; then
    # A real printer keeps what it is sent, so nothing is sent without being asked for.
    echo "To send the factory settings to one of them:"
    echo "  $cli factory factory.dat && $cli send factory.dat --printer NAME"
  fi
  exit "$status"
fi

echo "== Starting the private spooler with simulated printers"
./scripts/demo-spooler.sh start "$tmp/spooler"
eval "$(./scripts/demo-spooler.sh env "$tmp/spooler")"

echo "== Printers (as the printer selection lists them)"
"$cli" printers
first=$("$cli" printers | awk '$NF != "FILE:" { print $1; exit }')

echo "== Sending the factory settings to $first"
"$cli" send "$tmp/factory.dat" --printer "$first"

job="$tmp/spooler/jobs/$first-1"
for _ in $(seq 100); do
  [ -f "$job.bin" ] && break
  sleep 0.1
done
if [ ! -f "$job.bin" ]; then
  echo "The simulated printer $first received nothing." >&2
  exit 1
fi
echo "== What $first received ($(stat -c %s "$job.bin") bytes)"
cat "$job.hex"
