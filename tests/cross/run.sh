#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The libretro core for Windows x64, Linux aarch64 and Linux armhf, built with
# the toolchains of cmake/toolchains/ and run where this machine can: under
# wine and qemu-user. Each core must export exactly the native core's retro_*
# entry points, stay under the size goal, need no library beyond the system's,
# load as a frontend loads it, and play the replay of zentick-retro-tool (the
# core's objects linked in) with the native core's hashes, from the data pack
# inside the core: the system folder handed to the core is empty.
# Usage: run.sh NATIVE_TOOL NATIVE_CORE
# Environment: ZT_BUILD_DIR (the native build), ZT_CORE_PACK (its data pack).
# A target whose cross packages are missing is skipped with a message; with
# none at all the test reports itself skipped (77).
set -euo pipefail

# Absolute paths: dlopen takes a bare name for a library on its search path,
# and wine reaches the build machine's files through drive Z:.
tool=$(realpath "$1") core=$(realpath "$2")
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=${ZT_BUILD_DIR:?}/cross
pack=${ZT_CORE_PACK:-}
[ -f "$pack" ] || pack=""
max_size=1500000  # docs/performance.md: each core under 1.5 MB
system=$build/system  # empty: the data comes from the pack
mkdir -p "$build" "$system"

fail=0
problem() {
  echo "FAIL $*" >&2
  fail=1
}
warn() { echo "WARNING $*" >&2; }
# The pack linked in byte for byte (the cores' start-up reads it from there).
carries_pack() {
  [ -z "$pack" ] || python3 -c 'import sys; sys.exit(open(sys.argv[1], "rb").read().find(
    open(sys.argv[2], "rb").read()) < 0)' "$1" "$pack"
}

# The native core: its exports are the list every target must match.
exports() { sed -n 's/^ *\(retro_[a-z_]*\)$/\1/p' "$source_dir/src/hosts/libretro/libretro.def" | sort; }
native_exports=$(nm -D --defined-only "$core" | awk '{print $3}' | sort)
[ "$native_exports" = "$(exports)" ] || problem "native: exports differ from libretro.def"
# Where the core took its data from, by its log line: a data set installed on
# this machine wins over the pack, and then the pack went untested.
source_of() {
  if [ -z "$pack" ] || grep -q "data built into the core" "$1"; then return 0; fi
  warn "$2: the data did not come from the pack: $(grep -m1 "data" "$1")"
}
expected=$("$tool" replay "$system" 2>"$build/native.err") || problem "native: replay failed"
source_of "$build/native.err" native
carries_pack "$core" || problem "native: the core does not hold the pack $pack"
loads=$("$tool" load "$core") || problem "native: the core does not load"
echo "native:              $expected"
echo "native core file:    $loads"

ran=0
# Per target: its binutils' prefix, compiler, runner, packages, file names, and
# what turns a path of this machine into one the runner's program opens.
for target in mingw-w64-x86_64 aarch64-linux-gnu arm-linux-gnueabihf; do
  case $target in
    mingw-w64-x86_64)
      prefix=x86_64-w64-mingw32 compiler=x86_64-w64-mingw32-g++-posix
      runner=(/usr/lib/wine/wine64) packages="g++-mingw-w64-x86-64-posix wine64"
      file=zentick_libretro.dll tool_file=zentick-retro-tool.exe path_prefix=Z: ;;
    aarch64-linux-gnu)
      prefix=$target compiler=$target-g++
      runner=(qemu-aarch64 -L /usr/$target) packages="g++-$target qemu-user"
      file=zentick_libretro.so tool_file=zentick-retro-tool path_prefix= ;;
    arm-linux-gnueabihf)
      prefix=$target compiler=$target-g++
      runner=(qemu-arm -L /usr/$target) packages="g++-$target qemu-user"
      file=zentick_libretro.so tool_file=zentick-retro-tool path_prefix= ;;
  esac
  if ! command -v "$compiler" >/dev/null || ! command -v "${runner[0]}" >/dev/null; then
    echo "SKIP $target: $compiler or ${runner[0]} is missing (packages $packages;" \
      "scripts/setup.sh --test installs them)"
    continue
  fi
  ran=$((ran + 1))
  dir=$build/$target
  if ! cmake -S "$source_dir" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchains/$target.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DZT_CORE_PACK="$pack" >"$dir.log" 2>&1 ||
    ! cmake --build "$dir" -j2 --target zentick_libretro zentick-retro-tool >>"$dir.log" 2>&1; then
    tail -30 "$dir.log" >&2
    problem "$target: the build failed (the whole log: $dir.log)"
    continue
  fi

  size=$(stat -c %s "$dir/$file")
  # (std::filesystem or a string stream in the core's code would bring
  # libstdc++'s locales, about 870 KB, and cross it.)
  [ "$size" -lt "$max_size" ] || problem "$target: $file is $size bytes, over the goal of $max_size"
  if [ "$target" = mingw-w64-x86_64 ]; then
    got=$($prefix-objdump -p "$dir/$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n 's/^\s*\[ *[0-9]*\] //p' | sort)
    needs=$($prefix-objdump -p "$dir/$file" | sed -n 's/^\s*DLL Name: //p' | sort | tr '\n' ' ')
    [ "$needs" = "KERNEL32.dll msvcrt.dll " ] || problem "$target: needs $needs"
    export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  else
    got=$($prefix-nm -D --defined-only "$dir/$file" | awk '{print $3}' | sort)
    needs=$($prefix-readelf -d "$dir/$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort | tr '\n' ' ')
    needs+=$($prefix-objdump -T "$dir/$file" | grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -1)
    case $needs in *libstdc++*|*libgcc_s*) problem "$target: needs $needs" ;; esac
  fi
  [ "$got" = "$native_exports" ] || problem "$target: exports differ from the native core's:" $got
  carries_pack "$dir/$file" || problem "$target: the core does not hold the pack $pack"

  run_tool() { "${runner[@]}" "$dir/tests/cross/$tool_file" "$@" 2>"$dir.err" | tr -d '\r'; }
  got_loads=$(run_tool load "$path_prefix$dir/$file") || true
  [ "$got_loads" = "$loads" ] || problem "$target: the core does not load: $got_loads $(tail -3 "$dir.err")"
  line=$(run_tool replay "$path_prefix$system") || problem "$target: replay failed: $(tail -3 "$dir.err")"
  source_of "$dir.err" "$target"
  echo "$(printf '%-20s' "$target:") $line  ($size bytes; needs $needs)"
  [ "$line" = "$expected" ] || problem "$target: the hashes differ from the native core's"
done

if [ $ran = 0 ]; then
  echo "SKIP: no cross compiler and runner installed"
  exit 77
fi
exit $fail
