// SPDX-License-Identifier: MIT
// The SDL 1.2 platform: window with an off-screen frame and zoomed presentation,
// BMP pictures, solid TrueType text, key translation, clocks and mixer sound.
#include "platform/plat_sdl.h"

#include <SDL_gfxPrimitives.h>
#include <SDL_rotozoom.h>
#include <signal.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/decode/media.h"
#include "platform/keys.h"

namespace {

const char* const kWindowTitle = "Zentick simulator - by Quorvex & Selvane";
const int kAudioChannels = 1;
const int kScreenBpp = 16;

// The keyboard is the shared table's, whose numbers are SDL 1.2's.
static_assert(SDLK_UP == ZT_KEYNUM_UP && SDLK_DOWN == ZT_KEYNUM_DOWN &&
                  SDLK_LEFT == ZT_KEYNUM_LEFT && SDLK_RIGHT == ZT_KEYNUM_RIGHT &&
                  SDLK_RETURN == ZT_KEYNUM_RETURN && SDLK_BACKSPACE == ZT_KEYNUM_BACKSPACE &&
                  SDLK_ESCAPE == ZT_KEYNUM_ESCAPE && SDLK_PLUS == '+' && SDLK_1 == '1' &&
                  SDLK_q == 'q',
              "SDL's key numbers differ from the keyboard table's");

// The mixer keeps no channels while the audio device is closed; calls that
// walk the channels must not run then.
bool mixer_open() { return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0; }

std::string sdl_error() {
  const char* text = SDL_GetError();
  return text ? text : "";
}

Uint32 pixel_at(const SDL_Surface* s, int x, int y) {
  const Uint8* p =
      static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
  switch (s->format->BytesPerPixel) {
    case 1:
      return *p;
    case 2:
      return *reinterpret_cast<const Uint16*>(p);
    case 3:
      return SDL_BYTEORDER == SDL_BIG_ENDIAN ? (p[0] << 16) | (p[1] << 8) | p[2]
                                             : p[0] | (p[1] << 8) | (p[2] << 16);
    default:
      return *reinterpret_cast<const Uint32*>(p);
  }
}

// True when every pixel that is transparent in `converted` was transparent in
// `original`: a colour that differs from the key only in bits the frame drops
// would otherwise turn see-through.
bool same_transparency(SDL_Surface* original, SDL_Surface* converted) {
  if (!(original->flags & SDL_SRCCOLORKEY)) return true;
  if (SDL_LockSurface(original) < 0) return false;
  if (SDL_LockSurface(converted) < 0) {
    SDL_UnlockSurface(original);
    return false;
  }
  const Uint32 old_key = original->format->colorkey;
  const Uint32 new_key = converted->format->colorkey;
  bool same = true;
  for (int y = 0; same && y < original->h; ++y) {
    for (int x = 0; x < original->w; ++x) {
      if (pixel_at(converted, x, y) == new_key && pixel_at(original, x, y) != old_key) {
        same = false;
        break;
      }
    }
  }
  SDL_UnlockSurface(converted);
  SDL_UnlockSurface(original);
  return same;
}

// SDL takes a BMP's bit count as it stands and may make a surface that its own
// blitters cannot read (a count of 257 becomes 1 bit with no palette and
// crashes the first copy); only the depths a BMP really has are kept.
bool usable_format(const SDL_PixelFormat* f) {
  switch (f->BitsPerPixel) {
    case 8:
      return f->BytesPerPixel == 1 && f->palette != nullptr;
    case 15:
    case 16:
      return f->BytesPerPixel == 2 && f->palette == nullptr;
    case 24:
      return f->BytesPerPixel == 3 && f->palette == nullptr;
    case 32:
      return f->BytesPerPixel == 4 && f->palette == nullptr;
    default:
      return false;
  }
}

// SDL 1.2's WAV reader takes each chunk's length from the file, allocates that
// much and reads it in one call (as a signed int, so that a length near 4 GB
// reads out of bounds), chunk after chunk without padding, up to the "data"
// chunk; and it reads 16 bytes of the "fmt " chunk whatever its length. The
// reason such a file cannot be read safely, or empty. Files that are not RIFF
// WAVE, or that cannot be read, are left to SDL, which names its reason.
std::string wav_chunk_fault(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::string reason;
  // SDL reads the whole 12-byte header before it looks at it.
  if (!zt_decode::file_read(path, &bytes, &reason) || bytes.size() < 12) return "";
  zt_decode::WavChunks chunks;
  if (zt_decode::wav_walk(bytes.data(), bytes.size(), &chunks, &reason) == zt_decode::kWavDamaged) {
    return reason;
  }
  return "";
}

const int kConversionSlots = sizeof(SDL_AudioCVT::filters) / sizeof(SDL_AudioCVT::filters[0]);

// The filter steps SDL takes for a conversion, or -1 if it cannot convert.
// Only for conversions known to take at most kConversionSlots steps: SDL 1.2
// writes its list without looking at its size.
int conversion_steps(Uint16 from_format, Uint8 from_channels, int from_rate, Uint16 to_format,
                     Uint8 to_channels, int to_rate) {
  SDL_AudioCVT cvt;
  std::memset(&cvt, 0, sizeof cvt);
  if (SDL_BuildAudioCVT(&cvt, from_format, from_channels, from_rate, to_format, to_channels,
                        to_rate) < 0) {
    return -1;
  }
  int steps = 0;
  while (steps < kConversionSlots && cvt.filters[steps]) steps++;
  return steps;
}

// True when SDL 1.2 can convert the sample to the mixer's format. Its list of
// filter steps has ten slots and needs an end mark after the last step, so a
// conversion of ten steps or more runs off the list as it converts (and one of
// eleven or more already overwrites memory while the list is being built).
// SDL is asked in two halves that each stay within the list, the format and
// channel steps at equal rates and the rate steps alone, then for the whole.
// Rate steps double the lower rate until it reaches the higher one, so a rate
// 1024 times the other takes ten of them at least and SDL is not asked; with
// no channels or no rate (a rate SDL reads as zero or negative) its loops
// never end.
bool mixer_converts(const SDL_AudioSpec& wav) {
  int mix_rate = 0;
  Uint16 mix_format = 0;
  int mix_channels = 0;
  if (!Mix_QuerySpec(&mix_rate, &mix_format, &mix_channels)) return true;  // the mixer refuses
  if (wav.channels == 0 || wav.freq <= 0) return false;
  const int64_t low = wav.freq < mix_rate ? wav.freq : mix_rate;
  const int64_t high = wav.freq < mix_rate ? mix_rate : wav.freq;
  if (high >= 1024 * low) return false;
  const Uint8 out_channels = static_cast<Uint8>(mix_channels);
  const int formats =
      conversion_steps(wav.format, wav.channels, mix_rate, mix_format, out_channels, mix_rate);
  const int rates =
      conversion_steps(mix_format, out_channels, wav.freq, mix_format, out_channels, mix_rate);
  if (formats < 0 || rates < 0 || formats + rates >= kConversionSlots) return false;
  const int steps =
      conversion_steps(wav.format, wav.channels, wav.freq, mix_format, out_channels, mix_rate);
  return steps >= 0 && steps < kConversionSlots;
}

// SIGINT and SIGTERM ask the program to quit. SDL 1.2's own handler pushes a
// quit event, taking the event queue's lock, which the interrupted poll of the
// main thread may hold: the program then sleeps for ever. Ours only notes the
// request, and `event` reports it; SDL leaves a handler it finds alone.
volatile sig_atomic_t quit_requested = 0;
const int kQuitSignals[] = {SIGINT, SIGTERM};

extern "C" void note_quit_request(int) { quit_requested = 1; }

// Only where the signal has its default action: an ignored one (SIGINT of a
// background job) or another handler is left as found, as SDL does.
void quit_signals_catch() {
  for (int signal_number : kQuitSignals) {
    struct sigaction current;
    if (sigaction(signal_number, nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL) continue;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = note_quit_request;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal_number, &action, nullptr);
  }
}

// Gives the signals back their default action and forgets a request that has
// been served: a platform started again begins with none.
void quit_signals_release() {
  for (int signal_number : kQuitSignals) {
    struct sigaction current;
    if (sigaction(signal_number, nullptr, &current) != 0) continue;
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == note_quit_request) {
      signal(signal_number, SIG_DFL);
    }
  }
  quit_requested = 0;
}

// Copies a picture into the frame's format so that drawing it is a plain copy
// rather than a per-pixel conversion; keeps the original when that would change
// what is seen. Always a software surface, so it may outlive SDL_Quit.
SDL_Surface* to_frame_format(SDL_Surface* loaded, SDL_Surface* frame) {
  if (!frame) return loaded;
  const SDL_PixelFormat* have = loaded->format;
  const SDL_PixelFormat* want = frame->format;
  if (!have->palette && have->BitsPerPixel == want->BitsPerPixel && have->Rmask == want->Rmask &&
      have->Gmask == want->Gmask && have->Bmask == want->Bmask && have->Amask == want->Amask) {
    return loaded;
  }
  SDL_Surface* converted = SDL_ConvertSurface(loaded, frame->format, SDL_SWSURFACE);
  if (!converted) return loaded;
  if (!same_transparency(loaded, converted)) {
    SDL_FreeSurface(converted);
    return loaded;
  }
  SDL_FreeSurface(loaded);
  return converted;
}

}  // namespace

// ---------------------------------------------------------------------------
// Pictures and samples

ZT_PlatformSDL_Image::~ZT_PlatformSDL_Image() {
  if (surface) SDL_FreeSurface(surface);
}

int ZT_PlatformSDL_Image::width_get() { return surface->w; }

int ZT_PlatformSDL_Image::height_get() { return surface->h; }

bool ZT_PlatformSDL_Image::resize_fit(int width, int height) {
  float sx = static_cast<float>(width) / static_cast<float>(surface->w);
  float sy = static_cast<float>(height) / static_cast<float>(surface->h);
  float scale = sx < sy ? sx : sy;
  SDL_Surface* zoomed = zoomSurface(surface, scale, scale, SMOOTHING_OFF);
  if (!zoomed) return false;
  SDL_FreeSurface(surface);
  surface = zoomed;
  return true;
}

ZT_PlatformSDL_Sound::~ZT_PlatformSDL_Sound() {
  // Safe after Mix_CloseAudio: the mixer then has no channels left to search
  // for the sample and only frees its memory.
  if (chunk) Mix_FreeChunk(chunk);
}

// ---------------------------------------------------------------------------
// Construction, start-up and shut-down

ZT_PlatformSDL::ZT_PlatformSDL(int width, int height, bool fullscreen, bool use_blitsurface)
    : width(width),
      height(height),
      fullscreen(fullscreen),
      use_blitsurface(use_blitsurface),
      initialized(false),
      font(nullptr),
      blitsurface(nullptr),
      screen(nullptr) {}

ZT_PlatformSDL::~ZT_PlatformSDL() {
  if (initialized) finalize();
}

void ZT_PlatformSDL::initialize() {
  if (initialized) return;

  bool audio_started = false;
  bool ttf_started = false;
  // A failed start-up takes back what it started, so that the window is gone
  // when the error is shown and a later call starts from scratch.
  auto release = [&]() {
    if (blitsurface && blitsurface != screen) SDL_FreeSurface(blitsurface);
    blitsurface = nullptr;
    screen = nullptr;
    if (ttf_started) TTF_Quit();
    if (audio_started) Mix_CloseAudio();
    SDL_Quit();
    quit_signals_release();
  };
  auto fail = [&](const char* prefix) {
    ZT_Exception error(prefix + sdl_error());
    release();
    throw error;
  };

  // sdl12-compat reads WAVs with SDL2, which by default plays what is left of a
  // sample cut short where classic SDL refuses it; ask SDL2 to refuse it too
  // (classic SDL ignores the variable), unless the user chose otherwise.
  setenv("SDL_WAVE_TRUNCATION", "verystrict", 0);
  quit_signals_catch();  // before SDL_Init, so that SDL does not install its own
  if (SDL_Init(sdlinit(SDL_INIT_AUDIO | SDL_INIT_VIDEO)) < 0) fail("Unable to init SDL: ");
  if (Mix_OpenAudio(ZT_Platform_MixRate, AUDIO_S16SYS, kAudioChannels, audiobufsize_get()) < 0) {
    fail("Unable to init SDL_mixer: ");
  }
  audio_started = true;
  if (TTF_Init() < 0) fail("Unable to init SDL_ttf: ");
  ttf_started = true;
  Mix_AllocateChannels(ZT_Platform_MixChannels);
  sound_volume(ZT_Platform_StartVolume);
  try {
    custom_initialize();
  } catch (...) {
    release();
    throw;
  }

  Uint32 video_flags = SDL_DOUBLEBUF;
  if (fullscreen) video_flags |= SDL_FULLSCREEN;
  screen = SDL_SetVideoMode(width_get(), height_get(), kScreenBpp, sdlvideomode(video_flags));
  if (!screen) fail("Unable to set resolution: ");
  if (use_blitsurface) {
    const SDL_PixelFormat* f = screen->format;
    blitsurface = SDL_CreateRGBSurface(SDL_SWSURFACE, width_get(), height_get(), f->BitsPerPixel,
                                       f->Rmask, f->Gmask, f->Bmask, 0);
    if (!blitsurface) fail("Unable to create blit surface: ");
  } else {
    blitsurface = screen;
  }
  SDL_ShowCursor(SDL_DISABLE);
  SDL_WM_SetCaption(kWindowTitle, nullptr);

  std::string font_path = platformdata_get() + "/" + ZT_Platform_FontFile;
  font = TTF_OpenFont(font_path.c_str(), fontsize_get());
  if (!font) fail("Unable to load font: ");

  initialized = true;
}

void ZT_PlatformSDL::finalize() {
  if (!initialized) return;
  custom_finalize();
  TTF_CloseFont(font);
  font = nullptr;
  TTF_Quit();
  Mix_CloseAudio();
  if (use_blitsurface && blitsurface) SDL_FreeSurface(blitsurface);
  blitsurface = nullptr;
  screen = nullptr;
  SDL_Quit();
  quit_signals_release();
  initialized = false;
}

void ZT_PlatformSDL::custom_initialize() {}

void ZT_PlatformSDL::custom_finalize() {}

int ZT_PlatformSDL::sdlinit(int flags) { return flags | SDL_INIT_JOYSTICK; }

int ZT_PlatformSDL::sdlvideomode(int flags) { return flags; }

int ZT_PlatformSDL::audiobufsize_get() { return 2048; }

int ZT_PlatformSDL::fontsize_get() { return ZT_Platform_FontSize; }

int ZT_PlatformSDL::width_get() { return width; }

int ZT_PlatformSDL::height_get() { return height; }

// ---------------------------------------------------------------------------
// Pictures and drawing

ZT_Platform_Image* ZT_PlatformSDL::image_load(const std::string& path,
                                              ZT_Platform_RGB* transparent) {
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
  SDL_Surface* surface = file ? SDL_LoadBMP_RW(file, 1) : nullptr;
  if (!surface) throw ZT_Exception("Unable to load image " + path + ": " + sdl_error());
  if (!usable_format(surface->format)) {
    SDL_FreeSurface(surface);
    throw ZT_Exception("Unable to load image " + path + ": unsupported BMP pixel format");
  }
  // SDL turns a negative height into a positive one except -2^31, which stays
  // negative and gives a surface with no pixels behind it; zooming or copying it
  // then crashes.
  if (surface->w <= 0 || surface->h <= 0) {
    SDL_FreeSurface(surface);
    throw ZT_Exception("Unable to load image " + path + ": BMP width or height is not positive");
  }
  if (transparent) {
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY,
                    SDL_MapRGB(surface->format, transparent->r, transparent->g, transparent->b));
  }
  return new ZT_PlatformSDL_Image(to_frame_format(surface, blitsurface));
}

void ZT_PlatformSDL::draw_clear() {
  if (!blitsurface) return;
  SDL_FillRect(blitsurface, nullptr, SDL_MapRGB(blitsurface->format, 0, 0, 0));
}

void ZT_PlatformSDL::draw_image(ZT_Platform_Image* image, int x, int y) {
  ZT_PlatformSDL_Image* picture = dynamic_cast<ZT_PlatformSDL_Image*>(image);
  if (!picture || !picture->surface || !blitsurface) return;
  SDL_Surface* src = picture->surface;
  if (x >= blitsurface->w || y >= blitsurface->h || x <= -src->w || y <= -src->h) return;
  SDL_Rect from = {0, 0, static_cast<Uint16>(src->w), static_cast<Uint16>(src->h)};
  SDL_Rect to = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  if (x < 0) {
    from.x = static_cast<Sint16>(-x);
    from.w = static_cast<Uint16>(src->w + x);
    to.x = 0;
  }
  if (y < 0) {
    from.y = static_cast<Sint16>(-y);
    from.h = static_cast<Uint16>(src->h + y);
    to.y = 0;
  }
  SDL_BlitSurface(src, &from, blitsurface, &to);
}

void ZT_PlatformSDL::draw_line(int x1, int y1, int x2, int y2, ZT_Platform_RGB* colour) {
  if (!blitsurface) return;
  ZT_Platform_RGB c = colour ? *colour : ZT_Platform_RGB_create(255, 255, 255);
  lineRGBA(blitsurface, static_cast<Sint16>(x1), static_cast<Sint16>(y1), static_cast<Sint16>(x2),
           static_cast<Sint16>(y2), c.r, c.g, c.b, 255);
}

void ZT_PlatformSDL::draw_rectangle(int x1, int y1, int x2, int y2, ZT_Platform_RGB* border,
                                    ZT_Platform_RGB* fill, int alpha) {
  if (!blitsurface) return;
  Uint8 a = alpha < 0 ? 255 : static_cast<Uint8>(alpha & 0xff);
  Sint16 ax = static_cast<Sint16>(x1), ay = static_cast<Sint16>(y1);
  Sint16 bx = static_cast<Sint16>(x2), by = static_cast<Sint16>(y2);
  if (!border && !fill) {
    rectangleRGBA(blitsurface, ax, ay, bx, by, 255, 255, 255, a);
    return;
  }
  if (border) rectangleRGBA(blitsurface, ax, ay, bx, by, border->r, border->g, border->b, a);
  if (fill) boxRGBA(blitsurface, ax, ay, bx, by, fill->r, fill->g, fill->b, a);
}

void ZT_PlatformSDL::draw_flip(int width, int height) {
  if (!screen) return;
  if (!use_blitsurface) {
    SDL_Flip(screen);
    return;
  }
  int x, y, zw, zh;
  // A box larger than the frame cannot be stretched; it shows the whole frame.
  if (ZT_Platform_zoom_rect(blitsurface->w, blitsurface->h, width, height, &x, &y, &zw, &zh)) {
    SDL_Rect from = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(zw),
                     static_cast<Uint16>(zh)};
    SDL_SoftStretch(blitsurface, &from, screen, nullptr);
    SDL_Flip(screen);
    return;
  }
  SDL_UpperBlit(blitsurface, nullptr, screen, nullptr);
  SDL_Flip(screen);
}

// ---------------------------------------------------------------------------
// Text

void ZT_PlatformSDL::text_draw(int x, int y, const std::string& text, ZT_Platform_RGB* colour) {
  if (!font || !blitsurface) return;
  SDL_Color c = {255, 255, 255, 0};
  if (colour) {
    c.r = colour->r;
    c.g = colour->g;
    c.b = colour->b;
  }
  SDL_Surface* rendered = TTF_RenderText_Solid(font, text.c_str(), c);
  if (!rendered) return;
  SDL_Rect to = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  SDL_BlitSurface(rendered, nullptr, blitsurface, &to);
  SDL_FreeSurface(rendered);
}

int ZT_PlatformSDL::text_fontheight() { return font ? TTF_FontLineSkip(font) : -1; }

int ZT_PlatformSDL::text_width(const std::string& text) {
  int w = 0, h = 0;
  if (!font || TTF_SizeText(font, text.c_str(), &w, &h) < 0) return -1;
  return w;
}

int ZT_PlatformSDL::text_height(const std::string& text) {
  int w = 0, h = 0;
  if (!font || TTF_SizeText(font, text.c_str(), &w, &h) < 0) return -1;
  return h;
}

// ---------------------------------------------------------------------------
// Events and clocks

bool ZT_PlatformSDL::event(ZT_Platform_GameType type, ZT_Platform_Event* out) {
  SDL_Event in;
  // A quit signal reads as the window's close button on every poll, until the
  // device has left its game and the menu has ended.
  if (quit_requested) {
    in.type = SDL_QUIT;
    if (process_event(type, &in, out)) return true;
  }
  while (SDL_PollEvent(&in)) {
    if (process_event(type, &in, out)) return true;
  }
  return false;
}

bool ZT_PlatformSDL::process_event(ZT_Platform_GameType type, SDL_Event* in,
                                   ZT_Platform_Event* out) {
  (void)type;
  switch (in->type) {
    case SDL_QUIT:
      out->type = ZT_EVENT_QUIT;
      return true;
    case SDL_KEYDOWN: {
      out->type = ZT_EVENT_KEY;
      const int key = ZT_Platform_keyboard_find(in->key.keysym.sym);
      if (key < 0) return false;
      out->key = key;
      return true;
    }
    default:
      return false;
  }
}

unsigned int ZT_PlatformSDL::ticks_get() { return SDL_GetTicks(); }

unsigned int ZT_PlatformSDL::time_ms_get() { return ZT_Platform_Time_ms(ZT_Platform_Time_local()); }

ZT_Platform_Time ZT_PlatformSDL::time_get() { return ZT_Platform_Time_local(); }

// ---------------------------------------------------------------------------
// Sound

ZT_Platform_Sound* ZT_PlatformSDL::sound_load(const std::string& path) {
  const std::string error = "Unable to load sound sample " + path + ": ";
  // The file must be a WAV whose chunks SDL can read safely and whose header it
  // reads, in a format the mixer can convert to its own (the mixer's other
  // loaders do not tell the format). Each reading closes its own stream: left
  // open, SDL's WAV reader seeks on and replaces the reason of its failure with
  // that of the seek.
  const std::string fault = wav_chunk_fault(path);
  if (!fault.empty()) throw ZT_Exception(error + fault);
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
  SDL_AudioSpec format;
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!file || !SDL_LoadWAV_RW(file, 1, &format, &samples, &length)) {
    throw ZT_Exception(error + sdl_error());
  }
  SDL_FreeWAV(samples);
  if (!mixer_converts(format)) {
    throw ZT_Exception(error + "unsupported WAV sample rate or channel count");
  }
  file = SDL_RWFromFile(path.c_str(), "rb");
  Mix_Chunk* chunk = file ? Mix_LoadWAV_RW(file, 1) : nullptr;
  if (!chunk) throw ZT_Exception(error + sdl_error());
  return new ZT_PlatformSDL_Sound(chunk);
}

void ZT_PlatformSDL::sound_play(ZT_Platform_Sound* sound) {
  ZT_PlatformSDL_Sound* sample = dynamic_cast<ZT_PlatformSDL_Sound*>(sound);
  if (!sample || !sample->chunk || !mixer_open()) return;
  Mix_PlayChannelTimed(-1, sample->chunk, 0, -1);
}

int ZT_PlatformSDL::sound_volume(unsigned short volume) {
  int v = volume > ZT_Platform_MaxVolume ? ZT_Platform_MaxVolume : volume;
  if (mixer_open()) Mix_Volume(-1, v);
  return v;
}

void ZT_PlatformSDL::sound_stop_all() {
  if (mixer_open()) Mix_HaltChannel(-1);
}
