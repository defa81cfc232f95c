#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Runs one test process with folders of its own: HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME,
# XDG_DATA_HOME, XDG_STATE_HOME and XDG_RUNTIME_DIR (mode 0700) in a fresh folder, so that
# nothing a test writes (settings, caches, font caches, the single-instance lock) reaches the
# user's own folders or another test running beside it, and nothing of the user's changes a
# test. The folder is removed when the test passes and kept, with a note, when it fails.
#
#   own-folders.sh NAME COMMAND [ARG...]
set -uo pipefail

name=$1
shift
# Under /tmp rather than the build folder: a socket's path must stay short.
dir=$(mktemp -d "${TMPDIR:-/tmp}/vellmark-test-$name.XXXXXX") || exit 1
for folder in home config cache data state runtime; do
  mkdir -m 700 "$dir/$folder" || exit 1
done
export HOME=$dir/home XDG_CONFIG_HOME=$dir/config XDG_CACHE_HOME=$dir/cache
export XDG_DATA_HOME=$dir/data XDG_STATE_HOME=$dir/state XDG_RUNTIME_DIR=$dir/runtime

"$@"
status=$?
if [ "$status" -eq 0 ] || [ "$status" -eq 77 ]; then # passed, or skipped
  rm -rf "$dir"
else
  echo "own-folders.sh: the test's HOME and XDG folders are kept in $dir" >&2
fi
exit "$status"
