// SPDX-License-Identifier: MIT
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
#ifdef _WIN32
  localtime_s(&local, &now);  // Windows has the same with its arguments swapped
#else
  localtime_r(&now, &local);
#endif
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

namespace {

// Days from 1 March of year 0 (proleptic Gregorian) to a date, and back, so
// that a leap day falls at the end of its year; floor division throughout.
int64_t floor_div(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int64_t days_from_civil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = floor_div(year, 400);
  const int64_t year_of_era = year - era * 400;  // 0..399
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era;
}

void civil_from_days(int64_t days, int64_t* year, int64_t* month, int64_t* day) {
  const int64_t era = floor_div(days, 146097);
  const int64_t day_of_era = days - era * 146097;  // 0..146096
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t mp = (5 * day_of_year + 2) / 153;  // 0 = March
  *day = day_of_year - (153 * mp + 2) / 5 + 1;
  *month = mp < 10 ? mp + 3 : mp - 9;
  *year = year_of_era + era * 400 + (*month <= 2);
}

}  // namespace

ZT_Platform_Time ZT_Platform_Time_add(const ZT_Platform_Time& t, uint32_t seconds) {
  // Months out of range move the year first, so that 13/2000 is 1/2001.
  const int64_t month0 = t.month - 1;
  const int64_t year = 1900 + t.year + floor_div(month0, 12);
  const int64_t month = month0 - floor_div(month0, 12) * 12 + 1;
  const int64_t total = (days_from_civil(year, month, 1) + t.day - 1) * 86400 + t.hour * 3600 +
                        t.minute * 60 + t.second + seconds;
  const int64_t days = floor_div(total, 86400), rest = total - days * 86400;
  int64_t y, m, d;
  civil_from_days(days, &y, &m, &d);
  ZT_Platform_Time out;
  out.year = static_cast<int16_t>(y - 1900);
  out.month = static_cast<int16_t>(m);
  out.day = static_cast<int16_t>(d);
  out.hour = static_cast<int16_t>(rest / 3600);
  out.minute = static_cast<int16_t>(rest / 60 % 60);
  out.second = static_cast<int16_t>(rest % 60);
  return out;
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
