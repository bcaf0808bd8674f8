// A data directory that fills up: the real program on a small file system of its own (a tmpfs
// mounted in a user and mount namespace of the test's, where the machine allows one).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "batch_support.h"

extern char** environ;

namespace orbits::batch {
namespace {

using ::testing::HasSubstr;
using testing::readFile;
using testing::TempDir;

// Runs `script` under sh in a namespace of its own with a tmpfs mounted at $1 that holds a few
// orbits' save and then only `kb` KB; the program is $2, the directory for what outlives the
// namespace $3. Its exit status, -1 when the namespace cannot be had. The save is made first:
// a run that meets a full disk keeps the last save it made, and a run that fills the disk
// before its first save (the writer lags the data files under load) has none to keep.
int inOwnMount(const std::string& script, int kb, const TempDir& mount, const TempDir& out) {
  const std::string body =
      "mount -t tmpfs -o size=1m none \"$1\" || exit 99\n"
      "\"$2\" --preset 83 --orbits 5 --data-dir \"$1\" > /dev/null 2>&1 || exit 5\n"
      "mount -o remount,size=" +
      std::to_string(kb) + "k \"$1\" || exit 6\n" + script;
  std::vector<std::string> args{
      "unshare", "-Urm", "sh", "-c", body, "sh", mount.path(), ORBITS_BATCH_PROGRAM, out.path()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, "unshare", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 99 || WEXITSTATUS(status) == 1) return -1;
  return WEXITSTATUS(status);
}

std::vector<std::string> messagesOf(const std::string& json) {
  const auto j = nlohmann::json::parse(json, nullptr, false);
  if (j.is_discarded()) return {"not JSON: " + json};
  return j["messages"].get<std::vector<std::string>>();
}

// A run that fills the directory, and a reload that continues on the full disk: one message
// each, naming the directory, whatever was being written when the space ran out; the reload
// finds the last save that fitted.
TEST(FullDisk, EachRunSaysSoOnceAndAReloadOnTheFullDiskToo) {
  for (int kb : {40, 64, 100}) {
    SCOPED_TRACE(std::to_string(kb) + " KB");
    TempDir mount, out;
    const int status = inOwnMount(
        "\"$2\" --reload --orbits 3000 --json --data-dir \"$1\" > \"$3/run.json\" 2>&1 || "
        "exit 3\n"
        "\"$2\" --reload --orbits 6000 --json --data-dir \"$1\" > \"$3/reload.json\" 2>&1 || "
        "exit 4\n",
        kb, mount, out);
    if (status < 0) GTEST_SKIP() << "no tmpfs of the test's own can be mounted here";
    ASSERT_EQ(status, 0) << readFile(out.file("run.json")) << readFile(out.file("reload.json"));
    for (const char* run : {"run.json", "reload.json"}) {
      SCOPED_TRACE(run);
      const std::string text = readFile(out.file(run));
      // Beside it, a reload may say that the lab's file, which gives way to the save when the
      // space runs out, holds fewer orbits than the save.
      std::vector<std::string> messages = messagesOf(text.substr(text.find('{')));
      std::erase_if(messages, [](const std::string& m) {
        return m.find("The lab's records of this run were restored only in part") !=
               std::string::npos;
      });
      ASSERT_EQ(messages.size(), 1u) << text;
      EXPECT_THAT(messages[0], HasSubstr("The data directory " + mount.path() +
                                         " cannot be written (No space left on device)"));
    }
  }
}

}  // namespace
}  // namespace orbits::batch
