#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up what is missing, builds everything Zentick ships and writes dist/:
#   zentick_VERSION_amd64.deb                     the Debian package (cpack in build/)
#   zentick_libretro-VERSION-TARGET.zip           the libretro core and its info file, for
#                                                 linux-x86_64, windows-x86_64, linux-aarch64
#                                                 and linux-armhf (the data pack inside), with
#                                                 LICENSE and LICENSE.font (the font's licence)
#   zentick-web-VERSION.zip                       the web page's folder (build-web/site, its
#                                                 LICENSE and LICENSE.font included)
#   zentick-games-VERSION.zip                     the games kit (build/kit): content files,
#                                                 playlist, thumbnails, gamelist, licences
# each with a FILE.sha256 beside it (`sha256sum -c FILE.sha256` checks it).
# Usage: scripts/release.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" --test  # the package tools, cross compilers and emscripten
jobs="$(nproc)"
dist="$root/dist"
stage="$root/build/release"
rm -rf "$dist" "$stage"
mkdir -p "$dist" "$stage"

# The native build: the package, the data pack the cores carry, the native core.
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j "$jobs"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/CMakeCache.txt")
(cd "$root/build" && cpack -G DEB >/dev/null)
cp "$root/build/zentick_${version}_amd64.deb" "$dist/"
pack="$root/build/zentick.pack"
[ -f "$pack" ] || pack=""

# zip NAME FOLDER: the files of FOLDER, at the top of the archive.
zip_folder() {
  (cd "$2" && cmake -E tar cf "$dist/$1" --format=zip -- *)
}

core_zip() {  # core_zip TARGET CORE_FILE INFO_FILE
  mkdir -p "$stage/$1"
  # The licences beside the core: Zentick's, and the font's, as the core
  # carries the font in its data pack (LICENSE.font is the native build's).
  cp "$2" "$3" "$root/LICENSE" "$root/build/LICENSE.font" "$stage/$1/"
  zip_folder "zentick_libretro-$version-$1.zip" "$stage/$1"
}

# The cores, in the folders the cross tests use; the x86-64 Linux one too
# (this machine's compiler, built as the other Linux cores to load on glibc
# 2.17 without the system's C++ run-time, unlike the package's native core).
for entry in x86_64-linux-gnu:linux-x86_64:zentick_libretro.so \
  mingw-w64-x86_64:windows-x86_64:zentick_libretro.dll \
  aarch64-linux-gnu:linux-aarch64:zentick_libretro.so \
  arm-linux-gnueabihf:linux-armhf:zentick_libretro.so; do
  IFS=: read -r toolchain target file <<<"$entry"
  dir="$root/build/cross/$toolchain"
  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/$toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DZT_CORE_PACK="$pack" >/dev/null
  cmake --build "$dir" -j "$jobs" --target zentick_libretro
  core_zip "$target" "$dir/$file" "$dir/zentick_libretro.info"
done

# The games kit, as its own folder, with the licences (its pictures show
# text drawn with the font).
kit="$stage/games/zentick-games-$version"
mkdir -p "$stage/games"
cp -r "$root/build/kit" "$kit"
cp "$root/LICENSE" "$root/build/LICENSE.font" "$kit/"
zip_folder "zentick-games-$version.zip" "$stage/games"

# The web page, as its own folder.
"$root/scripts/web.sh" --no-serve
mkdir -p "$stage/web"
cp -r "$root/build-web/site" "$stage/web/zentick-web-$version"
zip_folder "zentick-web-$version.zip" "$stage/web"

cd "$dist"
for file in *; do sha256sum "$file" >"$file.sha256"; done
echo "Written to $dist:"
ls -l "$dist"
