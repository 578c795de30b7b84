// SPDX-License-Identifier: MIT
// Save states below the hosts: the byte reader's refusals and the generator
// the engines draw from (the games' states: engines/engine_state_test.cpp).
#include "framework/state.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "framework/random.h"

TEST(State, ReaderRefusesShortDamagedAndOutOfRangeInput) {
  std::vector<uint8_t> bytes(64);
  ZT_StateWriter out(bytes.data(), 8);
  out.u32(7);
  out.text("monkey");  // does not fit: counted, not written past the end
  EXPECT_FALSE(out.ok());
  EXPECT_EQ(4u + 4u + 6u, out.size());

  ZT_StateWriter full(bytes.data(), bytes.size());
  full.i32(-5);
  full.b(true);
  full.text("monkey");
  ZT_StateReader in(bytes.data(), full.size());
  EXPECT_EQ(-5, in.i32_in(-10, 10));
  EXPECT_TRUE(in.b());
  EXPECT_TRUE(in.text_is("monkey"));
  EXPECT_TRUE(in.ok());
  EXPECT_EQ(0u, in.u32());  // past the end: failed for good
  EXPECT_FALSE(in.ok());

  ZT_StateReader range(bytes.data(), full.size());
  range.i32_in(0, 10);
  EXPECT_FALSE(range.ok());
  ZT_StateReader name(bytes.data() + 5, full.size() - 5);
  EXPECT_FALSE(name.text_is("condor"));
  bytes[4] = 2;  // neither true nor false
  ZT_StateReader flag(bytes.data() + 4, 1);
  flag.b();
  EXPECT_FALSE(flag.ok());
}

TEST(State, GeneratorDrawsTheCLibrarySequence) {
#ifdef __GLIBC__
  std::srand(1);
  ZT_Random fresh;
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(std::rand(), fresh.next()) << "draw " << i;
#endif
  // A state whose two indices are not three apart is refused.
  std::vector<uint8_t> bytes(256);
  ZT_StateWriter out(bytes.data(), bytes.size());
  ZT_Random().state_save(out);
  bytes[out.size() - 1] ^= 1;
  ZT_Random loaded;
  ZT_StateReader bad(bytes.data(), out.size());
  EXPECT_FALSE(loaded.state_load(bad));
}
