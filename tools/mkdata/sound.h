// SPDX-License-Identifier: MIT
// Piezo-like sound effects for the handhelds, written as 22050 Hz mono 16-bit WAV.
#ifndef ZT_TOOLS_MKDATA_SOUND_H
#define ZT_TOOLS_MKDATA_SOUND_H

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

const int kSampleRate = 22050;

// One note of a tune: a square wave at freq Hz (0 is a rest) for ms milliseconds.
struct Note {
  double freq;
  int ms;
};

// Render notes as a square wave with short fades, so that no note clicks.
std::vector<int16_t> sound_square(const std::vector<Note>& notes, double volume);

// The samples of one of the five effects by file name ("Move.wav", ...); empty if unknown.
std::vector<int16_t> sound_effect(const std::string& file);

// Write samples as a canonical 44-byte-header PCM WAV; false on an I/O error.
bool wav_write(const std::string& path, const std::vector<int16_t>& samples);

}  // namespace mkdata

#endif
