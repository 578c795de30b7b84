// SPDX-License-Identifier: MIT
// Benchmarks under SDL's dummy drivers, on the data set the build draws: one
// full frame of each game with every segment lit at each zoom level (against a
// plain copy of the frame's bytes), start-up to the menu's first frame, loading
// and unloading each game, and one tick of each game's engine.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/frame_timing.h"
#include "engines/deveng_vtech.h"
#include "engines/deveng_vtech_monkey.h"
#include "framework/device.h"
#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/plat_sdl.h"

namespace {

using zt_bench::Clock;
using zt_bench::seconds;
typedef ZT_GameEngine_VTech VTech;

std::string data_path() {
  const char* path = std::getenv("ZT_DATA_PATH");
  return path && *path ? path : ZT_BENCH_DATA;
}

// The platform the benchmarks share; started on first use, since SDL allows
// only one at a time and the start-up benchmark needs its own.
std::unique_ptr<ZT_PlatformSDL> shared;

ZT_PlatformSDL* platform() {
  if (!shared) {
    shared.reset(new ZT_PlatformSDL(640, 480, false, true));
    shared->datapath_set(data_path());
    shared->initialize();
  }
  return shared.get();
}

// A game of the catalogue loaded into a device and switched on.
struct Running {
  explicit Running(int index)
      : list(platform()), game(list.get(index)->create()), device(platform()) {
    device.game = game.get();
    device.Load();
    device.TurnOn();
    vtech = dynamic_cast<VTech*>(game.get());
  }
  ~Running() { device.Unload(); }

  ZT_GameList list;
  std::unique_ptr<ZT_Game> game;
  ZT_Device device;
  VTech* vtech;
};

// One frame as the device draws it when the game has changed: clear, the
// background, every visible segment, present at the zoom. Switched on, the
// handheld shows every segment it has. The frame's bytes copied with memcpy
// after each frame give the baseline.
void frame(benchmark::State& state, int index, int zoom) {
  Running run(index);
  ZT_PlatformSDL* p = platform();
  run.device.zoom = zoom;
  run.device.ZoomChanged();
  SDL_Surface* frame = p->blitsurface;
  zt_bench::frame_timed(state, p, run.device, frame->pixels,
                        static_cast<size_t>(frame->pitch) * frame->h,
                        run.list.get(index)->name + " zoom " + std::to_string(zoom));
}

// The platform that ends the menu at its first presented frame.
class FirstFrame : public ZT_PlatformSDL {
 public:
  FirstFrame() : ZT_PlatformSDL(640, 480, false, true) {}
  void draw_flip(int width, int height) override {
    ZT_PlatformSDL::draw_flip(width, height);
    shown = Clock::now();
    SDL_Event quit;
    std::memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }
  Clock::time_point shown;
};

// From initialize to the menu's first frame on the screen: SDL, the mixer, the
// font, the window, the catalogue, the first background picture fitted to the
// screen, and the first paint.
void start_to_menu(benchmark::State& state) {
  shared.reset();  // SDL runs one platform at a time
  for (auto _ : state) {
    FirstFrame p;
    p.datapath_set(data_path());
    const Clock::time_point start = Clock::now();
    p.initialize();
    {
      ZT_GameList list(&p);
      ZT_Menu menu(&p, &list);
      menu.Run();
      state.SetIterationTime(seconds(start, p.shown));
      p.finalize();
    }
  }
}

// Loading a game's pictures and sounds from the data folder, and unloading it.
void load(benchmark::State& state, int index, bool timing_unload) {
  ZT_PlatformSDL* p = platform();
  ZT_GameList list(p);
  for (auto _ : state) {
    std::unique_ptr<ZT_Game> game(list.get(index)->create());
    ZT_Device device(p);
    device.game = game.get();
    const Clock::time_point start = Clock::now();
    device.Load();
    const Clock::time_point loaded = Clock::now();
    device.Unload();
    const Clock::time_point unloaded = Clock::now();
    state.SetIterationTime(timing_unload ? seconds(loaded, unloaded) : seconds(start, loaded));
  }
  state.SetLabel(list.get(index)->name);
}

// One tick of the game's engine in Game A, sounds included. The game starts
// again whenever it nears its fifth miss, outside the timing.
void tick(benchmark::State& state, int index) {
  Running run(index);
  run.game->SetMode(VTech::MODE_GAME_A);
  for (auto _ : state) {
    run.vtech->game_tick();
    if (run.vtech->misses >= 4) {
      state.PauseTiming();
      run.vtech->game_idle = true;
      run.game->SetMode(VTech::MODE_GAME_A);
      state.ResumeTiming();
    }
  }
  const bool monkey = dynamic_cast<ZT_GameEngine_VTech_Monkey*>(run.game.get()) != nullptr;
  state.SetLabel(run.list.get(index)->name + (monkey ? ", Monkey engine" : ", Condor engine"));
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  ZT_PlatformSDL unstarted(640, 480, false, true);
  ZT_GameList list(&unstarted);
  const int games = list.count();
  for (int zoom = 0; zoom <= 2; zoom++)
    for (int i = 0; i < games; i++)
      benchmark::RegisterBenchmark(
          ("Frame/zoom" + std::to_string(zoom) + "/" + list.get(i)->name).c_str(), frame, i, zoom)
          ->UseManualTime()
          ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("StartToMenuFirstFrame", start_to_menu)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  for (int i = 0; i < games; i++) {
    benchmark::RegisterBenchmark(("GameLoad/" + list.get(i)->name).c_str(), load, i, false)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    // Unloading is quick and each one needs a load first: a fixed count keeps
    // the run short.
    benchmark::RegisterBenchmark(("GameUnload/" + list.get(i)->name).c_str(), load, i, true)
        ->UseManualTime()
        ->Iterations(300)
        ->Unit(benchmark::kMicrosecond);
  }
  for (int i = 0; i < games; i++)
    benchmark::RegisterBenchmark(("EngineTick/" + list.get(i)->name).c_str(), tick, i)
        ->Unit(benchmark::kNanosecond);

  try {
    benchmark::RunSpecifiedBenchmarks();
  } catch (const ZT_Exception& e) {
    std::fprintf(stderr, "%s\n(the data set: %s; ZT_DATA_PATH names another)\n", e.message.c_str(),
                 data_path().c_str());
    return 1;
  }
  shared.reset();
  benchmark::Shutdown();
  return 0;
}
