// SPDX-License-Identifier: MIT
// The frame benchmark both platforms share: a full frame as the device draws
// it when its game has changed, timed against a plain copy of the frame's
// bytes in the same iteration.
#ifndef ZT_BENCH_FRAME_TIMING_H
#define ZT_BENCH_FRAME_TIMING_H

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/device.h"
#include "framework/game.h"
#include "platform/platform.h"

namespace zt_bench {

typedef std::chrono::steady_clock Clock;

inline double seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Clear, the background, every visible segment (switched on, a handheld shows
// them all), present at the device's zoom; then `bytes` of `frame` copied.
// `before` (untimed) readies each iteration. Counters: segments drawn, the
// copy's time and the frame's as a multiple of it.
inline void frame_timed(benchmark::State& state, ZT_Platform* p, ZT_Device& device,
                        const void* frame, size_t bytes, const std::string& label,
                        const std::function<void()>& before = nullptr) {
  ZT_Game* game = device.game;
  ZT_Platform_Image* bg = game->data.image_get(game->bgimage_get(), 0)->image;
  int lit = 0;
  for (auto& outer : game->data.positions)
    for (auto& inner : outer.second) lit += inner.second->visible && inner.second->image_id >= 0;
  std::vector<unsigned char> copy(bytes);
  double drawing = 0, copying = 0;
  for (auto _ : state) {
    if (before) before();
    const Clock::time_point start = Clock::now();
    p->draw_clear();
    p->draw_image(bg, device.bg_x, device.bg_y);
    device.draw_game();
    p->draw_flip(device.view_width, device.view_height);
    const Clock::time_point drawn = Clock::now();
    std::memcpy(copy.data(), frame, bytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    const Clock::time_point copied = Clock::now();
    state.SetIterationTime(seconds(start, drawn));
    drawing += seconds(start, drawn);
    copying += seconds(drawn, copied);
  }
  state.SetLabel(label);
  state.counters["segments"] = lit;
  state.counters["memcpy_us"] = benchmark::Counter(copying * 1e6 / state.iterations());
  state.counters["x_memcpy"] = copying > 0 ? drawing / copying : 0;
}

}  // namespace zt_bench

#endif
