// Every control the code looks up by a literal name exists in the panel table: an unknown name
// would throw only when its line first runs, perhaps deep in a long run.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "form/panel.h"
#include "panel/panel_table.h"

namespace orbits {
namespace {

// The literal lookups in `code`: c("Name"), c("Name", 3), panel.find("Name", i), panel.at(...),
// widgetOf(...), with the index when it is a literal number (-1 otherwise). (The splash
// window's panel is a small one of its own.)
std::vector<std::pair<std::string, int>> lookups(const std::string& code) {
  std::vector<std::pair<std::string, int>> found;
  auto word = [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_'; };
  for (const std::string call :
       {"c(\"", "panel.find(\"", "panel.at(\"", "p.find(\"", "widgetOf(\""}) {
    for (size_t at = code.find(call); at != std::string::npos; at = code.find(call, at + 1)) {
      if (at > 0 &&
          (word(code[at - 1]) || (call[0] == 'p' && call[1] == '.' && code[at - 1] == '.')))
        continue;
      size_t i = at + call.size(), start = i;
      while (i < code.size() && word(code[i])) ++i;
      if (i == start || code[i] != '"' || !std::isalpha(static_cast<unsigned char>(code[start])))
        continue;
      const std::string name = code.substr(start, i - start);
      int index = -1;
      size_t j = code.find_first_not_of(' ', i + 1);
      if (j != std::string::npos && code[j] == ',') {
        const size_t d = code.find_first_not_of(' ', j + 1),
                     e = code.find_first_not_of("0123456789", d);
        if (e != d && e != std::string::npos &&
            (code[e] == ')' || code[e] == ',' || code[e] == ' '))
          index = std::stoi(code.substr(d, e - d));
      }
      found.emplace_back(name, index);
    }
  }
  return found;
}

TEST(ControlNames, EveryNameLookedUpInTheCodeIsInThePanelTable) {
  Panel panel;
  buildPanel(panel);
  int checked = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(ORBITS_SOURCE_DIR)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".cpp" && ext != ".h") continue;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    for (const auto& [name, index] : lookups(text.str())) {
      bool found = false;
      if (index < 0) {
        for (const Control& c : panel.all()) found |= c.name() == name;
      } else {
        found = panel.find(name, index) != nullptr;
      }
      EXPECT_TRUE(found) << entry.path().filename().string() << ": " << name << " " << index;
      ++checked;
    }
  }
  EXPECT_GT(checked, 300);  // the scan still finds the lookups
}

}  // namespace
}  // namespace orbits
