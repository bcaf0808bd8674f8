#include "persist/write_behind.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orbits::persist {
namespace {

namespace fs = std::filesystem;

struct WriteBehindTest : ::testing::Test {
  fs::path dir =
      fs::temp_directory_path() / (std::string("orbits-write-behind-") +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  WriteBehind::Files files{"save.txt", (dir / "save.txt").string(), "log.txt",
                           (dir / "log.txt").string()};
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string read(const std::string& name) {
    std::ifstream in(dir / name);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

// A new log replaces the old one only together with its first snapshot; until then the old
// pair stays as it was, also when the new run never gets that far.
TEST_F(WriteBehindTest, ANewLogReplacesTheOldPairOnlyWithItsFirstSnapshot) {
  WriteBehind saves;
  saves.append(files, "a1\n", "old\n");
  saves.snapshot(files, "save a1", "old\n");
  saves.append(files, "a2\n");
  saves.snapshot(files, "save a2");
  EXPECT_FALSE(saves.settle().has_value());
  EXPECT_EQ(read("log.txt"), "old\na1\na2\n");
  EXPECT_EQ(read("save.txt"), "save a2");

  saves.append(files, "b1\n", "new\n");
  EXPECT_FALSE(saves.settle().has_value());  // no snapshot came: nothing changes
  EXPECT_EQ(read("log.txt"), "old\na1\na2\n");
  EXPECT_EQ(read("save.txt"), "save a2");

  saves.append(files, "b1\n", "new\n");
  saves.snapshot(files, "save b1", "new\n");
  EXPECT_FALSE(saves.settle().has_value());
  EXPECT_EQ(read("log.txt"), "new\nb1\n");
  EXPECT_EQ(read("save.txt"), "save b1");
  EXPECT_FALSE(fs::exists(dir / "log.txt.tmp"));
}

// The side file gets the records of each snapshot appended, or is written whole and put in place
// after the snapshot; later records go on after the whole one.
TEST_F(WriteBehindTest, TheSideFileIsAppendedToOrWrittenWholeWithTheSnapshots) {
  WriteBehind::Files withSide = files;
  withSide.sideName = "side.txt", withSide.sidePath = (dir / "side.txt").string();
  WriteBehind saves;
  saves.snapshot(withSide, "save 1", "log\n", {"whole 1\n", true});
  saves.snapshot(withSide, "save 2", {}, {"r2\n", false});
  EXPECT_FALSE(saves.settle().has_value());
  EXPECT_EQ(read("side.txt"), "whole 1\nr2\n");
  saves.snapshot(withSide, "save 3", {}, {"r3\n", false});
  saves.snapshot(withSide, "save 4", {}, {"whole 4\n", true});
  saves.snapshot(withSide, "save 5", {}, {"r5\n", false});
  EXPECT_FALSE(saves.settle().has_value());
  EXPECT_EQ(read("side.txt"), "whole 4\nr5\n");
  EXPECT_EQ(read("save.txt"), "save 5");
  EXPECT_FALSE(fs::exists(dir / "side.txt.tmp"));
}

// The temporary file is created afresh: a link planted at its name is replaced, never followed.
TEST_F(WriteBehindTest, ALinkAtTheTemporaryNameIsNotFollowed) {
  std::ofstream(dir / "victim.txt") << "keep";
  fs::create_symlink(dir / "victim.txt", dir / "save.txt.tmp");
  WriteBehind saves;
  saves.snapshot(files, "save");
  EXPECT_FALSE(saves.settle().has_value());
  EXPECT_EQ(read("victim.txt"), "keep");
  EXPECT_EQ(read("save.txt"), "save");
}

}  // namespace
}  // namespace orbits::persist
