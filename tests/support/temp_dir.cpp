// SPDX-License-Identifier: MIT
// Temporary folders for tests, with the platform's font on demand.
#include "support/temp_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

const char* const kFontSource = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

TempDir::TempDir(const std::string& prefix) {
  const std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr)
    throw std::runtime_error("cannot make a temporary folder " + pattern);
  path = buffer.data();
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(path, fs::perms::owner_all, ignored);
  fs::remove_all(path, ignored);
}

std::string TempDir::write(const std::string& name, const Bytes& bytes) const {
  fs::create_directories(fs::path(file(name)).parent_path());
  write_file(file(name), bytes);
  return file(name);
}

std::string TempDir::write(const std::string& name, const std::string& text) const {
  return write(name, Bytes(text.begin(), text.end()));
}

void TempDir::add_font() const {
  fs::create_directories(file("zentick"));
  fs::copy_file(kFontSource, file("zentick/andalemo.ttf"), fs::copy_options::overwrite_existing);
}
