#include "form/panel.h"

#include <charconv>
#include <stdexcept>

namespace orbits {

Control& Panel::add(Kind kind, std::string name, int index) {
  if (find(name, index)) throw std::logic_error("duplicate control " + name);
  Control& c = controls_.emplace_back(kind, name, index);
  c.panel_ = this;
  if (kind == Kind::Picture) c.surface_ = std::make_unique<Surface>();
  if (index < 0) {
    singles_[name] = &c;
  } else {
    auto& v = arrays_[name];
    if (v.size() <= size_t(index)) v.resize(size_t(index) + 1, nullptr);
    v[size_t(index)] = &c;
  }
  c.markChanged();
  return c;
}

Control* Panel::find(std::string_view name, int index) {
  std::string key(name);
  if (index < 0) {
    auto it = singles_.find(key);
    return it == singles_.end() ? nullptr : it->second;
  }
  auto it = arrays_.find(key);
  if (it == arrays_.end() || size_t(index) >= it->second.size()) return nullptr;
  return it->second[size_t(index)];
}

Control& Panel::at(std::string_view name, int index) {
  if (Control* c = find(name, index)) return *c;
  std::string ref(name);
  if (index >= 0) ref += "(" + std::to_string(index) + ")";
  throw std::out_of_range("no control " + ref);
}

std::optional<std::pair<std::string, int>> Panel::parseRef(std::string_view ref) {
  auto open = ref.find('(');
  if (open == std::string_view::npos) {
    if (ref.empty()) return std::nullopt;
    return std::make_pair(std::string(ref), -1);
  }
  if (open == 0 || ref.back() != ')') return std::nullopt;
  std::string_view num = ref.substr(open + 1, ref.size() - open - 2);
  int index = -1;
  auto [p, ec] = std::from_chars(num.data(), num.data() + num.size(), index);
  if (ec != std::errc() || p != num.data() + num.size() || index < 0) return std::nullopt;
  return std::make_pair(std::string(ref.substr(0, open)), index);
}

Control* Panel::findRef(std::string_view ref) {
  auto r = parseRef(ref);
  return r ? find(r->first, r->second) : nullptr;
}

std::vector<Control*> Panel::members(std::string_view name) {
  std::string key(name);
  std::vector<Control*> out;
  if (auto it = arrays_.find(key); it != arrays_.end())
    for (Control* c : it->second)
      if (c) out.push_back(c);
  if (auto it = singles_.find(key); it != singles_.end()) out.push_back(it->second);
  return out;
}

void Panel::onClick(std::string_view name, Handler h) {
  for (Control* c : members(name)) c->onClick = h;
}
void Panel::onChange(std::string_view name, Handler h) {
  for (Control* c : members(name)) c->onChange = h;
}
void Panel::onLostFocus(std::string_view name, Handler h) {
  for (Control* c : members(name)) c->onLostFocus = h;
}
void Panel::onTick(std::string_view name, Handler h) {
  for (Control* c : members(name)) c->onTick = h;
}

}  // namespace orbits
