// SPDX-License-Identifier: MIT
// Fuzz target: the option parser on arbitrary argument vectors. The first byte
// picks the parser's settings; the rest, split at NUL bytes, is the argument list.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hosts/desktop/anyoption.h"

namespace {

// Long names and letters the queries below ask for, registered or not.
const char* const kNames[] = {"help",     "data-path", "command", "fileopt", "cflag",
                              "fileflag", "both",      "x",       "",        "unknown"};
const char kLetters[] = {'h', 'd', 'c', 'f', 'g', 'k', 'b', '0', 'z', '-', '='};

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// A value the parser hands out must be a readable string it owns.
void check_value(const char* value) {
  if (value != nullptr) check(std::strlen(value) < (1u << 20), "value is a terminated string");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Verbose mode and the usage text write on stdout; keep the fuzzer's log readable.
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t settings = data[0];

  // Arguments: "zentick", then the pieces between NUL bytes, each a string of its own.
  std::vector<std::string> strings{"zentick"};
  std::string current;
  for (size_t i = 1; i < size; i++) {
    if (data[i] == 0) {
      strings.push_back(current);
      current.clear();
    } else {
      current.push_back(static_cast<char>(data[i]));
    }
  }
  if (size > 1) strings.push_back(current);
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(&s[0]);
  argv.push_back(nullptr);
  const int argc = static_cast<int>(strings.size());

  AnyOption options(settings & 0x80 ? 1 : 10, settings & 0x80 ? 1 : 10);
  options.addUsage("");
  options.addUsage("Usage: ");
  options.addUsage(" -h  --help  \t\t\t\tPrints this help ");
  options.addUsage(" -d  --data-path /dir\t\tData files path ");
  if (settings & 0x01) options.setVerbose();
  if (settings & 0x02) options.autoUsagePrint(true);
  if (settings & 0x04) options.setCommandPrefixChar('/');
  if (settings & 0x08) {
    char prefix[] = "++";
    options.setCommandLongPrefix(prefix);
  }
  if (settings & 0x10) options.noPOSIX();
  options.setFlag("help", 'h');
  options.setOption("data-path", 'd');
  options.setCommandOption("command", 'c');
  options.setFileOption("fileopt", 'f');
  options.setCommandFlag("cflag", 'g');
  options.setFileFlag("fileflag", 'k');
  options.setOption("both");
  options.setFlag('b');
  options.setOption("x");
  const int max_args = (settings >> 5) & 0x03;
  if (max_args > 0) {
    options.processCommandArgs(argc, argv.data(), max_args);
  } else {
    options.processCommandArgs(argc, argv.data());
  }

  for (const char* name : kNames) {
    check_value(options.getValue(name));
    if (options.getFlag(name)) check(std::strcmp(options.getValue(name), "true") == 0, "flag");
  }
  for (char letter : kLetters) {
    check_value(options.getValue(letter));
    if (options.getFlag(letter)) check(std::strcmp(options.getValue(letter), "true") == 0, "flag");
  }
  // Options that only a resource file may set stay unset on the command line.
  check(options.getValue("fileopt") == nullptr, "file option set from the command line");
  check(!options.getFlag("fileflag"), "file flag set from the command line");

  // Plain arguments are arguments of this argv, within the limit.
  const int count = options.getArgc();
  check(count >= 0 && count < argc, "plain-argument count");
  if (max_args > 0) check(count <= max_args, "plain-argument limit");
  for (int i = 0; i < count; i++) {
    const char* arg = options.getArgv(i);
    bool found = false;
    for (int j = 1; j < argc; j++) found = found || arg == argv[j];
    check(found, "plain argument points into argv");
  }
  check(options.getArgv(count) == nullptr, "getArgv past the end");
  check(options.hasOptions() == (argc > 1), "hasOptions");
  options.printAutoUsage();
  options.printUsage();
  return 0;
}
