#include "sweep/reports.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace orbits::sweep {

namespace {

// A report is a few kilobytes; anything far larger is no report of the runner's.
constexpr std::uintmax_t kMaxReportBytes = 16 << 20;

}  // namespace

std::string reportPath(const std::string& dir, const PlannedRun& run) {
  return dir + "/" + run.dir + "/" + kReportFile;
}

std::string messagesPath(const std::string& dir, const PlannedRun& run) {
  return dir + "/" + run.dir + "/" + kMessagesFile;
}

std::optional<nlohmann::ordered_json> finishedReport(const std::string& dir,
                                                     const PlannedRun& run) {
  const std::string path = reportPath(dir, run);
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size == 0 || size > kMaxReportBytes || !std::filesystem::is_regular_file(path, ec))
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  nlohmann::ordered_json j = nlohmann::ordered_json::parse(in, nullptr, false);
  if (!j.is_object() || !j.contains("exit_status") || !j["exit_status"].is_number_integer())
    return std::nullopt;
  return j;
}

}  // namespace orbits::sweep
