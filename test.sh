#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs what is missing, builds, and runs every test with ctest (warnings are errors here):
#   1. the whole program (gcc), with the widget tests offscreen; among them the Debian packages,
#      built by dpkg-buildpackage with Debian's compiler flags and checked with lintian. The
#      tests that start programs, X servers or private schedulers run three times each, two at
#      a time: one that fails one run in three does not pass unnoticed;
#   2. the layers without widgets under AddressSanitizer + UndefinedBehaviorSanitizer (clang),
#      with a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLMARK_WERROR=ON
ninja -C build -j2
# The process-level labels (the Debian package test, label package, builds for minutes and
# runs once with the rest).
process='^(app-slow|spooler|install|cli)$'
ctest --test-dir build --output-on-failure -j2 --timeout 300 -LE "$process"
ctest --test-dir build --output-on-failure -j2 --timeout 300 -L "$process" --repeat until-fail:3

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++ -DVELLMARK_UI=OFF -DVELLMARK_SANITIZE=ON \
  -DVELLMARK_FUZZ=ON -DVELLMARK_BENCH=OFF -DVELLMARK_WERROR=ON
ninja -C build-asan -j2
ctest --test-dir build-asan --output-on-failure -j2 --timeout 300
