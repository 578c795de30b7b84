// SPDX-License-Identifier: MIT
// Synthesis of the five effects and a minimal WAV writer (PCM, little endian).
#include "mkdata/sound.h"

#include <cmath>
#include <cstdio>

namespace mkdata {

std::vector<int16_t> sound_square(const std::vector<Note>& notes, double volume) {
  std::vector<int16_t> out;
  const int fade = kSampleRate / 1000;  // 1 ms ramps at both ends of every note
  double phase = 0.0;
  for (const Note& note : notes) {
    int count = note.ms * kSampleRate / 1000;
    for (int i = 0; i < count; ++i) {
      double level = 0.0;
      if (note.freq > 0.0) {
        phase += note.freq / kSampleRate;
        phase -= std::floor(phase);
        double envelope = 1.0;
        if (i < fade) envelope = static_cast<double>(i) / fade;
        if (count - 1 - i < fade) envelope = static_cast<double>(count - 1 - i) / fade;
        level = (phase < 0.5 ? 1.0 : -1.0) * envelope * volume;
      }
      out.push_back(static_cast<int16_t>(std::lround(level * 32767.0)));
    }
  }
  return out;
}

std::vector<int16_t> sound_effect(const std::string& file) {
  // A piezo buzzer plays square waves at fixed pitches; the pitches are notes of
  // the C major scale so that the tunes sound like a handheld's jingles.
  const double C5 = 523.25, E5 = 659.26, G5 = 783.99, C6 = 1046.50, E6 = 1318.51, G6 = 1567.98,
               C7 = 2093.00, A5 = 880.00;
  if (file == "Move.wav") return sound_square({{2637.0, 14}}, 0.30);
  if (file == "Got.wav") return sound_square({{G6, 55}, {0, 10}, {C7, 85}}, 0.30);
  if (file == "Miss.wav") {
    // A low buzz that stutters, as a buzzer driven at a low rate does.
    std::vector<Note> notes;
    for (int i = 0; i < 10; ++i) notes.push_back({i % 2 ? 98.0 : 110.0, 50});
    return sound_square(notes, 0.35);
  }
  if (file == "Start.wav")
    return sound_square({{C6, 80}, {0, 20}, {E6, 80}, {0, 20}, {G6, 80}, {0, 20}, {C7, 160}}, 0.30);
  if (file == "Gameover.wav")
    return sound_square({{C7, 160},
                         {0, 40},
                         {G6, 160},
                         {0, 40},
                         {E6, 160},
                         {0, 40},
                         {C6, 160},
                         {0, 40},
                         {A5, 160},
                         {0, 40},
                         {G5, 160},
                         {0, 40},
                         {E5, 160},
                         {0, 40},
                         {C5, 400}},
                        0.30);
  return std::vector<int16_t>();
}

namespace {
void put16(std::vector<unsigned char>& b, unsigned v) {
  b.push_back(v & 0xff);
  b.push_back((v >> 8) & 0xff);
}
void put32(std::vector<unsigned char>& b, unsigned long v) {
  put16(b, v & 0xffff);
  put16(b, (v >> 16) & 0xffff);
}
void puttag(std::vector<unsigned char>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }
}  // namespace

bool wav_write(const std::string& path, const std::vector<int16_t>& samples) {
  const unsigned channels = 1, bits = 16;
  const unsigned long data_size = samples.size() * 2;
  std::vector<unsigned char> b;
  puttag(b, "RIFF");
  put32(b, 36 + data_size);
  puttag(b, "WAVE");
  puttag(b, "fmt ");
  put32(b, 16);
  put16(b, 1);  // PCM
  put16(b, channels);
  put32(b, kSampleRate);
  put32(b, kSampleRate * channels * bits / 8);
  put16(b, channels * bits / 8);
  put16(b, bits);
  puttag(b, "data");
  put32(b, data_size);
  for (int16_t s : samples) put16(b, static_cast<uint16_t>(s));
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace mkdata
