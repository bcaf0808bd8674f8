#include "sweep/merge.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "sweep/reports.h"
#include "sweep/results_plot.h"

namespace orbits::sweep {

namespace {

using Json = nlohmann::ordered_json;

void flatten(const Json& v, const std::string& path,
             std::vector<std::pair<std::string, Json>>& out) {
  const std::string prefix = path.empty() ? "" : path + ".";
  if (v.is_object()) {
    for (const auto& [key, item] : v.items()) flatten(item, prefix + key, out);
  } else if (v.is_array()) {
    for (size_t i = 0; i < v.size(); ++i) {
      Json item = v[i];
      if (item.is_object() && item.contains("name") && item["name"].is_string()) {
        const std::string name = item["name"].get<std::string>();
        item.erase("name");
        flatten(item, prefix + name, out);
      } else {
        flatten(item, prefix + std::to_string(i + 1), out);
      }
    }
  } else {
    out.emplace_back(path, v);
  }
}

void listed(std::string& list, const std::string& item, const char* separator) {
  if (!list.empty()) list += separator;
  list += item;
}

// The last line a run wrote to its standard error, or why there is none.
std::string lastMessage(const std::string& dir, const PlannedRun& run) {
  std::ifstream in(messagesPath(dir, run), std::ios::binary);
  if (!in) return "not run";
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  return last.empty() ? "running, or stopped before it reported" : last;
}

// A CSV cell: quoted when it holds a comma, a quote or a line end.
std::string csvCell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string csvCell(const Json& v) {
  if (v.is_null()) return "";
  return csvCell(v.is_string() ? v.get<std::string>() : v.dump());
}

// Replaces `path` with `text` whole: written beside it, then renamed over it.
std::string replaceFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".new";
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  std::error_code ec;
  if (out) std::filesystem::rename(temp, path, ec);
  if (!out || ec) {
    std::filesystem::remove(temp, ec);
    return "cannot write " + path;
  }
  return {};
}

// The columns that hold a number in some row, for the message about a figure that is none.
std::string numberColumns(const Results& r) {
  std::string list;
  for (size_t c = r.firstFigure; c < r.columns.size(); ++c)
    for (const auto& row : r.rows)
      if (row[c].is_number()) {
        listed(list, r.columns[c], ", ");
        break;
      }
  return list;
}

}  // namespace

std::vector<std::pair<std::string, Json>> reportFigures(const Json& report) {
  std::vector<std::pair<std::string, Json>> out;
  Json figures = report;
  figures.erase("data_dir");
  flatten(figures, "", out);
  return out;
}

Results collectResults(const std::string& dir, const Plan& plan) {
  Results r;
  r.columns = {"run"};
  for (const Varied& v : plan.varied) r.columns.push_back(v.name);
  for (const char* c : {"status", "note"}) r.columns.push_back(c);
  r.firstFigure = r.columns.size();
  std::map<std::string, size_t> columnOf;
  for (const PlannedRun& run : plan.runs) {
    std::vector<Json> row{run.index};
    for (const std::string& v : run.values) row.push_back(v);
    const auto report = finishedReport(dir, run);
    if (!report) {
      row.insert(row.end(), {"no report", lastMessage(dir, run)});
    } else {
      const bool ok = (*report)["exit_status"] == 0;
      row.insert(row.end(), {ok ? "ok" : "failed", nullptr});
      row.resize(r.columns.size());
      for (auto& [name, value] : reportFigures(*report)) {
        auto [at, added] = columnOf.try_emplace(name, r.columns.size());
        if (added) r.columns.push_back(name);
        if (row.size() <= at->second) row.resize(at->second + 1);
        row[at->second] = std::move(value);
      }
    }
    r.rows.push_back(std::move(row));
  }
  for (auto& row : r.rows) row.resize(r.columns.size());
  return r;
}

std::string resultsCsv(const Results& r) {
  std::string out;
  auto line = [&out](const auto& cells) {
    for (size_t c = 0; c < cells.size(); ++c) {
      if (c) out += ',';
      out += csvCell(cells[c]);
    }
    out += '\n';
  };
  line(r.columns);
  for (const auto& row : r.rows) line(row);
  return out;
}

int mergeSweep(const std::string& dir, const std::string& figure, std::ostream& out,
               std::ostream& err) {
  std::string error;
  const auto plan = readPlan(dir, error);
  if (!plan) {
    err << "orbits-sweep: " << error << "\n";
    return 1;
  }
  const Results results = collectResults(dir, *plan);
  const auto plot = resultsSvg(results, *plan, figure);
  if (!plot) {
    err << "orbits-sweep: --figure " << figure << " is no number column of the results; they are "
        << numberColumns(results) << "\n";
    return 2;
  }
  for (const auto& [name, text] :
       {std::pair{kResultsCsv, resultsCsv(results)}, {kResultsSvg, *plot}})
    if (std::string why = replaceFile(dir + "/" + name, text); !why.empty()) {
      err << "orbits-sweep: " << why << "\n";
      return 1;
    }
  std::string missing;
  size_t ok = 0;
  for (size_t i = 0; i < results.rows.size(); ++i) {
    const Json& status = results.rows[i][plan->varied.size() + 1];
    ok += status == "ok";
    if (status == "no report") listed(missing, std::to_string(plan->runs[i].index), ",");
  }
  out << "Merged " << results.rows.size() << " runs into " << dir << "/" << kResultsCsv << " ("
      << ok << " ok) and drew " << figure << " in " << dir << "/" << kResultsSvg << ".\n";
  if (!missing.empty())
    out << "Runs without a report: " << missing << ". Run them with 'orbits-sweep run " << dir
        << "', or on a Slurm cluster with 'sbatch --array=" << missing << " " << dir << "/"
        << kSlurmFile << "'.\n";
  return 0;
}

}  // namespace orbits::sweep
