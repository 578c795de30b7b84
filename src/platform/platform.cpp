// SPDX-License-Identifier: MIT
// The data-path rule and the colour helper shared by every platform.
#include "platform/platform.h"

#include <climits>
#include <cstdint>
#include <ctime>
#ifdef __linux__
#include <sys/syscall.h>
#include <unistd.h>
#endif

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

const int64_t kDay = 86400;
const int64_t k1900 = days_from_civil(1900, 1, 1);
const int64_t k1970 = days_from_civil(1970, 1, 1);

bool leap(int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// The C library's local time of `t`, in its Windows or its POSIX form.
bool local_tm(time_t t, struct tm* out) {
#ifdef _WIN32
  return localtime_s(out, &t) == 0;  // Windows has localtime_r with its arguments swapped
#else
  return localtime_r(&t, out) != nullptr;
#endif
}

// Seconds since 1970 UTC now.
bool unix_now(int64_t* out) {
#if defined(__linux__) && defined(SYS_clock_gettime64)
  if (sizeof(time_t) < 8) {
    // The C library's 32-bit time_t ends in January 2038; the kernel's 64-bit
    // clock (Linux 5.1 on) does not, and the C library need not know it.
    struct {
      int64_t tv_sec;
      int64_t tv_nsec;
    } now;  // the kernel's struct __kernel_timespec
    if (syscall(SYS_clock_gettime64, CLOCK_REALTIME, &now) == 0) {
      *out = now.tv_sec;
      return true;
    }
  }
#endif
  const time_t now = time(nullptr);
  // -1 is an error; a 32-bit time_t past 2038 reads -1 or wraps below 1970.
  if (now < 0) return false;
  *out = static_cast<int64_t>(now);
  return true;
}

}  // namespace

bool ZT_Platform_Time_valid(const ZT_Platform_Time& t) {
  static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.year < 0 || t.year > 9999 - 1900 || t.month < 1 || t.month > 12) return false;
  const int days = kMonthDays[t.month - 1] + (t.month == 2 && leap(1900 + t.year));
  return t.day >= 1 && t.day <= days && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
         t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

bool ZT_Platform_Time_from_unix(int64_t unix_seconds, ZT_Platform_Time* out, bool narrow) {
  int64_t t = unix_seconds, years_back = 0;
  if (narrow && t > INT32_MAX) {
    // The calendar repeats with the year's leap day and the weekday of its 1
    // January: 14 kinds of year, all found in 2010..2037, which hold no year
    // like 2100 that skips its leap day.
    int64_t year, month, day;
    civil_from_days(k1970 + floor_div(t, kDay), &year, &month, &day);
    const int64_t first = days_from_civil(year, 1, 1);
    for (int64_t like = 2037; like >= 2010; --like) {
      const int64_t like_first = days_from_civil(like, 1, 1);
      if (leap(like) != leap(year) || floor_div(first - like_first, 7) * 7 != first - like_first)
        continue;
      t -= (first - like_first) * kDay;
      years_back = year - like;
      break;
    }
  }
  if (static_cast<int64_t>(static_cast<time_t>(t)) != t) return false;
  struct tm local;
  if (!local_tm(static_cast<time_t>(t), &local)) return false;
  out->day = static_cast<int16_t>(local.tm_mday);
  out->month = static_cast<int16_t>(local.tm_mon + 1);
  out->year = static_cast<int16_t>(local.tm_year + years_back);
  out->hour = static_cast<int16_t>(local.tm_hour);
  out->minute = static_cast<int16_t>(local.tm_min);
  out->second = static_cast<int16_t>(local.tm_sec);
  return ZT_Platform_Time_valid(*out);
}

bool ZT_Platform_Time_now(ZT_Platform_Time* out) {
  int64_t now;
  return unix_now(&now) && ZT_Platform_Time_from_unix(now, out);
}

ZT_Platform_Time ZT_Platform_Time_local() {
  ZT_Platform_Time t;
  if (!ZT_Platform_Time_now(&t)) t = ZT_Platform_Time_unknown;
  return t;
}

unsigned int ZT_Platform_Time_ms(const ZT_Platform_Time& t) {
  return static_cast<unsigned int>(t.hour * 3600 + t.minute * 60 + t.second) * 1000u;
}

int64_t ZT_Platform_Time_seconds(const ZT_Platform_Time& t) {
  // Months out of range move the year first, so that 13/2000 is 1/2001.
  const int64_t month0 = t.month - 1;
  const int64_t year = 1900 + t.year + floor_div(month0, 12);
  const int64_t month = month0 - floor_div(month0, 12) * 12 + 1;
  return (days_from_civil(year, month, 1) - k1900 + t.day - 1) * kDay + t.hour * 3600 +
         t.minute * 60 + t.second;
}

ZT_Platform_Time ZT_Platform_Time_add(const ZT_Platform_Time& t, uint32_t seconds) {
  const int64_t total = ZT_Platform_Time_seconds(t) + seconds;
  const int64_t days = floor_div(total, kDay), rest = total - days * kDay;
  int64_t y, m, d;
  civil_from_days(k1900 + days, &y, &m, &d);
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
