// The default data folder: found beside the program through its /proc link,
// with the platform's own default when the link cannot be read.
#include "app/datapath.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

TEST(DataPath, DefaultFolderStandsBesideTheProgram) {
  EXPECT_EQ(ZT_App_datapath_default("/opt/zentick", "data"), "/opt/zentick/data");
  EXPECT_EQ(ZT_App_datapath_default("/", "data"), "/data");
  EXPECT_EQ(ZT_App_datapath_default("", "data"), "") << "unknown folder: the platform default";
}

TEST(DataPath, ProgramFolderComesFromWhereTheLinkPoints) {
  char pattern[] = "/tmp/datapath_test_XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  fs::create_symlink("/usr/games/zentick", dir / "absolute");
  fs::create_symlink("bin/zentick", dir / "relative");

  EXPECT_EQ(ZT_App_exedir_get((dir / "absolute").c_str()), "/usr/games");
  EXPECT_EQ(ZT_App_exedir_get((dir / "relative").c_str()), (dir / "bin").string());
  EXPECT_EQ(ZT_App_exedir_get((dir / "missing").c_str()), "");
  fs::remove_all(dir);
}

TEST(DataPath, RunningProgramFolderIsAbsoluteAndHoldsTheProgram) {
  const std::string dir = ZT_App_exedir_get();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(fs::path(dir).is_absolute());
  EXPECT_TRUE(fs::exists(fs::path(dir) / "datapath_test"));
}

}  // namespace
