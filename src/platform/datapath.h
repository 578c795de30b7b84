// SPDX-License-Identifier: MIT
// Finding the data folder: the one rule the desktop program and the libretro
// core share. A program looks beside itself first (a build folder, or a copy
// with its data), then along the path to its installed data; the core looks
// in the frontend's system folder first, then beside itself.
#ifndef ZT_PLATFORM_DATAPATH_H
#define ZT_PLATFORM_DATAPATH_H

#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>

#include "platform/decode/path.h"

// The folder holding the file that `link` points to (the running program for
// /proc/self/exe); empty when the link cannot be read.
inline std::string ZT_Platform_exedir_get(const char* link = "/proc/self/exe") {
  std::error_code error;
  std::filesystem::path target = std::filesystem::read_symlink(link, error);
  if (error || target.empty()) return "";
  if (target.is_relative()) target = std::filesystem::path(link).parent_path() / target;
  return target.parent_path().string();
}

// `rest` from the folder `dir` (an absolute `rest` as it is), with "." and
// ".." taken out; empty when `dir` is unknown. Plain strings: the libretro
// core uses this, and std::filesystem would bring the C++ library's locales
// into the core file.
inline std::string ZT_Platform_path_join(const std::string& dir, const std::string& rest) {
  if (dir.empty()) return "";
  const std::string whole = rest.empty() ? dir : rest[0] == '/' ? rest : dir + "/" + rest;
  std::string out;
  size_t at = 0;
  while (at <= whole.size()) {
    size_t end = whole.find('/', at);
    if (end == std::string::npos) end = whole.size();
    const std::string part = whole.substr(at, end - at);
    at = end + 1;
    if (part.empty() || part == ".") continue;
    const size_t last = out.rfind('/');
    const bool can_go_up = !out.empty() && out.compare(last + 1, std::string::npos, "..") != 0;
    if (part == ".." && can_go_up) {
      out.erase(last == std::string::npos ? 0 : last);
      continue;
    }
    if (!out.empty() || whole[0] == '/') out += '/';
    out += part;
  }
  return out.empty() ? (whole[0] == '/' ? "/" : ".") : out;
}

// Whether `path` (UTF-8) names a folder that can be read.
inline bool ZT_Platform_is_folder(const std::string& path) {
  return zt_decode::path_is_folder(path);
}

// `name` inside exe_dir; empty (the platform's own default) when exe_dir is unknown.
inline std::string ZT_Platform_datapath_default(const std::string& exe_dir,
                                                const std::string& name) {
  if (exe_dir.empty()) return "";
  if (exe_dir.back() == '/') return exe_dir + name;
  return exe_dir + "/" + name;
}

// The first of `folders` that exists as a folder (empty ones skipped), else
// `otherwise`.
inline std::string ZT_Platform_folder_first(std::initializer_list<std::string> folders,
                                            const std::string& otherwise) {
  for (const std::string& folder : folders)
    if (ZT_Platform_is_folder(folder)) return folder;
  return otherwise;
}

// The program's data folder without -d: `name` beside the program when that
// folder is there, else the installed folder `installed` (relative to the
// program's folder, so that an installation works under any prefix) when
// that is there, else `name` beside the program, whose missing font the
// start-up then reports. Empty when exe_dir is unknown.
inline std::string ZT_Platform_datapath_find(const std::string& exe_dir, const std::string& name,
                                             const std::string& installed) {
  const std::string beside = ZT_Platform_datapath_default(exe_dir, name);
  if (beside.empty() || installed.empty()) return beside;
  return ZT_Platform_folder_first({beside, ZT_Platform_path_join(exe_dir, installed)}, beside);
}

#endif
