#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The desktop files as distributions check them: the menu entry with
# desktop-file-validate, the AppStream metadata with appstreamcli (no network),
# the manual page with man's warnings, the changelog with dpkg's parser, the
# icon theme's PNGs, and the names they give each other.
# Usage: bash files_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=${1:?usage: files_test.sh BUILD_DIR SOURCE_DIR}
source=${2:?usage: files_test.sh BUILD_DIR SOURCE_DIR}
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# check WHAT COMMAND...: the command succeeds and prints no warning or error.
check() {
  local what=$1 out
  shift
  if out=$("$@" 2>&1) && ! grep -qE '^(W|E): |warning:|error:' <<<"$out"; then
    echo "PASS: $what"
  else
    fail "$what: $out"
  fi
}

for tool in desktop-file-validate appstreamcli man identify dpkg-parsechangelog; do
  command -v "$tool" >/dev/null ||
    { echo "FAIL: $tool is missing (Debian: desktop-file-utils, appstream, man-db, imagemagick, dpkg-dev)" >&2; exit 1; }
done

entry=$(echo "$source"/desktop/*.desktop)
metainfo=$(echo "$build"/desktop/*.metainfo.xml)
manual=$build/desktop/zentick.6.gz
check "menu entry $(basename "$entry")" desktop-file-validate "$entry"
check "metainfo $(basename "$metainfo")" appstreamcli validate --no-net "$metainfo"
# As lintian reads manual pages: every warning of groff, and nothing else.
# shellcheck disable=SC2016  # $1 is the inner shell's
check "manual page" bash -c 'LC_ALL=C.UTF-8 MANROFFSEQ="" MANWIDTH=80 \
  man --warnings -E UTF-8 -l -Tutf8 -Z "$1" >/dev/null' man "$manual"
check "changelog" dpkg-parsechangelog -l "$build/desktop/changelog"

# The manual names every option of the usage text.
text=$(MANWIDTH=200 man -l "$manual" 2>/dev/null)
for option in $("$build/zentick" -h | grep -oE -- '--[a-z-]+'); do
  grep -qF -- "$option" <<<"$text" || fail "the manual does not describe $option"
done

# The metainfo launches the menu entry, which shows the icon drawn at each size.
grep -qF "<launchable type=\"desktop-id\">$(basename "$entry")</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $(basename "$entry")"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 32 48 64 128 256; do
  png=$build/icons/hicolor/${size}x$size/apps/$icon.png
  got=$(identify -format '%m %wx%h %[channels]' "$png" 2>&1)
  [ "$got" = "PNG ${size}x$size srgba" ] || fail "icon $png: $got"
done

# Screenshots are named from the captures the end-to-end tests write, which
# the README lists.
captures=$(sed -n '/^## Captures/,/^## /p' "$source/README.md")
shots=$(grep -oE '<image>[^<]*</image>' "$metainfo" | sed -E 's|.*/([^/<]+)</image>|\1|')
[ -n "$shots" ] || fail "the metainfo has no screenshots"
for shot in $shots; do
  grep -qF "\`$shot\`" <<<"$captures" || fail "screenshot $shot is not one of the captures"
done

[ "$failures" = 0 ] || exit 1
echo "ALL PASSED"
