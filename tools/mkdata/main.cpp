// zentick-mkdata DIR: writes the built-in data directory.
#include <cstdio>

#include "mkdata/mkdata.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zentick-mkdata DIR\n");
    return 2;
  }
  return zt_mkdata_write(argv[1]);
}
