# SPDX-License-Identifier: MIT
# shellcheck shell=bash disable=SC2034  # sourced: the scripts read the XS_ variables
# Helpers for the end-to-end scripts: a private Xvfb server, the program under
# test in it, keys through xdotool, window captures and picture comparisons.
# Sourced, not run; every wait is for an event or a state, with a deadline on
# the clock, and the trap cleans up after us.

XS_TITLE="Zentick simulator - by Quorvex & Selvane"
XS_WORK=$(mktemp -d "${TMPDIR:-/tmp}/zt-e2e.XXXXXX")
XS_XVFB=""
XS_PID=""
XS_WINDOW=""
XS_STATUS=""
# Every deadline below is multiplied by this: a script that runs the program
# under valgrind sets it higher.
XS_SLOW=1

# In a sanitizer build, leaks inside libX11 are not ours to report.
XS_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export LSAN_OPTIONS="suppressions=$XS_HERE/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

pass() { echo "PASS: $*"; }
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

xs_cleanup() {
  if [ -n "$XS_PID" ] && kill -0 "$XS_PID" 2>/dev/null; then
    # Whatever state it was left in, the program must not outlive the test.
    kill -KILL "$XS_PID" 2>/dev/null
    wait "$XS_PID" 2>/dev/null
  fi
  if [ -n "$XS_XVFB" ] && kill -0 "$XS_XVFB" 2>/dev/null; then
    kill "$XS_XVFB" 2>/dev/null
    wait "$XS_XVFB" 2>/dev/null
  fi
  # ZT_E2E_KEEP=1 keeps the captures and logs for a look after a failure.
  if [ -n "${ZT_E2E_KEEP:-}" ]; then echo "kept $XS_WORK"; else rm -rf "$XS_WORK"; fi
}
trap xs_cleanup EXIT
trap 'exit 1' INT TERM HUP

for tool in Xvfb xdotool xdpyinfo xwininfo import convert compare identify python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing (Debian: xvfb, xdotool, x11-utils, imagemagick, python3)"
done

# A run on sdl12-compat (its folder on LD_LIBRARY_PATH) must really load it into
# the program under test, the scripts' first argument.
if [[ ${LD_LIBRARY_PATH:-} == *sdl12-compat* ]] && [ -n "${1:-}" ]; then
  case $(ldd "$1") in
    *sdl12-compat/libSDL-1.2.so*) ;;
    *) fail "$1 does not load sdl12-compat's libSDL-1.2.so.0 (LD_LIBRARY_PATH=${LD_LIBRARY_PATH:-})" ;;
  esac
fi

# Runs "$@" every tenth of a second until it succeeds (true), or until $1
# seconds, times XS_SLOW, have passed on the clock (false). A deadline rather
# than a count of tries, which a slow moment of the machine would use up; the
# last try comes after the deadline, however long the one before took.
xs_poll() {
  local deadline=$((SECONDS + $1 * XS_SLOW))
  shift
  until "$@"; do
    [ "$SECONDS" -le "$deadline" ] || return 1
    sleep 0.1
  done
}

# Fails when the program under test has ended.
xs_alive() {
  kill -0 "$XS_PID" 2>/dev/null || fail "the program ended: $(cat "$XS_WORK/stderr")"
}

xs_display_reported() {
  [ -s "$XS_WORK/display" ] && return 0
  kill -0 "$XS_XVFB" 2>/dev/null || fail "Xvfb did not start: $(cat "$XS_WORK/xvfb.log")"
  return 1
}
xs_display_answers() { xdpyinfo >/dev/null 2>&1; }

# Start Xvfb on a display it picks itself; a screen as big as the window, so
# that a capture of the root is a capture of the window.
xs_start() {
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset 3>"$XS_WORK/display" 2>"$XS_WORK/xvfb.log" &
  XS_XVFB=$!
  xs_poll 60 xs_display_reported || fail "Xvfb did not report its display"
  local display
  display=$(head -n 1 "$XS_WORK/display")
  export DISPLAY=":$display"
  xs_poll 60 xs_display_answers || fail "cannot reach Xvfb on $DISPLAY: $(cat "$XS_WORK/xvfb.log")"
  unset SDL_VIDEODRIVER SDL_AUDIODRIVER
  # No sound card is needed: the mixer plays into nothing.
  export SDL_AUDIODRIVER=dummy
}

# Start the program ($zentick, set by the script) with the given arguments;
# output goes to $XS_WORK/std{out,err}.
# shellcheck disable=SC2154
xs_run() {
  XS_WINDOW=""
  "$zentick" "$@" >"$XS_WORK/stdout" 2>"$XS_WORK/stderr" &
  XS_PID=$!
}

# True once the program's window is mapped (so that it can take the focus);
# fails when the program ends first.
xs_window_shown() {
  XS_WINDOW=$(xdotool search --onlyvisible --name "^${XS_TITLE}\$" 2>/dev/null | head -n 1)
  [ -n "$XS_WINDOW" ] && return 0
  kill -0 "$XS_PID" 2>/dev/null || fail "the program ended before its window opened: $(cat "$XS_WORK/stderr")"
  return 1
}

# Wait for the program's window (its start-up: SDL, the font, the menu's
# first picture), then give it the keyboard focus.
xs_wait_window() {
  xs_poll 60 xs_window_shown || fail "no window named '$XS_TITLE'"
  xdotool mousemove --window "$XS_WINDOW" 320 240 >/dev/null 2>&1
  xdotool windowfocus "$XS_WINDOW" >/dev/null 2>&1
}

xs_ended() { ! kill -0 "$XS_PID" 2>/dev/null; }

# Wait up to $1 seconds for the program to end; its status goes to XS_STATUS
# ("timeout" if it had to be killed).
xs_wait_exit() {
  if xs_poll "$1" xs_ended; then
    wait "$XS_PID"
    XS_STATUS=$?
  else
    kill -KILL "$XS_PID"
    wait "$XS_PID" 2>/dev/null
    XS_STATUS=timeout
  fi
  XS_PID=""
}

xs_key() {
  kill -0 "$XS_PID" 2>/dev/null || fail "the program ended before key $1: $(cat "$XS_WORK/stderr")"
  xdotool key "$1"
}

# Ask the window to close, as a window manager's close button does.
xs_close() {
  python3 - "$XS_WINDOW" <<'EOF'
import ctypes, sys
x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]

class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.POINTER(Event)]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x11.XFlush(display)
x11.XCloseDisplay(display)
EOF
}

xs_capture() { import -window root "$1" 2>/dev/null || fail "capture into $1 failed"; }

# True when the two pictures have the same pixels.
img_same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
# 1 when the picture has any pixel that is not black, else 0.
img_lit() { identify -format '%[fx:maxima > 0 ? 1 : 0]' "$1"; }
# Bounding box WxH+X+Y of the pixels that differ between two pictures.
img_diffbox() {
  convert "$1" "$2" -compose difference -composite -colorspace gray -threshold 0 -format '%@' info:
}
# Bounding box WxH+X+Y of the red pixels (the menu's selection box).
red_box() { convert "$1" -fuzz 20% -fill black +opaque '#ff0000' -format '%@' info:; }
# "X Y W H" of a WxH+X+Y box.
box_fields() { echo "$1" | sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\3 \4 \1 \2/'; }
box_top() { box_fields "$1" | cut -d ' ' -f 2; }

# Capture into $2; true when it is the same as the capture in $1, else $2
# becomes the new $1.
xs_unchanged() {
  xs_capture "$2"
  img_same "$1" "$2" && return 0
  xs_alive
  cp "$2" "$1"
  return 1
}

# Capture into $1 until the picture stops changing, two captures in a row the
# same: the frames that draw a change are all on the screen.
xs_wait_settled() {
  local previous=$XS_WORK/settling.png
  cp "$1" "$previous"
  xs_poll 30 xs_unchanged "$previous" "$1" || fail "the picture did not settle after $(basename "$1")"
}

# Capture into $1; true when something is drawn in it.
xs_lit() {
  xs_capture "$1"
  [ "$(img_lit "$1")" = 1 ] && return 0
  xs_alive
  return 1
}

# Capture into $1 until something is drawn, then until it has settled.
xs_wait_frame() {
  xs_poll 60 xs_lit "$1" || fail "nothing was drawn"
  xs_wait_settled "$1"
}

# Capture into $2; true when it differs from $1.
xs_differs() {
  xs_capture "$2"
  img_same "$1" "$2" && { xs_alive; return 1; }
  return 0
}

# Capture into $2 until it differs from $1. For a picture that moves by itself
# and so never settles (a game in play, the watch's blinking colon): a capture
# holds one whole frame, as the program puts each on the screen at once.
xs_wait_moved() {
  xs_poll 30 xs_differs "$1" "$2" || fail "the picture did not change from $(basename "$1")"
}

# Capture into $2 until it differs from $1, then until it has settled.
xs_wait_change() {
  xs_wait_moved "$1" "$2"
  xs_wait_settled "$2"
}

# Capture into $2; true when it equals $1.
xs_same() {
  xs_capture "$2"
  img_same "$1" "$2" && return 0
  xs_alive
  return 1
}

# Capture into $2 until it equals $1; false after the deadline.
xs_wait_same() { xs_poll 30 xs_same "$1" "$2"; }

# The program started with the given arguments: the menu, Return into the
# first game, Escape back to the same menu. Captures go to $XS_WORK.
xs_menu_game_menu() {
  xs_run "$@"
  xs_wait_window
  xs_wait_frame "$XS_WORK/menu.png"
  xs_key Return
  xs_wait_change "$XS_WORK/menu.png" "$XS_WORK/game.png"
  xs_key Escape
  xs_wait_same "$XS_WORK/menu.png" "$XS_WORK/menu2.png" || fail "Escape did not return to the menu"
}
