#include "panel/control_settings.h"

#include <charconv>

#include "form/panel.h"

namespace orbits {

namespace {

const char* kindName(Kind k) {
  switch (k) {
    case Kind::Button:
      return "a push button";
    case Kind::CheckBox:
      return "a check box";
    case Kind::Option:
      return "an option button";
    case Kind::TextBox:
      return "a text box";
    case Kind::Label:
      return "a label";
    case Kind::Frame:
      return "a frame";
    case Kind::HScroll:
      return "a scroll bar";
    case Kind::Picture:
      return "a picture box";
    case Kind::Image:
      return "an image";
    case Kind::Shape:
      return "a shape";
    case Kind::Timer:
      return "a timer";
  }
  return "a control";
}

bool wholeNumber(const std::string& s, int& out) {
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, out);
  return !s.empty() && ec == std::errc() && p == end;
}

// The control a reference names; a message that says which part is wrong otherwise.
Control* findControl(Panel& panel, const std::string& ref, std::string& error) {
  auto parsed = Panel::parseRef(ref);
  if (!parsed) {
    error = "'" + ref + "' is not a control name (NAME or NAME(INDEX))";
    return nullptr;
  }
  const auto& [name, index] = *parsed;
  if (Control* c = panel.find(name, index)) return c;
  if (panel.members(name).empty())
    error = "no control named '" + name + "'";
  else if (index < 0)
    error = "'" + name + "' is an array of controls; give an index, as in " + name + "(" +
            std::to_string(panel.members(name).front()->index()) + ")";
  else
    error = "'" + name + "' has no member " + std::to_string(index);
  return nullptr;
}

}  // namespace

bool resolveSetting(Panel& panel, const std::string& arg, Setting& out, std::string& error) {
  const size_t eq = arg.find('=');
  if (eq == std::string::npos) {
    error = "'" + arg + "' is not of the form NAME=VALUE";
    return false;
  }
  const std::string ref = arg.substr(0, eq);
  out.value = arg.substr(eq + 1);
  out.control = findControl(panel, ref, error);
  if (!out.control) return false;
  const Control& c = *out.control;
  const std::string what = ref + "=" + out.value + ": ";
  switch (c.kind()) {
    case Kind::CheckBox:
      if (!wholeNumber(out.value, out.number) || out.number < 0 || out.number > 2) {
        error = what + "a check box takes 0, 1 or 2 (greyed)";
        return false;
      }
      return true;
    case Kind::Option:
      if (!wholeNumber(out.value, out.number) || out.number != 1) {
        error = what +
                "an option button can only be selected (=1); select another member to "
                "deselect it";
        return false;
      }
      return true;
    case Kind::HScroll:
      if (!wholeNumber(out.value, out.number) || out.number < c.min() || out.number > c.max()) {
        error = what + "the scroll bar takes a whole number from " + std::to_string(c.min()) +
                " to " + std::to_string(c.max());
        return false;
      }
      return true;
    case Kind::TextBox:
      if (c.locked()) {
        error = what + "the text box is locked";
        return false;
      }
      if (c.maxLength() > 0 && int(out.value.size()) > c.maxLength()) {
        error =
            what + "the text box holds at most " + std::to_string(c.maxLength()) + " characters";
        return false;
      }
      return true;
    default:
      error = what + ref + " is " + kindName(c.kind()) +
              "; only check boxes, option buttons, text boxes and scroll bars can be set";
      return false;
  }
}

Control* resolveShown(Panel& panel, const std::string& ref, std::string& error) {
  Control* c = findControl(panel, ref, error);
  if (!c) return nullptr;
  switch (c->kind()) {
    case Kind::Picture:
    case Kind::Image:
    case Kind::Shape:
    case Kind::Timer:
      error = ref + " is " + std::string(kindName(c->kind())) + " and shows no text";
      return nullptr;
    default:
      return c;
  }
}

bool applySetting(const Setting& s) {
  Control& c = *s.control;
  switch (c.kind()) {
    case Kind::TextBox:
      // A disabled or locked box takes no typing, as in the window.
      if (c.locked() || !c.enabled()) return false;
      c.typeText(s.value);
      c.lostFocus();
      return true;
    case Kind::CheckBox:
    case Kind::Option:
    case Kind::HScroll:
      c.setValue(s.number);
      return true;
    default:
      return false;
  }
}

}  // namespace orbits
