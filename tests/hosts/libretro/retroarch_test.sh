#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Debian's RetroArch, headless, loads the installed core with its info file,
# starts it without content, runs a few hundred frames, and its screenshot is
# the core's own menu frame (as our test frontend gets it).
# Usage: bash retroarch_test.sh path/to/zentick-retro-tool   (ZT_BUILD_DIR names the build folder)
set -uo pipefail

tool=${1:?the zentick-retro-tool program}
build=${ZT_BUILD_DIR:?ZT_BUILD_DIR names the build folder}
frames=300
work=$(mktemp -d "${TMPDIR:-/tmp}/zt-retroarch-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

command -v retroarch >/dev/null || fail "retroarch is not installed: run scripts/setup.sh --test"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$work/install.log")"
core=$prefix/lib/libretro/zentick_libretro.so
info=$prefix/share/libretro/info/zentick_libretro.info
if [ ! -f "$core" ] || [ ! -f "$info" ]; then
  fail "core or info file missing: $(ls -R "$prefix/lib" "$prefix/share/libretro")"
fi
grep -q 'supports_no_game = "true"' "$info" || fail "the info file does not allow a start without content"
# The frontend's system folder holds the data as zentick/ (the core's first choice).
mkdir -p "$work/system" "$work/home"
ln -s "$prefix/share/zentick/data" "$work/system/zentick"

cat >"$work/retroarch.cfg" <<CFG
video_driver = "null"
input_driver = "null"
input_joypad_driver = "null"
audio_driver = "null"
menu_driver = "null"
config_save_on_exit = "false"
system_directory = "$work/system"
libretro_info_path = "$prefix/share/libretro/info"
savefile_directory = "$work/home"
savestate_directory = "$work/home"
screenshot_directory = "$work/home"
CFG
# It ends by itself after the frames; the limit only stops a hang (the run takes
# seconds, a busy machine's may take minutes).
(cd "$work" && HOME=$work/home XDG_CONFIG_HOME=$work/home timeout 600 \
  retroarch -c "$work/retroarch.cfg" -L "$core" --max-frames=$frames --max-frames-ss \
  --max-frames-ss-path="$work/retroarch.png" --verbose >"$work/retroarch.log" 2>&1) ||
  fail "retroarch failed: $(tail -20 "$work/retroarch.log")"
grep -q "\[Zentick\] data folder $work/system/zentick" "$work/retroarch.log" ||
  fail "the core did not start on the system folder's data: $(grep -i zentick "$work/retroarch.log")"
[ -s "$work/retroarch.png" ] || fail "no screenshot: $(tail -20 "$work/retroarch.log")"

"$tool" frame "$work/system" $frames "$work/core.png" 2>/dev/null || fail "the test frontend could not run the core"
mkdir -p "$build/libretro-test"
cp "$work/retroarch.png" "$work/core.png" "$build/libretro-test/"
differing=$(compare -metric AE "$work/core.png" "$work/retroarch.png" null: 2>&1)
[ "$differing" = "0" ] || fail "RetroArch's screenshot differs from the core's frame in $differing pixels"
echo "PASS: RetroArch ran the installed core $frames frames; its screenshot is the core's menu frame"
