// SPDX-License-Identifier: MIT
// Engine save states: a game saved in play and loaded again, on a later
// clock, plays on exactly as it did; a state of another handheld is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engines/dev_condor.h"
#include "engines/dev_monkey.h"
#include "engines/dev_pancake.h"
#include "engines/dev_pirate.h"
#include "framework/random.h"
#include "framework/state.h"
#include "vtech_rig.h"

namespace {

// What the LCD shows and what it played, every 20 ms for `ms`.
template <class G>
std::string trace(VTechRig<G>& rig, unsigned int ms, int presses) {
  std::string out;
  for (unsigned int t = 0; t < ms; t += 20) {
    if (presses > 0 && t % 700 == 0) rig.press(t % 1400 == 0 ? ZT_KEY_LEFT : ZT_KEY_RIGHT);
    rig.advance(20);
    for (auto& outer : rig.game->data.positions)
      for (auto& inner : outer.second) out += inner.second->visible ? '1' : '0';
    for (const std::string& s : rig.sounds()) out += s;
    out += '\n';
  }
  return out;
}

template <class G>
std::vector<uint8_t> save(VTechRig<G>& rig) {
  std::vector<uint8_t> bytes(16384);
  ZT_StateWriter out(bytes.data(), bytes.size());
  rig.game->state_save(out);
  rig.device.random->state_save(out);
  EXPECT_TRUE(out.ok());
  bytes.resize(out.size());
  return bytes;
}

template <class G>
bool load(VTechRig<G>& rig, const std::vector<uint8_t>& bytes) {
  ZT_StateReader in(bytes.data(), bytes.size());
  return rig.game->state_load(in) && rig.device.random->state_load(in);
}

template <class G>
void replays_after_load() {
  VTechRig<G> rig;
  rig.on();
  rig.press(ZT_KEY_GAME_A);
  rig.press(ZT_KEY_GAME_A);
  // Past the first points the field holds several items and the generator
  // decides where new ones appear: its draws must travel with the state.
  rig.game->score = 60;
  rig.game->level_update(-1);
  rig.advance(6000);
  std::vector<uint8_t> state = save(rig);
  rig.sounds();  // what played before the save
  std::string first = trace(rig, 20000, 1);
  rig.advance(3333);  // the clock goes on; timers come back relative to it
  ASSERT_TRUE(load(rig, state));
  rig.sounds();
  std::string again = trace(rig, 20000, 1);
  size_t differ = 0;
  while (differ < first.size() && differ < again.size() && first[differ] == again[differ]) ++differ;
  EXPECT_EQ(first.size(), differ) << rig.game->folder << ": the replay differs at 20 ms step "
                                  << std::count(first.begin(), first.begin() + differ, '\n');
}

}  // namespace

TEST(EngineState, MonkeyAndCondorFamiliesPlayOnIdenticallyAfterALoad) {
  replays_after_load<ZT_Game_Monkey>();
  replays_after_load<ZT_Game_Pirate>();
  replays_after_load<ZT_Game_Condor>();
  replays_after_load<ZT_Game_Pancake>();
}

TEST(EngineState, AStateOfAnotherHandheldIsRefused) {
  VTechRig<ZT_Game_Monkey> monkey;
  VTechRig<ZT_Game_Pirate> pirate;
  VTechRig<ZT_Game_Condor> condor;
  VTechRig<ZT_Game_Pancake> pancake;
  EXPECT_FALSE(load(pirate, save(monkey)));
  EXPECT_FALSE(load(condor, save(monkey)));
  EXPECT_FALSE(load(pancake, save(condor)));
  EXPECT_TRUE(load(monkey, save(monkey)));
}
