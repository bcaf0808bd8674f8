#pragma once
// The set of controls of a window, found by name and index.
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "form/control.h"

namespace orbits {

class Panel {
 public:
  Panel() = default;
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;

  // Adds a control; the reference stays valid for the panel's life.
  Control& add(Kind kind, std::string name, int index = -1);

  Control* find(std::string_view name, int index = -1);
  // Throws std::out_of_range naming the control when there is none.
  Control& at(std::string_view name, int index = -1);
  Control& operator()(std::string_view name, int index = -1) { return at(name, index); }
  // "OpDist(3)" or "Chend".
  Control* findRef(std::string_view ref);
  // Members of an array in index order (a single control when it is no array).
  std::vector<Control*> members(std::string_view name);

  // Sets the same handler on every member of an array.
  void onClick(std::string_view name, Handler h);
  void onChange(std::string_view name, Handler h);
  void onLostFocus(std::string_view name, Handler h);
  void onTick(std::string_view name, Handler h);

  std::deque<Control>& all() { return controls_; }
  const std::deque<Control>& all() const { return controls_; }

  uint64_t revision() const { return revision_; }
  uint64_t nextRevision() { return ++revision_; }

  static std::optional<std::pair<std::string, int>> parseRef(std::string_view ref);

 private:
  std::deque<Control> controls_;
  std::unordered_map<std::string, Control*> singles_;
  std::unordered_map<std::string, std::vector<Control*>> arrays_;  // sparse, by index
  uint64_t revision_ = 0;
};

}  // namespace orbits
