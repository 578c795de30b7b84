// Where the program finds its data when no -d is given: the default folder
// beside the executable, so that it does not depend on the current directory,
// else the installed data folder.
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

// The data folder without -d: `name` beside the program when that folder is
// there (a build folder, or a copy with its data), else the installed folder
// `installed` (relative to the program's folder, so that an installation works
// under any prefix) when that is there, else `name` beside the program, whose
// missing font the start-up then reports. Empty when exe_dir is unknown.
inline std::string ZT_App_datapath_find(const std::string& exe_dir, const std::string& name,
                                        const std::string& installed) {
  const std::string beside = ZT_App_datapath_default(exe_dir, name);
  std::error_code error;
  if (beside.empty() || installed.empty() || std::filesystem::is_directory(beside, error))
    return beside;
  const std::string from_program =
      (std::filesystem::path(exe_dir) / installed).lexically_normal().string();
  if (std::filesystem::is_directory(from_program, error)) return from_program;
  return beside;
}

#endif
