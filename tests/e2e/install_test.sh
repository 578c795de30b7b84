#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installation: `cmake --install` into a fresh prefix lays the program,
# its data and the desktop files out as the file-system hierarchy has them, and
# gives a `zentick` command that finds its data and runs, from any directory,
# in a private X server.
# Usage: bash install_test.sh path/to/zentick   (ZT_BUILD_DIR names the build folder)
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=xsession.sh
source "$here/xsession.sh"

build=${ZT_BUILD_DIR:?ZT_BUILD_DIR names the build folder}
prefix=$XS_WORK/prefix
cmake --install "$build" --prefix "$prefix" >"$XS_WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$XS_WORK/install.log")"
zentick=$prefix/bin/zentick
{ [ -f "$zentick" ] && [ -x "$zentick" ]; } || fail "no zentick program in $prefix/bin: $(ls -R "$prefix")"
for file in share/zentick/data/zentick/andalemo.ttf share/zentick/data/monkey/image/bg.bmp \
  share/applications/org.zentick.Zentick.desktop share/metainfo/org.zentick.Zentick.metainfo.xml \
  share/icons/hicolor/32x32/apps/zentick.png share/icons/hicolor/256x256/apps/zentick.png \
  share/man/man6/zentick.6.gz; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ ! -e "$prefix/bin/data" ] || fail "data beside the installed program"
pass "installed $zentick, its data in share/zentick/data, menu entry, metainfo, icons, manual"

# Help needs no display and no data.
(cd / && env -u DISPLAY "$zentick" -h >"$XS_WORK/help" 2>&1) || fail "zentick -h failed"
grep -q -- "--data-path" "$XS_WORK/help" || fail "zentick -h: $(cat "$XS_WORK/help")"
pass "zentick -h prints the usage"

# A short real run from an unrelated directory, on the PATH, with the installed data.
xs_start
cd "$XS_WORK" || fail "cannot enter $XS_WORK"
PATH=$prefix/bin:$PATH
zentick=zentick
# shellcheck disable=SC2119  # no arguments: the installed data
xs_menu_game_menu
xs_key Escape
xs_wait_exit 60
[ "$XS_STATUS" = 0 ] || fail "installed run: status $XS_STATUS: $(cat "$XS_WORK/stderr")"
[ ! -s "$XS_WORK/stderr" ] || fail "installed run wrote errors: $(cat "$XS_WORK/stderr")"
pass "the installed zentick finds its data, shows the menu, runs a game and ends with status 0"
echo "ALL PASSED"
