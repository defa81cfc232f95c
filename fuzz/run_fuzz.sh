#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# A short, bounded fuzz run: the seeds plus a fixed number of generated inputs. Where the
# machine allows it (root, and nothing of the run lives in /tmp), the run gets a /tmp of its
# own, which must be empty afterwards: a target leaves no files behind.
set -euo pipefail
target=$1 seeds=$2 corpus=$3
mkdir -p "$corpus"
run=("$target" -runs=30000 -max_len=400 -seed=1 -max_total_time=60 "$corpus" "$seeds")
outside_tmp=true
for p in "$target" "$seeds" "$corpus"; do
  case $(realpath "$p") in /tmp/*) outside_tmp=false ;; esac
done
if $outside_tmp && [ "$(id -u)" = 0 ] && unshare -m true 2>/dev/null; then
  exec unshare -m bash -c '
    mount -t tmpfs -o size=16m none /tmp || exit 1
    "$@" || exit
    left=$(ls -A /tmp)
    if [ -n "$left" ]; then echo "the fuzz run left files in /tmp: $left" >&2; exit 1; fi' _ "${run[@]}"
fi
exec "${run[@]}"
