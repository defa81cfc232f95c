#!/usr/bin/env bash
# A short, bounded fuzz run: the seeds plus a fixed number of generated inputs.
set -euo pipefail
target=$1 seeds=$2 corpus=$3
mkdir -p "$corpus"
exec "$target" -runs=30000 -max_len=400 -seed=1 -max_total_time=60 "$corpus" "$seeds"
