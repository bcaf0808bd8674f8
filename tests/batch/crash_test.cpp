// Saves under real crashes: orbits-batch is killed (SIGKILL) at random moments of a fast saving
// run, and the data directory it leaves must reload.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "batch_support.h"
#include "persist/record_format.h"
#include "persist/save_reload.h"

extern char** environ;

namespace orbits::batch {
namespace {

using ::testing::HasSubstr;
using testing::readFile;
using testing::runWith;
using testing::TempDir;

// Starts orbits-batch with `args`, its output thrown away.
pid_t start(const std::vector<std::string>& args) {
  std::vector<std::string> all{ORBITS_BATCH_PROGRAM};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&quiet);
  return pid;
}

int finish(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

// The orbit count of the save in `dir`, -1 without a readable one.
double savedOrbit(const TempDir& dir) {
  const std::string text = readFile(dir.file(kSaveFileName));
  try {
    auto recs = persist::splitRecords(text, kSaveFileName);
    if (recs.size() < size_t(kSaveLines)) return -1;
    return std::stod(recs[0].fields[1].text);
  } catch (const std::exception&) {
    return -1;
  }
}

// Preset 83 completes some thousands of orbits a second, each saved: kills land before the
// first save, during a new run's first save, amid groups of saves and between them. Every other
// time a finished run's save is there before, which the killed run must never leave broken.
TEST(SaveCrashLong, AReloadAfterAKillAtAnyMomentSucceedsOrSaysWhy) {
  std::mt19937 random(15);
  std::uniform_int_distribution<int> delayMs(0, 700);
  constexpr int kKills = 14;
  for (int i = 0; i < kKills; ++i) {
    SCOPED_TRACE("kill " + std::to_string(i));
    TempDir dir;
    const bool previous = i % 2 == 1;
    if (previous) {
      ASSERT_EQ(finish(start({"--preset", "83", "--orbits", "30", "--data-dir", dir.path()})), 0);
      ASSERT_EQ(savedOrbit(dir), 30);
    }
    const pid_t pid = start({"--preset", "83", "--orbits", "1000000", "--data-dir", dir.path()});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
    kill(pid, SIGKILL);
    finish(pid);

    const double saved = savedOrbit(dir);
    const auto r = runWith({"--reload", "--cycles", "1", "--json", "--data-dir", dir.path()});
    if (r.status != kExitOk) {
      // Refused only where no save was ever completed, and it says why.
      EXPECT_FALSE(previous) << r.err;
      EXPECT_EQ(saved, -1) << r.err;
      EXPECT_THAT(r.err, HasSubstr("No reload available: orbit-save.txt cannot be read ("));
      continue;
    }
    const auto j = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_FALSE(j.is_discarded()) << r.out;
    // The run goes on from the orbit of the save it found (one cycle may complete one more).
    EXPECT_GE(j["orbits"].get<double>(), saved);
    EXPECT_LE(j["orbits"].get<double>(), saved + 1);
    EXPECT_GE(saved, 1);
  }
}

}  // namespace
}  // namespace orbits::batch
