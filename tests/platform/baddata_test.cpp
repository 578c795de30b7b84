// SPDX-License-Identifier: MIT
// Damaged data at the SDL platform: pictures, samples, fonts and data folders
// that cannot be used are refused with the program's error line, never a crash,
// and the platform stays usable (or, at start-up, releases everything).
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/plat_sdl.h"
#include "support/media_files.h"
#include "support/sdl_checks.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A 4 x 4 BMP with a 40-byte header; `bits` is written into the header as is.
Bytes bmp(int bits) {
  const int row = ((4 * bits + 31) / 32) * 4;
  return bmp_bytes(4, 4, bits, 0, {}, {}, ramp(row * 4, 7));
}

// A PCM WAV of `frames` frames; the header may name any rate and channel count.
Bytes wav(uint32_t rate, int channels, int bits, int frames) {
  const int align = channels > 0 ? channels * bits / 8 : 1;
  return wav_bytes(1, channels, rate, bits, align, {}, {}, ramp(frames * align, 13));
}

Bytes cut(Bytes b, size_t size) {
  b.resize(size);
  return b;
}

Bytes text(const char* s) { return Bytes(s, s + std::strlen(s)); }

struct DamagedFile {
  const char* name;
  Bytes bytes;
  const char* ours = nullptr;  // the reason, where this platform words it, not SDL
};

// `line` is `prefix` followed by a reason. The reason's words are the SDL
// implementation's (classic SDL 1.2 and sdl12-compat word them differently) or,
// where this platform refuses what SDL would take, its own; those it checks
// before SDL reads the file are the same under both.
void expect_line(const std::string& prefix, const std::string& line, const char* ours = nullptr) {
  EXPECT_EQ(prefix, line.substr(0, prefix.size())) << line;
  EXPECT_GT(line.size(), prefix.size()) << "no reason follows: " << line;
  if (ours != nullptr) {
    EXPECT_EQ(prefix + ours, line);
  }
}

// A missing font: its line names the file that was sought.
void expect_font_not_found(const std::string& font, const std::string& line) {
  expect_line("Unable to load font: ", line);
  EXPECT_NE(std::string::npos, line.find(font, 21)) << line;
}

// The message of the start-up failure of a platform on `datapath`.
std::string start_failure(const std::string& datapath) {
  ZT_PlatformSDL platform(640, 480, false, true);
  platform.datapath_set(datapath);
  const std::string message = start_failure(platform);
  if (message != kNoException) {
    EXPECT_FALSE(platform.initialized);
  }
  return message;
}

// ---------------------------------------------------------------------------
// Start-up: the font and the data folder.

TEST(BadDataStartUp, FontThatIsNotAFontEndsStartUpWithTheFontLine) {
  TempDir data;
  const Bytes font = [] {
    std::ifstream in(kFontSource, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }();
  ASSERT_GT(font.size(), 100000u);
  const Bytes cases[] = {Bytes(), text("not a font\n"), cut(font, 1000), cut(font, 100000),
                         bmp(24)};
  for (const Bytes& bytes : cases) {
    data.write("zentick/andalemo.ttf", bytes);
    SCOPED_TRACE(std::to_string(bytes.size()) + " bytes");
    expect_line("Unable to load font: ", start_failure(data.path));
    EXPECT_TRUE(nothing_started()) << "no window may stay open";
  }
  // A folder where the font should be opens but cannot be read.
  fs::remove(data.file("zentick/andalemo.ttf"));
  fs::create_directories(data.file("zentick/andalemo.ttf"));
  expect_line("Unable to load font: ", start_failure(data.path));
  EXPECT_TRUE(nothing_started());
}

TEST(BadDataStartUp, DataPathThatIsAFileEndsStartUpWithTheFontLine) {
  TempDir data;
  const std::string file = data.write("data", text("a file, not a folder\n"));
  expect_font_not_found(file + "/zentick/andalemo.ttf", start_failure(file));
  EXPECT_TRUE(nothing_started());
}

TEST(BadDataStartUp, UnreadableDataFolderEndsStartUpWithTheFontLine) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "running as root, which reads any folder whatever its permissions; the "
                    "unreadable font (a folder in its place) is covered above";
  }
  TempDir data;
  data.add_font();
  fs::permissions(data.path, fs::perms::none);
  expect_font_not_found(data.path + "/zentick/andalemo.ttf", start_failure(data.path));
  EXPECT_TRUE(nothing_started());
}

// ---------------------------------------------------------------------------
// Pictures and samples, on one started platform.

class BadDataTest : public StartedPlatformTest {
 protected:
  // The message of the exception image_load throws for `path`, or "(loaded)".
  static std::string image_error(const std::string& path) {
    ZT_Platform_RGB white = ZT_Platform_RGB_create(255, 255, 255);
    try {
      std::unique_ptr<ZT_Platform_Image> image(platform->image_load(path, &white));
      platform->draw_image(image.get(), 0, 0);
    } catch (const ZT_Exception& e) {
      return e.message;
    }
    return "(loaded)";
  }
  // The case's file written into the data folder (a name ending in "/" is made
  // a folder); its path.
  static std::string place(const DamagedFile& c) {
    const std::string name = c.name;
    if (name.back() == '/') {
      fs::create_directories(data->file(name));
      return data->file(name.substr(0, name.size() - 1));
    }
    return name.find('/') == std::string::npos ? data->write(name, c.bytes) : data->file(name);
  }
  static std::string sound_error(const std::string& path) {
    try {
      std::unique_ptr<ZT_Platform_Sound> sound(platform->sound_load(path));
      platform->sound_play(sound.get());
      platform->sound_stop_all();
    } catch (const ZT_Exception& e) {
      return e.message;
    }
    return "(loaded)";
  }
};

TEST_F(BadDataTest, DamagedPicturesAreRefusedWithTheirPathAndTheReason) {
  const DamagedFile cases[] = {
      {"empty.bmp", Bytes()},
      // SDL reads the fields of a cut header as garbage; its reason varies.
      {"header_only.bmp", cut(bmp(24), 30)},
      {"short_pixels.bmp", cut(bmp(24), 54 + 20)},
      {"text.bmp", text("P3 4 4 255\n")},
      {"sound.bmp", wav(22050, 1, 16, 8)},
      // Classic SDL would take 257 bits as 1 with no palette and crash on the
      // first copy; sdl12-compat refuses it itself.
      {"bits257.bmp", bmp(257)},
      {"bits12.bmp", bmp(12)},
      // A folder opens but cannot be read; a path through a file cannot be opened.
      {"folder.bmp/", Bytes()},
      {"text.bmp/inner.bmp", Bytes()},
      // SDL keeps a height of -2^31 negative and puts no pixels behind it: zooming
      // the first (118 bytes, as the fuzzer found it) crashed the menu, drawing
      // the second crashed a game.
      {"height_min.bmp", bmp_bytes(16383, INT32_MIN, 32, 0, {}, {}, ramp(64, 7))},
      {"height_min16.bmp", bmp_bytes(640, INT32_MIN, 16, 0, {}, {}, ramp(64, 7))},
      // SDL refuses these itself, with its own reason.
      {"width0.bmp", bmp_bytes(0, 4, 24, 0, {}, {}, ramp(16, 7))},
      {"height0.bmp", bmp_bytes(4, 0, 24, 0, {}, {}, ramp(16, 7))},
  };
  for (const auto& c : cases) {
    const std::string path = place(c);
    expect_line("Unable to load image " + path + ": ", image_error(path), c.ours);
  }

  // Every depth a BMP really has still loads, and the platform goes on drawing.
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    const std::string path = data->write("bits" + std::to_string(bits) + ".bmp", bmp(bits));
    EXPECT_EQ("(loaded)", image_error(path)) << bits << " bits";
  }
}

TEST_F(BadDataTest, DamagedSamplesAreRefusedWithTheirPathAndTheReason) {
  // A data chunk that claims about 4 GB in a file of a thousand bytes; SDL read it
  // out of bounds before it failed.
  Bytes huge = wav(22050, 1, 16, 480);
  huge[40] = 0xf0;
  huge[41] = huge[42] = huge[43] = 0xff;
  Bytes long_list;
  append_text(long_list, "LIST");
  le32(long_list, 100000);
  append_text(long_list, "INFO");
  // A format chunk of two bytes, of which SDL reads sixteen anyway.
  const Bytes short_fmt = wav_short_fmt_bytes();
  Bytes no_data = wav(22050, 1, 16, 0);
  no_data.resize(no_data.size() - 8);
  const DamagedFile cases[] = {
      {"empty.wav", Bytes()},
      {"text.wav", text("RIFF, but not really\n")},
      {"picture.wav", bmp(24)},
      {"header_only.wav", cut(wav(22050, 1, 16, 100), 30),
       "WAV chunk runs past the end of the file"},
      {"short_data.wav", cut(wav(22050, 1, 16, 100), 100),
       "WAV chunk runs past the end of the file"},
      {"data_4g.wav", huge, "WAV chunk runs past the end of the file"},
      {"long_list.wav", wav_bytes(1, 1, 22050, 8, 1, {}, long_list, ramp(64, 3)),
       "WAV chunk runs past the end of the file"},
      {"no_data.wav", no_data, "WAV chunk runs past the end of the file"},
      {"short_fmt.wav", short_fmt, "WAV format chunk too short"},
      // The mixer's rate conversion runs off its list of steps for rates this far
      // from its own, and SDL's loops never end for zero channels.
      {"rate10.wav", wav(10, 1, 8, 64)},
      {"rate100M.wav", wav(100000000, 1, 8, 64)},
      {"mute.wav", wav(22050, 0, 8, 64)},
  };
  for (const auto& c : cases) {
    const std::string path = place(c);
    expect_line("Unable to load sound sample " + path + ": ", sound_error(path), c.ours);
  }
  // Other sample formats the mixer knows are not sound files of this program.
  Bytes aiff;
  append_text(aiff, "FORM");
  le32(aiff, 4);
  append_text(aiff, "AIFF");
  const std::string aiff_path = data->write("aiff.wav", aiff);
  expect_line("Unable to load sound sample " + aiff_path + ": ", sound_error(aiff_path));

  // Ordinary WAVs at the common rates still load and play.
  for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
    for (int channels : {1, 2}) {
      const std::string path = data->write("ok.wav", wav(rate, channels, 16, 256));
      EXPECT_EQ("(loaded)", sound_error(path)) << rate << " Hz, " << channels << " channels";
    }
  }
}

// SDL 1.2 converts a sample to the mixer's format in at most nine steps (its list
// has ten slots and an end mark); sdl12-compat converts through SDL 2 and has no
// such limit, so the refusals on the line itself are the classic library's.
TEST_F(BadDataTest, SamplesAreRefusedExactlyWhenTheConversionWouldOverrun) {
  const bool classic = SDL_Linked_Version()->patch < 50;
  struct Format {
    uint32_t rate;
    int channels, bits;
  };
  // Within nine steps: sign, width, halving the channels and doubling the rate.
  const Format loads[] = {{8000, 4, 8},    {8000, 4, 16},  {22050, 4, 8}, {44100, 4, 16},
                          {8000, 6, 8},    {11025, 6, 16}, {44100, 6, 8}, {44100, 6, 16},
                          {1000, 1, 8},    {1000, 1, 16},  {2000, 1, 8},  {200000, 1, 8},
                          {200000, 1, 16}, {22, 1, 16},    {500, 8, 16},  {800000, 8, 16},
                          {22050, 7, 8},   {500, 2, 8}};
  for (const Format& f : loads) {
    const std::string path = data->write("loads.wav", wav(f.rate, f.channels, f.bits, 128));
    EXPECT_EQ("(loaded)", sound_error(path))
        << f.rate << " Hz, " << f.channels << " channels, " << f.bits << " bits";
  }
  // Ten steps: two for 8-bit samples, three for eight channels, five for the rate.
  const Format overruns[] = {{500, 8, 8}, {800000, 8, 8}, {21, 1, 16}, {11025, 128, 8}};
  for (const Format& f : overruns) {
    const std::string path = data->write("overruns.wav", wav(f.rate, f.channels, f.bits, 128));
    const std::string line = sound_error(path);
    if (classic || f.rate == 21) {
      EXPECT_EQ(
          "Unable to load sound sample " + path + ": unsupported WAV sample rate or channel count",
          line)
          << f.rate << " Hz, " << f.channels << " channels, " << f.bits << " bits";
    }
  }
}

}  // namespace
