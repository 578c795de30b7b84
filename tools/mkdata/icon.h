// SPDX-License-Identifier: MIT
// The application icon: a handheld in the colours of the built-in pictures,
// as PNG files for the desktop's icon theme.
#ifndef ZT_TOOLS_MKDATA_ICON_H
#define ZT_TOOLS_MKDATA_ICON_H

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

// The sizes of the icon theme's fixed-size folders that the icon comes in; 192 and
// 512 also serve the web page's manifest.
extern const int kIconSizes[7];

// The icon drawn at size x size pixels: rows of RGBA, transparent around it.
std::vector<uint8_t> icon_pixels(int size);

// Write DIR/hicolor/NxN/apps/NAME.png for every size; false (with errno or
// nothing set) when a file cannot be written.
bool icons_write(const std::string& dir, const std::string& name);

}  // namespace mkdata

#endif
