// SPDX-License-Identifier: MIT
// Paths are UTF-8 everywhere, as libretro frontends pass them. On Windows the
// C library's narrow calls would read a name in the ANSI code page and miss a
// folder such as C:\Users\José, so every path reaches the system through the
// wide-char calls here.
#ifndef ZT_PLATFORM_DECODE_PATH_H
#define ZT_PLATFORM_DECODE_PATH_H

#include <cstdio>
#include <string>

namespace zt_decode {

// std::fopen with a UTF-8 path.
std::FILE* path_open(const std::string& path, const char* mode);

// Whether `path` names a folder that can be read.
bool path_is_folder(const std::string& path);

#ifdef _WIN32
// UTF-8 to UTF-16 and back; empty when the text does not convert.
std::wstring path_wide(const std::string& utf8);
std::string path_utf8(const std::wstring& wide);
#endif

}  // namespace zt_decode

#endif
