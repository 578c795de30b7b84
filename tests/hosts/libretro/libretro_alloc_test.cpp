// SPDX-License-Identifier: MIT
// Saving a state allocates nothing (frontends save on every frame for rewind
// and run-ahead). Apart from the other core tests, as it replaces operator new
// for the whole process, the core's allocations included.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "frontend.h"
#include "support/temp_dir.h"

static std::atomic<long> allocations{0};
// g++ warns that operator delete frees what operator new allocated: as meant.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
  ++allocations;
  void* p = std::malloc(size != 0 ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

TEST(LibretroCore, SavingAllocatesNothing) {
  TempDir system("zt-retro-alloc");
  ASSERT_EQ(0, symlink(ZT_BUILD_DIR "/data", system.file("zentick").c_str()));
  RetroFrontend f(system.path);
  ASSERT_TRUE(f.start());
  f.run();
  std::vector<uint8_t> menu = f.save();
  // Monkey in Game A: Down twice, Start to run it and switch it on, A twice.
  for (unsigned button :
       {RETRO_DEVICE_ID_JOYPAD_DOWN, RETRO_DEVICE_ID_JOYPAD_DOWN, RETRO_DEVICE_ID_JOYPAD_START,
        RETRO_DEVICE_ID_JOYPAD_START, RETRO_DEVICE_ID_JOYPAD_A, RETRO_DEVICE_ID_JOYPAD_A})
    f.tap(button, 10);
  for (int i = 0; i < 300; ++i) f.run();

  std::vector<uint8_t> state(menu.size());
  long before = allocations;
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(retro_serialize(state.data(), state.size()));
  EXPECT_EQ(before, allocations);
  // The count does see the core: back to the menu, and the game made again.
  ASSERT_TRUE(f.load(menu));
  ASSERT_TRUE(f.load(state));
  EXPECT_LT(before, allocations);
}
