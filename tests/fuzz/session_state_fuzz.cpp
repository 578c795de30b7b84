// SPDX-License-Identifier: MIT
// Fuzz target: loading save states. The input becomes a state's payload
// behind a right header and checksum, so that it reaches the fields: either
// whole (first byte even) or as patches of (offset, byte) pairs over a state
// saved during Condor's Game A with sounds playing and segments fading. A state that loads must
// play on and save again; one refused must leave the running state as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/state.h"
#include "session/session.h"

namespace {

const size_t kHeader = 16;
ZT_Session* session = nullptr;
std::vector<uint8_t> base;  // a valid state of the game
size_t payload_size = 0;

void shut_down() {
  delete session;
  session = nullptr;
}

void press(int key) {
  session->key_down(key);
  session->key_up(key);
  session->advance(150);
}

std::vector<uint8_t> save() {
  std::vector<uint8_t> state(session->state_size());
  if (!session->state_save(state.data(), state.size())) std::abort();
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* build = std::getenv("ZT_BUILD_DIR");
  ZT_Session::Data data;
  data.folder = std::string(build != nullptr ? build : "build") + "/data";
  session = new ZT_Session(data);
  session->time_set(ZT_Platform_Time{7, 3, 126, 9, 15, 0});
  session->response_set(2);  // segments fading in the state
  std::atexit(shut_down);
  session->advance(10);
  for (int key : {ZT_KEY_ENTER, ZT_KEY_ENTER, ZT_KEY_GAME_A}) press(key);
  base = save();
  ZT_StateReader header(base.data(), kHeader);
  header.u32();
  header.u32();
  payload_size = header.u32();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> state = base;
  if (size > 0 && data[0] % 2 == 0) {
    const size_t n = std::min(size - 1, state.size() - kHeader);
    std::memcpy(state.data() + kHeader, data + 1, n);
    payload_size = n;
  } else {
    for (size_t i = 1; i + 2 < size; i += 3) {
      const size_t at = kHeader + (static_cast<size_t>(data[i]) << 8 | data[i + 1]) % payload_size;
      state[at] = data[i + 2];
    }
  }
  ZT_StateWriter header(state.data(), kHeader);
  header.u32(0x5453545a);
  header.u32(3);
  header.u32(static_cast<uint32_t>(payload_size));
  header.u32(ZT_State_checksum(state.data() + kHeader, payload_size));

  const std::vector<uint8_t> before = save();
  if (session->state_load(state.data(), state.size())) {
    session->advance(40);
    int16_t sound[1000];
    session->audio(sound, 1000);
    save();
  } else if (save() != before) {
    std::abort();  // a refused state changed the running one
  }
  // Back to the game for the next input.
  if (!session->state_load(base.data(), base.size())) std::abort();
  ZT_StateReader restore(base.data(), kHeader);
  restore.u32();
  restore.u32();
  payload_size = restore.u32();
  return 0;
}
