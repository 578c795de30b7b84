// SPDX-License-Identifier: MIT
// AnyOption: a small parser for command-line options (GNU "--name value" and
// POSIX "-abc" groups) and for a resource file of "name : value" lines.
#ifndef ZT_HOSTS_DESKTOP_ANYOPTION_H
#define ZT_HOSTS_DESKTOP_ANYOPTION_H

#include <memory>
#include <string>
#include <vector>

class AnyOption {
 public:
  AnyOption();
  explicit AnyOption(int option_capacity);
  AnyOption(int option_capacity, int letter_capacity);
  AnyOption(const AnyOption&) = delete;
  AnyOption& operator=(const AnyOption&) = delete;
  ~AnyOption();

  // Registration: a long name, a letter, or both sharing one value slot.
  void setOption(const char* name);
  void setOption(char letter);
  void setOption(const char* name, char letter);
  void setFlag(const char* name);
  void setFlag(char letter);
  void setFlag(const char* name, char letter);
  void setCommandOption(const char* name);
  void setCommandOption(char letter);
  void setCommandOption(const char* name, char letter);
  void setCommandFlag(const char* name);
  void setCommandFlag(char letter);
  void setCommandFlag(const char* name, char letter);
  void setFileOption(const char* name);
  void setFileOption(char letter);
  void setFileOption(const char* name, char letter);
  void setFileFlag(const char* name);
  void setFileFlag(char letter);
  void setFileFlag(const char* name, char letter);
  void addUsage(const char* line);

  // Command line.
  void processCommandArgs(int argc, char** argv);
  void processCommandArgs(int argc, char** argv, int max_args);
  void processCommandArgs(int max_args);
  void processCommandArgs();
  void useCommandArgs(int argc, char** argv);

  // Resource file; both return true when the file was read.
  void useFiileName(const char* name);
  bool processFile();
  bool processFile(const char* name);

  // Creates the value table now; false when nothing has been registered.
  bool processOptions();

  // Queries.
  bool getFlag(const char* name);
  bool getFlag(char letter);
  char* getValue(const char* name);
  char* getValue(char letter);
  int getArgc();
  char* getArgv(int index);
  bool hasOptions();
  bool CommandSet();
  bool FileSet();
  bool POSIX();

  // Output, all on the standard output.
  void printUsage();
  void printAutoUsage();
  void autoUsagePrint(bool on);
  void setVerbose();

  // Settings.
  void setCommandPrefixChar(char prefix);
  void setCommandLongPrefix(char* prefix);
  void noPOSIX();
  void setFileCommentChar(char comment);
  void setFileDelimiterChar(char delimiter);

  // The steps below are what the calls above are made of.
  bool alloc();
  // Parses a long option; returns the registry index of a value option whose
  // value is the next argument, else -1.
  int parseGNU(const char* arg);
  // Looks a long name up (setting a flag); index of a value option, else -1.
  int matchOpt(const char* opt);
  // Parses a letter group; returns a value letter whose value is the next
  // argument, else '0'.
  char parsePOSIX(const char* arg);
  // Looks a letter up (setting a flag); true for a value letter.
  bool matchChar(char c);
  bool setValue(const char* option, const char* value);
  bool setValue(char letter, const char* value);
  bool setFlagOn(const char* option);
  bool setFlagOn(char letter);
  // Strips leading and trailing spaces in place; returns the first kept byte.
  char* chomp(char* buffer);

 private:
  struct LongEntry {
    std::string name;
    int kind;  // 1 to 6: value or flag, command line and/or file
    int slot;
  };
  struct LetterEntry {
    char letter;
    int kind;  // as for LongEntry
    int slot;
  };

  void init(int option_capacity, int letter_capacity);
  void registerOption(const char* name, int kind);
  void registerOption(char letter, int kind);
  void registerOption(const char* name, char letter, int kind);
  void addLong(const char* name, int kind);
  void addLetter(char letter, int kind);
  bool valueStoreOK();
  void parseCommandLine();
  void processLine(char* line);
  void processValueLine(char* name, char* value);
  void processFlagLine(char* line);
  const LongEntry* findLong(const char* name);
  const LetterEntry* findLetter(char letter);
  bool hasFileLetter(char letter, bool (*fileKind)(int)) const;
  bool storeValue(int slot, const char* value);
  void verbose(const std::string& text);
  [[noreturn]] static void failAllocation(const char* intro, const char* what);

  std::vector<LongEntry> options;
  std::vector<LetterEntry> letters;
  std::vector<std::string> usage;
  std::vector<std::unique_ptr<char[]>> values;
  std::vector<int> new_argv;  // argv indices of the plain arguments

  int option_capacity = 10;
  int letter_capacity = 10;
  int slot_count = 0;
  int max_legal_args = 0;

  int argc = 0;
  char** argv = nullptr;
  const char* appname = nullptr;
  std::string filename;

  char opt_prefix_char = '-';
  std::string long_opt_prefix = "--";
  bool posix_style = true;
  bool verbose_on = false;
  bool print_usage = false;

  bool command_set = false;
  bool file_set = false;
  bool mem_allocated = false;
  bool values_created = false;
  bool once = true;
  bool has_options = false;
};

#endif
