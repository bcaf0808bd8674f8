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
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // A temporary file with `text`, written and flushed, handed on to replace `name`.
  void replace(WriteBehind& saves, const std::string& name, const std::string& text) {
    const fs::path temp = dir / (name + ".tmp");
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(text.c_str(), f);
    std::fflush(f);
    saves.finish(f, name, (dir / name).string(), temp.string());
  }
  std::string read(const std::string& name) {
    std::ifstream in(dir / name);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(WriteBehindTest, AFailureAbandonsTheFilesAfterItUntilItIsReported) {
  WriteBehind saves;
  replace(saves, "a.txt", "first");
  replace(saves, "b.txt", "first");
  EXPECT_FALSE(saves.settle().has_value());
  replace(saves, "a.txt", "second");
  EXPECT_FALSE(saves.settle((dir / "a.txt.tmp").string()).has_value());
  EXPECT_EQ(read("a.txt"), "second");  // waited for the file with that temporary
  fs::remove(dir / "b.txt");

  fs::create_directories(dir / "b.txt" / "taken");  // b.txt cannot be replaced
  replace(saves, "b.txt", "refused");
  replace(saves, "a.txt", "abandoned");
  const auto failed = saves.settle();
  ASSERT_TRUE(failed.has_value());
  EXPECT_EQ(failed->name, "b.txt");
  EXPECT_EQ(failed->path, (dir / "b.txt").string());
  EXPECT_FALSE(failed->reason.empty());
  EXPECT_EQ(read("a.txt"), "second");
  EXPECT_FALSE(fs::exists(dir / "a.txt.tmp"));
  EXPECT_FALSE(fs::exists(dir / "b.txt.tmp"));

  // Reported once; files given after that are finished again.
  EXPECT_FALSE(saves.settle().has_value());
  replace(saves, "a.txt", "third");
  EXPECT_FALSE(saves.settle().has_value());
  EXPECT_EQ(read("a.txt"), "third");
}

TEST_F(WriteBehindTest, FilesStillQueuedAreFinishedWhenItIsDestroyed) {
  {
    WriteBehind saves;
    for (int i = 0; i < 20; ++i) replace(saves, std::to_string(i) + ".txt", "done");
  }
  for (int i = 0; i < 20; ++i) EXPECT_EQ(read(std::to_string(i) + ".txt"), "done");
}

}  // namespace
}  // namespace orbits::persist
