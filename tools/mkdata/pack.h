// SPDX-License-Identifier: MIT
// The data pack's writer (the format is described with its reader, in
// src/platform/decode/pack.h).
#ifndef ZT_TOOLS_MKDATA_PACK_H
#define ZT_TOOLS_MKDATA_PACK_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mkdata {

// A pack of the files given as (name, bytes), in that order, each deflated as
// hard as zlib can; false when a file is too large for a pack.
bool pack_bytes(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files,
                std::vector<uint8_t>* pack);

}  // namespace mkdata

// Packs every file below `dir` (by path, so that the pack is the same byte for
// byte on every run) into `file`, then reads it back to check it. Returns 0, or
// 1 after printing why on stderr.
int zt_mkdata_pack(const std::string& dir, const std::string& file);

#endif
