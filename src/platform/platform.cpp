// The data-path rule and the colour helper shared by every platform.
#include "platform/platform.h"

#include <ctime>

const char* const ZT_Platform_DataPath = "data";

ZT_Platform_RGB ZT_Platform_RGB_create(int r, int g, int b) {
  ZT_Platform_RGB rgb;
  rgb.r = static_cast<uint8_t>(r & 0xff);
  rgb.g = static_cast<uint8_t>(g & 0xff);
  rgb.b = static_cast<uint8_t>(b & 0xff);
  return rgb;
}

std::string ZT_Platform::datapath_get() {
  if (datapath.empty()) return ZT_Platform_DataPath;
  return datapath;
}

void ZT_Platform::datapath_set(const std::string& path) { datapath = path; }

std::string ZT_Platform::platformdata_get() { return datapath_get() + "/zentick"; }

ZT_Platform_Time ZT_Platform_Time_local() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  ZT_Platform_Time t;
  t.day = static_cast<int16_t>(local.tm_mday);
  t.month = static_cast<int16_t>(local.tm_mon + 1);
  t.year = static_cast<int16_t>(local.tm_year);
  t.hour = static_cast<int16_t>(local.tm_hour);
  t.minute = static_cast<int16_t>(local.tm_min);
  t.second = static_cast<int16_t>(local.tm_sec);
  return t;
}

unsigned int ZT_Platform_Time_ms(const ZT_Platform_Time& t) {
  return static_cast<unsigned int>(t.hour * 3600 + t.minute * 60 + t.second) * 1000u;
}

bool ZT_Platform_zoom_rect(int width, int height, int view_width, int view_height, int* x, int* y,
                           int* zoom_width, int* zoom_height) {
  if (view_width <= 0 || view_height <= 0) return false;
  // Single precision on purpose: the box must come out the same on every build.
  const float sx = static_cast<float>(view_width) / static_cast<float>(width);
  const float sy = static_cast<float>(view_height) / static_cast<float>(height);
  const float scale = sx > sy ? sx : sy;
  const int zw = static_cast<int>(scale * static_cast<float>(width));
  const int zh = static_cast<int>(scale * static_cast<float>(height));
  if (zw > width || zh > height || zw <= 0 || zh <= 0) return false;
  *x = width / 2 - zw / 2;
  *y = height / 2 - zh / 2;
  *zoom_width = zw;
  *zoom_height = zh;
  return true;
}
