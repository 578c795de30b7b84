// SPDX-License-Identifier: MIT
// The engines' pseudo-random numbers: the additive feedback generator of the
// GNU C library's rand(), never seeded, so that every run draws glibc's
// sequence as before, but with a state of its own that a save state can hold
// and that nothing else in the process (a libretro frontend, a second core)
// draws from.
#ifndef ZT_FRAMEWORK_RANDOM_H
#define ZT_FRAMEWORK_RANDOM_H

#include <cstdint>

class ZT_StateReader;
class ZT_StateWriter;

class ZT_Random {
 public:
  static const int kDegree = 31;
  static const int kSeparation = 3;

  explicit ZT_Random(uint32_t seed = 1) { this->seed(seed); }
  // What srand(seed) does; 1 is the unseeded start.
  void seed(uint32_t seed);
  // The next number, 0 to 2^31 - 1, as rand() would return it.
  int next();

  void state_save(ZT_StateWriter& out) const;
  bool state_load(ZT_StateReader& in);

  int32_t table[kDegree];
  int front;  // index of fptr in the table
  int rear;   // index of rptr
};

#endif
