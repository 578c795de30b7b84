// SPDX-License-Identifier: MIT
// The option parser: flag and value forms, missing values, unknown options in
// verbose and quiet mode, plain arguments, the usage text and resource files.
#include "hosts/desktop/anyoption.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

// An argv that owns its strings, with "zentick" as the program name. The parser
// keeps the argv it was given, so an Args must outlive the queries.
class Args {
 public:
  Args(std::initializer_list<const char*> args) {
    strings.push_back("zentick");
    for (const char* arg : args) strings.push_back(arg);
  }
  int argc() const { return static_cast<int>(strings.size()); }
  char** argv() {
    pointers.clear();
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers.data();
  }

 private:
  std::vector<std::string> strings;
  std::vector<char*> pointers;
};

const char* const kUsageLines[] = {"",
                                   "Usage: ",
                                   "",
                                   " -h  --help  \t\t\t\tPrints this help ",
                                   " -d  --data-path /dir\t\tData files path ",
                                   ""};

const char* const kUsageText =
    "\n"
    "\n"
    "Usage: \n"
    "\n"
    " -h  --help  \t\t\t\tPrints this help \n"
    " -d  --data-path /dir\t\tData files path \n"
    "\n"
    "\n";

// A parser set up as the program sets it up.
void registerProgramOptions(AnyOption& options) {
  for (const char* line : kUsageLines) options.addUsage(line);
  options.setFlag("help", 'h');
  options.setOption("data-path", 'd');
}

// Parses args with the program's options; returns what was printed.
std::string parse(AnyOption& options, Args& args) {
  registerProgramOptions(options);
  testing::internal::CaptureStdout();
  options.processCommandArgs(args.argc(), args.argv());
  return testing::internal::GetCapturedStdout();
}

std::string str(const char* text) { return text == nullptr ? "(null)" : text; }

TEST(AnyOptionCommandLine, EveryFlagFormSetsHelpUnderBothNames) {
  for (Args args : {Args{"-h"}, Args{"--help"}, Args{"-hd", "x"}}) {
    AnyOption options;
    EXPECT_EQ(parse(options, args), "");
    EXPECT_TRUE(options.getFlag("help"));
    EXPECT_TRUE(options.getFlag('h'));
  }
  AnyOption grouped;
  Args hd{"-hd", "x"};
  parse(grouped, hd);
  EXPECT_EQ(str(grouped.getValue('d')), "x");
  EXPECT_EQ(grouped.getArgc(), 0);
}

TEST(AnyOptionCommandLine, EveryValueFormGivesTheValueUnderBothNames) {
  for (Args args : {Args{"-d", "/x"}, Args{"-d/x"}, Args{"-d=/x"}, Args{"--data-path", "/x"},
                    Args{"--data-path=/x"}}) {
    AnyOption options;
    EXPECT_EQ(parse(options, args), "");
    EXPECT_EQ(str(options.getValue('d')), "/x");
    EXPECT_EQ(str(options.getValue("data-path")), "/x");
    EXPECT_EQ(options.getArgc(), 0) << "the value must not count as a plain argument";
    EXPECT_FALSE(options.getFlag('h'));
  }
}

TEST(AnyOptionCommandLine, ValueOptionAsLastArgumentHasNoValue) {
  for (Args args : {Args{"-d"}, Args{"--data-path"}, Args{"-hd"}}) {
    AnyOption options;
    parse(options, args);
    EXPECT_EQ(options.getValue('d'), nullptr);
    EXPECT_EQ(options.getValue("data-path"), nullptr);
  }
}

TEST(AnyOptionCommandLine, LaterValueReplacesEarlierOne) {
  AnyOption options;
  Args args{"-d", "first", "--data-path=second"};
  parse(options, args);
  EXPECT_EQ(str(options.getValue('d')), "second");
}

TEST(AnyOptionCommandLine, FlagGivenAValueIsSetAndReportedOnlyWhenVerbose) {
  Args args{"--help=yes"};
  AnyOption quiet;
  EXPECT_EQ(parse(quiet, args), "");
  EXPECT_TRUE(quiet.getFlag("help"));
  EXPECT_EQ(str(quiet.getValue("help")), "true");

  AnyOption loud;
  loud.setVerbose();
  EXPECT_EQ(parse(loud, args), "Unknown command argument option : help=yes\n");
  EXPECT_TRUE(loud.getFlag('h'));
}

TEST(AnyOptionCommandLine, UnknownOptionsChangeNothingAndAreReportedOnlyWhenVerbose) {
  Args args{"-x", "--xyz", "--xyz=1"};
  AnyOption quiet;
  EXPECT_EQ(parse(quiet, args), "");
  EXPECT_FALSE(quiet.getFlag('h'));
  EXPECT_EQ(quiet.getValue('d'), nullptr);
  EXPECT_EQ(quiet.getArgc(), 0);

  AnyOption loud;
  loud.setVerbose();
  EXPECT_EQ(parse(loud, args),
            "Unknown command argument option : x\n"
            "Unknown command argument option : x\n"
            "Unknown command argument option : xyz\n"
            "Unknown command argument option : xyz\n"
            "Unknown command argument option : xyz=1\n");
}

TEST(AnyOptionCommandLine, AutomaticUsageIsPrintedOnceAfterUnknownOptions) {
  AnyOption options;
  options.autoUsagePrint(true);
  Args args{"-x", "--xyz"};
  EXPECT_EQ(parse(options, args), kUsageText);
}

TEST(AnyOptionCommandLine, PlainArgumentsAreKeptInOrderUpToTheLimit) {
  AnyOption options;
  Args plain{"one", "-d", "/x", "two"};
  EXPECT_EQ(parse(options, plain), "");
  ASSERT_EQ(options.getArgc(), 2);
  EXPECT_EQ(str(options.getArgv(0)), "one");
  EXPECT_EQ(str(options.getArgv(1)), "two");
  EXPECT_EQ(options.getArgv(2), nullptr);
  EXPECT_EQ(options.getArgv(-1), nullptr);
  EXPECT_TRUE(options.hasOptions());

  AnyOption limited;
  limited.setVerbose();
  registerProgramOptions(limited);
  Args args{"one", "two"};
  testing::internal::CaptureStdout();
  limited.processCommandArgs(args.argc(), args.argv(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Unknown command argument option : one\n"
            "Ignoring extra argument: two\n"
            "Unknown command argument option : two\n");
  ASSERT_EQ(limited.getArgc(), 1);
  EXPECT_EQ(str(limited.getArgv(0)), "one");
}

TEST(AnyOptionCommandLine, CommandLineSeesOnlyCommandKinds) {
  AnyOption options;
  options.setFileOption("colour");
  options.setFileFlag('q');
  options.setCommandFlag("fast", 'f');
  Args args{"--colour", "red", "-q", "-f"};
  options.processCommandArgs(args.argc(), args.argv());
  EXPECT_EQ(options.getValue("colour"), nullptr);
  EXPECT_FALSE(options.getFlag('q'));
  EXPECT_TRUE(options.getFlag("fast"));
  ASSERT_EQ(options.getArgc(), 1);
  EXPECT_EQ(str(options.getArgv(0)), "red");
}

TEST(AnyOptionCommandLine, WithoutPosixLettersAreRefusedAndSingleDashNamesAreLong) {
  AnyOption options;
  options.noPOSIX();
  options.setVerbose();
  testing::internal::CaptureStdout();
  options.setFlag("help", 'h');
  options.setOption("data-path", 'd');
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Ignoring the option character \"h\" ( POSIX options are turned off )\n"
            "Ignoring the option character \"d\" ( POSIX options are turned off )\n");
  Args args{"-help", "-data-path", "/x"};
  options.processCommandArgs(args.argc(), args.argv());
  EXPECT_TRUE(options.getFlag("help"));
  EXPECT_EQ(str(options.getValue("data-path")), "/x");
  EXPECT_FALSE(options.getFlag('h'));
}

TEST(AnyOptionCommandLine, PrefixesCanBeChanged) {
  AnyOption options;
  char long_prefix[] = "++";
  options.setCommandPrefixChar('+');
  options.setCommandLongPrefix(long_prefix);
  registerProgramOptions(options);
  Args args{"+h", "++data-path", "/x", "-d"};
  options.processCommandArgs(args.argc(), args.argv());
  EXPECT_TRUE(options.getFlag('h'));
  EXPECT_EQ(str(options.getValue('d')), "/x");
  EXPECT_EQ(options.getArgc(), 1);
}

TEST(AnyOptionRegistration, GrowsPastItsInitialCapacities) {
  AnyOption options(1, 1);
  const char* names[] = {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot"};
  const char letters[] = {'a', 'b', 'c', 'd', 'e', 'f'};
  for (int i = 0; i < 6; i++) options.setOption(names[i], letters[i]);
  Args args{"-a1", "--foxtrot=6", "-c", "3"};
  options.processCommandArgs(args.argc(), args.argv());
  EXPECT_EQ(str(options.getValue("alpha")), "1");
  EXPECT_EQ(str(options.getValue('f')), "6");
  EXPECT_EQ(str(options.getValue("charlie")), "3");
  EXPECT_EQ(options.getValue('b'), nullptr);
}

TEST(AnyOptionRegistration, OptionsRegisteredAfterParsingHaveNoValue) {
  AnyOption options;
  options.setOption("early");
  Args args{"--early=1", "--late=2"};
  options.processCommandArgs(args.argc(), args.argv());
  options.setOption("late");
  options.processCommandArgs();
  EXPECT_EQ(str(options.getValue("early")), "1");
  EXPECT_EQ(options.getValue("late"), nullptr);
}

TEST(AnyOptionQueries, UnregisteredNamesGiveNothing) {
  AnyOption empty;
  EXPECT_FALSE(empty.processOptions());
  EXPECT_EQ(empty.getValue("data-path"), nullptr);
  EXPECT_EQ(empty.getValue('d'), nullptr);
  EXPECT_FALSE(empty.getFlag("help"));
  EXPECT_FALSE(empty.hasOptions());

  AnyOption options;
  Args args{"-d", "/x"};
  parse(options, args);
  EXPECT_EQ(options.getValue("never"), nullptr);
  EXPECT_EQ(options.getValue('z'), nullptr);
  EXPECT_EQ(options.getValue(static_cast<const char*>(nullptr)), nullptr);
  EXPECT_FALSE(options.getFlag("never"));
}

TEST(AnyOptionUsage, IsPrintedOnceWithEveryLineOnItsOwn) {
  AnyOption options;
  registerProgramOptions(options);
  testing::internal::CaptureStdout();
  options.printUsage();
  options.printUsage();
  options.printAutoUsage();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kUsageText);
}

TEST(AnyOptionResourceFile, ReadsValuesAndFlagsSkippingCommentsAndEmptyLines) {
  TempDir dir;
  std::string file = dir.write("options",
                               "# data-path : /commented\n"
                               "\n"
                               "data-path :   /from/file  \n"
                               "v : 3\n"
                               "h\n"
                               "quiet   \n");
  AnyOption options;
  registerProgramOptions(options);
  options.setFileOption('v');
  options.setFileFlag("quiet");
  options.setVerbose();
  testing::internal::CaptureStdout();
  EXPECT_TRUE(options.processFile(file.c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(options.FileSet());
  EXPECT_EQ(str(options.getValue("data-path")), "/from/file");
  EXPECT_EQ(str(options.getValue('v')), "3");
  EXPECT_TRUE(options.getFlag('h'));
  EXPECT_TRUE(options.getFlag("quiet"));
}

TEST(AnyOptionResourceFile, LastLineWithoutNewlineIsProcessed) {
  TempDir dir;
  AnyOption value_last;
  registerProgramOptions(value_last);
  EXPECT_TRUE(value_last.processFile(dir.write("a", "h\ndata-path : /last").c_str()));
  EXPECT_TRUE(value_last.getFlag('h'));
  EXPECT_EQ(str(value_last.getValue('d')), "/last");

  AnyOption flag_last;
  registerProgramOptions(flag_last);
  EXPECT_TRUE(flag_last.processFile(dir.write("b", "help").c_str()));
  EXPECT_TRUE(flag_last.getFlag("help"));
}

TEST(AnyOptionResourceFile, MisshapenAndUnknownLinesAreReportedOnlyWhenVerbose) {
  TempDir dir;
  const std::string contents =
      "data-path:/x\n"  // the character before ':' is taken as the separating space
      " d : /y\n"       // a leading space belongs to the name
      "colour : red\n"  // command-line-only options are not read from files
      "unknown\n";
  std::string file = dir.write("options", contents);
  AnyOption quiet;
  registerProgramOptions(quiet);
  quiet.setCommandOption("colour");
  testing::internal::CaptureStdout();
  EXPECT_TRUE(quiet.processFile(file.c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(quiet.getValue('d'), nullptr);
  EXPECT_EQ(quiet.getValue("colour"), nullptr);

  AnyOption loud;
  registerProgramOptions(loud);
  loud.setCommandOption("colour");
  loud.setVerbose();
  testing::internal::CaptureStdout();
  loud.processFile(file.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Unknown option in resourcefile : data-pat\n"
            "Unknown option in resourcefile :  d\n"
            "Unknown option in resourcefile : colour\n"
            "Unknown option in resourcefile : unknown\n");
}

TEST(AnyOptionResourceFile, LetterIsFoundByAnyOfItsEntriesAsLongNamesAre) {
  // The first entry of each name is for the command line only, a later one for files.
  TempDir dir;
  std::string file = dir.write("options", "x : 5\nxx : 6\nq\nquiet\nc : 7\n");
  AnyOption options;
  options.setCommandOption('x');
  options.setFileOption('x');
  options.setCommandOption("xx");
  options.setFileOption("xx");
  options.setCommandFlag('q');
  options.setFileFlag('q');
  options.setCommandFlag("quiet");
  options.setFileFlag("quiet");
  options.setCommandOption('c');  // no file entry at all
  options.setVerbose();
  testing::internal::CaptureStdout();
  EXPECT_TRUE(options.processFile(file.c_str()));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unknown option in resourcefile : c\n");
  EXPECT_EQ(str(options.getValue('x')), "5");
  EXPECT_EQ(str(options.getValue("xx")), "6");
  EXPECT_TRUE(options.getFlag('q'));
  EXPECT_TRUE(options.getFlag("quiet"));
  EXPECT_EQ(options.getValue('c'), nullptr);
}

TEST(AnyOptionResourceFile, MissingOrUnnamedFileIsNotRead) {
  TempDir dir;
  AnyOption options;
  registerProgramOptions(options);
  EXPECT_FALSE(options.processFile());
  EXPECT_FALSE(options.processFile((dir.path + "/absent").c_str()));
  EXPECT_FALSE(options.processFile(dir.path.c_str())) << "a directory is not a readable file";
}

}  // namespace
