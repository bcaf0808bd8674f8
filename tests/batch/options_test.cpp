#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "batch_support.h"
#include "form/panel.h"
#include "panel/control_settings.h"

namespace orbits::batch {
namespace {

using ::testing::HasSubstr;
using testing::runWith;
using testing::TempDir;

struct UsageCase {
  std::vector<std::string> args;
  std::string says;  // part of the message
};

TEST(BatchOptions, EveryUsageErrorExitsWithTwoAndSaysWhatIsWrong) {
  const std::vector<UsageCase> cases = {
      {{}, "one of --preset N and --reload"},
      {{"--orbits", "3"}, "one of --preset N and --reload"},
      {{"--preset", "1", "--reload", "--orbits", "3"}, "one of --preset N and --reload"},
      {{"--preset", "1"}, "one of --orbits K and --cycles C"},
      {{"--preset", "1", "--orbits", "3", "--cycles", "5"}, "one of --orbits K and --cycles C"},
      {{"--preset", "1", "--orbits", "0"}, "--orbits takes a whole number of at least 1"},
      {{"--preset", "1", "--cycles", "many"}, "not 'many'"},
      {{"--preset", "-4", "--cycles", "5"}, "--preset takes a whole number"},
      {{"--preset", "1", "--preset", "2", "--cycles", "5"}, "--preset is given more than once"},
      {{"--preset", "9", "--cycles", "5"}, "there is no preset 9"},
      {{"--preset", "84", "--cycles", "5"}, "there is no preset 84"},
      {{"--preset", "1", "--cycles", "5", "--frobnicate"}, "frobnicate"},
      {{"--preset", "1", "--cycles", "5", "extra"}, "unexpected argument 'extra'"},
      {{"--cycles", "5", "--preset"}, "Missing value after '--preset'"},
      {{"--preset", "1", "--set", "--cycles", "5"}, "--set needs a value"},
      {{"--help", "extra"}, "unexpected argument 'extra'"},
      {{"--preset", "1", "--cycles", "5", "--progress", "--no-progress"}, "--no-progress"},
      {{"--preset", "1", "--cycles", "5", "--set", "Nothing=1"}, "no control named 'Nothing'"},
      {{"--preset", "1", "--cycles", "5", "--set", "Optime(99)=1"}, "'Optime' has no member 99"},
      {{"--preset", "1", "--cycles", "5", "--set", "Optime=1"}, "give an index"},
      {{"--preset", "1", "--cycles", "5", "--set", "Optime(x)=1"}, "not a control name"},
      {{"--preset", "1", "--cycles", "5", "--set", "Chuser"}, "not of the form NAME=VALUE"},
      {{"--preset", "1", "--cycles", "5", "--set", "Chuser=yes"}, "0, 1 or 2"},
      {{"--preset", "1", "--cycles", "5", "--set", "Chuser=3"}, "0, 1 or 2"},
      {{"--preset", "1", "--cycles", "5", "--set", "Optime(7)=0"}, "can only be selected"},
      {{"--preset", "1", "--cycles", "5", "--set", "HStheta=100000"}, "whole number from"},
      {{"--preset", "1", "--cycles", "5", "--set", "HStheta=2.5"}, "whole number from"},
      {{"--preset", "1", "--cycles", "5", "--set", "LaChirp(1)=hello"}, "is a label"},
      {{"--preset", "1", "--cycles", "5", "--set", "CDstop=1"}, "is a push button"},
      {{"--preset", "1", "--cycles", "5", "--then", "OptimT(9)=1"}, "--then 'OptimT' has no"},
      {{"--preset", "1", "--cycles", "5", "--show", "Nothing"}, "--show no control named"},
      {{"--preset", "1", "--cycles", "5", "--show", "TimTalk"}, "a timer and shows no text"},
      {{"--preset", "1", "--cycles", "5", "--mass", "10=1"}, "a body number from 0 to 9"},
      {{"--preset", "1", "--cycles", "5", "--mass", "5=1e301"}, "between 1E-300 and 1E+300"},
      {{"--preset", "1", "--cycles", "5", "--mass", "5=1", "--mass", "5=2"}, "more than once"},
  };
  for (const UsageCase& c : cases) {
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    SCOPED_TRACE(line);
    TempDir dir;
    std::vector<std::string> args = {"--data-dir", dir.path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = runWith(args);
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_THAT(r.err, HasSubstr(c.says));
    EXPECT_THAT(r.err, HasSubstr("--help"));
    EXPECT_TRUE(r.out.empty());
    // Nothing ran: no data file was written.
    EXPECT_FALSE(std::filesystem::exists(dir.file("data-drift.txt")));
  }
}

TEST(BatchOptions, BudgetUsageErrorsExitWithTwo) {
  const std::vector<UsageCase> cases = {
      {{"--budget"}, "--budget needs --preset N"},
      {{"--budget", "--preset", "51", "--orbits", "3"}, "--budget takes no --orbits"},
      {{"--budget", "--preset", "51", "--years", "0"}, "--years takes a number of years"},
      {{"--preset", "51", "--cycles", "5", "--years", "3"}, "--years belongs to --budget"},
      {{"--budget", "--preset", "9"}, "there is no preset 9"},
  };
  for (const UsageCase& c : cases) {
    const auto r = runWith(c.args);
    EXPECT_EQ(r.status, kExitUsage) << c.says;
    EXPECT_THAT(r.err, HasSubstr(c.says));
  }
}

TEST(BatchOptions, ReadAloneWithoutAWindow) {
  const BatchOptions o =
      parseBatchOptions({"--reload", "--orbits", "7", "--then", "OptimT(5)=1", "--show", "TXarc",
                         "--data-dir", "some/dir/", "--no-progress"},
                        testing::fixedEnv());
  ASSERT_EQ(o.asked, BatchOptions::Asked::Run) << o.text;
  EXPECT_TRUE(o.reload);
  EXPECT_EQ(o.limit.by, RunLimit::By::Orbits);
  EXPECT_EQ(o.limit.count, 7);
  EXPECT_EQ(o.then, std::vector<std::string>{"OptimT(5)=1"});
  EXPECT_EQ(o.show, std::vector<std::string>{"TXarc"});
  EXPECT_EQ(o.dataDir, (std::filesystem::current_path() / "some/dir").string());
  EXPECT_FALSE(o.progress);
  const BatchOptions bad = parseBatchOptions({"--preset", "1", "--cycles", "0"});
  EXPECT_EQ(bad.asked, BatchOptions::Asked::Usage);
  EXPECT_THAT(bad.text, HasSubstr("--cycles takes a whole number of at least 1"));
}

TEST(BatchOptions, HelpAndVersion) {
  const auto help = runWith({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  for (const char* option : {"--preset", "--reload", "--orbits", "--cycles", "--set", "--then",
                             "--show", "--json", "--progress", "--no-progress", "--data-dir"})
    EXPECT_THAT(help.out, HasSubstr(option));
  const auto version = runWith({"--version"});
  EXPECT_EQ(version.status, kExitOk);
  EXPECT_EQ(version.out, std::string("orbits-batch ") + ORBITS_VERSION + "\n");
}

// A panel with one control of each settable kind, whose handlers log what ran.
class SettingEvents : public ::testing::Test {
 protected:
  SettingEvents() {
    panel.add(Kind::CheckBox, "Chuser");
    for (int i = 0; i < 3; ++i) panel.add(Kind::Option, "Optime", i);
    panel.add(Kind::TextBox, "TXTgravity");
    panel.add(Kind::HScroll, "HStheta").setRange(1, 20);
    panel.add(Kind::TextBox, "TXlocked").setLocked(true);
    panel.onClick("Chuser", [this](int) { log += "click Chuser;"; });
    panel.onClick("Optime", [this](int i) { log += "click Optime(" + std::to_string(i) + ");"; });
    panel.onChange("TXTgravity",
                   [this](int) { log += "change " + panel("TXTgravity").text() + ";"; });
    panel.onLostFocus("TXTgravity", [this](int) { log += "lost focus;"; });
    panel.onChange("HStheta", [this](int) { log += "change HStheta;"; });
  }

  void set(const std::string& arg) {
    Setting s;
    std::string error;
    ASSERT_TRUE(resolveSetting(panel, arg, s, error)) << error;
    applySetting(s);
  }

  Panel panel;
  std::string log;
};

TEST_F(SettingEvents, EachKindIsChangedAsTheUserChangesIt) {
  set("Chuser=1");
  EXPECT_EQ(panel("Chuser").value(), 1);
  set("Optime(2)=1");
  set("Optime(1)=1");
  EXPECT_TRUE(panel("Optime", 1).selected());
  EXPECT_FALSE(panel("Optime", 2).selected());
  // Typed, then left: the change handler sees the new text before the box loses the focus.
  set("TXTgravity=6.674");
  EXPECT_EQ(panel("TXTgravity").text(), "6.674");
  set("HStheta=5");
  EXPECT_EQ(panel("HStheta").value(), 5);
  EXPECT_EQ(log,
            "click Chuser;click Optime(2);click Optime(1);change 6.674;lost focus;"
            "change HStheta;");
}

TEST_F(SettingEvents, AnUnchangedValueRunsNothingButATextBoxIsStillLeft) {
  set("Chuser=0");
  set("HStheta=1");
  EXPECT_EQ(log, "");
  set("TXTgravity=");  // the same (empty) text: only the lost focus
  EXPECT_EQ(log, "lost focus;");
}

TEST_F(SettingEvents, LockedBoxesAndOutOfRangeValuesAreRefused) {
  Setting s;
  std::string error;
  EXPECT_FALSE(resolveSetting(panel, "TXlocked=1", s, error));
  EXPECT_THAT(error, HasSubstr("locked"));
  EXPECT_FALSE(resolveSetting(panel, "HStheta=21", s, error));
  EXPECT_THAT(error, HasSubstr("from 1 to 20"));
  EXPECT_FALSE(resolveSetting(panel, "HStheta=0", s, error));
  EXPECT_TRUE(resolveSetting(panel, "HStheta=20", s, error));
}

}  // namespace
}  // namespace orbits::batch
