// SPDX-License-Identifier: MIT
// Benchmarks of the session as a frontend drives it at 60 frames per second:
// a frame with nothing due (the menu, and a handheld showing the watch between
// two seconds), and a save plus a load of the state, which rewind does on
// every frame.
//   build/bench/zentick-session-bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "session/session.h"

namespace {

ZT_Session::Data data() {
  const char* path = std::getenv("ZT_DATA_PATH");
  ZT_Session::Data d;
  d.folder = path && *path ? path : ZT_BENCH_DATA;
  return d;
}

// Monkey showing the watch (Down twice, Start to run it and to switch it on,
// Time); in Game A with `game_a`.
struct Session : ZT_Session {
  explicit Session(bool game_a) : ZT_Session(data()) {
    time_set(ZT_Platform_Time{7, 12, 126, 12, 34, 56});
    advance(10);
    std::vector<int> keys = {ZT_KEY_DOWN, ZT_KEY_DOWN, ZT_KEY_ENTER, ZT_KEY_ENTER, ZT_KEY_TIME};
    if (game_a) keys.push_back(ZT_KEY_GAME_A);
    for (int key : keys) {
      key_down(key);
      key_up(key);
      advance(300);
    }
  }
};

int16_t sound[ZT_Session::kRate / 60 + 1];

// A frame with nothing due: in the menu (0), and on the watch between its
// changes (1), 59 of every 60 frames.
void BM_SessionIdleFrame(benchmark::State& state) {
  std::unique_ptr<ZT_Session> session;
  if (state.range(0) == 0) {
    session.reset(new ZT_Session(data()));
    session->advance(10);
  } else {
    session.reset(new Session(false));
  }
  for (auto _ : state) {
    session->advance_frame(60);
    benchmark::DoNotOptimize(session->audio_frame(sound, 60));
    benchmark::DoNotOptimize(session->frame_new());
  }
}
BENCHMARK(BM_SessionIdleFrame)->ArgName("watch")->Arg(0)->Arg(1);

void BM_SessionSaveLoad(benchmark::State& state) {
  Session session(true);
  std::vector<uint8_t> bytes(session.state_size());
  for (auto _ : state) {
    session.state_save(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(session.state_load(bytes.data(), bytes.size()));
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_SessionSaveLoad);

}  // namespace

BENCHMARK_MAIN();
