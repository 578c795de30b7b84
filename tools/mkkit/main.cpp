// SPDX-License-Identifier: MIT
// zentick-mkkit DATA_DIR OUT_DIR: writes the games kit, what game launchers
// need to list the six handhelds with pictures: a content file per handheld,
// a RetroArch playlist with its thumbnails and an EmulationStation gamelist
// with its images, all drawn by a session on the data set in DATA_DIR.
//   OUT_DIR/zentick/NAME.zentick              the content files (NAME as the menu names it)
//   OUT_DIR/zentick/gamelist.xml, images/     EmulationStation's, beside the content files
//   OUT_DIR/Zentick.lpl                       RetroArch's playlist
//   OUT_DIR/thumbnails/Zentick/Named_*/       its box arts, snaps and titles
//   OUT_DIR/es_systems_zentick.cfg            EmulationStation's system entry
//   OUT_DIR/README.txt                        how to install all that
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "session/session.h"

#ifndef ZT_VERSION
#define ZT_VERSION "1.0"
#endif

namespace {

// Everything the launchers show of one handheld.
struct Game {
  std::string name;   // the catalogue's, which a content file holds
  std::string title;  // the menu's
  std::string label;  // the title without the series: the content file's name
};

const char kSeries[] = "Time & Fun - ";
const char kPlaylist[] = "Zentick";
// Where the playlist says the content files are: a placeholder that RetroArch's
// portable playlists replace with the File Browser folder (or the player does).
const char kContentBase[] = "/path/to/ROMs";
const char kContentFolder[] = "zentick";
// The watch in the pictures, so that every build draws the same ones.
const ZT_Platform_Time kWatch = {1, 6, 126, 10, 8, 30};  // 2026-06-01 10:08:30

struct Failure {
  std::string what;
};

void fail(const std::string& what) { throw Failure{what}; }

void make_folder(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) fail("cannot make the folder " + path + ": " + error.message());
}

void write_text(const std::string& path, const std::string& text) {
  FILE* out = std::fopen(path.c_str(), "wb");
  const bool written =
      out != nullptr && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (out == nullptr || std::fclose(out) != 0 || !written) fail("cannot write " + path);
}

// RGB565 pixels as a PNG, with an alpha channel where `opaque` marks the
// see-through ones (empty: all drawn).
void write_png(const std::string& path, const uint16_t* pixels, int width, int height,
               const std::vector<uint8_t>& opaque = {}) {
  const int channels = opaque.empty() ? 3 : 4;
  std::vector<uint8_t> out(static_cast<size_t>(width) * height * channels);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
    const uint16_t p = pixels[i];
    uint8_t* o = &out[i * channels];
    o[0] = static_cast<uint8_t>((p >> 11) << 3 | (p >> 13));
    o[1] = static_cast<uint8_t>(((p >> 5) & 63) << 2 | ((p >> 9) & 3));
    o[2] = static_cast<uint8_t>((p & 31) << 3 | ((p >> 2) & 7));
    if (channels == 4) o[3] = opaque[i] ? 255 : 0;
  }
  if (!stbi_write_png(path.c_str(), width, height, channels, out.data(), width * channels))
    fail("cannot write " + path);
}

// RetroArch's thumbnail file name for a label: these characters become '_'.
std::string thumbnail_name(std::string label) {
  for (char& c : label)
    if (std::string("&*/:`<>?\\|\"").find(c) != std::string::npos) c = '_';
  return label + ".png";
}

std::string json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string xml(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Steps the session `ms` milliseconds with `key` pressed at the start.
void press(ZT_Session& session, int key, unsigned ms) {
  session.key_down(key);
  if (!session.advance(1)) fail("the session quit");
  session.key_up(key);
  if (!session.advance(ms)) fail("the session quit");
}

// The pictures of one handheld: its background bitmap as the box art, then,
// opened as a content file opens it, switched on showing the watch (the
// title) and a few seconds into Game A (the snap).
void draw_pictures(const std::string& data_dir, const Game& game, const std::string& out) {
  ZT_Session::Data data;
  data.folder = data_dir;
  ZT_Session session(data);
  ZT_Game_Info* info = nullptr;
  for (int i = 0; i < session.gamelist->count(); ++i)
    if (session.gamelist->get(i)->name == game.name) info = session.gamelist->get(i);
  if (info == nullptr) fail("the session does not know " + game.name);
  std::unique_ptr<ZT_Platform_Image> loaded(
      session.platform.image_load(info->bgimg_path(), &info->transparent));
  auto* background = dynamic_cast<ZT_PlatformSoft_Image*>(loaded.get());
  if (background == nullptr) fail("cannot read " + info->bgimg_path());
  const std::string thumbnails = out + "/thumbnails/" + kPlaylist;
  const std::string file = thumbnail_name(game.label);
  write_png(thumbnails + "/Named_Boxarts/" + file, background->pixels.data(), background->width,
            background->height, background->opaque);

  session.open(game.name);
  if (!session.advance(100) || !session.in_game() || session.game() != game.name)
    fail(game.name + " did not open");
  session.time_set(kWatch);
  press(session, ZT_KEY_ENTER, 1000);   // switched on, every segment lit;
  press(session, ZT_KEY_GAME_A, 1500);  // the first press shows the time,
  write_png(thumbnails + "/Named_Titles/" + file, session.frame(), ZT_Session::kWidth,
            ZT_Session::kHeight);
  press(session, ZT_KEY_GAME_A, 4000);  // the second starts Game A
  write_png(thumbnails + "/Named_Snaps/" + file, session.frame(), ZT_Session::kWidth,
            ZT_Session::kHeight);
  write_png(out + "/" + kContentFolder + "/images/" + file, session.frame(), ZT_Session::kWidth,
            ZT_Session::kHeight);
}

// RetroArch's JSON playlist: the core found by the file's extension (DETECT),
// thumbnails by the playlist's name and each label.
std::string playlist(const std::vector<Game>& games) {
  const std::string db = std::string(kPlaylist) + ".lpl";
  std::string text =
      "{\n  \"version\": \"1.5\",\n  \"default_core_path\": \"DETECT\",\n"
      "  \"default_core_name\": \"DETECT\",\n  \"base_content_directory\": " +
      json(kContentBase) +
      ",\n  \"label_display_mode\": 0,\n  \"right_thumbnail_mode\": 0,\n"
      "  \"left_thumbnail_mode\": 0,\n  \"sort_mode\": 0,\n  \"items\": [";
  for (size_t i = 0; i < games.size(); ++i) {
    const std::string path =
        std::string(kContentBase) + "/" + kContentFolder + "/" + games[i].label + ".zentick";
    text += std::string(i ? "," : "") + "\n    {\n      \"path\": " + json(path) +
            ",\n      \"label\": " + json(games[i].label) +
            ",\n      \"core_path\": \"DETECT\",\n      \"core_name\": \"DETECT\",\n"
            "      \"crc32\": \"DETECT\",\n      \"db_name\": " +
            json(db) + "\n    }";
  }
  return text + "\n  ]\n}\n";
}

// EmulationStation's gamelist, in the system's folder beside the content files.
std::string gamelist(const std::vector<Game>& games) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gameList>\n";
  for (const Game& g : games) {
    text += "  <game>\n    <path>./" + xml(g.label) + ".zentick</path>\n    <name>" + xml(g.title) +
            "</name>\n    <desc>" +
            xml("The " + g.label +
                " LCD handheld of the Time & Fun series: a watch (time, second time, alarm, "
                "chronograph, date) and a catching game played at two speeds, Game A and Game "
                "B. Start switches it on; A, B and Y are its Game A, Game B and Time buttons; X "
                "goes back to the menu of all six.") +
            "</desc>\n    <image>./images/" + xml(thumbnail_name(g.label)) +
            "</image>\n    <developer>VTech</developer>\n    <genre>LCD handheld</genre>\n"
            "    <players>1</players>\n  </game>\n";
  }
  return text + "</gameList>\n";
}

// EmulationStation's system entry: a whole es_systems file holding the one
// system, whose <system> element goes into the firmware's es_systems.cfg. No
// scraping ("ignore"): the gamelist has the names and pictures already.
const char kSystem[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- Zentick's six handhelds for EmulationStation: copy the <system> element
     into the <systemList> of es_systems.cfg. The core's path in <command> is
     RetroArch's "Cores" folder (Settings > Directory). -->
<systemList>
  <system>
    <name>zentick</name>
    <fullname>Time &amp; Fun LCD handhelds (Zentick)</fullname>
    <path>~/ROMs/zentick</path>
    <extension>.zentick .ZENTICK</extension>
    <command>retroarch -L ~/.config/retroarch/cores/zentick_libretro.so %ROM%</command>
    <platform>ignore</platform>
    <theme>zentick</theme>
  </system>
</systemList>
)";

const char kReadme[] = R"(Zentick games kit @VERSION@
=====================

The six handhelds of the Zentick libretro core (Condor, Defendo, Monkey,
Pancake, Pirate, Roller Coaster) as games with pictures, for RetroArch's
playlists and for EmulationStation. Install the core first (the zip
zentick_libretro-@VERSION@-*.zip for your system).

A content file such as Monkey.zentick is one line of text naming a handheld
("monkey"). Loaded with the Zentick core, it opens that handheld as choosing
it in the core's menu does; X still goes back to the menu.

  zentick/                 the six content files, with EmulationStation's
                           gamelist.xml and images/
  Zentick.lpl              RetroArch's playlist
  thumbnails/Zentick/      RetroArch's pictures: box art (the handheld),
                           snaps (Game A) and titles (the watch)
  es_systems_zentick.cfg   EmulationStation's system entry
The licences are in the LICENSE files beside this one.

RetroArch (any system)
----------------------
1. Copy the folder zentick/ into the folder that holds your games, your
   ROMs folder (for example ~/ROMs/zentick/).
2. Copy the folder thumbnails/Zentick/ into RetroArch's "Thumbnails" folder,
   as Settings > Directory names it (~/.config/retroarch/thumbnails/ on
   Linux by default).
3. The playlist, either way:
   - Import Content > Manual Scan: Content Directory: the zentick folder of
     step 1; System Name: <Custom>; Custom System Name: Zentick; Default
     Core: Zentick; File Extensions: zentick; Start Scan. RetroArch writes
     Zentick.lpl itself, with the right paths and the labels the thumbnails
     are named by.
   - Or copy Zentick.lpl into RetroArch's "Playlists" folder (Settings >
     Directory). Its paths start with /path/to/ROMs: switch on Settings >
     Playlists > Portable Playlists and set Settings > Directory > File
     Browser to your ROMs folder (the one holding zentick/), and RetroArch
     puts that folder in their place when it opens the playlist; or replace
     /path/to/ROMs with that folder in a text editor.
4. Zentick is now a playlist in the main menu. Which pictures show is set in
   Settings > User Interface > Appearance (Primary and Secondary Thumbnail).

EmulationStation
----------------
1. Copy the folder zentick/ (content files, gamelist.xml and images/) into
   the firmware's ROMs folder, as ~/ROMs/zentick/.
2. Add the <system> element of es_systems_zentick.cfg to the <systemList> of
   es_systems.cfg: ~/.emulationstation/es_systems.cfg (copy
   /etc/emulationstation/es_systems.cfg there first if it is missing). Fix
   <path> if the firmware keeps its games elsewhere (/roms/zentick), and
   the core's path in <command> to RetroArch's "Cores" folder. A firmware
   that reads extra es_systems_*.cfg files takes the file as it is.
3. Restart EmulationStation (Start > Quit > Restart EmulationStation).
A theme without a zentick folder shows the system by its name;
<theme>gameandwatch</theme> borrows the look of other LCD handhelds from
the themes that have one.
)";

int write_kit(const std::string& data_dir, const std::string& out) {
  std::vector<Game> games;
  {
    ZT_Session::Data data;
    data.folder = data_dir;
    ZT_Session session(data);
    for (int i = 0; i < session.gamelist->count(); ++i) {
      const ZT_Game_Info* info = session.gamelist->get(i);
      std::string label = info->title;
      if (label.compare(0, sizeof kSeries - 1, kSeries) == 0) label.erase(0, sizeof kSeries - 1);
      games.push_back({info->name, info->title, label});
    }
  }
  const std::string content = out + "/" + kContentFolder;
  make_folder(content + "/images");
  for (const char* kind : {"Named_Boxarts", "Named_Snaps", "Named_Titles"})
    make_folder(out + "/thumbnails/" + kPlaylist + "/" + kind);
  for (const Game& g : games) {
    write_text(content + "/" + g.label + ".zentick", g.name + "\n");
    draw_pictures(data_dir, g, out);
  }
  write_text(out + "/" + kPlaylist + ".lpl", playlist(games));
  write_text(content + "/gamelist.xml", gamelist(games));
  write_text(out + "/es_systems_zentick.cfg", kSystem);
  std::string readme = kReadme;
  for (size_t at; (at = readme.find("@VERSION@")) != std::string::npos;)
    readme.replace(at, 9, ZT_VERSION);
  write_text(out + "/README.txt", readme);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_DIR OUT_DIR\n", argv[0]);
    return 2;
  }
  try {
    return write_kit(argv[1], argv[2]);
  } catch (const Failure& f) {
    std::fprintf(stderr, "zentick-mkkit: %s\n", f.what.c_str());
  } catch (const ZT_Exception& e) {
    std::fprintf(stderr, "zentick-mkkit: %s\n", e.message.c_str());
  }
  return 1;
}
