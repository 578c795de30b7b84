// SPDX-License-Identifier: MIT
// The SDL platform under the dummy video and audio drivers, on pictures,
// samples and a font made in a temporary folder; pixels are read back from the
// off-screen frame and the screen.
#include "platform/plat_sdl.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <csignal>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/media_files.h"
#include "support/sdl_checks.h"
#include "support/temp_dir.h"

namespace {

struct Colour {
  Uint8 r, g, b;
};

const Colour kBlack = {0, 0, 0};
const Colour kWhite = {255, 255, 255};
const Colour kRed = {255, 0, 0};
const Colour kGreen = {0, 255, 0};
const Colour kBlue = {0, 0, 255};
const Colour kYellow = {255, 255, 0};
const Colour kMagenta = {255, 0, 255};
const Colour kCyan = {0, 255, 255};

// The frame and the screen are 16-bit surfaces.
Uint32 raw_pixel(SDL_Surface* s, int x, int y) {
  return static_cast<Uint16*>(s->pixels)[y * s->pitch / 2 + x];
}

// "r,g,b" of a pixel, so that failures read well.
std::string at(SDL_Surface* s, int x, int y) {
  Uint8 r, g, b;
  SDL_GetRGB(raw_pixel(s, x, y), s->format, &r, &g, &b);
  return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}

// How a colour looks once stored in the surface's format.
std::string as_stored(SDL_Surface* s, Colour c) {
  Uint8 r, g, b;
  SDL_GetRGB(SDL_MapRGB(s->format, c.r, c.g, c.b), s->format, &r, &g, &b);
  return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}

void fill(SDL_Surface* s, int x, int y, int w, int h, Colour c) {
  SDL_Rect r = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
                static_cast<Uint16>(h)};
  SDL_FillRect(s, &r, SDL_MapRGB(s->format, c.r, c.g, c.b));
}

int count(SDL_Surface* s, int x, int y, int w, int h, Colour c) {
  const Uint32 want = SDL_MapRGB(s->format, c.r, c.g, c.b);
  int n = 0;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) n += raw_pixel(s, i, j) == want;
  return n;
}

// Writes a BMP of the given depth (8: palette, 24: true colour) whose pixel
// (x, y) is paint(x, y).
void write_bmp(const std::string& path, int w, int h, int depth,
               const std::function<Colour(int, int)>& paint) {
  SDL_Surface* s =
      depth == 8 ? SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0)
                 : SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
  ASSERT_NE(nullptr, s);
  std::vector<SDL_Color> palette;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Colour c = paint(x, y);
      Uint32 value = SDL_MapRGB(s->format, c.r, c.g, c.b);
      if (depth == 8) {  // one palette entry per distinct colour
        value = 0;
        while (value < palette.size() &&
               !(palette[value].r == c.r && palette[value].g == c.g && palette[value].b == c.b))
          ++value;
        if (value == palette.size()) palette.push_back({c.r, c.g, c.b, 0});
      }
      SDL_Rect dot = {static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
      SDL_FillRect(s, &dot, value);
    }
  }
  if (depth == 8) SDL_SetColors(s, palette.data(), 0, static_cast<int>(palette.size()));
  ASSERT_EQ(0, SDL_SaveBMP(s, path.c_str()));
  SDL_FreeSurface(s);
}

// A 16-bit mono PCM WAV of the given length at the mixer's rate.
void write_wav(const std::string& path, int samples) {
  Bytes square;
  for (int i = 0; i < samples; ++i) le16(square, (i / 50) % 2 ? 0x2000 : 0xe000);
  write_file(path, wav_bytes(1, 1, 22050, 16, 2, {}, {}, square));
}

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Points one driver variable at a driver that does not exist, for one scope.
struct BrokenDriver {
  explicit BrokenDriver(const char* name) : name(name) { setenv(name, "no-such-driver", 1); }
  ~BrokenDriver() { setenv(name, "dummy", 1); }
  const char* name;
};

// Leaves the audio to the mixer itself, which then opens the device on its own.
class PlatformWithoutAudioInit : public ZT_PlatformSDL {
 public:
  PlatformWithoutAudioInit() : ZT_PlatformSDL(640, 480, false, true) {}
  int sdlinit(int flags) override { return flags & ~SDL_INIT_AUDIO; }
};

}  // namespace

// A run with sdl12-compat's folder on LD_LIBRARY_PATH must really reach it: it
// reports 1.2.50 or later, classic SDL ended at 1.2.15.
TEST(PlatformSDLLibrary, RunsOnSdl12CompatWhenItsFolderIsOnTheLibraryPath) {
  const char* path = getenv("LD_LIBRARY_PATH");
  if (!path || !std::strstr(path, "sdl12-compat")) GTEST_SKIP() << "any SDL 1.2 will do";
  const SDL_version* linked = SDL_Linked_Version();
  EXPECT_GE(linked->patch, 50) << "linked SDL 1.2." << int(linked->patch);
}

// ---------------------------------------------------------------------------
// Start-up and shut-down, each test with a platform of its own.

TEST(PlatformSDLStartUp, MissingFontFailsCleanlyAndRetryAfterFixingSucceeds) {
  TempDir data;
  ZT_PlatformSDL platform(640, 480, false, true);
  platform.datapath_set(data.path);

  std::string message = start_failure(platform);
  EXPECT_TRUE(starts_with(message, "Unable to load font: ")) << message;
  EXPECT_NE(std::string::npos, message.find("andalemo.ttf")) << message;
  EXPECT_FALSE(platform.initialized);
  EXPECT_TRUE(nothing_started()) << "the window, mixer and font engine must be released";

  data.add_font();
  ASSERT_NO_THROW(platform.initialize());
  EXPECT_TRUE(platform.initialized);
  platform.finalize();
  EXPECT_FALSE(platform.initialized);
  EXPECT_TRUE(nothing_started());
  platform.finalize();  // a second finalize does nothing
}

TEST(PlatformSDLStartUp, LibraryFailuresNameTheStepAndReleaseEverything) {
  TempDir data;
  data.add_font();
  {
    BrokenDriver video("SDL_VIDEODRIVER");
    ZT_PlatformSDL platform(640, 480, false, true);
    platform.datapath_set(data.path);
    std::string message = start_failure(platform);
    EXPECT_TRUE(starts_with(message, "Unable to init SDL: ")) << message;
    EXPECT_GT(message.size(), std::strlen("Unable to init SDL: ")) << "the library's reason";
    EXPECT_TRUE(nothing_started());
  }
  {
    BrokenDriver audio("SDL_AUDIODRIVER");
    PlatformWithoutAudioInit platform;
    platform.datapath_set(data.path);
    std::string message = start_failure(platform);
    EXPECT_TRUE(starts_with(message, "Unable to init SDL_mixer: ")) << message;
    EXPECT_TRUE(nothing_started());
  }
}

TEST(PlatformSDLStartUp, PicturesAndSamplesMayOutliveThePlatform) {
  TempDir data;
  data.add_font();
  write_bmp(data.file("p.bmp"), 8, 8, 24, [](int, int) { return kRed; });
  write_wav(data.file("s.wav"), 22050);
  std::unique_ptr<ZT_Platform_Image> image;
  std::unique_ptr<ZT_Platform_Sound> sound;
  {
    ZT_PlatformSDL platform(640, 480, false, true);
    platform.datapath_set(data.path);
    platform.initialize();
    image.reset(platform.image_load(data.file("p.bmp"), nullptr));
    sound.reset(platform.sound_load(data.file("s.wav")));
    platform.draw_image(image.get(), 0, 0);
    platform.sound_play(sound.get());
    // The menu drops its last picture only after the platform is finalised.
  }
  EXPECT_TRUE(nothing_started()) << "the destructor finalises";
  image.reset();
  sound.reset();
}

// SIGINT and SIGTERM read as the window's close button on every poll while the
// platform runs, so that a game is left and then the menu; SDL's own handler
// would queue one quit event, and could hang the program doing so.
TEST(PlatformSDLStartUp, QuitSignalsReadAsQuitOnEveryPollUntilFinalised) {
  TempDir data;
  data.add_font();
  ZT_PlatformSDL platform(640, 480, false, true);
  platform.datapath_set(data.path);
  for (int signal_number : {SIGINT, SIGTERM}) {
    platform.initialize();
    ZT_Platform_Event e = {-1, 77};
    EXPECT_FALSE(platform.event(ZT_GAMETYPE_NONE, &e));
    ASSERT_EQ(0, raise(signal_number));
    for (int poll = 0; poll < 3; poll++) {
      ASSERT_TRUE(platform.event(ZT_GAMETYPE_VTECH, &e)) << signal_number << ", poll " << poll;
      EXPECT_EQ(ZT_EVENT_QUIT, e.type);
      EXPECT_EQ(77, e.key);
    }
    platform.finalize();
    struct sigaction action;
    sigaction(signal_number, nullptr, &action);
    EXPECT_EQ(SIG_DFL, action.sa_handler) << "the default action is back";
  }
  platform.initialize();
  ZT_Platform_Event e = {-1, 77};
  EXPECT_FALSE(platform.event(ZT_GAMETYPE_NONE, &e)) << "a new start has no request left";
}

int foreign_signals = 0;
extern "C" void count_foreign_signal(int) { foreign_signals++; }

TEST(PlatformSDLStartUp, IgnoredAndForeignSignalHandlersAreLeftAlone) {
  TempDir data;
  data.add_font();
  signal(SIGINT, SIG_IGN);  // as a background job of a shell
  signal(SIGTERM, count_foreign_signal);
  {
    ZT_PlatformSDL platform(640, 480, false, true);
    platform.datapath_set(data.path);
    platform.initialize();
    ASSERT_EQ(0, raise(SIGINT));
    ASSERT_EQ(0, raise(SIGTERM));
    EXPECT_EQ(1, foreign_signals);
    ZT_Platform_Event e = {-1, 77};
    EXPECT_FALSE(platform.event(ZT_GAMETYPE_NONE, &e));
  }
  struct sigaction action;
  sigaction(SIGINT, nullptr, &action);
  EXPECT_EQ(SIG_IGN, action.sa_handler);
  sigaction(SIGTERM, nullptr, &action);
  EXPECT_EQ(&count_foreign_signal, action.sa_handler);
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
}

// ---------------------------------------------------------------------------
// One started platform shared by the rest: starting the mixer costs time.

class PlatformSDLTest : public StartedPlatformTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform->initialized);
    SDL_Event ignored;
    while (SDL_PollEvent(&ignored)) {
    }
    platform->draw_clear();
  }

  SDL_Surface* frame() { return platform->blitsurface; }
  SDL_Surface* screen() { return platform->screen; }
  std::unique_ptr<ZT_Platform_Image> load(const std::string& name, ZT_Platform_RGB* key) {
    return std::unique_ptr<ZT_Platform_Image>(platform->image_load(data->file(name), key));
  }
  static void push_key(SDLKey sym) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    ASSERT_EQ(0, SDL_PushEvent(&e));
  }
  static void push(Uint8 type) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    ASSERT_EQ(0, SDL_PushEvent(&e));
  }
};

TEST_F(PlatformSDLTest, StartsAWindowWithSixMonoChannelsAtVolume75) {
  char* title = nullptr;
  char* icon = nullptr;
  SDL_WM_GetCaption(&title, &icon);
  ASSERT_NE(nullptr, title);
  EXPECT_STREQ("Zentick simulator - by Quorvex & Selvane", title);
  EXPECT_EQ(nullptr, icon);

  EXPECT_EQ(640, screen()->w);
  EXPECT_EQ(480, screen()->h);
  EXPECT_EQ(16, screen()->format->BitsPerPixel);
  ASSERT_NE(screen(), frame());
  EXPECT_EQ(screen()->w, frame()->w);
  EXPECT_EQ(screen()->h, frame()->h);
  EXPECT_EQ(screen()->format->BitsPerPixel, frame()->format->BitsPerPixel);
  EXPECT_EQ(screen()->format->Rmask, frame()->format->Rmask);
  EXPECT_EQ(screen()->format->Gmask, frame()->format->Gmask);
  EXPECT_EQ(screen()->format->Bmask, frame()->format->Bmask);
  EXPECT_EQ(SDL_DISABLE, SDL_ShowCursor(SDL_QUERY));

  int rate = 0, channels = 0;
  Uint16 format = 0;
  ASSERT_NE(0, Mix_QuerySpec(&rate, &format, &channels));
  EXPECT_EQ(22050, rate);
  EXPECT_EQ(AUDIO_S16SYS, format);
  EXPECT_EQ(1, channels);
  EXPECT_EQ(6, Mix_AllocateChannels(-1));
  EXPECT_EQ(75, Mix_Volume(-1, -1));

  SDL_Surface* before = screen();
  platform->initialize();  // already started: nothing happens
  EXPECT_EQ(before, screen());
}

// ---- pictures

TEST_F(PlatformSDLTest, ImageLoadFailuresNameThePath) {
  const std::string missing = data->file("missing.bmp");
  try {
    platform->image_load(missing, nullptr);
    ADD_FAILURE() << "no exception";
  } catch (const ZT_Exception& e) {
    EXPECT_TRUE(starts_with(e.message, "Unable to load image " + missing + ": ")) << e.message;
    EXPECT_GT(e.message.size(), ("Unable to load image " + missing + ": ").size());
  }

  const std::string not_bmp = data->write("text.bmp", "not a picture\n");
  try {
    platform->image_load(not_bmp, nullptr);
    ADD_FAILURE() << "no exception";
  } catch (const ZT_Exception& e) {
    EXPECT_TRUE(starts_with(e.message, "Unable to load image " + not_bmp + ": ")) << e.message;
  }
}

TEST_F(PlatformSDLTest, ColourKeyedPixelsLetTheFrameShowThrough) {
  // Columns: key colour, red, and a colour the 16-bit frame cannot tell from
  // the key; only the exact key may turn see-through.
  const Colour near_key = {250, 0, 252};
  for (int depth : {8, 24}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    write_bmp(data->file("key.bmp"), 3, 2, depth, [&](int x, int) {
      return x == 0 ? kMagenta : x == 1 ? kRed : near_key;
    });
    ZT_Platform_RGB key = ZT_Platform_RGB_create(255, 0, 255);
    auto keyed = load("key.bmp", &key);
    auto plain = load("key.bmp", nullptr);

    fill(frame(), 0, 0, 20, 20, kGreen);
    platform->draw_image(keyed.get(), 0, 0);
    platform->draw_image(plain.get(), 10, 10);
    EXPECT_EQ(as_stored(frame(), kGreen), at(frame(), 0, 1));
    EXPECT_EQ(as_stored(frame(), kRed), at(frame(), 1, 1));
    EXPECT_EQ(as_stored(frame(), near_key), at(frame(), 2, 1));
    EXPECT_EQ(as_stored(frame(), kMagenta), at(frame(), 10, 11)) << "no key: drawn as it is";
    EXPECT_EQ(as_stored(frame(), kGreen), at(frame(), 3, 1)) << "nothing past the picture";
  }
}

TEST_F(PlatformSDLTest, PlainPicturesAreKeptInTheFrameFormatForFastDrawing) {
  write_bmp(data->file("plain.bmp"), 4, 4, 24, [](int, int) { return kRed; });
  auto image = load("plain.bmp", nullptr);
  auto* sdl_image = static_cast<ZT_PlatformSDL_Image*>(image.get());
  EXPECT_EQ(frame()->format->BitsPerPixel, sdl_image->surface->format->BitsPerPixel);
  EXPECT_EQ(4, image->width_get());
  EXPECT_EQ(4, image->height_get());
}

TEST_F(PlatformSDLTest, DrawImageClipsAtEveryEdgeOfTheFrame) {
  const Colour columns[] = {kRed, kGreen, kBlue, kWhite};
  write_bmp(data->file("cols.bmp"), 4, 3, 24, [&](int x, int) { return columns[x]; });
  auto image = load("cols.bmp", nullptr);

  platform->draw_image(image.get(), -2, 10);
  EXPECT_EQ(as_stored(frame(), kBlue), at(frame(), 0, 10)) << "starts two pixels in";
  EXPECT_EQ(as_stored(frame(), kWhite), at(frame(), 1, 10));
  EXPECT_EQ(as_stored(frame(), kBlack), at(frame(), 2, 10));

  platform->draw_image(image.get(), 638, -2);
  EXPECT_EQ(as_stored(frame(), kRed), at(frame(), 638, 0));
  EXPECT_EQ(as_stored(frame(), kGreen), at(frame(), 639, 0));
  EXPECT_EQ(as_stored(frame(), kBlack), at(frame(), 638, 1));

  platform->draw_image(image.get(), -4, 50);  // entirely off the left edge
  platform->draw_image(image.get(), 640, 50);
  EXPECT_EQ(640 * 480 - 6 - 2, count(frame(), 0, 0, 640, 480, kBlack)) << "only what was seen";

  platform->draw_image(nullptr, 0, 0);  // ignored
}

TEST_F(PlatformSDLTest, ResizeFitScalesUpToFitKeepingProportions) {
  write_bmp(data->file("wide.bmp"), 320, 200, 24, [](int, int) { return kRed; });
  auto image = load("wide.bmp", nullptr);
  ASSERT_TRUE(image->resize_fit(640, 480));
  EXPECT_EQ(640, image->width_get());
  EXPECT_EQ(400, image->height_get());
  platform->draw_image(image.get(), 0, 0);
  EXPECT_EQ(as_stored(frame(), kRed), at(frame(), 639, 399));
  EXPECT_EQ(as_stored(frame(), kBlack), at(frame(), 639, 400));

  ASSERT_TRUE(image->resize_fit(100, 100));
  EXPECT_EQ(100, image->width_get()) << "shrinks as well";
  EXPECT_LE(image->height_get(), 100);
}

// ---- primitives

TEST_F(PlatformSDLTest, LinesAreOpaqueAndWhiteByDefault) {
  fill(frame(), 0, 0, 40, 40, kBlue);
  platform->draw_line(0, 5, 9, 5, nullptr);
  EXPECT_EQ(10, count(frame(), 0, 5, 10, 1, kWhite));
  EXPECT_EQ(as_stored(frame(), kBlue), at(frame(), 10, 5));

  ZT_Platform_RGB red = ZT_Platform_RGB_create(255, 0, 0);
  platform->draw_line(20, 20, 30, 30, &red);
  EXPECT_EQ(as_stored(frame(), kRed), at(frame(), 25, 25));
  EXPECT_EQ(as_stored(frame(), kBlue), at(frame(), 26, 25));
}

TEST_F(PlatformSDLTest, RectangleWithoutColoursIsAWhiteOutlineOnly) {
  platform->draw_rectangle(10, 10, 20, 20, nullptr, nullptr, -1);
  EXPECT_EQ(11, count(frame(), 10, 10, 11, 1, kWhite));
  EXPECT_EQ(11, count(frame(), 10, 20, 11, 1, kWhite));
  EXPECT_EQ(11, count(frame(), 10, 10, 1, 11, kWhite));
  EXPECT_EQ(11, count(frame(), 20, 10, 1, 11, kWhite));
  EXPECT_EQ(9 * 9, count(frame(), 11, 11, 9, 9, kBlack));
}

TEST_F(PlatformSDLTest, OpaqueFillCoversTheBorderAndTranslucentFillDarkens) {
  ZT_Platform_RGB red = ZT_Platform_RGB_create(255, 0, 0);
  ZT_Platform_RGB green = ZT_Platform_RGB_create(0, 255, 0);
  platform->draw_rectangle(0, 0, 9, 9, &red, &green, -1);
  EXPECT_EQ(100, count(frame(), 0, 0, 10, 10, kGreen));

  platform->draw_rectangle(30, 30, 39, 39, &red, nullptr, 255 + 256);  // low 8 bits: opaque
  EXPECT_EQ(as_stored(frame(), kRed), at(frame(), 30, 35));
  EXPECT_EQ(as_stored(frame(), kBlack), at(frame(), 35, 35));

  // The menu darkens its background with black at opacity 140.
  fill(frame(), 100, 100, 20, 20, kWhite);
  ZT_Platform_RGB black = ZT_Platform_RGB_create(0, 0, 0);
  platform->draw_rectangle(100, 100, 109, 119, nullptr, &black, 140);
  Uint8 r, g, b;
  SDL_GetRGB(raw_pixel(frame(), 105, 110), frame()->format, &r, &g, &b);
  EXPECT_GT(r, 90);
  EXPECT_LT(r, 140);
  EXPECT_EQ(as_stored(frame(), kWhite), at(frame(), 110, 110)) << "only inside the corners";
}

TEST_F(PlatformSDLTest, TextIsSolidInItsColourAndMeasured) {
  const int width = platform->text_width("Zentick");
  const int height = platform->text_height("Zentick");
  ASSERT_GT(width, 0);
  ASSERT_GT(height, 0);
  EXPECT_GT(platform->text_width("Zentick Zentick"), width);
  EXPECT_GT(platform->text_fontheight(), 0);

  ZT_Platform_RGB red = ZT_Platform_RGB_create(255, 0, 0);
  platform->text_draw(50, 60, "Zentick", &red);
  const int red_pixels = count(frame(), 50, 60, width, height, kRed);
  EXPECT_GT(red_pixels, 20);
  EXPECT_EQ(width * height, red_pixels + count(frame(), 50, 60, width, height, kBlack))
      << "solid text has no blended edge";
  EXPECT_EQ(640 * 480 - red_pixels, count(frame(), 0, 0, 640, 480, kBlack)) << "nothing outside";

  platform->text_draw(200, 60, "Zentick", nullptr);
  EXPECT_EQ(red_pixels, count(frame(), 200, 60, width, height, kWhite));
}

// ---- presentation

class PlatformSDLFlipTest : public PlatformSDLTest {
 protected:
  // The frame: blue outside the expected box, a magenta ring just inside it and
  // a colour per quadrant; the screen is cleared to cyan before each flip.
  void paint_box(int x, int y, int w, int h) {
    fill(frame(), 0, 0, 640, 480, kBlue);
    fill(frame(), x, y, w, h, kMagenta);
    fill(frame(), x + 1, y + 1, w / 2 - 1, h / 2 - 1, kRed);
    fill(frame(), x + w / 2, y + 1, w - w / 2 - 1, h / 2 - 1, kGreen);
    fill(frame(), x + 1, y + h / 2, w / 2 - 1, h - h / 2 - 1, kYellow);
    fill(frame(), x + w / 2, y + h / 2, w - w / 2 - 1, h - h / 2 - 1, kWhite);
    fill(screen(), 0, 0, 640, 480, kCyan);
  }
  bool screen_equals_frame() {
    bool same = true;
    for (int y = 0; same && y < 480; ++y) {
      same = std::memcmp(static_cast<Uint8*>(screen()->pixels) + y * screen()->pitch,
                         static_cast<Uint8*>(frame()->pixels) + y * frame()->pitch, 640 * 2) == 0;
    }
    return same;
  }
};

TEST_F(PlatformSDLFlipTest, NoZoomAndOversizedBoxesShowTheFrameOneToOne) {
  const int boxes[][2] = {{0, 0}, {800, 600}, {641, 10}, {10, 481}};
  for (const auto& box : boxes) {
    SCOPED_TRACE(std::to_string(box[0]) + "x" + std::to_string(box[1]));
    paint_box(100, 50, 200, 100);
    platform->draw_flip(box[0], box[1]);
    EXPECT_TRUE(screen_equals_frame());
  }
}

TEST_F(PlatformSDLFlipTest, ZoomStretchesTheCentredBoxOverTheWholeScreen) {
  struct Case {
    int width, height;  // asked for
    int x, y, w, h;     // the box of the frame that must fill the screen
  };
  const Case cases[] = {
      {320, 240, 160, 120, 320, 240},
      {400, 200, 120, 90, 400, 300},
      {640, 480, 0, 0, 640, 480},
      {100, 300, 120, 90, 400, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    paint_box(c.x, c.y, c.w, c.h);
    platform->draw_flip(c.width, c.height);
    EXPECT_EQ(0, count(screen(), 0, 0, 640, 480, kBlue)) << "nothing outside the box";
    EXPECT_EQ(0, count(screen(), 0, 0, 640, 480, kCyan)) << "the whole screen is drawn";
    // The ring lies on every edge of the screen, so the box is no larger either.
    EXPECT_EQ(as_stored(screen(), kMagenta), at(screen(), 0, 240));
    EXPECT_EQ(as_stored(screen(), kMagenta), at(screen(), 639, 240));
    EXPECT_EQ(as_stored(screen(), kMagenta), at(screen(), 320, 0));
    EXPECT_EQ(as_stored(screen(), kMagenta), at(screen(), 320, 479));
    EXPECT_EQ(as_stored(screen(), kRed), at(screen(), 160, 120));
    EXPECT_EQ(as_stored(screen(), kGreen), at(screen(), 480, 120));
    EXPECT_EQ(as_stored(screen(), kYellow), at(screen(), 160, 360));
    EXPECT_EQ(as_stored(screen(), kWhite), at(screen(), 480, 360));
  }
}

// ---- events

TEST_F(PlatformSDLTest, EmptyQueueGivesNoEvent) {
  ZT_Platform_Event e = {-1, -1};
  EXPECT_FALSE(platform->event(ZT_GAMETYPE_NONE, &e));
}

TEST_F(PlatformSDLTest, DigitsEightAndNineZoomTwoAndOne) {
  ZT_Platform_Event e = {-1, -1};
  push_key(SDLK_8);
  push_key(SDLK_9);
  ASSERT_TRUE(platform->event(ZT_GAMETYPE_VTECH, &e));
  EXPECT_EQ(ZT_EVENT_KEY, e.type);
  EXPECT_EQ(ZT_KEY_ZOOM_2, e.key);
  ASSERT_TRUE(platform->event(ZT_GAMETYPE_VTECH, &e));
  EXPECT_EQ(ZT_KEY_ZOOM_1, e.key);
}

TEST_F(PlatformSDLTest, PlusAndEqualsRaiseTheVolumeButKeypadPlusDoesNot) {
  ZT_Platform_Event e = {-1, -1};
  push_key(SDLK_EQUALS);
  push_key(SDLK_PLUS);
  push_key(SDLK_KP_PLUS);
  push_key(SDLK_MINUS);
  ASSERT_TRUE(platform->event(ZT_GAMETYPE_NONE, &e));
  EXPECT_EQ(ZT_KEY_VOLUME_UP, e.key);
  ASSERT_TRUE(platform->event(ZT_GAMETYPE_NONE, &e));
  EXPECT_EQ(ZT_KEY_VOLUME_UP, e.key);
  ASSERT_TRUE(platform->event(ZT_GAMETYPE_NONE, &e));
  EXPECT_EQ(ZT_KEY_VOLUME_DOWN, e.key) << "the keypad key is skipped";
  EXPECT_FALSE(platform->event(ZT_GAMETYPE_NONE, &e));
}

TEST_F(PlatformSDLTest, UntranslatedEventsAreConsumedOnTheWayToAKey) {
  ZT_Platform_Event e = {-1, -1};
  push(SDL_MOUSEMOTION);
  push_key(SDLK_RETURN);
  ASSERT_TRUE(platform->event(ZT_GAMETYPE_NONE, &e));
  EXPECT_EQ(ZT_EVENT_KEY, e.type);
  EXPECT_EQ(ZT_KEY_ENTER, e.key);
  EXPECT_FALSE(platform->event(ZT_GAMETYPE_NONE, &e)) << "the mouse event is gone";

  push_key(SDLK_F1);
  push(SDL_KEYUP);
  EXPECT_FALSE(platform->event(ZT_GAMETYPE_NONE, &e));
  SDL_Event left;
  EXPECT_EQ(0, SDL_PeepEvents(&left, 1, SDL_PEEKEVENT, SDL_ALLEVENTS)) << "dropped, not kept";
}

TEST_F(PlatformSDLTest, QuitLeavesTheKeyUntouched) {
  ZT_Platform_Event e = {-1, 77};
  push(SDL_QUIT);
  ASSERT_TRUE(platform->event(ZT_GAMETYPE_VTECH, &e));
  EXPECT_EQ(ZT_EVENT_QUIT, e.type);
  EXPECT_EQ(77, e.key);
}

// ---- sound

TEST_F(PlatformSDLTest, VolumeIsCappedAtOneHundred) {
  EXPECT_EQ(100, platform->sound_volume(250));
  EXPECT_EQ(100, Mix_Volume(-1, -1));
  EXPECT_EQ(0, platform->sound_volume(0));
  EXPECT_EQ(0, Mix_Volume(-1, -1));
  EXPECT_EQ(75, platform->sound_volume(75));
}

TEST_F(PlatformSDLTest, SoundLoadFailuresNameThePath) {
  const std::string missing = data->file("missing.wav");
  const std::string not_wav = data->write("text.wav", "not a sound\n");
  for (const std::string& path : {missing, not_wav}) {
    try {
      delete platform->sound_load(path);
      ADD_FAILURE() << "no exception for " << path;
    } catch (const ZT_Exception& e) {
      EXPECT_TRUE(starts_with(e.message, "Unable to load sound sample " + path + ": "))
          << e.message;
    }
  }
}

TEST_F(PlatformSDLTest, SamplesPlayOnAtMostSixChannelsAndStopTogether) {
  write_wav(data->file("long.wav"), 22050);
  std::unique_ptr<ZT_Platform_Sound> sound(platform->sound_load(data->file("long.wav")));
  for (int i = 0; i < 8; ++i) platform->sound_play(sound.get());
  EXPECT_EQ(6, Mix_Playing(-1));
  platform->sound_stop_all();
  EXPECT_EQ(0, Mix_Playing(-1));
  platform->sound_play(nullptr);  // ignored
  EXPECT_EQ(0, Mix_Playing(-1));
}

// ---- clocks

TEST_F(PlatformSDLTest, ClocksFollowTheLocalTimeAndTheTickCounter) {
  // Retried when the second changes between the readings.
  for (int attempt = 0; attempt < 3; ++attempt) {
    time_t before = time(nullptr);
    ZT_Platform_Time t = platform->time_get();
    unsigned int ms = platform->time_ms_get();
    if (time(nullptr) != before) continue;
    struct tm local;
    localtime_r(&before, &local);
    EXPECT_EQ(local.tm_mday, t.day);
    EXPECT_EQ(local.tm_mon + 1, t.month);
    EXPECT_EQ(local.tm_year, t.year);
    EXPECT_EQ(local.tm_hour, t.hour);
    EXPECT_EQ(local.tm_min, t.minute);
    EXPECT_EQ(local.tm_sec, t.second);
    EXPECT_EQ(0u, ms % 1000);
    EXPECT_EQ((local.tm_hour * 3600u + local.tm_min * 60u + local.tm_sec) * 1000u, ms);
    break;
  }
  unsigned int a = platform->ticks_get();
  unsigned int sdl = SDL_GetTicks();
  unsigned int b = platform->ticks_get();
  EXPECT_LE(a, sdl);
  EXPECT_LE(sdl, b);
}
