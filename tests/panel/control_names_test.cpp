// Every control the code looks up by a literal name exists in the panel table: an unknown name
// would throw only when its line first runs, perhaps deep in a long run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "form/panel.h"
#include "panel/panel_table.h"

namespace orbits {
namespace {

TEST(ControlNames, EveryNameLookedUpInTheCodeIsInThePanelTable) {
  Panel panel;
  buildPanel(panel);
  // c("Name"), c("Name", 3), panel.find("Name", i), panel.at(...), widgetOf(...): the index
  // when literal. (The splash window's panel is a small one of its own.)
  const std::regex lookup(
      R"re(\b(?:c|panel\.find|panel\.at|p\.find|widgetOf)\("([A-Za-z][A-Za-z0-9_]*)"\s*(?:,\s*([0-9]+)\s*)?[,)])re");
  int checked = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(ORBITS_SOURCE_DIR)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".cpp" && ext != ".h") continue;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string code = text.str();
    for (std::sregex_iterator m(code.begin(), code.end(), lookup), end; m != end; ++m) {
      const std::string name = (*m)[1];
      const bool anyIndex = !(*m)[2].matched;
      bool found = false;
      if (anyIndex) {
        for (const Control& c : panel.all()) found |= c.name() == name;
      } else {
        found = panel.find(name, std::stoi((*m)[2])) != nullptr;
      }
      EXPECT_TRUE(found) << entry.path().filename().string() << ": " << m->str();
      ++checked;
    }
  }
  EXPECT_GT(checked, 300);  // the pattern still finds the lookups
}

}  // namespace
}  // namespace orbits
