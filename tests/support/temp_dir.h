// SPDX-License-Identifier: MIT
// A temporary folder for the files a test makes, optionally laid out as a data
// folder with the font the SDL platform opens; it disappears with the object.
#ifndef ZT_TESTS_SUPPORT_TEMP_DIR_H
#define ZT_TESTS_SUPPORT_TEMP_DIR_H

#include <string>

#include "support/media_files.h"

// The font copied into data folders as the platform's own.
extern const char* const kFontSource;

class TempDir {
 public:
  // Makes `prefix`-XXXXXX in the system's temporary folder; throws if it cannot.
  explicit TempDir(const std::string& prefix = "zt-test");
  // Gives the owner its rights back first, so that a test may lock the folder.
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string file(const std::string& name) const { return path + "/" + name; }
  // Writes a file below the folder, making its folders; returns its path.
  std::string write(const std::string& name, const Bytes& bytes) const;
  std::string write(const std::string& name, const std::string& text) const;
  // The platform's own folder with the font the platform opens.
  void add_font() const;

  std::string path;
};

#endif
