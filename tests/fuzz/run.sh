#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds one libFuzzer target with clang (AddressSanitizer, UndefinedBehavior-
# Sanitizer and LeakSanitizer on), then fuzzes it for a bounded time from its
# seeds. Fails on any crash, leak, timeout or sanitizer report.
# Usage: bash run.sh TARGET SECONDS [WORK_FOLDER]
#   TARGET: anyoption_args, anyoption_file, platform_media, soft_media or session_state
#   WORK_FOLDER: where the programs, the growing corpus and any crash go
#                (default: $ZT_BUILD_DIR/fuzz, else build/fuzz in the source tree)
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: bash $0 TARGET SECONDS [WORK_FOLDER]" >&2
  exit 2
fi
target=$1
seconds=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
work=${3:-${ZT_BUILD_DIR:-$root/build}/fuzz}
mkdir -p "$work"
work=$(cd "$work" && pwd)

cxx=${ZT_FUZZ_CXX:-clang++}
if ! command -v "$cxx" >/dev/null; then
  echo "FAIL: $cxx is missing (Debian: clang, libclang-rt-14-dev)" >&2
  exit 1
fi
# shellcheck disable=SC2054 # the commas belong to -fsanitize's list
flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
  -fno-omit-frame-pointer -I"$root/src" -I"$root/tests")
# The tests' temporary folders (with the font) and byte writers, for the media target.
support=("$root/tests/support/media_files.cpp" "$root/tests/support/temp_dir.cpp")
# The platforms' decoders, with stb's headers.
decode=("$root"/src/platform/decode/*.cpp)
flags+=(-isystem /usr/include/stb)

# The platform contract's library, which both platforms build on.
platform=("$root/src/platform/platform.cpp" "$root/src/platform/keys.cpp")
case $target in
  anyoption_args | anyoption_file)
    sources=("$here/$target""_fuzz.cpp" "$root/src/hosts/desktop/anyoption.cpp")
    libs=()
    ;;
  platform_media)
    sources=("$here/$target""_fuzz.cpp" "$root/src/platform/plat_sdl.cpp" "${platform[@]}"
      "${decode[@]}" "${support[@]}")
    read -r -a sdl_cflags <<<"$(pkg-config --cflags sdl SDL_mixer SDL_ttf SDL_gfx)"
    read -r -a libs <<<"$(pkg-config --libs sdl SDL_mixer SDL_ttf SDL_gfx)"
    flags+=("${sdl_cflags[@]}")
    ;;
  soft_media)
    sources=("$here/$target""_fuzz.cpp" "$root"/src/platform/plat_soft*.cpp "${platform[@]}"
      "${decode[@]}")
    libs=()
    ;;
  session_state)
    # The whole simulator below the hosts, on the build's data set.
    sources=("$here/$target""_fuzz.cpp")
    for dir in platform platform/decode framework engines menu session; do
      for f in "$root/src/$dir"/*.cpp; do
        [ "$(basename "$f")" = plat_sdl.cpp ] || sources+=("$f")
      done
    done
    libs=()
    flags+=(-isystem /usr/include/stb)
    export ZT_BUILD_DIR=${ZT_BUILD_DIR:-$root/build}
    ;;
  *)
    echo "unknown target '$target' (anyoption_args, anyoption_file, platform_media, soft_media, session_state)" >&2
    exit 2
    ;;
esac

# Rebuild only when a source or header is newer than the program.
program="$work/$target"
newest=$(find "${sources[@]}" "$root/src" "$root/tests/support" \
  -newer "$program" 2>/dev/null |
  head -n 1 || true)
if [ ! -x "$program" ] || [ -n "$newest" ]; then
  "$cxx" "${flags[@]}" "${sources[@]}" "${libs[@]}" -o "$program.new"
  mv "$program.new" "$program"
fi

# Seeds: the committed ones, and for the media the pictures and sounds written
# by media_seeds (no binary file is kept in the repository).
seeds=()
[ -d "$here/corpus/$target" ] && seeds+=("$here/corpus/$target")
if [ "$target" = platform_media ] || [ "$target" = soft_media ]; then
  generator="$work/media_seeds"
  seed_sources=("$here/media_seeds.cpp" "$root/tests/support/media_files.cpp")
  if [ ! -x "$generator" ] ||
    [ -n "$(find "${seed_sources[@]}" "$root/tests/support/media_files.h" -newer "$generator")" ]; then
    "$cxx" -std=c++17 -O1 -I"$root/tests" "${seed_sources[@]}" -o "$generator"
  fi
  mkdir -p "$work/seeds-$target"
  "$generator" "$work/seeds-$target"
  seeds+=("$work/seeds-$target")
  export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
fi
corpus="$work/corpus-$target"
mkdir -p "$corpus"

# The media loaders size their buffers from the file's header, so a few bytes
# can ask for gigabytes. Allocations above 256 MB fail as on a machine without
# the memory, and the loaders must then refuse the file cleanly.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:allocator_may_return_null=1:max_allocation_size_mb=256
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=print_suppressions=0
log="$work/$target.log"
rm -f "$work/$target"-crash-* "$work/$target"-leak-* "$work/$target"-timeout-* \
  "$work/$target"-oom-* "$work/$target"-slow-unit-*
status=0
# New finds go to the first folder. A hang, an input still running after a
# minute (inputs take milliseconds, even on a busy machine; libFuzzer's mark for
# a slow input, which it keeps as a finding, is the same), or 1.5 GB of memory
# is a failure.
"$program" -max_total_time="$seconds" -timeout=60 -report_slow_units=60 -rss_limit_mb=1536 \
  -max_len=4096 -artifact_prefix="$work/$target-" -print_final_stats=1 \
  "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?

tail -n 12 "$log"
artifacts=$(find "$work" -maxdepth 1 -name "$target-*" -type f | grep -v '\.log$' || true)
if [ "$status" -ne 0 ] || [ -n "$artifacts" ]; then
  echo "FAIL: fuzzing $target ended with status $status; log: $log" >&2
  grep -E 'ERROR|SUMMARY|runtime error|invariant broken' "$log" | head -n 20 >&2 || true
  for a in $artifacts; do
    echo "input $a:" >&2
    od -A d -t x1z "$a" | head -n 20 >&2
  done
  exit 1
fi
echo "PASS: $target fuzzed for $seconds s without a finding"
