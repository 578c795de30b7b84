// Damaged data at the SDL platform: pictures, samples, fonts and data folders
// that cannot be used are refused with the program's error line, never a crash,
// and the platform stays usable (or, at start-up, releases everything).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/plat_sdl.h"

namespace fs = std::filesystem;

namespace {

const bool kDummyDrivers = [] {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return true;
}();

const char* const kFontSource = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

typedef std::vector<uint8_t> Bytes;

void le16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xff);
  b.push_back((v >> 8) & 0xff);
}
void le32(Bytes& b, uint32_t v) {
  le16(b, v & 0xffff);
  le16(b, v >> 16);
}
void tag(Bytes& b, const char* s) { b.insert(b.end(), s, s + std::strlen(s)); }

// A 4 x 4 BMP with a 40-byte header; `bits` is written into the header as is.
Bytes bmp(int bits) {
  const int row = ((4 * bits + 31) / 32) * 4;
  Bytes b;
  tag(b, "BM");
  le32(b, 54 + row * 4);
  le32(b, 0);
  le32(b, 54);
  le32(b, 40);
  le32(b, 4);
  le32(b, 4);
  le16(b, 1);
  le16(b, bits);
  le32(b, 0);
  le32(b, row * 4);
  le32(b, 2835);
  le32(b, 2835);
  le32(b, 0);
  le32(b, 0);
  for (int i = 0; i < row * 4; i++) b.push_back(static_cast<uint8_t>(i * 7));
  return b;
}

// A PCM WAV of `frames` frames; the header may name any rate and channel count.
Bytes wav(uint32_t rate, int channels, int bits, int frames) {
  const int align = channels > 0 ? channels * bits / 8 : 1;
  Bytes b;
  tag(b, "RIFF");
  le32(b, 36 + frames * align);
  tag(b, "WAVEfmt ");
  le32(b, 16);
  le16(b, 1);
  le16(b, channels);
  le32(b, rate);
  le32(b, rate * align);
  le16(b, align);
  le16(b, bits);
  tag(b, "data");
  le32(b, frames * align);
  for (int i = 0; i < frames * align; i++) b.push_back(static_cast<uint8_t>(i * 13));
  return b;
}

Bytes cut(Bytes b, size_t size) {
  b.resize(size);
  return b;
}

Bytes text(const char* s) { return Bytes(s, s + std::strlen(s)); }

// A folder that disappears with the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zt-bad-XXXXXX").string();
    path = mkdtemp(&pattern[0]);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, ignored);
    fs::remove_all(path, ignored);
  }
  std::string file(const std::string& name) const { return path + "/" + name; }
  std::string write(const std::string& name, const Bytes& bytes) const {
    fs::create_directories(fs::path(file(name)).parent_path());
    std::ofstream(file(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return file(name);
  }
  void add_font() const {
    fs::create_directories(file("zentick"));
    fs::copy_file(kFontSource, file("zentick/andalemo.ttf"), fs::copy_options::overwrite_existing);
  }

  std::string path;
};

bool nothing_started() {
  return SDL_WasInit(SDL_INIT_EVERYTHING) == 0 && TTF_WasInit() == 0 &&
         Mix_QuerySpec(nullptr, nullptr, nullptr) == 0 && SDL_GetVideoSurface() == nullptr;
}

// `line` is `prefix` followed by `reason`, or by some reason when that is null.
void expect_line(const std::string& prefix, const char* reason, const std::string& line) {
  if (reason) {
    EXPECT_EQ(prefix + reason, line);
  } else {
    EXPECT_EQ(prefix, line.substr(0, prefix.size())) << line;
    EXPECT_GT(line.size(), prefix.size()) << "the library's reason";
    EXPECT_NE("(loaded)", line);
  }
}

// The message of the start-up failure of a platform on `datapath`.
std::string start_failure(const std::string& datapath) {
  ZT_PlatformSDL platform(640, 480, false, true);
  platform.datapath_set(datapath);
  try {
    platform.initialize();
  } catch (const ZT_Exception& e) {
    EXPECT_FALSE(platform.initialized);
    return e.message;
  }
  return "(no exception)";
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
    EXPECT_EQ("Unable to load font: Couldn't load font file", start_failure(data.path))
        << bytes.size() << " bytes";
    EXPECT_TRUE(nothing_started()) << "no window may stay open";
  }
  // A folder where the font should be opens but cannot be read.
  fs::remove(data.file("zentick/andalemo.ttf"));
  fs::create_directories(data.file("zentick/andalemo.ttf"));
  EXPECT_EQ("Unable to load font: Couldn't load font file", start_failure(data.path));
  EXPECT_TRUE(nothing_started());
}

TEST(BadDataStartUp, DataPathThatIsAFileEndsStartUpWithTheFontLine) {
  TempDir data;
  const std::string file = data.write("data", text("a file, not a folder\n"));
  EXPECT_EQ("Unable to load font: Couldn't open " + file + "/zentick/andalemo.ttf",
            start_failure(file));
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
  EXPECT_EQ("Unable to load font: Couldn't open " + data.path + "/zentick/andalemo.ttf",
            start_failure(data.path));
  EXPECT_TRUE(nothing_started());
}

// ---------------------------------------------------------------------------
// Pictures and samples, on one started platform.

class BadDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    data = new TempDir;
    data->add_font();
    platform = new ZT_PlatformSDL(640, 480, false, true);
    platform->datapath_set(data->path);
    platform->initialize();
  }
  static void TearDownTestSuite() {
    delete platform;
    platform = nullptr;
    delete data;
    data = nullptr;
  }

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

  static TempDir* data;
  static ZT_PlatformSDL* platform;
};

TempDir* BadDataTest::data = nullptr;
ZT_PlatformSDL* BadDataTest::platform = nullptr;

TEST_F(BadDataTest, DamagedPicturesAreRefusedWithTheirPathAndTheReason) {
  const struct {
    const char* name;
    Bytes bytes;
    const char* reason;
  } cases[] = {
      {"empty.bmp", Bytes(), "Error reading from datastream"},
      // SDL reads the fields of a cut header as garbage; its reason varies.
      {"header_only.bmp", cut(bmp(24), 30), nullptr},
      {"short_pixels.bmp", cut(bmp(24), 54 + 20), "Error reading from datastream"},
      {"text.bmp", text("P3 4 4 255\n"), "File is not a Windows BMP file"},
      {"sound.bmp", wav(22050, 1, 16, 8), "File is not a Windows BMP file"},
      // SDL would take 257 bits as 1 with no palette and crash on the first copy.
      {"bits257.bmp", bmp(257), "unsupported BMP pixel format"},
      {"bits12.bmp", bmp(12), "unsupported BMP pixel format"},
  };
  for (const auto& c : cases) {
    const std::string path = data->write(c.name, c.bytes);
    expect_line("Unable to load image " + path + ": ", c.reason, image_error(path));
  }
  const std::string folder = data->file("folder.bmp");
  fs::create_directories(folder);
  EXPECT_EQ("Unable to load image " + folder + ": Error reading from datastream",
            image_error(folder));
  const std::string through_file = data->file("text.bmp/inner.bmp");
  EXPECT_EQ("Unable to load image " + through_file + ": Couldn't open " + through_file,
            image_error(through_file));

  // Every depth a BMP really has still loads, and the platform goes on drawing.
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    const std::string path = data->write("bits" + std::to_string(bits) + ".bmp", bmp(bits));
    EXPECT_EQ("(loaded)", image_error(path)) << bits << " bits";
  }
}

TEST_F(BadDataTest, DamagedSamplesAreRefusedWithTheirPathAndTheReason) {
  const struct {
    const char* name;
    Bytes bytes;
    const char* reason;
  } cases[] = {
      {"empty.wav", Bytes(), nullptr},
      {"text.wav", text("RIFF, but not really\n"), "Unrecognized file type (not WAVE)"},
      {"picture.wav", bmp(24), "Unrecognized file type (not WAVE)"},
      {"header_only.wav", cut(wav(22050, 1, 16, 100), 30), nullptr},
      {"short_data.wav", cut(wav(22050, 1, 16, 100), 100), "Error reading from datastream"},
      // The mixer's rate conversion writes past its filter table for rates this
      // far from its own, and past its buffers for zero channels.
      {"rate10.wav", wav(10, 1, 8, 64), "unsupported WAV sample rate or channel count"},
      {"rate100M.wav", wav(100000000, 1, 8, 64), "unsupported WAV sample rate or channel count"},
      {"mute.wav", wav(22050, 0, 8, 64), "unsupported WAV sample rate or channel count"},
      {"seven.wav", wav(22050, 7, 8, 7), "unsupported WAV sample rate or channel count"},
  };
  for (const auto& c : cases) {
    const std::string path = data->write(c.name, c.bytes);
    expect_line("Unable to load sound sample " + path + ": ", c.reason, sound_error(path));
  }
  // Other sample formats the mixer knows are not sound files of this program.
  Bytes aiff;
  tag(aiff, "FORM");
  le32(aiff, 4);
  tag(aiff, "AIFF");
  const std::string aiff_path = data->write("aiff.wav", aiff);
  expect_line("Unable to load sound sample " + aiff_path + ": ", nullptr, sound_error(aiff_path));

  // Ordinary WAVs at the common rates still load and play.
  for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u}) {
    for (int channels : {1, 2}) {
      const std::string path = data->write("ok.wav", wav(rate, channels, 16, 256));
      EXPECT_EQ("(loaded)", sound_error(path)) << rate << " Hz, " << channels << " channels";
    }
  }
}

}  // namespace
