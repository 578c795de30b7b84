// SPDX-License-Identifier: MIT
// The inflater behind the data pack.
#ifndef ZT_PLATFORM_DECODE_INFLATE_H
#define ZT_PLATFORM_DECODE_INFLATE_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zt_decode {

// Inflates a zlib stream that must hold exactly `out_size` bytes into `out`;
// false when it is damaged (its checksum included) or holds more or less.
bool inflate_zlib(const uint8_t* in, size_t in_size, size_t out_size, std::vector<uint8_t>* out);

}  // namespace zt_decode

#endif
