#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up what is missing, builds Zentick with its built-in data and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what a player runs: the program and its data, not the tests and benchmarks.
cmake --build "$root/build" -j "$(nproc)" --target zentick zt_data
exec "$root/build/zentick" "$@"
