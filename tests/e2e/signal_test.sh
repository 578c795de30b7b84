#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End to end: SIGINT and SIGTERM end the program as closing the window in the
# menu does (game left, platform finalised, status 0, nothing on stderr),
# whatever the program is doing; how long each took is printed, and only a
# program still running long after the signal (a hang) fails. 100 signals, a
# random mix of the two at random moments: 75 in the menu (dummy drivers) and
# 25 in a game being played (in Xvfb, started with xdotool); half of each on
# sdl12-compat when it is installed. ZT_SIGNAL_SEED replays a run.
# Usage: bash signal_test.sh path/to/zentick   (its data folder stands beside it)
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=xsession.sh
source "$here/xsession.sh"

zentick=$(readlink -f "${1:?usage: signal_test.sh path/to/zentick}")
[ -x "$zentick" ] || fail "no program at $zentick"
[ -d "$(dirname "$zentick")/data" ] || fail "no built-in data beside $zentick"
compat=/usr/lib/x86_64-linux-gnu/sdl12-compat
[ -e "$compat/libSDL-1.2.so.0" ] || fail "sdl12-compat is missing (Debian: libsdl1.2-compat)"
# In a sanitizer build the leak check at exit symbolises the library leaks it
# suppresses (see lsan.supp), which takes longer than the program's own end;
# suppressions match by library name without it.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}symbolize=0"
# sdl12-compat and SDL 2 leave blocks behind at exit (the video surface, D-Bus,
# libraries they unload), so leaks are checked on SDL 1.2 only, where the
# program's code is the same.
compat_asan_options="$ASAN_OPTIONS:detect_leaks=0"
seed=${ZT_SIGNAL_SEED:-$$}
RANDOM=$seed
echo "seed $seed"

# The library of run $1: every other run uses sdl12-compat.
library() { if [ $(($1 % 2)) = 1 ]; then echo "$compat"; fi; }
library_name() { if [ $(($1 % 2)) = 1 ]; then echo sdl12-compat; else echo SDL 1.2; fi; }

# Starts the program in the background with default actions for both signals:
# a non-interactive shell starts background jobs with SIGINT ignored, which the
# program rightly leaves ignored.
start() {
  local lib=$1 asan_options=$ASAN_OPTIONS
  [ -n "$lib" ] && asan_options=$compat_asan_options
  ASAN_OPTIONS=$asan_options LD_LIBRARY_PATH=$lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} \
    env --default-signal=INT,TERM "$zentick" >"$XS_WORK/stdout" 2>"$XS_WORK/stderr" &
  XS_PID=$!
}

# Sleeps a random time of 0 to $1 ms.
random_sleep() { sleep "$(printf '0.%03d' $((RANDOM % $1)))"; }

# Sends a random one of SIGINT and SIGTERM and checks that the program ends,
# cleanly; its time is reported, not judged (a busy machine delays it), and
# only half a minute without an end, a hang, fails. $1 describes the moment.
hang_s=30
signal_and_check() {
  local what=$1 sig=TERM start_us end_us
  [ $((RANDOM % 2)) = 0 ] && sig=INT
  kill -0 "$XS_PID" 2>/dev/null || fail "$what: the program ended before the signal: $(cat "$XS_WORK/stderr")"
  start_us=${EPOCHREALTIME/./}
  kill -"$sig" "$XS_PID"
  while kill -0 "$XS_PID" 2>/dev/null; do
    end_us=${EPOCHREALTIME/./}
    [ $((end_us - start_us)) -gt $((hang_s * 1000000)) ] && break
    sleep 0.01
  done
  end_us=${EPOCHREALTIME/./}
  if kill -0 "$XS_PID" 2>/dev/null; then
    kill -KILL "$XS_PID"
    wait "$XS_PID"
    XS_PID=""
    fail "$what: still running $hang_s s after SIG$sig"
  fi
  wait "$XS_PID"
  local status=$?
  XS_PID=""
  [ "$status" = 0 ] || fail "$what: SIG$sig ended the program with status $status: $(cat "$XS_WORK/stderr")"
  [ ! -s "$XS_WORK/stderr" ] || fail "$what: SIG$sig: output on stderr: $(cat "$XS_WORK/stderr")"
  local ms=$(((end_us - start_us) / 1000))
  echo "$what: SIG$sig, ended in $ms ms"
  [ "$ms" -gt "$slowest" ] && slowest=$ms
  count=$((count + 1))
}

# True when the program has its font open: start-up is past the platform's
# initialisation and the menu is about to run (a handful of milliseconds).
font=$(dirname "$zentick")/data/zentick/andalemo.ttf
font_open() {
  local fd
  for fd in "/proc/$XS_PID/fd/"*; do
    [ "$fd" -ef "$font" ] && return 0
  done
  return 1
}

count=0
slowest=0
# --- In the menu, with the dummy drivers: 0 to 500 ms after start-up.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
for run in $(seq 75); do
  start "$(library "$run")"
  deadline=$((SECONDS + 60))
  until font_open || ! kill -0 "$XS_PID" 2>/dev/null || [ "$SECONDS" -gt "$deadline" ]; do
    sleep 0.01
  done
  font_open || fail "menu run $run: the program did not get its font open: $(cat "$XS_WORK/stderr")"
  random_sleep 500
  signal_and_check "menu run $run ($(library_name "$run"))"
done
pass "75 signals in the menu ended the program with status 0, the slowest in $slowest ms ($SECONDS s so far)"

# --- In a game, in Xvfb: Condor opened, switched on and Game A started with
# the keys queued at once, then 300 to 1500 ms of play. The first run checks
# that the keys do leave the menu for the game; captures are too slow for all.
xs_start
slowest=0
for run in $(seq 25); do
  start "$(library "$run")"
  xs_wait_window
  [ "$run" = 1 ] && xs_wait_frame "$XS_WORK/menu.png"
  xs_key Return
  xs_key Return
  xs_key 1
  xs_key 1
  [ "$run" = 1 ] && xs_wait_moved "$XS_WORK/menu.png" "$XS_WORK/game.png"
  sleep 0.3
  random_sleep 1200
  signal_and_check "game run $run ($(library_name "$run"))"
done
pass "25 signals during a game ended the program with status 0, the slowest in $slowest ms ($SECONDS s in all)"

[ "$count" = 100 ] || fail "$count signals checked, expected 100"
echo "ALL PASSED"
