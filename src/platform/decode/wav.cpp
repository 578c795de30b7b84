// SPDX-License-Identifier: MIT
// WAV reading: what the desktop program's SDL 1.2 and SDL_mixer accept for its
// sounds (PCM of 8 or 16 bits, any number of channels, a rate within a factor
// of 1024 of the mixer's), refused with the same reasons otherwise, converted
// to the mixer's signed 16-bit mono. Every chunk must fit in the file: the
// desktop program checks that with the same walk before SDL reads a file.
#include <cstdio>
#include <cstring>

#include "platform/decode/media.h"

namespace zt_decode {

namespace {

// Rates this far from the mixer's take SDL more conversion steps than it has.
const uint64_t kMaxRateRatio = 1024;

uint32_t le16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | (le16(p + 2) << 16); }

uint32_t tag(const char* s) { return le32(reinterpret_cast<const uint8_t*>(s)); }

// The next chunk from `pos`; false (with SDL's reason) when its header or its
// bytes run past the end of the file. Odd lengths are not padded, as in SDL.
bool chunk_next(const uint8_t* data, size_t size, size_t* pos, WavChunk* chunk,
                std::string* reason) {
  if (size - *pos < 8) {
    *reason = "WAV chunk runs past the end of the file";
    return false;
  }
  chunk->tag = le32(data + *pos);
  chunk->length = le32(data + *pos + 4);
  chunk->start = *pos + 8;
  if (chunk->length > size - chunk->start) {
    *reason = "WAV chunk runs past the end of the file";
    return false;
  }
  *pos = chunk->start + chunk->length;
  return true;
}

}  // namespace

WavWalk wav_walk(const uint8_t* data, size_t size, WavChunks* chunks, std::string* reason) {
  // "RIFF", length, "WAVE"; SDL also takes a file that starts at the length.
  size_t pos = 12;
  if (size >= 8 && le32(data + 4) == tag("WAVE")) {
    pos = 8;
  } else if (size < 12 || le32(data) != tag("RIFF") || le32(data + 8) != tag("WAVE")) {
    return kWavNotWave;
  }
  // SDL reads 16 bytes of any format chunk whatever its length.
  bool first = true;
  WavChunk chunk;
  do {
    if (!chunk_next(data, size, &pos, &chunk, reason)) return kWavDamaged;
    if (chunk.tag == tag("fmt ") && chunk.length < 16) {
      *reason = "WAV format chunk too short";
      return kWavDamaged;
    }
    if (first && chunk.tag != tag("fact") && chunk.tag != tag("LIST")) {
      chunks->first = chunk;
      first = false;
    }
  } while (chunk.tag != tag("data"));
  chunks->data = chunk;
  return kWavWalked;
}

bool wav_decode(const uint8_t* data, size_t size, int rate_out, std::vector<int16_t>* samples,
                std::string* reason) {
  WavChunks chunks;
  switch (wav_walk(data, size, &chunks, reason)) {
    case kWavNotWave:
      *reason = "Unrecognized file type (not WAVE)";
      return false;
    case kWavDamaged:
      return false;
    case kWavWalked:
      break;
  }
  // SDL wants the format first, after any "fact" and "LIST" chunks.
  if (chunks.first.tag != tag("fmt ")) {
    *reason = "Complex WAVE files not supported";
    return false;
  }
  const uint8_t* fmt = data + chunks.first.start;
  const uint32_t encoding = le16(fmt);
  const uint32_t channels = le16(fmt + 2);
  const uint32_t rate = le32(fmt + 4);
  const uint32_t bits = le16(fmt + 14);
  if (encoding != 1) {
    char text[64];
    std::snprintf(text, sizeof text, "Unknown WAVE data format: 0x%.4x", encoding);
    *reason = text;
    return false;
  }
  if (bits != 8 && bits != 16) {
    *reason = "Unknown " + std::to_string(bits) + "-bit PCM data format";
    return false;
  }
  const uint32_t mix = rate_out > 0 ? static_cast<uint32_t>(rate_out) : 1;
  const uint64_t low = rate < mix ? rate : mix;
  const uint64_t high = rate < mix ? mix : rate;
  if (channels < 1 || rate == 0 || high >= kMaxRateRatio * low) {
    *reason = "unsupported WAV sample rate or channel count";
    return false;
  }

  // To signed 16 bits, then the channels summed with saturation, as SDL does
  // for two (it plays more as they come; summing them is the sound choice).
  const size_t frame_bytes = channels * bits / 8;
  const size_t frames = chunks.data.length / frame_bytes;
  const uint8_t* p = data + chunks.data.start;
  std::vector<int16_t> mono(frames);
  for (size_t i = 0; i < frames; ++i) {
    int32_t sum = 0;
    for (uint32_t c = 0; c < channels; ++c) {
      if (bits == 8) {
        sum += static_cast<int16_t>(static_cast<uint16_t>((*p ^ 0x80) << 8));
        p += 1;
      } else {
        sum += static_cast<int16_t>(static_cast<uint16_t>(le16(p)));
        p += 2;
      }
    }
    mono[i] = static_cast<int16_t>(sum > 32767 ? 32767 : sum < -32768 ? -32768 : sum);
  }
  // Rates within the same hundred play unchanged, as in SDL; others are
  // stepped to the mixer's rate by the nearest earlier sample.
  if (rate / 100 == mix / 100) {
    samples->swap(mono);
    return true;
  }
  const size_t count = static_cast<size_t>(static_cast<uint64_t>(frames) * mix / rate);
  samples->resize(count);
  for (size_t i = 0; i < count; ++i) {
    (*samples)[i] = mono[static_cast<size_t>(static_cast<uint64_t>(i) * rate / mix)];
  }
  return true;
}

}  // namespace zt_decode
