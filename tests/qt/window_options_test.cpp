#include "qt/window_options.h"

#include <gtest/gtest.h>

#include <QDir>

namespace orbits::qt {
namespace {

bool parse(const QStringList& args, WindowOptions& o, QString& error) {
  return parseWindowOptions(QStringList{"orbits"} + args, o, error);
}

TEST(WindowOptions, ReadsEveryOptionIntoItsField) {
  WindowOptions o;
  QString error;
  ASSERT_TRUE(parse({"--data-dir", "runs", "--preset", "83", "--cycles", "500", "--then", "Chend=1",
                     "--then", "TXgexp=2", "--report-speed", "--charts"},
                    o, error))
      << error.toStdString();
  EXPECT_EQ(o.dataDir, QDir("runs").absolutePath());
  EXPECT_EQ(o.preset, 83);
  EXPECT_EQ(o.cycles, 500);
  EXPECT_EQ(o.thens, (QStringList{"Chend=1", "TXgexp=2"}));
  EXPECT_TRUE(o.reportSpeed && o.charts && !o.listControls && !o.help);
  // --help is answered even beside options that could not run.
  ASSERT_TRUE(parse({"--cycles", "5", "--help"}, o, error));
  EXPECT_TRUE(o.help);
  EXPECT_TRUE(o.helpText.contains("--data-dir"));
  EXPECT_FALSE(o.helpText.contains("--cycles"));  // hidden
}

TEST(WindowOptions, RefusesWhatCannotRunWithOneMessage) {
  const std::pair<QStringList, QString> cases[] = {
      {{"--preset", "x"}, "--preset takes a preset number"},
      {{"--preset", "0"}, "--preset takes a preset number"},
      {{"--preset", "--charts"}, "--preset needs a value"},
      {{"--data-dir", ""}, "--data-dir needs a directory"},
      {{"--cycles", "0", "--preset", "1"}, "--cycles takes a whole number of at least 1"},
      {{"--cycles", "10"}, "--cycles, --then and --report-speed need --preset"},
      {{"extra"}, "unexpected argument 'extra'"},
  };
  for (const auto& [args, message] : cases) {
    WindowOptions o;
    QString error;
    EXPECT_FALSE(parse(args, o, error)) << args.join(' ').toStdString();
    EXPECT_EQ(error, message) << args.join(' ').toStdString();
  }
  WindowOptions o;
  QString error;
  EXPECT_FALSE(parse({"--no-such"}, o, error));
  EXPECT_TRUE(error.contains("no-such"));
}

}  // namespace
}  // namespace orbits::qt
