// SPDX-License-Identifier: MIT
// Fuzz target: the option parser's resource file with arbitrary contents,
// written to a temporary file and read with processFile as the program would.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hosts/desktop/anyoption.h"

namespace {

std::string file_path;

const char* const kValueNames[] = {"data-path", "fileopt", "command", "x"};
const char kValueLetters[] = {'d', 'f', 'c', 'x'};
const char* const kFlagNames[] = {"help", "fileflag", "cflag", "b"};
const char kFlagLetters[] = {'h', 'k', 'g', 'b'};

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// A value read from the file lies within one line and has lost its outer spaces.
void check_value(const char* value) {
  if (value == nullptr) return;
  const size_t length = std::strlen(value);
  check(std::strchr(value, '\n') == nullptr, "value spans lines");
  if (length > 0) check(value[0] != ' ' && value[length - 1] != ' ', "value keeps its spaces");
}

void remove_file() {
  if (!file_path.empty()) unlink(file_path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zt-fuzz-rc-XXXXXX";
  int fd = mkstemp(&pattern[0]);
  if (fd < 0) std::abort();
  close(fd);
  file_path = pattern;
  std::atexit(remove_file);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(file_path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  AnyOption options;
  // Verbose on half of the inputs, so that the diagnostics are exercised too.
  if (size % 2) options.setVerbose();
  options.setFlag("help", 'h');
  options.setOption("data-path", 'd');
  options.setFileOption("fileopt", 'f');
  options.setCommandOption("command", 'c');
  options.setFileFlag("fileflag", 'k');
  options.setCommandFlag("cflag", 'g');
  options.setFlag('b');
  options.setOption("x");
  check(options.processFile(file_path.c_str()), "a readable file is read");

  for (const char* name : kValueNames) check_value(options.getValue(name));
  for (char letter : kValueLetters) check_value(options.getValue(letter));
  for (const char* name : kFlagNames) {
    if (options.getFlag(name)) check(std::strcmp(options.getValue(name), "true") == 0, "flag");
  }
  for (char letter : kFlagLetters) {
    if (options.getFlag(letter)) check(std::strcmp(options.getValue(letter), "true") == 0, "flag");
  }
  // Options reserved for the command line are never set from a file.
  check(options.getValue("command") == nullptr && options.getValue('c') == nullptr,
        "command option set from the file");
  check(!options.getFlag("cflag") && !options.getFlag('g'), "command flag set from the file");
  return 0;
}
