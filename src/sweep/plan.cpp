#include "sweep/plan.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string_view>
#include <system_error>

#include "sweep/slurm_script.h"

namespace orbits::sweep {

namespace fs = std::filesystem;

namespace {

// The runner's options that name a file of its own: each run writes its own copy.
constexpr const char* kFileOptions[] = {"--series", "--plot"};

std::string inRunDir(const std::string& runDir, const std::string& file) {
  return runDir + "/" + fs::path(file).filename().string();
}

// The common options, with the files they name moved into the run's directory.
std::vector<std::string> argumentsOfRun(const std::vector<std::string>& args,
                                        const std::string& runDir) {
  std::vector<std::string> out;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    for (const std::string option : kFileOptions) {
      if (a == option && i + 1 < args.size()) {
        out.push_back(a);
        a = inRunDir(runDir, args[++i]);
      } else if (a.rfind(option + "=", 0) == 0) {
        a = option + "=" + inRunDir(runDir, a.substr(option.size() + 1));
      }
    }
    out.push_back(a);
  }
  return out;
}

std::string runDirName(int index, size_t count) {
  std::string digits = std::to_string(index);
  const size_t width = std::max<size_t>(3, std::to_string(count).size());
  return std::string(kRunsDir) + "/" + std::string(width - digits.size(), '0') + digits;
}

std::string writeFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return out ? "" : "cannot write " + path.string();
}

// The sweep's directory, made when missing; one that holds anything already is refused, so
// that a new plan never mixes its runs with the reports of another.
std::string makeEmptyDir(const fs::path& dir) {
  std::error_code ec;
  if (fs::exists(dir, ec) && !fs::is_empty(dir, ec))
    return dir.string() + " is not empty; a plan goes into a new or empty directory";
  fs::create_directories(dir, ec);
  return ec ? "cannot create " + dir.string() + ": " + ec.message() : "";
}

}  // namespace

std::vector<PlannedRun> expandRuns(const std::vector<Varied>& varied) {
  std::vector<std::vector<std::string>> combos{{}};
  for (const Varied& v : varied) {
    std::vector<std::vector<std::string>> next;
    for (const auto& combo : combos)
      for (const std::string& value : v.values) {
        next.push_back(combo);
        next.back().push_back(value);
      }
    combos = std::move(next);
  }
  std::vector<PlannedRun> runs;
  for (size_t i = 0; i < combos.size(); ++i)
    runs.push_back({int(i + 1), runDirName(int(i + 1), combos.size()), combos[i]});
  return runs;
}

std::string settingOf(const Varied& v, const std::string& value) {
  return v.optionArray ? v.name + "(" + value + ")=1" : v.name + "=" + value;
}

std::optional<int> massBody(const std::string& name) {
  constexpr std::string_view kOpen = "mass(";
  if (name.size() <= kOpen.size() + 1 || name.compare(0, kOpen.size(), kOpen) != 0 ||
      name.back() != ')')
    return std::nullopt;
  const std::string digits = name.substr(kOpen.size(), name.size() - kOpen.size() - 1);
  if (digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  return std::stoi(digits);
}

std::pair<std::string, std::string> runnerOption(const Varied& v, const std::string& value) {
  if (const auto body = massBody(v.name)) return {"--mass", std::to_string(*body) + "=" + value};
  return {"--set", settingOf(v, value)};
}

std::string shellQuoted(const std::string& word) {
  const bool plain = !word.empty() && word.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_-+=.,:/@%") == std::string::npos;
  if (plain) return word;
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string jobLine(const Plan& plan, const PlannedRun& run) {
  std::vector<std::string> words{plan.runner};
  for (std::string& a : argumentsOfRun(plan.arguments, run.dir)) words.push_back(std::move(a));
  for (size_t i = 0; i < plan.varied.size() && i < run.values.size(); ++i) {
    auto [option, value] = runnerOption(plan.varied[i], run.values[i]);
    words.push_back(std::move(option));
    words.push_back(std::move(value));
  }
  for (const char* w : {"--no-progress", "--json", "--data-dir"}) words.push_back(w);
  words.push_back(run.dir);
  std::string line;
  for (const std::string& w : words) line += shellQuoted(w) + " ";
  return line + ">" + shellQuoted(run.dir + "/" + kReportFile) + " 2>" +
         shellQuoted(run.dir + "/" + kMessagesFile);
}

std::string planJson(const Plan& plan) {
  nlohmann::ordered_json j;
  j["runner"] = plan.runner;
  j["arguments"] = plan.arguments;
  j["vary"] = nlohmann::ordered_json::array();
  for (const Varied& v : plan.varied)
    j["vary"].push_back({{"name", v.name}, {"option_array", v.optionArray}, {"values", v.values}});
  j["runs"] = nlohmann::ordered_json::array();
  for (const PlannedRun& r : plan.runs)
    j["runs"].push_back({{"run", r.index}, {"dir", r.dir}, {"values", r.values}});
  return j.dump(2) + "\n";
}

std::optional<Plan> readPlan(const std::string& dir, std::string& error) {
  const fs::path path = fs::path(dir) / kPlanFile;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "no plan in " + dir + " (" + path.string() + " cannot be read)";
    return std::nullopt;
  }
  try {
    const nlohmann::json j = nlohmann::json::parse(in);
    Plan plan;
    plan.runner = j.at("runner").get<std::string>();
    plan.arguments = j.at("arguments").get<std::vector<std::string>>();
    for (const auto& v : j.at("vary"))
      plan.varied.push_back({v.at("name").get<std::string>(),
                             v.at("values").get<std::vector<std::string>>(),
                             v.at("option_array").get<bool>()});
    for (const auto& r : j.at("runs")) {
      PlannedRun run{r.at("run").get<int>(), r.at("dir").get<std::string>(),
                     r.at("values").get<std::vector<std::string>>()};
      // A run's files stay inside the sweep's directory, whatever the file says.
      if (run.dir.empty() || run.dir.front() == '/' || run.dir.find("..") != std::string::npos)
        throw std::runtime_error("run " + std::to_string(run.index) + " lies outside the sweep");
      plan.runs.push_back(std::move(run));
    }
    return plan;
  } catch (const std::exception& e) {
    error = path.string() + " is not a plan: " + e.what();
    return std::nullopt;
  }
}

std::string writeSweep(const std::string& dir, const Plan& plan) {
  const fs::path root(dir);
  if (std::string error = makeEmptyDir(root); !error.empty()) return error;
  std::error_code ec;
  fs::create_directories(root / kLogsDir, ec);
  for (const PlannedRun& r : plan.runs)
    if (!ec) fs::create_directories(root / r.dir, ec);
  if (ec) return "cannot create the runs' directories in " + dir + ": " + ec.message();
  std::string jobs;
  for (const PlannedRun& r : plan.runs) jobs += jobLine(plan, r) + "\n";
  for (const auto& [name, text] : {std::pair{kJobsFile, jobs},
                                   {kSlurmFile, slurmScript(plan, fs::absolute(root).string())},
                                   {kPlanFile, planJson(plan)}})
    if (std::string error = writeFile(root / name, text); !error.empty()) return error;
  ::chmod((root / kSlurmFile).c_str(), 0755);
  return {};
}

}  // namespace orbits::sweep
