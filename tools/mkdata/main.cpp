// SPDX-License-Identifier: MIT
// zentick-mkdata DIR: writes the built-in data directory.
// zentick-mkdata --icons DIR: writes the application icon as DIR/hicolor/NxN/apps/zentick.png
// (the desktop's sizes and the 192 and 512 pixels of the web page's manifest).
// zentick-mkdata --pack DIR FILE: writes the data folder DIR as one compressed pack FILE.
#include <cstdio>
#include <cstring>

#include "mkdata/icon.h"
#include "mkdata/mkdata.h"
#include "mkdata/pack.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--icons") == 0) {
    if (mkdata::icons_write(argv[2], "zentick")) return 0;
    std::fprintf(stderr, "zentick-mkdata: cannot write the icons into %s\n", argv[2]);
    return 1;
  }
  if (argc == 4 && std::strcmp(argv[1], "--pack") == 0) return zt_mkdata_pack(argv[2], argv[3]);
  if (argc != 2) {
    std::fprintf(stderr,
                 "usage: zentick-mkdata DIR | zentick-mkdata --icons DIR | "
                 "zentick-mkdata --pack DIR FILE\n");
    return 2;
  }
  return zt_mkdata_write(argv[1]);
}
