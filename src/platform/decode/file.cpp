// SPDX-License-Identifier: MIT
// Whole files into memory, with the reasons SDL gives for a file it cannot
// read; paths in UTF-8 on every system.
#include <cstdio>

#include "platform/decode/media.h"
#include "platform/decode/path.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dirent.h>
#endif

namespace zt_decode {

#ifdef _WIN32
std::wstring path_wide(const std::string& utf8) {
  const int size = static_cast<int>(utf8.size());
  const int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, &wide[0], length);
  return wide;
}

std::string path_utf8(const std::wstring& wide) {
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, nullptr,
                                         0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, &utf8[0], length, nullptr,
                      nullptr);
  return utf8;
}

std::FILE* path_open(const std::string& path, const char* mode) {
  const std::wstring wide = path_wide(path);
  if (wide.empty()) return nullptr;  // empty, or not UTF-8
  return _wfopen(wide.c_str(), path_wide(mode).c_str());
}

bool path_is_folder(const std::string& path) {
  const std::wstring wide = path_wide(path);
  if (wide.empty()) return false;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
#else
std::FILE* path_open(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

// opendir rather than stat: stat is a symbol of glibc 2.33 and later (older
// ones inline a call to __xstat), and the libretro cores load on glibc 2.17.
bool path_is_folder(const std::string& path) {
  if (path.empty()) return false;
  DIR* folder = opendir(path.c_str());
  if (folder == nullptr) return false;
  closedir(folder);
  return true;
}
#endif

bool file_read(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason) {
  std::FILE* file = path_open(path, "rb");
  if (!file) {
    *reason = "Couldn't open " + path;
    return false;
  }
  bytes->clear();
  uint8_t buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes->insert(bytes->end(), buffer, buffer + got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    *reason = "Error reading from datastream";
    return false;
  }
  return true;
}

}  // namespace zt_decode
