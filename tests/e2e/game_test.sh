#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End to end: the real program with its built-in data in a private X server,
# driven by xdotool; window captures are saved as PNG files in the build folder.
# Usage: bash game_test.sh path/to/zentick   (ZT_BUILD_DIR names the build folder)
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=xsession.sh
source "$here/xsession.sh"

zentick=$(readlink -f "${1:?usage: game_test.sh path/to/zentick}")
build=${ZT_BUILD_DIR:-$(dirname "$zentick")}
data=$(dirname "$zentick")/data
# The run on sdl12-compat keeps its captures apart: both runs may go at once.
captures=$build/captures
if [[ ${LD_LIBRARY_PATH:-} == *sdl12-compat* ]]; then captures=$build/captures-sdl12compat; fi
[ -x "$zentick" ] || fail "no program at $zentick"
[ -d "$data" ] || fail "no built-in data at $data"

xs_start
mkdir -p "$captures"
rm -f "$captures"/*.png

# --- A missing picture ends the program with its one error line and status 1.
expect_image_error() {  # the path of the missing picture
  local path=$1
  xs_wait_exit 60
  [ "$XS_STATUS" = 1 ] || fail "missing $path: status $XS_STATUS, expected 1"
  local lines
  lines=$(wc -l <"$XS_WORK/stderr")
  [ "$lines" = 1 ] || fail "missing $path: $lines lines on stderr: $(cat "$XS_WORK/stderr")"
  local line
  line=$(cat "$XS_WORK/stderr")
  case $line in
    "Unable to load image $path: "?*) pass "missing $path: '$line', status 1" ;;
    *) fail "missing $path: unexpected error line '$line'" ;;
  esac
}

broken=$XS_WORK/broken
cp -r "$data" "$broken"
rm "$broken/condor/image/bg.bmp"
xs_run -d "$broken"
expect_image_error "$broken/condor/image/bg.bmp"

cp "$data/condor/image/bg.bmp" "$broken/condor/image/bg.bmp"
rm "$broken/defendo/image/im_miss.bmp"
xs_run -d "$broken"
xs_wait_window
xs_wait_frame "$XS_WORK/broken_menu.png"
xs_key Down
xs_key Return
expect_image_error "$broken/defendo/image/im_miss.bmp"

# --- The menu, a game in the device, zoom, play, and back.
xs_run
xs_wait_window
title=$(xdotool getwindowname "$XS_WINDOW")
[ "$title" = "Zentick simulator - by Quorvex & Selvane" ] || fail "window title '$title'"
pass "window title '$title'"
geometry=$(xwininfo -id "$XS_WINDOW" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
[ "$geometry" = 640x480 ] || fail "window size $geometry"

menu=$captures/menu.png
xs_wait_frame "$menu"
red_first=$(red_box "$menu")
[ -n "$red_first" ] || fail "no red selection box on the menu"
pass "menu shown, selection box at $red_first"

xs_key Down
menu_second=$XS_WORK/menu_second.png
xs_wait_change "$menu" "$menu_second"
red_second=$(red_box "$menu_second")
[ "$(box_top "$red_second")" -gt "$(box_top "$red_first")" ] || fail "Down did not move the selection: $red_first -> $red_second"
pass "Down moves the selection to $red_second"

xs_key Return
off=$XS_WORK/defendo_off.png
xs_wait_change "$menu_second" "$off"
pass "Return opens the second game"

# Zoom while the handheld is off: the picture is still, so level 0 can be compared exactly.
xs_key 9
zoom1=$XS_WORK/zoom1.png
xs_wait_change "$off" "$zoom1"
xs_key 8
zoom2=$XS_WORK/zoom2.png
xs_wait_change "$zoom1" "$zoom2"
img_same "$zoom2" "$off" && fail "zoom level 2 looks like no zoom"
xs_key 7
back=$XS_WORK/zoom0.png
xs_wait_same "$off" "$back" || fail "7 did not return to the unzoomed picture"
pass "9 and 8 enlarge the centre, 7 restores the unzoomed picture exactly"

xs_key Return
on=$captures/defendo_on.png
xs_wait_change "$off" "$on"
# The segments lit at power-on are the LCD: they must lie around the window's centre.
lit=$(img_diffbox "$off" "$on")
read -r lx ly lw lh <<<"$(box_fields "$lit")"
cx=$((lx + lw / 2))
cy=$((ly + lh / 2))
if [ $((cx - 320)) -gt 20 ] || [ $((320 - cx)) -gt 20 ] || [ $((cy - 240)) -gt 20 ] ||
  [ $((240 - cy)) -gt 20 ]; then
  fail "LCD not in the middle: lit area $lit"
fi
pass "Return powers on; the lit LCD $lit is centred on ($cx, $cy)"

# The first button shows the time, whose colon blinks; note where that blink is.
xs_key 1
xs_wait_moved "$on" "$XS_WORK/time.png"
xs_wait_moved "$XS_WORK/time.png" "$XS_WORK/time_blink.png"
blink=$(img_diffbox "$XS_WORK/time.png" "$XS_WORK/time_blink.png")
# The second press of Game A starts a game, which then moves with no key
# pressed: count the captures that changed elsewhere than the blinking colon.
xs_key 1
play=$XS_WORK/play
xs_wait_moved "$XS_WORK/time_blink.png" "${play}0.png"
changes=0
i=0
# One more capture a moment after the last; true at the fourth such change.
moved() {
  i=$((i + 1))
  sleep 0.3
  xs_capture "${play}$i.png"
  img_same "${play}$((i - 1)).png" "${play}$i.png" ||
    [ "$(img_diffbox "${play}$((i - 1)).png" "${play}$i.png")" = "$blink" ] ||
    changes=$((changes + 1))
  [ "$changes" -ge 4 ]
}
xs_poll 60 moved || fail "Game A stands still: $changes changes in $i captures"
cp "${play}$i.png" "$captures/defendo_play.png"
pass "Game A runs: $changes changes in $i captures with no key pressed"

xs_key 9
xs_wait_moved "${play}$i.png" "$captures/defendo_play_zoom.png"
xs_key 7

xs_key Escape
menu_back=$XS_WORK/menu_back.png
xs_wait_same "$menu_second" "$menu_back" || fail "Escape did not return to the same menu page ($(red_box "$menu_back"))"
pass "Escape returns to the menu with the second entry still selected"

# Each of the six handhelds switched on, starting from the first entry.
xs_key Up
xs_wait_same "$menu" "$XS_WORK/menu_top.png" || fail "Up did not return to the first entry"
names=(condor defendo monkey pancake pirate rollerc)
page=$menu
for i in "${!names[@]}"; do
  name=${names[$i]}
  xs_key Return
  xs_wait_change "$page" "$XS_WORK/${name}_off.png"
  xs_key Return
  xs_wait_change "$XS_WORK/${name}_off.png" "$captures/${name}_on.png"
  xs_key Escape
  xs_wait_same "$page" "$XS_WORK/${name}_menu.png" || fail "$name: Escape did not return to the menu"
  if [ "$i" -lt 5 ]; then
    xs_key Down
    xs_wait_change "$page" "$XS_WORK/menu_$i.png"
    page=$XS_WORK/menu_$i.png
  fi
done
pass "all six games open, power on and return to the menu"

xs_key Escape
xs_wait_exit 60
[ "$XS_STATUS" = 0 ] || fail "Escape in the menu: status $XS_STATUS"
pass "Escape in the menu ends the program with status 0"

# --- Closing the window: inside a game it leaves the game, in the menu it ends the program.
xs_run
xs_wait_window
first=$XS_WORK/close_menu.png
xs_wait_frame "$first"
xs_key Return
xs_wait_change "$first" "$XS_WORK/close_game.png"
xs_close
xs_wait_same "$first" "$XS_WORK/close_menu2.png" || fail "closing the window in a game did not return to the menu"
xs_close
xs_wait_exit 60
[ "$XS_STATUS" = 0 ] || fail "closing the window: status $XS_STATUS"
pass "closing the window leaves the game, then ends the program with status 0"

[ ! -s "$XS_WORK/stderr" ] || fail "unexpected error output: $(cat "$XS_WORK/stderr")"
echo "captures in $captures: $(cd "$captures" && echo *.png)"
echo "ALL PASSED"
