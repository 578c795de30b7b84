// SPDX-License-Identifier: MIT
// glibc's TYPE_3 random(): r[i] = r[i-3] + r[i-31], seeded by the minimal
// standard generator and warmed up by 310 draws.
#include "framework/random.h"

#include "framework/state.h"

void ZT_Random::seed(uint32_t seed) {
  if (seed == 0) seed = 1;
  table[0] = static_cast<int32_t>(seed);
  int32_t word = static_cast<int32_t>(seed);
  for (int i = 1; i < kDegree; ++i) {
    // 16807 * word % 2147483647 without overflow (Schrage).
    int32_t hi = word / 127773;
    int32_t lo = word % 127773;
    word = 16807 * lo - 2836 * hi;
    if (word < 0) word += 2147483647;
    table[i] = word;
  }
  front = kSeparation;
  rear = 0;
  for (int i = 0; i < kDegree * 10; ++i) next();
}

int ZT_Random::next() {
  uint32_t value = static_cast<uint32_t>(table[front]) + static_cast<uint32_t>(table[rear]);
  table[front] = static_cast<int32_t>(value);
  front = front + 1 == kDegree ? 0 : front + 1;
  rear = rear + 1 == kDegree ? 0 : rear + 1;
  return static_cast<int>(value >> 1);
}

void ZT_Random::state_save(ZT_StateWriter& out) const {
  for (int32_t word : table) out.i32(word);
  out.u8(static_cast<uint8_t>(front));
  out.u8(static_cast<uint8_t>(rear));
}

bool ZT_Random::state_load(ZT_StateReader& in) {
  int32_t words[kDegree];
  for (int32_t& word : words) word = in.i32();
  int f = in.u8();
  int r = in.u8();
  // The two indices always stay kSeparation apart, and a table of even
  // words only (all zeros, say) would never draw an odd number again.
  bool odd = false;
  for (int32_t word : words) odd = odd || (word & 1) != 0;
  if (!in.ok() || !odd || f >= kDegree || r >= kDegree || (r + kSeparation) % kDegree != f) {
    in.fail();
    return false;
  }
  for (int i = 0; i < kDegree; ++i) table[i] = words[i];
  front = f;
  rear = r;
  return true;
}
