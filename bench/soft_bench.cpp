// SPDX-License-Identifier: MIT
// Benchmarks of the software platform on the data set the build draws: one
// full frame of each game with every segment lit at each zoom level (against a
// plain copy of the frame's bytes in the same iteration), and a pass of the
// menu's and of a device's loop with nothing due, with the allocations it makes;
// and a start from the data pack, as a host that carries its data starts.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "bench/frame_timing.h"
#include "framework/device.h"
#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/decode/pack.h"
#include "platform/plat_soft.h"

// Every allocation of the program is counted, so that a benchmark can tell
// how many its iterations made.
static unsigned long allocations = 0;

void* operator new(size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

std::string data_path() {
  const char* path = std::getenv("ZT_DATA_PATH");
  return path && *path ? path : ZT_BENCH_DATA;
}

std::string pack_path() {
  const char* path = std::getenv("ZT_PACK_PATH");
  return path && *path ? path : ZT_BENCH_PACK;
}

const ZT_Platform_Time kNoon = {7, 12, 126, 12, 34, 56};

// A started software platform on the data set with its clock pinned.
struct Platform : ZT_PlatformSoft {
  Platform() {
    datapath_set(data_path());
    initialize();
    time_pin(kNoon);
  }
};

// A game of the catalogue run in a device, switched on and stepped until it
// has drawn what it shows.
struct Running {
  explicit Running(int index)
      : list(&platform), game(list.get(index)->create()), device(&platform) {
    device.Start(game.get());
    platform.key_push(ZT_KEY_ENTER);
    device.Step();
    device.Step();
  }
  ~Running() { device.Finish(); }

  Platform platform;
  ZT_GameList list;
  std::unique_ptr<ZT_Game> game;
  ZT_Device device;
};

// One frame as the device draws it when the game has changed: clear, the
// background, every segment (switched on, the handheld shows them all),
// present at the zoom; then the frame's bytes copied with memcpy.
void frame(benchmark::State& state, int index, int zoom) {
  Running run(index);
  ZT_PlatformSoft& p = run.platform;
  run.device.zoom = zoom;
  run.device.ZoomChanged();
  zt_bench::frame_timed(state, &p, run.device, p.frame.data(), p.frame.size() * sizeof(uint16_t),
                        run.list.get(index)->name + " zoom " + std::to_string(zoom));
}

// The same frame with natural LCD response, every segment half-way dark:
// each drawn mixed with what lies under it.
void fading_frame(benchmark::State& state, int index, int zoom) {
  Running run(index);
  ZT_PlatformSoft& p = run.platform;
  p.fade_set(60, 150);
  run.device.zoom = zoom;
  run.device.ZoomChanged();
  auto half_way = [&p] {
    for (ZT_PlatformSoft::Fade& f : p.fades)
      f = {f.picture, f.x, f.y, p.ticks - 30, 0, true, false};
  };
  zt_bench::frame_timed(state, &p, run.device, p.frame.data(), p.frame.size() * sizeof(uint16_t),
                        run.list.get(index)->name + " zoom " + std::to_string(zoom), half_way);
  state.counters["fading"] = static_cast<double>(p.fades.size());
}

void report_idle(benchmark::State& state, unsigned long made, unsigned long drawn) {
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(made) / state.iterations());
  if (drawn) state.SkipWithError("a frame was drawn: something was due");
}

// A pass of the menu's loop with no event and nothing to repaint.
void menu_idle(benchmark::State& state) {
  Platform p;
  ZT_GameList list(&p);
  ZT_Menu menu(&p, &list);
  menu.Step();
  const unsigned long presented = p.presented, before = allocations;
  for (auto _ : state) benchmark::DoNotOptimize(menu.Step());
  report_idle(state, allocations - before, p.presented - presented);
}

// A pass of a device's loop on a game switched on and showing the time: no
// event, no timer expiring (the clock stands still), nothing to redraw.
void device_idle(benchmark::State& state, int index) {
  Running run(index);
  run.device.Step();
  const unsigned long presented = run.platform.presented, before = allocations;
  for (auto _ : state) benchmark::DoNotOptimize(run.device.Step());
  report_idle(state, allocations - before, run.platform.presented - presented);
  state.SetLabel(run.list.get(index)->name);
}

// From the pack's file to the menu's first frame: the pack read and its index
// parsed, the platform started with the font inflated from it, the catalogue
// and the menu made, and the first frame drawn, which loads the first game's
// background from the pack.
void start_from_pack(benchmark::State& state) {
  for (auto _ : state) {
    std::string reason;
    std::shared_ptr<const ZT_Pack> pack = ZT_Pack::open_file(pack_path(), &reason);
    if (!pack) {
      state.SkipWithError(reason.c_str());
      return;
    }
    ZT_PlatformSoft p;
    p.datapath_set("pack");
    p.pack_set(pack);
    p.initialize();
    ZT_GameList list(&p);
    ZT_Menu menu(&p, &list);
    menu.Step();
    if (p.presented != 1) state.SkipWithError("the menu drew no frame");
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  ZT_PlatformSoft unstarted;
  ZT_GameList list(&unstarted);
  const int games = list.count();
  for (int zoom = 0; zoom <= 2; zoom++)
    for (int i = 0; i < games; i++)
      benchmark::RegisterBenchmark(
          ("SoftFrame/zoom" + std::to_string(zoom) + "/" + list.get(i)->name).c_str(), frame, i,
          zoom)
          ->UseManualTime()
          ->Repetitions(5)
          ->ReportAggregatesOnly(true)  // medians: the machine may be shared
          ->Unit(benchmark::kMicrosecond);
  for (int zoom = 0; zoom <= 2; zoom += 2)
    for (int i = 0; i < games; i++)
      benchmark::RegisterBenchmark(
          ("SoftFadingFrame/zoom" + std::to_string(zoom) + "/" + list.get(i)->name).c_str(),
          fading_frame, i, zoom)
          ->UseManualTime()
          ->Repetitions(5)
          ->ReportAggregatesOnly(true)
          ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("SoftIdleStep/Menu", menu_idle)->Unit(benchmark::kNanosecond);
  benchmark::RegisterBenchmark("SoftStartFromPack", start_from_pack)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true)
      ->Unit(benchmark::kMillisecond);
  for (int i = 0; i < games; i++)
    benchmark::RegisterBenchmark(("SoftIdleStep/Device/" + list.get(i)->name).c_str(), device_idle,
                                 i)
        ->Unit(benchmark::kNanosecond);

  try {
    benchmark::RunSpecifiedBenchmarks();
  } catch (const ZT_Exception& e) {
    std::fprintf(stderr, "%s\n(the data set: %s; ZT_DATA_PATH names another)\n", e.message.c_str(),
                 data_path().c_str());
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
