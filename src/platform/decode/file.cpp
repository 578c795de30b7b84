// SPDX-License-Identifier: MIT
// Whole files into memory, with the reasons SDL gives for a file it cannot read.
#include <cstdio>

#include "platform/decode/media.h"

namespace zt_decode {

bool file_read(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    *reason = "Couldn't open " + path;
    return false;
  }
  bytes->clear();
  uint8_t buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes->insert(bytes->end(), buffer, buffer + got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    *reason = "Error reading from datastream";
    return false;
  }
  return true;
}

}  // namespace zt_decode
