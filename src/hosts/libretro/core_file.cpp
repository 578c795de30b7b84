// SPDX-License-Identifier: MIT
// The loaded core's folder: dladdr on POSIX systems, the module handle of an
// address inside the DLL on Windows.
#include "hosts/libretro/core_file.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <vector>

std::string zt_core_folder() {
  std::string file;
#ifdef _WIN32
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&zt_core_folder), &module))
    return "";
  // Long paths exist: grow until the name fits.
  std::vector<wchar_t> wide(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(module, wide.data(), static_cast<DWORD>(wide.size()));
    if (length == 0) return "";
    if (length < wide.size()) {
      wide.resize(length);
      break;
    }
    if (wide.size() >= 32768) return "";
    wide.resize(wide.size() * 2);
  }
  // The core opens its files with the C library's narrow calls, which read a
  // name in the ANSI code page.
  const int wide_length = static_cast<int>(wide.size());
  int bytes =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return "";
  file.resize(static_cast<size_t>(bytes));
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, &file[0], bytes, nullptr, nullptr);
  const size_t slash = file.find_last_of("\\/");
#else
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&zt_core_folder), &info) == 0 || info.dli_fname == nullptr)
    return "";
  file = info.dli_fname;
  const size_t slash = file.rfind('/');
#endif
  return slash == std::string::npos ? "" : file.substr(0, slash);
}
