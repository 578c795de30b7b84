#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The page's browser tests: builds the page (scripts/web.sh --no-serve) and the
# native reference frames, installs the pinned npm packages with npm ci (no
# browser is downloaded: Debian's chromium is used) and runs page_test.js.
# Usage: tests/web/run.sh [NATIVE_BUILD_DIR] [--bench]   (default: build)
#   --bench prints the loading and battery figures (bench/web_bench.js) instead.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
web="$root/build-web"

"$root/scripts/web.sh" --no-serve
cmake --build "$build" --target zt-web-reference -j "$(nproc)"
mkdir -p "$web/reference"
"$build/tests/web/zt-web-reference" "$web/data" "$web/reference"
cp "$web/data/defendo/buttons.txt" "$web/reference/defendo_buttons.txt"  # where to tap GAME A

mkdir -p "$web/npm"
cp "$root/tests/web/package.json" "$root/tests/web/package-lock.json" "$web/npm/"
(cd "$web/npm" && PUPPETEER_SKIP_DOWNLOAD=1 PUPPETEER_SKIP_CHROMIUM_DOWNLOAD=1 \
  npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)

if [ "${2:-}" = --bench ]; then
  exec env NODE_PATH="$web/npm/node_modules" node "$root/bench/web_bench.js" "$web/site"
fi
NODE_PATH="$web/npm/node_modules" node "$root/tests/web/page_test.js" "$web/site" "$web/reference"
