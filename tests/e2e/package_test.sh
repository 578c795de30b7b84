#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package: made with CPack from the build folder, clean for lintian,
# installed with apt-get on this machine (CI's is thrown away after the run);
# the `zentick` command on a user's PATH then finds its data and runs in a
# private X server, and removing the package leaves none of its files behind.
# Usage: bash package_test.sh path/to/zentick   (ZT_BUILD_DIR names the build folder)
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=xsession.sh
source "$here/xsession.sh"

build=${ZT_BUILD_DIR:?ZT_BUILD_DIR names the build folder}
if [ "$(id -u)" != 0 ]; then
  echo "SKIP: installing a package needs root"
  exit 0
fi
if dpkg-query -W -f='${Status}' zentick 2>/dev/null | grep -q installed; then
  echo "SKIP: a zentick package is installed already, which this test leaves alone"
  exit 0
fi
for tool in cpack lintian apt-get dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || fail "$tool is missing (Debian: cmake, lintian, apt, dpkg-dev)"
done

installed=""
pkg_cleanup() {
  if [ -n "$installed" ]; then
    env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q zentick >/dev/null 2>&1 </dev/null
  fi
  xs_cleanup
}
trap pkg_cleanup EXIT
apt_get() {
  env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300 "$@" \
    >>"$XS_WORK/apt.log" 2>&1 </dev/null
}

# --- Made and checked.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$XS_WORK/pkg" >"$XS_WORK/cpack.log" 2>&1 ||
  fail "cpack: $(tail -n 20 "$XS_WORK/cpack.log")"
deb=$(echo "$XS_WORK"/pkg/zentick_*.deb)
[ -f "$deb" ] || fail "no zentick_*.deb in $XS_WORK/pkg"
lintian --fail-on error "$deb" >"$XS_WORK/lintian.log" 2>&1 || fail "lintian: $(cat "$XS_WORK/lintian.log")"
# The changelog and the copyright file are written by our build: no warning on them either.
! grep -qE '^[EW]: .*(changelog|copyright)' "$XS_WORK/lintian.log" || fail "lintian: $(cat "$XS_WORK/lintian.log")"
pass "$(basename "$deb") made; lintian reports no errors, and no warnings on the changelog or copyright"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section $(dpkg-deb -f "$deb" Section)"
case $(dpkg-deb -f "$deb" Depends) in
  *libsdl-mixer1.2*) ;;
  *) fail "the dependencies miss the libraries: $(dpkg-deb -f "$deb" Depends)" ;;
esac
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 3 ] || fail "no long description"
pass "section games, dependencies from the libraries, a long description"

# --- Installed, as a user would.
installed=yes
(cd "$XS_WORK/pkg" && apt_get install --no-install-recommends ./zentick_*.deb) ||
  fail "apt-get install: $(tail -n 20 "$XS_WORK/apt.log")"
dpkg-query -L zentick >"$XS_WORK/files"
export PATH=/usr/local/bin:/usr/bin:/bin:/usr/games # Debian's PATH for users
zentick=$(command -v zentick) || fail "no zentick command on $PATH"
pass "installed: $zentick"
# The copyright file's paragraphs for single files name them as installed.
while read -r path; do
  [ "$path" = "*" ] || grep -qxF "/$path" "$XS_WORK/files" || fail "the copyright file names $path, not installed"
done < <(sed -n 's/^Files: //p' /usr/share/doc/zentick/copyright | tr ' ' '\n')

(cd / && env -u DISPLAY zentick -h >"$XS_WORK/help" 2>&1) || fail "zentick -h failed"
grep -q -- "--data-path" "$XS_WORK/help" || fail "zentick -h: $(cat "$XS_WORK/help")"
xs_start
cd / || fail "cannot enter /"
# shellcheck disable=SC2119  # no arguments: the installed data
xs_menu_game_menu
xs_close # closing the window in the menu quits
xs_wait_exit 60
[ "$XS_STATUS" = 0 ] || fail "installed run: status $XS_STATUS: $(cat "$XS_WORK/stderr")"
[ ! -s "$XS_WORK/stderr" ] || fail "installed run wrote errors: $(cat "$XS_WORK/stderr")"
pass "zentick on the PATH finds its data, shows the menu and a game, closes with status 0"

# --- Removed.
apt_get purge zentick || fail "apt-get purge: $(tail -n 20 "$XS_WORK/apt.log")"
installed=""
! dpkg-query -W -f='${Status}' zentick 2>/dev/null | grep -q installed || fail "still installed"
left=()
while read -r file; do
  # Folders shared with other packages stay; the package's own must go.
  if [ -f "$file" ] || [ -L "$file" ] || { [ -d "$file" ] && [[ $file == */zentick* ]]; }; then
    left+=("$file")
  fi
done <"$XS_WORK/files"
[ ${#left[@]} = 0 ] || fail "left behind: ${left[*]}"
pass "apt-get purge leaves none of the package's $(wc -l <"$XS_WORK/files") files and folders"
echo "ALL PASSED"
