// Where the program finds its data when no -d is given: the default folder
// beside the executable, so that it does not depend on the current directory.
#ifndef ZT_APP_DATAPATH_H
#define ZT_APP_DATAPATH_H

#include <filesystem>
#include <string>
#include <system_error>

// The folder holding the file that `link` points to (the running program for
// /proc/self/exe); empty when the link cannot be read.
inline std::string ZT_App_exedir_get(const char* link = "/proc/self/exe") {
  std::error_code error;
  std::filesystem::path target = std::filesystem::read_symlink(link, error);
  if (error || target.empty()) return "";
  if (target.is_relative()) target = std::filesystem::path(link).parent_path() / target;
  return target.parent_path().string();
}

// `name` inside exe_dir; empty (the platform's own default) when exe_dir is unknown.
inline std::string ZT_App_datapath_default(const std::string& exe_dir, const std::string& name) {
  if (exe_dir.empty()) return "";
  if (exe_dir.back() == '/') return exe_dir + name;
  return exe_dir + "/" + name;
}

#endif
