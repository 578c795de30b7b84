#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The desktop files as distributions check them: the menu entry with
# desktop-file-validate, the AppStream metadata with appstreamcli (no network),
# the manual page with man's warnings, the changelog and the copyright file
# with dpkg's parsers, the icon theme's PNGs, and the names and licences they
# give each other.
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

for tool in desktop-file-validate appstreamcli man identify dpkg-parsechangelog perl; do
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

# The copyright file as Debian reads it: deb822 paragraphs (dpkg's parser),
# DEP-5's header, a text for every licence named, the font's in LICENSE.font
# too; prints FILES<TAB>LICENCE for each Files paragraph.
# shellcheck disable=SC2016  # Perl's variables
dep5=$(perl -MDpkg::Control::HashCore -e '
  my $format = "https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/";
  open(my $in, "<", $ARGV[0]) or die "$ARGV[0]: $!\n";
  my ($p, %text, @files) = Dpkg::Control::HashCore->new;
  $p->parse($in, $ARGV[0]) && ($p->{Format} // "") eq $format or die "no header Format: $format\n";
  while (($p = Dpkg::Control::HashCore->new)->parse($in, $ARGV[0])) {
    my ($name, $text) = split /\n/, $p->{License} // die("a paragraph without License\n"), 2;
    $text{$name} = $text if defined $text;
    if (!defined $p->{Files}) { defined $text or die "License: $name without its text\n"; next }
    $p->{Copyright} or die "Files: $p->{Files} without Copyright\n";
    push @files, [$p->{Files}, $name];
  }
  open(my $n, "<", $ARGV[1]) or die "$ARGV[1]: $!\n";
  (my $notice = join "", <$n>) =~ s/\s+/ /g;
  for my $f (@files) {
    for (split / and | or /, $f->[1]) { defined $text{$_} or die "no text of the licence $_\n" }
    (my $t = $f->[0] =~ /andalemo\.ttf$/ ? $text{$f->[1]} : "") =~ s/^\s*\.$//mg;
    index($notice, $t =~ s/\s+/ /gr =~ s/^ | $//gr) >= 0 or die "$ARGV[1] lacks the font licence\n";
    print "$f->[0]\t$f->[1]\n";
  }' "$build/desktop/copyright" "$build/LICENSE.font" 2>&1) || fail "copyright file: $dep5"
# One licence for Zentick wherever it is named; the font has its own.
licence=$(sed -n 's|.*<project_license>\(.*\)</project_license>|\1|p' "$metainfo")
core_licence=$(sed -n 's/^license = "\(.*\)"$/\1/p' "$build/zentick_libretro.info")
if [ -z "$licence" ] || [ "$core_licence" != "$licence" ] || ! grep -qxF "*	$licence" <<<"$dep5"; then
  fail "licences: metainfo '$licence', core info '$core_licence', copyright file: $dep5"
fi
font=$(sed -n 's|^[^\t]*/zentick/andalemo\.ttf\t||p' <<<"$dep5")
if [ -z "$font" ] || [ "$font" = "$licence" ]; then fail "the font has no licence of its own: $dep5"; fi

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
