// SPDX-License-Identifier: MIT
// The save-state byte writer and reader.
#include "framework/state.h"

ZT_StateWriter::ZT_StateWriter(uint8_t* buffer, size_t capacity)
    : buffer(buffer), capacity(capacity), used(0) {}

void ZT_StateWriter::u8(uint8_t v) {
  if (buffer != nullptr && used < capacity) buffer[used] = v;
  ++used;
}

void ZT_StateWriter::u32(uint32_t v) {
  if (buffer != nullptr && capacity - used >= 4 && used <= capacity) {
    // Rewind saves a state every frame: whole words where they fit.
    uint8_t* at = buffer + used;
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
    at[2] = static_cast<uint8_t>(v >> 16);
    at[3] = static_cast<uint8_t>(v >> 24);
    used += 4;
    return;
  }
  for (int shift = 0; shift < 32; shift += 8) u8(static_cast<uint8_t>(v >> shift));
}

void ZT_StateWriter::text(const std::string& s) {
  u32(static_cast<uint32_t>(s.size()));
  for (char c : s) u8(static_cast<uint8_t>(c));
}

ZT_StateReader::ZT_StateReader(const uint8_t* buffer, size_t size)
    : buffer(buffer), size(size), at(0), good(buffer != nullptr) {}

uint8_t ZT_StateReader::u8() {
  if (!good || at >= size) {
    good = false;
    return 0;
  }
  return buffer[at++];
}

uint32_t ZT_StateReader::u32() {
  if (good && size - at >= 4 && at <= size) {
    const uint8_t* p = buffer + at;
    at += 4;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
  uint32_t v = 0;
  for (int shift = 0; shift < 32; shift += 8) v |= static_cast<uint32_t>(u8()) << shift;
  return good ? v : 0;
}

bool ZT_StateReader::b() {
  uint8_t v = u8();
  if (v > 1) good = false;
  return good && v == 1;
}

bool ZT_StateReader::text_is(const std::string& expect) {
  uint32_t length = u32();
  if (!good || length != expect.size() || length > size - at) {
    good = false;
    return false;
  }
  for (char c : expect)
    if (buffer[at++] != static_cast<uint8_t>(c)) good = false;
  return good;
}

bool ZT_StateReader::text(std::string* out, size_t limit) {
  uint32_t length = u32();
  if (!good || length > limit || length > size - at) {
    good = false;
    return false;
  }
  out->assign(reinterpret_cast<const char*>(buffer + at), length);
  at += length;
  return true;
}

int32_t ZT_StateReader::i32_in(int32_t low, int32_t high) {
  int32_t v = i32();
  if (v < low || v > high) good = false;
  return good ? v : low;
}

uint32_t ZT_State_checksum(const uint8_t* data, size_t size) {
  // A word at a time: rewind checks a state every frame, and one multiply
  // per byte made this most of the cost of a load.
  uint32_t hash = 2166136261u;
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    const uint32_t word = static_cast<uint32_t>(data[i]) | static_cast<uint32_t>(data[i + 1]) << 8 |
                          static_cast<uint32_t>(data[i + 2]) << 16 |
                          static_cast<uint32_t>(data[i + 3]) << 24;
    hash = (hash ^ word) * 16777619u;
    hash ^= hash >> 15;
  }
  for (; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}
