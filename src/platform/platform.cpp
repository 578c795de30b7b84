// The data-path rule and the colour helper shared by every platform.
#include "platform/platform.h"

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
