#!/usr/bin/env bash
# Installs the Debian packages Zentick needs when any is missing.
# Usage: scripts/setup.sh [--test]   (--test adds what the test suite needs)
set -euo pipefail

packages=(build-essential cmake pkg-config libsdl1.2-dev libsdl-mixer1.2-dev
  libsdl-ttf2.0-dev libsdl-gfx1.2-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core)
if [ "${1:-}" = "--test" ]; then
  # libsdl1.2-compat: the end-to-end signal test runs on both SDL 1.2 implementations.
  packages+=(xvfb xdotool x11-utils imagemagick python3 valgrind clang libclang-rt-14-dev
    libsdl1.2-compat)
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
