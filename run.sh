#!/usr/bin/env bash
# Installs what is missing, builds, and shows the program's printer side at work:
#   ./run.sh            a private spooler (never the machine's own) with two simulated
#                       KSD Dotrix Ledger 9040 printers and one queue that prints to a file;
#                       lists the printers, sends the factory settings to the first one and
#                       shows the bytes the printer received as a hex dump.
#   ./run.sh --system   the machine's own spooler: lists its printers of the model.
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

tmp=$(mktemp -d)
cleanup() {
  ./scripts/demo-spooler.sh stop "$tmp/spooler" || true
  rm -rf "$tmp"
}
trap cleanup EXIT

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
