// SPDX-License-Identifier: MIT
// Helpers for the tests that run the SDL platform itself. Header-only: the test
// support library does not link SDL.
#ifndef ZT_TESTS_SUPPORT_SDL_CHECKS_H
#define ZT_TESTS_SUPPORT_SDL_CHECKS_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/plat_sdl.h"
#include "support/temp_dir.h"

// CTest sets the dummy drivers; this covers running a test program by hand.
inline const bool kDummySdlDrivers = [] {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return true;
}();

// No window, mixer or font engine is left open.
inline bool nothing_started() {
  return SDL_WasInit(SDL_INIT_EVERYTHING) == 0 && TTF_WasInit() == 0 &&
         Mix_QuerySpec(nullptr, nullptr, nullptr) == 0 && SDL_GetVideoSurface() == nullptr;
}

inline constexpr char kNoException[] = "(no exception)";

// The message with which `platform` fails to start, or kNoException.
inline std::string start_failure(ZT_PlatformSDL& platform) {
  try {
    platform.initialize();
  } catch (const ZT_Exception& e) {
    return e.message;
  }
  return kNoException;
}

// One started platform on a data folder with the font, shared by the tests of a
// suite: starting the mixer costs time.
class StartedPlatformTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    data = new TempDir;
    data->add_font();
    platform = new ZT_PlatformSDL(640, 480, false, true);
    platform->datapath_set(data->path);
    platform->initialize();
  }
  static void TearDownTestSuite() {
    delete platform;
    platform = nullptr;
    delete data;
    data = nullptr;
  }

  static inline TempDir* data = nullptr;
  static inline ZT_PlatformSDL* platform = nullptr;
};

#endif
