#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up what is missing, builds Zentick for the web browser into
# build-web/site/ (the page, its script, the WebAssembly module, the data pack
# beside them, the manifest, icons and service worker) and serves it at
# http://127.0.0.1:8000/ .
# Usage: scripts/web.sh [--no-serve]   (--no-serve only builds)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
serve=1
case "${1:-}" in
  "") ;;
  --no-serve) serve=0 ;;
  *) echo "usage: $0 [--no-serve]" >&2; exit 2 ;;
esac
"$root/scripts/setup.sh" --web
jobs="$(nproc)"

# The data set is drawn by the native build's tool, then packed with the page.
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target zentick-mkdata -j "$jobs"
rm -rf "$root/build-web/data"
"$root/build/tools/zentick-mkdata" "$root/build-web/data"
"$root/build/tools/zentick-mkdata" --icons "$root/build-web/icons"
# The page's font holds only the characters the menu can show, without hinting
# (the software platform does not use it): a sixth of the pack instead of 60%.
font="$root/build-web/data/zentick/andalemo.ttf"
pyftsubset "$font" --unicodes=U+0020-007E,U+00A0-00FF --layout-features= --no-hinting \
  --drop-tables+=FFTM --output-file="$font.subset"
mv "$font.subset" "$font"
"$root/build/tools/zentick-mkdata" --pack "$root/build-web/data" "$root/build-web/zentick.pack"

# Emscripten's optimizer finds Debian's acorn through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$root" -B "$root/build-web" -DCMAKE_BUILD_TYPE=Release \
  -DZT_WEB_PACK="$root/build-web/zentick.pack" -DZT_WEB_ICONS="$root/build-web/icons" >/dev/null
cmake --build "$root/build-web" --target zt_web_site -j "$jobs"
echo "The page is in $root/build-web/site/"

if [ $serve = 1 ]; then
  echo "Serving it at http://127.0.0.1:8000/ (Ctrl+C stops)"
  exec python3 -m http.server 8000 --bind 127.0.0.1 --directory "$root/build-web/site"
fi
