#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages Zentick needs when any is missing.
# Usage: scripts/setup.sh [--web] [--test]
#   --web adds the WebAssembly tool chain; --test adds what the test suite needs
#   (the web build and its browser tests included, and the libretro core's
#   cross compilers for Windows and ARM Linux with wine and qemu-user to run them).
set -euo pipefail

packages=(build-essential cmake pkg-config libsdl1.2-dev libsdl-mixer1.2-dev
  libsdl-ttf2.0-dev libsdl-gfx1.2-dev libstb-dev retroarch-dev libgtest-dev libgmock-dev
  libbenchmark-dev fonts-dejavu-core zlib1g-dev)
web=0
test=0
for arg in "$@"; do
  case "$arg" in
    --web) web=1 ;;
    --test) web=1; test=1 ;;
    *) echo "usage: $0 [--web] [--test]" >&2; exit 2 ;;
  esac
done
if [ $web = 1 ]; then
  packages+=(emscripten python3 fonttools)
fi
if [ $test = 1 ]; then
  packages+=(xvfb xdotool x11-utils imagemagick python3 valgrind clang libclang-rt-14-dev
    libsdl1.2-compat desktop-file-utils appstream man-db lintian file retroarch chromium nodejs
    g++-mingw-w64-x86-64-posix wine64 g++-aarch64-linux-gnu g++-arm-linux-gnueabihf qemu-user faketime)
  # The browser tests install their npm packages with npm ci; a Node.js from
  # another source may bring its own npm.
  if ! command -v npm >/dev/null 2>&1; then packages+=(npm); fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
