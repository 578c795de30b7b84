#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End to end under valgrind's memcheck: a whole session in a private X server
# (the menu, each of the six games switched on and played for a few seconds,
# zoom, leaving, quitting) must show no invalid read or write, no use of an
# uninitialised value and no definitely lost block. valgrind.supp silences only
# reports that stay inside SDL, X11 or the audio libraries.
# Usage: bash memcheck_test.sh path/to/zentick   (its data folder stands beside it)
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=xsession.sh
source "$here/xsession.sh"

program=$(readlink -f "${1:?usage: memcheck_test.sh path/to/zentick}")
[ -x "$program" ] || fail "no program at $program"
[ -d "$(dirname "$program")/data" ] || fail "no built-in data beside $program"
case $(ldd "$program") in
  *libasan*)
    echo "SKIP: $program is built with AddressSanitizer, which valgrind cannot run"
    exit 0
    ;;
esac
command -v valgrind >/dev/null || fail "valgrind is missing (Debian: valgrind)"

log=$XS_WORK/memcheck.log
# Under memcheck the program runs tens of times slower (SDL2 takes a while to
# bring up its GL renderer), so every wait of xsession.sh gets ten times its
# deadline.
XS_SLOW=10
# Like xs_run, with the program under memcheck; its report goes to $log.
vg_run() {
  XS_WINDOW=""
  valgrind --tool=memcheck --error-exitcode=99 --num-callers=40 \
    --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --suppressions="$here/valgrind.supp" --gen-suppressions=all --log-file="$log" \
    "$program" >"$XS_WORK/stdout" 2>"$XS_WORK/stderr" &
  XS_PID=$!
}

# A few seconds of play in the game just opened from the menu: power on, the
# watch, Game A with the character moving, the zoom levels, volume, Game B
# pressed during play, power off.
play() {
  local name=$1
  xs_key Return
  sleep 1
  xs_key 1
  xs_key 1
  sleep 1
  for key in Left Left Right Right Right Left; do
    xs_key "$key"
    sleep 0.3
  done
  xs_key 9
  sleep 0.5
  xs_key 8
  sleep 0.5
  xs_key 7
  xs_key plus
  xs_key minus
  xs_key 2
  sleep 1
  xs_key 3
  xs_key BackSpace
  sleep 0.5
  pass "$name played"
}

xs_start
vg_run
xs_wait_window
page=$XS_WORK/menu0.png
xs_wait_frame "$page"
names=(condor defendo monkey pancake pirate rollerc)
for i in "${!names[@]}"; do
  name=${names[$i]}
  xs_key Return
  xs_wait_change "$page" "$XS_WORK/${name}_off.png"
  play "$name"
  xs_key Escape
  xs_wait_same "$page" "$XS_WORK/${name}_back.png" || fail "$name: Escape did not return to the menu"
  if [ "$i" -lt 5 ]; then
    xs_key Down
    xs_wait_change "$page" "$XS_WORK/menu$((i + 1)).png"
    page=$XS_WORK/menu$((i + 1)).png
  fi
done
xs_key Escape
# The leak check at the end takes valgrind a while (the deadline is scaled too).
xs_wait_exit 60

summary=$(grep 'ERROR SUMMARY' "$log" | tail -n 1)
if [ "$XS_STATUS" != 0 ] || ! grep -q 'ERROR SUMMARY: 0 errors' "$log"; then
  echo "memcheck report ($log):" >&2
  grep -v '^--' "$log" | sed -n '/^==[0-9]*== [A-Z]/,$p' | head -n 150 >&2
  fail "memcheck: status $XS_STATUS; $summary"
fi
[ ! -s "$XS_WORK/stderr" ] || fail "unexpected error output: $(cat "$XS_WORK/stderr")"
pass "memcheck over the whole session: ${summary#*== }"
grep -E 'definitely lost|in use at exit' "$log" | sed 's/^==[0-9]*== */  /'
echo "ALL PASSED"
