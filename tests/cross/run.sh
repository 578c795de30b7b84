#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The libretro core for Windows x64 and Linux aarch64, armhf and x86-64, built
# with the toolchains of cmake/toolchains/ and run where this machine can:
# under wine and qemu-user, x86-64 natively. Each core must export exactly the
# native core's retro_* entry points, stay under the size goal, need no
# library beyond the system's, load as a frontend loads it, and play the
# replay of zentick-retro-tool (the core's objects linked in) with the native
# core's hashes, from the data pack inside the core: the system folder handed
# to the core is empty. Two system folders whose names are not ASCII follow:
# one with a data folder of another font (the replay's menu drawn with it, as
# natively) and one with a damaged font, on which the core file refuses to
# start with the native core's message (thrown and caught inside it).
# A Linux core must load on glibc 2.17 without a C++ or GCC run-time library
# (glibc_floor.sh), and plays the same again on Debian 11's glibc 2.31, whose
# libc6 packages are fetched into build/cross/bullseye (skipped with a message
# when the archive cannot be reached). Under libfaketime the native core file
# takes a state in December and each Linux core past 2038 (on 31 December).
# Usage: run.sh NATIVE_TOOL NATIVE_CORE
# Environment: ZT_BUILD_DIR (the native build, with its data folder data/),
# ZT_CORE_PACK (its data pack).
# A target whose cross packages are missing is skipped with a message; with
# none at all the test reports itself skipped (77).
set -euo pipefail
# Folder names in UTF-8: wine converts arguments and output by the locale.
export LC_ALL=C.UTF-8

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
here=$source_dir/tests/cross

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

# System folders named in UTF-8, as frontends pass them, with the build's data
# (its folders linked): one where the font is another, one where it is damaged.
own=$build/José/Système broken=$build/José/Cassé
for folder in "$own" "$broken"; do
  rm -rf "$folder" && mkdir -p "$folder/zentick/zentick"
  for game in "${ZT_BUILD_DIR:?}"/data/*/; do
    [ "$(basename "$game")" = zentick ] || ln -s "$game" "$folder/zentick/"
  done
done
cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf "$own/zentick/zentick/andalemo.ttf"
head -c 2000 "$ZT_BUILD_DIR/data/zentick/andalemo.ttf" >"$broken/zentick/zentick/andalemo.ttf"
own_expected=$("$tool" replay "$own" 2>/dev/null) || problem "native: replay on $own failed"
[ "$own_expected" != "$expected" ] || problem "native: the font in $own changed nothing"
refusal=$("$tool" start "$core" "$broken" 2>/dev/null) && problem "native: started on $broken"
case $refusal in "refused: Zentick: "*font*) ;; *) problem "native: on $broken: $refusal" ;; esac

# Debian 11's glibc 2.31 as root folders per Debian architecture, fetched once
# with apt-get through a private state (the machine's apt configuration and
# lists untouched) from the Debian mirror this machine uses.
old_glibc=$build/bullseye
fetch_old_glibc() {
  [ -f "$old_glibc/done" ] && return 0
  local mirror apt=$old_glibc/apt
  mirror=$({ sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/*.sources
    sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]*\)\?//p' /etc/apt/sources.list \
      /etc/apt/sources.list.d/*.list; } 2>/dev/null | awk '{ print $1 }' |
    grep -E '^[a-z]+://[^ ]*/debian/?$' | head -1) || true
  [ -n "$mirror" ] || { echo "no Debian mirror in /etc/apt" >"$old_glibc.log"; return 1; }
  rm -rf "$old_glibc"
  mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/parts" "$old_glibc/debs"
  : >"$apt/status"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bullseye main" \
    >"$apt/sources.list"
  # (The user running this downloads: apt's own user cannot write to the build folder.)
  cat >"$apt/apt.conf" <<CONF
Dir::State "$apt"; Dir::State::status "$apt/status"; Dir::Cache "$apt";
Dir::Etc::Main "$apt/none"; Dir::Etc::Parts "$apt/parts"; Dir::Etc::SourceParts "$apt/parts";
Dir::Etc::SourceList "$apt/sources.list"; Dir::Etc::PreferencesParts "$apt/parts";
Dir::Etc::Preferences "$apt/none"; APT::Architectures { "amd64"; "arm64"; "armhf"; };
Acquire::Languages "none"; Acquire::GzipIndexes "true"; Acquire::http::Timeout "60";
APT::Sandbox::User "$(id -un)";
CONF
  (export APT_CONFIG=$apt/apt.conf && timeout 900 apt-get -q --error-on=any update &&
    cd "$old_glibc/debs" && timeout 900 apt-get -q download libc6:amd64 libc6:arm64 libc6:armhf) \
    >"$old_glibc.log" 2>&1 || return 1
  local arch
  for arch in amd64 arm64 armhf; do
    dpkg-deb -x "$old_glibc/debs"/libc6_*_"$arch".deb "$old_glibc/$arch"
  done
  rm -rf "$apt"  # its lists, about 50 MB
  touch "$old_glibc/done"
}
# Fetched at the first Linux target; false (with a message, once) when the
# archive cannot be reached.
old_state=unfetched
old_glibc_ready() {
  if [ $old_state = unfetched ]; then
    old_state=ready
    fetch_old_glibc || old_state=unreachable
    [ $old_state = ready ] || echo "SKIP the runs on glibc 2.31: Debian 11's libc6 packages" \
      "could not be fetched: $(grep -m1 "^[WE]:" "$old_glibc.log" || tail -1 "$old_glibc.log")"
  fi
  [ $old_state = ready ]
}

# plays LABEL RUNNER...: the target's test frontend, run by RUNNER, loads its
# core file, plays the replay from the pack and on $own's data with the native
# hashes, and the core file refuses to start on $broken with the native message.
plays() {
  local label=$1 err=$dir.err p=$path_prefix got
  shift
  local run=("$@" "$dir/tests/cross/$tool_file")
  got=$("${run[@]}" load "$p$dir/$file" 2>"$err" | tr -d '\r') || true
  [ "$got" = "$loads" ] || problem "$label: the core does not load: $got $(tail -3 "$err")"
  got=$("${run[@]}" replay "$p$system" 2>"$err" | tr -d '\r') ||
    problem "$label: replay failed: $(tail -3 "$err")"
  source_of "$err" "$label"
  echo "$(printf '%-20s' "$label:") $got$note"
  [ "$got" = "$expected" ] || problem "$label: the hashes differ from the native core's"
  got=$("${run[@]}" replay "$p$own" 2>"$err" | tr -d '\r') || true
  { [ "$got" = "$own_expected" ] &&
    tr -d '\r' <"$err" | grep -qxF "[Zentick] data folder $p$own/zentick"; } ||
    problem "$label: did not play on the data in $p$own: $got $(tail -3 "$err")"
  got=$("${run[@]}" start "$p$dir/$file" "$p$broken" 2>"$err" | tr -d '\r') || true
  [ "$got" = "${refusal//$broken/$p$broken}" ] ||
    problem "$label: on $p$broken: $got $(tail -3 "$err")"
}

# Under wine: the data installed beside the core (../../share/zentick/data
# from the module its code is in, here the frontend) in a folder that is not
# named in ASCII.
finds_data_beside() {
  local beside=$build/Zoé got
  rm -rf "$beside" && mkdir -p "$beside/lib/libretro" "$beside/share/zentick"
  cp "$dir/tests/cross/$tool_file" "$beside/lib/libretro/"
  ln -s "$own/zentick" "$beside/share/zentick/data"
  got=$("${runner[@]}" "$beside/lib/libretro/$tool_file" replay "Z:$system" 2>"$dir.err" |
    tr -d '\r') || true
  [ "$got" = "$own_expected" ] ||
    problem "$target: did not play on the data beside the core: $got $(tail -3 "$dir.err")"
}

# calendar LABEL DATE CORE RUNNER...: the core file started by the target's
# frontend on DATE (libfaketime; through qemu-user too, which asks the host's
# clock) sets its watch to it and takes a state on that day.
dates_seen=""
calendar() {
  local label=$1 date=$2 file=$3 got
  shift 3
  command -v faketime >/dev/null || { problem "faketime is missing (scripts/setup.sh --test)"; return; }
  got=$(TZ=UTC faketime "$date" "$@" start "$file" "$system" 2>"$build/calendar.err") || true
  grep -qF "watch set to ${date%?}" "$build/calendar.err" && [ "$got" = "started; a state saved and loaded" ] ||
    problem "$label on $date: $got $(grep -m1 watch "$build/calendar.err")"
  dates_seen+=" $label ${date%% *}"
}
# December (whose states a month off by one refused) with the real core file.
calendar native "2026-12-15 12:00:00" "$core" "$tool"

ran=0
# Per target: its binutils' prefix, compiler, runner, packages, file names, and
# what turns a path of this machine into one the runner's program opens.
# (Linux targets: old_runner runs a program on glibc 2.31's root folder $old.)
for target in mingw-w64-x86_64 aarch64-linux-gnu arm-linux-gnueabihf x86_64-linux-gnu; do
  case $target in
    mingw-w64-x86_64)
      prefix=x86_64-w64-mingw32 compiler=x86_64-w64-mingw32-g++-posix
      runner=(/usr/lib/wine/wine64) packages="g++-mingw-w64-x86-64-posix wine64"
      file=zentick_libretro.dll tool_file=zentick-retro-tool.exe path_prefix=Z: old= ;;
    aarch64-linux-gnu)
      prefix=$target compiler=$target-g++ old=$old_glibc/arm64
      runner=(qemu-aarch64 -L /usr/$target) packages="g++-$target qemu-user"
      old_runner=(qemu-aarch64 -L "$old")
      file=zentick_libretro.so tool_file=zentick-retro-tool path_prefix= ;;
    arm-linux-gnueabihf)
      prefix=$target compiler=$target-g++ old=$old_glibc/armhf
      runner=(qemu-arm -L /usr/$target) packages="g++-$target qemu-user"
      old_runner=(qemu-arm -L "$old")
      file=zentick_libretro.so tool_file=zentick-retro-tool path_prefix= ;;
    x86_64-linux-gnu)
      prefix=$target compiler=$target-g++ old=$old_glibc/amd64
      runner=(env) packages="g++"
      old_runner=("$old/lib/x86_64-linux-gnu/ld-linux-x86-64.so.2"
        --library-path "$old/lib/x86_64-linux-gnu")
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
    floor=$(bash "$here/glibc_floor.sh" "$prefix" "$dir/$file") || problem "$target: $floor"
    needs+=$floor
  fi
  [ "$got" = "$native_exports" ] || problem "$target: exports differ from the native core's:" $got
  carries_pack "$dir/$file" || problem "$target: the core does not hold the pack $pack"

  note="  ($size bytes; needs $needs)"
  plays "$target" "${runner[@]}"
  # Past 2038, where a 32-bit time_t ends, on the year's last day.
  [ "$target" = mingw-w64-x86_64 ] ||
    calendar "$target" "2038-12-31 23:59:50" "$dir/$file" "${runner[@]}" "$dir/tests/cross/$tool_file"
  [ "$target" != mingw-w64-x86_64 ] || finds_data_beside
  if [ -n "$old" ] && old_glibc_ready; then
    note=""
    plays "$target on glibc 2.31" "${old_runner[@]}"
  fi
done

echo "the watch and a state on the day:$dates_seen"
if [ $ran = 0 ]; then
  echo "SKIP: no cross compiler and runner installed"
  exit 77
fi
exit $fail
