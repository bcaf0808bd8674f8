#include "persist/data_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "../support/test_host.h"
#include "analysis/data_file.h"
#include "analysis/lab_file.h"
#include "panel/wired_window.h"
#include "persist/save_reload.h"
#include "window/main_window.h"

namespace orbits {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempDir;
using testing::TestHost;

constexpr int kFastPreset = 1;

// A few orbits of a fast preset, saving.
void runOrbits(MainWindow& w, TestHost& host, double orbits) {
  host.onYield = [&](long) {
    if (w.sim.orbitCount >= orbits) w.c("CDstop").press();
  };
  w.c("CDp", kFastPreset).press();
}

// Links, a FIFO and a hard link in place of the data files: none is written through, each file
// written in place is named once, and the run and every other file go on. The lab's file, like
// the save, is written afresh and renamed into place: that replaces a link without following it.
TEST(DataDirectory, NoFileIsWrittenThroughALinkOrIntoAnythingButARegularFile) {
  TempDir outside;
  const std::string victim = outside.file("victim.txt");
  std::ofstream(victim) << "keep";
  TestHost host;
  const fs::path dir = host.dataDir();
  fs::create_symlink(victim, dir / kDriftFileName);
  fs::create_symlink(victim, dir / kLabFileName);
  fs::create_hard_link(victim, dir / kOrbFileName);
  ASSERT_EQ(::mkfifo((dir / "orbit-save.txt.tmp").c_str(), 0644), 0);
  WiredWindow w(host);
  runOrbits(w, host, 3);

  EXPECT_EQ(readFile(victim), "keep");
  EXPECT_GE(w.sim.orbitCount, 3);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_FALSE(fs::is_symlink(dir / kLabFileName));
  for (const char* name : {kDriftFileName, kOrbFileName}) {
    const std::string path = (dir / name).string();
    int naming = 0;
    for (const auto& m : host.messages) naming += m.text.find(path + " ") != std::string::npos;
    EXPECT_EQ(naming, 1) << name;
  }
  // The leftover FIFO at the temporary name was replaced: the save went on.
  EXPECT_FALSE(fs::exists(dir / "orbit-save.txt.tmp"));
  WiredWindow again(host);
  EXPECT_EQ(CDcon_Click(again).loadStatus, "");
}

TEST(DataDirectory, TheLockAdmitsOneProgramAtATime) {
  TempDir dir;
  {
    persist::DataDirLock first(dir.path());
    EXPECT_EQ(first.state(), persist::DataDirLock::State::Held);
    persist::DataDirLock second(dir.path());
    EXPECT_TRUE(second.refused());
    EXPECT_NE(second.refusal().find(dir.path() + " is in use by another run"), std::string::npos);
  }
  // Released with its holder, as the kernel releases it with a program that ends.
  EXPECT_EQ(persist::DataDirLock(dir.path()).state(), persist::DataDirLock::State::Held);
  // A lock file planted as a link is not taken, nor is its target touched.
  TempDir other;
  fs::remove(dir.file(persist::kLockFileName));
  fs::create_symlink(other.file("target"), dir.file(persist::kLockFileName));
  persist::DataDirLock linked(dir.path());
  EXPECT_EQ(linked.state(), persist::DataDirLock::State::Unsafe);
  EXPECT_FALSE(fs::exists(other.file("target")));
}

// The window of a second program on a directory in use says so once and writes nothing there,
// neither data files nor saves, nor does a reload finish another program's save.
TEST(DataDirectory, AWindowRefusedTheDirectoryWritesNothingThere) {
  TestHost host;
  {
    WiredWindow first(host);
    runOrbits(first, host, 2);
  }
  const fs::path dir = host.dataDir();
  std::map<std::string, std::string> before;
  for (const auto& f : fs::directory_iterator(dir))
    before[f.path().filename()] = readFile(f.path());
  host.messages.clear();

  WiredWindow w(host);
  RefuseDataDir(w, "The data directory is in use.");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(w.c("LaChirp", 1).text(), "The data directory is in use.");
  ASSERT_EQ(CDcon_Click(w).loadStatus, "");
  const double reloaded = w.sim.orbitCount;
  host.onYield = [&](long) {
    if (w.sim.orbitCount >= reloaded + 1) w.c("CDstop").press();
  };
  w.c("CDcont").press();
  runOrbits(w, host, 3);
  EXPECT_GE(w.sim.orbitCount, 3);
  EXPECT_EQ(host.messages.size(), 1u);
  std::map<std::string, std::string> after;
  for (const auto& f : fs::directory_iterator(dir)) after[f.path().filename()] = readFile(f.path());
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace orbits
