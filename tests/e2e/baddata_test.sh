#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End to end: the real program on damaged copies of its built-in data. Each
# case must end with its one error line on stderr and status 1, in bounded
# time, with the window gone. The font and the menu's first picture load at
# start-up (dummy drivers); a game's segments and sounds load when it starts
# (in Xvfb, through the menu with xdotool).
# Usage: bash baddata_test.sh path/to/zentick   (its data folder stands beside it)
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=xsession.sh
source "$here/xsession.sh"

zentick=$(readlink -f "${1:?usage: baddata_test.sh path/to/zentick}")
data=$(dirname "$zentick")/data
[ -x "$zentick" ] || fail "no program at $zentick"
[ -d "$data" ] || fail "no built-in data at $data"
bad=$XS_WORK/bad

# A fresh copy of the data set to break one file in.
fresh() {
  rm -rf "$bad"
  cp -r "$data" "$bad"
}

# Overwrite bytes of a file in place: poke FILE OFFSET BYTES (as \0NNN octal escapes).
poke() { printf '%b' "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }

# Start-up cases run with the dummy drivers and a time limit: a hang fails.
run_dummy() {
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 60 "$zentick" "$@" \
    >"$XS_WORK/stdout" 2>"$XS_WORK/stderr"
  XS_STATUS=$?
}

# The last run ended with status 1 and exactly one line on stderr, nothing on
# stdout; that line is $2 followed by a reason, which names the file $3 when
# given. The reason's words are SDL's, and classic SDL 1.2 and sdl12-compat word
# them differently.
expect_error() {
  local what=$1 want=$2 names=${3:-}
  if [ "$XS_STATUS" = 124 ] || [ "$XS_STATUS" = timeout ]; then fail "$what: the program hung"; fi
  [ "$XS_STATUS" = 1 ] || fail "$what: status $XS_STATUS, expected 1 ($(cat "$XS_WORK/stderr"))"
  [ ! -s "$XS_WORK/stdout" ] || fail "$what: output on stdout: $(cat "$XS_WORK/stdout")"
  local lines line
  lines=$(wc -l <"$XS_WORK/stderr")
  line=$(cat "$XS_WORK/stderr")
  if [ "$lines" != 1 ] || [ "$(wc -c <"$XS_WORK/stderr")" != $((${#line} + 1)) ]; then
    fail "$what: expected one line on stderr, got: $line"
  fi
  case $line in
    "$want"?*) ;;
    *) fail "$what: '$line' is not '$want' followed by a reason" ;;
  esac
  case ${line#"$want"} in
    *"$names"*) ;;
    *) fail "$what: '$line' does not name $names" ;;
  esac
  pass "$what: '$line', status 1"
}

# --- The font and the data folder.
fresh
font=$bad/zentick/andalemo.ttf
printf 'not a font\n' >"$font"
run_dummy -d "$bad"
expect_error "font that is text" "Unable to load font: "
: >"$font"
run_dummy -d "$bad"
expect_error "empty font" "Unable to load font: "
head -c 50000 "$data/zentick/andalemo.ttf" >"$font"
run_dummy -d "$bad"
expect_error "font cut short" "Unable to load font: "
rm "$font"
mkdir "$font"
run_dummy -d "$bad"
expect_error "font that is a folder" "Unable to load font: "

printf 'a file\n' >"$XS_WORK/datafile"
run_dummy -d "$XS_WORK/datafile"
expect_error "data path that is a file" "Unable to load font: " \
  "$XS_WORK/datafile/zentick/andalemo.ttf"
run_dummy -d "$XS_WORK/no-such-folder"
expect_error "data path that does not exist" "Unable to load font: " \
  "$XS_WORK/no-such-folder/zentick/andalemo.ttf"
if [ "$(id -u)" != 0 ]; then
  fresh
  chmod 000 "$bad"
  run_dummy -d "$bad"
  chmod 755 "$bad"
  expect_error "unreadable data folder" "Unable to load font: " "$bad/zentick/andalemo.ttf"
else
  echo "SKIP: unreadable data folder: running as root, which reads any folder whatever its" \
    "permissions (the font that is a folder above cannot be read even by root)"
fi

# --- The menu's first background picture, loaded at start-up.
fresh
bg=$bad/condor/image/bg.bmp
: >"$bg"
run_dummy -d "$bad"
expect_error "empty picture" "Unable to load image $bg: "
printf 'P3\n4 4\n255\nnot a BMP at all\n' >"$bg"
run_dummy -d "$bad"
expect_error "picture that is not a BMP" "Unable to load image $bg: "
cp "$data/condor/sound/Got.wav" "$bg"
run_dummy -d "$bad"
expect_error "picture that is a sound" "Unable to load image $bg: "
head -c 20000 "$data/condor/image/bg.bmp" >"$bg"
run_dummy -d "$bad"
expect_error "picture with its pixels cut short" "Unable to load image $bg: "
head -c 30 "$data/condor/image/bg.bmp" >"$bg"
run_dummy -d "$bad"
expect_error "picture with its header cut short" "Unable to load image $bg: "
# 257 bits per pixel, with all the pixel data that takes: classic SDL makes a
# surface it cannot copy from, which crashed the program on its first drawing.
cp "$data/condor/image/bg.bmp" "$bg"
poke "$bg" 28 '\0001\0001'
read -r width height <<<"$(od -An -t u4 -j 18 -N 8 "$bg")"
# shellcheck disable=SC2017 # rows are padded to whole 32-bit words
truncate -s $((54 + height * ((width * 257 + 31) / 32 * 4))) "$bg"
run_dummy -d "$bad"
expect_error "picture of 257 bits per pixel" "Unable to load image $bg: "
# The fuzzer's 118 bytes: 16383 x -2^31 at 32 bits, a height SDL keeps negative
# with no pixels behind it; zooming it for the menu crashed the program.
{
  printf 'BM\x76\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xff\x3f\0\0\0\0\0\x80\x01\0\x20\0'
  printf '\0\0\0\0\x40\0\0\0\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0'
  head -c 64 /dev/zero
} >"$bg"
[ "$(wc -c <"$bg")" = 118 ] || fail "the picture of height -2^31 is not 118 bytes"
run_dummy -d "$bad"
expect_error "picture of height -2^31" "Unable to load image $bg: "

# --- A game's segments and sounds, loaded when the game starts from the menu.
xs_start
# Start the third game (Monkey) on the damaged data; it must fail as it loads.
start_monkey() {
  xs_run -d "$bad"
  xs_wait_window
  xs_wait_frame "$XS_WORK/menu.png"
  xs_key Down
  xs_key Down
  xs_key Return
  xs_wait_exit 60
  [ -z "$(xdotool search --name "^${XS_TITLE}\$" 2>/dev/null)" ] || fail "a window is left open"
}

fresh
segment=$bad/monkey/image/im_item_2_3.bmp
head -c 100 "$data/monkey/image/im_item_2_3.bmp" >"$segment"
start_monkey
expect_error "segment picture cut short" "Unable to load image $segment: "

fresh
sound=$bad/monkey/sound/Got.wav
: >"$sound"
start_monkey
expect_error "empty sound" "Unable to load sound sample $sound: "
printf 'This is a text file and no sound at all.\n' >"$sound"
start_monkey
expect_error "sound that is not a WAV" "Unable to load sound sample $sound: "
cp "$data/monkey/image/bg.bmp" "$sound"
start_monkey
expect_error "sound that is a picture" "Unable to load sound sample $sound: "
head -c 1000 "$data/monkey/sound/Got.wav" >"$sound"
start_monkey
expect_error "sound with its samples cut short" \
  "Unable to load sound sample $sound: "
# A data chunk that claims about 4 GB: SDL read it out of bounds before failing.
offset=$(grep -obUa data "$sound" | head -n 1 | cut -d : -f 1)
[ -n "$offset" ] || fail "no data chunk in $sound"
poke "$sound" $((offset + 4)) '\0360\0377\0377\0377'
start_monkey
expect_error "sound whose data chunk claims 4 GB" \
  "Unable to load sound sample $sound: "
cp "$data/monkey/sound/Got.wav" "$sound"
poke "$sound" 24 '\0012\0000\0000\0000' # 10 Hz: the mixer's conversion would overrun
start_monkey
expect_error "sound of 10 Hz" "Unable to load sound sample $sound: "

echo "ALL PASSED"
