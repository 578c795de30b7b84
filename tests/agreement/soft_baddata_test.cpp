// SPDX-License-Identifier: MIT
// Damaged pictures, samples and fonts through the software platform: the same
// error lines as the desktop program's SDL platform gives for them, never a
// crash, and the platform goes on working. Read from a data pack, the same
// files give the same lines.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "platform/decode/pack.h"
#include "platform/plat_soft.h"
#include "support/media_files.h"
#include "support/sdl_checks.h"

namespace fs = std::filesystem;

namespace {

Bytes cut(Bytes b, size_t size) {
  b.resize(std::min(size, b.size()));
  return b;
}
Bytes file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
// A pack of the files of a folder named, by their names below it.
std::shared_ptr<const ZT_Pack> pack_of(const std::string& folder,
                                       const std::vector<std::string>& names) {
  std::vector<std::pair<std::string, Bytes>> files;
  for (const std::string& name : names) {
    if (fs::is_regular_file(folder + "/" + name)) {
      files.emplace_back(name, file_bytes(folder + "/" + name));
    }
  }
  std::string reason;
  std::shared_ptr<const ZT_Pack> pack = ZT_Pack::open_bytes(pack_bytes(files), &reason);
  EXPECT_TRUE(pack) << reason;
  return pack;
}
Bytes text(const char* s) { return Bytes(s, s + std::strlen(s)); }
Bytes bmp(int bits, int32_t w = 4, int32_t h = 4, int compression = 0) {
  const int row = ((4 * bits + 31) / 32) * 4;
  return bmp_bytes(w, h, bits, compression, {}, {}, ramp(row * 4, 7));
}
Bytes wav(uint32_t rate, int channels, int bits, int frames, int format = 1) {
  const int align = channels > 0 ? channels * bits / 8 : 1;
  return wav_bytes(format, channels, rate, bits, align, {}, {}, ramp(frames * align, 13));
}

// The message of what `load` throws, or "(loaded)".
std::string failure(const std::function<void()>& load) {
  try {
    load();
  } catch (const ZT_Exception& e) {
    return e.message;
  }
  return "(loaded)";
}

class SoftBadDataTest : public StartedPlatformTest {
 protected:
  void SetUp() override {
    soft.reset(new ZT_PlatformSoft);
    soft->datapath_set(data->path);
    soft->initialize();
    packed.reset(new ZT_PlatformSoft);
    packed->datapath_set(data->path);
    packed->initialize();
  }
  // Both platforms' lines for one file; `same` false where SDL's reason is
  // garbage read from a cut header, and only the start of the lines can agree.
  void expect_same_line(const std::string& prefix, const std::string& path,
                        const std::function<void(ZT_Platform*)>& use, bool same) {
    const std::string sdl = failure([&] { use(platform); });
    const std::string mine = failure([&] { use(soft.get()); });
    packed->pack_set(pack_of(data->path, {path.substr(data->path.size() + 1)}));
    EXPECT_EQ(mine, failure([&] { use(packed.get()); })) << path << " from a pack";
    if (same) {
      EXPECT_EQ(sdl, mine) << path;
    } else {
      EXPECT_EQ(prefix + path + ": ", sdl.substr(0, prefix.size() + path.size() + 2));
      EXPECT_EQ(prefix + path + ": ", mine.substr(0, prefix.size() + path.size() + 2));
    }
  }
  // Loaded, then drawn (a picture) or played and mixed (a sample).
  void expect_same_picture_line(const std::string& name, const Bytes& bytes, bool same = true) {
    const std::string path = data->write(name, bytes);
    ZT_Platform_RGB key = ZT_Platform_RGB_create(255, 255, 255);
    auto use = [&](ZT_Platform* p) {
      std::unique_ptr<ZT_Platform_Image> image(p->image_load(path, &key));
      p->draw_image(image.get(), -1, -1);
    };
    expect_same_line("Unable to load image ", path, use, same);
  }
  void expect_same_sound_line(const std::string& name, const Bytes& bytes, bool same = true) {
    const std::string path = data->write(name, bytes);
    auto use = [&](ZT_Platform* p) {
      std::unique_ptr<ZT_Platform_Sound> sound(p->sound_load(path));
      p->sound_play(sound.get());
      int16_t out[64];
      soft->audio_mix(out, 64);
      p->sound_stop_all();
    };
    expect_same_line("Unable to load sound sample ", path, use, same);
  }

  std::unique_ptr<ZT_PlatformSoft> soft, packed;
};

TEST_F(SoftBadDataTest, DamagedPicturesGiveTheDesktopProgramsLines) {
  expect_same_picture_line("empty.bmp", Bytes());
  expect_same_picture_line("one.bmp", text("B"));
  expect_same_picture_line("header_only.bmp", cut(bmp(24), 30), false);
  expect_same_picture_line("short_pixels.bmp", cut(bmp(24), 54 + 20));
  expect_same_picture_line("last_row_short.bmp", cut(bmp(24), bmp(24).size() - 1));
  expect_same_picture_line("text.bmp", text("P3 4 4 255\n"));
  expect_same_picture_line("sound.bmp", wav(22050, 1, 16, 8));
  expect_same_picture_line("rle8.bmp", bmp(8, 4, 4, 1));
  expect_same_picture_line("jpeg.bmp", bmp(24, 4, 4, 4));
  expect_same_picture_line("bits12.bmp", bmp(12));
  expect_same_picture_line("missing.bmp/inner.bmp", Bytes(), true);
  const std::string folder = data->file("folder.bmp");
  fs::create_directories(folder);
  const std::string sdl = failure([&] { delete platform->image_load(folder, nullptr); });
  EXPECT_EQ(sdl, failure([&] { delete soft->image_load(folder, nullptr); }));
  const std::string nowhere = data->file("nowhere.bmp");
  const std::string missing = failure([&] { delete soft->image_load(nowhere, nullptr); });
  EXPECT_EQ(failure([&] { delete platform->image_load(nowhere, nullptr); }), missing);
  packed->pack_set(pack_of(data->path, {}));
  EXPECT_EQ(missing, failure([&] { delete packed->image_load(nowhere, nullptr); }));

  expect_same_picture_line("width0.bmp", bmp(24, 0, 4));
  expect_same_picture_line("height0.bmp", bmp(24, 4, 0));
  expect_same_picture_line("width_negative.bmp", bmp(24, -4, 4));
  expect_same_picture_line("rle_width0.bmp", bmp(8, 0, 4, 1));
  // Palette pictures: an index past the palette, more colours than 8 bits
  // hold, a 4-bit picture cut short.
  Bytes palette(4 * 4, 0x40);
  expect_same_picture_line("out_of_palette.bmp", bmp_bytes(4, 1, 8, 0, {}, palette, {0, 1, 2, 9}));
  expect_same_picture_line("nibble_out.bmp", bmp_bytes(2, 1, 4, 0, {}, palette, {0x1f, 0, 0, 0}));
  Bytes many = bmp_bytes(4, 1, 8, 0, {}, palette, {0, 1, 2, 3});
  many[46] = 0x2c, many[47] = 1;  // 300 colours
  expect_same_picture_line("many_colours.bmp", many);
  expect_same_picture_line("nibbles_cut.bmp", bmp_bytes(9, 2, 4, 0, {}, palette, {0x11, 0x11}));
  // More pixels than the file holds are refused before anything is made for them.
  for (int32_t height : {1 << 30, -2147483647 - 1}) {
    const std::string path = data->write("size.bmp", bmp(24, 1 << 30, height));
    EXPECT_EQ("Unable to load image " + path + ": Error reading from datastream",
              failure([&] { delete soft->image_load(path, nullptr); }));
  }
  // A top-down picture (negative height) loads as in SDL.
  expect_same_picture_line("topdown.bmp", bmp(24, 4, -4));
}

TEST_F(SoftBadDataTest, DamagedSamplesGiveTheDesktopProgramsLines) {
  expect_same_sound_line("empty.wav", Bytes(), false);
  expect_same_sound_line("text.wav", text("RIFF, but not really\n"));
  expect_same_sound_line("picture.wav", bmp(24));
  expect_same_sound_line("header_only.wav", cut(wav(22050, 1, 16, 100), 30), false);
  expect_same_sound_line("short_data.wav", cut(wav(22050, 1, 16, 100), 100));
  expect_same_sound_line("rate10.wav", wav(10, 1, 8, 64));
  expect_same_sound_line("rate100M.wav", wav(100000000, 1, 8, 64));
  expect_same_sound_line("mute.wav", wav(22050, 0, 8, 64));
  expect_same_sound_line("seven.wav", wav(22050, 7, 8, 7));
  expect_same_sound_line("rate1k.wav", wav(1000, 1, 16, 64));
  expect_same_sound_line("short_fmt.wav", wav_short_fmt_bytes());
  expect_same_sound_line("bits24.wav", wav(22050, 1, 24, 8));
  expect_same_sound_line("float.wav", wav(22050, 1, 32, 8, 3));
  expect_same_sound_line("nowhere/x.wav", Bytes());
  // A data chunk that claims more than the file holds.
  Bytes long_data = wav(22050, 1, 16, 10);
  long_data[long_data.size() - 20 - 4] = 0xff;
  expect_same_sound_line("long_data.wav", long_data);
  // What the desktop program plays loads here too.
  for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
    for (int channels : {1, 2}) {
      for (int bits : {8, 16}) {
        expect_same_sound_line("ok.wav", wav(rate, channels, bits, 256));
      }
    }
  }
}

TEST_F(SoftBadDataTest, AFontThatIsNotAFontEndsStartUpWithTheFontLine) {
  TempDir folder;
  std::ifstream in(kFontSource, std::ios::binary);
  const Bytes font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const Bytes& bytes : {Bytes(), text("not a font\n"), cut(font, 12), cut(font, 1000),
                             cut(font, 100000), bmp(24)}) {
    folder.write("zentick/andalemo.ttf", bytes);
    for (bool from_pack : {false, true}) {
      ZT_PlatformSoft started;
      started.datapath_set(folder.path);
      if (from_pack) started.pack_set(pack_of(folder.path, {"zentick/andalemo.ttf"}));
      EXPECT_EQ("Unable to load font: Couldn't load font file",
                failure([&] { started.initialize(); }))
          << bytes.size() << " bytes" << (from_pack ? " from a pack" : "");
      EXPECT_FALSE(started.initialized);
    }
  }
  ZT_PlatformSoft empty_pack;
  empty_pack.datapath_set(folder.path);
  empty_pack.pack_set(pack_of(folder.path, {}));
  EXPECT_EQ("Unable to load font: Couldn't open " + folder.path + "/zentick/andalemo.ttf",
            failure([&] { empty_pack.initialize(); }));
  ZT_PlatformSoft nowhere;
  nowhere.datapath_set(folder.path + "/none");
  EXPECT_EQ("Unable to load font: Couldn't open " + folder.path + "/none/zentick/andalemo.ttf",
            failure([&] { nowhere.initialize(); }));
  fs::remove(folder.file("zentick/andalemo.ttf"));
  fs::create_directories(folder.file("zentick/andalemo.ttf"));
  ZT_PlatformSoft folder_font;
  folder_font.datapath_set(folder.path);
  EXPECT_EQ("Unable to load font: Couldn't load font file",
            failure([&] { folder_font.initialize(); }));
}

}  // namespace
