#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The floor of a Linux core: it must load on glibc 2.17 and need no C++ or
# GCC run-time library. Fails, listing the offending symbols and libraries,
# when a versioned symbol is above GLIBC_2.17, any GLIBCXX_, CXXABI_ or GCC_
# version (or another library's) is needed, or a library beyond libc, libm,
# libdl, libpthread and the loader; else prints the newest glibc it needs.
# Usage: glibc_floor.sh BINUTILS_PREFIX CORE_FILE   (the prefix of readelf)
set -euo pipefail
readelf=${1:+$1-}readelf file=$2

# "Version needs" names every version the file asks for, symbol by symbol in
# the dynamic symbol table (weak references too: a missing weak version
# fails as well on some glibc).
symbols=$(LC_ALL=C "$readelf" -W --dyn-syms "$file" |
  awk '$7 == "UND" && $8 ~ /@/ { split($8, name, "@"); print name[1], name[2] }')
offending=$(awk '{
  if ($2 ~ /^GLIBC_[0-9.]+$/) {
    split(substr($2, 7), v, ".")
    if (v[1] < 2 || (v[1] == 2 && v[2] + 0 <= 17)) next
  }
  print "  " $1 " (" $2 ")"
}' <<<"$symbols" | sort -u)
libraries=$(LC_ALL=C "$readelf" -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' |
  grep -Ev '^(libc\.so\.6|libm\.so\.6|libdl\.so\.2|libpthread\.so\.0|ld-linux[-a-z0-9_.]*\.so\.[0-9])$' |
  sed 's/^/  /' || true)
if [ -n "$offending$libraries" ]; then
  echo "$file needs more than glibc 2.17:"
  [ -z "$offending" ] || echo "$offending"
  [ -z "$libraries" ] || echo "$libraries"
  exit 1
fi
awk '{ print $2 }' <<<"$symbols" | sort -uV | tail -1
