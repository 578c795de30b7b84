// SPDX-License-Identifier: MIT
// The generated data set: every declared file exists and loads, pictures stay
// on the LCD, backgrounds are see-through only outside the handheld and fit the
// screen, the drawn buttons are listed where they are drawn, sounds
// have the program's format, and the generator repeats itself byte for byte.
// Also writes a contact sheet per game into the build folder.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engines/deveng_vtech.h"
#include "framework/device.h"
#include "menu/gamelist.h"
#include "platform/plat_sdl.h"
#include "support/sdl_checks.h"  // sets the dummy drivers
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const std::string kTool = std::string(ZT_BUILD_DIR) + "/tools/zentick-mkdata";

int run_tool(const std::string& dir) {
  int status = std::system(("\"" + kTool + "\" \"" + dir + "\"").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<char> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Uint32 get_pixel(SDL_Surface* s, int x, int y) {
  Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
  switch (s->format->BytesPerPixel) {
    case 2:
      return *reinterpret_cast<Uint16*>(p);
    case 3:
      return p[0] | (p[1] << 8) | (p[2] << 16);  // little endian, as BMPs load
    case 4:
      return *reinterpret_cast<Uint32*>(p);
    default:
      return *p;
  }
}

SDL_Color colour_at(SDL_Surface* s, int x, int y) {
  SDL_Color c = {0, 0, 0, 0};
  SDL_GetRGB(get_pixel(s, x, y), s->format, &c.r, &c.g, &c.b);
  return c;
}

bool is(SDL_Color c, int r, int g, int b) { return c.r == r && c.g == g && c.b == b; }
int luma(SDL_Color c) { return (c.r * 3 + c.g * 6 + c.b) / 10; }

// Only the catalogue's data path is asked for; a stand-in platform serves.
class GameListPlatform : public ZT_PlatformSDL {
 public:
  GameListPlatform() : ZT_PlatformSDL(640, 480, false, true) {}
};

class DataSet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new TempDir("zt-mkdata");
    ASSERT_FALSE(dir->path.empty());
    status = run_tool(dir->path);
  }
  static void TearDownTestSuite() {
    delete dir;
    dir = nullptr;
  }
  void SetUp() override {
    ASSERT_EQ(0, status) << kTool << " failed";
    platform.datapath_set(dir->path);
    list.reset(new ZT_GameList(&platform));
  }

  // Each game of the catalogue in turn, freshly made.
  template <class F>
  void each_game(F f) {
    for (int i = 0; i < list->count(); ++i) {
      std::unique_ptr<ZT_Game> game(list->get(i)->create());
      SCOPED_TRACE(game->folder);
      f(list->get(i), game.get());
    }
  }

  std::string image_path(ZT_Game* game, const std::string& file) {
    return dir->path + "/" + game->folder + "/image/" + file;
  }

  static TempDir* dir;
  static int status;
  GameListPlatform platform;
  std::unique_ptr<ZT_GameList> list;
};

TempDir* DataSet::dir = nullptr;
int DataSet::status = -1;

TEST_F(DataSet, EveryDeclaredFileLoadsThroughTheSdlPlatform) {
  platform.initialize();  // opens the generated font: throws if it is missing or broken
  each_game([&](ZT_Game_Info* info, ZT_Game* game) {
    ZT_Device device(&platform);
    EXPECT_NO_THROW(game->Load(&device, dir->path)) << "a declared picture or sound is missing";
    for (const auto& id : game->data.images)
      for (const auto& index : id.second) EXPECT_NE(nullptr, index.second->image);
    for (const auto& sound : game->data.sounds) EXPECT_NE(nullptr, sound.second->sound);
    game->Unload();
    ZT_Platform_Image* bg = platform.image_load(info->bgimg_path(), &info->transparent);
    EXPECT_NE(nullptr, bg);
    delete bg;
  });
  platform.finalize();
}

TEST_F(DataSet, SegmentPicturesAre24BitAndStayOnTheLcdAtEveryPlace) {
  each_game([&](ZT_Game_Info*, ZT_Game* game) {
    const int left = game->lcd_x, top = game->lcd_y;
    const int right = left + game->lcd_width, bottom = top + game->lcd_height;
    for (const auto& id : game->data.positions)
      for (const auto& index : id.second) {
        const ZT_GameData_Position* pos = index.second.get();
        if (pos->image_id < 0) continue;
        // A digit place shows every digit picture in turn; others keep theirs.
        std::vector<std::string> files;
        if (id.first == ZT_GameEngine_VTech::PS_NUMBER)
          for (const auto& digit : game->data.images[ZT_GameEngine_VTech::IM_NUMBER])
            files.push_back(digit.second->file);
        else
          files.push_back(game->data.image_get(pos->image_id, pos->image_index)->file);
        for (const std::string& file : files) {
          SDL_Surface* s = SDL_LoadBMP(image_path(game, file).c_str());
          ASSERT_NE(nullptr, s) << file;
          EXPECT_EQ(24, s->format->BitsPerPixel) << file;
          int ink = 0, outside = 0;
          for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) {
              if (is(colour_at(s, x, y), 255, 255, 255)) continue;
              ++ink;
              int X = pos->x + x, Y = pos->y + y;
              if (X < left || Y < top || X >= right || Y >= bottom) ++outside;
            }
          EXPECT_GT(ink, 0) << file << " is blank";
          EXPECT_EQ(0, outside) << file << " at (" << pos->x << ", " << pos->y
                                << ") leaves the LCD";
          SDL_FreeSurface(s);
        }
      }
  });
}

TEST_F(DataSet, BackgroundIsTheZoomBoxWithMagentaOnlyAroundTheBodyAndItsButtonsListed) {
  each_game([&](ZT_Game_Info* info, ZT_Game* game) {
    SDL_Surface* s = SDL_LoadBMP(info->bgimg_path().c_str());
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(24, s->format->BitsPerPixel);
    ASSERT_EQ(game->zoom_width, s->w);
    ASSERT_EQ(game->zoom_height, s->h);
    const int W = s->w, H = s->h;
    // The magenta reachable from the border is the outside; no other may exist.
    std::vector<char> outside(W * H, 0);
    std::vector<std::pair<int, int> > todo;
    for (int x = 0; x < W; ++x) todo.push_back({x, 0}), todo.push_back({x, H - 1});
    for (int y = 0; y < H; ++y) todo.push_back({0, y}), todo.push_back({W - 1, y});
    while (!todo.empty()) {
      auto [x, y] = todo.back();
      todo.pop_back();
      if (x < 0 || y < 0 || x >= W || y >= H || outside[y * W + x]) continue;
      if (!is(colour_at(s, x, y), 255, 0, 255)) continue;
      outside[y * W + x] = 1;
      todo.push_back({x + 1, y}), todo.push_back({x - 1, y});
      todo.push_back({x, y + 1}), todo.push_back({x, y - 1});
    }
    int inside_magenta = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (!outside[y * W + x] && is(colour_at(s, x, y), 255, 0, 255)) ++inside_magenta;
    EXPECT_EQ(0, inside_magenta);
    EXPECT_TRUE(outside[0] && outside[W - 1] && outside[(H - 1) * W] && outside[H * W - 1])
        << "the corners are the see-through outside";
    // The pale panel covers exactly the LCD rectangle, framed by a dark bezel.
    const int x0 = game->lcd_x, y0 = game->lcd_y;
    const int x1 = x0 + game->lcd_width - 1, y1 = y0 + game->lcd_height - 1;
    int dark_inside = 0, light_frame = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        if (outside[y * W + x] || luma(colour_at(s, x, y)) < 150) ++dark_inside;
    for (int x = x0 - 1; x <= x1 + 1; ++x)
      light_frame += (luma(colour_at(s, x, y0 - 1)) > 100) + (luma(colour_at(s, x, y1 + 1)) > 100);
    for (int y = y0; y <= y1; ++y)
      light_frame += (luma(colour_at(s, x0 - 1, y)) > 100) + (luma(colour_at(s, x1 + 1, y)) > 100);
    EXPECT_EQ(0, dark_inside);
    EXPECT_EQ(0, light_frame);
    // Centred on its LCD, as the device shows it, the body fits the 640 x 480 screen.
    const int at_x = (640 - game->lcd_width) / 2 - x0, at_y = (480 - game->lcd_height) / 2 - y0;
    int cut = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        cut += !outside[y * W + x] &&
               (x + at_x < 0 || x + at_x >= 640 || y + at_y < 0 || y + at_y >= 480);
    EXPECT_EQ(0, cut) << "pixels of the body off the screen";
    // buttons.txt: each named button once, on the body, clear of the LCD and of the others.
    std::ifstream in(dir->path + "/" + game->folder + "/buttons.txt");
    std::map<std::string, SDL_Rect> buttons;
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream fields(line);
      std::string name;
      int x, y, w, h;
      ASSERT_TRUE(fields >> name >> x >> y >> w >> h) << line;
      ASSERT_TRUE(x >= 0 && y >= 0 && w > 0 && h > 0 && x + w <= W && y + h <= H) << line;
      EXPECT_FALSE(outside[(y + h / 2) * W + x + w / 2]) << line;
      EXPECT_TRUE(x >= x1 || x + w <= x0 || y >= y1 || y + h <= y0) << line;
      for (const auto& [other, r] : buttons)
        EXPECT_TRUE(x >= r.x + r.w || x + w <= r.x || y >= r.y + r.h || y + h <= r.y)
            << line << " overlaps " << other;
      EXPECT_TRUE(
          buttons.emplace(name, SDL_Rect{Sint16(x), Sint16(y), Uint16(w), Uint16(h)}).second)
          << line;
    }
    std::string names;
    for (const auto& b : buttons) names += b.first + " ";
    EXPECT_EQ("game_a game_b left power right time ", names);
    SDL_FreeSurface(s);
  });
}

TEST_F(DataSet, SoundsAre22050HzMono16BitPcmOfSuitableLength) {
  each_game([&](ZT_Game_Info*, ZT_Game* game) {
    for (const auto& sound : game->data.sounds) {
      const std::string& file = sound.second->file;
      std::vector<char> b = read_file(dir->path + "/" + game->folder + "/sound/" + file);
      ASSERT_GE(b.size(), 44u) << file;
      auto u16 = [&](size_t at) { return (b[at] & 0xff) | ((b[at + 1] & 0xff) << 8); };
      auto u32 = [&](size_t at) { return u16(at) | (static_cast<unsigned>(u16(at + 2)) << 16); };
      EXPECT_EQ("RIFF", std::string(&b[0], 4)) << file;
      EXPECT_EQ("WAVE", std::string(&b[8], 4)) << file;
      EXPECT_EQ("fmt ", std::string(&b[12], 4)) << file;
      EXPECT_EQ(1, u16(20)) << file << ": PCM";
      EXPECT_EQ(1, u16(22)) << file << ": mono";
      EXPECT_EQ(22050u, u32(24)) << file;
      EXPECT_EQ(16, u16(34)) << file;
      EXPECT_EQ("data", std::string(&b[36], 4)) << file;
      double seconds = u32(40) / 2.0 / 22050;
      EXPECT_EQ(b.size(), 44 + u32(40)) << file;
      EXPECT_GT(seconds, 0.005) << file;
      if (file == "Miss.wav") {
        EXPECT_NEAR(0.5, seconds, 0.15);
      } else if (file == "Gameover.wav") {
        EXPECT_TRUE(seconds >= 1.0 && seconds <= 2.0) << seconds;
      } else if (file == "Move.wav") {
        EXPECT_LT(seconds, 0.1);
      }
    }
  });
}

TEST_F(DataSet, GeneratingAgainGivesIdenticalFiles) {
  TempDir again("zt-mkdata");
  ASSERT_FALSE(again.path.empty());
  ASSERT_EQ(0, run_tool(again.path));
  std::vector<fs::path> first, second;
  for (const auto& e : fs::recursive_directory_iterator(dir->path))
    if (e.is_regular_file()) first.push_back(fs::relative(e.path(), dir->path));
  for (const auto& e : fs::recursive_directory_iterator(again.path))
    if (e.is_regular_file()) second.push_back(fs::relative(e.path(), again.path));
  std::sort(first.begin(), first.end());
  std::sort(second.begin(), second.end());
  EXPECT_EQ(first, second);
  EXPECT_TRUE(std::find(first.begin(), first.end(), fs::path("zentick/andalemo.ttf")) !=
              first.end());
  for (const fs::path& p : first)
    EXPECT_TRUE(read_file(fs::path(dir->path) / p) == read_file(fs::path(again.path) / p)) << p;
}

// The program's frame with the handheld switched on: every segment lit, the
// LCD centred in the window. PNGs when ImageMagick is there, else BMPs.
TEST_F(DataSet, WritesAContactSheetPerGame) {
  const fs::path sheets = fs::path(ZT_BUILD_DIR) / "contact-sheets";
  fs::create_directories(sheets);
  const bool png = std::system("command -v convert >/dev/null 2>&1") == 0;
  platform.initialize();
  each_game([&](ZT_Game_Info*, ZT_Game* game) {
    ZT_Device device(&platform);
    device.game = game;
    device.Load();
    device.TurnOn();
    platform.draw_clear();
    ZT_GameData_Image* bg = game->data.image_get(game->bgimage_get(), 0);
    ASSERT_NE(nullptr, bg);
    platform.draw_image(bg->image, device.bg_x, device.bg_y);
    device.draw_game();
    // Written under a private name, then moved, so a reader never sees half a file.
    const fs::path bmp = sheets / (game->folder + ".tmp.bmp");
    ASSERT_EQ(0, SDL_SaveBMP(platform.blitsurface, bmp.string().c_str()));
    const fs::path out = sheets / (game->folder + (png ? ".png" : ".bmp"));
    if (png) {
      const fs::path tmp = sheets / (game->folder + ".tmp.png");
      std::string cmd = "convert \"" + bmp.string() + "\" \"" + tmp.string() + "\"";
      EXPECT_EQ(0, std::system(cmd.c_str()));
      fs::rename(tmp, out);
      fs::remove(bmp);
    } else {
      fs::rename(bmp, out);
    }
    EXPECT_TRUE(fs::file_size(out) > 0);
    device.Unload();
  });
  platform.finalize();
}

}  // namespace
