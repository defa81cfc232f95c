#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the Debian 12 packages the project needs, only when some are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  qt6-base-dev libfontconfig-dev
  libxcb1-dev # the X11 raise with a launcher's time speaks to the X server over Qt's connection
  libcups2-dev cups-daemon cups-client
  googletest libgtest-dev libgmock-dev libbenchmark-dev python3
  xvfb xauth fonts-ipafont-gothic
  x11-utils # xwininfo: the program test finds the X server's root window with it
  # the command-line test: read-only and full file systems (unshare, mount, setpriv) and a
  # network of its own (ip) for a name server that never answers
  util-linux mount iproute2
  locales # localedef and the ja_JP sources: the tests make a Japanese locale of their own
  qt6-translations-l10n # Qt's own Japanese texts (standard buttons, file dialog)
  # installing and packaging: the scheduler's driver listing (lpinfo -m), the checks of the
  # desktop entry, AppStream data and manual pages, the package tools, and driving the window
  cups desktop-file-utils appstream man-db groff-base dpkg-dev debhelper lintian xdotool
  binutils # readelf: the package test checks the programs' hardening
  weston qt6-wayland # the window under a private headless Wayland compositor
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Packages are missing and this is not root; install them with apt-get: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
