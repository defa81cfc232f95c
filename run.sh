#!/usr/bin/env bash
# Installs what is missing, builds, and shows the factory settings through the command-line tool.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
./build/cli/vellmark-cli factory "$tmp/factory.dat"
./build/cli/vellmark-cli show "$tmp/factory.dat"
