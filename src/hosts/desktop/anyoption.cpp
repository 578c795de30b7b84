// SPDX-License-Identifier: MIT
// AnyOption: registration, command-line and resource-file parsing, the value
// table and the diagnostics printed in verbose mode.
#include "hosts/desktop/anyoption.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Resource-file syntax; fixed, whatever setFileCommentChar and
// setFileDelimiterChar are told.
constexpr char kComment = '#';
constexpr char kDelimiter = ':';
constexpr char kEqualSign = '=';
constexpr char kEndOfLine = '\n';
constexpr char kWhitespace = ' ';

// Option kinds, fixed by the registering call.
enum Kind {
  COMMON_OPT = 1,    // value; command line and file
  COMMAND_OPT = 2,   // value; command line only
  FILE_OPT = 3,      // value; file only
  COMMON_FLAG = 4,   // flag; command line and file
  COMMAND_FLAG = 5,  // flag; command line only
  FILE_FLAG = 6,     // flag; file only
};

constexpr char kNoValueLetter = '0';
constexpr const char* kTrue = "true";

bool takesValue(int kind) { return kind == COMMON_OPT || kind == COMMAND_OPT; }
bool isCommandFlag(int kind) { return kind == COMMON_FLAG || kind == COMMAND_FLAG; }
bool isFileValue(int kind) { return kind == COMMON_OPT || kind == FILE_OPT; }
bool isFileFlag(int kind) { return kind == COMMON_FLAG || kind == FILE_FLAG; }

void trimTrailing(char* text) {
  size_t length = std::strlen(text);
  while (length > 0 && text[length - 1] == kWhitespace) text[--length] = '\0';
}

size_t lengthWithoutLeading(const char* text) {
  while (*text == kWhitespace) text++;
  return std::strlen(text);
}

// Running out of memory is a failure, so the process ends with a failure status.
[[noreturn]] void outOfMemory() {
  std::fputs("\nOPTIONS ERROR : Failed allocating memory\nExiting.\n", stdout);
  std::exit(EXIT_FAILURE);
}

}  // namespace

AnyOption::AnyOption() { init(10, 10); }

AnyOption::AnyOption(int option_capacity) { init(option_capacity, option_capacity); }

AnyOption::AnyOption(int option_capacity, int letter_capacity) {
  init(option_capacity, letter_capacity);
}

AnyOption::~AnyOption() = default;

void AnyOption::init(int option_capacity, int letter_capacity) {
  this->option_capacity = option_capacity > 0 ? option_capacity : 0;
  this->letter_capacity = letter_capacity > 0 ? letter_capacity : 0;
  if (!alloc()) outOfMemory();
}

bool AnyOption::alloc() {
  if (mem_allocated) return true;
  try {
    options.reserve(option_capacity);
    letters.reserve(letter_capacity);
    usage.reserve(3);
  } catch (const std::bad_alloc&) {
    return false;
  }
  mem_allocated = true;
  return true;
}

// Printed piece by piece: building a message could itself run out of memory.
void AnyOption::failAllocation(const char* intro, const char* what) {
  std::fputs("\nOPTIONS ERROR : Failed allocating extra memory \n", stdout);
  std::fputs(intro, stdout);
  std::fputc('"', stdout);
  std::fputs(what, stdout);
  std::fputc('"', stdout);
  std::fputs("\nExiting.\n\n", stdout);
  std::exit(EXIT_FAILURE);
}

// ---------------------------------------------------------------- registration

void AnyOption::setOption(const char* name) { registerOption(name, COMMON_OPT); }
void AnyOption::setOption(char letter) { registerOption(letter, COMMON_OPT); }
void AnyOption::setOption(const char* name, char letter) {
  registerOption(name, letter, COMMON_OPT);
}
void AnyOption::setFlag(const char* name) { registerOption(name, COMMON_FLAG); }
void AnyOption::setFlag(char letter) { registerOption(letter, COMMON_FLAG); }
void AnyOption::setFlag(const char* name, char letter) {
  registerOption(name, letter, COMMON_FLAG);
}
void AnyOption::setCommandOption(const char* name) { registerOption(name, COMMAND_OPT); }
void AnyOption::setCommandOption(char letter) { registerOption(letter, COMMAND_OPT); }
void AnyOption::setCommandOption(const char* name, char letter) {
  registerOption(name, letter, COMMAND_OPT);
}
void AnyOption::setCommandFlag(const char* name) { registerOption(name, COMMAND_FLAG); }
void AnyOption::setCommandFlag(char letter) { registerOption(letter, COMMAND_FLAG); }
void AnyOption::setCommandFlag(const char* name, char letter) {
  registerOption(name, letter, COMMAND_FLAG);
}
void AnyOption::setFileOption(const char* name) { registerOption(name, FILE_OPT); }
void AnyOption::setFileOption(char letter) { registerOption(letter, FILE_OPT); }
void AnyOption::setFileOption(const char* name, char letter) {
  registerOption(name, letter, FILE_OPT);
}
void AnyOption::setFileFlag(const char* name) { registerOption(name, FILE_FLAG); }
void AnyOption::setFileFlag(char letter) { registerOption(letter, FILE_FLAG); }
void AnyOption::setFileFlag(const char* name, char letter) {
  registerOption(name, letter, FILE_FLAG);
}

void AnyOption::registerOption(const char* name, int kind) {
  addLong(name, kind);
  slot_count++;
}

void AnyOption::registerOption(char letter, int kind) {
  addLetter(letter, kind);
  slot_count++;
}

void AnyOption::registerOption(const char* name, char letter, int kind) {
  addLong(name, kind);
  addLetter(letter, kind);
  slot_count++;
}

void AnyOption::addLong(const char* name, int kind) {
  if (name == nullptr) return;
  try {
    if (options.size() == options.capacity()) options.reserve(2 * options.capacity() + 1);
    options.push_back(LongEntry{name, kind, slot_count});
  } catch (const std::bad_alloc&) {
    failAllocation("While adding the option : ", name);
  }
}

void AnyOption::addLetter(char letter, int kind) {
  const char text[2] = {letter, '\0'};
  if (!posix_style) {
    verbose(std::string("Ignoring the option character \"") + letter +
            "\" ( POSIX options are turned off )\n");
    return;
  }
  try {
    if (letters.size() == letters.capacity()) letters.reserve(2 * letters.capacity() + 1);
    letters.push_back(LetterEntry{letter, kind, slot_count});
  } catch (const std::bad_alloc&) {
    failAllocation("While adding the option: ", text);
  }
}

void AnyOption::addUsage(const char* line) {
  if (line == nullptr) return;
  try {
    if (usage.size() == usage.capacity()) usage.reserve(2 * usage.capacity() + 1);
    usage.emplace_back(line);
  } catch (const std::bad_alloc&) {
    failAllocation("While adding the usage/help  : ", line);
  }
}

// ---------------------------------------------------------------- value table

bool AnyOption::valueStoreOK() {
  if (values_created) return true;
  if (slot_count == 0) return false;
  try {
    values.resize(slot_count);
  } catch (const std::bad_alloc&) {
    outOfMemory();
  }
  values_created = true;
  return true;
}

bool AnyOption::processOptions() { return valueStoreOK(); }

const AnyOption::LongEntry* AnyOption::findLong(const char* name) {
  if (name == nullptr) return nullptr;
  for (const LongEntry& entry : options) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

const AnyOption::LetterEntry* AnyOption::findLetter(char letter) {
  for (const LetterEntry& entry : letters) {
    if (entry.letter == letter) return &entry;
  }
  return nullptr;
}

// Any entry of the letter counts, not only the first: a letter may be
// registered for the command line and again for files, as long names may.
bool AnyOption::hasFileLetter(char letter, bool (*fileKind)(int)) const {
  for (const LetterEntry& entry : letters) {
    if (entry.letter == letter && fileKind(entry.kind)) return true;
  }
  return false;
}

bool AnyOption::storeValue(int slot, const char* value) {
  // Options registered after the table was made have no slot in it.
  if (value == nullptr || slot < 0 || slot >= static_cast<int>(values.size())) return false;
  try {
    size_t size = std::strlen(value) + 1;
    std::unique_ptr<char[]> copy(new char[size]);
    std::memcpy(copy.get(), value, size);
    values[slot] = std::move(copy);
  } catch (const std::bad_alloc&) {
    outOfMemory();
  }
  return true;
}

bool AnyOption::setValue(const char* option, const char* value) {
  if (!valueStoreOK()) return false;
  const LongEntry* entry = findLong(option);
  return entry != nullptr && storeValue(entry->slot, value);
}

bool AnyOption::setValue(char letter, const char* value) {
  if (!valueStoreOK()) return false;
  const LetterEntry* entry = findLetter(letter);
  return entry != nullptr && storeValue(entry->slot, value);
}

bool AnyOption::setFlagOn(const char* option) { return setValue(option, kTrue); }

bool AnyOption::setFlagOn(char letter) { return setValue(letter, kTrue); }

// ---------------------------------------------------------------- command line

void AnyOption::useCommandArgs(int argc, char** argv) {
  this->argc = argc;
  this->argv = argv;
  appname = argc > 0 ? argv[0] : nullptr;
  command_set = true;
  has_options = argc > 1;
}

void AnyOption::processCommandArgs(int argc, char** argv) {
  useCommandArgs(argc, argv);
  parseCommandLine();
}

void AnyOption::processCommandArgs(int argc, char** argv, int max_args) {
  max_legal_args = max_args;
  processCommandArgs(argc, argv);
}

void AnyOption::processCommandArgs(int max_args) {
  max_legal_args = max_args;
  parseCommandLine();
}

void AnyOption::processCommandArgs() { parseCommandLine(); }

void AnyOption::parseCommandLine() {
  if (!valueStoreOK() || !command_set) return;
  if (max_legal_args == 0) max_legal_args = argc;
  new_argv.clear();

  const size_t long_prefix_length = long_opt_prefix.size();
  for (int i = 1; i < argc; i++) {
    const char* arg = argv[i];
    const bool has_next = i < argc - 1;
    if (std::strncmp(arg, long_opt_prefix.c_str(), long_prefix_length) == 0) {
      int match = parseGNU(arg + long_prefix_length);
      if (match >= 0 && has_next) setValue(options[match].name.c_str(), argv[++i]);
    } else if (arg[0] == opt_prefix_char && posix_style) {
      char letter = parsePOSIX(arg + 1);
      if (letter != kNoValueLetter && has_next) setValue(letter, argv[++i]);
    } else if (arg[0] == opt_prefix_char) {
      int match = parseGNU(arg + 1);
      if (match >= 0 && has_next) setValue(options[match].name.c_str(), argv[++i]);
    } else {
      try {
        if (static_cast<int>(new_argv.size()) < max_legal_args) {
          new_argv.push_back(i);
        } else {
          verbose(std::string("Ignoring extra argument: ") + arg + "\n");
          printAutoUsage();
        }
      } catch (const std::bad_alloc&) {
        outOfMemory();
      }
      verbose(std::string("Unknown command argument option : ") + arg + "\n");
      printAutoUsage();
    }
  }
}

int AnyOption::parseGNU(const char* arg) {
  const char* equals = std::strchr(arg, kEqualSign);
  if (equals == nullptr || equals == arg) return matchOpt(arg);

  const std::string name(arg, equals);
  int match = matchOpt(name.c_str());
  if (match >= 0) {
    setValue(options[match].name.c_str(), equals + 1);
  } else {
    verbose(std::string("Unknown command argument option : ") + arg + "\n");
    printAutoUsage();
  }
  return -1;
}

int AnyOption::matchOpt(const char* opt) {
  for (size_t i = 0; i < options.size(); i++) {
    const LongEntry& entry = options[i];
    if (entry.name != opt) continue;
    if (takesValue(entry.kind)) return static_cast<int>(i);
    if (isCommandFlag(entry.kind)) {
      setFlagOn(opt);
      return -1;
    }
  }
  verbose(std::string("Unknown command argument option : ") + opt + "\n");
  printAutoUsage();
  return -1;
}

char AnyOption::parsePOSIX(const char* arg) {
  for (size_t i = 0; arg[i] != '\0'; i++) {
    const char letter = arg[i];
    if (!matchChar(letter)) continue;
    if (arg[i + 1] == '\0') return letter;
    const char* rest = arg + i + 1;
    while (*rest == kWhitespace || *rest == kEqualSign) rest++;
    setValue(letter, rest);
    return kNoValueLetter;
  }
  verbose(std::string("Unknown command argument option : ") + arg + "\n");
  printAutoUsage();
  return kNoValueLetter;
}

bool AnyOption::matchChar(char c) {
  for (const LetterEntry& entry : letters) {
    if (entry.letter != c) continue;
    if (takesValue(entry.kind)) return true;
    if (isCommandFlag(entry.kind)) {
      setFlagOn(c);
      return false;
    }
  }
  verbose(std::string("Unknown command argument option : ") + c + "\n");
  printAutoUsage();
  return false;
}

// ---------------------------------------------------------------- resource file

void AnyOption::useFiileName(const char* name) {
  if (name == nullptr) return;
  filename = name;
  file_set = true;
}

bool AnyOption::processFile(const char* name) {
  useFiileName(name);
  return processFile();
}

bool AnyOption::processFile() {
  if (!valueStoreOK() || !file_set) return false;
  std::FILE* file = std::fopen(filename.c_str(), "rb");
  if (file == nullptr) return false;
  std::string buffer;
  try {
    char chunk[4096];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) buffer.append(chunk, count);
  } catch (const std::bad_alloc&) {
    std::fclose(file);
    outOfMemory();
  }
  const bool read_ok = !std::ferror(file);
  std::fclose(file);
  if (!read_ok) return false;

  // A last line without a newline after it is a line like any other.
  size_t start = 0;
  while (start < buffer.size()) {
    size_t end = buffer.find(kEndOfLine, start);
    if (end == std::string::npos) end = buffer.size();
    std::string line = buffer.substr(start, end - start);
    if (!line.empty() && line[0] != kComment) processLine(line.data());
    start = end + 1;
  }
  return true;
}

void AnyOption::processLine(char* line) {
  const size_t length = std::strlen(line);
  if (length == 0) return;
  // Lines read "name : value": the delimiter stands after the name and one space,
  // with at least one character of value after it.
  char* delimiter = nullptr;
  if (line[0] != kDelimiter && line[length - 1] != kDelimiter) {
    for (size_t i = 1; i + 3 <= length; i++) {
      if (line[i] == kDelimiter) {
        delimiter = line + i;
        break;
      }
    }
  }
  if (delimiter == nullptr) {
    processFlagLine(line);
    return;
  }
  delimiter[-1] = '\0';  // the space before the delimiter
  delimiter[0] = '\0';
  processValueLine(line, delimiter + 1);
}

void AnyOption::processValueLine(char* name, char* value) {
  trimTrailing(name);
  value = chomp(value);
  if (lengthWithoutLeading(name) == 1 && hasFileLetter(name[0], isFileValue)) {
    setValue(name[0], value);
    return;
  }
  for (const LongEntry& entry : options) {
    if (isFileValue(entry.kind) && entry.name == name) {
      setValue(name, value);
      return;
    }
  }
  verbose(std::string("Unknown option in resourcefile : ") + name + "\n");
}

void AnyOption::processFlagLine(char* line) {
  trimTrailing(line);
  if (lengthWithoutLeading(line) == 1 && hasFileLetter(line[0], isFileFlag)) {
    setFlagOn(line[0]);
    return;
  }
  for (const LongEntry& entry : options) {
    if (isFileFlag(entry.kind) && entry.name == line) {
      setFlagOn(line);
      return;
    }
  }
  verbose(std::string("Unknown option in resourcefile : ") + line + "\n");
}

char* AnyOption::chomp(char* buffer) {
  while (*buffer == kWhitespace) buffer++;
  trimTrailing(buffer);
  return buffer;
}

// ---------------------------------------------------------------- queries

bool AnyOption::getFlag(const char* name) {
  const char* value = getValue(name);
  return value != nullptr && std::strcmp(value, kTrue) == 0;
}

bool AnyOption::getFlag(char letter) {
  const char* value = getValue(letter);
  return value != nullptr && std::strcmp(value, kTrue) == 0;
}

char* AnyOption::getValue(const char* name) {
  if (!valueStoreOK()) return nullptr;
  const LongEntry* entry = findLong(name);
  if (entry == nullptr || entry->slot >= static_cast<int>(values.size())) return nullptr;
  return values[entry->slot].get();
}

char* AnyOption::getValue(char letter) {
  if (!valueStoreOK()) return nullptr;
  const LetterEntry* entry = findLetter(letter);
  if (entry == nullptr || entry->slot >= static_cast<int>(values.size())) return nullptr;
  return values[entry->slot].get();
}

int AnyOption::getArgc() {
  valueStoreOK();
  return static_cast<int>(new_argv.size());
}

char* AnyOption::getArgv(int index) {
  valueStoreOK();
  if (index < 0 || index >= getArgc()) return nullptr;
  return argv[new_argv[index]];
}

bool AnyOption::hasOptions() { return has_options; }
bool AnyOption::CommandSet() { return command_set; }
bool AnyOption::FileSet() { return file_set; }
bool AnyOption::POSIX() { return posix_style; }

// ---------------------------------------------------------------- output and settings

void AnyOption::printUsage() {
  if (!once) return;
  once = false;
  std::fputc('\n', stdout);
  for (const std::string& line : usage) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
  }
  std::fputc('\n', stdout);
}

void AnyOption::printAutoUsage() {
  if (print_usage) printUsage();
}

void AnyOption::autoUsagePrint(bool on) { print_usage = on; }

void AnyOption::setVerbose() { verbose_on = true; }

void AnyOption::verbose(const std::string& text) {
  if (verbose_on) std::fputs(text.c_str(), stdout);
}

void AnyOption::setCommandPrefixChar(char prefix) { opt_prefix_char = prefix; }

void AnyOption::setCommandLongPrefix(char* prefix) {
  if (prefix == nullptr || prefix[0] == '\0') return;
  long_opt_prefix.assign(prefix, prefix[1] == '\0' ? 1 : 2);
}

void AnyOption::noPOSIX() { posix_style = false; }

// The resource file's syntax is fixed; these are accepted for compatibility.
void AnyOption::setFileCommentChar(char) {}
void AnyOption::setFileDelimiterChar(char) {}
