// SPDX-License-Identifier: MIT
// The loaded core's folder: the loaded object whose segments hold an address
// inside the core on POSIX systems, the module handle of such an address on
// Windows.
#include "hosts/libretro/core_file.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/decode/path.h"
#else
#include <link.h>

#include <cstdint>
#endif

#include <vector>

#ifndef _WIN32
namespace {

struct Search {
  uintptr_t address;
  dl_phdr_info* found;
};

int search_object(dl_phdr_info* object, size_t, void* data) {
  Search* search = static_cast<Search*>(data);
  for (int i = 0; i < object->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = object->dlpi_phdr[i];
    const uintptr_t start = object->dlpi_addr + segment.p_vaddr;
    if (segment.p_type == PT_LOAD && search->address >= start &&
        search->address - start < segment.p_memsz) {
      *search->found = *object;
      return 1;
    }
  }
  return 0;
}

}  // namespace

bool zt_object_at(const void* address, dl_phdr_info* out) {
  Search search = {reinterpret_cast<uintptr_t>(address), out};
  return dl_iterate_phdr(search_object, &search) != 0;
}
#endif

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
  // UTF-8, as every path the core opens; forward slashes, which Windows takes
  // as well, so that the folder joins with the relative path to the data.
  file = zt_decode::path_utf8(std::wstring(wide.begin(), wide.end()));
  for (char& c : file)
    if (c == '\\') c = '/';
#else
  // The name the core was loaded by (empty for the main program).
  dl_phdr_info object;
  if (!zt_object_at(reinterpret_cast<const void*>(&zt_core_folder), &object) ||
      object.dlpi_name == nullptr)
    return "";
  file = object.dlpi_name;
#endif
  const size_t slash = file.rfind('/');
  return slash == std::string::npos ? "" : file.substr(0, slash);
}
