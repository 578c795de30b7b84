#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Debian's RetroArch, headless, loads the installed core with its info file,
# starts it without content, runs a few hundred frames, and its screenshot is
# the core's own menu frame (as our test frontend gets it). Then it loads each
# of the games kit's content files: each screenshot is our frontend's frame of
# that file. The kit's playlist and gamelist parse and name files that exist.
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
global_core_options = "true"
core_options_path = "$work/options.cfg"
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
# RetroArch lists the core's options with their defaults (it saves them on closing).
for option in 'zentick_watch = "local"' 'zentick_lcd_response = "off"'; do
  grep -qxF "$option" "$work/options.cfg" ||
    fail "RetroArch has no option $option: $(cat "$work/options.cfg" 2>/dev/null)"
done

"$tool" frame "$work/system" $frames "$work/core.png" 2>/dev/null || fail "the test frontend could not run the core"
mkdir -p "$build/libretro-test"
cp "$work/retroarch.png" "$work/core.png" "$build/libretro-test/"
differing=$(compare -metric AE "$work/core.png" "$work/retroarch.png" null: 2>&1)
[ "$differing" = "0" ] || fail "RetroArch's screenshot differs from the core's frame in $differing pixels"
echo "PASS: RetroArch ran the installed core $frames frames; its screenshot is the core's menu frame"

# The games kit: RetroArch opens each handheld from its content file.
kit=$build/kit
opened=0
for content in "$kit"/zentick/*.zentick; do
  [ -f "$content" ] || fail "no games kit in $kit: build the target zt_kit"
  shot=$work/retroarch-$opened.png
  (cd "$work" && HOME=$work/home XDG_CONFIG_HOME=$work/home timeout 600 \
    retroarch -c "$work/retroarch.cfg" -L "$core" "$content" --max-frames=$frames --max-frames-ss \
    --max-frames-ss-path="$shot" --verbose >"$work/retroarch-$opened.log" 2>&1) ||
    fail "retroarch failed with $content: $(tail -20 "$work/retroarch-$opened.log")"
  [ -s "$shot" ] || fail "no screenshot with $content: $(tail -20 "$work/retroarch-$opened.log")"
  "$tool" frame "$work/system" $frames "$work/core-$opened.png" "$content" 2>/dev/null ||
    fail "the test frontend could not run the core with $content"
  differing=$(compare -metric AE "$work/core-$opened.png" "$shot" null: 2>&1)
  [ "$differing" = "0" ] || fail "RetroArch's screenshot with $content differs from the core's frame in $differing pixels"
  differing=$(compare -metric AE "$work/retroarch.png" "$shot" null: 2>&1)
  [ "$differing" != "0" ] || fail "RetroArch showed the menu with $content"
  opened=$((opened + 1))
done
[ "$opened" = 6 ] || fail "$opened content files in $kit/zentick"

# The kit's playlist and gamelist name six games whose files exist.
python3 - "$kit" <<'EOF' || fail "the games kit's playlist or gamelist is wrong"
import json, os, sys, xml.etree.ElementTree as ET
kit = sys.argv[1]
playlist = json.load(open(os.path.join(kit, "Zentick.lpl")))
base, items = playlist["base_content_directory"], playlist["items"]
assert len(items) == 6, f"{len(items)} playlist items"
for item in items:
    file = kit + item["path"][len(base):]
    assert item["path"].startswith(base) and os.path.isfile(file), item["path"]
    assert item["label"] == os.path.splitext(os.path.basename(file))[0], item
    for kind in ("Named_Boxarts", "Named_Snaps", "Named_Titles"):
        picture = os.path.join(kit, "thumbnails", item["db_name"][:-4], kind, item["label"] + ".png")
        assert os.path.isfile(picture), picture
games = ET.parse(os.path.join(kit, "zentick", "gamelist.xml")).getroot().findall("game")
assert len(games) == 6, f"{len(games)} games in the gamelist"
for game in games:
    for tag in ("path", "image"):
        file = os.path.join(kit, "zentick", game.findtext(tag))
        assert os.path.isfile(file), file
system = ET.parse(os.path.join(kit, "es_systems_zentick.cfg")).getroot().find("system")
assert ".zentick" in system.findtext("extension").split(), "the system takes no .zentick files"
EOF
echo "PASS: RetroArch opened the games kit's six content files; its playlist and gamelist name six games whose files exist"
