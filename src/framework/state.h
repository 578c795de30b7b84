// SPDX-License-Identifier: MIT
// Save states: a compact little-endian writer and a bounds-checked reader of
// the running state. The writer never allocates (hosts save on every frame for
// rewind); the reader never trusts its input and only reports failure.
#ifndef ZT_FRAMEWORK_STATE_H
#define ZT_FRAMEWORK_STATE_H

#include <cstddef>
#include <cstdint>
#include <string>

class ZT_StateWriter {
 public:
  // Writes into buffer[0 .. capacity); a null buffer only counts the bytes.
  ZT_StateWriter(uint8_t* buffer, size_t capacity);

  void u8(uint8_t v);
  void u32(uint32_t v);
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void b(bool v) { u8(v ? 1 : 0); }
  // A short text: its length, then its bytes.
  void text(const std::string& s);

  // Bytes written, or that would have been written past the end.
  size_t size() const { return used; }
  // Whether everything fitted.
  bool ok() const { return buffer == nullptr || used <= capacity; }

 private:
  uint8_t* buffer;
  size_t capacity;
  size_t used;
};

class ZT_StateReader {
 public:
  ZT_StateReader(const uint8_t* buffer, size_t size);

  // Each read past the end, or of a value a caller refuses with fail(), makes
  // ok() false for good; reads then return zeros.
  uint8_t u8();
  uint32_t u32();
  int32_t i32() { return static_cast<int32_t>(u32()); }
  bool b();
  // A text written by text(); false (and failed) when it differs from `expect`.
  bool text_is(const std::string& expect);
  // Reads a text into `out`, at most `limit` bytes long.
  bool text(std::string* out, size_t limit);
  // An int that must lie in [low, high].
  int32_t i32_in(int32_t low, int32_t high);
  void fail() { good = false; }

  bool ok() const { return good; }
  size_t position() const { return at; }

 private:
  const uint8_t* buffer;
  size_t size;
  size_t at;
  bool good;
};

// An FNV-style hash of a byte range, a word at a time: tells a damaged state
// from an intact one.
uint32_t ZT_State_checksum(const uint8_t* data, size_t size);

#endif
