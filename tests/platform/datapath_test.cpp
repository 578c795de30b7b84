// SPDX-License-Identifier: MIT
// The default data folder: found beside the program through its /proc link,
// else installed along a path from the program's folder, with the platform's
// own default when the link cannot be read.
#include "platform/datapath.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

TEST(DataPath, DefaultFolderStandsBesideTheProgram) {
  EXPECT_EQ(ZT_Platform_datapath_default("/opt/zentick", "data"), "/opt/zentick/data");
  EXPECT_EQ(ZT_Platform_datapath_default("/", "data"), "/data");
  EXPECT_EQ(ZT_Platform_datapath_default("", "data"), "") << "unknown folder: the platform default";
}

TEST(DataPath, ProgramFolderComesFromWhereTheLinkPoints) {
  char pattern[] = "/tmp/datapath_test_XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  fs::create_symlink("/usr/games/zentick", dir / "absolute");
  fs::create_symlink("bin/zentick", dir / "relative");

  EXPECT_EQ(ZT_Platform_exedir_get((dir / "absolute").c_str()), "/usr/games");
  EXPECT_EQ(ZT_Platform_exedir_get((dir / "relative").c_str()), (dir / "bin").string());
  EXPECT_EQ(ZT_Platform_exedir_get((dir / "missing").c_str()), "");
  fs::remove_all(dir);
}

TEST(DataPath, BesideTheProgramComesFirstThenTheInstalledFolder) {
  char pattern[] = "/tmp/datapath_test_XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  const std::string bin = (dir / "bin").string(), installed = "../share/zentick/data";
  fs::create_directories(dir / "bin");
  EXPECT_EQ(ZT_Platform_datapath_find(bin, "data", installed), bin + "/data")
      << "neither there: the font's error names the folder beside the program";
  fs::create_directories(dir / "share/zentick/data");
  EXPECT_EQ(ZT_Platform_datapath_find(bin, "data", installed),
            (dir / "share/zentick/data").string());
  std::ofstream(dir / "bin/notes") << "a file, not a folder";
  EXPECT_EQ(ZT_Platform_datapath_find(bin, "notes", installed),
            (dir / "share/zentick/data").string());
  EXPECT_EQ(ZT_Platform_datapath_find(bin, "data", (dir / "share").string()),
            (dir / "share").string());
  fs::create_directories(dir / "bin/data");
  EXPECT_EQ(ZT_Platform_datapath_find(bin, "data", installed), bin + "/data");
  EXPECT_EQ(ZT_Platform_datapath_find("", "data", installed), "");
  fs::remove_all(dir);
}

TEST(DataPath, RunningProgramFolderIsAbsoluteAndHoldsTheProgram) {
  const std::string dir = ZT_Platform_exedir_get();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(fs::path(dir).is_absolute());
  EXPECT_TRUE(fs::exists(fs::path(dir) / "datapath_test"));
}

}  // namespace
