#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# End-to-end checks of the command line: the usage text, the error line for a
# data folder without the font, and which folder -d and the default name.
# Usage: bash cli_test.sh path/to/zentick
set -u

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: bash $0 path/to/zentick" >&2
  exit 2
fi
program=$(readlink -f "$1")
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  echo "  status: $status" >&2
  echo "  stdout: $(head -c 400 "$work/out" | od -An -c | head -5)" >&2
  echo "  stderr: $(head -c 400 "$work/err")" >&2
  failures=$((failures + 1))
}

# run DIR PROGRAM ARGS...: runs PROGRAM in DIR for at most $limit seconds; sets
# $status, output in $work/out and $work/err.
limit=60
run() {
  local dir=$1
  shift
  (cd "$dir" && exec timeout "$limit" "$@" >"$work/out" 2>"$work/err")
  status=$?
}

# True when process $1 has the file $2 open.
has_open() {
  local fd
  for fd in "/proc/$1/fd/"*; do
    [ "$fd" -ef "$2" ] && return 0
  done
  return 1
}

# run_past_font DIR FONT PROGRAM ARGS...: as run, but once the program has
# FONT open it is stopped (past the font it may go on to its menu) and $status
# is 124, as for a run cut short; one that never opens it is stopped at the
# limit with the status of SIGKILL.
run_past_font() {
  local dir=$1 font=$2 pid opened="" deadline=$((SECONDS + limit))
  shift 2
  (cd "$dir" && exec "$@" >"$work/out" 2>"$work/err") &
  pid=$!
  while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -le "$deadline" ]; do
    if has_open "$pid" "$font"; then
      opened=yes
      break
    fi
    sleep 0.05
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid"
  status=$?
  if [ -n "$opened" ]; then status=124; fi
}

# True when stderr holds exactly one line and it starts with "Unable to load font: ".
font_error_line() {
  [ "$(wc -l <"$work/err")" -eq 1 ] &&
    [ "$(head -n 1 "$work/err" | wc -c)" -eq "$(wc -c <"$work/err")" ] &&
    grep -q '^Unable to load font: ' "$work/err"
}

# Did the program get past loading the font? It either ended (status 0, or 1 on
# a later error such as a missing picture) or was still running when stopped.
got_past_font() {
  ! grep -q 'Unable to load font' "$work/err" &&
    { [ "$status" -eq 0 ] || [ "$status" -eq 1 ] || [ "$status" -eq 124 ]; }
}

printf '\n\nUsage: \n\n -h  --help  \t\t\t\tPrints this help \n -d  --data-path /dir\t\tData files path \n\n\n' \
  >"$work/usage"

# The usage text, byte for byte, and nothing else: no window, no sound, no error.
for args in "-h" "--help -d x" "--help" "-d x -h"; do
  # shellcheck disable=SC2086  # the arguments are split on purpose
  run "$work" "$program" $args
  if [ "$status" -ne 0 ] || ! cmp -s "$work/out" "$work/usage" || [ -s "$work/err" ]; then
    fail "zentick $args must print exactly the usage text and end with status 0"
  fi
done

# A data folder without the font: one error line, status 1, for both spellings.
mkdir -p "$work/empty"
for option in -d --data-path; do
  run "$work" "$program" "$option" "$work/empty"
  if [ "$status" -ne 1 ] || ! font_error_line || [ -s "$work/out" ]; then
    fail "zentick $option <folder without font> must print one 'Unable to load font: ' line, status 1"
  fi
done

# Folders with a usable font, to tell which folder the program reads. Past the
# font the program may go on to its menu, so those runs are cut short there.
font=$(find /usr/share/fonts -name 'DejaVuSans*.ttf' 2>/dev/null | sort | head -n 1)
if [ -z "$font" ]; then
  echo "FAIL: no DejaVu font found under /usr/share/fonts (package fonts-dejavu-core)" >&2
  exit 1
fi
with_font() {
  mkdir -p "$1/zentick"
  cp "$font" "$1/zentick/andalemo.ttf"
}

# A relative -d path is relative to the current directory, not to the program.
mkdir -p "$work/start" "$work/elsewhere"
with_font "$work/start/rel"
run_past_font "$work/start" "$work/start/rel/zentick/andalemo.ttf" "$program" -d rel
got_past_font || fail "zentick -d rel started in a folder holding rel/ must find rel/zentick/andalemo.ttf"
run "$work/elsewhere" "$program" -d rel
if [ "$status" -ne 1 ] || ! font_error_line; then
  fail "zentick -d rel started in a folder without rel/ must not find a font"
fi

# Without -d the data folder is the one beside the program, wherever it is started.
mkdir -p "$work/bin"
cp "$program" "$work/bin/zentick"
with_font "$work/start/data"
run "$work/start" "$work/bin/zentick"
if [ "$status" -ne 1 ] || ! font_error_line; then
  fail "zentick without -d must not read the data folder of the current directory"
fi
with_font "$work/bin/data"
run_past_font "$work/elsewhere" "$work/bin/data/zentick/andalemo.ttf" "$work/bin/zentick"
got_past_font || fail "zentick without -d must read the data folder beside the program"

if [ "$failures" -ne 0 ]; then
  echo "cli_test: $failures check(s) failed" >&2
  exit 1
fi
echo "cli_test: all checks passed"
